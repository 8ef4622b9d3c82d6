#pragma once
#include "monitor/core/port_settings.h"

// The port's password, kept only as the system's data protection made it: encrypted with the
// machine's key (CryptProtectData, local-machine scope), so that the spooler, which runs as
// LocalSystem, can decrypt it whoever configured the port. Who may read the value is decided by
// the port key's access list (settings store): the spooler and administrators.

// Protects the password into the settings; an empty one removes a stored password.
bool ProtectPassword(const WCHAR* password, PortSettings* settings);

// The stored password in UTF-8, null-terminated, in capacity bytes; false when none is stored
// or it cannot be decrypted. The caller wipes out when done.
bool ReadProtectedPassword(const BYTE* protectedPassword, DWORD bytes, char* out, size_t capacity);
