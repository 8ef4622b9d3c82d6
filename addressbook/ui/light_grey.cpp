#include "addressbook/ui/light_grey.h"

bool AnswerLightGrey(UINT message, WPARAM wParam, INT_PTR& result)
{
    if (message != WM_CTLCOLORDLG && message != WM_CTLCOLORSTATIC && message != WM_CTLCOLORBTN)
        return false;
    SetBkColor(reinterpret_cast<HDC>(wParam), RGB(192, 192, 192));
    result = reinterpret_cast<INT_PTR>(GetStockObject(LTGRAY_BRUSH));
    return true;
}
