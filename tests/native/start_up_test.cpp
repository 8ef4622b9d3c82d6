#include "addressbook/core/recipient_mode.h"
#include "addressbook/core/window_geometry.h"

#include <gtest/gtest.h>

TEST(RecipientMode, OnlyTheExactTailsStartRecipientMode)
{
    struct Case {
        const char* tail;
        RecipientMode mode;
    };
    const Case cases[] = {
        {"/p", kRecipientP}, {"/o", kRecipientO}, {"/O", kRecipientOff}, {"/P", kRecipientOff},
        {"/o ", kRecipientOff}, {" /o", kRecipientOff}, {"/p /o", kRecipientOff},
        {"", kRecipientOff}, {"-p", kRecipientOff}, {"/", kRecipientOff},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RecipientModeFrom(c.tail), c.mode) << '"' << c.tail << '"';
    EXPECT_EQ(RecipientModeFrom(nullptr), kRecipientOff);
}

TEST(WindowGeometry, SavedPlacementUnlessUnusable)
{
    const PixelBox desktop{0, 0, 1024, 768};
    const PixelBox centred{240, 224, 544, 320};
    const int missing = kMissingSetting;
    struct Case {
        const char* what;
        PixelBox saved;
        PixelBox desktop;
        PixelBox placed;
    };
    const Case cases[] = {
        {"saved", {-50, 10, 600, 400}, desktop, {-50, 10, 600, 400}}, // x and y unchecked
        {"width equal to the desktop's", {0, 0, 1024, 400}, desktop, centred},
        {"height equal to the desktop's", {0, 0, 600, 768}, desktop, centred},
        {"zero width", {0, 0, 0, 400}, desktop, centred},
        {"negative height", {0, 0, 600, -5}, desktop, centred},
        {"x missing", {missing, 0, 600, 400}, desktop, centred},
        {"height missing", {0, 0, 600, missing}, desktop, centred},
        {"500 pixels wide desktop", {missing, 0, 0, 0}, {0, 0, 500, 300}, {10, 50, 480, 200}},
        {"desktop not at the origin", {missing, 0, 0, 0}, {100, 50, 1024, 768}, {340, 274, 544, 320}},
    };
    for (const Case& c : cases) {
        const PixelBox placed = ChooseWindowPlacement(c.saved, c.desktop);
        EXPECT_EQ(placed.x, c.placed.x) << c.what;
        EXPECT_EQ(placed.y, c.placed.y) << c.what;
        EXPECT_EQ(placed.width, c.placed.width) << c.what;
        EXPECT_EQ(placed.height, c.placed.height) << c.what;
    }
}

TEST(WindowGeometry, RowSnappingLeavesWholeListRows)
{
    struct Case {
        const char* what;
        int client, fixed, listText, excess;
    };
    const Case cases[] = {
        {"whole rows", 300, 100, 20, 0},
        {"five pixels too many", 305, 100, 20, 5},
        {"rows at least 16 high", 135, 100, 10, 3},
        {"recipient box counted in the fixed part", 300, 100 + RecipientBoxHeight(13), 16, 6},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RowSnapExcess(c.client, c.fixed, c.listText), c.excess) << c.what;
    EXPECT_EQ(RecipientBoxHeight(13), 82);
    EXPECT_EQ(RecipientBoxHeight(20), 92);
}
