#include "monitor/monui/xcv_connection.h"

#include "monitor/core/messages.h"
#include "monitor/core/monitor_state.h"
#include "monitor/core/resource_ids.h"
#include "monitor/core/xcv_settings.h"
#include "monitor/core/xcv_settings_copy.h"

#include <memory>
#include <new>

namespace {
constexpr WCHAR kXcvMonitor[] = L"XcvMonitor";
constexpr WCHAR kXcvPort[] = L"XcvPort";

DWORD TextBytes(const WCHAR* text)
{
    return static_cast<DWORD>((lstrlenW(text) + 1) * sizeof(WCHAR));
}

// The monitor never gives the stored password out, only that one is stored.
void TakePasswordState(const XcvSettings& block, PortSettings* settings)
{
    SecureZeroMemory(settings->SMTPPassword, sizeof(settings->SMTPPassword));
    settings->SMTPPasswordBytes = 0;
    settings->SMTPPasswordHeldByMonitor = (block.flags & kXcvPasswordStored) != 0;
}

// A password typed in the dialog goes as the protected bytes it became; a field left alone keeps
// the monitor's password, and an emptied one removes it.
void PutPasswordChange(const PortSettings& settings, XcvSettings* block)
{
    static_assert(sizeof(settings.SMTPPassword) <= sizeof(block->password), "protected bytes fit the block");
    if (settings.SMTPPasswordBytes != 0) {
        block->passwordAction = PasswordAction::Replace;
        block->passwordBytes = settings.SMTPPasswordBytes;
        CopyMemory(block->password, settings.SMTPPassword, settings.SMTPPasswordBytes);
    } else {
        block->passwordAction = settings.SMTPPasswordHeldByMonitor ? PasswordAction::Keep : PasswordAction::Remove;
    }
}
} // namespace

XcvConnection::XcvConnection(const WCHAR* server, Object object, const WCHAR* name)
{
    // "\\server\,XcvMonitor Name", with the server named as the spooler passes it ("\\server"),
    // or ",XcvMonitor Name" on this computer. A name too long opens nothing: never this
    // computer's monitor in place of another's.
    const bool remote = server != nullptr && server[0] != L'\0';
    if ((remote && lstrlenW(server) >= MAX_PATH) || lstrlenW(name) > 127) {
        SetLastError(ERROR_INVALID_NAME);
        return;
    }
    WCHAR printerName[MAX_PATH + 160];
    wsprintfW(printerName, L"%s%s,%s %s", remote ? server : L"", remote ? L"\\" : L"",
              object == Object::Monitor ? kXcvMonitor : kXcvPort, name);
    PRINTER_DEFAULTSW access = {nullptr, nullptr, SERVER_ACCESS_ADMINISTER};
    OpenPrinterW(printerName, printer_.Out(), &access);
}

DWORD XcvConnection::Command(const WCHAR* command, const void* input, DWORD inputSize, void* output, DWORD outputSize)
{
    DWORD needed = 0;
    DWORD status = ERROR_SUCCESS;
    if (!XcvDataW(printer_.Get(), command, static_cast<PBYTE>(const_cast<void*>(input)), inputSize,
                  static_cast<PBYTE>(output), outputSize, &needed, &status))
        return GetLastError();
    return status;
}

DWORD XcvConnection::CommandOnPort(const WCHAR* command, const WCHAR* port)
{
    return Command(command, port, TextBytes(port), nullptr, 0);
}

DWORD XcvConnection::LoadSettings(const WCHAR* port, PortSettings* settings)
{
    std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[kXcvSettingsBytes]);
    std::unique_ptr<XcvSettings> read(new (std::nothrow) XcvSettings);
    if (!block || !read)
        return ERROR_NOT_ENOUGH_MEMORY;
    const DWORD status = Command(L"GetPortSettings", port, TextBytes(port), block.get(), kXcvSettingsBytes);
    if (status != ERROR_SUCCESS)
        return status;
    if (ReadXcvSettings(block.get(), kXcvSettingsBytes, read.get()) != XcvReadError::None)
        return ERROR_INVALID_DATA;
    CopySettings(*read, settings);
    TakePasswordState(*read, settings);
    return ERROR_SUCCESS;
}

DWORD XcvConnection::StoreSettings(const PortSettings& settings)
{
    std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[kXcvSettingsBytes]);
    std::unique_ptr<XcvSettings> written(new (std::nothrow) XcvSettings);
    if (!block || !written)
        return ERROR_NOT_ENOUGH_MEMORY;
    CopySettings(settings, written.get());
    PutPasswordChange(settings, written.get());
    WriteXcvSettings(*written, block.get());
    return Command(L"SetPortSettings", block.get(), kXcvSettingsBytes, nullptr, 0);
}

void XcvSettingsStore::Load(PortSettings* settings)
{
    connection_.LoadSettings(settings->PortName, settings);
}

bool XcvSettingsStore::Store(const PortSettings& settings)
{
    if (connection_.StoreSettings(settings) == ERROR_SUCCESS)
        return true;
    ShowMonitorMessage(IDS_SETTINGS_NOT_SAVED, kStyleError);
    return false;
}
