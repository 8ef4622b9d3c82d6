#include "addressbook/ui/column_bar.h"

#include "addressbook/ui/fonts.h"

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
    default:
        return DefWindowProc(window, message, wParam, lParam);
    }
}
