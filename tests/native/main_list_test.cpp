#include "addressbook/core/main_list.h"

#include "tests/native/address_book_builder.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Items = std::vector<EntryRef>;

EntryRef P(uint32_t index) { return MakeEntryRef(index, kKindPersonal); }
EntryRef G(uint32_t index) { return MakeEntryRef(index, kKindGroup); }

// Index 0 predefined, 1 "b" (b@z), 2 "A" deleted, 3 "a" (a@z), 4 "c" with no address; groups "y", "x" deleted, "w".
AddressBook SampleBook()
{
    AddressBook book = MakeBook({Person("PreDefined", "", kEntryPredefined), Person("b", "b@z"),
                                 Person("A", "a@y", kEntryDeleted), Person("a", "a@z"), Person("c")},
                                {Group("y"), Group("x", {}, kEntryDeleted), Group("w")});
    RebuildSortIndexes(book);
    return book;
}

TEST(MainList, ShowsLiveEntriesInIndexOrderPeopleFirst)
{
    EXPECT_EQ(ItemsInIndexOrder(SampleBook()), (Items{P(1), P(3), P(4), G(0), G(2)}));
    EXPECT_EQ(ItemsInIndexOrder(AddressBook()), Items());
}

TEST(MainList, EachDisplayCommandAlternatesItsOwnDirection)
{
    AddressBook book = SampleBook();
    const Items byName = {P(3), P(1), P(4), G(2), G(0)};
    const Items byNameDescending = {P(4), P(1), P(3), G(0), G(2)};
    const Items byAddress = {P(3), P(1), P(4), G(0), G(2)}; // "c" has no address: it stays last
    const Items byAddressDescending = {P(4), P(1), P(3), G(0), G(2)};
    DisplayDirections directions;
    EXPECT_EQ(DisplayByName(book, directions), byName);
    EXPECT_EQ(DisplayByAddress(book, directions), byAddress);
    EXPECT_EQ(DisplayByName(book, directions), byNameDescending);
    EXPECT_EQ(DisplayByName(book, directions), byName);
    EXPECT_EQ(DisplayByAddress(book, directions), byAddressDescending);
    EXPECT_EQ(directions.byName, 1);
    EXPECT_EQ(directions.byAddress, 2);
}

TEST(MainList, ADisplayAfterAChangeShowsTheOrderOfTheListsAsTheyAreNow)
{
    AddressBook book = SampleBook();
    CopyToField(book.personal.entries[4].name, "0", LeadBytes());
    InvalidateSortIndexes(book);
    DisplayDirections directions;
    EXPECT_EQ(DisplayByName(book, directions), (Items{P(4), P(3), P(1), G(2), G(0)}));
}

TEST(MainList, ADisplayWithoutEntriesDoesNothingAndKeepsTheDirection)
{
    DisplayDirections directions;
    AddressBook empty;
    EXPECT_FALSE(DisplayByName(empty, directions));
    EXPECT_FALSE(DisplayByAddress(empty, directions));
    EXPECT_EQ(directions.byName, 0);
    EXPECT_EQ(directions.byAddress, 0);
    AddressBook groupsOnly = MakeBook({}, {Group("g")});
    EXPECT_EQ(DisplayByName(groupsOnly, directions), Items{G(0)});
    EXPECT_FALSE(DisplayByAddress(groupsOnly, directions));
}

TEST(MainList, CommandsAreEnabledByTheListsAndTheirSelections)
{
    const PersonalList people = SampleBook().personal;
    const PersonalList deletedOnly = MakeBook({Person("gone", "", kEntryDeleted)}).personal;
    const PersonalList predefinedOnly = MakeBook({Person("PreDefined", "", kEntryPredefined)}).personal;
    const struct {
        const char* what;
        ListCounts counts;
        const PersonalList& personal;
        Enabling expected; // newPersonal, newGroup, find, remove, edit, addRecipient, removeRecipient, send
    } cases[] = {
        {"an empty list", {0, 0}, people, {true, false, false, false, false, false, false, false}},
        {"items, none selected", {3, 0}, people, {true, true, true, false, false, false, false, false}},
        {"one selected", {3, 1}, people, {true, true, true, true, true, false, false, false}},
        {"two selected", {3, 2}, people, {true, true, true, true, false, false, false, false}},
        {"every person deleted", {1, 0}, deletedOnly, {true, false, true, false, false, false, false, false}},
        {"the predefined entry counts", {1, 0}, predefinedOnly, {true, true, true, false, false, false, false, false}},
        {"a recipient box, nothing chosen", {3, 0, true, 0, 0}, people, {true, true, true, false, false, false, false, false}},
        {"a recipient box, all chosen", {3, 2, true, 1, 4}, people, {true, true, true, true, false, true, true, true}},
        {"recipients held, none selected", {3, 1, true, 0, 1}, people, {true, true, true, true, true, true, false, true}},
    };
    for (const auto& c : cases) {
        const Enabling got = EnablingFor(c.counts, c.personal);
        const Enabling& want = c.expected;
        EXPECT_EQ((std::vector<bool>{got.newPersonal, got.newGroup, got.find, got.remove, got.edit, got.addRecipient,
                                     got.removeRecipient, got.send}),
                  (std::vector<bool>{want.newPersonal, want.newGroup, want.find, want.remove, want.edit,
                                     want.addRecipient, want.removeRecipient, want.send}))
            << c.what;
    }
}

TEST(MainList, DeleteMarksTheEntriesAndTakesTheirItemsOutOfBothListsLastFirst)
{
    AddressBook book = SampleBook();
    const DeletedItems deleted = DeleteSelected(book, {0, 3, 4}, {P(1), G(0), G(2)}, {P(0), G(2), P(3), P(1)});
    EXPECT_EQ(deleted.recipientPositions, (std::vector<int>{3, 1}));
    EXPECT_EQ(deleted.mainPositions, (std::vector<int>{4, 3, 0}));
    EXPECT_EQ(book.personal.entries[1].state, kEntryDeleted);
    EXPECT_EQ(book.personal.entries[3].state, kEntryLive);
    EXPECT_EQ(book.groups.entries[0].state, kEntryDeleted);
    EXPECT_EQ(book.groups.entries[2].state, kEntryDeleted);
    EXPECT_EQ(ItemsInIndexOrder(book), (Items{P(3), P(4)}));
}

TEST(MainList, DeleteIgnoresItemsOfEntriesThatAreNotThere)
{
    AddressBook book = SampleBook();
    const DeletedItems deleted = DeleteSelected(book, {0}, {P(9)}, {});
    EXPECT_EQ(deleted.mainPositions, std::vector<int>{0});
    EXPECT_EQ(ItemsInIndexOrder(book), ItemsInIndexOrder(SampleBook()));
}

} // namespace
