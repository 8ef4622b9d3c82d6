// Figures for scripts/benchmark.sh, not a test: how long the installed address book takes from
// its start to its main window shown, by the size of its data files.
//
// Each run is watched from outside (polled every 2 ms) until its main window is visible and the
// program waits for input, its first paint done (WaitForInputIdle). Then the wall time since the
// run was started and the processor time the process has used (user and kernel) are taken; the
// median of several runs is shown. The processor time is the program's own, read inside its
// process (window_probe.h: Wine answers GetProcessTimes for another process with the caller's
// own times); it leaves out the time Wine's process start spends outside the process and the
// time the process waited for a processor on a busy machine, and it includes the probe's own
// small, fixed part. The data's part of it is the run's less a run without data files. Wine's
// start and end of a process alone is shown for comparison (its wall time: a start of the
// program that ends at once because another instance is running).
// Parts of the work are measured apart in this process: the program's own loading functions on
// the same bytes, and the main list's kind of list box filled with 65 535 items as the program
// fills it. Last, a large delete: 30 000 of 65 535 people in one command.
#include <windows.h>

#include "addressbook/core/data_files.h"
#include "addressbook/core/resource_ids.h"
#include "tests/wine/support/address_book.h"
#include "tests/wine/support/message_box_catcher.h"
#include "tests/wine/support/window_probe.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kRuns = 7;
constexpr DWORD kPollMs = 2;
constexpr DWORD kRunTimeoutMs = 120000;
constexpr int kListItems = 65535;

double Milliseconds(const FILETIME& time)
{
    return static_cast<double>((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 10000.0;
}

struct Timing {
    double wall = -1; // ms: from the program's start, or of the part measured
    double processor = -1;
};

double Now()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return Milliseconds(now);
}

// Processor time of this thread so far, user and kernel.
double ThreadProcessorTime()
{
    FILETIME created;
    FILETIME exited;
    FILETIME kernel = {};
    FILETIME user = {};
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    return Milliseconds(kernel) + Milliseconds(user);
}

// What a part of the work took in this process: wall and processor time.
template <class Work>
Timing TimeOf(Work work)
{
    const double wall = Now();
    const double processor = ThreadProcessorTime();
    work();
    return {Now() - wall, ThreadProcessorTime() - processor};
}

Timing Median(const std::vector<Timing>& runs)
{
    std::vector<double> walls;
    std::vector<double> processors;
    for (const Timing& run : runs) {
        walls.push_back(run.wall);
        processors.push_back(run.processor);
    }
    std::sort(walls.begin(), walls.end());
    std::sort(processors.begin(), processors.end());
    return {walls[walls.size() / 2], processors[processors.size() / 2]};
}

// A name from a first name, a family name and a number, all from the key, so that names start
// differently as in a real address book (the sort compares their first bytes first).
std::string Name(int key)
{
    static const char* const first[] = {"Anna", "Ben", "Carla", "David", "Emi", "Felix", "Grete", "Hiro",
                                        "Ines", "Jonas", "Kaori", "Lars", "Maja", "Nils", "Olga", "Paul"};
    static const char* const family[] = {"Berg", "Curie", "Dahl", "Ito", "Keller", "Lund", "Mori", "Novak",
                                         "Ortiz", "Quist", "Rossi", "Sato", "Tanaka", "Voss", "Weber", "Young"};
    char name[40];
    snprintf(name, sizeof(name), "%s %s %05d", first[key % 16], family[key / 16 % 16], key);
    return name;
}

std::string Address(int key)
{
    std::string address = Name(key);
    for (char& c : address)
        c = c == ' ' ? '.' : c;
    return address + "@example.com";
}

// Keys in no order (an odd multiplier modulo 65536 visits every key once), so that sorting has
// work to do.
int Key(int index)
{
    return static_cast<int>((static_cast<unsigned>(index) * 40503u) % 65536u);
}

Bytes People(int count)
{
    std::vector<PersonalRecord> records;
    for (int i = 0; i < count; ++i)
        records.push_back({Name(Key(i)), Address(Key(i)), "Floor;Room;Desk", "a note"});
    return PersonalFile(records);
}

// Members spread over the whole personal list.
Bytes Groups(int count, int members, int people)
{
    std::vector<GroupRecord> groups;
    for (int g = 0; g < count; ++g) {
        GroupRecord group{"Group " + std::to_string(g), "members spread over the list", {}};
        for (int m = 0; m < members; ++m)
            group.members.push_back(Name(Key((g * members + m) * 37 % people)));
        groups.push_back(group);
    }
    return GroupFile(groups);
}

Timing TimeToMainWindow(const std::wstring& directory)
{
    const double start = Now();
    MessageBoxCatcher boxes;
    AddressBookRun book(L"", directory, &boxes);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, book.ProcessId());
    Timing timing;
    for (DWORD waited = 0; process != nullptr && waited < kRunTimeoutMs; waited += kPollMs) {
        // Visible, then painted: the program waits for input once its first paint is done.
        const HWND window = FindProcessWindow(book.ProcessId(), L"KapAddressBook");
        if (window != nullptr && WaitForInputIdle(process, kRunTimeoutMs) == 0) {
            timing.wall = Now() - start;
            ReadProcessorTime(window, &timing.processor);
            break;
        }
        Sleep(kPollMs);
    }
    if (process != nullptr)
        CloseHandle(process);
    book.Started();
    book.Close();
    return timing;
}

// A start that ends at step 2 (another instance runs): Wine's start and end of a process, and
// next to nothing of the program.
Timing TimeOfAnEndingStart(const std::wstring& directory)
{
    const double start = Now();
    AddressBookRun second(L"", directory);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, second.ProcessId());
    if (process == nullptr)
        return {};
    WaitForSingleObject(process, kRunTimeoutMs);
    const Timing timing = {Now() - start, -1};
    CloseHandle(process);
    return timing;
}

struct DataSet {
    const char* name;
    int people;
    int groups;
    int members;
};

Timing MeasureDataSet(const DataSet& set)
{
    const DataDirectory data;
    if (set.people > 0)
        data.Write(L"personal.inf", People(set.people));
    if (set.groups > 0)
        data.Write(L"group.inf", Groups(set.groups, set.members, set.people));
    std::vector<Timing> runs;
    for (int run = 0; run < kRuns; ++run)
        runs.push_back(TimeToMainWindow(data.Path()));
    return Median(runs);
}

Timing MeasureWineStart()
{
    const DataDirectory data;
    MessageBoxCatcher boxes;
    AddressBookRun first(L"", data.Path(), &boxes);
    if (!first.Started())
        return {};
    std::vector<Timing> runs;
    for (int run = 0; run < kRuns; ++run)
        runs.push_back(TimeOfAnEndingStart(data.Path()));
    first.Close();
    return Median(runs);
}

// The program's loading of the people and the groups, run here on the same bytes.
Timing MeasureLoading(int people, int groups, int members)
{
    const Bytes personalFile = People(people);
    const Bytes groupFile = groups > 0 ? Groups(groups, members, people) : Bytes();
    return TimeOf([&] {
        AddressBook book;
        book.personal = ReadPersonalFile(personalFile.data(), personalFile.size(), "", LeadBytes());
        if (groups > 0)
            book.groups = ReadGroupFile(groupFile.data(), groupFile.size(), book.personal, LeadBytes());
        RebuildSortIndexes(book);
    });
}

// The main list's kind of list box, filled here as the program fills it.
Timing MeasureListBoxFill(bool reserve)
{
    HWND parent = CreateWindowW(L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 500, 300, nullptr, nullptr, nullptr, nullptr);
    HWND list = CreateWindowW(L"LISTBOX", L"",
                              WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_EXTENDEDSEL | LBS_NOTIFY,
                              0, 0, 500, 300, parent, nullptr, nullptr, nullptr);
    const Timing timing = TimeOf([&] {
        SendMessageW(list, WM_SETREDRAW, FALSE, 0);
        if (reserve)
            SendMessageW(list, LB_INITSTORAGE, kListItems, 0);
        for (int i = 0; i < kListItems; ++i)
            SendMessageW(list, LB_ADDSTRING, 0, static_cast<LPARAM>(i) << 16);
        SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    });
    DestroyWindow(parent);
    return timing;
}

// Deletes the first `count` of 65 535 people in one command (the program saves both files and
// takes the items out of its list): wall time in ms from the command to its end.
double MeasureDelete(int count)
{
    const DataDirectory data;
    data.Write(L"personal.inf", People(65535));
    MessageBoxCatcher boxes;
    AddressBookRun book(L"", data.Path(), &boxes);
    if (!book.Started())
        return -1;
    book.Select({});
    SendMessageW(book.MainList(), LB_SELITEMRANGEEX, 0, count - 1);
    const double start = Now();
    book.Command(CMD_DELETE);
    const double elapsed = Now() - start;
    book.Close();
    return elapsed;
}

void PrintPart(const char* name, const Timing& timing)
{
    printf("  %-52s %8.0f %10.0f\n", name, timing.wall, timing.processor);
}

} // namespace

int main()
{
    const DataSet sets[] = {
        {"no data files", 0, 0, 0},
        {"10 people", 10, 0, 0},
        {"6 553 people", 6553, 0, 0},
        {"65 535 people", 65535, 0, 0},
        {"65 535 people, 1 000 groups of 50", 65535, 1000, 50},
    };
    const SettingsScope settings;
    printf("Address book: from its start to its main window shown and painted, median of %d runs (ms)\n", kRuns);
    printf("  %-44s %8s %10s %12s\n", "", "wall", "processor", "data's part");
    const Timing wine = MeasureWineStart();
    printf("  %-44s %8.0f\n", "Wine's start and end of a process alone", wine.wall);
    Timing none;
    Timing ten;
    Timing most;
    for (const DataSet& set : sets) {
        const Timing run = MeasureDataSet(set);
        if (set.people == 0)
            none = run;
        printf("  %-44s %8.0f %10.0f %12.0f\n", set.name, run.wall, run.processor, run.processor - none.processor);
        if (set.people == 10)
            ten = run;
        if (set.people == 65535 && set.groups == 0)
            most = run;
    }
    printf("  processor time with 65 535 people / with 10 people: %.1f\n", most.processor / ten.processor);
    printf("Parts of the program's work, each run alone in this process (ms)\n");
    printf("  %-52s %8s %10s\n", "", "wall", "processor");
    PrintPart("reading and sorting 65 535 people", MeasureLoading(65535, 0, 0));
    PrintPart("the same and 1 000 groups of 50", MeasureLoading(65535, 1000, 50));
    PrintPart("the main list's kind of list box, 65 535 items added", MeasureListBoxFill(true));
    PrintPart("the same without LB_INITSTORAGE", MeasureListBoxFill(false));
    printf("Deleting the first 30 000 of 65 535 people in one command (saves both files): %.0f ms wall\n",
           MeasureDelete(30000));
    return 0;
}
