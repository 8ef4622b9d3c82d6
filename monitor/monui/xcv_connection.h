#pragma once
#include <windows.h>
#include <winspool.h>

#include "common/scoped.h"
#include "monitor/core/port_settings.h"
#include "monitor/ui/dialogs.h"

using ScopedPrinter = Scoped<HANDLE, ClosePrinter>;

// An Xcv handle of the spooler on the monitor (",XcvMonitor <monitor name>") or on one port
// (",XcvPort <port>"), opened for administration; server is null for this computer.
class XcvConnection {
public:
    enum class Object { Monitor, Port };
    XcvConnection(const WCHAR* server, Object object, const WCHAR* name);
    explicit operator bool() const { return printer_.IsValid(); }

    // One command: its status, or the spooler's error when the call itself failed.
    DWORD Command(const WCHAR* command, const void* input, DWORD inputSize, void* output, DWORD outputSize);
    DWORD CommandOnPort(const WCHAR* command, const WCHAR* port);
    DWORD LoadSettings(const WCHAR* port, PortSettings* settings);
    DWORD StoreSettings(const PortSettings& settings);

private:
    ScopedPrinter printer_;
};

// The configuration dialog's store: the monitor, through the connection. A failed store is told
// to the user and keeps the dialog open.
class XcvSettingsStore : public PortSettingsStore {
public:
    explicit XcvSettingsStore(XcvConnection& connection) : connection_(connection) {}
    void Load(PortSettings* settings) override;
    bool Store(const PortSettings& settings) override;

protected:
    XcvConnection& connection_;
};
