#pragma once
// What the editors decide without any window: the split and join of a personal entry's
// details, the names they refuse and the members the chooser adds. Portable: no Win32 here.
#include "addressbook/core/address_data.h"

#include <cstdint>
#include <string>
#include <vector>

constexpr int kEditorTextLimit = 127; // name, address and note; the details' parts take kDetailPartChars

// The three parts of `details` as the personal editor shows them: split at the first two ";",
// the third part is everything after the second; a missing ";" leaves the parts after it empty.
struct DetailParts {
    std::string first;
    std::string second;
    std::string third;
};
DetailParts SplitDetails(const char* details);
// "%s;%s;%s" of the parts, cut to fit the field.
void JoinDetails(const char* first, const char* second, const char* third, char (&details)[kTextFieldSize]);

// The message that refuses the name typed for an entry (string 128/129 when it is empty,
// 135/136 when the first live entry of that name, compared as SameName does, is another than
// `editing`), or 0 when it is accepted. `editing` is -1 for a new entry.
unsigned RefusedPersonalName(const PersonalList& list, const char* name, int editing, const LeadBytes& lead);
unsigned RefusedGroupName(const GroupList& list, const char* name, int editing, const LeadBytes& lead);

// Appends to `chosen` each of `picked`, in order, that it does not hold yet; returns those.
std::vector<uint32_t> AddNewMembers(std::vector<uint32_t>& chosen, const std::vector<uint32_t>& picked);
