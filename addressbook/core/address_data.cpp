#include "addressbook/core/address_data.h"

#include <algorithm>
#include <cstring>

namespace {

template <class Entry>
int FindLive(const EntryList<Entry>& list, const char* name)
{
    if (!list.exists)
        return -1;
    for (uint32_t i = 0; i < list.Count(); ++i) {
        const Entry& entry = list.entries[i];
        if (entry.state == kEntryLive && CompareFolded(entry.name, name) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

template <class Entry>
int Append(EntryList<Entry>& list)
{
    if (list.Count() >= kMaxListEntries)
        return -1;
    std::vector<Entry>& entries = list.entries;
    if (entries.size() == entries.capacity())
        entries.reserve(entries.capacity() + kListGrowth);
    entries.emplace_back(); // value-initialised: zero-filled, live
    list.exists = true;
    return static_cast<int>(entries.size() - 1);
}

// The order a walk in index order makes when it puts each non-empty key before the first
// position whose key compares greater or equal (else at the end) and appends each empty key.
// Such a walk keeps the non-empty keys sorted, equal keys in reverse index order. An empty key
// is never compared, so it stays behind every key walked before it and ahead of every later
// key that is greater than all of those: it ends up right after the keys that compare less or
// equal to the largest key walked before it. Built here in n log n instead of by insertion.
template <class Entry>
std::vector<uint32_t> SortOrder(const std::vector<Entry>& entries,
                                char (Entry::*field)[kTextFieldSize])
{
    const auto key = [&](uint32_t i) -> const char* { return entries[i].*field; };

    std::vector<uint32_t> keyed;
    struct EmptyKey {
        uint32_t index;
        const char* largestBefore; // null when no non-empty key came before
    };
    std::vector<EmptyKey> empties;
    const char* largest = nullptr;
    for (uint32_t i = 0; i < entries.size(); ++i) {
        const char* k = key(i);
        if (k[0] == '\0') {
            empties.push_back({i, largest});
            continue;
        }
        keyed.push_back(i);
        if (largest == nullptr || CompareFolded(k, largest) > 0)
            largest = k;
    }
    std::sort(keyed.begin(), keyed.end(), [&](uint32_t a, uint32_t b) {
        const int order = CompareFolded(key(a), key(b));
        return order != 0 ? order < 0 : a > b;
    });

    std::vector<uint32_t> order;
    order.reserve(entries.size());
    size_t next = 0;
    for (const EmptyKey& empty : empties) {
        // largestBefore only grows along the walk, so the positions only grow too.
        size_t position = 0;
        if (empty.largestBefore != nullptr)
            position = std::upper_bound(keyed.begin(), keyed.end(), empty.largestBefore,
                                        [&](const char* bound, uint32_t i) {
                                            return CompareFolded(bound, key(i)) < 0;
                                        }) -
                       keyed.begin();
        for (; next < position; ++next)
            order.push_back(keyed[next]);
        order.push_back(empty.index);
    }
    for (; next < keyed.size(); ++next)
        order.push_back(keyed[next]);
    return order;
}

} // namespace

int CompareFolded(const char* a, const char* b)
{
    const auto* x = reinterpret_cast<const unsigned char*>(a);
    const auto* y = reinterpret_cast<const unsigned char*>(b);
    for (;; ++x, ++y) {
        const int difference = FoldAscii(*x) - FoldAscii(*y);
        if (difference != 0 || *x == 0)
            return difference;
    }
}

int FindLivePersonal(const PersonalList& list, const char* name) { return FindLive(list, name); }
int FindLiveGroup(const GroupList& list, const char* name) { return FindLive(list, name); }

int AppendPersonal(PersonalList& list) { return Append(list); }
int AppendGroup(GroupList& list) { return Append(list); }

void CopyToField(char (&field)[kTextFieldSize], const char* text)
{
    const size_t length = text == nullptr ? 0 : strnlen(text, kTextFieldSize - 1);
    if (length > 0)
        std::memmove(field, text, length); // text may be the field itself
    std::memset(field + length, 0, kTextFieldSize - length);
}

void RebuildSortIndexes(AddressBook& book)
{
    book.sorted.personalByName = SortOrder(book.personal.entries, &PersonalEntry::name);
    book.sorted.personalByAddress = SortOrder(book.personal.entries, &PersonalEntry::address);
    book.sorted.groupsByName = SortOrder(book.groups.entries, &GroupEntry::name);
}
