#include "addressbook/ui/column_layout.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Left edges of columns 1 to 4 and the right edge of column 4.
using Borders = std::vector<int>;

ColumnEdges EdgesAt(const Borders& b)
{
    ColumnEdges edges{};
    for (int i = 0; i < kColumnCount; ++i)
        edges.column[i] = {b[i], b[i + 1]};
    return edges;
}

Borders BordersOf(const ColumnEdges& edges)
{
    Borders b{edges.column[0].left};
    for (int i = 0; i < kColumnCount; ++i) {
        if (i > 0) {
            EXPECT_EQ(edges.column[i - 1].right, edges.column[i].left) << "gap before column " << i;
        }
        b.push_back(edges.column[i].right);
    }
    return b;
}

const Borders kStart{0, 26, 126, 226, 500};

} // namespace

TEST(ColumnLayout, WidthsBecomeEdgesAndBack)
{
    const ColumnEdges edges = EdgesFromWidths(ColumnWidths{}, 0, 500);
    EXPECT_EQ(BordersOf(edges), kStart); // "subject" -1 reaches the right edge
    const ColumnWidths widths = WidthsFromEdges(edges);
    EXPECT_EQ((std::vector<int>{widths.attribute, widths.sender, widths.date, widths.subject}),
              (std::vector<int>{26, 100, 100, 274})); // the width it had is saved

    ColumnEdges narrow = EdgesFromWidths({26, 100, 100, 50}, 10, 500);
    EXPECT_EQ(BordersOf(narrow), (Borders{10, 36, 136, 236, 286}));
    ExtendLastColumn(narrow, 500);
    EXPECT_EQ(BordersOf(narrow), (Borders{10, 36, 136, 236, 500}));
    ExtendLastColumn(narrow, 400); // never shrinks
    EXPECT_EQ(BordersOf(narrow), (Borders{10, 36, 136, 236, 500}));
}

TEST(ColumnLayout, GrabZonesReachTenPixelsAndCoincidingBordersGiveTheRightmost)
{
    struct Case {
        const char* what;
        Borders borders;
        int column;
        int left, right;
    };
    const Case cases[] = {
        {"names-addresses border", kStart, 2, 116, 136},
        {"addresses-notes border", kStart, 3, 216, 236},
        {"addresses hidden: its left border has no zone", {0, 26, 126, 126, 500}, 2, 126, 126},
        {"addresses hidden: the notes border is grabbed", {0, 26, 126, 126, 500}, 3, 116, 136},
        {"names and addresses hidden: icons border", {0, 26, 26, 26, 500}, 1, 26, 26},
        {"names and addresses hidden: middle border", {0, 26, 26, 26, 500}, 2, 26, 26},
        {"notes hidden: the rightmost border keeps its zone", {0, 26, 126, 500, 500}, 3, 490, 510},
    };
    for (const Case& c : cases) {
        const GrabZone zone = GrabZoneOf(EdgesAt(c.borders), c.column);
        EXPECT_EQ(zone.left, c.left) << c.what;
        EXPECT_EQ(zone.right, c.right) << c.what;
    }
    const GrabZone zone{116, 136};
    EXPECT_EQ((std::vector<bool>{zone.Contains(115), zone.Contains(116), zone.Contains(135),
                                 zone.Contains(136), GrabZone{26, 26}.Contains(26)}),
              (std::vector<bool>{false, true, true, false, false}));
}

TEST(ColumnLayout, DropsOfTheTwoBorders)
{
    using Drop = void (*)(ColumnEdges&, int);
    const Drop namesAddresses = DropNamesAddressesBorder;
    const Drop addressesNotes = DropAddressesNotesBorder;
    struct Case {
        const char* what;
        Drop drop;
        Borders before;
        int x;
        Borders after;
    };
    const Case cases[] = {
        // Names-addresses: the addresses column moves with the border at its width.
        {"inside", namesAddresses, kStart, 200, {0, 26, 200, 300, 500}},
        {"on the names' left edge hides them", namesAddresses, kStart, 26, {0, 26, 26, 126, 500}},
        {"left of it stops there", namesAddresses, kStart, 10, {0, 26, 26, 126, 500}},
        {"negative x is taken as 0", namesAddresses, kStart, -40, {0, 26, 26, 126, 500}},
        {"beyond the right edge stops there, the addresses pushed past it", namesAddresses, kStart,
         900, {0, 26, 500, 600, 500}},
        {"hidden addresses stay hidden", namesAddresses, {0, 26, 126, 126, 500}, 300,
         {0, 26, 300, 300, 500}},
        // Addresses-notes: the border stays between the addresses' left and the notes' right.
        {"inside", addressesNotes, kStart, 300, {0, 26, 126, 300, 500}},
        {"beyond the right edge hides the notes", addressesNotes, kStart, 800, {0, 26, 126, 500, 500}},
        {"on the addresses' left edge hides them", addressesNotes, kStart, 126, {0, 26, 126, 126, 500}},
        {"left of the addresses hides them", addressesNotes, kStart, 80, {0, 26, 80, 80, 500}},
        {"left of the names hides both", addressesNotes, kStart, 5, {0, 26, 26, 26, 500}},
        {"negative x is taken as 0", addressesNotes, {40, 66, 166, 266, 500}, -3, {40, 66, 66, 66, 500}},
    };
    for (const Case& c : cases) {
        ColumnEdges edges = EdgesAt(c.before);
        c.drop(edges, c.x);
        EXPECT_EQ(BordersOf(edges), c.after) << c.what;
    }
}

TEST(ColumnLayout, AButtonDownGrabsTheNearerOfTheTwoDraggableBorders)
{
    const struct {
        const char* what;
        Borders borders;
        int x;
        DraggedBorder grabbed;
    } cases[] = {
        {"near the names-addresses border", {0, 26, 126, 226, 500}, 120, DraggedBorder::NamesAddresses},
        {"near the addresses-notes border", {0, 26, 126, 226, 500}, 235, DraggedBorder::AddressesNotes},
        {"inside the addresses column", {0, 26, 126, 226, 500}, 170, DraggedBorder::None},
        {"the icons-names border is not dragged", {0, 26, 126, 226, 500}, 26, DraggedBorder::None},
        {"overlapping zones: nearer the left border", {0, 26, 126, 138, 500}, 130, DraggedBorder::NamesAddresses},
        {"overlapping zones: halfway takes the right border", {0, 26, 126, 138, 500}, 132,
         DraggedBorder::AddressesNotes},
        {"overlapping zones: nearer the right border", {0, 26, 126, 138, 500}, 136, DraggedBorder::AddressesNotes},
        {"addresses hidden: the notes border, which can bring them back", {0, 26, 126, 126, 500}, 126,
         DraggedBorder::AddressesNotes},
        {"names and addresses hidden", {0, 26, 26, 26, 500}, 30, DraggedBorder::AddressesNotes},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BorderGrabbedAt(EdgesAt(c.borders), c.x), c.grabbed) << c.what;

    ColumnEdges edges = EdgesAt({0, 26, 126, 226, 500});
    EXPECT_EQ(BorderPosition(edges, DraggedBorder::NamesAddresses), 126);
    EXPECT_EQ(BorderPosition(edges, DraggedBorder::AddressesNotes), 226);
    DropBorder(edges, DraggedBorder::AddressesNotes, 300);
    DropBorder(edges, DraggedBorder::NamesAddresses, 60);
    DropBorder(edges, DraggedBorder::None, 10);
    EXPECT_EQ(BordersOf(edges), (Borders{0, 26, 60, 234, 500}));
}
