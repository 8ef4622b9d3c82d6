#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600 // QueryFullProcessImageNameW
#include "tests/wine/support/other_process_window.h"

#include "common/scoped.h"

namespace {
std::wstring ProgramOf(DWORD processId)
{
    const ScopedHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    wchar_t path[MAX_PATH] = L"";
    DWORD chars = MAX_PATH;
    if (!process || !QueryFullProcessImageNameW(process.Get(), 0, path, &chars))
        return L"<unknown>";
    const std::wstring full(path);
    return full.substr(full.find_last_of(L'\\') + 1);
}
} // namespace

OtherProcessWindow WaitForOtherProcessWindow(const std::wstring& caption)
{
    for (int tries = 0; tries < 300; ++tries) {
        for (HWND window = FindWindowW(nullptr, caption.c_str()); window != nullptr;
             window = FindWindowExW(nullptr, window, nullptr, caption.c_str())) {
            DWORD processId = 0;
            GetWindowThreadProcessId(window, &processId);
            if (processId != GetCurrentProcessId() && IsWindowVisible(window))
                return {window, processId, ProgramOf(processId)};
        }
        Sleep(100);
    }
    return {};
}
