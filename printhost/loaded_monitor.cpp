#include "printhost/loaded_monitor.h"

#include <memory>

namespace {

// The monitor ignores its registry argument; this is the key the spooler would pass.
wchar_t kMonitorsKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors";

std::wstring TextOrEmpty(const WCHAR* text)
{
    return text != nullptr ? text : L"";
}

ReportedPort ToReportedPort(DWORD level, const BYTE* structure)
{
    ReportedPort port;
    if (level == 1) {
        port.name = TextOrEmpty(reinterpret_cast<const PORT_INFO_1W*>(structure)->pName);
        return port;
    }
    const auto* info = reinterpret_cast<const PORT_INFO_2W*>(structure);
    port.name = TextOrEmpty(info->pPortName);
    port.monitor = TextOrEmpty(info->pMonitorName);
    port.description = TextOrEmpty(info->pDescription);
    port.type = info->fPortType;
    return port;
}

} // namespace

LoadedMonitor::LoadedMonitor()
{
    module_.Reset(LoadLibraryW(L"NMX_MON.dll"));
    if (!module_) {
        error_ = GetLastError();
        return;
    }
    auto initialize = reinterpret_cast<InitializePrintMonitorFn>(
        reinterpret_cast<void*>(GetProcAddress(module_.Get(), "InitializePrintMonitor")));
    if (initialize == nullptr) {
        error_ = GetLastError();
        return;
    }
    table_ = initialize(kMonitorsKey);
    if (table_ == nullptr)
        error_ = GetLastError();
}

LoadedMonitor2::LoadedMonitor2() : module_(LoadLibraryW(L"NMX_MON.dll"))
{
    auto initialize = reinterpret_cast<InitializePrintMonitor2Fn>(
        reinterpret_cast<void*>(GetProcAddress(module_.Get(), "InitializePrintMonitor2")));
    if (initialize != nullptr)
        table_ = initialize(nullptr, &handle_);
}

// The library is freed after the shutdown, with the owner.
LoadedMonitor2::~LoadedMonitor2()
{
    if (table_ != nullptr)
        table_->Shutdown(handle_);
}

DWORD LoadedMonitor2::Xcv(const wchar_t* object, ACCESS_MASK access, const wchar_t* command,
                          const std::vector<BYTE>& input, std::vector<BYTE>* output, DWORD* needed) const
{
    HANDLE xcv = nullptr;
    if (!table_->XcvOpenPort(handle_, object, access, &xcv))
        return GetLastError();
    std::vector<BYTE> in = input; // the entry point takes it writable
    DWORD bytes = 0;
    const DWORD result = table_->XcvDataPort(xcv, command, in.empty() ? nullptr : in.data(), static_cast<DWORD>(in.size()),
                                             output ? output->data() : nullptr,
                                             output ? static_cast<DWORD>(output->size()) : 0, &bytes);
    if (needed != nullptr)
        *needed = bytes;
    table_->XcvClosePort(xcv);
    return result;
}

bool EnumMonitorPorts(const MonitorFunctions& monitor, DWORD level, std::vector<ReportedPort>* ports,
                      DWORD* error)
{
    ports->clear();
    DWORD needed = 0;
    DWORD count = 0;
    if (monitor.EnumPorts(nullptr, level, nullptr, 0, &needed, &count)) {
        *error = 0;
        return true; // nothing to report
    }
    *error = GetLastError();
    if (*error != ERROR_INSUFFICIENT_BUFFER)
        return false;
    std::unique_ptr<BYTE[]> buffer(new BYTE[needed]);
    if (!monitor.EnumPorts(nullptr, level, buffer.get(), needed, &needed, &count)) {
        *error = GetLastError();
        return false;
    }
    *error = 0;
    const size_t stride = level == 1 ? sizeof(PORT_INFO_1W) : sizeof(PORT_INFO_2W);
    for (DWORD i = 0; i < count; ++i)
        ports->push_back(ToReportedPort(level, buffer.get() + i * stride));
    return true;
}
