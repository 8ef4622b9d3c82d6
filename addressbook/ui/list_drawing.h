#pragma once
// Measuring and drawing of the owner-drawn lists: every item is an EntryRef, every text is read
// from the entry when it is drawn.
#include <windows.h>

#include "addressbook/ui/column_layout.h"
#include "addressbook/ui/fonts.h"
#include "addressbook/ui/icon_set.h"

// The system's highlight colours, read once when the main window is created.
void CacheHighlightColours();

// The main list: icon, name, address and note in the four columns.
void MeasureMainListItem(MEASUREITEMSTRUCT& item);
void DrawMainListItem(const DRAWITEMSTRUCT& item, const ColumnEdges& columns);
// The dotted lines left of the addresses and notes columns, over the list's whole height.
void DrawColumnSeparators(HWND list, const ColumnEdges& columns);

// The compact lists: the group editor's and member chooser's (name only) and the recipient
// list (name and <address> for a person, name for a group), each with its font and icons.
enum class CompactText { NameOnly, NameAndAddress };
void MeasureCompactItem(MEASUREITEMSTRUCT& item, const FontSlot& font, const IconSet& icons);
// The same height for a list that was measured before its dialog had made its font and icons.
void SetCompactItemHeight(HWND list, const FontSlot& font, const IconSet& icons);
void DrawCompactItem(const DRAWITEMSTRUCT& item, CompactText text, const FontSlot& font,
                     const IconSet& icons);
