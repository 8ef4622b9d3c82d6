#pragma once
// The address book's list boxes hold EntryRef items and no strings: what the editors, the main
// window and the recipient box do with them.
#include <windows.h>

#include "addressbook/core/address_data.h"

#include <vector>

std::vector<EntryRef> ListItems(HWND list); // in list order
void AddListItem(HWND list, EntryRef ref);
bool HasSelection(HWND list);
std::vector<int> SelectedPositions(HWND list); // in list order
void DeleteSelectedItems(HWND list);            // from the last selected to the first
