#pragma once
// What the toolbar, the column bar and the status window paint with: their greys, lines of one
// colour, light-grey boxes and opaque text on the text-background grey.
#include <windows.h>

#include "common/scoped.h"

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kEdgeGrey = RGB(100, 100, 100);           // toolbar and column bar edges
constexpr COLORREF kStatusFrameGrey = RGB(110, 110, 110);    // the status window's frame
constexpr COLORREF kTextBackgroundGrey = RGB(190, 190, 190); // behind header and hint texts

// A solid pen one pixel wide.
ScopedPen SolidPen(COLORREF colour);

// A line from (x1, y1) to (x2, y2), the end point left out as LineTo does.
void DrawLine(HDC dc, COLORREF colour, int x1, int y1, int x2, int y2);
// The rectangle filled with the standard light-grey brush and outlined with the pen (the device
// context's own pen when null).
void FillLightGrey(HDC dc, const RECT& box, HPEN outline = nullptr);
// Opaque text on the text-background grey, in the font (the stock system font when null), drawn
// at (x, y) and clipped to `clip`, which it fills.
void DrawBarText(HDC dc, HFONT font, int x, int y, const RECT& clip, const char* text);
