#include "monitor/core/spool_file.h"
#include "monitor/core/port_settings.h"

namespace {
constexpr int kCreateAttempts = 100;

void FormatSpoolFileName(WCHAR* path, const WCHAR* spoolDir, const WCHAR* extension)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    wsprintfW(path, L"%s\\%d%d%d%d%d%d%d.%s", spoolDir, now.wYear, now.wMonth, now.wDay, now.wHour,
              now.wMinute, now.wSecond, now.wMilliseconds, extension);
}
} // namespace

void CreateSpoolFile(HANDLE* file, WCHAR* path, const WCHAR* extension)
{
    WCHAR spoolDir[kDirectoryChars];
    ReadSpoolDirectory(spoolDir);
    *file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        FormatSpoolFileName(path, spoolDir, extension);
        HANDLE created = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (created != INVALID_HANDLE_VALUE) {
            SetEndOfFile(created);
            *file = created;
            return;
        }
    }
}
