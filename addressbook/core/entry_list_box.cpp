#include "addressbook/core/entry_list_box.h"

std::vector<EntryRef> ListItems(HWND list)
{
    const auto count = static_cast<int>(SendMessage(list, LB_GETCOUNT, 0, 0));
    std::vector<EntryRef> items;
    for (int i = 0; i < count; ++i)
        items.push_back(static_cast<EntryRef>(SendMessage(list, LB_GETITEMDATA, i, 0)));
    return items;
}

void AddListItem(HWND list, EntryRef ref)
{
    SendMessage(list, LB_ADDSTRING, 0, static_cast<LPARAM>(ref));
}

bool HasSelection(HWND list)
{
    return SendMessage(list, LB_GETSELCOUNT, 0, 0) > 0;
}

std::vector<int> SelectedPositions(HWND list)
{
    const auto count = static_cast<int>(SendMessage(list, LB_GETSELCOUNT, 0, 0));
    std::vector<int> positions(count > 0 ? count : 0);
    if (count > 0)
        SendMessage(list, LB_GETSELITEMS, count, reinterpret_cast<LPARAM>(positions.data()));
    return positions;
}

void DeleteSelectedItems(HWND list)
{
    const std::vector<int> selected = SelectedPositions(list);
    for (auto it = selected.rbegin(); it != selected.rend(); ++it)
        SendMessage(list, LB_DELETESTRING, *it, 0);
}
