#include "addressbook/ui/bar_painting.h"

#include <cstring>

namespace {
// Selects a GDI object for the life of the scope.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~Selection() { SelectObject(dc_, old_); }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};
} // namespace

void DrawLine(HDC dc, COLORREF colour, int x1, int y1, int x2, int y2)
{
    const SolidPen pen(colour);
    const Selection selected(dc, pen.Get());
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

void FillLightGrey(HDC dc, const RECT& box, HPEN outline)
{
    const Selection brush(dc, GetStockObject(LTGRAY_BRUSH));
    const Selection pen(dc, outline != nullptr ? outline : GetCurrentObject(dc, OBJ_PEN));
    Rectangle(dc, box.left, box.top, box.right, box.bottom);
}

void DrawBarText(HDC dc, HFONT font, int x, int y, const RECT& clip, const char* text)
{
    const Selection selected(dc, font != nullptr ? font : GetStockObject(SYSTEM_FONT));
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, kTextBackgroundGrey);
    ExtTextOut(dc, x, y, ETO_OPAQUE | ETO_CLIPPED, &clip, text, static_cast<UINT>(strlen(text)), nullptr);
}
