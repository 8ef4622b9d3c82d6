#pragma once
#include <windows.h>

// The monitor's entry points, called by the spooler through the function table.
BOOL WINAPI NmxEnumPorts(LPWSTR serverName, DWORD level, LPBYTE ports, DWORD bufferSize,
                         LPDWORD bytesNeeded, LPDWORD countReturned);
BOOL WINAPI NmxOpenPort(LPWSTR name, PHANDLE port);
BOOL WINAPI NmxStartDocPort(HANDLE port, LPWSTR printerName, DWORD jobId, DWORD level, LPBYTE docInfo);
BOOL WINAPI NmxWritePort(HANDLE port, LPBYTE buffer, DWORD size, LPDWORD written);
BOOL WINAPI NmxReadPort(HANDLE port, LPBYTE buffer, DWORD size, LPDWORD read);
BOOL WINAPI NmxEndDocPort(HANDLE port);
BOOL WINAPI NmxClosePort(HANDLE port);
BOOL WINAPI NmxAddPort(LPWSTR serverName, HWND window, LPWSTR monitorName);
BOOL WINAPI NmxAddPortEx(LPWSTR serverName, DWORD level, LPBYTE buffer, LPWSTR monitorName);
BOOL WINAPI NmxConfigurePort(LPWSTR serverName, HWND window, LPWSTR portName);
BOOL WINAPI NmxDeletePort(LPWSTR serverName, HWND window, LPWSTR portName);
BOOL WINAPI NmxGetPrinterDataFromPort(HANDLE port, DWORD controlId, LPWSTR valueName, LPWSTR inBuffer,
                                      DWORD inSize, LPWSTR outBuffer, DWORD outSize, LPDWORD returned);
BOOL WINAPI NmxSetPortTimeOuts(HANDLE port, LPCOMMTIMEOUTS timeouts, DWORD reserved);

// The Xcv entry points of the modern interface (xcv.cpp). XcvOpenPort's object is empty or the
// monitor name for the monitor itself, else a port name.
BOOL WINAPI NmxXcvOpenPort(LPCWSTR object, ACCESS_MASK grantedAccess, PHANDLE xcv);
DWORD WINAPI NmxXcvDataPort(HANDLE xcv, LPCWSTR dataName, PBYTE input, DWORD inputSize, PBYTE output,
                            DWORD outputSize, PDWORD outputNeeded);
BOOL WINAPI NmxXcvClosePort(HANDLE xcv);
