#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The spool directory ("TempDir" of the "1.64" key) as the tests see it.
std::wstring SpoolDirectory();
// Names of the files in it that match the pattern ("*.prn").
std::vector<std::wstring> SpoolFiles(const std::wstring& pattern = L"*");
// Deletes every file in it.
void ClearSpoolDirectory();
// Success when no spool file (".prn"), part file (".tmp") or encoded file (".m") is left.
::testing::AssertionResult NoJobFilesLeft();
