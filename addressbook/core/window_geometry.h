#pragma once
// Where the main window starts and how its children share its client area: the saved geometry or
// the default, the layout of the bars, the list and the recipient box, and the row snapping that
// keeps the list at whole rows. Portable arithmetic: no Win32 here.

// "Missing" in "kapadr.ini": the integer read back when a key is absent.
constexpr int kMissingSetting = -2147483647 - 1;

struct Box {
    int left;
    int top;
    int right;
    int bottom;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const Box& other) const
    {
        return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
    }
};

// "x", "y", "width", "height" of the "window" section as read (kMissingSetting when absent).
struct SavedPlacement {
    int x = kMissingSetting;
    int y = kMissingSetting;
    int width = kMissingSetting;
    int height = kMissingSetting;
};

// The saved placement when every value is there and the size is positive and smaller than the
// desktop; otherwise the default: desktop width - 20 (at most 544) by two thirds of the desktop
// height (at most 320), centred. x and y are taken as they are.
Box ChooseWindowPlacement(const SavedPlacement& saved, const Box& desktop);

// The text heights that size the children: a font's character height + 2.
struct LayoutMetrics {
    int columnBarText; // the column-bar font's
    int statusText;    // the status font's
    int listText;      // the main list's font
    int systemText;    // the system font's (the recipient box)
};

constexpr int kToolbarHeight = 34;
constexpr int kToolButtonSize = 32;
constexpr int kToolButtonCount = 5;
constexpr int kToolButtonLefts[kToolButtonCount] = {3, 34, 65, 96, 127};

// The recipient box's height: max(82, 4 L + 12) with L = max(16, system text height).
int RecipientBoxHeight(int systemText);

// Rectangles in the main window's client coordinates; the toolbar buttons in the toolbar's.
struct ChildLayout {
    Box toolbar;
    Box columnBar;
    Box mainList;
    Box statusWindow;
    Box recipientBox; // empty without the recipient box
    Box toolButtons[kToolButtonCount];
};

ChildLayout LayOutChildren(int clientWidth, int clientHeight, const LayoutMetrics& metrics, bool withRecipientBox);

// By how many pixels the window's height must shrink so that the main list holds whole rows of
// max(16, list text height); 0 when it does already, and when the bars alone fill the client area
// (no list to snap).
int RowSnapRemainder(int clientHeight, const LayoutMetrics& metrics, bool withRecipientBox);
