#include "addressbook/core/data_files.h"
#include "address_book_builder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Members(const GroupEntry& group, const PersonalList& personal)
{
    std::vector<std::string> names;
    for (uint32_t index : group.members)
        names.emplace_back(personal.entries[index].name);
    return names;
}

const Bytes kTwoPeople = FileBytes()
                             .Count(2)
                             .Text("Anna").Text("anna@example.com").Text("Sales;Room 4;").Text("")
                             .Text("Bert").Text("bert@example.com").Text(";;").Text("night shift")
                             .Get();

} // namespace

TEST(PersonalFile, RecordsFollowThePredefinedEntryAndAreWrittenBackByteForByte)
{
    const PersonalList list = ReadPersonal(kTwoPeople, "a@x;b@y");
    ASSERT_EQ(list.Count(), 3u);
    const PersonalEntry& predefined = list.entries[0];
    EXPECT_EQ(predefined.state, kEntryPredefined);
    EXPECT_STREQ(predefined.name, "PreDefined Addresses");
    EXPECT_STREQ(predefined.address, "a@x;b@y");
    EXPECT_STREQ(predefined.details, ";;");
    EXPECT_STREQ(predefined.note, "");
    EXPECT_EQ(list.entries[1].state, kEntryLive);
    EXPECT_STREQ(list.entries[1].details, "Sales;Room 4;");
    EXPECT_STREQ(list.entries[2].name, "Bert");
    EXPECT_STREQ(list.entries[2].note, "night shift");

    EXPECT_EQ(WritePersonalFile(list), kTwoPeople); // the predefined entry is never written
}

TEST(PersonalFile, NoRecordsGiveOnlyThePredefinedEntry)
{
    const PersonalList list = ReadPersonal(FileBytes().Count(0).Get());
    EXPECT_TRUE(list.exists);
    EXPECT_EQ(list.Count(), 1u);
    EXPECT_EQ(WritePersonalFile(list), FileBytes().Count(0).Get());
}

TEST(PersonalFile, DeletedEntriesAreNotWrittenAndNothingStaleFollowsTheLastRecord)
{
    PersonalList list = ReadPersonal(kTwoPeople);
    list.entries[1].state = kEntryDeleted;
    const Bytes saved = WritePersonalFile(list);
    EXPECT_EQ(saved, FileBytes()
                         .Count(1)
                         .Text("Bert").Text("bert@example.com").Text(";;").Text("night shift")
                         .Get());
    EXPECT_EQ(ReadPersonal(saved).Count(), 2u);
}

TEST(PredefinedEntry, LongTextsShowTheirFirst124CharactersAndDots)
{
    struct Case {
        const char* what;
        std::string file;
        std::string address;
    };
    const std::string dots = "...";
    const Case cases[] = {
        {"empty file", "", ""},
        {"terminator only", std::string(1, '\0'), ""},
        {"123 characters", std::string(123, 'a') + '\0', std::string(123, 'a')},
        {"124 characters", std::string(124, 'a') + '\0', std::string(124, 'a') + dots},
        {"300 characters", std::string(300, 'a') + '\0', std::string(124, 'a') + dots},
        {"124 characters, no terminator", std::string(124, 'a'), std::string(124, 'a')},
        {"short text, long file", "a@x" + std::string(200, '\0'), "a@x"},
    };
    for (const Case& c : cases) {
        char address[kTextFieldSize];
        PredefinedAddressFrom(reinterpret_cast<const uint8_t*>(c.file.data()), c.file.size(),
                              address);
        EXPECT_EQ(address[kTextFieldSize - 1], '\0') << c.what;
        EXPECT_EQ(std::string(address), c.address) << c.what;
    }
}

TEST(GroupFile, MembersResolveByNameWhateverTheirLetterCase)
{
    const PersonalList personal = ReadPersonal(kTwoPeople);
    const Bytes file = FileBytes()
                           .Count(5)
                           .Group("Both", {"ANNA", "bert"})
                           .Group("Shares Anna", {"anna", "nobody"})
                           .Group("Matches nothing", {"nobody", "PreDefined Addresses"})
                           .Group("No members", {})
                           .Group("Twice", {"Bert", "BERT"})
                           .Get();
    const GroupList groups = ReadGroups(file, personal);
    struct Expected {
        const char* name;
        std::vector<uint32_t> members;
    };
    const Expected expected[] = {
        {"Both", {1, 2}}, {"Shares Anna", {1}}, {"Matches nothing", {}}, {"No members", {}},
        {"Twice", {2, 2}},
    };
    ASSERT_EQ(groups.Count(), 5u);
    for (size_t i = 0; i < groups.Count(); ++i) {
        EXPECT_STREQ(groups.entries[i].name, expected[i].name);
        EXPECT_EQ(groups.entries[i].members, expected[i].members) << expected[i].name;
    }
}

TEST(GroupFile, SavedGroupsNameLiveMembersOnly)
{
    PersonalList personal = ReadPersonal(kTwoPeople);
    GroupList groups = ReadGroups(
        FileBytes().Count(3).Group("Both", {"Anna", "Bert"}).Group("Gone", {"Bert"})
            .Group("Old", {"Anna"}).Get(),
        personal);
    personal.entries[2].state = kEntryDeleted; // Bert
    groups.entries[2].state = kEntryDeleted;   // Old

    const Bytes saved = WriteGroupFile(groups, personal);
    EXPECT_EQ(saved, FileBytes()
                         .Count(2)
                         .Group("Both", {"Anna"})
                         .Text("Gone").Text("").Count(0).Count(0) // M = 0, L = 0
                         .Get());
    EXPECT_EQ(ReadGroups(saved, personal).entries[1].members, std::vector<uint32_t>{});
    EXPECT_EQ(WriteGroupFile(groups, PersonalList{}),
              FileBytes().Count(2).Group("Both", {}).Group("Gone", {}).Get());
}

TEST(GroupFile, GroupsSurviveARenamedMemberThroughTheFollowUpSave)
{
    PersonalList personal = ReadPersonal(kTwoPeople);
    const GroupList groups = ReadGroups(FileBytes().Count(1).Group("G", {"Bert"}).Get(), personal);
    CopyToField(personal.entries[2].name, "Bertram");
    const PersonalList reloaded = ReadPersonal(WritePersonalFile(personal));
    const GroupList regrouped = ReadGroups(WriteGroupFile(groups, personal), reloaded);
    EXPECT_EQ(Members(regrouped.entries[0], reloaded), std::vector<std::string>{"Bertram"});
}

TEST(DataFiles, DamagedFilesAreCutAtTheirLastWholeRecord)
{
    const std::string long200(200, 'n');
    struct Case {
        const char* what;
        Bytes file;
        bool exists;
        std::vector<std::string> names; // of the file's records
    };
    const Case cases[] = {
        {"empty file", {}, false, {}},
        {"three bytes", {1, 0, 0}, false, {}},
        {"count larger than the records", FileBytes().Count(5).Text("a").Text("").Text("").Text("").Get(),
         true, {"a"}},
        {"record cut short", FileBytes().Count(2).Text("a").Text("").Text("").Text("").Text("b").Get(),
         true, {"a"}},
        {"string without terminator", FileBytes().Count(1).Raw("abc").Get(), true, {}},
        {"string longer than a field", FileBytes().Count(1).Text(long200).Text("x").Text("").Text("").Get(),
         true, {long200.substr(0, 127)}},
        {"huge count", FileBytes().Count(0xFFFFFFFF).Get(), true, {}},
    };
    for (const Case& c : cases) {
        const PersonalList list = ReadPersonal(c.file);
        EXPECT_EQ(list.exists, c.exists) << c.what;
        std::vector<std::string> names;
        for (uint32_t i = 1; i < list.Count(); ++i)
            names.emplace_back(list.entries[i].name);
        EXPECT_EQ(names, c.names) << c.what;
    }
    const PersonalList cut = ReadPersonal(cases[5].file);
    EXPECT_STREQ(cut.entries[1].address, "x"); // reading goes on after the long string
}

TEST(DataFiles, DamagedGroupRecordsAreCutOrDropped)
{
    const PersonalList personal = ReadPersonal(kTwoPeople);
    struct Case {
        const char* what;
        Bytes file;
        bool exists;
        std::vector<std::vector<std::string>> members; // of each loaded group
    };
    const Case cases[] = {
        {"no count", {0, 0}, false, {}},
        {"count larger than the records", FileBytes().Count(3).Group("G", {"Anna"}).Get(), true,
         {{"Anna"}}},
        {"member bytes run past the end",
         FileBytes().Count(2).Group("G", {"Anna"}).Text("H").Text("").Count(1).Count(50).Text("Bert").Get(),
         true, {{"Anna"}}},
        {"M smaller than the names", FileBytes().Count(2).Text("G").Text("").Count(1).Count(10)
             .Text("Anna").Text("Bert").Group("H", {"Bert"}).Get(),
         true, {{"Anna"}, {"Bert"}}},
        {"M larger than the names", FileBytes().Count(1).Text("G").Text("").Count(9).Count(5)
             .Text("Anna").Get(),
         true, {{"Anna"}}},
        {"last name without terminator", FileBytes().Count(1).Text("G").Text("").Count(2).Count(8)
             .Text("Anna").Raw("Ber").Get(),
         true, {{"Anna"}}},
        {"members skipped when M is 0", FileBytes().Count(2).Text("G").Text("").Count(0).Count(5)
             .Text("Anna").Group("H", {"Bert"}).Get(),
         true, {{}, {"Bert"}}},
    };
    for (const Case& c : cases) {
        const GroupList groups = ReadGroups(c.file, personal);
        EXPECT_EQ(groups.exists, c.exists) << c.what;
        std::vector<std::vector<std::string>> members;
        for (const GroupEntry& group : groups.entries)
            members.push_back(Members(group, personal));
        EXPECT_EQ(members, c.members) << c.what;
    }
}

TEST(DataFiles, AtMost65536EntriesAreLoadedPerList)
{
    FileBytes people;
    FileBytes groups;
    people.Count(kMaxListEntries + 5);
    groups.Count(kMaxListEntries + 5);
    for (uint32_t i = 0; i < kMaxListEntries + 5; ++i) {
        people.Text("p" + std::to_string(i)).Text("").Text("").Text("");
        groups.Group("g" + std::to_string(i), {});
    }
    PersonalList personal = ReadPersonal(people.Get());
    EXPECT_EQ(personal.Count(), kMaxListEntries); // the predefined entry and 65535 records
    EXPECT_STREQ(personal.entries.back().name, "p65534");
    EXPECT_EQ(AppendPersonal(personal), -1);
    EXPECT_EQ(ReadGroups(groups.Get(), personal).Count(), kMaxListEntries);
}
