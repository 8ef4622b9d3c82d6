#pragma once
#include <windows.h>

// The function table InitializePrintMonitor returns: a size of 56 bytes followed by fourteen entry
// points, the layout of the spooler's classic extended monitor structure (without the Xcv slots
// that newer headers append). The print host reads the table through this same definition.
struct MonitorFunctions {
    BOOL(WINAPI* EnumPorts)(LPWSTR name, DWORD level, LPBYTE ports, DWORD bufferSize,
                            LPDWORD bytesNeeded, LPDWORD countReturned);
    BOOL(WINAPI* OpenPort)(LPWSTR name, PHANDLE port);
    BOOL(WINAPI* OpenPortEx)(LPWSTR portName, LPWSTR printerName, PHANDLE port, void* monitor);
    BOOL(WINAPI* StartDocPort)(HANDLE port, LPWSTR printerName, DWORD jobId, DWORD level,
                               LPBYTE docInfo);
    BOOL(WINAPI* WritePort)(HANDLE port, LPBYTE buffer, DWORD size, LPDWORD written);
    BOOL(WINAPI* ReadPort)(HANDLE port, LPBYTE buffer, DWORD size, LPDWORD read);
    BOOL(WINAPI* EndDocPort)(HANDLE port);
    BOOL(WINAPI* ClosePort)(HANDLE port);
    BOOL(WINAPI* AddPort)(LPWSTR name, HWND window, LPWSTR monitorName);
    BOOL(WINAPI* AddPortEx)(LPWSTR name, DWORD level, LPBYTE buffer, LPWSTR monitorName);
    BOOL(WINAPI* ConfigurePort)(LPWSTR name, HWND window, LPWSTR portName);
    BOOL(WINAPI* DeletePort)(LPWSTR name, HWND window, LPWSTR portName);
    BOOL(WINAPI* GetPrinterDataFromPort)(HANDLE port, DWORD controlId, LPWSTR valueName,
                                         LPWSTR inBuffer, DWORD inSize, LPWSTR outBuffer,
                                         DWORD outSize, LPDWORD returned);
    BOOL(WINAPI* SetPortTimeOuts)(HANDLE port, LPCOMMTIMEOUTS timeouts, DWORD reserved);
};

struct MonitorTable {
    DWORD size; // sizeof(MonitorFunctions): 56
    MonitorFunctions functions;
};

static_assert(sizeof(MonitorFunctions) == 56, "fourteen 32-bit entry points");

using InitializePrintMonitorFn = MonitorTable*(WINAPI*)(LPWSTR registryRoot);

// The table InitializePrintMonitor2 returns: the spooler's MONITOR2 of Windows 2000 (the handle-
// taking entry points, the Xcv slots and Shutdown). Its size field is the size of this layout,
// 76 bytes for 32-bit code and 152 for 64-bit.
struct Monitor2Table {
    DWORD size;
    BOOL(WINAPI* EnumPorts)(HANDLE monitor, LPWSTR name, DWORD level, LPBYTE ports, DWORD bufferSize,
                            LPDWORD bytesNeeded, LPDWORD countReturned);
    BOOL(WINAPI* OpenPort)(HANDLE monitor, LPWSTR name, PHANDLE port);
    BOOL(WINAPI* OpenPortEx)(HANDLE monitor, HANDLE monitorPort, LPWSTR portName, LPWSTR printerName,
                             PHANDLE port, void* monitor2);
    BOOL(WINAPI* StartDocPort)(HANDLE port, LPWSTR printerName, DWORD jobId, DWORD level, LPBYTE docInfo);
    BOOL(WINAPI* WritePort)(HANDLE port, LPBYTE buffer, DWORD size, LPDWORD written);
    BOOL(WINAPI* ReadPort)(HANDLE port, LPBYTE buffer, DWORD size, LPDWORD read);
    BOOL(WINAPI* EndDocPort)(HANDLE port);
    BOOL(WINAPI* ClosePort)(HANDLE port);
    BOOL(WINAPI* AddPort)(HANDLE monitor, LPWSTR name, HWND window, LPWSTR monitorName);
    BOOL(WINAPI* AddPortEx)(HANDLE monitor, LPWSTR name, DWORD level, LPBYTE buffer, LPWSTR monitorName);
    BOOL(WINAPI* ConfigurePort)(HANDLE monitor, LPWSTR name, HWND window, LPWSTR portName);
    BOOL(WINAPI* DeletePort)(HANDLE monitor, LPWSTR name, HWND window, LPWSTR portName);
    BOOL(WINAPI* GetPrinterDataFromPort)(HANDLE port, DWORD controlId, LPWSTR valueName, LPWSTR inBuffer,
                                         DWORD inSize, LPWSTR outBuffer, DWORD outSize, LPDWORD returned);
    BOOL(WINAPI* SetPortTimeOuts)(HANDLE port, LPCOMMTIMEOUTS timeouts, DWORD reserved);
    BOOL(WINAPI* XcvOpenPort)(HANDLE monitor, LPCWSTR object, ACCESS_MASK grantedAccess, PHANDLE xcv);
    DWORD(WINAPI* XcvDataPort)(HANDLE xcv, LPCWSTR dataName, PBYTE input, DWORD inputSize, PBYTE output,
                               DWORD outputSize, PDWORD outputNeeded);
    BOOL(WINAPI* XcvClosePort)(HANDLE xcv);
    VOID(WINAPI* Shutdown)(HANDLE monitor);
};

static_assert(sizeof(Monitor2Table) == (1 + 18) * sizeof(void*), "a size field and eighteen entry points");

using InitializePrintMonitor2Fn = Monitor2Table*(WINAPI*)(void* monitorInit, PHANDLE monitor);
