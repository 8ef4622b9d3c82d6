#include "addressbook/core/recipient_box.h"

LRESULT CALLBACK RecipientBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProc(window, message, wParam, lParam);
}
