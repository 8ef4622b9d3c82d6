// Stands in for the address book program in the bridge tests: copied into a test's installation
// directory as "pelmora.exe", it notes how it was started in "started.txt" beside itself (one
// item a line: its own path, its command line, the tail after its name, its current directory and
// its show command) and ends.
#include <windows.h>

#include <string>

namespace {
std::wstring OwnPath()
{
    wchar_t path[MAX_PATH] = {};
    return std::wstring(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
}

std::wstring CurrentDirectory()
{
    wchar_t path[MAX_PATH] = {};
    return std::wstring(path, GetCurrentDirectoryW(MAX_PATH, path));
}
} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR tail, int show)
{
    const std::wstring record = OwnPath() + L"\n" + GetCommandLineW() + L"\n" + tail + L"\n" + CurrentDirectory() +
                                L"\n" + std::to_wstring(show) + L"\n";
    // Written aside and renamed, so that a test never reads half of it.
    const std::wstring directory = OwnPath().substr(0, OwnPath().find_last_of(L'\\'));
    const std::wstring partial = directory + L"\\started.part";
    HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    const BOOL wrote = WriteFile(file, record.data(), static_cast<DWORD>(record.size() * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
    if (!wrote || !MoveFileExW(partial.c_str(), (directory + L"\\started.txt").c_str(), MOVEFILE_REPLACE_EXISTING))
        return 1;
    return 0;
}
