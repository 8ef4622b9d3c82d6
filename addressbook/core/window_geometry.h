#pragma once
// The main window's placement at start-up from the "window" section of "kapadr.ini", and the
// row snapping of its height. Portable arithmetic: no Win32 here.
#include <climits>

// What the profile reads give for a key that is missing (0x80000000).
constexpr int kMissingSetting = INT_MIN;

struct PixelBox {
    int x;
    int y;
    int width;
    int height;
};

// The saved "x", "y", "width", "height" as they are, unless one is missing, the width or height
// is not positive, or either is not less than the desktop's; then the default: desktop width
// - 20 (at most 544) by two thirds of the desktop height (at most 320), centred on the desktop.
PixelBox ChooseWindowPlacement(const PixelBox& saved, const PixelBox& desktop);

// The height of the recipient box: 4 rows of max(16, system font text height), at least 82.
int RecipientBoxHeight(int systemTextHeight);

// By how many pixels the window's outer height must shrink so that the main list shows whole
// rows of max(16, listTextHeight): the remainder of (clientHeight - fixedHeight) by the row,
// 0 when it divides. `fixedHeight` is every child's height but the list's. Negative when the
// client area is smaller than the fixed part: the window then grows to show no row at all.
int RowSnapExcess(int clientHeight, int fixedHeight, int listTextHeight);
