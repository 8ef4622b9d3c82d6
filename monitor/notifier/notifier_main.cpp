// nmx_notify.exe: shows one message of the port monitor, or one job's start confirmation, in the
// session of the user who printed, and hands the answer back in the block of memory it
// inherited. The monitor starts it with the user's identity; its arguments are the block's
// handle and size.
#include "common/scoped.h"
#include "monitor/core/monitor_state.h"
#include "monitor/core/notifier_request.h"
#include "monitor/core/xcv_settings.h"
#include "monitor/core/xcv_settings_copy.h"
#include "monitor/ui/dialogs.h"

#include <cwchar>
#include <memory>
#include <new>

namespace {
// The block as the command line names it: "<handle> <bytes>", both decimal.
bool ParseArguments(const WCHAR* commandLine, HANDLE* section, size_t* bytes)
{
    WCHAR* end = nullptr;
    const unsigned long handle = wcstoul(commandLine, &end, 10);
    if (end == commandLine || *end != L' ')
        return false;
    const WCHAR* sizeText = end + 1;
    const unsigned long size = wcstoul(sizeText, &end, 10);
    if (end == sizeText || *end != L'\0' || handle == 0 || size == 0)
        return false;
    *section = ULongToHandle(handle);
    *bytes = size;
    return true;
}

uint32_t ShowBox(const NotifierRequest& request)
{
    const int answer = MessageBoxW(nullptr, reinterpret_cast<const WCHAR*>(request.text),
                                   reinterpret_cast<const WCHAR*>(request.caption), request.style);
    return answer == IDOK ? kNotifierOk : kNotifierCancel;
}

// The reload button brings back the settings the job started with; a job's values are never stored.
class JobStartSettings : public PortSettingsStore {
public:
    explicit JobStartSettings(const PortSettings& started) : started_(started) {}
    void Load(PortSettings* settings) override { *settings = started_; }
    bool Store(const PortSettings&) override { return true; }

private:
    const PortSettings& started_;
};

using SettingsCopy = std::unique_ptr<PortSettings>;

uint32_t ConfirmJob(uint8_t* block, size_t bytes)
{
    std::unique_ptr<XcvSettings> shown(new (std::nothrow) XcvSettings);
    SettingsCopy started(new (std::nothrow) PortSettings{});
    SettingsCopy settings(new (std::nothrow) PortSettings{});
    if (!shown || !started || !settings || !LoadResourceLibrary() ||
        ReadXcvSettings(block + kNotifierSettingsOffset, bytes - kNotifierSettingsOffset, shown.get()) !=
            XcvReadError::None)
        return kNotifierNoAnswer;
    CopySettings(*shown, started.get());
    // The dialog only tells whether a password is stored; the password stays with the monitor.
    started->SMTPPasswordHeldByMonitor = (shown->flags & kXcvPasswordStored) != 0;
    *settings = *started;
    JobStartSettings store(*started);
    const INT_PTR result = RunPortConfigDialog(nullptr, settings.get(), true, store, ServerFields::Fixed);
    if (result != 1)
        return result == 0 ? kNotifierCancel : kNotifierNoAnswer;
    CopySettings(*settings, shown.get());
    WriteXcvSettings(*shown, block + kNotifierSettingsOffset);
    return kNotifierOk;
}
} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int)
{
    g_moduleInstance = instance;
    HANDLE handle = nullptr;
    size_t bytes = 0;
    if (!ParseArguments(commandLine, &handle, &bytes))
        return ERROR_INVALID_PARAMETER;
    const ScopedHandle section(handle);
    const ScopedView view(MapViewOfFile(section.Get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, bytes));
    auto* block = static_cast<uint8_t*>(view.Get());
    NotifierRequest request;
    if (block == nullptr || ReadNotifierRequest(block, bytes, &request) != NotifierReadError::None)
        return ERROR_INVALID_DATA;
    const uint32_t answer = request.kind == NotifierKind::Confirmation ? ConfirmJob(block, bytes) : ShowBox(request);
    WriteNotifierAnswer(block, answer);
    return ERROR_SUCCESS;
}
