#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>

// Names of the files the monitor makes in its spool directory: spool files ("prn"), part files
// ("tmp") and the encoded attachment beside either (its name with ".m" appended).

// The local time a file is named from.
struct SpoolTime {
    uint16_t year, month, day, hour, minute, second, millisecond;
};

constexpr int kSpoolNameAttempts = 100;

// The directory, "\", the time's seven numbers in decimal without leading zeros, "." and the
// extension: 200553075945.prn at 7:05:09.045 on 30 May 2005. A name taken in the same clock
// tick is followed by "-" and the count of such clashes before the extension (200553075945-1.prn).
// False when the path does not fit in capacity characters with its terminator.
bool FormatSpoolPath(wchar_t* path, size_t capacity, const wchar_t* directory, const SpoolTime& time,
                     const wchar_t* extension, int clashes);

// Tries names from the clock until create accepts one (create fails for a name that exists), at
// most kSpoolNameAttempts times. Jobs started in one clock tick get names of their own at once
// instead of waiting for the clock. path holds the last name tried in every case.
bool CreateSpoolNamedFile(wchar_t* path, size_t capacity, const wchar_t* directory, const wchar_t* extension,
                          const std::function<SpoolTime()>& now, const std::function<bool(const wchar_t* path)>& create);

// Whether a file name (without its directory) has the form of a spool, part or encoded file,
// compared without regard to case; other files in the spool directory are never the monitor's.
bool IsMonitorJobFileName(const wchar_t* name);
