#pragma once
// State of the address book that lives as long as the program, on its one thread. The
// address book is an ANSI program: its texts are in the system's ANSI code page throughout.
#include <windows.h>

#include "addressbook/core/address_data.h"
#include "addressbook/core/main_list.h"
#include "addressbook/core/recipient_mode.h"
#include "addressbook/ui/column_layout.h"

struct Program {
    HINSTANCE instance = nullptr; // pelmora.exe
    HMODULE resources = nullptr;  // pelmoraRC.dll
    RecipientMode mode = kRecipientOff;
    HWND targetWindow = nullptr;  // the monitor's port settings dialog, in recipient mode
    AddressBook book;
    LeadBytes leadBytes; // of the system's ANSI code page, which all texts are in
    char personalPath[MAX_PATH] = {};
    char groupPath[MAX_PATH] = {};

    HWND mainWindow = nullptr;
    HWND toolbar = nullptr;
    HWND columnBar = nullptr;
    HWND mainList = nullptr; // control 200
    HWND statusWindow = nullptr;
    HWND recipientBox = nullptr;  // recipient mode only
    HWND recipientList = nullptr; // control 201 of the recipient box
    HWND findDialog = nullptr;    // the modeless find dialog while it is open
    ColumnEdges columns = {};     // in the coordinates the column bar and the main list share
    bool modalOpen = false;       // refuses a log-off while a modal dialog runs
    UINT statusHint = 0;          // string id of the hint for the button under the mouse; 0 none
    DisplayDirections directions; // of the display commands by name and by address

    HMENU contextMenu = nullptr;    // menu 109
    HCURSOR resizeCursor = nullptr; // cursor 121, for the column bar's borders
    HCURSOR arrowCursor = nullptr;
    HCURSOR waitCursor = nullptr;
};

extern Program g_program;

// The lead bytes of the system's ANSI code page.
LeadBytes SystemLeadBytes();
