// spoolss.dll of the print host: the router functions a port monitor uses. The host has no other
// monitors, so EnumPortsW reports no ports; the security-context switch has no client to switch
// from, so it hands out a token of the process and takes it back.
#include <windows.h>

extern "C" {

BOOL WINAPI EnumPortsW(LPWSTR /*serverName*/, DWORD level, LPBYTE /*ports*/, DWORD /*bufferSize*/,
                       LPDWORD bytesNeeded, LPDWORD countReturned)
{
    if (bytesNeeded == nullptr || countReturned == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (level != 1 && level != 2) {
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    *bytesNeeded = 0;
    *countReturned = 0;
    return TRUE;
}

// The token that ImpersonatePrinterClient takes back; null when none could be opened.
HANDLE WINAPI RevertToPrinterSelf()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY | TOKEN_IMPERSONATE | TOKEN_DUPLICATE, &token))
        return nullptr;
    return token;
}

BOOL WINAPI ImpersonatePrinterClient(HANDLE token)
{
    if (token == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return CloseHandle(token);
}

} // extern "C"
