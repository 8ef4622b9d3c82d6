#pragma once
#include <windows.h>

#include "common/scoped.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Drives the installed address book as a person would, from a test program (another process).
//
//   DataDirectory data;                                  // fresh, removed at the end
//   data.Write(L"personal.inf", PersonalFile({{"Ann", "ann@example.com"}}));
//   SettingsScope settings;                              // no "kapadr.ini" during the test
//   MessageBoxCatcher boxes;                             // boxes of the program are answered ...
//   AddressBookRun book(L"", data.Path(), &boxes);       // ... once the run is started
//   ASSERT_TRUE(book.Started()) << book.Describe();
//   EXPECT_EQ(book.Items(), (std::vector<uint32_t>{1u << 16}));
//   book.Select({0}); book.Command(105);                 // WM_COMMAND as menus and buttons send it
//   EXPECT_EQ(0, book.Close());                          // WM_CLOSE, then the exit code
//
// The program runs in its own process: list items are read with LB_GETITEMDATA (an EntryRef:
// index << 16 | kind), never through pointers. Registry values are set with registry_scope.h.

// "Dir" of the "1.64" key: where the installer put pelmora.exe and pelmoraRC.dll. Read once, at
// the first call, so that a test may change "Dir" afterwards and still start the program.
std::wstring InstallDirectory();
// A string of the installed pelmoraRC.dll; empty when it is missing.
std::wstring AddressBookString(UINT id);
// The caption of a dialog template of the installed pelmoraRC.dll, in the user's language.
std::wstring AddressBookDialogCaption(int dialogId);
// A string of pelmoraRC.dll that is a format with one "%s", filled with the argument.
std::wstring FormattedAddressBookString(UINT id, const std::wstring& argument);

using Bytes = std::vector<uint8_t>;

// The items of the address book's lists (EntryRefs): the entry's index << 16, its kind low.
inline uint32_t PersonalItem(uint32_t index)
{
    return index << 16;
}
inline uint32_t GroupItem(uint32_t index)
{
    return index << 16 | 1;
}

// The data files' bytes, made here independently of the program's own writer.
struct PersonalRecord {
    std::string name;
    std::string address;
    std::string details = ";;";
    std::string note;
};
struct GroupRecord {
    std::string name;
    std::string note;
    std::vector<std::string> members; // personal names
};
Bytes PersonalFile(const std::vector<PersonalRecord>& records);
Bytes GroupFile(const std::vector<GroupRecord>& groups);

// A whole file written anew, and read whole (shared with every other opener); false on failure.
bool WriteFileBytes(const std::wstring& path, const Bytes& content);
bool ReadFileBytes(const std::wstring& path, Bytes* content);

// A new empty directory for one test's data files; it and its files go when the test ends.
class DataDirectory {
public:
    DataDirectory();
    ~DataDirectory();
    DataDirectory(const DataDirectory&) = delete;
    DataDirectory& operator=(const DataDirectory&) = delete;

    const std::wstring& Path() const { return path_; }
    std::wstring PathOf(const std::wstring& name) const { return path_ + L"\\" + name; }
    bool Write(const std::wstring& name, const Bytes& content) const;
    // The file's bytes; *exists (when given) tells whether it was there.
    Bytes Read(const std::wstring& name, bool* exists = nullptr) const;
    bool Exists(const std::wstring& name) const;
    // The names of the files in it, sorted.
    std::vector<std::wstring> Files() const;

private:
    std::wstring path_;
};

// "personal.inf" and "group.inf" in the installation directory, where the address book that the
// port settings dialog starts reads them: as the test writes them while the scope lasts, then as
// they were.
class InstalledDataFiles {
public:
    InstalledDataFiles();
    ~InstalledDataFiles();
    InstalledDataFiles(const InstalledDataFiles&) = delete;
    InstalledDataFiles& operator=(const InstalledDataFiles&) = delete;

    // Without `groups` there is no "group.inf".
    bool Hold(const Bytes& personal, const std::optional<Bytes>& groups) const;

private:
    struct Kept {
        std::wstring path;
        bool existed = false;
        Bytes bytes;
    };
    Kept personal_;
    Kept groups_;
};

// "kapadr.ini" in the Windows directory: absent, or as the test writes it, while the scope lasts;
// what was there before comes back at the end.
class SettingsScope {
public:
    SettingsScope();
    ~SettingsScope();
    SettingsScope(const SettingsScope&) = delete;
    SettingsScope& operator=(const SettingsScope&) = delete;

    static std::wstring Path();
    void Write(const wchar_t* section, const wchar_t* key, int value) const;
    // The key's value; `fallback` when it is absent.
    int Read(const wchar_t* section, const wchar_t* key, int fallback) const;

private:
    Bytes saved_;
    bool existed_ = false;
};

class MessageBoxCatcher;

// The editors, told apart by their controls (their captions are the resource library's): the
// personal editor's 100 and 101 are edits, the group editor's 101 is its member list, both of the
// member chooser's are lists.
enum class Editor { Personal, Group, MemberChooser };

// One run of the installed pelmora.exe.
class AddressBookRun {
public:
    // Starts "<Dir>\pelmora.exe" followed by a blank and `tail` when the tail is not empty, with
    // `directory` as its current directory. The catcher, when given, watches the new process.
    AddressBookRun(const std::wstring& tail, const std::wstring& directory, MessageBoxCatcher* boxes = nullptr);
    // A run another program starts (the port settings dialog's "Address Book..." button): taken
    // over by Started() once its main window shows; the catcher then watches it.
    explicit AddressBookRun(MessageBoxCatcher* boxes);
    // Ends a run the test left running (a failed test).
    ~AddressBookRun();
    AddressBookRun(const AddressBookRun&) = delete;
    AddressBookRun& operator=(const AddressBookRun&) = delete;

    // Waits until the main window ("KapAddressBook") of this process is visible.
    bool Started(DWORD timeoutMs = 60000);
    HWND MainWindow() const { return main_; }
    HWND Child(int id) const { return GetDlgItem(main_, id); }
    HWND MainList() const { return Child(200); }
    DWORD ProcessId() const { return processId_; }

    // The main list's items in list order.
    std::vector<uint32_t> Items() const;
    // Selects exactly these items of the main list, as the user's clicks would, and tells the
    // main window as the list does.
    void Select(const std::vector<int>& items) const;
    // In recipient mode: the recipient box ("ToBoxClass"), its list's items (control 201), a
    // selection in that list as the user's clicks make it, and a click on one of its buttons (105
    // add, 106 remove, 107 send) that returns once handled; false while the button is disabled.
    HWND RecipientBox() const;
    std::vector<uint32_t> Recipients() const;
    void SelectRecipients(const std::vector<int>& items) const;
    bool Press(int buttonId) const;
    // Sends the main window a command and returns once it has been handled.
    bool Command(int id) const;
    // Posts it, for a command that opens a modal dialog the test then works on.
    void PostCommand(int id) const;
    // A visible dialog ("#32770") of the program, with that caption when one is given, once it
    // shows; nullptr after the time-out. dialog_driver.h's functions work on it across processes.
    HWND WaitForDialog(const std::wstring& caption = L"", DWORD timeoutMs = 60000) const;
    // The editor once it shows; nullptr after the time-out.
    HWND WaitForEditor(Editor which, DWORD timeoutMs = 60000) const;

    // Asks the main window to close and returns the exit code; -1 when it did not end in time.
    int Close(DWORD timeoutMs = 60000);
    // Waits for the process to end by itself; its exit code, or -1 on time-out.
    int WaitForExit(DWORD timeoutMs = 60000);
    bool Running() const;
    // For failure messages: whether it runs, and its exit code.
    std::string Describe() const;

private:
    // Opens the process of the visible main window of any address book; false when none shows.
    bool TakeOverRunning();

    ScopedHandle process_;
    DWORD processId_ = 0;
    HWND main_ = nullptr;
    MessageBoxCatcher* boxes_ = nullptr;
    bool startedElsewhere_ = false;
};

// A list box's items (EntryRef values) in list order.
std::vector<uint32_t> ListItems(HWND list);
// Selects exactly these items and tells the list's parent, as the list does after a click.
void SelectListItems(HWND list, const std::vector<int>& items, HWND parent);

// The visible top-level windows of that class (and caption, when not empty) in that process, from
// the top of the z-order down; FindProcessWindow gives the first of them, or nullptr.
std::vector<HWND> ProcessWindows(DWORD processId, const wchar_t* className, const std::wstring& caption = L"");
HWND FindProcessWindow(DWORD processId, const wchar_t* className, const std::wstring& caption = L"");
// True once the window is gone (a dialog closed); false after the time-out.
bool WaitUntilGone(HWND window, DWORD timeoutMs = 60000);
