#include "printhost/wine_spooler_calls.h"

#include "common/scoped.h"

#include <winspool.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {
constexpr wchar_t kDriver[] = L"Wine PostScript Driver";
constexpr wchar_t kPpdName[] = L"velloprint-generic.ppd";

// Wine's generic PPD, which its winspool.drv carries as text: read from the loaded image.
std::string WineGenericPpd()
{
    auto* base = reinterpret_cast<const char*>(GetModuleHandleW(L"winspool.drv"));
    if (base == nullptr)
        return "";
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const std::string image(base, nt->OptionalHeader.SizeOfImage);
    const size_t start = image.find("*PPD-Adobe");
    return start == std::string::npos ? "" : image.substr(start, image.find('\0', start) - start);
}

bool WriteFileText(const std::wstring& path, const std::string& text)
{
    const ScopedFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

// The driver's files: the PPD in the driver directory and in its version folder "3", where
// CreateDC looks for it.
bool InstallDriver()
{
    const std::string ppd = WineGenericPpd();
    wchar_t directory[MAX_PATH];
    DWORD needed = 0;
    if (ppd.empty() || !GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<LPBYTE>(directory),
                                                   sizeof(directory), &needed))
        return false;
    const std::wstring dir(directory);
    CreateDirectoryW((dir + L"\\3").c_str(), nullptr);
    if (!WriteFileText(dir + L"\\" + kPpdName, ppd) || !WriteFileText(dir + L"\\3\\" + kPpdName, ppd))
        return false;
    DRIVER_INFO_3W info = {};
    info.cVersion = 3;
    info.pName = const_cast<wchar_t*>(kDriver);
    info.pDriverPath = const_cast<wchar_t*>(L"wineps.drv");
    info.pDataFile = const_cast<wchar_t*>(kPpdName);
    info.pConfigFile = const_cast<wchar_t*>(L"wineps.drv");
    return AddPrinterDriverExW(nullptr, 3, reinterpret_cast<LPBYTE>(&info), APD_COPY_ALL_FILES) != FALSE;
}

} // namespace

int AddPostScriptPrinter(const wchar_t* name, const wchar_t* port)
{
    if (!InstallDriver()) {
        std::fwprintf(stderr, L"the PostScript driver could not be installed: %lu\n", GetLastError());
        return 1;
    }
    HANDLE old = nullptr;
    PRINTER_DEFAULTSW all = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (OpenPrinterW(const_cast<wchar_t*>(name), &old, &all)) {
        DeletePrinter(old);
        ClosePrinter(old);
    }
    PRINTER_INFO_2W info = {};
    info.pPrinterName = const_cast<wchar_t*>(name);
    info.pPortName = const_cast<wchar_t*>(port);
    info.pDriverName = const_cast<wchar_t*>(kDriver);
    info.pPrintProcessor = const_cast<wchar_t*>(L"WinPrint");
    info.pDatatype = const_cast<wchar_t*>(L"RAW");
    HANDLE printer = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    if (printer == nullptr) {
        std::fwprintf(stderr, L"AddPrinterW failed: %lu\n", GetLastError());
        return 1;
    }
    ClosePrinter(printer);
    return 0;
}

int PrintGdiLetter(const wchar_t* printer, const wchar_t* text)
{
    HDC dc = CreateDCW(L"WINSPOOL", printer, nullptr, nullptr);
    if (dc == nullptr) {
        std::fwprintf(stderr, L"CreateDC failed: %lu\n", GetLastError());
        return 1;
    }
    DOCINFOW doc = {sizeof(doc), L"Velloprint letter", nullptr, nullptr, 0};
    const int job = StartDocW(dc, &doc);
    bool ok = job > 0 && StartPage(dc) > 0;
    ok = ok && TextOutW(dc, 300, 300, text, static_cast<int>(wcslen(text)));
    ok = ok && EndPage(dc) > 0;
    const int ended = ok ? EndDoc(dc) : AbortDoc(dc);
    DeleteDC(dc);
    if (!ok || ended <= 0) {
        std::fwprintf(stderr, L"the job failed: %lu\n", GetLastError());
        return 1;
    }
    std::wprintf(L"job %d printed\n", job);
    return 0;
}

// AddPortExW is not declared by MinGW's headers; Wine's winspool.drv exports it.
int AddPortExThroughSpooler(const wchar_t* port, const wchar_t* monitor)
{
    using AddPortExFn = BOOL(WINAPI*)(LPWSTR, DWORD, LPBYTE, LPWSTR);
    auto addPortEx = reinterpret_cast<AddPortExFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"winspool.drv"), "AddPortExW")));
    PORT_INFO_1W info = {const_cast<wchar_t*>(port)};
    if (addPortEx == nullptr || !addPortEx(nullptr, 1, reinterpret_cast<LPBYTE>(&info), const_cast<wchar_t*>(monitor))) {
        std::fwprintf(stderr, L"AddPortExW failed: %lu\n", GetLastError());
        return 1;
    }
    return 0;
}

int ReportCall(BOOL ok, const wchar_t* call)
{
    if (!ok)
        std::fwprintf(stderr, L"%ls failed: %lu\n", call, GetLastError());
    return ok ? 0 : 1;
}

std::vector<std::wstring> SpoolerPortNames()
{
    DWORD needed = 0, count = 0;
    EnumPortsW(nullptr, 1, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed);
    std::vector<std::wstring> names;
    if (needed == 0 || !EnumPortsW(nullptr, 1, buffer.data(), needed, &needed, &count))
        return names;
    const auto* ports = reinterpret_cast<const PORT_INFO_1W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i)
        names.emplace_back(ports[i].pName);
    return names;
}
