#include "addressbook/ui/find_dialog.h"

#include "addressbook/core/editor_dialogs.h"
#include "addressbook/core/find_in_list.h"
#include "addressbook/core/main_window.h"
#include "addressbook/core/modal_scope.h"
#include "addressbook/core/program.h"
#include "addressbook/core/resource_ids.h"
#include "addressbook/ui/dialog_placement.h"
#include "addressbook/ui/fonts.h"
#include "addressbook/ui/light_grey.h"

#include <memory>

namespace {
constexpr int kTextLimit = 127; // characters the field takes
constexpr int kSearchedBytes = 126; // of them, searched for

constexpr int kFontControls[] = {IDC_FIND_TEXT, IDC_FIND_NAMES, IDC_FIND_ADDRESSES, IDC_LABEL1, IDOK, IDCANCEL};

// The dialog's own, given at creation and kept in DWLP_USER until it is destroyed.
struct FindState {
    FontSlot font;
    uint32_t position = 0; // where the next search starts: at the top whenever the text or the kind changes
};

FindState* StateOfDialog(HWND dialog)
{
    return reinterpret_cast<FindState*>(GetWindowLongPtr(dialog, DWLP_USER));
}

Box BoxOf(const RECT& rect)
{
    return {rect.left, rect.top, rect.right, rect.bottom};
}

void PlaceBesideMainWindow(HWND dialog)
{
    RECT box;
    RECT owner;
    RECT work;
    if (!GetWindowRect(dialog, &box) || !GetWindowRect(g_program.mainWindow, &owner) ||
        !SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0))
        return;
    const Box placed = PlaceBesideOwner(BoxOf(box), BoxOf(owner), BoxOf(work));
    SetWindowPos(dialog, nullptr, placed.left, placed.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The dialog takes its state over from the opener.
void OnInit(HWND dialog, std::unique_ptr<FindState>& opened)
{
    FindState& state = *opened;
    SetWindowLongPtr(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(opened.release()));
    PlaceBesideMainWindow(dialog);
    CheckRadioButton(dialog, IDC_FIND_NAMES, IDC_FIND_ADDRESSES, IDC_FIND_NAMES);
    state.font.Make();
    state.font.Apply(dialog);
    ApplyFontToControls(state.font, dialog, kFontControls);
    SendDlgItemMessage(dialog, IDC_FIND_TEXT, EM_LIMITTEXT, kTextLimit, 0);
}

// Selects the item alone, as a click would but without the list's notification; the commands
// that depend on the selection follow it all the same.
void SelectFound(int item)
{
    const HWND list = g_program.mainList;
    SendMessage(list, LB_SETSEL, FALSE, -1);
    SendMessage(list, LB_SETSEL, TRUE, item);
    SendMessage(list, LB_SETCARETINDEX, item, FALSE); // scrolled into view
    RefreshEnabling();
}

void FindNext(HWND dialog, FindState& state)
{
    char text[kTextFieldSize];
    ReadField(dialog, IDC_FIND_TEXT, kSearchedBytes, text);
    if (text[0] == '\0')
        return;
    const FindKind kind = IsDlgButtonChecked(dialog, IDC_FIND_NAMES) ? FindKind::Names : FindKind::Addresses;
    const int found = FindInMainList(ListItems(g_program.mainList), g_program.book, kind, text, g_program.leadBytes,
                                     state.position);
    if (found < 0)
        ShowProgramMessage(dialog, IDS_NOT_FOUND, MB_OK | MB_ICONINFORMATION);
    else
        SelectFound(found);
}

// The edit's focus comes and goes as the user works in the main window between two searches:
// only a change of the text starts the walk through the list anew.
bool ChangesTheSearch(int id, int notification)
{
    if (id == IDC_FIND_TEXT)
        return notification != EN_SETFOCUS && notification != EN_KILLFOCUS;
    return id == IDC_FIND_NAMES || id == IDC_FIND_ADDRESSES;
}

void OnCommand(HWND dialog, FindState& state, int id, int notification)
{
    if (id == IDOK)
        FindNext(dialog, state);
    else if (id == IDCANCEL)
        DestroyWindow(dialog);
    else if (ChangesTheSearch(id, notification))
        state.position = 0;
}

// The state goes with the dialog.
void OnDestroy(HWND dialog)
{
    const std::unique_ptr<FindState> state(StateOfDialog(dialog));
    SetWindowLongPtr(dialog, DWLP_USER, 0);
    if (state != nullptr)
        state->font.Detach(GetDlgItem(dialog, IDC_FIND_TEXT));
    g_program.findDialog = nullptr;
}

INT_PTR CALLBACK FindDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    INT_PTR colour = 0;
    if (AnswerLightGrey(message, wParam, colour))
        return colour;
    FindState* state = StateOfDialog(dialog);
    switch (message) {
    case WM_INITDIALOG:
        OnInit(dialog, *reinterpret_cast<std::unique_ptr<FindState>*>(lParam));
        return TRUE;
    case WM_COMMAND:
        if (state != nullptr)
            OnCommand(dialog, *state, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_DESTROY:
        OnDestroy(dialog);
        return TRUE;
    default:
        return FALSE;
    }
}
} // namespace

void OpenFindDialog(HWND owner)
{
    // One at a time: the main loop hands its keyboard messages to g_program.findDialog.
    if (g_program.findDialog != nullptr) {
        SetActiveWindow(g_program.findDialog);
        return;
    }
    auto state = std::make_unique<FindState>();
    const ModalScope modal;
    g_program.findDialog = CreateDialogParam(g_program.resources, MAKEINTRESOURCE(IDD_FIND), owner, FindDialogProc,
                                             reinterpret_cast<LPARAM>(&state));
}
