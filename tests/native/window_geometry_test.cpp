#include "addressbook/core/window_geometry.h"

#include <gtest/gtest.h>

namespace {

SavedPlacement Saved(int x, int y, int width, int height)
{
    SavedPlacement saved;
    saved.x = x;
    saved.y = y;
    saved.width = width;
    saved.height = height;
    return saved;
}

TEST(WindowPlacement, SavedValuesAreUsedOnlyWhenTheyFitTheDesktop)
{
    const Box desktop1024 = {0, 0, 1024, 768};
    const Box kDefault1024 = {240, 224, 240 + 544, 224 + 320};
    const struct {
        const char* name;
        SavedPlacement saved;
        Box desktop;
        Box expected;
    } cases[] = {
        {"nothing saved", SavedPlacement(), desktop1024, kDefault1024},
        {"width equal to the desktop's", Saved(10, 20, 1024, 300), desktop1024, kDefault1024},
        {"height equal to the desktop's", Saved(10, 20, 300, 768), desktop1024, kDefault1024},
        {"zero width", Saved(10, 20, 0, 300), desktop1024, kDefault1024},
        {"negative height", Saved(10, 20, 300, -5), desktop1024, kDefault1024},
        {"x missing", Saved(kMissingSetting, 20, 300, 200), desktop1024, kDefault1024},
        {"height missing", Saved(10, 20, 300, kMissingSetting), desktop1024, kDefault1024},
        {"one pixel smaller than the desktop", Saved(0, 0, 1023, 767), desktop1024, {0, 0, 1023, 767}},
        {"off the desktop is kept", Saved(-3000, 5000, 400, 300), desktop1024, {-3000, 5000, -2600, 5300}},
        // 500 - 20 = 480 wide; 2/3 of 400 = 266 high; centred.
        {"a 500-pixel desktop", SavedPlacement(), {0, 0, 500, 400}, {10, 67, 490, 333}},
        {"a desktop not at the origin", SavedPlacement(), {100, 50, 1124, 818}, {340, 274, 884, 594}},
        {"a small desktop takes two thirds", SavedPlacement(), {0, 0, 300, 200}, {10, 33, 290, 166}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Box placed = ChooseWindowPlacement(c.saved, c.desktop);
        EXPECT_EQ(c.expected.left, placed.left);
        EXPECT_EQ(c.expected.top, placed.top);
        EXPECT_EQ(c.expected.right, placed.right);
        EXPECT_EQ(c.expected.bottom, placed.bottom);
    }
}

TEST(WindowPlacement, TheDefaultOfA1024By768DesktopIs544By320At240And224)
{
    const Box placed = ChooseWindowPlacement(SavedPlacement(), {0, 0, 1024, 768});
    EXPECT_EQ(544, placed.Width());
    EXPECT_EQ(320, placed.Height());
    EXPECT_EQ(240, placed.left);
    EXPECT_EQ(224, placed.top);
}

// Column bar text 14 (bar 18), status text 14 (status 20): the bars take 34 + 18 + 20 = 72.
constexpr LayoutMetrics kMetrics = {14, 14, 14, 14};

TEST(ChildLayout, BarsListAndRecipientBoxShareTheClientArea)
{
    const ChildLayout normal = LayOutChildren(500, 300, kMetrics, false);
    EXPECT_EQ((Box{0, 0, 500, 34}), normal.toolbar);
    EXPECT_EQ((Box{0, 34, 500, 52}), normal.columnBar);
    EXPECT_EQ((Box{0, 52, 500, 280}), normal.mainList);
    EXPECT_EQ((Box{0, 280, 500, 300}), normal.statusWindow);

    // L = max(16, 14) = 16: H = max(82, 76) = 82.
    const ChildLayout recipient = LayOutChildren(500, 300, kMetrics, true);
    EXPECT_EQ((Box{0, 198, 500, 280}), recipient.recipientBox);
    EXPECT_EQ((Box{0, 52, 500, 198}), recipient.mainList);

    const int lefts[] = {3, 34, 65, 96, 127};
    for (int i = 0; i < kToolButtonCount; ++i)
        EXPECT_EQ((Box{lefts[i], 1, lefts[i] + 32, 33}), normal.toolButtons[i]) << i;
}

TEST(ChildLayout, ATooSmallWindowGivesTheListNoHeight)
{
    const ChildLayout layout = LayOutChildren(100, 40, kMetrics, true);
    EXPECT_EQ(0, layout.mainList.Height());
    EXPECT_EQ(layout.columnBar.bottom, layout.mainList.top);
}

TEST(ChildLayout, TheRecipientBoxGrowsWithTheSystemFont)
{
    const struct {
        int systemText;
        int height;
    } cases[] = {{10, 82}, {16, 82}, {17, 82}, {18, 84}, {25, 112}};
    for (const auto& c : cases)
        EXPECT_EQ(c.height, RecipientBoxHeight(c.systemText)) << c.systemText;
}

TEST(RowSnapping, TheWindowShrinksToWholeListRows)
{
    const struct {
        const char* name;
        int clientHeight;
        LayoutMetrics metrics;
        bool recipientBox;
        int remainder;
    } cases[] = {
        {"whole rows: 72 + 10 x 16", 232, kMetrics, false, 0},
        {"five pixels over", 237, kMetrics, false, 5},
        {"one pixel short of another row", 247, kMetrics, false, 15},
        {"rows of at least 16 for a small list font", 240, {14, 14, 10, 14}, false, 8},
        {"rows of a large list font", 240, {14, 14, 20, 14}, false, 8},
        {"the recipient box counts: 72 + 82 + 5 x 16", 234, kMetrics, true, 0},
        {"the recipient box counts, three over", 237, kMetrics, true, 3},
        {"no room for the list at all", 50, kMetrics, true, 0},
        {"less than one row left", 80, kMetrics, false, 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const int remainder = RowSnapRemainder(c.clientHeight, c.metrics, c.recipientBox);
        EXPECT_EQ(c.remainder, remainder);
        // After the shrink the list holds whole rows.
        EXPECT_EQ(0, RowSnapRemainder(c.clientHeight - remainder, c.metrics, c.recipientBox));
    }
}

} // namespace
