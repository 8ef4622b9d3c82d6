// The recipient box ("ToBoxClass"): its add, remove and send buttons, the owner-drawn recipient
// list with the predefined entry first, its layout and painting. Send hands the list over to the
// port settings dialog and ends the program.
#include "addressbook/core/recipient_box.h"

#include "addressbook/core/entry_list_box.h"
#include "addressbook/core/hand_over.h"
#include "addressbook/core/main_window.h"
#include "addressbook/core/program.h"
#include "addressbook/core/recipient_box_layout.h"
#include "addressbook/core/resource_ids.h"
#include "addressbook/ui/fonts.h"
#include "addressbook/ui/icon_set.h"
#include "addressbook/ui/list_drawing.h"
#include "common/scoped.h"

#include <vector>

namespace {

constexpr DWORD kRecipientListStyle =
    WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_EXTENDEDSEL | LBS_NOTIFY; // no strings: EntryRefs
constexpr int kCaptionChars = 20; // 19 characters and the terminator
constexpr COLORREF kFrameGrey = RGB(110, 110, 110);
constexpr COLORREF kLightGrey = RGB(192, 192, 192);

constexpr struct {
    int id;
    UINT caption;
} kButtons[] = {
    {IDC_RECIPIENT_ADD, IDS_BUTTON_ADD},
    {IDC_RECIPIENT_REMOVE, IDS_BUTTON_REMOVE},
    {IDC_RECIPIENT_SEND, IDS_BUTTON_SEND},
};

HWND CreateBoxChild(HWND box, const char* className, const char* text, DWORD style, int id)
{
    return CreateWindowEx(0, className, text, style, 0, 0, 0, 0, box,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), g_program.instance, nullptr);
}

// The predefined entry is personal index 0 of a loaded personal list.
bool HasPredefinedEntry()
{
    const PersonalList& personal = g_program.book.personal;
    return personal.exists && personal.Count() > 0 && personal.entries[0].state == kEntryPredefined;
}

LRESULT OnCreate(HWND box)
{
    g_program.recipientBox = box;
    g_recipientFont.Make();
    for (const auto& button : kButtons) {
        char caption[kCaptionChars];
        LoadResourceText(button.caption, caption, kCaptionChars);
        g_recipientFont.Apply(CreateBoxChild(box, "BUTTON", caption, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, button.id));
    }
    // Its creation measures its items, which loads the icons.
    g_program.recipientList = CreateBoxChild(box, "LISTBOX", "", kRecipientListStyle, IDC_RECIPIENT_LIST);
    g_recipientFont.Apply(g_program.recipientList);
    if (HasPredefinedEntry())
        AddListItem(g_program.recipientList, MakeEntryRef(0, kKindPersonal));
    RefreshEnabling();
    return 0;
}

void OnDestroy(HWND box)
{
    for (const auto& button : kButtons)
        g_recipientFont.Detach(GetDlgItem(box, button.id));
    g_recipientFont.Detach(g_program.recipientList);
    g_recipientFont.Delete();
    g_recipientIcons.Release();
    g_program.recipientBox = nullptr;
    g_program.recipientList = nullptr;
}

void Place(HWND child, const Box& box)
{
    MoveWindow(child, box.left, box.top, box.Width(), box.Height(), TRUE);
}

void OnSize(HWND box, int width, int height)
{
    const RecipientBoxLayout layout = LayOutRecipientBox(width, height, PaddedTextHeight(nullptr));
    Place(GetDlgItem(box, IDC_RECIPIENT_ADD), layout.add);
    Place(GetDlgItem(box, IDC_RECIPIENT_REMOVE), layout.remove);
    Place(GetDlgItem(box, IDC_RECIPIENT_SEND), layout.send);
    Place(g_program.recipientList, layout.list);
}

void Line(HDC dc, int fromX, int fromY, int toX, int toY)
{
    MoveToEx(dc, fromX, fromY, nullptr);
    LineTo(dc, toX, toY);
}

// Light grey inside a grey border, a sunken frame inset by 2, and a grey rectangle one pixel
// around the recipient list.
void Paint(HDC dc, const RECT& client, const RECT& list)
{
    const ScopedPen grey(CreatePen(PS_SOLID, 1, kFrameGrey));
    const ScopedPen white(CreatePen(PS_SOLID, 1, RGB(255, 255, 255)));
    const ScopedBrush fill(CreateSolidBrush(kLightGrey));
    const ScopedSelection pen(dc, grey.Get());
    const ScopedSelection brush(dc, fill.Get());
    Rectangle(dc, client.left, client.top, client.right, client.bottom);
    Line(dc, client.left + 2, client.top + 2, client.right - 2, client.top + 2);
    Line(dc, client.left + 2, client.top + 2, client.left + 2, client.bottom - 3);
    SelectObject(dc, white.Get()); // the first selection still restores the context's own pen
    Line(dc, client.left + 2, client.bottom - 3, client.right - 2, client.bottom - 3);
    Line(dc, client.right - 2, client.top + 2, client.right - 2, client.bottom - 2);
    SelectObject(dc, grey.Get());
    Rectangle(dc, list.left - 1, list.top - 1, list.right + 1, list.bottom + 1);
}

void OnPaint(HWND box)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(box, &paint);
    RECT client;
    GetClientRect(box, &client);
    RECT list = {};
    GetWindowRect(g_program.recipientList, &list);
    MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&list), 2);
    Paint(dc, client, list);
    EndPaint(box, &paint);
}

// The selected main-list items in list order, each once, after those the list holds already.
void AddSelected()
{
    const HWND mainList = g_program.mainList;
    std::vector<EntryRef> picked;
    for (int position : SelectedPositions(mainList))
        picked.push_back(static_cast<EntryRef>(SendMessage(mainList, LB_GETITEMDATA, position, 0)));
    for (EntryRef ref : RecipientsToAdd(picked, ListItems(g_program.recipientList)))
        AddListItem(g_program.recipientList, ref);
}

// Whatever the hand-over's outcome, the run ends: the main window goes without its close-time
// saving.
void Send()
{
    HandOverRecipients(g_program.mainWindow, ListItems(g_program.recipientList));
    DestroyWindow(g_program.mainWindow);
}

void OnCommand(int id)
{
    switch (id) {
    case IDC_RECIPIENT_ADD:
        AddSelected();
        RefreshEnabling();
        break;
    case IDC_RECIPIENT_REMOVE:
        DeleteSelectedItems(g_program.recipientList);
        RefreshEnabling();
        break;
    case IDC_RECIPIENT_SEND:
        Send();
        break;
    case IDC_RECIPIENT_LIST:
        RefreshEnabling();
        break;
    default:
        break;
    }
}

void OnMeasureItem(MEASUREITEMSTRUCT& item)
{
    if (g_recipientIcons.Empty())
        g_recipientIcons.Load(false);
    MeasureCompactItem(item, g_recipientFont, g_recipientIcons);
}

} // namespace

LRESULT CALLBACK RecipientBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate(window);
    case WM_DESTROY:
        OnDestroy(window);
        return 0;
    case WM_SIZE:
        OnSize(window, LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_PAINT:
        OnPaint(window);
        return 0;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam));
        return 0;
    case WM_MEASUREITEM:
        OnMeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_DRAWITEM:
        DrawCompactItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam), CompactText::NameAndAddress,
                        g_recipientFont, g_recipientIcons);
        return TRUE;
    default:
        return DefWindowProc(window, message, wParam, lParam);
    }
}
