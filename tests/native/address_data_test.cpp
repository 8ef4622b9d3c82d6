#include "addressbook/core/address_data.h"
#include "address_book_builder.h"
#include "literal_address_algorithms.h"

#include <gtest/gtest.h>

#include <random>

TEST(AddressLists, AppendCreatesTheListGrowsByTenAndRefusesWhatAnEntryRefCannotHold)
{
    PersonalList personal;
    EXPECT_EQ(AppendPersonal(personal), 0);
    EXPECT_TRUE(personal.exists);
    EXPECT_EQ(personal.entries.capacity(), 10u);
    EXPECT_EQ(personal.entries[0].state, kEntryLive);
    for (int i = 1; i < 11; ++i)
        EXPECT_EQ(AppendPersonal(personal), i);
    EXPECT_EQ(personal.entries.capacity(), 20u);

    personal.entries.resize(kMaxListEntries - 1);
    EXPECT_EQ(AppendPersonal(personal), 65535); // the last index an EntryRef holds
    EXPECT_EQ(AppendPersonal(personal), -1);
    EXPECT_EQ(personal.Count(), kMaxListEntries);
    GroupList groups;
    groups.entries.resize(kMaxListEntries);
    EXPECT_EQ(AppendGroup(groups), -1);
    EXPECT_FALSE(groups.exists);
}

TEST(AddressLists, FindLiveComparesNamesWithAsciiCapitalsFolded)
{
    const AddressBook book = MakeBook({Person("PreDefined Addresses", "", kEntryPredefined),
                                       Person("Anna", "", kEntryDeleted), Person("anna"),
                                       Person("ANNA"), Person("\xC4rger"), Person("a_b")},
                                      {Group("Print", {}, kEntryDeleted), Group("PRINT")});
    struct Case {
        const char* name;
        int index;
    };
    const Case cases[] = {
        {"aNnA", 2},                  // the first live one; the deleted one is skipped
        {"PreDefined Addresses", -1}, // never found
        {"\xC4RGER", 4},
        {"\xE4rger", -1}, // only ASCII letters are folded
        {"a_B", 5},
        {"a_", -1},
        {"", -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindLivePersonal(book.personal, c.name, kSingleByte), c.index) << c.name;
    EXPECT_EQ(FindLiveGroup(book.groups, "print", kSingleByte), 1);
    EXPECT_EQ(FindLiveGroup(GroupList{}, "print", kSingleByte), -1); // no list
}

// Shift-JIS: "\x83\x41" is ア, "\x83\x61" ヂ, "\x83\x4C" キ, "\x82\x60" Ａ, "\x82\x81" ａ; a second
// byte may look like an ASCII letter.
TEST(AddressLists, NamesCompareTwoByteCharactersWholeAndFoldOnlyAsciiCapitals)
{
    const struct {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"\x83\x41\x83\x4C", "\x83\x61\x83\x4C", false}, // アキ and ヂキ
        {"\x82\x60", "\x82\x81", false},                   // full-width letters keep their case
        {"Tanaka \x83\x41x", "TANAKA \x83\x41X", true},      // letters around a two-byte character fold
        {"\x83", "\x83", true},                             // a lead byte at the end stands alone
        {"\x83\x41", "\x83", false},
        {"\xB1", "\xB1", true}, // a half-width katakana is one byte
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SameName(c.a, c.b, Cp932()), c.same) << c.a << " " << c.b;
        EXPECT_TRUE(!c.same || NameHash(c.a, Cp932()) == NameHash(c.b, Cp932())) << c.a;
    }
    EXPECT_TRUE(SameName("\x83\x41", "\x83\x61", kSingleByte)) << "a single-byte code page folds every byte";
    const AddressBook book =
        MakeBook({Person("\x83\x41\x83\x4C"), Person("\x83\x61\x83\x4C")}, {Group("\x83\x61\x83\x4C")});
    EXPECT_EQ(FindLivePersonal(book.personal, "\x83\x61\x83\x4C", Cp932()), 1);
    EXPECT_EQ(FindLiveGroup(book.groups, "\x83\x41\x83\x4C", Cp932()), -1);
}

TEST(AddressLists, FieldsAreCutAfterTheirLastWholeCharacter)
{
    const std::string a125(125, 'a');
    const std::pair<std::string, size_t> cases[] = {
        {a125 + "\x83\x41", 127},     // ends on byte 127
        {a125 + "a\x83\x41", 126},    // the lead byte at 127 goes with its character
        {a125 + "\xB1\xB1\xB1", 127}, // half-width katakana are single bytes
        {"\x83\x41\x83", 3},        // a lead byte at the end stands alone
    };
    char field[kTextFieldSize];
    for (const auto& [text, kept] : cases) {
        CopyToField(field, text.c_str(), Cp932());
        EXPECT_EQ(std::string(field), text.substr(0, kept)) << text;
    }
}

TEST(SortIndexes, OrdersOfHandPickedLists)
{
    struct Case {
        const char* what;
        std::vector<std::string> keys;
        std::vector<uint32_t> order;
    };
    const Case cases[] = {
        {"\"b\", \"A\", \"a\": ties in reverse index order", {"b", "A", "a"}, {2, 1, 0}},
        {"an empty key first stays first", {"", "b", "a"}, {0, 2, 1}},
        {"an empty key follows the keys up to the largest walked before it",
         {"b", "", "a", "c", "b"}, {2, 4, 0, 1, 3}},
        {"empty keys after the same largest key keep index order", {"b", "", "", "a"}, {3, 0, 1, 2}},
        {"capitals fold to small letters, after the underscore", {"a", "_", "B"}, {1, 0, 2}},
        {"a prefix sorts first, also beyond 8 bytes", {"ab", "a", "abcdefghij", "abcdefghi"},
         {1, 0, 3, 2}},
        {"and beyond 16", {"abcdefghijklmnopq", "abcdefghijklmnop", "abcdefghijklmnoP"}, {2, 1, 0}},
        {"bytes above 127 sort after ASCII", {"\xE4", "z"}, {1, 0}},
    };
    for (const Case& c : cases) {
        std::vector<PersonalEntry> people;
        for (const std::string& key : c.keys)
            people.push_back(Person(key, key));
        AddressBook book = MakeBook(people);
        RebuildSortIndexes(book);
        EXPECT_EQ(book.sorted.personalByName, c.order) << c.what;
        EXPECT_EQ(book.sorted.personalByAddress, c.order) << c.what;
        EXPECT_EQ(LiteralSortOrder(c.keys), c.order) << c.what; // the reference agrees
    }
}

TEST(SortIndexes, EntriesNamedBAaShowAs321WithThePredefinedEntrySortedToo)
{
    AddressBook book = MakeBook({Person("PreDefined Addresses", "", kEntryPredefined), Person("b"),
                                 Person("A"), Person("a")},
                                {Group("x"), Group("X")});
    RebuildSortIndexes(book);
    EXPECT_EQ(book.sorted.personalByName, (std::vector<uint32_t>{3, 2, 1, 0}));
    EXPECT_EQ(book.sorted.groupsByName, (std::vector<uint32_t>{1, 0}));
}

TEST(SortIndexes, AgreeWithInsertionSortAndLinearLookupOnRandomLists)
{
    std::mt19937 random(9);
    // Short names from few letters: many ties, letter cases, empty keys and misses.
    const auto name = [&] {
        static const char letters[] = {'a', 'A', 'b', 'B', '_', '\xC4', '\xE4'};
        std::string text(random() % 4, ' ');
        for (char& c : text)
            c = letters[random() % sizeof letters];
        return random() % 8 == 0 ? text + "1234567812345678" : text; // past the compared prefix
    };
    const auto state = [&] { return random() % 4 == 0 ? kEntryDeleted : kEntryLive; };
    for (int round = 0; round < 200; ++round) {
        std::vector<PersonalEntry> people{Person("PreDefined Addresses", name(), kEntryPredefined)};
        for (size_t i = random() % 300; i > 0; --i)
            people.push_back(Person(name(), name(), state()));
        AddressBook book = MakeBook(people);

        FileBytes groupFile;
        std::vector<std::vector<std::string>> memberNames(random() % 20);
        groupFile.Count(memberNames.size());
        for (auto& names : memberNames) {
            names.resize(random() % 8);
            for (std::string& member : names)
                member = name();
            groupFile.Group(name(), names);
        }
        book.groups = ReadGroups(groupFile.Get(), book.personal);
        for (GroupEntry& group : book.groups.entries)
            group.state = state();
        RebuildSortIndexes(book);

        const auto& entries = book.personal.entries;
        ASSERT_EQ(book.sorted.personalByName, LiteralSortOrder(entries, &PersonalEntry::name));
        ASSERT_EQ(book.sorted.personalByAddress, LiteralSortOrder(entries, &PersonalEntry::address));
        ASSERT_EQ(book.sorted.groupsByName, LiteralSortOrder(book.groups.entries, &GroupEntry::name));
        ASSERT_EQ(book.groups.Count(), memberNames.size());
        for (size_t g = 0; g < memberNames.size(); ++g)
            ASSERT_EQ(book.groups.entries[g].members, LiteralMembers(book.personal, memberNames[g]));
    }
}
