#include "addressbook/core/data_files.h"
#include "address_book_builder.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Names(const PersonalList& list)
{
    std::vector<std::string> names;
    for (uint32_t i = 1; i < list.Count(); ++i) // after the predefined entry
        names.emplace_back(list.entries[i].name);
    return names;
}

std::vector<std::vector<std::string>> Members(const GroupList& groups, const PersonalList& personal)
{
    std::vector<std::vector<std::string>> members;
    for (const GroupEntry& group : groups.entries) {
        members.emplace_back();
        for (uint32_t index : group.members)
            members.back().emplace_back(personal.entries[index].name);
    }
    return members;
}

FileBytes& Record(FileBytes& file, const std::string& name, const std::string& address,
                  const std::string& details, const std::string& note)
{
    return file.Text(name).Text(address).Text(details).Text(note);
}

const Bytes kTwoPeople = [] {
    FileBytes file;
    Record(file.Count(2), "Anna", "anna@example.com", "Sales;Room 4;", "");
    return Record(file, "Bert", "bert@example.com", ";;", "night shift").Get();
}();

} // namespace

TEST(PersonalFile, RecordsFollowThePredefinedEntryAndAreWrittenBackByteForByte)
{
    PersonalList list = ReadPersonal(kTwoPeople, "a@x;b@y");
    ASSERT_EQ(list.Count(), 3u);
    const PersonalEntry& predefined = list.entries[0];
    EXPECT_EQ(predefined.state, kEntryPredefined);
    EXPECT_STREQ(predefined.name, "PreDefined Addresses");
    EXPECT_STREQ(predefined.address, "a@x;b@y");
    EXPECT_STREQ(predefined.details, ";;");
    EXPECT_STREQ(list.entries[1].details, "Sales;Room 4;");
    EXPECT_STREQ(list.entries[2].note, "night shift");
    EXPECT_EQ(WritePersonalFile(list), kTwoPeople); // the predefined entry is never written

    // A deleted entry is not written, and nothing of it stays behind the last record.
    list.entries[1].state = kEntryDeleted;
    FileBytes bert;
    EXPECT_EQ(WritePersonalFile(list), Record(bert.Count(1), "Bert", "bert@example.com", ";;",
                                              "night shift").Get());
}

TEST(PredefinedEntry, TextsOf124CharactersOrMoreShowTheirFirst124AndDots)
{
    struct Case {
        const char* what;
        std::string file;
        std::string address;
    };
    const Case cases[] = {
        {"empty file", "", ""},
        {"123 characters", std::string(123, 'a') + '\0', std::string(123, 'a')},
        {"124 characters", std::string(124, 'a') + '\0', std::string(124, 'a') + "..."},
        {"300 characters", std::string(300, 'a') + '\0', std::string(124, 'a') + "..."},
        {"124 bytes without terminator", std::string(124, 'a'), std::string(124, 'a')},
        {"short text in a long file", "a@x" + std::string(200, '\0'), "a@x"},
    };
    for (const Case& c : cases) {
        char address[kTextFieldSize];
        PredefinedAddressFrom(reinterpret_cast<const uint8_t*>(c.file.data()), c.file.size(), kSingleByte, address);
        EXPECT_EQ(std::string(address), c.address) << c.what;
    }
}

TEST(PredefinedEntry, TheDotsNeverSplitATwoByteCharacter)
{
    const std::string a122(122, 'a'), ki = "\x83\x4C"; // キ
    const std::pair<std::string, std::string> cases[] = {
        {a122 + "a" + ki + ki, a122 + "a..."}, // キ on bytes 123 and 124 goes
        {a122 + ki + ki, a122 + ki + "..."},
        {a122 + ki + '\0', a122 + ki + "..."}, // a 124-byte text, as for single bytes
    };
    for (const auto& [file, shown] : cases) {
        char address[kTextFieldSize];
        PredefinedAddressFrom(reinterpret_cast<const uint8_t*>(file.data()), file.size(), Cp932(), address);
        EXPECT_EQ(std::string(address), shown);
    }
}

TEST(GroupFile, ShiftJisMembersResolveToThePersonOfExactlyThatName)
{
    const char* aki = "\x83\x41\x83\x4C"; // アキ; ヂキ differs in a second byte only
    FileBytes people;
    Record(Record(people.Count(2), aki, "", "", ""), "\x83\x61\x83\x4C", "", "", "");
    const PersonalList personal = ReadPersonal(people.Get(), "", Cp932());
    const GroupList groups =
        ReadGroups(FileBytes().Count(1).Group("g", {"\x83\x61\x83\x4C", aki, "\x83\x61\x83\x6C"}).Get(),
                   personal, Cp932());
    EXPECT_EQ(groups.entries[0].members, (std::vector<uint32_t>{2, 1}));
}

TEST(GroupFile, MembersResolveToLivePeopleWhateverTheLetterCase)
{
    const PersonalList personal = ReadPersonal(kTwoPeople);
    const GroupList groups = ReadGroups(FileBytes()
                                            .Count(5)
                                            .Group("Both", {"ANNA", "bert"})
                                            .Group("Shares Anna", {"anna", "nobody"})
                                            .Group("Matches nothing", {"nobody", "PreDefined Addresses"})
                                            .Group("M = 0", {})
                                            .Group("Twice", {"Bert", "BERT"})
                                            .Get(),
                                        personal);
    EXPECT_EQ(groups.entries[0].members, (std::vector<uint32_t>{1, 2}));
    EXPECT_EQ(groups.entries[1].members, (std::vector<uint32_t>{1})); // the same index as above
    EXPECT_EQ(Members(groups, personal), (std::vector<std::vector<std::string>>{
                                             {"Anna", "Bert"}, {"Anna"}, {}, {}, {"Bert", "Bert"}}));
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
    EXPECT_EQ(saved, FileBytes().Count(2).Group("Both", {"Anna"}).Group("Gone", {}).Get());
    EXPECT_EQ(Members(ReadGroups(saved, personal), personal),
              (std::vector<std::vector<std::string>>{{"Anna"}, {}}));
    EXPECT_EQ(WriteGroupFile(groups, PersonalList{}), // no personal list: no members
              FileBytes().Count(2).Group("Both", {}).Group("Gone", {}).Get());
}

TEST(DataFiles, DamagedPersonalFilesAreCutAtTheirLastWholeRecord)
{
    const std::string long200(200, 'n');
    struct Case {
        const char* what;
        Bytes file;
        bool exists;
        std::vector<std::string> names;
    };
    FileBytes a;
    Record(a, "a", "", "", "");
    const Case cases[] = {
        {"no records", FileBytes().Count(0).Get(), true, {}},
        {"empty file", {}, false, {}},
        {"shorter than its count", {1, 0, 0}, false, {}},
        {"count larger than the records", FileBytes().Count(5).Raw(a.Get()).Get(), true, {"a"}},
        {"record cut short", FileBytes().Count(2).Raw(a.Get()).Text("b").Get(), true, {"a"}},
        {"string without terminator", FileBytes().Count(1).Raw("abc").Get(), true, {}},
        {"string longer than a field", FileBytes().Count(1).Text(long200).Text("x").Text("").Text("").Get(),
         true, {long200.substr(0, 127)}},
        {"huge count", FileBytes().Count(0xFFFFFFFF).Get(), true, {}},
    };
    for (const Case& c : cases) {
        const PersonalList list = ReadPersonal(c.file);
        EXPECT_EQ(list.exists, c.exists) << c.what;
        EXPECT_EQ(Names(list), c.names) << c.what;
    }
    EXPECT_STREQ(ReadPersonal(cases[6].file).entries[1].address, "x"); // read on after the cut
}

TEST(DataFiles, DamagedGroupRecordsAreCutOrDropped)
{
    const PersonalList personal = ReadPersonal(kTwoPeople);
    const auto group = [](uint32_t m, uint32_t l) { return FileBytes().Text("G").Text("").Count(m).Count(l); };
    struct Case {
        const char* what;
        Bytes file;
        bool exists;
        std::vector<std::vector<std::string>> members; // of each loaded group
    };
    const Case cases[] = {
        {"shorter than its count", {0, 0}, false, {}},
        {"count larger than the records", FileBytes().Count(3).Group("G", {"Anna"}).Get(), true, {{"Anna"}}},
        {"member bytes past the end drop the record",
         FileBytes().Count(2).Group("G", {"Anna"}).Raw(group(1, 50).Text("Bert").Get()).Get(), true,
         {{"Anna"}}},
        {"M smaller than the names: the record ends after L bytes",
         FileBytes().Count(2).Raw(group(1, 10).Text("Anna").Text("Bert").Get()).Group("H", {"Bert"}).Get(),
         true, {{"Anna"}, {"Bert"}}},
        {"M larger than the names", FileBytes().Count(1).Raw(group(9, 5).Text("Anna").Get()).Get(), true,
         {{"Anna"}}},
        {"name cut off by L", FileBytes().Count(1).Raw(group(2, 8).Text("Anna").Raw("Ber").Get()).Get(),
         true, {{"Anna"}}},
        {"M = 0 skips L bytes",
         FileBytes().Count(2).Raw(group(0, 5).Text("Anna").Get()).Group("H", {"Bert"}).Get(), true,
         {{}, {"Bert"}}},
    };
    for (const Case& c : cases) {
        const GroupList groups = ReadGroups(c.file, personal);
        EXPECT_EQ(groups.exists, c.exists) << c.what;
        EXPECT_EQ(Members(groups, personal), c.members) << c.what;
    }
}

TEST(DataFiles, AtMost65536EntriesAreLoadedPerList)
{
    FileBytes people;
    FileBytes groups;
    people.Count(kMaxListEntries + 5);
    groups.Count(kMaxListEntries + 5);
    for (uint32_t i = 0; i < kMaxListEntries + 5; ++i) {
        Record(people, "p" + std::to_string(i), "", "", "");
        groups.Group("g", {});
    }
    PersonalList personal = ReadPersonal(people.Get());
    EXPECT_EQ(personal.Count(), kMaxListEntries); // the predefined entry and 65535 records
    EXPECT_STREQ(personal.entries.back().name, "p65534");
    EXPECT_EQ(AppendPersonal(personal), -1);
    EXPECT_EQ(ReadGroups(groups.Get(), personal).Count(), kMaxListEntries);
}
