#pragma once
// Builds address books and file bytes for the address book's tests.
#include "addressbook/core/address_data.h"
#include "addressbook/core/data_files.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct PersonSpec {
    PersonSpec(std::string n, std::string a = "", uint32_t s = kEntryLive)
        : name(std::move(n)), address(std::move(a)), state(s)
    {
    }
    std::string name;
    std::string address;
    uint32_t state;
};

struct GroupSpec {
    GroupSpec(std::string n, std::vector<uint32_t> m = {}, uint32_t s = kEntryLive)
        : name(std::move(n)), members(std::move(m)), state(s)
    {
    }
    std::string name;
    std::vector<uint32_t> members;
    uint32_t state;
};

inline PersonalEntry MakePerson(const PersonSpec& spec)
{
    PersonalEntry entry{};
    entry.state = spec.state;
    CopyToField(entry.name, spec.name.c_str());
    CopyToField(entry.address, spec.address.c_str());
    return entry;
}

inline AddressBook MakeBook(const std::vector<PersonSpec>& people,
                            const std::vector<GroupSpec>& groups = {})
{
    AddressBook book;
    book.personal.exists = !people.empty();
    for (const PersonSpec& spec : people)
        book.personal.entries.push_back(MakePerson(spec));
    book.groups.exists = !groups.empty();
    for (const GroupSpec& spec : groups) {
        GroupEntry entry{};
        entry.state = spec.state;
        CopyToField(entry.name, spec.name.c_str());
        entry.members = spec.members;
        book.groups.entries.push_back(entry);
    }
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
    FileBytes& Text(const std::string& text)
    {
        Raw(text);
        bytes_.push_back(0);
        return *this;
    }
    FileBytes& Raw(const std::string& bytes)
    {
        bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
        return *this;
    }
    // A group record: name, note, M, L and the member names.
    FileBytes& Group(const std::string& name, const std::vector<std::string>& members)
    {
        size_t length = 0;
        for (const std::string& member : members)
            length += member.size() + 1;
        Text(name).Text("").Count(static_cast<uint32_t>(members.size()))
            .Count(static_cast<uint32_t>(length));
        for (const std::string& member : members)
            Text(member);
        return *this;
    }
    const Bytes& Get() const { return bytes_; }

private:
    Bytes bytes_;
};

inline PersonalList ReadPersonal(const Bytes& file, const char* predefined = "")
{
    return ReadPersonalFile(file.data(), file.size(), predefined);
}

inline GroupList ReadGroups(const Bytes& file, const PersonalList& personal)
{
    return ReadGroupFile(file.data(), file.size(), personal);
}
