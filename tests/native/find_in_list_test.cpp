#include "addressbook/core/find_in_list.h"
#include "address_book_builder.h"

#include <gtest/gtest.h>

namespace {

const AddressBook kBook = MakeBook({Person("PreDefined Addresses", "", kEntryPredefined),
                                    Person("Anna Print", "anna@print.example"),
                                    Person("Bert", "bert@example.com"),
                                    Person("Carl Print", "PRINT@example.com")},
                                   {Group("Printers", {1, 3}), Group("Office", {2})});

// The main list: Bert, Anna Print, Office, Carl Print, Printers.
const std::vector<EntryRef> kItems = {MakeEntryRef(2, kKindPersonal), MakeEntryRef(1, kKindPersonal),
                                      MakeEntryRef(1, kKindGroup), MakeEntryRef(3, kKindPersonal),
                                      MakeEntryRef(0, kKindGroup)};

} // namespace

TEST(FindInMainList, SearchesWalkTheMatchesAndWrapAround)
{
    struct Step {
        FindKind kind;
        const char* text;
        int found;
        uint32_t next; // position after the search
    };
    struct Case {
        const char* what;
        uint32_t start;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"A, B, A: after the last match the next search starts at the top", 0,
         {{FindKind::Names, "Print", 1, 2}, {FindKind::Names, "Print", 3, 4},
          {FindKind::Names, "Print", 4, 5}, {FindKind::Names, "Print", 1, 2}}},
        {"a group is found by its name", 0, {{FindKind::Names, "Offi", 2, 3}}},
        {"never by an address", 0, {{FindKind::Addresses, "Offi", -1, 0}}},
        {"addresses of people only", 0,
         {{FindKind::Addresses, "example", 0, 1}, {FindKind::Addresses, "example", 1, 2},
          {FindKind::Addresses, "example", 3, 4}, {FindKind::Addresses, "example", 0, 1}}},
        {"lower case does not find upper case", 0, {{FindKind::Addresses, "print", 1, 2},
                                                    {FindKind::Addresses, "print", 1, 2}}},
        {"nothing found from the top: position 0", 0, {{FindKind::Names, "Zed", -1, 0}}},
        {"nothing found from further down: wraps once, position 0", 3, {{FindKind::Names, "Zed", -1, 0}}},
        {"a match above the start is found by the wrap", 2, {{FindKind::Names, "Bert", 0, 1}}},
        {"a start beyond the list wraps", 9, {{FindKind::Names, "Bert", 0, 1}}},
    };
    for (const Case& c : cases) {
        uint32_t position = c.start;
        for (const Step& step : c.steps) {
            EXPECT_EQ(FindInMainList(kItems, kBook, step.kind, step.text, kSingleByte, position), step.found) << c.what;
            EXPECT_EQ(position, step.next) << c.what;
        }
    }
}

TEST(FindInMainList, EmptyListFindsNothingAndKeepsThePosition)
{
    uint32_t position = 3;
    EXPECT_EQ(FindInMainList({}, kBook, FindKind::Names, "a", kSingleByte, position), -1);
    EXPECT_EQ(position, 3u);
}

// "\x88\x9F\x88\xA0" is 亜唖: its middle bytes "\x9F\x88" are no character of it.
TEST(FindInMainList, ShiftJisTextsAreFoundOnlyOnWholeCharacters)
{
    const AddressBook book = MakeBook({Person("\x88\x9F\x88\xA0")});
    const std::vector<EntryRef> items = {MakeEntryRef(0, kKindPersonal)};
    uint32_t position = 0;
    EXPECT_EQ(FindInMainList(items, book, FindKind::Names, "\x9F\x88", Cp932(), position), -1);
    EXPECT_EQ(FindInMainList(items, book, FindKind::Names, "\x88\xA0", Cp932(), position), 0);
    EXPECT_EQ(FindInMainList(items, book, FindKind::Names, "\x9F\x88", kSingleByte, position = 0), 0);
}
