#pragma once
// Byte formats of "personal.inf", "group.inf" and "PreDef.ADR" (ANSI text, zero-terminated
// strings, 32-bit little-endian counts). Readers never read past the buffer or a field,
// whatever the bytes hold: a file too short for its count gives no list (as an unreadable one);
// reading stops at the first record that runs past the end (it and any after it are dropped);
// a string longer than its field is cut after its last whole character within 127 bytes. A group record ends after its L member
// bytes, whatever M says; a member name cut off by them is dropped. Portable: no Win32 here.
#include "addressbook/core/address_data.h"

#include <cstdint>
#include <vector>

using Bytes = std::vector<uint8_t>;

// The predefined entry's address from the first bytes of "PreDef.ADR" (at most 127 are read):
// a text of 124 bytes or more shows as its first 124 followed by "..." (only 123 when byte 124
// would split a two-byte character).
void PredefinedAddressFrom(const uint8_t* data, size_t size, const LeadBytes& lead,
                           char (&address)[kTextFieldSize]);

// The personal list of a file: index 0 is the predefined entry with `predefinedAddress`, the
// file's k-th record index k + 1. At most kMaxListEntries entries in all are loaded.
PersonalList ReadPersonalFile(const uint8_t* data, size_t size, const char* predefinedAddress,
                              const LeadBytes& lead);
// The group list of a file; member names are resolved against `personal` (as FindLivePersonal
// does: live entries only, SameName), names that match nothing are dropped.
GroupList ReadGroupFile(const uint8_t* data, size_t size, const PersonalList& personal, const LeadBytes& lead);

// The whole file as it is written: live entries in index order, no trailing bytes.
Bytes WritePersonalFile(const PersonalList& personal);
Bytes WriteGroupFile(const GroupList& groups, const PersonalList& personal);
