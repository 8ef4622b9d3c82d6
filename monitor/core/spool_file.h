#pragma once
#include <windows.h>

constexpr int kSpoolPathChars = 261; // a spool or part file's full path and its terminator

// Creates a new empty file in the spool directory, named from the local time with the given
// extension (a name taken in the same clock tick gets a clash number); up to 100 attempts. path
// (kSpoolPathChars) holds the name of the last attempt in every case; file is INVALID_HANDLE_VALUE
// when every attempt failed.
void CreateSpoolFile(HANDLE* file, WCHAR* path, const WCHAR* extension);
