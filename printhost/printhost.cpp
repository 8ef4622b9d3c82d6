// The print host: loads the installed NMX_MON.dll as the spooler does and drives it through its
// function table, with the spooler stand-in (winspool.drv, spoolss.dll beside this program).
//
//   printhost enumports [1|2]
//   printhost print <port> <file> [--doc <name>] [--printer <name>] [--buffer <bytes>] [--stats]
//   printhost deletejob <id>
//
// --stats reports, once the job has ended, the time EndDocPort took (the mail's encoding and
// delivery), the monitor's send calls and the process's peak working set, for the benchmark.
#include <windows.h>
#include <psapi.h>
#include <winspool.h>

#include "common/scoped.h"
#include "printhost/loaded_monitor.h"
#include "printhost/print_job.h"
#include "printhost/send_counter.h"
#include "printhost/spooler_standin_control.h"

#include <cerrno>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr ULONGLONG kProgressFrom = 1024 * 1024; // jobs from this size show their progress
constexpr DWORD kMaxBuffer = 16 * 1024 * 1024;

void Print(const std::wstring& text)
{
    const std::wstring line = text + L"\n";
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()),
                                          nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), &utf8[0], bytes,
                        nullptr, nullptr);
    fwrite(utf8.data(), 1, utf8.size(), stdout);
    fflush(stdout);
}

int Usage()
{
    Print(L"usage: printhost enumports [1|2]\n"
          L"       printhost print <port> <file> [--doc <name>] [--printer <name>] [--buffer <bytes>] [--stats]\n"
          L"       printhost deletejob <id>");
    return kExitUsage;
}

// A whole positive decimal number that fits in a DWORD.
bool ParseNumber(const wchar_t* text, DWORD* value)
{
    if (text == nullptr || *text < L'0' || *text > L'9')
        return false;
    wchar_t* end = nullptr;
    errno = 0;
    const unsigned long long parsed = wcstoull(text, &end, 10);
    if (*end != L'\0' || errno != 0 || parsed == 0 || parsed > 0xFFFFFFFFull)
        return false;
    *value = static_cast<DWORD>(parsed);
    return true;
}

bool LoadMonitor(LoadedMonitor& monitor)
{
    if (monitor.Functions() != nullptr)
        return true;
    Print(L"NMX_MON.dll could not be loaded or initialised (error " + std::to_wstring(monitor.Error()) + L")");
    return false;
}

int EnumPortsCommand(int argc, wchar_t** argv)
{
    DWORD level = 1;
    if (argc > 3 || (argc == 3 && (!ParseNumber(argv[2], &level) || level > 2)))
        return Usage();
    LoadedMonitor monitor;
    if (!LoadMonitor(monitor))
        return kExitFailure;
    std::vector<ReportedPort> ports;
    DWORD error = 0;
    if (!EnumMonitorPorts(*monitor.Functions(), level, &ports, &error)) {
        Print(L"EnumPorts failed (error " + std::to_wstring(error) + L")");
        return kExitFailure;
    }
    for (const ReportedPort& port : ports) {
        if (level == 1)
            Print(port.name);
        else
            Print(port.name + L"  monitor \"" + port.monitor + L"\"  description \"" + port.description +
                  L"\"  type " + std::to_wstring(port.type));
    }
    Print(std::to_wstring(ports.size()) + L" port(s)");
    return 0;
}

std::wstring FileNamePart(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// A line at every tenth of a job from kProgressFrom bytes on.
class ProgressLine {
public:
    explicit ProgressLine(ULONGLONG total) : total_(total) {}
    void operator()(ULONGLONG written)
    {
        if (total_ < kProgressFrom)
            return;
        const ULONGLONG tenth = written * 10 / total_;
        if (tenth == lastTenth_)
            return;
        lastTenth_ = tenth;
        Print(L"written " + std::to_wstring(written) + L" of " + std::to_wstring(total_) + L" bytes (" +
              std::to_wstring(tenth * 10) + L"%)");
    }

private:
    ULONGLONG total_;
    ULONGLONG lastTenth_ = 0;
};

bool ParsePrintOptions(int argc, wchar_t** argv, PrintRequest* request, bool* stats)
{
    for (int i = 4; i < argc; ++i) {
        const std::wstring option = argv[i];
        if (option == L"--stats") {
            *stats = true;
            continue;
        }
        if (++i >= argc)
            return false;
        if (option == L"--doc")
            request->document = argv[i];
        else if (option == L"--printer")
            request->printer = argv[i];
        else if (option != L"--buffer" || !ParseNumber(argv[i], &request->bufferSize) ||
                 request->bufferSize > kMaxBuffer)
            return false;
    }
    return true;
}

void PrintStats(const PrintOutcome& outcome)
{
    wchar_t seconds[32];
    swprintf(seconds, 32, L"%.3f", outcome.endDocSeconds);
    Print(std::wstring(L"stats: end of job ") + seconds + L" s (EndDocPort: encoding and mailing)");
    const SendCounts sends = SendCountsSoFar();
    Print(L"stats: send calls " + std::to_wstring(sends.calls) + L", bytes sent " + std::to_wstring(sends.bytes));
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory))
        Print(L"stats: peak working set " + std::to_wstring(memory.PeakWorkingSetSize) + L" bytes");
    else
        Print(L"stats: peak working set unknown (error " + std::to_wstring(GetLastError()) + L")");
}

int PrintCommand(int argc, wchar_t** argv)
{
    if (argc < 4)
        return Usage();
    PrintRequest request;
    request.port = argv[2];
    const std::wstring path = argv[3];
    request.document = FileNamePart(path);
    bool stats = false;
    if (!ParsePrintOptions(argc, argv, &request, &stats))
        return Usage();

    const Scoped<FILE*, fclose> file(_wfopen(path.c_str(), L"rb"));
    if (!file) {
        Print(L"cannot open " + path);
        return kExitFailure;
    }
    _fseeki64(file.Get(), 0, SEEK_END);
    const ULONGLONG total = static_cast<ULONGLONG>(_ftelli64(file.Get()));
    _fseeki64(file.Get(), 0, SEEK_SET);

    LoadedMonitor monitor;
    if (!LoadMonitor(monitor))
        return kExitFailure;
    if (stats && !CountSendsOf(monitor.Module())) {
        Print(L"--stats: NMX_MON.dll imports no send from WS2_32.dll");
        return kExitFailure;
    }
    request.read = [&file](BYTE* buffer, DWORD capacity) -> long {
        const size_t got = fread(buffer, 1, capacity, file.Get());
        return ferror(file.Get()) ? -1 : static_cast<long>(got);
    };
    request.started = [](DWORD jobId) { Print(L"job " + std::to_wstring(jobId)); };
    request.progress = ProgressLine(total);

    // The spooler runs a job on a thread of its own.
    PrintOutcome outcome;
    std::thread job([&] { outcome = PrintJob(*monitor.Functions(), request); });
    job.join();

    std::wstring commands;
    for (DWORD command : spooler::JobCommands(outcome.jobId))
        commands += L" " + std::to_wstring(command);
    Print(L"job " + std::to_wstring(outcome.jobId) + L": " + std::to_wstring(outcome.written) +
          L" bytes written; SetJobW commands:" + (commands.empty() ? L" none" : commands));
    if (stats)
        PrintStats(outcome);
    if (!outcome.failedStep.empty()) {
        Print(L"failed in " + outcome.failedStep + L" (error " + std::to_wstring(outcome.error) + L")");
        return kExitFailure;
    }
    return 0;
}

int DeleteJobCommand(int argc, wchar_t** argv)
{
    DWORD jobId = 0;
    if (argc != 3 || !ParseNumber(argv[2], &jobId))
        return Usage();
    if (!spooler::SetJobStatusBits(jobId, JOB_STATUS_DELETING)) {
        Print(L"no job " + std::to_wstring(jobId));
        return kExitFailure;
    }
    Print(L"job " + std::to_wstring(jobId) + L" is being deleted");
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return Usage();
    const std::wstring command = argv[1];
    if (command == L"enumports")
        return EnumPortsCommand(argc, argv);
    if (command == L"print")
        return PrintCommand(argc, argv);
    if (command == L"deletejob")
        return DeleteJobCommand(argc, argv);
    return Usage();
}
