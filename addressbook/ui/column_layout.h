#pragma once
// The four columns shared by the column bar and the main list (icons, names, addresses, notes),
// their widths as "kapadr.ini" keeps them, the grab zones of the borders and the drop rules of
// a dragged border. Portable arithmetic: no Win32 here.

constexpr int kColumnCount = 4;
constexpr int kGrabReach = 10; // a grab zone reaches this far to either side of its border

struct ColumnEdge {
    int left;
    int right;
};

struct ColumnEdges {
    ColumnEdge column[kColumnCount]; // 0 icons, 1 names, 2 addresses, 3 notes
    bool Hidden(int i) const { return column[i].left == column[i].right; }
};

// "attribute", "sender", "date", "subject" of the "InBox" section; a subject of -1 reaches the
// bar's right edge.
struct ColumnWidths {
    int attribute = 26;
    int sender = 100;
    int date = 100;
    int subject = -1;
};

// Column 1 starts at barLeft, each next column where the previous ends.
ColumnEdges EdgesFromWidths(const ColumnWidths& widths, int barLeft, int barRight);
ColumnWidths WidthsFromEdges(const ColumnEdges& edges);
// Column 4 grows to the bar's right edge when it ends left of it.
void ExtendLastColumn(ColumnEdges& edges, int barRight);

// The grab zone of the left edge of column i (1, 2 or 3): kGrabReach pixels to either side,
// empty when that border lies on the next border to its right (the rightmost one is grabbed).
struct GrabZone {
    int left;
    int right; // exclusive; left == right is empty
    bool Contains(int x) const { return x >= left && x < right; }
};
GrabZone GrabZoneOf(const ColumnEdges& edges, int column);

// Drops of the two draggable borders at x (negative x is taken as 0 before the rules).
void DropNamesAddressesBorder(ColumnEdges& edges, int x);
void DropAddressesNotesBorder(ColumnEdges& edges, int x);

// The borders the column bar lets the user drag (the one between icons and names stays put).
enum class DraggedBorder { None, NamesAddresses, AddressesNotes };
// The border whose grab zone holds x; where the two zones overlap, the nearer border, and of two
// at the same distance the right one.
DraggedBorder BorderGrabbedAt(const ColumnEdges& edges, int x);
// Where the border lies now: the right edge of the names or of the addresses column.
int BorderPosition(const ColumnEdges& edges, DraggedBorder border);
void DropBorder(ColumnEdges& edges, DraggedBorder border, int x);
