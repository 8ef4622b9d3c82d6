#include "monitor/core/memory.h"
#include "monitor/core/port_entry.h"

#include <new>

namespace {
PortEntry* g_portList = nullptr;

void FreePortEntry(PortEntry* entry)
{
    // A stale handle to the freed block must not pass for a port.
    entry->signature = 0;
    entry->~PortEntry();
    GlobalFree(entry);
}
} // namespace

PortEntry* FirstPortEntry()
{
    return g_portList;
}

PortEntry* FindPortEntry(const WCHAR* name)
{
    if (name == nullptr)
        return nullptr;
    for (PortEntry* entry = g_portList; entry != nullptr; entry = entry->next) {
        if (lstrcmpiW(entry->name, name) == 0)
            return entry;
    }
    return nullptr;
}

PortEntry* AddPortEntry(const WCHAR* name)
{
    const SIZE_T nameChars = lstrlenW(name) + 1;
    // The entry's last member holds the name's first character; the rest extends past the struct.
    const SIZE_T size = sizeof(PortEntry) + (nameChars - 1) * sizeof(WCHAR);
    void* block = AllocZeroed(size);
    if (block == nullptr)
        return nullptr;
    auto* entry = new (block) PortEntry();
    entry->size = static_cast<DWORD>(size);
    entry->name = entry->nameText;
    CopyMemory(entry->nameText, name, nameChars * sizeof(WCHAR));
    // With its name known from the start, the first job's settings load finds the port's key.
    lstrcpynW(entry->settings.PortName, name, ARRAYSIZE(entry->settings.PortName));

    PortEntry** tail = &g_portList;
    while (*tail != nullptr)
        tail = &(*tail)->next;
    *tail = entry;
    return entry;
}

void RemovePortEntry(PortEntry* entry)
{
    for (PortEntry** link = &g_portList; *link != nullptr; link = &(*link)->next) {
        if (*link == entry) {
            *link = entry->next;
            break;
        }
    }
    entry->next = nullptr;
    SetFlag(entry, kFlagRemoved);
    if (!entry->references.Held())
        FreePortEntry(entry);
}

void AcquirePortEntry(PortEntry* entry)
{
    entry->references.Acquire();
}

void ReleasePortEntry(PortEntry* entry)
{
    // A stray release frees nothing: the entry was freed at its removal, or another holder has it.
    if (entry->references.Release() && HasFlag(entry, kFlagRemoved) && !entry->references.Held())
        FreePortEntry(entry);
}
