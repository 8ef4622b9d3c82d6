#include "addressbook/ui/bar_painting.h"

#include <cstring>

ScopedPen SolidPen(COLORREF colour)
{
    return ScopedPen(CreatePen(PS_SOLID, 1, colour));
}

void DrawLine(HDC dc, COLORREF colour, int x1, int y1, int x2, int y2)
{
    const ScopedPen pen = SolidPen(colour);
    const ScopedSelection selected(dc, pen.Get());
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

void FillLightGrey(HDC dc, const RECT& box, HPEN outline)
{
    const ScopedSelection brush(dc, GetStockObject(LTGRAY_BRUSH));
    const ScopedSelection pen(dc, outline != nullptr ? outline : GetCurrentObject(dc, OBJ_PEN));
    Rectangle(dc, box.left, box.top, box.right, box.bottom);
}

void DrawBarText(HDC dc, HFONT font, int x, int y, const RECT& clip, const char* text)
{
    const ScopedSelection selected(dc, font != nullptr ? font : GetStockObject(SYSTEM_FONT));
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, kTextBackgroundGrey);
    ExtTextOut(dc, x, y, ETO_OPAQUE | ETO_CLIPPED, &clip, text, static_cast<UINT>(strlen(text)), nullptr);
}
