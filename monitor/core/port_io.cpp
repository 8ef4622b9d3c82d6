#include "monitor/core/entry_points.h"
#include "monitor/core/memory.h"
#include "monitor/core/monitor_state.h"
#include "monitor/core/port_handle.h"
#include "monitor/core/spool_file.h"
#include "monitor/core/port_config.h"

#include <winspool.h>
#include <winsplp.h>

#include <utility>

namespace {
constexpr DWORD kDosTargetChars = 520;

bool HasOpenFile(const PortEntry* entry)
{
    return entry->file.IsValid();
}

// The port name without one trailing colon.
void DeviceNameOf(const PortEntry* entry, WCHAR (&deviceName)[MAX_PATH])
{
    lstrcpynW(deviceName, entry->name, MAX_PATH);
    const int length = lstrlenW(deviceName);
    if (length > 0 && deviceName[length - 1] == L':')
        deviceName[length - 1] = L'\0';
}

void FormatNonSpooledName(WCHAR* out, const WCHAR* deviceName)
{
    wsprintfW(out, L"NONSPOOLED_%s", deviceName);
}

// A port whose name is also a DOS device (LPT1:, say) is linked to the device the spooler
// redirected, so that the device can be opened. For the monitor's own names there is no such
// device and nothing is done.
bool LinkDosDevice(PortEntry* entry)
{
    WCHAR deviceName[MAX_PATH];
    DeviceNameOf(entry, deviceName);

    WCHAR targets[kDosTargetChars];
    if (QueryDosDeviceW(deviceName, targets, kDosTargetChars) == 0)
        return true;
    ScopedBlock<WCHAR> firstTarget(DuplicateString(targets));
    if (!firstTarget)
        return false;

    WCHAR pipePath[MAX_PATH + 32];
    wsprintfW(pipePath, L"\\Device\\NamedPipe\\Spooler\\%s", deviceName);
    WCHAR nonSpooled[MAX_PATH + 16];
    FormatNonSpooledName(nonSpooled, deviceName);

    HANDLE token = RevertToPrinterSelf();
    const WCHAR* linkTarget = lstrcmpiW(targets, pipePath) == 0 ? targets + lstrlenW(targets) + 1 : targets;
    DefineDosDeviceW(DDD_RAW_TARGET_PATH, nonSpooled, linkTarget);
    ImpersonatePrinterClient(token);

    WCHAR devicePath[MAX_PATH + 32];
    wsprintfW(devicePath, L"\\\\.\\%s", nonSpooled);
    entry->file.Reset(CreateFileW(devicePath, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!entry->file) {
        DefineDosDeviceW(DDD_REMOVE_DEFINITION, nonSpooled, nullptr);
        return false;
    }
    SetFlag(entry, kFlagDeviceLink);
    SetEndOfFile(entry->file.Get());
    entry->deviceTarget = std::move(firstTarget);
    return true;
}

void UnlinkDosDevice(PortEntry* entry)
{
    entry->file.Reset();
    WCHAR deviceName[MAX_PATH];
    DeviceNameOf(entry, deviceName);
    WCHAR nonSpooled[MAX_PATH + 16];
    FormatNonSpooledName(nonSpooled, deviceName);
    DefineDosDeviceW(DDD_REMOVE_DEFINITION, nonSpooled, nullptr);
}

// A job the user did not confirm mails nothing.
bool Confirmed(PortEntry* entry, bool confirmed)
{
    if (!confirmed)
        entry->settings.ServAddr[0] = L'\0';
    return confirmed;
}

// Loads the port's settings and, when the port asks for it, lets the user confirm (and adjust
// for this job only) in the configuration dialog. Returns false when the user cancelled. The
// caller holds the monitor lock. In the spooler's service the job's owner confirms later,
// in their own session (ConfirmWithOwner).
bool ConfirmJobStart(PortEntry* entry)
{
    LoadPortSettings(&entry->settings);
    if (g_spoolerShowsNothing)
        return true;
    return Confirmed(entry, entry->settings.ShowSw != 1 || ShowPortConfigDialog(nullptr, entry) != 0);
}

// The owner's confirmation, outside the monitor lock: the owner may take ten minutes to answer,
// and the other ports go on meanwhile. The job's in-progress mark keeps a second start out.
bool ConfirmWithOwner(PortEntry* entry)
{
    entry->owner.Take(entry->printer.Get(), entry->jobId);
    return entry->settings.ShowSw != 1 || Confirmed(entry, entry->owner.Confirm(&entry->settings));
}

// A job the user did not confirm: the spooler deletes it, and its end mails nothing. Without a
// printer there is no job to delete; its end is told directly.
void CancelJob(PortEntry* entry)
{
    if (HasFlag(entry, kFlagNoPrinter))
        SetFlag(entry, kFlagSendAbort);
    else
        SetJobW(entry->printer.Get(), entry->jobId, 0, nullptr, JOB_CONTROL_CANCEL);
}

enum class JobStart { Opened, AlreadyOpen, NoPort };

// Marks the job open and lets the user confirm it. Under the monitor lock, so that two starts
// cannot both open a job and a port cannot be deleted while its job starts.
JobStart OpenJob(PortEntry* entry, const WCHAR* docName, bool* confirmed)
{
    MonitorLockGuard lock;
    if (HasFlag(entry, kFlagRemoved))
        return JobStart::NoPort;
    if (HasFlag(entry, kFlagJobInProgress))
        return JobStart::AlreadyOpen;
    SetFlag(entry, kFlagJobInProgress);
    lstrcpynW(entry->settings.DocName, docName != nullptr ? docName : L"", kMaxDocNameChars + 1);
    *confirmed = ConfirmJobStart(entry);
    return JobStart::Opened;
}

} // namespace

void ReleaseJobPrinter(PortEntry* entry)
{
    entry->owner.Forget();
    entry->printer.Reset();
    entry->printerName.Reset();
}

BOOL WINAPI NmxOpenPort(LPWSTR name, PHANDLE port)
{
    MonitorLockGuard lock;
    PortEntry* entry = FindPortEntry(name);
    if (entry == nullptr || port == nullptr || !LinkDosDevice(entry))
        return FALSE;
    // The device is only linked to check that it can be opened; it stays closed.
    if (HasFlag(entry, kFlagDeviceLink))
        UnlinkDosDevice(entry);
    AcquirePortEntry(entry); // until ClosePort, also when the port is deleted meanwhile
    *port = entry;
    return TRUE;
}

BOOL WINAPI NmxStartDocPort(HANDLE port, LPWSTR printerName, DWORD jobId, DWORD /*level*/, LPBYTE docInfo)
{
    PortEntry* entry = PortFromHandle(port);
    // DOC_INFO_1 and DOC_INFO_2 both begin with the document name.
    const WCHAR* docName = docInfo != nullptr ? reinterpret_cast<DOC_INFO_1W*>(docInfo)->pDocName : nullptr;
    bool confirmed = false;
    const JobStart start = entry != nullptr ? OpenJob(entry, docName, &confirmed) : JobStart::NoPort;
    if (start == JobStart::NoPort)
        return RefuseHandle();
    if (start == JobStart::AlreadyOpen)
        return TRUE;

    entry->printer.Reset();
    entry->printerName.Reset(DuplicateString(printerName));
    entry->file.Reset();
    entry->jobId = jobId;
    // Wine's spooler passes no printer name (and job id 0): such a job is mailed as usual, without
    // the job-status queries and job commands that need the printer.
    if (printerName == nullptr) {
        SetFlag(entry, kFlagNoPrinter);
        CreateSpoolFile(entry->file.Out(), entry->settings.SpoolFile, L"prn");
    } else if (entry->printerName && OpenPrinterW(entry->printerName.Get(), entry->printer.Out(), nullptr) &&
               entry->printer) {
        CreateSpoolFile(entry->file.Out(), entry->settings.SpoolFile, L"prn");
    }
    if (!entry->file) {
        ClearFlag(entry, kFlagJobInProgress | kFlagNoPrinter);
        ReleaseJobPrinter(entry);
        return FALSE;
    }
    if (g_spoolerShowsNothing)
        confirmed = ConfirmWithOwner(entry);
    if (!confirmed)
        CancelJob(entry);
    return TRUE;
}

BOOL WINAPI NmxWritePort(HANDLE port, LPBYTE buffer, DWORD size, LPDWORD written)
{
    PortEntry* entry = PortFromHandle(port);
    if (entry == nullptr || !HasOpenFile(entry))
        return RefuseHandle();
    DWORD ignored = 0;
    return WriteFile(entry->file.Get(), buffer, size, written != nullptr ? written : &ignored, nullptr);
}

BOOL WINAPI NmxReadPort(HANDLE /*port*/, LPBYTE /*buffer*/, DWORD /*size*/, LPDWORD /*read*/)
{
    // The monitor never returns data.
    return RefuseHandle();
}

// Also closes a handle whose port has been deleted: its last handle frees the entry.
BOOL WINAPI NmxClosePort(HANDLE port)
{
    PortEntry* entry = EntryOfHandle(port);
    if (entry == nullptr)
        return RefuseHandle();
    MonitorLockGuard lock;
    entry->deviceTarget.Reset();
    ReleasePortEntry(entry);
    return TRUE;
}

BOOL WINAPI NmxGetPrinterDataFromPort(HANDLE port, DWORD controlId, LPWSTR /*valueName*/, LPWSTR inBuffer,
                                      DWORD inSize, LPWSTR outBuffer, DWORD outSize, LPDWORD returned)
{
    PortEntry* entry = PortFromHandle(port);
    if (entry == nullptr)
        return RefuseHandle();
    if (controlId == 0 || !HasOpenFile(entry) || !HasFlag(entry, kFlagDeviceLink)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // A job whose device is queried directly is not mailed at its end.
    SetFlag(entry, kFlagSendAbort);
    return DeviceIoControl(entry->file.Get(), controlId, inBuffer, inSize, outBuffer, outSize, returned, nullptr);
}

BOOL WINAPI NmxSetPortTimeOuts(HANDLE port, LPCOMMTIMEOUTS timeouts, DWORD reserved)
{
    if (reserved != 0)
        return FALSE;
    PortEntry* entry = PortFromHandle(port);
    if (entry == nullptr)
        return RefuseHandle();
    if (timeouts == nullptr || !HasFlag(entry, kFlagDeviceLink)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    COMMTIMEOUTS current;
    if (!GetCommTimeouts(entry->file.Get(), &current))
        return FALSE;
    current.ReadIntervalTimeout = timeouts->ReadIntervalTimeout;
    current.ReadTotalTimeoutConstant = timeouts->ReadTotalTimeoutConstant;
    return SetCommTimeouts(entry->file.Get(), &current);
}
