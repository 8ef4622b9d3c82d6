#include "addressbook/core/hand_over_plan.h"

#include <algorithm>
#include <cstring>

namespace {

const PersonalEntry* PersonalOf(uint32_t index, const AddressBook& book)
{
    return index < book.personal.Count() ? &book.personal.entries[index] : nullptr;
}

bool IsPredefined(EntryRef item, const AddressBook& book)
{
    const PersonalEntry* entry = PersonalOf(RefIndex(item), book);
    return RefKind(item) == kKindPersonal && entry != nullptr && entry->state == kEntryPredefined;
}

class AddressWriter {
public:
    explicit AddressWriter(HandOverPlan& plan, uint64_t length) : plan_(plan), length_(length) {}

    // A non-empty address and its ";"; an empty one adds nothing, not even the separator.
    void Add(const PersonalEntry& entry)
    {
        const size_t size = strnlen(entry.address, kTextFieldSize - 1);
        if (size == 0)
            return;
        plan_.text.insert(plan_.text.end(), entry.address, entry.address + size);
        length_ += size;
        Put(';');
    }

    void Put(char c)
    {
        plan_.text.push_back(static_cast<uint8_t>(c));
        ++length_;
    }

    // The last ";" becomes the terminator when anything was written, else the terminator is
    // written where the text starts.
    void Finish()
    {
        if (length_ > 0)
            plan_.text.pop_back();
        Put('\0');
        plan_.length = static_cast<uint32_t>(std::min<uint64_t>(length_, UINT32_MAX));
    }

private:
    HandOverPlan& plan_;
    uint64_t length_;
};

void AddAddressesOf(EntryRef item, const AddressBook& book, AddressWriter& writer)
{
    const uint32_t index = RefIndex(item);
    if (RefKind(item) == kKindPersonal) {
        if (const PersonalEntry* entry = PersonalOf(index, book))
            writer.Add(*entry);
        return;
    }
    if (RefKind(item) != kKindGroup || index >= book.groups.Count())
        return;
    for (uint32_t member : book.groups.entries[index].members) {
        const PersonalEntry* entry = PersonalOf(member, book);
        if (entry != nullptr && entry->state == kEntryLive)
            writer.Add(*entry);
    }
}

} // namespace

HandOverPlan PlanHandOver(uint64_t fileSize, const std::vector<EntryRef>& recipients,
                          const AddressBook& book)
{
    HandOverPlan plan{0, {}, 0};
    size_t first = 0;
    uint64_t kept = 0;
    // Keep mode: the file's text stays, its terminator becomes the separator before the new ones.
    const bool keep = !recipients.empty() && IsPredefined(recipients[0], book);
    if (keep) {
        first = 1;
        if (fileSize > 0) {
            plan.offset = fileSize - 1;
            kept = fileSize;
        }
    }
    AddressWriter writer(plan, kept);
    if (kept > 0)
        writer.Put(';');
    for (size_t i = first; i < recipients.size(); ++i)
        AddAddressesOf(recipients[i], book, writer);
    writer.Finish();
    return plan;
}
