#include "addressbook/ui/list_drawing.h"

#include "addressbook/core/address_data.h"
#include "addressbook/core/program.h"

#include <algorithm>
#include <string>

namespace {
COLORREF g_highlight = 0;
COLORREF g_highlightText = 0;

const PersonalEntry* PersonalAt(uint32_t index)
{
    const PersonalList& list = g_program.book.personal;
    return list.exists && index < list.Count() ? &list.entries[index] : nullptr;
}

const GroupEntry* GroupAt(uint32_t index)
{
    const GroupList& list = g_program.book.groups;
    return list.exists && index < list.Count() ? &list.entries[index] : nullptr;
}

HFONT FontOrSystem(HFONT font)
{
    return font != nullptr ? font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

// What every list does with a draw-item request: the content in the highlight colours cached at
// start when the item is selected, then the focus rectangle, which inverts (drawn twice it is gone).
template <class Content>
void DrawListItem(const DRAWITEMSTRUCT& item, HFONT font, Content drawContent)
{
    if (static_cast<int>(item.itemID) < 0)
        return;
    HDC dc = item.hDC;
    if ((item.itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) != 0) {
        const ScopedSelection selectedFont(dc, FontOrSystem(font));
        const bool selected = (item.itemState & ODS_SELECTED) != 0;
        COLORREF oldText = 0;
        COLORREF oldBack = 0;
        if (selected) {
            oldText = SetTextColor(dc, g_highlightText);
            oldBack = SetBkColor(dc, g_highlight);
        }
        drawContent(dc, item.rcItem);
        if (selected) {
            SetTextColor(dc, oldText);
            SetBkColor(dc, oldBack);
        }
    }
    if ((item.itemAction & ODA_FOCUS) != 0 || (item.itemState & ODS_FOCUS) != 0)
        DrawFocusRect(dc, &item.rcItem);
}

// Opaque text clipped to the rectangle.
void DrawClippedText(HDC dc, int x, int y, const RECT& clip, const std::string& text)
{
    ExtTextOut(dc, x, y, ETO_OPAQUE | ETO_CLIPPED, &clip, text.c_str(), static_cast<UINT>(text.size()), nullptr);
}

struct MainListTexts {
    std::string name;
    std::string address; // empty for a group
    std::string note;
};

void DrawInColumn(HDC dc, const RECT& item, const ColumnEdges& columns, int column, const std::string& text)
{
    if (text.empty() || columns.Hidden(column))
        return;
    const ColumnEdge& edge = columns.column[column];
    const RECT clip = {edge.left, item.top, edge.right, item.bottom};
    DrawClippedText(dc, edge.left, item.top + 1, clip, text);
}

void DrawMainListContent(HDC dc, const RECT& item, EntryRef ref, const ColumnEdges& columns)
{
    MainListTexts texts;
    bool isGroup = RefKind(ref) == kKindGroup;
    if (isGroup) {
        if (const GroupEntry* group = GroupAt(RefIndex(ref)))
            texts = {std::string(" ") + group->name, std::string(), std::string(" ") + group->note};
    } else if (const PersonalEntry* person = PersonalAt(RefIndex(ref))) {
        texts = {std::string(" ") + person->name, std::string(" ") + person->address,
                 std::string(" ") + person->note};
    }
    ExtTextOut(dc, 0, 0, ETO_OPAQUE, &item, "", 0, nullptr);
    if (texts.name.empty())
        return; // an item of an entry that is not there: nothing but the background
    const int iconX = (columns.column[0].right - columns.column[0].left - kIconWidth) / 2;
    if (isGroup)
        g_mainIcons.DrawGroup(dc, iconX, item.top);
    else
        g_mainIcons.DrawPerson(dc, iconX, item.top);
    DrawInColumn(dc, item, columns, 1, texts.name);
    DrawInColumn(dc, item, columns, 2, texts.address);
    DrawInColumn(dc, item, columns, 3, texts.note);
}

// The text of a compact-list item; false when the entry's list does not exist.
bool CompactTextOf(EntryRef ref, CompactText kind, std::string& text)
{
    if (RefKind(ref) == kKindGroup) {
        const GroupEntry* group = GroupAt(RefIndex(ref));
        if (group != nullptr)
            text = std::string(" ") + group->name;
        return group != nullptr;
    }
    const PersonalEntry* person = PersonalAt(RefIndex(ref));
    if (person == nullptr)
        return false;
    text = std::string(" ") + person->name;
    if (kind == CompactText::NameAndAddress)
        text += std::string("<") + person->address + ">";
    return true;
}

int ItemHeight(HFONT font, const IconSet& icons)
{
    return std::max(PaddedTextHeight(font), icons.PersonHeight());
}
} // namespace

void CacheHighlightColours()
{
    g_highlight = GetSysColor(COLOR_HIGHLIGHT);
    g_highlightText = GetSysColor(COLOR_HIGHLIGHTTEXT);
}

void MeasureMainListItem(MEASUREITEMSTRUCT& item)
{
    item.itemHeight = ItemHeight(g_listFont.Font(), g_mainIcons);
}

void DrawMainListItem(const DRAWITEMSTRUCT& item, const ColumnEdges& columns)
{
    DrawListItem(item, g_listFont.Font(), [&](HDC dc, const RECT& rect) {
        DrawMainListContent(dc, rect, static_cast<EntryRef>(item.itemData), columns);
    });
}

void DrawColumnSeparators(HWND list, const ColumnEdges& columns)
{
    const ScopedWindowDc dc(list);
    RECT client;
    GetClientRect(list, &client);
    const ScopedPen pen(CreatePen(PS_DOT, 1, RGB(0, 0, 0)));
    const ScopedSelection selected(dc.Get(), pen.Get());
    for (int column : {2, 3}) {
        if (columns.Hidden(column))
            continue;
        const int x = columns.column[column].left - 1;
        MoveToEx(dc.Get(), x, client.top, nullptr);
        LineTo(dc.Get(), x, client.bottom);
    }
}

void MeasureCompactItem(MEASUREITEMSTRUCT& item, const FontSlot& font, const IconSet& icons)
{
    item.itemHeight = ItemHeight(font.Font(), icons);
}

void SetCompactItemHeight(HWND list, const FontSlot& font, const IconSet& icons)
{
    SendMessage(list, LB_SETITEMHEIGHT, 0, MAKELPARAM(ItemHeight(font.Font(), icons), 0));
}

void DrawCompactItem(const DRAWITEMSTRUCT& item, CompactText text, const FontSlot& font, const IconSet& icons)
{
    DrawListItem(item, font.Font(), [&](HDC dc, const RECT& rect) {
        std::string shown;
        if (!CompactTextOf(static_cast<EntryRef>(item.itemData), text, shown))
            return;
        const int height = rect.bottom - rect.top;
        icons.DrawPerson(dc, rect.left, rect.top + (height - kIconHeight) / 2);
        const RECT clip = {rect.left + kIconWidth, rect.top, rect.right, rect.bottom};
        DrawClippedText(dc, rect.left + kIconWidth, rect.top + (height - PaddedTextHeight(font.Font())) / 2, clip,
                        shown);
    });
}
