#include "addressbook/core/main_list.h"

#include <algorithm>
#include <unordered_set>

namespace {

template <class Entry>
bool IsLive(const std::vector<Entry>& entries, uint32_t index)
{
    return index < entries.size() && entries[index].state == kEntryLive;
}

template <class Entry>
void AddInIndexOrder(std::vector<EntryRef>& items, const std::vector<Entry>& entries, EntryKind kind)
{
    for (uint32_t index = 0; index < entries.size(); ++index) {
        if (entries[index].state == kEntryLive)
            items.push_back(MakeEntryRef(index, kind));
    }
}

// The live entries of a sort order, forwards or backwards.
template <class Entry>
void AddInOrder(std::vector<EntryRef>& items, const std::vector<uint32_t>& order, const std::vector<Entry>& entries,
                EntryKind kind, bool forwards)
{
    for (size_t i = 0; i < order.size(); ++i) {
        const uint32_t index = order[forwards ? i : order.size() - 1 - i];
        if (IsLive(entries, index))
            items.push_back(MakeEntryRef(index, kind));
    }
}

// Advances the direction; true when it is now ascending.
bool AdvanceToAscending(int& direction)
{
    direction = direction == 1 ? 2 : 1;
    return direction == 1;
}

bool HasUndeletedEntry(const PersonalList& personal)
{
    return std::any_of(personal.entries.begin(), personal.entries.end(),
                       [](const PersonalEntry& entry) { return entry.state != kEntryDeleted; });
}

void MarkDeleted(AddressBook& book, EntryRef ref)
{
    const uint32_t index = RefIndex(ref);
    if (RefKind(ref) == kKindGroup) {
        if (index < book.groups.Count())
            book.groups.entries[index].state = kEntryDeleted;
    } else if (index < book.personal.Count()) {
        book.personal.entries[index].state = kEntryDeleted;
    }
}

} // namespace

std::vector<EntryRef> ItemsInIndexOrder(const AddressBook& book)
{
    std::vector<EntryRef> items;
    items.reserve(book.personal.entries.size() + book.groups.entries.size());
    AddInIndexOrder(items, book.personal.entries, kKindPersonal);
    AddInIndexOrder(items, book.groups.entries, kKindGroup);
    return items;
}

std::optional<std::vector<EntryRef>> DisplayByName(AddressBook& book, DisplayDirections& directions)
{
    const SortIndexes& sorted = CurrentSortIndexes(book);
    if (sorted.personalByName.empty() && sorted.groupsByName.empty())
        return std::nullopt;
    const bool forwards = AdvanceToAscending(directions.byName);
    std::vector<EntryRef> items;
    items.reserve(sorted.personalByName.size() + sorted.groupsByName.size());
    AddInOrder(items, sorted.personalByName, book.personal.entries, kKindPersonal, forwards);
    AddInOrder(items, sorted.groupsByName, book.groups.entries, kKindGroup, forwards);
    return items;
}

std::optional<std::vector<EntryRef>> DisplayByAddress(AddressBook& book, DisplayDirections& directions)
{
    const SortIndexes& sorted = CurrentSortIndexes(book);
    if (sorted.personalByAddress.empty())
        return std::nullopt;
    const bool forwards = AdvanceToAscending(directions.byAddress);
    std::vector<EntryRef> items;
    items.reserve(sorted.personalByAddress.size() + book.groups.entries.size());
    AddInOrder(items, sorted.personalByAddress, book.personal.entries, kKindPersonal, forwards);
    AddInIndexOrder(items, book.groups.entries, kKindGroup);
    return items;
}

Enabling EnablingFor(const ListCounts& counts, const PersonalList& personal)
{
    Enabling enabling;
    enabling.newGroup = counts.items > 0 && HasUndeletedEntry(personal);
    enabling.find = counts.items > 0;
    enabling.remove = counts.selected > 0;
    enabling.edit = counts.selected == 1;
    if (counts.recipientBox) {
        enabling.addRecipient = counts.selected > 0;
        enabling.removeRecipient = counts.recipientsSelected > 0;
        enabling.send = counts.recipientsHeld > 0;
    }
    return enabling;
}

DeletedItems DeleteSelected(AddressBook& book, const std::vector<int>& selected,
                            const std::vector<EntryRef>& selectedItems, const std::vector<EntryRef>& recipients)
{
    DeletedItems deleted;
    const std::unordered_set<EntryRef> refs(selectedItems.begin(), selectedItems.end());
    for (int position = static_cast<int>(recipients.size()) - 1; position >= 0; --position) {
        if (refs.count(recipients[static_cast<size_t>(position)]) != 0)
            deleted.recipientPositions.push_back(position);
    }
    for (auto ref = selectedItems.rbegin(); ref != selectedItems.rend(); ++ref)
        MarkDeleted(book, *ref);
    deleted.mainPositions.assign(selected.rbegin(), selected.rend());
    return deleted;
}
