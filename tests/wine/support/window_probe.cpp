#include "tests/wine/support/window_probe.h"

#include "tests/wine/support/programs.h"
#include "common/scoped.h"
#include "tests/wine/support/window_probe_shared.h"

namespace {

// Hooks window_probe.dll into the window's thread, posts it the probe message and copies what the
// probe answered once the thread has taken that message from its queue; false when no answer came.
bool Probe(HWND window, DWORD timeoutMs, ProbeAnswer* answer)
{
    const ScopedHandle mapping(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                  sizeof(ProbeAnswer), kProbeMappingName));
    const ScopedHandle done(CreateEventW(nullptr, FALSE, FALSE, kProbeDoneName));
    const ScopedLibrary probe(LoadLibraryW((BinDirectory() + L"\\window_probe.dll").c_str()));
    if (!mapping || !done || !probe)
        return false;
    const auto hook =
        reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(probe.Get(), "ProbeRetrievedMessage")));
    ScopedHook installed(hook != nullptr ? SetWindowsHookExW(WH_GETMESSAGE, hook, probe.Get(),
                                                             GetWindowThreadProcessId(window, nullptr))
                                         : nullptr);
    bool answered = false;
    if (installed) {
        PostMessageW(window, RegisterWindowMessageW(kProbeMessageName), 0, 0);
        answered = WaitForSingleObject(done.Get(), timeoutMs) == WAIT_OBJECT_0;
        installed.Reset();
    }
    if (!answered)
        return false;
    const auto* view = static_cast<const ProbeAnswer*>(MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, sizeof(ProbeAnswer)));
    if (view == nullptr)
        return false;
    *answer = *view;
    UnmapViewOfFile(view);
    return true;
}

} // namespace

bool ReadWindowFont(HWND window, LOGFONTA* font, DWORD timeoutMs)
{
    ProbeAnswer answer = {};
    if (!Probe(window, timeoutMs, &answer))
        return false;
    *font = answer.font;
    return answer.hasFont && answer.fontBytes == static_cast<int>(sizeof(LOGFONTA));
}

bool ReadProcessorTime(HWND window, double* milliseconds, DWORD timeoutMs)
{
    ProbeAnswer answer = {};
    if (!Probe(window, timeoutMs, &answer))
        return false;
    const auto ticks = [](const FILETIME& time) {
        return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    *milliseconds = static_cast<double>(ticks(answer.kernelTime) + ticks(answer.userTime)) / 10000.0;
    return true;
}

bool WaitForPostedMessages(HWND window, DWORD timeoutMs)
{
    ProbeAnswer answer = {};
    return Probe(window, timeoutMs, &answer);
}
