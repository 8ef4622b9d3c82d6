#include "monitor/ui/address_book_bridge.h"
#include "common/scoped.h"
#include "monitor/core/memory.h"
#include "monitor/core/port_settings.h"
#include "monitor/mail/text_conversion.h"
#include "monitor/ui/address_book_exchange.h"
#include "monitor/ui/address_list.h"
#include "monitor/ui/dialog_ids.h"


namespace {
// Both programs keep the file open only briefly and let the other in meanwhile.
HANDLE OpenExchangeFile(const WCHAR* path, DWORD disposition)
{
    return CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The list as OK takes it (at most 12,999 characters), in the ANSI code page with its zero
// byte; an empty list writes nothing.
void WriteDestinationList(HWND dialog, HANDLE file)
{
    ScopedBlock<WCHAR> text(
        static_cast<WCHAR*>(AllocZeroed(kServAddrEditChars * sizeof(WCHAR))));
    ScopedBlock<char> ansi(static_cast<char*>(AllocZeroed(kAnsiServAddrBytes)));
    if (!text || !ansi)
        return;
    if (GetDlgItemTextW(dialog, IDC_SERV_ADDR, text.Get(), kServAddrEditChars) == 0)
        return;
    ToAnsiText(text.Get(), ansi.Get(), kAnsiServAddrBytes);
    DWORD written = 0;
    WriteFile(file, ansi.Get(), static_cast<DWORD>(lstrlenA(ansi.Get())) + 1, &written, nullptr);
}

// Created anew each time. When it cannot be, the address book starts all the same.
void WriteHandOverFile(HWND dialog)
{
    WCHAR spoolDirectory[kDirectoryChars];
    ReadSpoolDirectory(spoolDirectory);
    WCHAR path[kHandOverPathChars];
    FormatHandOverPath(spoolDirectory, path, kHandOverPathChars);
    ScopedFile file(OpenExchangeFile(path, CREATE_ALWAYS));
    if (file.IsValid())
        WriteDestinationList(dialog, file.Get());
}

// By the program's full path, so that no search finds another program of the name; and without
// the shell, which may report a failure: nothing is reported when the program cannot be started.
void StartAddressBook(bool jobInProgress)
{
    WCHAR directory[kDirectoryChars];
    ReadInstallDirectory(directory);
    WCHAR program[kDirectoryChars + 16];
    if (!FormatAddressBookPath(directory, program, ARRAYSIZE(program)))
        return;
    // The address book takes its mode from what follows its quoted path.
    WCHAR commandLine[ARRAYSIZE(program) + 8];
    wsprintfW(commandLine, L"\"%s\" %s", program, jobInProgress ? L"/o" : L"/p");
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_RESTORE;
    PROCESS_INFORMATION process = {};
    if (CreateProcessW(program, commandLine, nullptr, nullptr, FALSE, 0, nullptr, directory, &startup, &process)) {
        ScopedHandle thread(process.hThread);
        ScopedHandle started(process.hProcess);
    }
}

// Reads byteCount bytes from the file's position and converts them from the ANSI code page,
// up to the first zero byte and without trailing characters that are not printable.
bool ReadAnsiFileAsWide(HANDLE file, WCHAR* out, DWORD byteCount, int capacity)
{
    ScopedBlock<char> narrow(static_cast<char*>(AllocZeroed(SIZE_T{byteCount} + 1)));
    if (!narrow)
        return false;
    DWORD read = 0;
    if (!ReadFile(file, narrow.Get(), byteCount, &read, nullptr))
        return false;
    ToWideTrimmed(narrow.Get(), out, capacity);
    return true;
}

// The field is left as it was when the file cannot be read.
void ReplaceDestinationList(HWND dialog, HANDLE file, DWORD announcedBytes)
{
    LARGE_INTEGER fileSize;
    HandOverRead plan;
    if (!GetFileSizeEx(file, &fileSize) || !PlanHandOverRead(announcedBytes, fileSize.QuadPart, &plan))
        return;
    ScopedBlock<WCHAR> text(static_cast<WCHAR*>(AllocZeroed(plan.wideChars * sizeof(WCHAR))));
    if (!text || !ReadAnsiFileAsWide(file, text.Get(), plan.bytes, static_cast<int>(plan.wideChars)))
        return;
    CutToDestinationField(text.Get());
    SetDlgItemTextW(dialog, IDC_SERV_ADDR, text.Get());
}
} // namespace

void OpenAddressBook(HWND dialog, bool jobInProgress)
{
    WriteHandOverFile(dialog);
    StartAddressBook(jobInProgress);
}

void ReceiveSentAddresses(HWND dialog, ATOM atom, DWORD announcedBytes)
{
    WCHAR path[kHandOverPathChars] = {};
    GlobalGetAtomNameW(atom, path, kHandOverPathChars);
    WCHAR spoolDirectory[kDirectoryChars];
    ReadSpoolDirectory(spoolDirectory);
    // Any program can post the message: an atom, a file and a field that are not the hand-over's
    // are left alone. From here on the atom and the file are the dialog's.
    if (!IsHandOverFile(path, spoolDirectory))
        return;
    GlobalDeleteAtom(atom);
    {
        ScopedFile file(OpenExchangeFile(path, OPEN_EXISTING));
        if (file.IsValid())
            ReplaceDestinationList(dialog, file.Get(), announcedBytes);
    }
    DeleteFileW(path);
}
