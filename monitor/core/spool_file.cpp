#include "monitor/core/spool_file.h"
#include "monitor/core/port_settings.h"
#include "monitor/core/spool_name.h"

namespace {
static_assert(ARRAYSIZE(PortSettings::SpoolFile) == kSpoolPathChars, "the settings hold a spool path");

SpoolTime LocalSpoolTime()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
}
} // namespace

void CreateSpoolFile(HANDLE* file, WCHAR* path, const WCHAR* extension)
{
    WCHAR spoolDir[kDirectoryChars];
    ReadSpoolDirectory(spoolDir);
    *file = INVALID_HANDLE_VALUE;
    CreateSpoolNamedFile(path, kSpoolPathChars, spoolDir, extension, LocalSpoolTime, [file](const WCHAR* name) {
        *file = CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (*file == INVALID_HANDLE_VALUE)
            return false;
        SetEndOfFile(*file);
        return true;
    });
}
