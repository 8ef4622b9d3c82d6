#include "addressbook/core/hand_over_plan.h"
#include "address_book_builder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Applies the plan to a file of the given content, as the send button writes it.
std::string Apply(std::string file, const HandOverPlan& plan)
{
    const std::string text(plan.text.begin(), plan.text.end());
    if (file.size() < plan.offset + text.size())
        file.resize(plan.offset + text.size());
    return file.replace(plan.offset, text.size(), text);
}

const AddressBook kBook = MakeBook({Person("PreDefined Addresses", "", kEntryPredefined),
                                    Person("B", "bbb"), Person("C", "ccc"), Person("No address"),
                                    Person("Gone", "ddd", kEntryDeleted)},
                                   {Group("Three with one deleted", {1, 4, 2}), Group("No members"),
                                    Group("Empty address", {3})});
const EntryRef kPredefined = MakeEntryRef(0, kKindPersonal);
const EntryRef kB = MakeEntryRef(1, kKindPersonal);
const EntryRef kC = MakeEntryRef(2, kKindPersonal);
const EntryRef kNoAddress = MakeEntryRef(3, kKindPersonal);
const EntryRef kThree = MakeEntryRef(0, kKindGroup);
const EntryRef kNoMembers = MakeEntryRef(1, kKindGroup);
const EntryRef kEmptyMember = MakeEntryRef(2, kKindGroup);

} // namespace

TEST(HandOverPlan, BytesWrittenAndLengthAnnounced)
{
    const std::string z(1, '\0');
    struct Case {
        const char* what;
        std::string file;
        std::vector<EntryRef> recipients;
        std::string after;
        uint32_t length;
    };
    const Case cases[] = {
        {"kept text and one address", "aaa" + z, {kPredefined, kB}, "aaa;bbb" + z, 10},
        {"predefined removed: starts at the top", "aaa" + z + "old", {kB}, "bbb" + z + "old", 5},
        {"only the predefined entry over an empty file", "", {kPredefined}, z, 1},
        {"only the predefined entry over a kept text", "aaa" + z, {kPredefined}, "aaa" + z, 6},
        {"predefined over an empty file and one address", "", {kPredefined, kB}, "bbb" + z, 5},
        {"two addresses", "", {kB, kC}, "bbb;ccc" + z, 9},
        {"a group with a deleted member", "", {kThree}, "bbb;ccc" + z, 9},
        {"an empty address adds nothing, not even a separator", "", {kB, kNoAddress, kC},
         "bbb;ccc" + z, 9},
        {"a group without members or with empty addresses adds nothing", "xy",
         {kNoMembers, kEmptyMember}, z + "y", 1},
        {"kept text, nothing new", "aaa" + z, {kPredefined, kNoAddress}, "aaa" + z, 6},
    };
    for (const Case& c : cases) {
        const HandOverPlan plan = PlanHandOver(c.file.size(), c.recipients, kBook);
        EXPECT_EQ(Apply(c.file, plan), c.after) << c.what;
        EXPECT_EQ(plan.length, c.length) << c.what;
        EXPECT_EQ(plan.text.back(), 0) << c.what;
    }
}

TEST(HandOverPlan, WithoutAPersonalListNothingIsFoundButTheTerminatorIsWritten)
{
    const AddressBook noPersonal = MakeBook({}, {Group("Orphans", {1, 2})});
    const HandOverPlan plan = PlanHandOver(4, {kB, kThree}, noPersonal);
    EXPECT_EQ(plan.offset, 0u);
    EXPECT_EQ(plan.text, Bytes{0});
    EXPECT_EQ(plan.length, 1u);
}
