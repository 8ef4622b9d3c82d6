#include "addressbook/ui/status_window.h"

#include "addressbook/core/main_window.h"
#include "addressbook/core/program.h"
#include "addressbook/ui/bar_painting.h"
#include "addressbook/ui/fonts.h"

namespace {
constexpr int kHintBytes = 256;
constexpr int kTextInset = 3;

// A sunken frame inside the outline, then the hint, drawn anew on every paint so that it stays
// visible whatever made the window repaint.
void Paint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    const ScopedPen frame = SolidPen(kStatusFrameGrey);
    FillLightGrey(dc, client, frame.Get());
    const int left = client.left + 2;
    const int top = client.top + 2;
    const int right = client.right - 2;
    const int bottom = client.bottom - 3;
    DrawLine(dc, kStatusFrameGrey, left, top, right, top);
    DrawLine(dc, kStatusFrameGrey, left, top, left, bottom);
    DrawLine(dc, kWhite, left, bottom, right, bottom);
    DrawLine(dc, kWhite, right, top, right, bottom);
    if (g_program.statusHint != 0) {
        char hint[kHintBytes];
        LoadResourceText(g_program.statusHint, hint, kHintBytes);
        RECT area = client;
        InflateRect(&area, -kTextInset, -kTextInset);
        DrawBarText(dc, g_statusFont.Font(), area.left, area.top, area, hint);
    }
    EndPaint(window, &paint);
}
} // namespace

LRESULT CALLBACK StatusWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT)
        return DefWindowProc(window, message, wParam, lParam);
    Paint(window);
    return 0;
}
