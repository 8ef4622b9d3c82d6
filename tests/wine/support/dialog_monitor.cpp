#include "tests/wine/support/dialog_monitor.h"
#include "tests/wine/support/programs.h"

#include <wincrypt.h>

#include "printhost/spooler_standin_control.h"
#include "tests/wine/support/registry_scope.h"

std::wstring ResourceString(UINT id)
{
    return LibraryString(L"NmxRC.dll", id);
}

std::wstring FormattedResourceString(UINT id, const std::wstring& argument)
{
    wchar_t text[1025] = {}; // wsprintfW's largest output
    wsprintfW(text, ResourceString(id).c_str(), argument.c_str());
    return text;
}

std::wstring RegText(const std::wstring& key, const std::wstring& name)
{
    RegValue value;
    if (!ReadRegValue(key, name, &value) || value.type != REG_SZ)
        return L"<missing>";
    std::wstring text(reinterpret_cast<const wchar_t*>(value.data.data()), value.data.size() / sizeof(wchar_t));
    if (!text.empty() && text.back() == L'\0')
        text.pop_back();
    return text;
}

std::wstring RegProtectedText(const std::wstring& key, const std::wstring& name)
{
    RegValue value;
    if (!ReadRegValue(key, name, &value) || value.type != REG_BINARY)
        return L"<missing>";
    DATA_BLOB sealed{static_cast<DWORD>(value.data.size()), value.data.data()};
    DATA_BLOB entropy{23, reinterpret_cast<BYTE*>(const_cast<char*>("Velloprint SMTPPassword"))};
    DATA_BLOB plain{};
    if (!CryptUnprotectData(&sealed, nullptr, &entropy, nullptr, nullptr, 0, &plain))
        return L"<unreadable>";
    const std::wstring text(reinterpret_cast<wchar_t*>(plain.pbData), plain.cbData / sizeof(wchar_t));
    LocalFree(plain.pbData);
    return text;
}

DWORD RegNumber(const std::wstring& key, const std::wstring& name)
{
    RegValue value;
    if (!ReadRegValue(key, name, &value) || value.type != REG_DWORD || value.data.size() != sizeof(DWORD))
        return 0xDEADBEEF;
    return *reinterpret_cast<const DWORD*>(value.data.data());
}

Display347CheckFn FindDisplay347Check(HMODULE monitor)
{
    // Through void*: a FARPROC does not convert to another function type without a warning.
    return reinterpret_cast<Display347CheckFn>(
        reinterpret_cast<void*>(GetProcAddress(monitor, "Display347Check")));
}

PrintOutcome PrintDeletedJob(const MonitorFunctions& monitor, const std::wstring& port)
{
    PrintRequest request;
    request.port = port;
    request.document = L"Job start";
    request.read = [](BYTE*, DWORD) { return 0L; };
    request.started = [](DWORD jobId) { spooler::SetJobStatusBits(jobId, JOB_STATUS_DELETING); };
    return PrintJob(monitor, request);
}
