#include "addressbook/core/address_data.h"

#include <algorithm>
#include <cstring>

namespace {

template <class Entry>
int FindLive(const EntryList<Entry>& list, const char* name, const LeadBytes& lead)
{
    if (!list.exists)
        return -1;
    for (uint32_t i = 0; i < list.Count(); ++i) {
        const Entry& entry = list.entries[i];
        if (entry.state == kEntryLive && SameName(entry.name, name, lead))
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

// A key's first 16 folded bytes as two big-endian numbers held beside the index, so that most
// comparisons of a sort compare numbers instead of reading the entries (whose reading, spread
// over the whole list, is what a sort of many entries would wait for).
struct SortKey {
    uint64_t high;
    uint64_t low;
    uint32_t index;
};

constexpr size_t kPrefixBytes = 16;

template <class Entry>
class KeyOrder {
public:
    KeyOrder(const std::vector<Entry>& entries, char (Entry::*field)[kTextFieldSize])
        : entries_(entries), field_(field)
    {
    }

    const char* Key(uint32_t index) const { return entries_[index].*field_; }

    SortKey MakeKey(uint32_t index) const
    {
        const auto* text = reinterpret_cast<const unsigned char*>(Key(index));
        const size_t length = strnlen(Key(index), kPrefixBytes);
        // Shorter keys are padded with zero bytes, which sort first like the terminator.
        uint64_t halves[2] = {};
        for (size_t i = 0; i < kPrefixBytes; ++i)
            halves[i / 8] = halves[i / 8] << 8 | (i < length ? FoldAscii(text[i]) : 0);
        return {halves[0], halves[1], index};
    }

    // The keys alone, as CompareFolded would compare them.
    int Compare(const SortKey& a, const SortKey& b) const
    {
        if (a.high != b.high)
            return a.high < b.high ? -1 : 1;
        if (a.low != b.low)
            return a.low < b.low ? -1 : 1;
        if ((a.low & 0xFF) == 0) // both end within the prefix
            return 0;
        return CompareFolded(Key(a.index) + kPrefixBytes, Key(b.index) + kPrefixBytes);
    }

private:
    const std::vector<Entry>& entries_;
    char (Entry::*field_)[kTextFieldSize];
};

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
    const KeyOrder<Entry> order(entries, field);
    std::vector<SortKey> keyed;
    struct EmptyKey {
        uint32_t index;
        bool afterKeys; // a non-empty key came before it
        SortKey largestBefore;
    };
    std::vector<EmptyKey> empties;
    EmptyKey next{0, false, {}};
    for (uint32_t i = 0; i < entries.size(); ++i) {
        if (order.Key(i)[0] == '\0') {
            next.index = i;
            empties.push_back(next);
            continue;
        }
        keyed.push_back(order.MakeKey(i));
        if (!next.afterKeys || order.Compare(keyed.back(), next.largestBefore) > 0)
            next.largestBefore = keyed.back();
        next.afterKeys = true;
    }
    std::sort(keyed.begin(), keyed.end(), [&](const SortKey& a, const SortKey& b) {
        const int compared = order.Compare(a, b);
        return compared != 0 ? compared < 0 : a.index > b.index;
    });

    std::vector<uint32_t> sorted;
    sorted.reserve(entries.size());
    auto written = keyed.begin();
    for (const EmptyKey& empty : empties) {
        // largestBefore only grows along the walk, so the positions only grow too.
        if (empty.afterKeys) {
            const auto position = std::upper_bound(
                written, keyed.end(), empty.largestBefore,
                [&](const SortKey& bound, const SortKey& key) { return order.Compare(bound, key) < 0; });
            for (; written != position; ++written)
                sorted.push_back(written->index);
        }
        sorted.push_back(empty.index);
    }
    for (; written != keyed.end(); ++written)
        sorted.push_back(written->index);
    return sorted;
}

// The next character of a name as one number, `text` moved past it: a single byte folded, a
// two-byte character above every single byte; 0 at the terminator.
uint32_t NextNameChar(const char*& text, const LeadBytes& lead)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    const size_t size = lead.CharBytes(text);
    text += size;
    if (size == 2)
        return 0x10000u | bytes[0] << 8 | bytes[1];
    return FoldAscii(bytes[0]);
}

} // namespace

LeadBytes::LeadBytes(const uint8_t* ranges, size_t size)
{
    for (size_t i = 0; i + 1 < size && ranges[i] != 0; i += 2)
        for (unsigned byte = ranges[i]; byte <= ranges[i + 1]; ++byte)
            lead_.set(byte);
}

size_t LeadBytes::CharBytes(const char* text) const
{
    if (text[0] == '\0')
        return 0;
    return IsLead(static_cast<unsigned char>(text[0])) && text[1] != '\0' ? 2 : 1;
}

size_t WholeCharBytes(const char* text, size_t limit, const LeadBytes& lead)
{
    size_t bytes = 0;
    for (size_t next; (next = lead.CharBytes(text + bytes)) != 0 && bytes + next <= limit;)
        bytes += next;
    return bytes;
}

bool SameName(const char* a, const char* b, const LeadBytes& lead)
{
    for (;;) {
        const uint32_t x = NextNameChar(a, lead);
        if (x != NextNameChar(b, lead))
            return false;
        if (x == 0)
            return true;
    }
}

uint32_t NameHash(const char* name, const LeadBytes& lead)
{
    uint32_t hash = 2166136261u; // FNV-1a over the characters' numbers
    for (uint32_t c; (c = NextNameChar(name, lead)) != 0;)
        hash = (hash ^ c) * 16777619u;
    return hash;
}

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

int FindLivePersonal(const PersonalList& list, const char* name, const LeadBytes& lead)
{
    return FindLive(list, name, lead);
}
int FindLiveGroup(const GroupList& list, const char* name, const LeadBytes& lead) { return FindLive(list, name, lead); }

int AppendPersonal(PersonalList& list) { return Append(list); }
int AppendGroup(GroupList& list) { return Append(list); }

void CopyToField(char (&field)[kTextFieldSize], const char* text, const LeadBytes& lead)
{
    const size_t length = text == nullptr ? 0 : WholeCharBytes(text, kTextFieldSize - 1, lead);
    if (length > 0)
        std::memmove(field, text, length); // text may be the field itself
    std::memset(field + length, 0, kTextFieldSize - length);
}

void RebuildSortIndexes(AddressBook& book)
{
    book.sorted.personalByName = SortOrder(book.personal.entries, &PersonalEntry::name);
    book.sorted.personalByAddress = SortOrder(book.personal.entries, &PersonalEntry::address);
    book.sorted.groupsByName = SortOrder(book.groups.entries, &GroupEntry::name);
    book.sorted.current = true;
}

void InvalidateSortIndexes(AddressBook& book)
{
    book.sorted.current = false;
}

const SortIndexes& CurrentSortIndexes(AddressBook& book)
{
    if (!book.sorted.current)
        RebuildSortIndexes(book);
    return book.sorted;
}
