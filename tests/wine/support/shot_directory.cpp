#include "tests/wine/support/shot_directory.h"
#include "common/scoped.h"

namespace {
constexpr DWORD kShotTimeoutMs = 120000;
constexpr DWORD kPollMs = 100;
} // namespace

ShotDirectory::ShotDirectory()
{
    wchar_t path[MAX_PATH] = {};
    GetEnvironmentVariableW(L"NMX_SCREENSHOT_DIR", path, MAX_PATH);
    path_ = path;
}

bool ShotDirectory::Photograph(const std::wstring& name) const
{
    if (!ScopedFile(CreateFileW((path_ + L"\\" + name + L".ready").c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)))
        return false;
    const std::wstring done = path_ + L"\\" + name + L".done";
    for (DWORD waited = 0; waited < kShotTimeoutMs; waited += kPollMs) {
        if (GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES)
            return true;
        Sleep(kPollMs);
    }
    return false;
}
