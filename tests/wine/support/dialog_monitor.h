#pragma once
#include <windows.h>

#include "printhost/print_job.h"

#include <string>

// The installed monitor as the dialog tests see it: its resource library's strings, its notice
// export and the values its dialogs store under a registry key (a subkey of the root, as in
// registry_scope.h).

std::wstring ResourceString(UINT id);
// A string that is a format with one "%s", filled with the argument.
std::wstring FormattedResourceString(UINT id, const std::wstring& argument);

// A REG_SZ value as text (stored with or without its terminator); "<missing>" when unreadable.
std::wstring RegText(const std::wstring& key, const std::wstring& name);
// A value the monitor protected with the system's data protection, decrypted; "<missing>" or
// "<unreadable>" else.
std::wstring RegProtectedText(const std::wstring& key, const std::wstring& name);
// A REG_DWORD value; 0xDEADBEEF when unreadable.
DWORD RegNumber(const std::wstring& key, const std::wstring& name);

using Display347CheckFn = int(WINAPI*)(HWND owner);
// The monitor's exported notice dialog, or nullptr.
Display347CheckFn FindDisplay347Check(HMODULE monitor);

// A job printed to the port as the spooler runs it, which opens the configuration dialog at its
// start when the port asks for it. It is marked deleted in the queue at once, so that its end
// mails nothing.
PrintOutcome PrintDeletedJob(const MonitorFunctions& monitor, const std::wstring& port);
