#include "printhost/send_counter.h"

#include <winsock2.h>

namespace {

using SendFn = int(WSAAPI*)(SOCKET, const char*, int, int);

SendFn g_realSend = nullptr;
SendCounts g_counts;

int WSAAPI CountingSend(SOCKET socket, const char* data, int length, int flags)
{
    const int result = g_realSend(socket, data, length, flags);
    ++g_counts.calls;
    if (result > 0)
        g_counts.bytes += static_cast<unsigned>(result);
    return result;
}

template <typename T>
T* At(HMODULE module, DWORD rva)
{
    return reinterpret_cast<T*>(reinterpret_cast<BYTE*>(module) + rva);
}

// The import address slot through which the module calls function of library, found by name in
// the module's import descriptors; null when the module does not import it by name.
ULONG_PTR* ImportSlot(HMODULE module, const char* library, const char* function)
{
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
    const auto* nt = At<IMAGE_NT_HEADERS>(module, static_cast<DWORD>(dos->e_lfanew));
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0)
        return nullptr;
    for (auto* descriptor = At<IMAGE_IMPORT_DESCRIPTOR>(module, imports.VirtualAddress); descriptor->Name != 0;
         ++descriptor) {
        if (lstrcmpiA(At<char>(module, descriptor->Name), library) != 0 || descriptor->OriginalFirstThunk == 0)
            continue;
        const auto* names = At<IMAGE_THUNK_DATA>(module, descriptor->OriginalFirstThunk);
        auto* slots = At<IMAGE_THUNK_DATA>(module, descriptor->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const auto* byName = At<IMAGE_IMPORT_BY_NAME>(module, static_cast<DWORD>(names->u1.AddressOfData));
            if (lstrcmpA(reinterpret_cast<const char*>(byName->Name), function) == 0)
                return reinterpret_cast<ULONG_PTR*>(&slots->u1.Function);
        }
    }
    return nullptr;
}

} // namespace

bool CountSendsOf(HMODULE module)
{
    if (module == nullptr || g_realSend != nullptr)
        return false;
    ULONG_PTR* slot = ImportSlot(module, "WS2_32.dll", "send");
    DWORD protection = 0;
    if (slot == nullptr || !VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection))
        return false;
    g_realSend = reinterpret_cast<SendFn>(*slot);
    *slot = reinterpret_cast<ULONG_PTR>(&CountingSend);
    VirtualProtect(slot, sizeof *slot, protection, &protection);
    return true;
}

SendCounts SendCountsSoFar()
{
    return g_counts;
}
