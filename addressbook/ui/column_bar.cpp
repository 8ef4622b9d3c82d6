#include "addressbook/ui/column_bar.h"

#include <windowsx.h>

#include "addressbook/core/main_window.h"
#include "addressbook/core/program.h"
#include "addressbook/core/resource_ids.h"
#include "addressbook/ui/bar_painting.h"
#include "addressbook/ui/column_layout.h"
#include "addressbook/ui/fonts.h"
#include "common/scoped.h"

#include <string>

namespace {
constexpr int kHeaderBytes = 1024;
constexpr int kNamesPressed = 2;
constexpr int kAddressesPressed = 4;

// One column bar in the program; a drag runs from button-down to button-up with the mouse
// captured, and its tracking line exists only meanwhile.
struct BarState {
    DraggedBorder drag = DraggedBorder::None;
    int trackingX = 0;
    int trackingTop = 0; // the main list's client top and bottom when the drag began
    int trackingBottom = 0;
    POINT lastMouse = {};
    int pressFlags = 0;
};
BarState g_bar;

RECT HeaderBox(HWND bar, int column)
{
    RECT client;
    GetClientRect(bar, &client);
    const ColumnEdge& edge = g_program.columns.column[column];
    return {edge.left, client.top, edge.right, client.bottom};
}

// A header box, raised or pressed: light grey, lit from the top left when raised and from the
// bottom right when pressed, its text moved in by the edge.
void DrawHeaderBox(HDC dc, const RECT& box, bool pressed, const char* text)
{
    const COLORREF topLeft = pressed ? kEdgeGrey : kWhite;
    const COLORREF bottomRight = pressed ? kWhite : kEdgeGrey;
    FillLightGrey(dc, box);
    DrawLine(dc, topLeft, box.left, box.top, box.right, box.top);
    DrawLine(dc, topLeft, box.left, box.top, box.left, box.bottom - 1);
    DrawLine(dc, bottomRight, box.left, box.bottom - 1, box.right, box.bottom - 1);
    DrawLine(dc, bottomRight, box.right, box.top, box.right, box.bottom - 1);
    if (text == nullptr)
        return;
    const int inset = pressed ? 3 : 2;
    RECT clip = box;
    InflateRect(&clip, -inset, -inset);
    DrawBarText(dc, g_columnBarFont.Font(), box.left + inset, box.top + inset, clip, text);
}

void DrawHeader(HDC dc, HWND bar, int column, UINT textId, bool pressed)
{
    if (g_program.columns.Hidden(column))
        return;
    char text[kHeaderBytes];
    LoadResourceText(textId, text, kHeaderBytes);
    const std::string shown = std::string("  ") + text;
    DrawHeaderBox(dc, HeaderBox(bar, column), pressed, shown.substr(0, kHeaderBytes - 1).c_str());
}

void Paint(HWND bar)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(bar, &paint);
    DrawHeaderBox(dc, HeaderBox(bar, 0), false, nullptr);
    DrawHeader(dc, bar, 1, IDS_COLUMN_NAME, (g_bar.pressFlags & kNamesPressed) != 0);
    DrawHeader(dc, bar, 2, IDS_COLUMN_ADDRESS, (g_bar.pressFlags & kAddressesPressed) != 0);
    DrawHeader(dc, bar, 3, IDS_COLUMN_NOTE, false);
    EndPaint(bar, &paint);
}

void RepaintNow(HWND window, BOOL erase)
{
    InvalidateRect(window, nullptr, erase);
    UpdateWindow(window);
}

// An inverted vertical line over the main list: drawn twice at the same x it is gone.
void DrawTrackingLine()
{
    const ScopedWindowDc dc(g_program.mainList);
    SetROP2(dc.Get(), R2_NOT);
    MoveToEx(dc.Get(), g_bar.trackingX, g_bar.trackingTop, nullptr);
    LineTo(dc.Get(), g_bar.trackingX, g_bar.trackingBottom);
}

void StartDrag(DraggedBorder border, POINT mouse)
{
    RECT list = {};
    GetClientRect(g_program.mainList, &list);
    g_bar.drag = border;
    g_bar.trackingX = BorderPosition(g_program.columns, border);
    g_bar.trackingTop = list.top;
    g_bar.trackingBottom = list.bottom;
    DrawTrackingLine();
    g_bar.lastMouse = mouse;
}

// A click on the names or addresses header sorts by it; the notes header does nothing.
void PressHeader(HWND bar, POINT mouse)
{
    const RECT names = HeaderBox(bar, 1);
    const RECT addresses = HeaderBox(bar, 2);
    if (PtInRect(&names, mouse)) {
        g_bar.pressFlags |= kNamesPressed;
        PostMessage(g_program.mainWindow, WM_COMMAND, MAKEWPARAM(CMD_SORT_BY_NAME, 0), 0);
    } else if (PtInRect(&addresses, mouse)) {
        g_bar.pressFlags |= kAddressesPressed;
        PostMessage(g_program.mainWindow, WM_COMMAND, MAKEWPARAM(CMD_SORT_BY_ADDRESS, 0), 0);
    }
    RepaintNow(bar, TRUE);
}

void OnButtonDown(HWND bar, POINT mouse)
{
    SetCapture(bar);
    const DraggedBorder border = BorderGrabbedAt(g_program.columns, mouse.x);
    if (border != DraggedBorder::None)
        StartDrag(border, mouse);
    else if (g_bar.drag == DraggedBorder::None)
        PressHeader(bar, mouse);
}

void OnMouseMove(POINT mouse)
{
    if (g_bar.drag != DraggedBorder::None) {
        DrawTrackingLine();
        g_bar.trackingX += mouse.x - g_bar.lastMouse.x;
        g_bar.lastMouse = mouse;
        DrawTrackingLine();
        return;
    }
    if (g_bar.pressFlags != 0)
        return;
    const bool onBorder = BorderGrabbedAt(g_program.columns, mouse.x) != DraggedBorder::None;
    SetCursor(onBorder && g_program.resizeCursor != nullptr ? g_program.resizeCursor : g_program.arrowCursor);
}

// The drag or the pressed header ends; the state is cleared before the capture goes, so that the
// loss of the capture this brings finds nothing left to end.
BarState EndGesture()
{
    const BarState ended = g_bar;
    g_bar.drag = DraggedBorder::None;
    g_bar.pressFlags = 0;
    return ended;
}

void OnButtonUp(HWND bar)
{
    const BarState ended = EndGesture();
    ReleaseCapture();
    if (ended.drag == DraggedBorder::None) {
        RepaintNow(bar, TRUE);
        return;
    }
    DrawTrackingLine();
    DropBorder(g_program.columns, ended.drag, ended.trackingX < 0 ? 0 : ended.trackingX);
    InvalidateRect(bar, nullptr, FALSE);
    InvalidateRect(g_program.mainList, nullptr, TRUE);
    UpdateWindow(bar);
    UpdateWindow(g_program.mainList);
}

// The capture went elsewhere before the button came up (another program took the mouse): the
// drag is abandoned with the columns as they were, and a pressed header comes up.
void OnCaptureLost(HWND bar)
{
    const BarState ended = EndGesture();
    if (ended.drag != DraggedBorder::None)
        DrawTrackingLine();
    if (ended.drag != DraggedBorder::None || ended.pressFlags != 0)
        RepaintNow(bar, TRUE);
}

POINT MouseAt(LPARAM lParam)
{
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; // left of the bar, x is negative
}
} // namespace

LRESULT CALLBACK ColumnBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        // Its height follows this font (the main window's layout), so it exists from the start.
        g_columnBarFont.Make(true, 1);
        g_columnBarFont.Apply(window);
        return 0;
    case WM_DESTROY:
        g_columnBarFont.Delete();
        return 0;
    case WM_PAINT:
        Paint(window);
        return 0;
    case WM_LBUTTONDOWN:
        OnButtonDown(window, MouseAt(lParam));
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(MouseAt(lParam));
        return 0;
    case WM_LBUTTONUP:
        OnButtonUp(window);
        return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != window)
            OnCaptureLost(window);
        return 0;
    default:
        return DefWindowProc(window, message, wParam, lParam);
    }
}
