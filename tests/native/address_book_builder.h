#pragma once
// Address books and file bytes for the address book's tests.
#include "addressbook/core/address_data.h"
#include "addressbook/core/data_files.h"

#include <string>
#include <vector>

const LeadBytes kSingleByte;
// Code page 932 (Shift-JIS): two-byte characters begin with 0x81-0x9F or 0xE0-0xFC.
inline LeadBytes Cp932()
{
    static const uint8_t ranges[] = {0x81, 0x9F, 0xE0, 0xFC, 0, 0};
    return LeadBytes(ranges, sizeof ranges);
}

inline PersonalEntry Person(const std::string& name, const std::string& address = "",
                            uint32_t state = kEntryLive)
{
    PersonalEntry entry{};
    entry.state = state;
    CopyToField(entry.name, name.c_str(), kSingleByte);
    CopyToField(entry.address, address.c_str(), kSingleByte);
    return entry;
}

inline GroupEntry Group(const std::string& name, std::vector<uint32_t> members = {},
                        uint32_t state = kEntryLive)
{
    GroupEntry entry{};
    entry.state = state;
    CopyToField(entry.name, name.c_str(), kSingleByte);
    entry.members = std::move(members);
    return entry;
}

inline AddressBook MakeBook(std::vector<PersonalEntry> people, std::vector<GroupEntry> groups = {})
{
    AddressBook book;
    book.personal.exists = !people.empty();
    book.personal.entries = std::move(people);
    book.groups.exists = !groups.empty();
    book.groups.entries = std::move(groups);
    return book;
}

// File bytes put together by hand: counts little-endian, texts with their terminator.
class FileBytes {
public:
    FileBytes& Count(uint32_t value)
    {
        for (int i = 0; i < 4; ++i)
            bytes_.push_back(static_cast<uint8_t>(value >> (8 * i)));
        return *this;
    }
    FileBytes& Raw(const std::string& bytes)
    {
        bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
        return *this;
    }
    FileBytes& Raw(const Bytes& bytes) { return Raw(std::string(bytes.begin(), bytes.end())); }
    FileBytes& Text(const std::string& text) { return Raw(text + '\0'); }
    // A group record: name, empty note, M, L and the member names.
    FileBytes& Group(const std::string& name, const std::vector<std::string>& members)
    {
        std::string names;
        for (const std::string& member : members)
            names += member + '\0';
        return Text(name).Text("").Count(members.size()).Count(names.size()).Raw(names);
    }
    const Bytes& Get() const { return bytes_; }

private:
    Bytes bytes_;
};

inline PersonalList ReadPersonal(const Bytes& file, const char* predefined = "", const LeadBytes& lead = kSingleByte)
{
    return ReadPersonalFile(file.data(), file.size(), predefined, lead);
}

inline GroupList ReadGroups(const Bytes& file, const PersonalList& personal, const LeadBytes& lead = kSingleByte)
{
    return ReadGroupFile(file.data(), file.size(), personal, lead);
}
