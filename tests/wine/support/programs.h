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

// String id of a resource library (loaded as data), or empty.
std::wstring LibraryString(const std::wstring& library, UINT id);
// A string of the installed resource library NmxRC.dll; empty when it is missing.
std::wstring InstalledResourceString(UINT id);

// The caption of a dialog template in a library, in the language given or, by default, in the one
// the platform picks for this user (Japanese for a Japanese user); empty when there is no such
// template.
std::wstring DialogCaption(HMODULE library, int dialogId, LANGID language = LANG_NEUTRAL);
// ... of the library file, loaded as data; of the installed monitor's NmxRC.dll.
std::wstring DialogCaption(const std::wstring& libraryPath, int dialogId);
inline std::wstring InstalledDialogCaption(int dialogId)
{
    return DialogCaption(SystemDirectory() + L"\\NmxRC.dll", dialogId);
}

// UTF-8 of a wide text, for gtest messages.
std::string Utf8(const std::wstring& text);
