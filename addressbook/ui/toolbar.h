#pragma once
// The toolbar across the top of the main window ("ToolBarClass"): five picture buttons that send
// the main window its commands.
#include <windows.h>

constexpr char kToolbarClass[] = "ToolBarClass";

struct ToolButton {
    int id;         // control id, child of the toolbar
    int command;    // main-window command a click sends
    int bitmapBase; // enabled; + 1 pressed, + 2 disabled
    UINT tooltip;   // string id
    UINT hint;      // status hint string id
};

// In the order of their places on the bar.
extern const ToolButton kToolButtons[5];

// The button with that control id, or nullptr.
const ToolButton* FindToolButton(int id);

LRESULT CALLBACK ToolbarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// After the buttons exist: a tooltip control owned by the toolbar with every button as a tool,
// and the hook that relays the mouse messages of the buttons to it. Without the tooltip control
// there are no tools and no hook.
void SetUpTooltips(HWND toolbar);
