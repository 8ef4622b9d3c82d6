#include "monitor/core/spool_name.h"

#include <cwchar>
#include <string>

namespace {
// A year has 4 or 5 digits, each other number 1 to 3: 10 to 18 digits in all.
constexpr size_t kMinTimeDigits = 10;
constexpr size_t kMaxTimeDigits = 18;
constexpr size_t kMaxClashDigits = 2; // fewer than kSpoolNameAttempts clashes

bool SameTick(const SpoolTime& a, const SpoolTime& b)
{
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour && a.minute == b.minute &&
           a.second == b.second && a.millisecond == b.millisecond;
}

wchar_t Lower(wchar_t c)
{
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

// Skips the decimal digits at text and returns how many there were.
size_t SkipDigits(const wchar_t*& text)
{
    size_t count = 0;
    for (; *text >= L'0' && *text <= L'9'; ++text)
        ++count;
    return count;
}

// Whether text starts with the lower-case word, in any case; moves text past it.
bool SkipWord(const wchar_t*& text, const wchar_t* word)
{
    const wchar_t* p = text;
    for (; *word != L'\0'; ++p, ++word) {
        if (Lower(*p) != *word)
            return false;
    }
    text = p;
    return true;
}
} // namespace

bool FormatSpoolPath(wchar_t* path, size_t capacity, const wchar_t* directory, const SpoolTime& time,
                     const wchar_t* extension, int clashes)
{
    std::wstring text = directory;
    text += L'\\';
    for (unsigned number : {time.year, time.month, time.day, time.hour, time.minute, time.second, time.millisecond})
        text += std::to_wstring(number);
    if (clashes > 0)
        text += L'-' + std::to_wstring(clashes);
    text += L'.';
    text += extension;
    const bool fits = text.size() < capacity;
    if (capacity > 0) {
        const size_t length = fits ? text.size() : capacity - 1;
        text.copy(path, length);
        path[length] = L'\0';
    }
    return fits;
}

bool CreateSpoolNamedFile(wchar_t* path, size_t capacity, const wchar_t* directory, const wchar_t* extension,
                          const std::function<SpoolTime()>& now, const std::function<bool(const wchar_t* path)>& create)
{
    SpoolTime previous{};
    int clashes = 0;
    for (int attempt = 0; attempt < kSpoolNameAttempts; ++attempt) {
        const SpoolTime time = now();
        clashes = attempt > 0 && SameTick(time, previous) ? clashes + 1 : 0;
        previous = time;
        if (FormatSpoolPath(path, capacity, directory, time, extension, clashes) && create(path))
            return true;
    }
    return false;
}

bool IsMonitorJobFileName(const wchar_t* name)
{
    const wchar_t* p = name;
    const size_t timeDigits = SkipDigits(p);
    if (timeDigits < kMinTimeDigits || timeDigits > kMaxTimeDigits)
        return false;
    if (*p == L'-') {
        ++p;
        const size_t clashDigits = SkipDigits(p);
        if (clashDigits == 0 || clashDigits > kMaxClashDigits)
            return false;
    }
    if (!SkipWord(p, L".prn") && !SkipWord(p, L".tmp"))
        return false;
    SkipWord(p, L".m");
    return *p == L'\0';
}
