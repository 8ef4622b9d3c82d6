#include "tests/wine/support/programs.h"

#include "common/scoped.h"

std::wstring BinDirectory()
{
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring program(path, length);
    return program.substr(0, program.find_last_of(L'\\'));
}

std::wstring DistDirectory()
{
    const std::wstring bin = BinDirectory();
    return bin.substr(0, bin.find_last_of(L'\\')) + L"\\dist";
}

std::wstring SystemDirectory()
{
    wchar_t path[MAX_PATH] = {};
    GetSystemDirectoryW(path, MAX_PATH);
    return path;
}

std::vector<std::wstring> FilesIn(const std::wstring& directory, const std::wstring& pattern)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((directory + L"\\" + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

namespace {
void ReadAvailable(HANDLE pipe, std::string* output)
{
    DWORD available = 0;
    while (PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
        char chunk[4096];
        DWORD got = 0;
        if (!ReadFile(pipe, chunk, sizeof(chunk) < available ? sizeof(chunk) : available, &got, nullptr) || got == 0)
            return;
        if (output != nullptr)
            output->append(chunk, got);
    }
}
} // namespace

int RunProgram(const std::wstring& commandLine, std::string* output, const std::string* input)
{
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    ScopedHandle readEnd;
    ScopedHandle writeEnd;
    if (!CreatePipe(readEnd.Out(), writeEnd.Out(), &inherit, 0))
        return -1;
    SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    ScopedHandle inputRead;
    ScopedHandle inputWrite;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    if (input != nullptr) {
        DWORD written = 0;
        if (!CreatePipe(inputRead.Out(), inputWrite.Out(), &inherit, 0) ||
            !WriteFile(inputWrite.Get(), input->data(), static_cast<DWORD>(input->size()), &written, nullptr))
            return -1;
        inputWrite.Reset(); // the program reads to the end of the input
        startup.hStdInput = inputRead.Get();
    }
    startup.hStdOutput = writeEnd.Get();
    startup.hStdError = writeEnd.Get();
    PROCESS_INFORMATION process = {};
    std::wstring line = commandLine;
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    const ScopedHandle thread(process.hThread);
    const ScopedHandle child(process.hProcess);
    writeEnd.Reset(); // the child holds the only write end now

    // Until the child has ended, not until the pipe breaks: a process the child starts (Wine's
    // desktop process, say) may inherit the pipe and outlive it.
    while (WaitForSingleObject(child.Get(), 20) == WAIT_TIMEOUT)
        ReadAvailable(readEnd.Get(), output);
    ReadAvailable(readEnd.Get(), output);
    DWORD exitCode = 0;
    GetExitCodeProcess(child.Get(), &exitCode);
    return static_cast<int>(exitCode);
}

std::wstring LibraryString(const std::wstring& library, UINT id)
{
    const ScopedLibrary resources(LoadLibraryExW(library.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    wchar_t text[2048] = {};
    if (resources)
        LoadStringW(resources.Get(), id, text, ARRAYSIZE(text));
    return text;
}

std::wstring InstalledResourceString(UINT id)
{
    return LibraryString(SystemDirectory() + L"\\NmxRC.dll", id);
}

namespace {
// Past a field of a dialog template that is nothing (0), an ordinal (0xFFFF and a number) or a
// text with its terminator.
const WORD* SkipNameOrOrdinal(const WORD* field)
{
    if (*field == 0xFFFF)
        return field + 2;
    while (*field != 0)
        ++field;
    return field + 1;
}
} // namespace

std::wstring DialogCaption(HMODULE library, int dialogId, LANGID language)
{
    const HRSRC found = FindResourceExW(library, RT_DIALOG, MAKEINTRESOURCEW(dialogId), language);
    const auto* dialog = found == nullptr ? nullptr : static_cast<const WORD*>(LockResource(LoadResource(library, found)));
    if (dialog == nullptr || dialog[1] != 0xFFFF) // the extended template the libraries use
        return L"";
    // dlgVer, signature, helpID, exStyle, style, cDlgItems, x, y, cx, cy: 13 words; then the
    // menu, the class and the title.
    const WORD* title = SkipNameOrOrdinal(SkipNameOrOrdinal(dialog + 13));
    return reinterpret_cast<const wchar_t*>(title);
}

std::wstring DialogCaption(const std::wstring& libraryPath, int dialogId)
{
    const ScopedLibrary library(LoadLibraryExW(libraryPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    return library ? DialogCaption(library.Get(), dialogId) : L"";
}

std::string Utf8(const std::wstring& text)
{
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                          nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], bytes, nullptr, nullptr);
    return out;
}
