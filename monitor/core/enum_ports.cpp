#include "monitor/core/entry_points.h"
#include "monitor/core/monitor_state.h"
#include "monitor/core/port_entry.h"
#include "monitor/core/port_info_packing.h"

#include <winspool.h>

#include <new>
#include <vector>

static_assert(sizeof(WCHAR) == sizeof(uint16_t), "port names are UTF-16");
static_assert(PortInfoStructSize(1, sizeof(void*)) == sizeof(PORT_INFO_1W), "the platform's layout");
static_assert(PortInfoStructSize(2, sizeof(void*)) == sizeof(PORT_INFO_2W), "the platform's layout");

namespace {
PortInfoAnswer PackPortList(DWORD level, LPBYTE ports, DWORD bufferSize)
{
    MonitorLockGuard lock;
    std::vector<const wchar_t*> names;
    for (const PortEntry* entry = FirstPortEntry(); entry != nullptr; entry = entry->next)
        names.push_back(entry->name);
    const PortInfoBuffer buffer = {ports, bufferSize, reinterpret_cast<uintptr_t>(ports), sizeof(void*)};
    return PackPortInfo(names, g_monitorName, level, buffer);
}
} // namespace

BOOL WINAPI NmxEnumPorts(LPWSTR /*serverName*/, DWORD level, LPBYTE ports, DWORD bufferSize,
                         LPDWORD bytesNeeded, LPDWORD countReturned)
{
    if (bytesNeeded == nullptr || countReturned == nullptr || (ports == nullptr && bufferSize != 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }

    PortInfoAnswer answer;
    try {
        answer = PackPortList(level, ports, bufferSize);
    } catch (const std::bad_alloc&) { // the list of names
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    *bytesNeeded = answer.bytesNeeded;
    if (answer.status == PortInfoStatus::InsufficientBuffer) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    *countReturned = answer.countReturned;
    if (answer.status == PortInfoStatus::InvalidLevel) {
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    return TRUE;
}
