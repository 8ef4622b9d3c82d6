#pragma once
// What the main window decides without any window: the items of its list in each display order,
// which of its commands are enabled, and what a delete takes out. Portable: no Win32 here.
#include "addressbook/core/address_data.h"

#include <optional>
#include <vector>

// Every live personal entry in index order, then every live group in index order: the list as
// the main window shows it first.
std::vector<EntryRef> ItemsInIndexOrder(const AddressBook& book);

// The direction each display command shows next: 0 before its first use, then 1 ascending and
// 2 descending in turn. The two commands keep one each.
struct DisplayDirections {
    int byName = 0;
    int byAddress = 0;
};
// The orders are built first when the lists changed since they last were.
// The live personal entries by name, then the live groups by name, the direction advanced; no
// list (and the direction kept) when neither order has an entry.
std::optional<std::vector<EntryRef>> DisplayByName(AddressBook& book, DisplayDirections& directions);
// The live personal entries by address, then every live group in index order (groups have no
// address); no list when the personal order is empty.
std::optional<std::vector<EntryRef>> DisplayByAddress(AddressBook& book, DisplayDirections& directions);

// What the enabling looks at: the main list and, when there is one, the recipient box's list.
struct ListCounts {
    int items = 0;
    int selected = 0;
    bool recipientBox = false;
    int recipientsSelected = 0;
    int recipientsHeld = 0;
};
struct Enabling {
    bool newPersonal = true;
    bool newGroup = false; // items shown and a personal entry not deleted (the predefined one counts)
    bool find = false;
    bool remove = false;   // delete: a selection
    bool edit = false;     // exactly one selected
    // With the recipient box only: add (and the main window's command 102), remove, send.
    bool addRecipient = false;
    bool removeRecipient = false;
    bool send = false;
};
Enabling EnablingFor(const ListCounts& counts, const PersonalList& personal);

// The delete command on the selected main-list items (positions in list order and their items):
// the entries are marked deleted, the last selected first, and the items to take out of the two
// lists are given, each list's from its last to its first.
struct DeletedItems {
    std::vector<int> recipientPositions;
    std::vector<int> mainPositions;
};
DeletedItems DeleteSelected(AddressBook& book, const std::vector<int>& selected,
                            const std::vector<EntryRef>& selectedItems, const std::vector<EntryRef>& recipients);
