#include "addressbook/core/find_in_list.h"

#include <cstring>

namespace {

// The text an item is searched in; null when the item cannot match (a group's address, or an
// item whose entry is not in its list).
const char* SearchedText(EntryRef item, const AddressBook& book, FindKind kind)
{
    const uint32_t index = RefIndex(item);
    switch (RefKind(item)) {
    case kKindPersonal:
        if (index >= book.personal.Count())
            return nullptr;
        return kind == FindKind::Names ? book.personal.entries[index].name
                                       : book.personal.entries[index].address;
    case kKindGroup:
        if (kind != FindKind::Names || index >= book.groups.Count())
            return nullptr;
        return book.groups.entries[index].name;
    }
    return nullptr;
}

bool ContainsAtACharacter(const char* searched, const char* text, const LeadBytes& lead)
{
    const size_t length = std::strlen(text);
    for (const char* at = searched;; at += lead.CharBytes(at)) {
        if (std::strncmp(at, text, length) == 0)
            return true;
        if (*at == '\0')
            return false;
    }
}

int ScanFrom(size_t first, const std::vector<EntryRef>& items, const AddressBook& book,
             FindKind kind, const char* text, const LeadBytes& lead)
{
    for (size_t i = first; i < items.size(); ++i) {
        const char* searched = SearchedText(items[i], book, kind);
        if (searched != nullptr && ContainsAtACharacter(searched, text, lead))
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace

int FindInMainList(const std::vector<EntryRef>& items, const AddressBook& book, FindKind kind,
                   const char* text, const LeadBytes& lead, uint32_t& position)
{
    if (items.empty())
        return -1;
    int found = ScanFrom(position, items, book, kind, text, lead);
    // Wrap once, unless the scan covered the whole list already.
    if (found < 0 && position != 0)
        found = ScanFrom(0, items, book, kind, text, lead);
    position = found < 0 ? 0 : static_cast<uint32_t>(found) + 1;
    return found;
}
