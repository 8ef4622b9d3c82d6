#include "addressbook/core/data_files.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr char kPredefinedName[] = "PreDefined Addresses";
constexpr char kPredefinedDetails[] = ";;";
// A predefined address of more than this many bytes read shows this many and "...".
constexpr size_t kPredefinedShown = 124;
// The smallest records: four empty strings; two empty strings and M, L.
constexpr size_t kMinPersonalRecord = 4;
constexpr size_t kMinGroupRecord = 10;

// Reads a file's parts front to back. Every read checks the bytes left, so a file that ends
// early, holds a count larger than its records or a string without terminator can never make
// a read go past the buffer: the read fails instead.
class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : next_(data), end_(data + size) {}

    size_t Remaining() const { return static_cast<size_t>(end_ - next_); }

    bool ReadCount(uint32_t& value)
    {
        if (Remaining() < 4)
            return false;
        value = uint32_t{next_[0]} | uint32_t{next_[1]} << 8 | uint32_t{next_[2]} << 16 |
                uint32_t{next_[3]} << 24;
        next_ += 4;
        return true;
    }

    // A zero-terminated string; fails when no terminator comes before the end.
    bool ReadText(const char*& text)
    {
        const void* terminator = Remaining() == 0 ? nullptr : std::memchr(next_, 0, Remaining());
        if (terminator == nullptr)
            return false;
        text = reinterpret_cast<const char*>(next_);
        next_ = static_cast<const uint8_t*>(terminator) + 1;
        return true;
    }

    // Takes the next `size` bytes as a reader of their own.
    bool Split(size_t size, ByteReader& part)
    {
        if (Remaining() < size)
            return false;
        part = ByteReader(next_, size);
        next_ += size;
        return true;
    }

private:
    const uint8_t* next_;
    const uint8_t* end_;
};

class ByteWriter {
public:
    void PutCount(uint32_t value) { PutCountAt(bytes_.size(), value); }

    // Overwrites the 4 bytes at `offset`, or appends them at the end.
    void PutCountAt(size_t offset, uint32_t value)
    {
        if (offset + 4 > bytes_.size())
            bytes_.resize(offset + 4);
        for (int i = 0; i < 4; ++i)
            bytes_[offset + i] = static_cast<uint8_t>(value >> (8 * i));
    }

    // A field's text (at most its 127 bytes) and the terminator.
    void PutText(const char (&field)[kTextFieldSize])
    {
        bytes_.insert(bytes_.end(), field, field + strnlen(field, kTextFieldSize - 1));
        bytes_.push_back(0);
    }

    size_t Size() const { return bytes_.size(); }
    Bytes Take() { return std::move(bytes_); }

private:
    Bytes bytes_;
};

// The index FindLivePersonal gives for a name, from a hash table: loading a thousand groups of
// fifty members must not walk the whole personal list for every member.
class LivePersonalNames {
public:
    LivePersonalNames(const PersonalList& personal, const LeadBytes& lead) : personal_(personal), lead_(lead)
    {
        if (!personal.exists)
            return;
        size_t size = 16;
        while (size < 2 * size_t{personal.Count()})
            size *= 2;
        slots_.assign(size, Slot{0, kFreeSlot});
        for (uint32_t i = 0; i < personal.Count(); ++i) {
            if (personal.entries[i].state != kEntryLive)
                continue;
            const uint32_t hash = NameHash(personal.entries[i].name, lead);
            Slot& slot = slots_[SlotOf(personal.entries[i].name, hash)];
            if (slot.index == kFreeSlot)
                slot = {hash, i}; // the first live entry of a name stays
        }
    }

    int Find(const char* name) const
    {
        if (slots_.empty())
            return -1;
        const uint32_t index = slots_[SlotOf(name, NameHash(name, lead_))].index;
        return index == kFreeSlot ? -1 : static_cast<int>(index);
    }

private:
    static constexpr uint32_t kFreeSlot = UINT32_MAX;
    struct Slot {
        uint32_t hash; // kept so that other names are passed over without reading their entry
        uint32_t index;
    };

    // The slot holding the name, or the free one where it would go (at most half are taken).
    size_t SlotOf(const char* name, uint32_t hash) const
    {
        const size_t mask = slots_.size() - 1;
        for (size_t s = hash & mask;; s = (s + 1) & mask) {
            const Slot& slot = slots_[s];
            if (slot.index == kFreeSlot ||
                (slot.hash == hash && SameName(personal_.entries[slot.index].name, name, lead_)))
                return s;
        }
    }

    const PersonalList& personal_;
    const LeadBytes& lead_;
    std::vector<Slot> slots_;
};

PersonalEntry PredefinedEntry(const char* address, const LeadBytes& lead)
{
    PersonalEntry entry{};
    entry.state = kEntryPredefined;
    CopyToField(entry.name, kPredefinedName, lead);
    CopyToField(entry.address, address, lead);
    CopyToField(entry.details, kPredefinedDetails, lead);
    return entry;
}

bool ReadPersonalRecord(ByteReader& reader, const LeadBytes& lead, PersonalEntry& entry)
{
    const char* name;
    const char* address;
    const char* details;
    const char* note;
    if (!reader.ReadText(name) || !reader.ReadText(address) || !reader.ReadText(details) ||
        !reader.ReadText(note))
        return false;
    CopyToField(entry.name, name, lead);
    CopyToField(entry.address, address, lead);
    CopyToField(entry.details, details, lead);
    CopyToField(entry.note, note, lead);
    return true;
}

// Up to `count` member names from the record's member bytes; a name cut off by their end is
// dropped, and so is a name that matches no live personal entry.
std::vector<uint32_t> ResolveMembers(ByteReader names, uint32_t count,
                                     const LivePersonalNames& personal)
{
    std::vector<uint32_t> members;
    const char* name;
    for (uint32_t i = 0; i < count && names.ReadText(name); ++i) {
        const int index = personal.Find(name);
        if (index >= 0)
            members.push_back(static_cast<uint32_t>(index));
    }
    return members;
}

bool ReadGroupRecord(ByteReader& reader, const LivePersonalNames& personal, const LeadBytes& lead,
                     GroupEntry& entry)
{
    const char* name;
    const char* note;
    uint32_t memberCount;
    uint32_t memberBytes;
    ByteReader names(nullptr, 0);
    if (!reader.ReadText(name) || !reader.ReadText(note) || !reader.ReadCount(memberCount) ||
        !reader.ReadCount(memberBytes) || !reader.Split(memberBytes, names))
        return false;
    CopyToField(entry.name, name, lead);
    CopyToField(entry.note, note, lead);
    entry.members = ResolveMembers(names, memberCount, personal);
    entry.members.shrink_to_fit();
    return true;
}

// The list of a file: the count, then the records after the entries that come first, while
// the count, the room of an EntryRef and the bytes last.
template <class Entry, class ReadRecord>
EntryList<Entry> ReadRecords(const uint8_t* data, size_t size, size_t minRecord,
                             std::vector<Entry> first, ReadRecord readRecord)
{
    EntryList<Entry> list;
    ByteReader reader(data, size);
    uint32_t count;
    if (!reader.ReadCount(count))
        return list;
    list.exists = true;
    const uint64_t records = std::min<uint64_t>(
        {count, reader.Remaining() / minRecord, kMaxListEntries - first.size()});
    list.entries = std::move(first);
    list.entries.reserve(list.entries.size() + records);
    for (uint64_t i = 0; i < records; ++i) {
        list.entries.emplace_back();
        if (!readRecord(reader, list.entries.back())) {
            list.entries.pop_back();
            break;
        }
    }
    return list;
}

// A file of the count and the records of the live entries, in index order.
template <class Entry, class PutRecord>
Bytes WriteLiveRecords(const std::vector<Entry>& entries, PutRecord putRecord)
{
    ByteWriter file;
    file.PutCount(0);
    uint32_t written = 0;
    for (const Entry& entry : entries) {
        if (entry.state != kEntryLive)
            continue;
        putRecord(file, entry);
        ++written;
    }
    file.PutCountAt(0, written);
    return file.Take();
}

} // namespace

void PredefinedAddressFrom(const uint8_t* data, size_t size, const LeadBytes& lead,
                           char (&address)[kTextFieldSize])
{
    const size_t read = std::min(size, kTextFieldSize - 1);
    std::memset(address, 0, kTextFieldSize);
    if (read > 0)
        std::memcpy(address, data, read);
    if (read <= kPredefinedShown)
        return;
    // The dots follow the last whole character within the shown bytes, or stand behind the
    // terminator of a text that ends before them.
    const size_t kept = WholeCharBytes(address, kPredefinedShown, lead);
    const size_t dots = address[kept] == '\0' ? kPredefinedShown : kept;
    std::memset(address + dots, 0, kTextFieldSize - dots);
    std::memcpy(address + dots, "...", 4);
}

PersonalList ReadPersonalFile(const uint8_t* data, size_t size, const char* predefinedAddress,
                              const LeadBytes& lead)
{
    return ReadRecords<PersonalEntry>(data, size, kMinPersonalRecord, {PredefinedEntry(predefinedAddress, lead)},
                                      [&](ByteReader& reader, PersonalEntry& entry) {
                                          return ReadPersonalRecord(reader, lead, entry);
                                      });
}

GroupList ReadGroupFile(const uint8_t* data, size_t size, const PersonalList& personal, const LeadBytes& lead)
{
    const LivePersonalNames names(personal, lead);
    return ReadRecords<GroupEntry>(data, size, kMinGroupRecord, {},
                                   [&](ByteReader& reader, GroupEntry& entry) {
                                       return ReadGroupRecord(reader, names, lead, entry);
                                   });
}

Bytes WritePersonalFile(const PersonalList& personal)
{
    return WriteLiveRecords(personal.entries, [](ByteWriter& file, const PersonalEntry& entry) {
        file.PutText(entry.name);
        file.PutText(entry.address);
        file.PutText(entry.details);
        file.PutText(entry.note);
    });
}

Bytes WriteGroupFile(const GroupList& groups, const PersonalList& personal)
{
    return WriteLiveRecords(groups.entries, [&](ByteWriter& file, const GroupEntry& group) {
        file.PutText(group.name);
        file.PutText(group.note);
        const size_t counts = file.Size();
        file.PutCount(0);
        file.PutCount(0);
        uint32_t members = 0;
        if (personal.exists) {
            // Members whose personal entry is no longer live leave the group here.
            for (uint32_t index : group.members) {
                if (index >= personal.Count() || personal.entries[index].state != kEntryLive)
                    continue;
                file.PutText(personal.entries[index].name);
                ++members;
            }
        }
        file.PutCountAt(counts, members);
        file.PutCountAt(counts + 4, static_cast<uint32_t>(file.Size() - counts - 8));
    });
}
