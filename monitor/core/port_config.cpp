#include "monitor/core/port_config.h"
#include "monitor/core/messages.h"
#include "monitor/core/monitor_state.h"
#include "monitor/core/resource_ids.h"
#include "monitor/ui/dialogs.h"

#include <memory>
#include <new>

namespace {

// Holds the entry for as long as its dialog is open, so that a port deleted meanwhile is not
// freed under the dialog (AddPort shows it without the monitor lock).
class PinnedEntry {
public:
    explicit PinnedEntry(PortEntry* entry) : entry_(entry)
    {
        MonitorLockGuard lock;
        AcquirePortEntry(entry_);
    }
    ~PinnedEntry()
    {
        MonitorLockGuard lock;
        ReleasePortEntry(entry_);
    }
    PinnedEntry(const PinnedEntry&) = delete;
    PinnedEntry& operator=(const PinnedEntry&) = delete;

private:
    PortEntry* entry_;
};

// The port's key in the registry. A port deleted while its dialog was open stays deleted: its OK
// stores nothing, and DeletePort cannot come between the look at the port and the write.
class RegistrySettings : public PortSettingsStore {
public:
    explicit RegistrySettings(PortEntry* entry) : entry_(entry) {}

    void Load(PortSettings* settings) override { LoadPortSettings(settings); }
    bool Store(const PortSettings& settings) override
    {
        LONG result = ERROR_SUCCESS;
        {
            MonitorLockGuard lock;
            if (!HasFlag(entry_, kFlagRemoved))
                result = SavePortSettings(&settings);
        }
        if (result == ERROR_SUCCESS)
            return true;
        ShowMonitorMessage(IDS_SETTINGS_NOT_SAVED, kStyleError);
        return false;
    }

private:
    PortEntry* entry_;
};

using SettingsCopy = std::unique_ptr<PortSettings>;

// The entry's settings with the stored values read anew, as the dialog shows them.
SettingsCopy StoredSettingsOf(PortEntry* entry)
{
    SettingsCopy settings(new (std::nothrow) PortSettings);
    if (!settings)
        return settings;
    MonitorLockGuard lock;
    *settings = entry->settings;
    lstrcpynW(settings->PortName, entry->name, ARRAYSIZE(settings->PortName));
    LoadPortSettings(settings.get());
    return settings;
}

} // namespace

INT_PTR ShowPortConfigDialog(HWND owner, PortEntry* entry)
{
    const bool forJob = HasFlag(entry, kFlagJobInProgress);
    if (forJob && entry->settings.ShowSw != 1)
        return 1;
    PinnedEntry pinned(entry);
    SettingsCopy settings = StoredSettingsOf(entry);
    if (!settings)
        return -1;
    // The caller saw the port's settings before they were read again by name.
    if (forJob && settings->ShowSw != 1)
        return 1;
    RegistrySettings registry(entry);
    const INT_PTR result = RunPortConfigDialog(owner, settings.get(), forJob, registry);
    if (result == 1 && forJob)
        entry->settings = *settings; // the job goes on with what the user accepted
    return result;
}
