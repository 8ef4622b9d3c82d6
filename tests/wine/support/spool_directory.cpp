#include "tests/wine/support/spool_directory.h"

#include "tests/wine/support/programs.h"
#include "tests/wine/support/registry_scope.h"

#include "monitor/core/port_settings.h"

std::wstring SpoolDirectory()
{
    RegValue value;
    if (!ReadRegValue(kVersionKeyName, L"TempDir", &value) || value.type != REG_SZ)
        return L"";
    std::wstring text(reinterpret_cast<const wchar_t*>(value.data.data()), value.data.size() / sizeof(wchar_t));
    return text.substr(0, text.find(L'\0'));
}

std::vector<std::wstring> SpoolFiles(const std::wstring& pattern)
{
    return FilesIn(SpoolDirectory(), pattern);
}

void ClearSpoolDirectory()
{
    const std::wstring directory = SpoolDirectory();
    for (const std::wstring& name : SpoolFiles())
        DeleteFileW((directory + L"\\" + name).c_str());
}

::testing::AssertionResult NoJobFilesLeft()
{
    std::wstring left;
    for (const wchar_t* pattern : {L"*.prn", L"*.tmp", L"*.m"}) {
        for (const std::wstring& name : SpoolFiles(pattern))
            left += L" " + name;
    }
    if (left.empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "left in the spool directory:" << Utf8(left);
}
