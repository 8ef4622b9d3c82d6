#include "monitor/ui/address_book_exchange.h"
#include "monitor/ui/address_list.h"

#include <cwchar>

namespace {
constexpr wchar_t kHandOverFileName[] = L"PreDef.ADR";
constexpr wchar_t kAddressBookProgram[] = L"pelmora.exe";

// "%s\%s" of a directory and a file name.
bool JoinPath(const wchar_t* directory, const wchar_t* name, wchar_t* out, std::size_t capacity)
{
    const std::size_t directoryLength = std::wcslen(directory);
    if (directoryLength + 1 + std::wcslen(name) >= capacity) {
        if (capacity > 0)
            out[0] = L'\0';
        return false;
    }
    std::wmemcpy(out, directory, directoryLength);
    out[directoryLength] = L'\\';
    std::wcscpy(out + directoryLength + 1, name);
    return true;
}

// Only the Latin letters are folded: a path that differs in another letter's case is refused,
// never wrongly accepted. The address book forms its path from the same registry value anyway.
wchar_t FoldCase(wchar_t c)
{
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

bool EqualIgnoringCase(const wchar_t* a, const wchar_t* b)
{
    for (; *a != L'\0' && FoldCase(*a) == FoldCase(*b); ++a, ++b) {
    }
    return FoldCase(*a) == FoldCase(*b);
}

bool IsFullPath(const wchar_t* path)
{
    const bool driveLetter = FoldCase(path[0]) >= L'A' && FoldCase(path[0]) <= L'Z';
    return (driveLetter && path[1] == L':' && path[2] == L'\\') || (path[0] == L'\\' && path[1] == L'\\');
}
} // namespace

bool FormatHandOverPath(const wchar_t* spoolDirectory, wchar_t* out, std::size_t capacity)
{
    return JoinPath(spoolDirectory, kHandOverFileName, out, capacity);
}

bool IsHandOverFile(const wchar_t* path, const wchar_t* spoolDirectory)
{
    wchar_t expected[kHandOverPathChars];
    return FormatHandOverPath(spoolDirectory, expected, kHandOverPathChars) && EqualIgnoringCase(path, expected);
}

bool FormatAddressBookPath(const wchar_t* installDirectory, wchar_t* out, std::size_t capacity)
{
    if (!IsFullPath(installDirectory)) {
        if (capacity > 0)
            out[0] = L'\0';
        return false;
    }
    return JoinPath(installDirectory, kAddressBookProgram, out, capacity);
}

bool PlanHandOverRead(uint32_t announcedBytes, uint64_t fileSize, HandOverRead* plan)
{
    const uint64_t bytes = fileSize < announcedBytes ? fileSize : announcedBytes;
    const uint64_t wideChars = bytes + 10;
    if (2 * wideChars > UINT32_MAX)
        return false;
    plan->bytes = static_cast<uint32_t>(bytes);
    plan->wideChars = static_cast<uint32_t>(wideChars);
    return true;
}

void CutToDestinationField(wchar_t* text)
{
    if (std::wcslen(text) <= static_cast<std::size_t>(kServAddrEditChars))
        return;
    text[kServAddrEditChars - 1] = L';';
    text[kServAddrEditChars] = L'\0';
}
