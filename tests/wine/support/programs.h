#pragma once
#include <windows.h>

#include <string>
#include <vector>

// The build's program folders as seen from a test program (which runs from bin/).
std::wstring BinDirectory();
std::wstring DistDirectory(); // the shipped libraries and the installer
std::wstring SystemDirectory();

// The names of the files (not folders) in a directory that match the pattern, in the order the
// file system gives them.
std::vector<std::wstring> FilesIn(const std::wstring& directory, const std::wstring& pattern = L"*");

// Runs a command line to its end; its exit code, or -1 when it could not be started. Its standard
// output and error go into *output when given.
// input, when given, is the program's standard input.
int RunProgram(const std::wstring& commandLine, std::string* output = nullptr, const std::string* input = nullptr);

// A string of the installed resource library NmxRC.dll; empty when it is missing.
std::wstring InstalledResourceString(UINT id);

// UTF-8 of a wide text, for gtest messages.
std::string Utf8(const std::wstring& text);
