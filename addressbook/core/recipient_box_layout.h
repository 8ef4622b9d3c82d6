#pragma once
// The recipient box's inner layout and which picked entries it takes. Portable: no Win32 here.
#include "addressbook/core/address_data.h"
#include "addressbook/core/window_geometry.h"

#include <vector>

// The height of one line of the recipient box: max(16, the system font's text height).
int RecipientLineHeight(int systemText);

// In the box's client coordinates: the add, remove and send buttons stacked at the left, the
// recipient list four lines high, centred in the box's height, filling the width beside them.
struct RecipientBoxLayout {
    Box add;
    Box remove;
    Box send;
    Box list;
};
RecipientBoxLayout LayOutRecipientBox(int width, int height, int systemText);

// The picked entries (in main-list order) that the recipient list does not hold yet, each once.
std::vector<EntryRef> RecipientsToAdd(const std::vector<EntryRef>& picked, const std::vector<EntryRef>& held);
