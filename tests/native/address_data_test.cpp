#include "addressbook/core/address_data.h"
#include "address_book_builder.h"
#include "literal_address_algorithms.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

TEST(AddressLists, AppendCreatesTheListAndGrowsByTen)
{
    PersonalList personal;
    EXPECT_EQ(AppendPersonal(personal), 0);
    EXPECT_TRUE(personal.exists);
    EXPECT_EQ(personal.entries.capacity(), 10u);
    EXPECT_EQ(personal.entries[0].state, kEntryLive);
    EXPECT_EQ(personal.entries[0].name[0], '\0');
    for (int i = 1; i < 11; ++i)
        EXPECT_EQ(AppendPersonal(personal), i);
    EXPECT_EQ(personal.entries.capacity(), 20u);

    GroupList groups;
    EXPECT_EQ(AppendGroup(groups), 0);
    EXPECT_TRUE(groups.exists);
    EXPECT_TRUE(groups.entries[0].members.empty());
}

TEST(AddressLists, TheEntryBeyondWhatAnEntryRefCanHoldIsRefused)
{
    PersonalList personal;
    personal.exists = true;
    personal.entries.resize(kMaxListEntries - 1);
    EXPECT_EQ(AppendPersonal(personal), 65535); // the last index an EntryRef holds
    EXPECT_EQ(RefIndex(MakeEntryRef(65535, kKindGroup)), 65535u);
    EXPECT_EQ(AppendPersonal(personal), -1);
    EXPECT_EQ(personal.Count(), kMaxListEntries);

    GroupList groups;
    groups.exists = true;
    groups.entries.resize(kMaxListEntries);
    EXPECT_EQ(AppendGroup(groups), -1);
    EXPECT_EQ(groups.Count(), kMaxListEntries);
}

TEST(AddressLists, FindLiveComparesNamesWithAsciiCapitalsFolded)
{
    AddressBook book = MakeBook({{"PreDefined Addresses", "", kEntryPredefined},
                                 {"Anna", "", kEntryDeleted},
                                 {"anna"},
                                 {"ANNA"},
                                 {"\xC4rger"},
                                 {"a_b"}});
    struct Case {
        const char* name;
        int index;
    };
    const Case cases[] = {
        {"ANNA", 2},                   // the first live one; the deleted one is skipped
        {"aNnA", 2},
        {"PreDefined Addresses", -1}, // never found
        {"\xC4RGER", 4},
        {"\xE4rger", -1},              // only ASCII letters are folded
        {"a_B", 5},
        {"a_", -1},
        {"", -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindLivePersonal(book.personal, c.name), c.index) << c.name;

    book.groups = MakeBook({}, {{"Print", {}, kEntryDeleted}, {"PRINT"}}).groups;
    EXPECT_EQ(FindLiveGroup(book.groups, "print"), 1);
    EXPECT_EQ(FindLiveGroup(GroupList{}, "print"), -1); // no list
}

TEST(AddressLists, CopyToFieldCutsToTheFieldWithItsTerminator)
{
    char field[kTextFieldSize];
    std::memset(field, 'x', sizeof field);
    CopyToField(field, std::string(300, 'a').c_str());
    EXPECT_EQ(std::string(field), std::string(127, 'a'));
    CopyToField(field, "ab");
    EXPECT_EQ(std::string(field, 4), std::string("ab\0\0", 4));
    CopyToField(field, nullptr);
    EXPECT_EQ(field[0], '\0');
}

TEST(SortIndexes, OrdersOfHandPickedLists)
{
    struct Case {
        const char* what;
        std::vector<std::string> keys;
        std::vector<uint32_t> order;
    };
    const Case cases[] = {
        {"ties in reverse index order", {"b", "A", "a"}, {2, 1, 0}},
        {"an empty key first stays first", {"", "b", "a"}, {0, 2, 1}},
        {"an empty key follows every key up to the largest walked before it",
         {"b", "", "a", "c", "b"}, {2, 4, 0, 1, 3}},
        {"two empty keys after the same largest key keep index order", {"b", "", "", "a"},
         {3, 0, 1, 2}},
        {"underscore sorts before letters, capitals folded to small", {"a", "_", "B"}, {1, 0, 2}},
        {"a prefix sorts first", {"ab", "a"}, {1, 0}},
        {"bytes above 127 sort after ASCII", {"\xE4", "z"}, {1, 0}},
    };
    for (const Case& c : cases) {
        AddressBook book;
        for (const std::string& key : c.keys)
            book.personal.entries.push_back(MakePerson({key, key}));
        RebuildSortIndexes(book);
        EXPECT_EQ(book.sorted.personalByName, c.order) << c.what;
        EXPECT_EQ(book.sorted.personalByAddress, c.order) << c.what;
        EXPECT_EQ(LiteralSortOrder(c.keys), c.order) << c.what; // the reference agrees
    }
}

TEST(SortIndexes, SortedByNameTheEntriesBAaShowAs321)
{
    AddressBook book = MakeBook({{"PreDefined Addresses", "", kEntryPredefined}, {"b"}, {"A"}, {"a"}},
                                {{"x"}, {"X"}});
    RebuildSortIndexes(book);
    EXPECT_EQ(book.sorted.personalByName, (std::vector<uint32_t>{3, 2, 1, 0}));
    EXPECT_EQ(book.sorted.groupsByName, (std::vector<uint32_t>{1, 0}));
}

namespace {

// Short names from few letters: many ties, letter cases, empty keys and misses.
std::string RandomName(std::mt19937& random)
{
    static const char letters[] = {'a', 'A', 'b', 'B', '_', '\xC4', '\xE4'};
    std::string name(random() % 4, ' ');
    for (char& c : name)
        c = letters[random() % sizeof letters];
    return name;
}

uint32_t RandomState(std::mt19937& random)
{
    return random() % 4 == 0 ? kEntryDeleted : kEntryLive;
}

} // namespace

TEST(SortIndexes, AgreeWithInsertionSortAndLinearLookupOnRandomLists)
{
    std::mt19937 random(9);
    for (int round = 0; round < 200; ++round) {
        std::vector<PersonSpec> people{{"PreDefined Addresses", RandomName(random), kEntryPredefined}};
        const size_t count = random() % 300;
        for (size_t i = 0; i < count; ++i)
            people.push_back({RandomName(random), RandomName(random), RandomState(random)});
        AddressBook book = MakeBook(people);

        FileBytes groupFile;
        const uint32_t groupCount = random() % 20;
        groupFile.Count(groupCount);
        std::vector<std::vector<std::string>> memberNames(groupCount);
        for (auto& names : memberNames) {
            names.resize(random() % 8);
            for (std::string& name : names)
                name = RandomName(random);
            groupFile.Group(RandomName(random), names);
        }
        book.groups = ReadGroups(groupFile.Get(), book.personal);
        for (GroupEntry& group : book.groups.entries)
            group.state = RandomState(random);
        RebuildSortIndexes(book);

        const auto& entries = book.personal.entries;
        ASSERT_EQ(book.sorted.personalByName, LiteralSortOrder(entries, &PersonalEntry::name));
        ASSERT_EQ(book.sorted.personalByAddress, LiteralSortOrder(entries, &PersonalEntry::address));
        ASSERT_EQ(book.sorted.groupsByName, LiteralSortOrder(book.groups.entries, &GroupEntry::name));
        ASSERT_EQ(book.groups.Count(), groupCount);
        for (uint32_t g = 0; g < groupCount; ++g)
            ASSERT_EQ(book.groups.entries[g].members, LiteralMembers(book.personal, memberNames[g]));
    }
}
