#pragma once
// The address book's data: personal entries and groups, each list one growable array whose
// indexes never change during a run (entries are only appended, deleted ones keep their slot),
// and the three sort orders the main list shows. Portable: no Win32 here.
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <vector>

constexpr size_t kTextFieldSize = 128; // 127 bytes of ANSI text and the terminator
constexpr size_t kDetailPartChars = 31; // each of the three ";"-joined parts of `details`
// An EntryRef holds the index in 16 bits: a list never grows past index 65535.
constexpr uint32_t kMaxListEntries = 65536;
constexpr uint32_t kListGrowth = 10;

enum EntryState : uint32_t { kEntryLive = 0, kEntryDeleted = 1, kEntryPredefined = 2 };
enum EntryKind : uint32_t { kKindPersonal = 0, kKindGroup = 1 };

struct PersonalEntry {
    uint32_t state;
    char name[kTextFieldSize]; // the key: unique among live entries, compared case-insensitively
    char address[kTextFieldSize];
    char details[kTextFieldSize]; // three parts joined as "%s;%s;%s"
    char note[kTextFieldSize];
};

struct GroupEntry {
    uint32_t state; // live or deleted
    char name[kTextFieldSize];
    char note[kTextFieldSize];
    std::vector<uint32_t> members; // personal indexes; empty when the group has none
};

// A list that was not loaded and to which nothing has been added does not exist; several
// operations behave differently then.
template <class Entry>
struct EntryList {
    bool exists = false;
    std::vector<Entry> entries;
    uint32_t Count() const { return static_cast<uint32_t>(entries.size()); }
};
using PersonalList = EntryList<PersonalEntry>;
using GroupList = EntryList<GroupEntry>;

// Every index of its list, whatever the entry's state; readers skip entries that are not live.
struct SortIndexes {
    std::vector<uint32_t> personalByName;
    std::vector<uint32_t> personalByAddress;
    std::vector<uint32_t> groupsByName;
    bool current = false; // built since the lists last changed
};

struct AddressBook {
    PersonalList personal;
    GroupList groups;
    SortIndexes sorted;
};

// What every list-box item of the address book carries: index high, kind low.
using EntryRef = uint32_t;
inline EntryRef MakeEntryRef(uint32_t index, EntryKind kind) { return (index << 16) | kind; }
inline uint32_t RefIndex(EntryRef ref) { return ref >> 16; }
inline EntryKind RefKind(EntryRef ref) { return static_cast<EntryKind>(ref & 0xFFFF); }

// The bytes that begin a two-byte character in the system's ANSI code page (none in a
// single-byte one), from the code page's lead-byte ranges as the platform gives them: pairs of
// first and last byte, up to a pair of zeros.
class LeadBytes {
public:
    LeadBytes() = default; // a single-byte code page
    LeadBytes(const uint8_t* ranges, size_t size);
    bool IsLead(unsigned char byte) const { return lead_[byte]; }
    // 2 for a lead byte followed by its second byte, else 1 (0 at the terminator).
    size_t CharBytes(const char* text) const;

private:
    std::bitset<256> lead_;
};

// The bytes of `text` up to its terminator or `limit`, whichever comes first, cut after its last
// whole character: a two-byte character is never split.
size_t WholeCharBytes(const char* text, size_t limit, const LeadBytes& lead);

// Whether two names are the same: single-byte ASCII capitals fold to small letters, two-byte
// characters compare whole (their second byte may look like a capital).
bool SameName(const char* a, const char* b, const LeadBytes& lead);
// A hash that SameName names share.
uint32_t NameHash(const char* name, const LeadBytes& lead);

// The first live entry whose name is the same as `name` (SameName); -1 when the list does not
// exist or nothing matches. The predefined entry is never found.
int FindLivePersonal(const PersonalList& list, const char* name, const LeadBytes& lead);
int FindLiveGroup(const GroupList& list, const char* name, const LeadBytes& lead);

// Appends a zero-filled live entry (creating the list when it does not exist) and returns its
// index; -1 when the list already holds kMaxListEntries entries, and nothing changes then.
int AppendPersonal(PersonalList& list);
int AppendGroup(GroupList& list);

// ASCII capitals folded to small letters; every other byte stays (names are ANSI text).
inline unsigned char FoldAscii(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}
// Compares two texts byte by byte (as unsigned bytes) with ASCII capitals folded: <0, 0, >0.
// The sort orders' rule; names are told apart by SameName.
int CompareFolded(const char* a, const char* b);

// Copies text into a field, cut after its last whole character that fits with the terminator.
void CopyToField(char (&field)[kTextFieldSize], const char* text, const LeadBytes& lead);

// Rebuilds all three sort orders. Keys compare byte by byte with ASCII capitals folded; equal
// keys come in reverse index order; an empty key stays where the walk in index order left it.
void RebuildSortIndexes(AddressBook& book);
// After a change of the lists: the orders are built again when they are next needed (only the
// display commands read them), so that neither the start nor an edit waits for three sorts.
void InvalidateSortIndexes(AddressBook& book);
// The orders, built first when the lists have changed since.
const SortIndexes& CurrentSortIndexes(AddressBook& book);
