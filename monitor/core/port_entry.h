#pragma once
#include "common/scoped.h"
#include "monitor/core/hold_count.h"
#include "monitor/core/job_owner.h"
#include "monitor/core/port_settings.h"
#include "monitor/ui/port_name_rule.h"

#include <winspool.h>

constexpr DWORD kPortEntrySignature = 0x5450;

constexpr DWORD kFlagDeviceLink = 0x01;
constexpr DWORD kFlagJobInProgress = 0x08;
constexpr DWORD kFlagSendAbort = 0x10;
constexpr DWORD kFlagRemoved = 0x100; // taken out of the port list; freed with its last reference
constexpr DWORD kFlagNoPrinter = 0x200; // the job came without a printer name: no job to ask about

using ScopedPrinter = Scoped<HANDLE, ClosePrinter>;

// One port of the monitor; its address is the spooler's port handle. Made in one zero-filled
// block holding the name inline at the end; never moved. It owns its job's file, printer and
// strings.
struct PortEntry {
    DWORD signature = kPortEntrySignature;
    DWORD size = 0;
    PortEntry* next = nullptr;
    WCHAR* name = nullptr;              // points at nameText
    ScopedFile file;                    // the job's spool file
    volatile LONG flags = 0;            // kFlag* bits; changed with Interlocked operations
    ScopedBlock<WCHAR> printerName;     // from StartDocPort
    ScopedBlock<WCHAR> deviceTarget;    // from OpenPort's device link
    ScopedPrinter printer;
    DWORD jobId = 0;
    JobOwner owner;                     // who printed the job, from StartDocPort to EndDocPort
    PortSettings settings{};
    HoldCount references;               // open handles and dialogs that use the entry; under the monitor lock
    WCHAR nameText[1] = {};             // the name, null-terminated, extends past the struct
};

// Port list operations. Callers hold the monitor lock.
PortEntry* FindPortEntry(const WCHAR* name);
PortEntry* AddPortEntry(const WCHAR* name);
PortEntry* FirstPortEntry();
// Takes the entry out of the list. It is freed at once unless a handle or a dialog still holds
// it; then the last release frees it.
void RemovePortEntry(PortEntry* entry);
// A handle from OpenPort or a dialog holds the entry so that it is not freed under it. Callers
// hold the monitor lock.
void AcquirePortEntry(PortEntry* entry);
void ReleasePortEntry(PortEntry* entry);

// The monitor's own ports; the list also holds the version key "1.64".
inline bool IsMonitorPortName(const WCHAR* name) { return HasMonitorPortPrefix(name); }

inline bool HasFlag(const PortEntry* entry, DWORD flag) { return (entry->flags & flag) != 0; }
inline void SetFlag(PortEntry* entry, DWORD flag) { InterlockedOr(&entry->flags, static_cast<LONG>(flag)); }
inline void ClearFlag(PortEntry* entry, DWORD flag) { InterlockedAnd(&entry->flags, ~static_cast<LONG>(flag)); }
