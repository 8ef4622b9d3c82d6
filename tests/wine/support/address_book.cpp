#include "tests/wine/support/address_book.h"

#include "common/scoped.h"
#include "tests/wine/support/dialog_monitor.h"
#include "tests/wine/support/message_box_catcher.h"
#include "tests/wine/support/programs.h"

#include <algorithm>

namespace {

constexpr DWORD kPollMs = 20;
constexpr UINT kSendTimeoutMs = 60000;
constexpr int kRecipientListId = 201;

void Append(Bytes& bytes, const std::string& text)
{
    bytes.insert(bytes.end(), text.begin(), text.end());
    bytes.push_back(0);
}

void AppendNumber(Bytes& bytes, uint32_t number)
{
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<uint8_t>(number >> shift));
}

} // namespace

bool WriteFileBytes(const std::wstring& path, const Bytes& content)
{
    const ScopedFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    DWORD written = 0;
    return WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
           written == content.size();
}

bool ReadFileBytes(const std::wstring& path, Bytes* content)
{
    const ScopedFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    content->assign(GetFileSize(file.Get(), nullptr), 0);
    DWORD got = 0;
    return ReadFile(file.Get(), content->data(), static_cast<DWORD>(content->size()), &got, nullptr) &&
           got == content->size();
}

namespace {

struct WindowSearch {
    DWORD processId;
    const wchar_t* className;
    const std::wstring* caption;
    std::vector<HWND> found;
};

BOOL CALLBACK VisitTopLevel(HWND window, LPARAM search)
{
    auto* wanted = reinterpret_cast<WindowSearch*>(search);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    wchar_t caption[256] = {};
    InternalGetWindowText(window, caption, 256); // without a message to the window's thread
    if (process == wanted->processId && IsWindowVisible(window) && _wcsicmp(name, wanted->className) == 0 &&
        (wanted->caption->empty() || *wanted->caption == caption))
        wanted->found.push_back(window);
    return TRUE;
}

LRESULT SendTo(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, kSendTimeoutMs, &result);
    return static_cast<LRESULT>(result);
}

} // namespace

std::vector<uint32_t> ListItems(HWND list)
{
    std::vector<uint32_t> items;
    const LRESULT count = SendTo(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i)
        items.push_back(static_cast<uint32_t>(SendTo(list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0)));
    return items;
}

void SelectListItems(HWND list, const std::vector<int>& items, HWND parent)
{
    SendTo(list, LB_SETSEL, FALSE, -1);
    for (int item : items)
        SendTo(list, LB_SETSEL, TRUE, item);
    SendTo(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

std::wstring InstallDirectory()
{
    static const std::wstring directory = RegText(L"1.64", L"Dir");
    return directory;
}

std::wstring AddressBookString(UINT id)
{
    return LibraryString(InstallDirectory() + L"\\pelmoraRC.dll", id);
}

std::wstring AddressBookDialogCaption(int dialogId)
{
    return DialogCaption(InstallDirectory() + L"\\pelmoraRC.dll", dialogId);
}

std::wstring FormattedAddressBookString(UINT id, const std::wstring& argument)
{
    std::wstring text = AddressBookString(id);
    const size_t at = text.find(L"%s");
    return at == std::wstring::npos ? text : text.replace(at, 2, argument);
}

Bytes PersonalFile(const std::vector<PersonalRecord>& records)
{
    Bytes bytes;
    AppendNumber(bytes, static_cast<uint32_t>(records.size()));
    for (const PersonalRecord& record : records) {
        Append(bytes, record.name);
        Append(bytes, record.address);
        Append(bytes, record.details);
        Append(bytes, record.note);
    }
    return bytes;
}

Bytes GroupFile(const std::vector<GroupRecord>& groups)
{
    Bytes bytes;
    AppendNumber(bytes, static_cast<uint32_t>(groups.size()));
    for (const GroupRecord& group : groups) {
        Append(bytes, group.name);
        Append(bytes, group.note);
        Bytes names;
        for (const std::string& member : group.members)
            Append(names, member);
        AppendNumber(bytes, static_cast<uint32_t>(group.members.size()));
        AppendNumber(bytes, static_cast<uint32_t>(names.size()));
        bytes.insert(bytes.end(), names.begin(), names.end());
    }
    return bytes;
}

DataDirectory::DataDirectory()
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    static int made = 0;
    for (;;) {
        path_ = std::wstring(temp) + L"pelmora-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(++made);
        if (CreateDirectoryW(path_.c_str(), nullptr))
            return;
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            path_.clear();
            return;
        }
    }
}

DataDirectory::~DataDirectory()
{
    for (const std::wstring& name : Files()) {
        SetFileAttributesW(PathOf(name).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(PathOf(name).c_str());
    }
    RemoveDirectoryW(path_.c_str());
}

bool DataDirectory::Write(const std::wstring& name, const Bytes& content) const
{
    return WriteFileBytes(PathOf(name), content);
}

Bytes DataDirectory::Read(const std::wstring& name, bool* exists) const
{
    Bytes content;
    const bool found = ReadFileBytes(PathOf(name), &content);
    if (exists != nullptr)
        *exists = found;
    return content;
}

bool DataDirectory::Exists(const std::wstring& name) const
{
    return GetFileAttributesW(PathOf(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::wstring> DataDirectory::Files() const
{
    std::vector<std::wstring> names = FilesIn(path_);
    std::sort(names.begin(), names.end());
    return names;
}

InstalledDataFiles::InstalledDataFiles()
{
    personal_.path = InstallDirectory() + L"\\personal.inf";
    groups_.path = InstallDirectory() + L"\\group.inf";
    for (Kept* file : {&personal_, &groups_})
        file->existed = ReadFileBytes(file->path, &file->bytes);
}

InstalledDataFiles::~InstalledDataFiles()
{
    for (const Kept* file : {&personal_, &groups_}) {
        DeleteFileW(file->path.c_str());
        if (file->existed)
            WriteFileBytes(file->path, file->bytes);
    }
}

bool InstalledDataFiles::Hold(const Bytes& personal, const std::optional<Bytes>& groups) const
{
    DeleteFileW(groups_.path.c_str());
    return WriteFileBytes(personal_.path, personal) && (!groups || WriteFileBytes(groups_.path, *groups));
}

std::wstring SettingsScope::Path()
{
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    return std::wstring(windows) + L"\\kapadr.ini";
}

SettingsScope::SettingsScope()
{
    existed_ = ReadFileBytes(Path(), &saved_);
    DeleteFileW(Path().c_str());
}

SettingsScope::~SettingsScope()
{
    DeleteFileW(Path().c_str());
    if (existed_)
        WriteFileBytes(Path(), saved_);
}

void SettingsScope::Write(const wchar_t* section, const wchar_t* key, int value) const
{
    WritePrivateProfileStringW(section, key, std::to_wstring(value).c_str(), Path().c_str());
}

int SettingsScope::Read(const wchar_t* section, const wchar_t* key, int fallback) const
{
    return static_cast<int>(GetPrivateProfileIntW(section, key, fallback, Path().c_str()));
}

std::vector<HWND> ProcessWindows(DWORD processId, const wchar_t* className, const std::wstring& caption)
{
    WindowSearch search = {processId, className, &caption, {}};
    EnumWindows(VisitTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindProcessWindow(DWORD processId, const wchar_t* className, const std::wstring& caption)
{
    const std::vector<HWND> found = ProcessWindows(processId, className, caption);
    return found.empty() ? nullptr : found.front();
}

bool IsClass(HWND window, const wchar_t* className)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return _wcsicmp(name, className) == 0;
}

bool IsEditor(HWND dialog, Editor which)
{
    const HWND first = GetDlgItem(dialog, 100);
    const HWND second = GetDlgItem(dialog, 101);
    switch (which) {
    case Editor::Personal:
        return IsClass(first, L"Edit") && IsClass(second, L"Edit");
    case Editor::Group:
        return IsClass(first, L"Edit") && IsClass(second, L"ListBox");
    case Editor::MemberChooser:
        return IsClass(first, L"ListBox") && IsClass(second, L"ListBox");
    }
    return false;
}

struct EditorSearch {
    DWORD processId;
    Editor which;
    HWND found;
};

BOOL CALLBACK VisitEditor(HWND window, LPARAM search)
{
    auto* wanted = reinterpret_cast<EditorSearch*>(search);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == wanted->processId && IsWindowVisible(window) && IsClass(window, L"#32770") &&
        IsEditor(window, wanted->which)) {
        wanted->found = window;
        return FALSE;
    }
    return TRUE;
}

bool WaitUntilGone(HWND window, DWORD timeoutMs)
{
    for (DWORD waited = 0; IsWindow(window); waited += kPollMs) {
        if (waited >= timeoutMs)
            return false;
        Sleep(kPollMs);
    }
    return true;
}

AddressBookRun::AddressBookRun(const std::wstring& tail, const std::wstring& directory, MessageBoxCatcher* boxes)
{
    std::wstring line = L"\"" + InstallDirectory() + L"\\pelmora.exe\"";
    if (!tail.empty())
        line += L" " + tail;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, directory.c_str(), &startup,
                        &started))
        return;
    const ScopedHandle thread(started.hThread);
    process_.Reset(started.hProcess);
    processId_ = started.dwProcessId;
    if (boxes != nullptr)
        boxes->WatchProcess(processId_);
}

AddressBookRun::AddressBookRun(MessageBoxCatcher* boxes) : boxes_(boxes), startedElsewhere_(true) {}

AddressBookRun::~AddressBookRun()
{
    if (Running()) {
        TerminateProcess(process_.Get(), 1);
        WaitForSingleObject(process_.Get(), kSendTimeoutMs);
    }
}

bool AddressBookRun::TakeOverRunning()
{
    const HWND main = FindWindowW(L"KapAddressBook", nullptr);
    DWORD processId = 0;
    if (main == nullptr || !IsWindowVisible(main) || GetWindowThreadProcessId(main, &processId) == 0)
        return false;
    process_.Reset(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, processId));
    if (!process_)
        return false;
    processId_ = processId;
    if (boxes_ != nullptr)
        boxes_->WatchProcess(processId);
    return true;
}

bool AddressBookRun::Started(DWORD timeoutMs)
{
    for (DWORD waited = 0; waited < timeoutMs; waited += kPollMs) {
        if (!process_) {
            if (!startedElsewhere_)
                return false;
            TakeOverRunning();
        }
        if (process_) {
            main_ = FindProcessWindow(processId_, L"KapAddressBook");
            if (main_ != nullptr)
                return true;
            if (!Running())
                return false;
        }
        Sleep(kPollMs);
    }
    return false;
}

std::vector<uint32_t> AddressBookRun::Items() const
{
    return ListItems(MainList());
}

void AddressBookRun::Select(const std::vector<int>& items) const
{
    SelectListItems(MainList(), items, main_);
}

HWND AddressBookRun::RecipientBox() const
{
    return FindWindowExW(main_, nullptr, L"ToBoxClass", nullptr);
}

std::vector<uint32_t> AddressBookRun::Recipients() const
{
    return ListItems(GetDlgItem(RecipientBox(), kRecipientListId));
}

void AddressBookRun::SelectRecipients(const std::vector<int>& items) const
{
    SelectListItems(GetDlgItem(RecipientBox(), kRecipientListId), items, RecipientBox());
}

bool AddressBookRun::Press(int buttonId) const
{
    const HWND button = GetDlgItem(RecipientBox(), buttonId);
    if (button == nullptr || !IsWindowEnabled(button))
        return false;
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_NORMAL, kSendTimeoutMs, &result) != 0;
}

bool AddressBookRun::Command(int id) const
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(main_, WM_COMMAND, MAKEWPARAM(id, 0), 0, SMTO_NORMAL, kSendTimeoutMs, &result) != 0;
}

void AddressBookRun::PostCommand(int id) const
{
    PostMessageW(main_, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

HWND AddressBookRun::WaitForDialog(const std::wstring& caption, DWORD timeoutMs) const
{
    for (DWORD waited = 0; waited < timeoutMs && Running(); waited += kPollMs) {
        const HWND dialog = FindProcessWindow(processId_, L"#32770", caption);
        if (dialog != nullptr)
            return dialog;
        Sleep(kPollMs);
    }
    return nullptr;
}

HWND AddressBookRun::WaitForEditor(Editor which, DWORD timeoutMs) const
{
    for (DWORD waited = 0; waited < timeoutMs && Running(); waited += kPollMs) {
        EditorSearch search = {processId_, which, nullptr};
        EnumWindows(VisitEditor, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr)
            return search.found;
        Sleep(kPollMs);
    }
    return nullptr;
}

int AddressBookRun::Close(DWORD timeoutMs)
{
    PostMessageW(main_, WM_CLOSE, 0, 0);
    return WaitForExit(timeoutMs);
}

int AddressBookRun::WaitForExit(DWORD timeoutMs)
{
    if (!process_ || WaitForSingleObject(process_.Get(), timeoutMs) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(process_.Get(), &code);
    return static_cast<int>(code);
}

bool AddressBookRun::Running() const
{
    return process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT;
}

std::string AddressBookRun::Describe() const
{
    if (!process_)
        return "pelmora.exe did not start from " + Utf8(InstallDirectory());
    if (Running())
        return "pelmora.exe runs, main window " + std::string(main_ != nullptr ? "found" : "not found");
    DWORD code = 0;
    GetExitCodeProcess(process_.Get(), &code);
    return "pelmora.exe ended with code " + std::to_string(code);
}
