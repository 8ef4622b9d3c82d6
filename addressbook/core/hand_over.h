#pragma once
// The send button's hand-over to the port settings dialog: the chosen addresses written into
// "PreDef.ADR" of the spool directory, a global atom naming the file, and "WM_SENDADDR" posted to
// the dialog with the atom and the byte count to read.
#include <windows.h>

#include "addressbook/core/address_data.h"

#include <vector>

// `recipients` is the recipient list in order; nothing is written for an empty list. Failures end
// the hand-over silently, except a path too long for an atom's name, which is told over `owner`.
// Whatever happens, the dialog is posted at most one message.
void HandOverRecipients(HWND owner, const std::vector<EntryRef>& recipients);
