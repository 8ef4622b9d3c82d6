#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Calls into Wine's own spooler (winspool.drv and localspl, without the print host's stand-ins),
// as a Windows program makes them. Each returns 0 on success, else 1 after writing the reason to
// standard error.

// A printer on the port with Wine's PostScript driver and Wine's own generic PPD; a printer of
// that name is replaced.
int AddPostScriptPrinter(const wchar_t* name, const wchar_t* port);
// An ordinary GDI job: CreateDC, StartDoc, a page with the text, EndDoc.
int PrintGdiLetter(const wchar_t* printer, const wchar_t* text);
int AddPortExThroughSpooler(const wchar_t* port, const wchar_t* monitor);
// The names EnumPortsW reports, every monitor's ports.
std::vector<std::wstring> SpoolerPortNames();
// 0 for a call that succeeded; otherwise 1, with its error on standard error.
int ReportCall(BOOL ok, const wchar_t* call);
