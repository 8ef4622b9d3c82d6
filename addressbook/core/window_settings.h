#pragma once
// The main window's settings in "kapadr.ini" (the Windows directory): its place and size, kept as
// it moves, and at close whether it is maximised and the widths of the list's columns.
#include <windows.h>

#include "addressbook/core/window_geometry.h"
#include "addressbook/ui/column_layout.h"

SavedPlacement ReadSavedPlacement();
// "x", "y", "width", "height" of the window's outer rectangle.
void SavePlacement(HWND window);

bool ReadZoom();
void SaveZoom(bool maximised);

ColumnWidths ReadColumnWidths();
void SaveColumnWidths(const ColumnWidths& widths);
