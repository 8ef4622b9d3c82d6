// Drives Wine's own spooler as a Windows program and a user would, for scripts/demo.sh
// (not shipped). Runs without the print host's spooler stand-ins: Wine's winspool.drv and
// localspl load the installed monitor themselves.
//   wine_spooler printer NAME PORT   a printer on PORT with Wine's PostScript driver and its PPD
//   wine_spooler print PRINTER TEXT  an ordinary GDI job: StartDoc, the text, EndDoc
//   wine_spooler addportex PORT MONITOR | addport MONITOR | configure PORT | deleteport PORT
//   wine_spooler ports               EnumPortsW: the ports, one a line
#include "printhost/wine_spooler_calls.h"

#include <winspool.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv)
{
    const std::wstring command = argc > 1 ? argv[1] : L"";
    wchar_t* a = argc > 2 ? argv[2] : nullptr;
    wchar_t* b = argc > 3 ? argv[3] : nullptr;
    if (command == L"printer" && b != nullptr)
        return AddPostScriptPrinter(a, b);
    if (command == L"print" && b != nullptr)
        return PrintGdiLetter(a, b);
    if (command == L"addportex" && b != nullptr)
        return AddPortExThroughSpooler(a, b);
    if (command == L"addport" && a != nullptr)
        return ReportCall(AddPortW(nullptr, nullptr, a), L"AddPortW");
    if (command == L"configure" && a != nullptr)
        return ReportCall(ConfigurePortW(nullptr, nullptr, a), L"ConfigurePortW");
    if (command == L"deleteport" && a != nullptr)
        return ReportCall(DeletePortW(nullptr, nullptr, a), L"DeletePortW");
    if (command == L"ports") {
        for (const std::wstring& name : SpoolerPortNames())
            std::wprintf(L"%ls\n", name.c_str());
        return 0;
    }
    std::fwprintf(stderr, L"usage: wine_spooler printer NAME PORT | print PRINTER TEXT | addportex PORT MONITOR |"
                          L" addport MONITOR | configure PORT | deleteport PORT | ports\n");
    return 2;
}
