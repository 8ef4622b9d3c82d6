#include "addressbook/ui/column_layout.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Each dragged border sits between two columns: the right edge of one is the left of the next.
void PlaceBorder(ColumnEdges& edges, int leftColumn, int x)
{
    edges.column[leftColumn].right = x;
    edges.column[leftColumn + 1].left = x;
}

} // namespace

ColumnEdges EdgesFromWidths(const ColumnWidths& widths, int barLeft, int barRight)
{
    const int given[kColumnCount] = {widths.attribute, widths.sender, widths.date, widths.subject};
    ColumnEdges edges{};
    int left = barLeft;
    for (int i = 0; i < kColumnCount; ++i) {
        edges.column[i] = {left, left + given[i]};
        left = edges.column[i].right;
    }
    if (widths.subject == -1)
        edges.column[kColumnCount - 1].right = barRight;
    return edges;
}

ColumnWidths WidthsFromEdges(const ColumnEdges& edges)
{
    const auto width = [&](int i) { return edges.column[i].right - edges.column[i].left; };
    ColumnWidths widths;
    widths.attribute = width(0);
    widths.sender = width(1);
    widths.date = width(2);
    widths.subject = width(3);
    return widths;
}

void ExtendLastColumn(ColumnEdges& edges, int barRight)
{
    ColumnEdge& last = edges.column[kColumnCount - 1];
    last.right = std::max(last.right, barRight);
}

GrabZone GrabZoneOf(const ColumnEdges& edges, int column)
{
    const int border = edges.column[column].left;
    if (column + 1 < kColumnCount && edges.column[column + 1].left == border)
        return {border, border};
    return {border - kGrabReach, border + kGrabReach};
}

void DropNamesAddressesBorder(ColumnEdges& edges, int x)
{
    x = std::max(x, 0);
    const int namesLeft = edges.column[1].left;
    const int notesRight = edges.column[3].right;
    const int addressesWidth = edges.column[2].right - edges.column[2].left;
    int border = x;
    if (x <= namesLeft)
        border = namesLeft;
    else if (x >= notesRight)
        border = notesRight;
    PlaceBorder(edges, 1, border);
    PlaceBorder(edges, 2, border + addressesWidth);
}

void DropAddressesNotesBorder(ColumnEdges& edges, int x)
{
    x = std::max(x, 0);
    if (x > edges.column[2].left) {
        PlaceBorder(edges, 2, std::min(x, edges.column[3].right));
        return;
    }
    // The addresses column is hidden; left of the names column's left edge, the names too.
    const int border = std::max(x, edges.column[1].left);
    PlaceBorder(edges, 1, border);
    PlaceBorder(edges, 2, border);
}

DraggedBorder BorderGrabbedAt(const ColumnEdges& edges, int x)
{
    const bool namesAddresses = GrabZoneOf(edges, 2).Contains(x);
    const bool addressesNotes = GrabZoneOf(edges, 3).Contains(x);
    if (namesAddresses && addressesNotes) {
        const int toNamesAddresses = std::abs(x - edges.column[2].left);
        const int toAddressesNotes = std::abs(x - edges.column[3].left);
        return toNamesAddresses < toAddressesNotes ? DraggedBorder::NamesAddresses : DraggedBorder::AddressesNotes;
    }
    if (namesAddresses)
        return DraggedBorder::NamesAddresses;
    return addressesNotes ? DraggedBorder::AddressesNotes : DraggedBorder::None;
}

int BorderPosition(const ColumnEdges& edges, DraggedBorder border)
{
    return border == DraggedBorder::NamesAddresses ? edges.column[1].right : edges.column[2].right;
}

void DropBorder(ColumnEdges& edges, DraggedBorder border, int x)
{
    if (border == DraggedBorder::NamesAddresses)
        DropNamesAddressesBorder(edges, x);
    else if (border == DraggedBorder::AddressesNotes)
        DropAddressesNotesBorder(edges, x);
}
