// window_probe.dll: loaded by Windows into another program's process through a message hook, so
// that a test can read what only that process can (a window's font is a GDI object of its own
// process). window_probe.h drives it.
#include <windows.h>

#include "common/scoped.h"

#include "tests/wine/support/window_probe_shared.h"

namespace {

void AnswerProbe(HWND window)
{
    const ScopedHandle mapping(OpenFileMappingW(FILE_MAP_WRITE, FALSE, kProbeMappingName));
    if (!mapping)
        return;
    auto* answer = static_cast<ProbeAnswer*>(MapViewOfFile(mapping.Get(), FILE_MAP_WRITE, 0, 0, sizeof(ProbeAnswer)));
    if (answer != nullptr) {
        const auto font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
        answer->hasFont = font != nullptr;
        answer->fontBytes = font != nullptr ? GetObjectA(font, sizeof(answer->font), &answer->font) : 0;
        FILETIME created;
        FILETIME exited;
        GetProcessTimes(GetCurrentProcess(), &created, &exited, &answer->kernelTime, &answer->userTime);
        UnmapViewOfFile(answer);
    }
    const ScopedHandle done(OpenEventW(EVENT_MODIFY_STATE, FALSE, kProbeDoneName));
    if (done)
        SetEvent(done.Get());
}

} // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK ProbeRetrievedMessage(int code, WPARAM removed, LPARAM message)
{
    const auto* retrieved = reinterpret_cast<const MSG*>(message);
    if (code == HC_ACTION && removed == PM_REMOVE && retrieved->message == RegisterWindowMessageW(kProbeMessageName))
        AnswerProbe(retrieved->hwnd);
    return CallNextHookEx(nullptr, code, removed, message);
}
