#pragma once
// The address book's sort and member lookup written the plain way they are described, as the
// reference the fast versions must agree with: a sort by insertion into an array and a walk
// of the whole personal list for every member name. Both are quadratic.
#include "addressbook/core/address_data.h"

#include <cstdint>
#include <string>
#include <vector>

inline int LiteralCompare(const std::string& a, const std::string& b)
{
    const auto fold = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : int{c}; };
    for (size_t i = 0;; ++i) {
        const int x = i < a.size() ? fold(static_cast<unsigned char>(a[i])) : 0;
        const int y = i < b.size() ? fold(static_cast<unsigned char>(b[i])) : 0;
        if (x != y || x == 0)
            return x - y;
    }
}

// Walks the keys in index order: an empty key is appended; any other goes before the first
// position whose key compares greater or equal (empty keys are never compared), else at the end.
inline std::vector<uint32_t> LiteralSortOrder(const std::vector<std::string>& keys)
{
    std::vector<uint32_t> order;
    for (uint32_t i = 0; i < keys.size(); ++i) {
        auto position = order.begin();
        if (!keys[i].empty())
            while (position != order.end() &&
                   (keys[*position].empty() || LiteralCompare(keys[*position], keys[i]) < 0))
                ++position;
        else
            position = order.end();
        order.insert(position, i);
    }
    return order;
}

template <class Entry>
std::vector<uint32_t> LiteralSortOrder(const std::vector<Entry>& entries,
                                       char (Entry::*field)[kTextFieldSize])
{
    std::vector<std::string> keys;
    for (const Entry& entry : entries)
        keys.emplace_back(entry.*field);
    return LiteralSortOrder(keys);
}

// The first live entry whose name equals the text with ASCII capitals folded, or -1.
inline int LiteralFindLive(const PersonalList& list, const std::string& name)
{
    if (!list.exists)
        return -1;
    for (uint32_t i = 0; i < list.Count(); ++i)
        if (list.entries[i].state == kEntryLive && LiteralCompare(list.entries[i].name, name) == 0)
            return static_cast<int>(i);
    return -1;
}

// The members a group record of these names gets: each name looked up in turn, misses dropped.
inline std::vector<uint32_t> LiteralMembers(const PersonalList& list,
                                            const std::vector<std::string>& names)
{
    std::vector<uint32_t> members;
    for (const std::string& name : names) {
        const int index = LiteralFindLive(list, name);
        if (index >= 0)
            members.push_back(static_cast<uint32_t>(index));
    }
    return members;
}
