#include "tests/wine/support/window_probe.h"

#include "tests/wine/support/programs.h"
#include "tests/wine/support/scoped_handle.h"
#include "tests/wine/support/window_probe_shared.h"

bool ReadWindowFont(HWND window, LOGFONTA* font, DWORD timeoutMs)
{
    ScopedHandle mapping;
    *mapping.Out() = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(ProbeAnswer),
                                        kProbeMappingName);
    ScopedHandle done;
    *done.Out() = CreateEventW(nullptr, FALSE, FALSE, kProbeDoneName);
    HMODULE probe = LoadLibraryW((BinDirectory() + L"\\window_probe.dll").c_str());
    if (mapping.Get() == nullptr || done.Get() == nullptr || probe == nullptr)
        return false;
    const auto hook = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(probe, "ProbeRetrievedMessage")));
    HHOOK installed = hook != nullptr ? SetWindowsHookExW(WH_GETMESSAGE, hook, probe,
                                                          GetWindowThreadProcessId(window, nullptr))
                                      : nullptr;
    bool answered = false;
    if (installed != nullptr) {
        PostMessageW(window, RegisterWindowMessageW(kProbeMessageName), 0, 0);
        answered = WaitForSingleObject(done.Get(), timeoutMs) == WAIT_OBJECT_0;
        UnhookWindowsHookEx(installed);
    }
    FreeLibrary(probe);
    if (!answered)
        return false;
    const auto* answer = static_cast<const ProbeAnswer*>(MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, sizeof(ProbeAnswer)));
    if (answer == nullptr)
        return false;
    const bool read = answer->hasFont && answer->fontBytes == static_cast<int>(sizeof(LOGFONTA));
    *font = answer->font;
    UnmapViewOfFile(answer);
    return read;
}
