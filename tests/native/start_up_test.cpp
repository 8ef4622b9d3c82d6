#include "addressbook/core/recipient_mode.h"
#include "addressbook/core/window_geometry.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

TEST(RecipientMode, OnlyTheExactTailsStartRecipientMode)
{
    const std::pair<const char*, RecipientMode> cases[] = {
        {"/p", kRecipientP},    {"/o", kRecipientO},    {"/O", kRecipientOff}, {"/o ", kRecipientOff},
        {" /p", kRecipientOff}, {"/p /o", kRecipientOff}, {"", kRecipientOff}, {nullptr, kRecipientOff},
    };
    for (const auto& [tail, mode] : cases)
        EXPECT_EQ(RecipientModeFrom(tail), mode) << (tail ? tail : "null");
}

TEST(WindowGeometry, SavedPlacementUnlessUnusable)
{
    const PixelBox desktop{0, 0, 1024, 768};
    const PixelBox centred{240, 224, 544, 320};
    const int missing = kMissingSetting;
    struct Case {
        const char* what;
        PixelBox saved, desktop, placed;
    };
    const Case cases[] = {
        {"saved; x and y unchecked", {-50, 10, 600, 400}, desktop, {-50, 10, 600, 400}},
        {"width equal to the desktop's", {0, 0, 1024, 400}, desktop, centred},
        {"height equal to the desktop's", {0, 0, 600, 768}, desktop, centred},
        {"zero width", {0, 0, 0, 400}, desktop, centred},
        {"a value missing", {missing, 0, 600, 400}, desktop, centred},
        {"500 pixels wide desktop", {missing, 0, 0, 0}, {0, 0, 500, 300}, {10, 50, 480, 200}},
        {"desktop not at the origin", {missing, 0, 0, 0}, {100, 50, 1024, 768}, {340, 274, 544, 320}},
    };
    for (const Case& c : cases) {
        const PixelBox placed = ChooseWindowPlacement(c.saved, c.desktop);
        EXPECT_EQ((std::vector<int>{placed.x, placed.y, placed.width, placed.height}),
                  (std::vector<int>{c.placed.x, c.placed.y, c.placed.width, c.placed.height}))
            << c.what;
    }
}

TEST(WindowGeometry, RowSnappingLeavesWholeListRows)
{
    EXPECT_EQ(RowSnapExcess(300, 100, 20), 0);
    EXPECT_EQ(RowSnapExcess(305, 100, 20), 5);
    EXPECT_EQ(RowSnapExcess(135, 100, 10), 3); // rows at least 16 high
    EXPECT_EQ(RecipientBoxHeight(13), 82);
    EXPECT_EQ(RecipientBoxHeight(20), 92);
}
