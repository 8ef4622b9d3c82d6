#include "addressbook/core/recipient_box_layout.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

void ExpectBox(const Box& actual, const Box& expected, const char* what)
{
    EXPECT_EQ(actual.left, expected.left) << what;
    EXPECT_EQ(actual.top, expected.top) << what;
    EXPECT_EQ(actual.right, expected.right) << what;
    EXPECT_EQ(actual.bottom, expected.bottom) << what;
}

TEST(RecipientBoxLayout, ButtonsAtTheLeftAndAListOfFourLinesCentredBesideThem)
{
    const struct {
        const char* what;
        int width;
        int height;
        int systemText;
        Box list;
    } cases[] = {
        // L = 16: the list is 64 high in the smallest box (82): top (82 - 64) / 2 = 9.
        {"a small system font takes lines of 16", 528, 82, 14, {112, 9, 522, 73}},
        // L = 20: box 4 x 20 + 12 = 92, top (92 - 80) / 2 = 6.
        {"a large system font", 600, 92, 20, {112, 6, 594, 86}},
        {"an odd remainder rounds the top down", 300, 85, 16, {112, 10, 294, 74}},
        {"a box narrower than the buttons leaves the list no width", 100, 82, 16, {112, 9, 112, 73}},
    };
    for (const auto& c : cases) {
        const RecipientBoxLayout layout = LayOutRecipientBox(c.width, c.height, c.systemText);
        ExpectBox(layout.add, {6, 6, 106, 28}, c.what);
        ExpectBox(layout.remove, {6, 30, 106, 52}, c.what);
        ExpectBox(layout.send, {6, 54, 106, 76}, c.what);
        ExpectBox(layout.list, c.list, c.what);
    }
}

TEST(RecipientBoxLayout, TheBoxHeightFollowsTheSameLine)
{
    EXPECT_EQ(RecipientBoxHeight(14), 82);
    EXPECT_EQ(RecipientBoxHeight(18), 84);
    EXPECT_EQ(RecipientLineHeight(14), 16);
    EXPECT_EQ(RecipientLineHeight(18), 18);
}

TEST(RecipientsToAdd, PickedEntriesNotHeldYetInPickedOrderEachOnce)
{
    using Refs = std::vector<EntryRef>;
    const EntryRef predefined = MakeEntryRef(0, kKindPersonal);
    const EntryRef ann = MakeEntryRef(1, kKindPersonal);
    const EntryRef bob = MakeEntryRef(2, kKindPersonal);
    const EntryRef group1 = MakeEntryRef(1, kKindGroup); // the same index as ann, another kind
    const struct {
        const char* what;
        Refs picked;
        Refs held;
        Refs added;
    } cases[] = {
        {"into the list with the predefined entry", {bob, ann}, {predefined}, {bob, ann}},
        {"what the list holds is not added again", {ann, bob}, {predefined, ann}, {bob}},
        {"a group and a person of the same index are two items", {ann, group1}, {ann}, {group1}},
        {"picked twice, added once", {bob, bob}, {}, {bob}},
        {"nothing picked", {}, {predefined}, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RecipientsToAdd(c.picked, c.held), c.added) << c.what;
}

} // namespace
