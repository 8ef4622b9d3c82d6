// The personal editor, dialog 105: one personal entry, new or edited.
#include "addressbook/core/address_store.h"
#include "addressbook/core/editor_dialogs.h"
#include "addressbook/core/editor_rules.h"
#include "addressbook/core/main_window.h"
#include "addressbook/core/program.h"
#include "addressbook/core/resource_ids.h"

namespace {
constexpr int kDetailLimit = static_cast<int>(kDetailPartChars);

// Every control that shows the editor's font, fields and labels alike.
constexpr int kFontControls[] = {IDC_PERSONAL_NAME,    IDC_PERSONAL_ADDRESS, IDC_PERSONAL_DETAIL1, IDC_PERSONAL_DETAIL2,
                                 IDC_PERSONAL_DETAIL3, IDC_PERSONAL_NOTE,    IDOK,                 IDCANCEL,
                                 IDC_LABEL1,           IDC_LABEL2,           IDC_LABEL4,           IDC_LABEL5,
                                 IDC_LABEL6,           IDC_LABEL7,           IDC_LABEL8};

void OnInit(HWND dialog, PersonalEditorState& state)
{
    state.font.Make();
    ApplyFontToControls(state.font, dialog, kFontControls);
    LimitFields(dialog, {{IDC_PERSONAL_NAME, kEditorTextLimit},
                         {IDC_PERSONAL_ADDRESS, kEditorTextLimit},
                         {IDC_PERSONAL_DETAIL1, kDetailLimit},
                         {IDC_PERSONAL_DETAIL2, kDetailLimit},
                         {IDC_PERSONAL_DETAIL3, kDetailLimit},
                         {IDC_PERSONAL_NOTE, kEditorTextLimit}});
    const PersonalEntry* entry = LiveEntryAt(g_program.book.personal, state.index);
    if (entry == nullptr)
        return;
    SetDlgItemText(dialog, IDC_PERSONAL_NAME, entry->name);
    SetDlgItemText(dialog, IDC_PERSONAL_ADDRESS, entry->address);
    SetDlgItemText(dialog, IDC_PERSONAL_NOTE, entry->note);
    const DetailParts parts = SplitDetails(entry->details);
    SetDlgItemText(dialog, IDC_PERSONAL_DETAIL1, parts.first.c_str());
    SetDlgItemText(dialog, IDC_PERSONAL_DETAIL2, parts.second.c_str());
    SetDlgItemText(dialog, IDC_PERSONAL_DETAIL3, parts.third.c_str());
}

void StoreTexts(HWND dialog, PersonalEntry& entry)
{
    ReadField(dialog, IDC_PERSONAL_NAME, kEditorTextLimit, entry.name);
    ReadField(dialog, IDC_PERSONAL_ADDRESS, kEditorTextLimit, entry.address);
    ReadField(dialog, IDC_PERSONAL_NOTE, kEditorTextLimit, entry.note);
    char parts[3][kTextFieldSize];
    ReadField(dialog, IDC_PERSONAL_DETAIL1, kDetailLimit, parts[0]);
    ReadField(dialog, IDC_PERSONAL_DETAIL2, kDetailLimit, parts[1]);
    ReadField(dialog, IDC_PERSONAL_DETAIL3, kDetailLimit, parts[2]);
    JoinDetails(parts[0], parts[1], parts[2], entry.details);
}

// OK: false keeps the dialog open (a refused name).
bool Accept(HWND dialog, const PersonalEditorState& state)
{
    PersonalList& list = g_program.book.personal;
    int index = state.index;
    if (!NameAccepted(dialog, IDC_PERSONAL_NAME, list, index, RefusedPersonalName))
        return false;
    const bool isNew = index < 0;
    const bool stored = StoreEntry(dialog, list, AppendPersonal, kKindPersonal, index,
                                   [dialog](PersonalEntry& entry) { StoreTexts(dialog, entry); });
    // "group.inf" names members by their names: it follows an edit, but only once "personal.inf"
    // holds the new name, or the member would match nothing at the next start.
    if (stored && SavePersonalFile(dialog) && !isNew)
        SaveGroupFile(dialog);
    return true;
}

void OnCommand(HWND dialog, const PersonalEditorState& state, int id)
{
    if (id == IDOK && Accept(dialog, state))
        EndDialog(dialog, IDOK);
    else if (id == IDCANCEL)
        EndDialog(dialog, IDCANCEL);
}
} // namespace

INT_PTR CALLBACK PersonalEditorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    INT_PTR result = 0;
    if (AnswerColoursAndCreation<PersonalEditorState>(dialog, message, wParam, lParam, OnInit, result))
        return result;
    PersonalEditorState* state = StateOf<PersonalEditorState>(dialog);
    if (state == nullptr)
        return FALSE;
    switch (message) {
    case WM_COMMAND:
        OnCommand(dialog, *state, LOWORD(wParam));
        return TRUE;
    case WM_DESTROY:
        DetachFontFromControls(state->font, dialog, kFontControls);
        state->font.Delete();
        return TRUE;
    default:
        return FALSE;
    }
}
