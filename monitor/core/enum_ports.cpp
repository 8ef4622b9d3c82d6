#include "monitor/core/entry_points.h"
#include "monitor/core/monitor_state.h"
#include "monitor/core/port_entry.h"

#include <winspool.h>
#include <wchar.h>

namespace {
DWORD BytesNeededFor(const PortEntry* entry, DWORD level)
{
    const DWORD nameChars = lstrlenW(entry->name);
    if (level == 1)
        return sizeof(PORT_INFO_1W) + (nameChars + 1) * sizeof(WCHAR);
    if (level == 2)
        return sizeof(PORT_INFO_2W) + (nameChars + 1 + 2 * (lstrlenW(g_monitorName) + 1)) * sizeof(WCHAR);
    return 0;
}

// Strings are packed from the end of the buffer downwards, structures from its start.
class PortInfoWriter {
public:
    PortInfoWriter(LPBYTE buffer, DWORD size) : next_(buffer), stringsEnd_(buffer + size) {}

    WCHAR* PackString(const WCHAR* text)
    {
        const DWORD bytes = (lstrlenW(text) + 1) * sizeof(WCHAR);
        stringsEnd_ -= bytes;
        CopyMemory(stringsEnd_, text, bytes);
        return reinterpret_cast<WCHAR*>(stringsEnd_);
    }

    template <typename Info> Info* NextStruct()
    {
        auto* info = reinterpret_cast<Info*>(next_);
        next_ += sizeof(Info);
        return info;
    }

private:
    LPBYTE next_;
    LPBYTE stringsEnd_;
};

void FillPortInfo(PortInfoWriter& writer, DWORD level, const PortEntry* entry)
{
    if (level == 1) {
        auto* info = writer.NextStruct<PORT_INFO_1W>();
        info->pName = writer.PackString(entry->name);
        return;
    }
    auto* info = writer.NextStruct<PORT_INFO_2W>();
    info->pPortName = writer.PackString(entry->name);
    info->pMonitorName = writer.PackString(g_monitorName);
    info->pDescription = writer.PackString(g_monitorName);
    info->fPortType = PORT_TYPE_WRITE;
    info->Reserved = 0;
}
} // namespace

BOOL WINAPI NmxEnumPorts(LPWSTR /*serverName*/, DWORD level, LPBYTE ports, DWORD bufferSize,
                         LPDWORD bytesNeeded, LPDWORD countReturned)
{
    if (bytesNeeded == nullptr || countReturned == nullptr || (ports == nullptr && bufferSize != 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }

    DWORD error = ERROR_SUCCESS;
    {
        MonitorLockGuard lock;
        DWORD needed = 0;
        for (const PortEntry* entry = FirstPortEntry(); entry != nullptr; entry = entry->next)
            needed += BytesNeededFor(entry, level);
        *bytesNeeded = needed;

        if (needed > bufferSize) {
            error = ERROR_INSUFFICIENT_BUFFER;
        } else {
            *countReturned = 0;
            PortInfoWriter writer(ports, bufferSize);
            for (const PortEntry* entry = FirstPortEntry(); entry != nullptr; entry = entry->next) {
                if (!IsMonitorPortName(entry->name))
                    continue;
                if (level != 1 && level != 2) {
                    error = ERROR_INVALID_LEVEL;
                    break;
                }
                FillPortInfo(writer, level, entry);
                ++*countReturned;
            }
        }
    }
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}
