#pragma once
// Finding an entry in the main list by a byte-wise, case-sensitive substring of its name or
// address that begins on a whole character (in a two-byte code page the bytes of a text can also
// lie across two characters of another), continuing from the last hit and wrapping once.
// Portable: no Win32 here.
#include "addressbook/core/address_data.h"

#include <cstdint>
#include <vector>

enum class FindKind { Names, Addresses };

// Scans `items` (the main list's EntryRefs in list order) from `position`; returns the index
// of the first match or -1, and leaves `position` where the next search starts.
int FindInMainList(const std::vector<EntryRef>& items, const AddressBook& book, FindKind kind,
                   const char* text, const LeadBytes& lead, uint32_t& position);
