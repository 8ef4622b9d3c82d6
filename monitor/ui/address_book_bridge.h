#pragma once
#include <windows.h>

// The port configuration dialog's end of the exchange with the address book program.

// The address-book button: hands the destination list to the address book in "PreDef.ADR" and
// starts the program, in the mode for a port with a job in progress ("/o") or not ("/p").
void OpenAddressBook(HWND dialog, bool jobInProgress);

// The "WM_SENDADDR" message: the atom names the file that holds the chosen addresses, of which
// at most announcedBytes are read. They replace the destination list; the file is deleted.
void ReceiveSentAddresses(HWND dialog, ATOM atom, DWORD announcedBytes);
