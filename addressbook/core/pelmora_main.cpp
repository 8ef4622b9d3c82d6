// The address book's entry point: the checks made before any window exists, the resource
// library, the window classes, the main window and the message loop. Any step that fails ends
// the program with exit code 0.
#include <windows.h>
#include <commctrl.h>

#include "addressbook/core/address_store.h"
#include "addressbook/core/main_window.h"
#include "addressbook/core/program.h"
#include "addressbook/core/recipient_box.h"
#include "addressbook/core/resource_ids.h"
#include "addressbook/core/version_key.h"
#include "addressbook/core/window_geometry.h"
#include "addressbook/core/window_settings.h"
#include "addressbook/ui/column_bar.h"
#include "addressbook/ui/status_window.h"
#include "addressbook/ui/toolbar.h"
#include "common/scoped.h"

#include <cstdio>

namespace {

constexpr int kStopped = 0;
// Shown before the resource library, which holds every other text, is loaded.
constexpr char kBuiltInCaption[] = "Address Book";
constexpr char kRegistryMissing[] = "Can't Open Registory";
constexpr char kResourcesMissing[] = "Can't Load Resource File";
constexpr char kResourceLibrary[] = "pelmoraRC.dll";
constexpr int kTitleChars = 128;         // string 101 as the main window's title
constexpr int kShortCaptionChars = 20;   // string 101 as a caption before the main window exists
constexpr int kTargetTitleChars = 100;   // string 140
constexpr int kTargetMissingChars = 256; // string 143
constexpr DWORD kDataDirectoryBytes = 128;

void ShowBuiltInMessage(const char* text)
{
    MessageBox(nullptr, text, kBuiltInCaption, MB_OK | MB_SETFOREGROUND);
}

// Another running address book comes to the front instead, whatever the mode of either.
bool BroughtOtherInstanceForward()
{
    const HWND other = FindWindow(kMainWindowClass, nullptr);
    if (other == nullptr)
        return false;
    SetForegroundWindow(other);
    return true;
}

// Without a "Dir" the library is not looked for at all: "\pelmoraRC.dll" would be whatever file
// lies at the root of the current drive.
ScopedLibrary LoadResourceLibrary()
{
    const ScopedKey key = OpenVersionKey();
    if (!key) {
        ShowBuiltInMessage(kRegistryMissing);
        return {};
    }
    ScopedLibrary library;
    char directory[kDirectoryValueBytes + 1];
    char path[MAX_PATH];
    if (ReadVersionText(key, "Dir", directory) && directory[0] != '\0') {
        const int length = snprintf(path, MAX_PATH, "%s\\%s", directory, kResourceLibrary);
        if (length > 0 && length < MAX_PATH)
            library.Reset(LoadLibrary(path));
    }
    if (!library)
        ShowBuiltInMessage(kResourcesMissing);
    return library;
}

// In recipient mode the port settings dialog that started the program, found by its title.
bool FoundTargetWindow()
{
    char title[kTargetTitleChars];
    LoadResourceText(IDS_TARGET_TITLE, title, kTargetTitleChars);
    // Without its title, any untitled window would do: none is taken.
    g_program.targetWindow = title[0] != '\0' ? FindWindow(nullptr, title) : nullptr;
    if (g_program.targetWindow != nullptr)
        return true;
    char text[kTargetMissingChars];
    char caption[kShortCaptionChars];
    LoadResourceText(IDS_TARGET_MISSING, text, kTargetMissingChars);
    LoadResourceText(IDS_APP_TITLE, caption, kShortCaptionChars);
    MessageBox(nullptr, text, caption, MB_OK | MB_SETFOREGROUND);
    return false;
}

// "personal.inf" and "group.inf" in the current directory. A directory longer than the 127 bytes
// kept leaves the paths empty: nothing is loaded, and a save tells the user it failed rather
// than writing somewhere else.
void FormDataPaths()
{
    char directory[kDataDirectoryBytes];
    const DWORD length = GetCurrentDirectory(kDataDirectoryBytes, directory);
    if (length == 0 || length >= kDataDirectoryBytes)
        return;
    snprintf(g_program.personalPath, MAX_PATH, "%s\\personal.inf", directory);
    snprintf(g_program.groupPath, MAX_PATH, "%s\\group.inf", directory);
}

bool RegisterClasses(HICON classIcon)
{
    const HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    const struct {
        const char* name;
        WNDPROC procedure;
        HICON icon;
        HCURSOR cursor;
        HBRUSH background;
    } classes[] = {
        {kMainWindowClass, MainWindowProc, classIcon, arrow,
         static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))},
        {kToolbarClass, ToolbarProc, nullptr, arrow, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH))},
        {kStatusWindowClass, StatusWindowProc, nullptr, arrow,
         static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH))},
        {kColumnBarClass, ColumnBarProc, nullptr, nullptr, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH))},
        {kRecipientBoxClass, RecipientBoxProc, nullptr, arrow,
         static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH))},
    };
    for (const auto& kind : classes) {
        WNDCLASS windowClass = {};
        windowClass.style = CS_HREDRAW | CS_VREDRAW;
        windowClass.lpfnWndProc = kind.procedure;
        windowClass.hInstance = g_program.instance;
        windowClass.hIcon = kind.icon;
        windowClass.hCursor = kind.cursor;
        windowClass.hbrBackground = kind.background;
        windowClass.lpszClassName = kind.name;
        if (RegisterClass(&windowClass) == 0)
            return false;
    }
    return true;
}

// What the program loads for its whole run besides the library, destroyed at its end.
struct SharedResources {
    ScopedCursor resizeCursor;
    ScopedMenu contextMenu;
};

SharedResources LoadSharedResources()
{
    SharedResources shared;
    g_program.waitCursor = LoadCursor(nullptr, IDC_WAIT);
    g_program.arrowCursor = LoadCursor(nullptr, IDC_ARROW);
    shared.resizeCursor.Reset(LoadCursor(g_program.resources, MAKEINTRESOURCE(IDC_COLUMN_RESIZE)));
    shared.contextMenu.Reset(LoadMenu(g_program.resources, MAKEINTRESOURCE(IDM_CONTEXT)));
    g_program.resizeCursor = shared.resizeCursor.Get();
    g_program.contextMenu = shared.contextMenu.Get();
    return shared;
}

bool CreateMainWindow(int show)
{
    if (g_program.contextMenu == nullptr)
        return false;
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    const Box placed = ChooseWindowPlacement(ReadSavedPlacement(),
                                             {desktop.left, desktop.top, desktop.right, desktop.bottom});
    char title[kTitleChars];
    LoadResourceText(IDS_APP_TITLE, title, kTitleChars);
    ScopedMenu menu(LoadMenu(g_program.resources, MAKEINTRESOURCE(IDM_MAIN)));
    g_program.mainWindow = CreateWindowEx(0, kMainWindowClass, title, WS_OVERLAPPEDWINDOW, placed.left, placed.top,
                                          placed.Width(), placed.Height(), nullptr, menu.Get(), g_program.instance,
                                          nullptr);
    if (g_program.mainWindow == nullptr)
        return false;
    menu.Release(); // the window's own from now on
    ShowWindow(g_program.mainWindow, show);
    if (ReadZoom())
        ShowWindow(g_program.mainWindow, SW_SHOWMAXIMIZED);
    UpdateWindow(g_program.mainWindow);
    return true;
}

int RunMessageLoop()
{
    const HACCEL accelerators = LoadAccelerators(g_program.resources, MAKEINTRESOURCE(IDA_MAIN));
    MSG message;
    while (GetMessage(&message, nullptr, 0, 0) > 0) {
        if (TranslateAccelerator(g_program.mainWindow, accelerators, &message))
            continue;
        if (g_program.findDialog != nullptr && IsDialogMessage(g_program.findDialog, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessage(&message);
    }
    return static_cast<int>(message.wParam);
}

} // namespace

// The owners here are destroyed in the reverse order of their making, the library last.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandTail, int show)
{
    g_program.instance = instance;
    g_program.leadBytes = SystemLeadBytes();
    g_program.mode = RecipientModeFrom(commandTail);
    if (BroughtOtherInstanceForward())
        return kStopped;
    const ScopedLibrary resources = LoadResourceLibrary();
    g_program.resources = resources.Get();
    if (!resources || (g_program.mode != kRecipientOff && !FoundTargetWindow()))
        return kStopped;
    FormDataPaths();
    InitCommonControls();
    const ScopedIcon classIcon(LoadIcon(g_program.resources, MAKEINTRESOURCE(IDI_APP)));
    if (!RegisterClasses(classIcon.Get()))
        return kStopped;
    LoadAddressData();
    const SharedResources shared = LoadSharedResources();
    const int exitCode = CreateMainWindow(show) ? RunMessageLoop() : kStopped;
    FreeAddressData();
    SetCursor(g_program.arrowCursor);
    return exitCode;
}
