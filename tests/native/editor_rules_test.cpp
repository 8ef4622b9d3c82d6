#include "addressbook/core/editor_rules.h"

#include "addressbook/core/resource_ids.h"
#include "address_book_builder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {
struct SplitCase {
    const char* details;
    const char* first;
    const char* second;
    const char* third;
};

const SplitCase kSplitCases[] = {
    {"Sales;Room 4;Tokyo", "Sales", "Room 4", "Tokyo"},
    {";;", "", "", ""},
    {"", "", "", ""},
    {"Sales", "Sales", "", ""},
    {"Sales;Room 4", "Sales", "Room 4", ""},
    {";;Tokyo", "", "", "Tokyo"},
    {"a;b;c;d", "a", "b", "c;d"},   // a ";" typed into a part shifts the text at the next opening
    {"a;b;;", "a", "b", ";"},
};

TEST(EditorRules, DetailsSplitAtTheirFirstTwoSemicolons)
{
    for (const SplitCase& c : kSplitCases) {
        const DetailParts parts = SplitDetails(c.details);
        EXPECT_EQ(parts.first, c.first) << c.details;
        EXPECT_EQ(parts.second, c.second) << c.details;
        EXPECT_EQ(parts.third, c.third) << c.details;
    }
}

TEST(EditorRules, ThreeFullPartsAreJoinedWhole)
{
    const std::string a(kDetailPartChars, 'a'), b(kDetailPartChars, 'b'), c(kDetailPartChars, 'c');
    char details[kTextFieldSize];
    JoinDetails(a.c_str(), b.c_str(), c.c_str(), details);
    EXPECT_EQ(std::string(details), a + ";" + b + ";" + c);
    const DetailParts parts = SplitDetails(details);
    EXPECT_EQ(parts.first + parts.second + parts.third, a + b + c);
}

struct NameCase {
    const char* name;
    int editing;
    unsigned refusal;
    const char* why;
};

TEST(EditorRules, PersonalNamesAreRefusedWhenEmptyOrTakenByAnotherLiveEntry)
{
    PersonalList list;
    list.exists = true;
    list.entries = {Person("PreDefined Addresses", "", kEntryPredefined), Person("Smith", "", kEntryLive),
                    Person("Jones", "", kEntryDeleted), Person("Brown", "", kEntryLive), Person("SMITH", "", kEntryLive)};
    const NameCase cases[] = {
        {"", -1, IDS_PERSONAL_NAME_EMPTY, "a new entry without a name"},
        {"", 1, IDS_PERSONAL_NAME_EMPTY, "a name emptied in an edit"},
        {"SMITH", -1, IDS_PERSONAL_NAME_TAKEN, "a new entry named as a live one in other letters"},
        {"smith", 3, IDS_PERSONAL_NAME_TAKEN, "renaming another entry to a taken name"},
        {"SMITH", 1, 0, "renaming Smith to SMITH"},
        {"Smith", 4, IDS_PERSONAL_NAME_TAKEN, "the first live entry of the name is the one that counts"},
        {"Jones", -1, 0, "the name of a deleted entry is free"},
        {"PreDefined Addresses", -1, 0, "the predefined entry's name is free"},
        {"Miller", -1, 0, "a new name"},
    };
    for (const NameCase& c : cases)
        EXPECT_EQ(RefusedPersonalName(list, c.name, c.editing, kSingleByte), c.refusal) << c.why;
    EXPECT_EQ(RefusedPersonalName(PersonalList{}, "Smith", -1, kSingleByte), 0u) << "no list yet";
}

TEST(EditorRules, GroupNamesAreRefusedWhenEmptyOrTakenByAnotherLiveGroup)
{
    GroupList list;
    list.exists = true;
    list.entries.push_back(Group("Printers", {}, kEntryLive));
    list.entries.push_back(Group("Old", {}, kEntryDeleted));
    const NameCase cases[] = {
        {"", -1, IDS_GROUP_NAME_EMPTY, "a new group without a name"},
        {"PRINTERS", -1, IDS_GROUP_NAME_TAKEN, "a new group named as a live one in other letters"},
        {"PRINTERS", 0, 0, "the group keeps its own name in other letters"},
        {"old", -1, 0, "the name of a deleted group is free"},
    };
    for (const NameCase& c : cases)
        EXPECT_EQ(RefusedGroupName(list, c.name, c.editing, kSingleByte), c.refusal) << c.why;
}

TEST(EditorRules, ChosenMembersAreAddedOnceInTheOrderPicked)
{
    std::vector<uint32_t> chosen = {3, 5};
    EXPECT_EQ(AddNewMembers(chosen, {5, 7, 3, 8}), (std::vector<uint32_t>{7, 8}));
    EXPECT_EQ(chosen, (std::vector<uint32_t>{3, 5, 7, 8}));
    EXPECT_TRUE(AddNewMembers(chosen, {8, 7}).empty());
    EXPECT_EQ(chosen.size(), 4u);
}
} // namespace
