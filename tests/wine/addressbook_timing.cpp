// Figures for scripts/benchmark.sh, not a test: how long the installed address book takes from
// its start to its main window shown, by the size of its data files.
//
// A run's time is taken from the process's creation (GetProcessTimes) to the moment its main
// window is visible (polled every 2 ms); the median of several runs is shown. Wine's own start-up
// of a process (loader, DLLs, emulation) is measured apart, as a run of the program that ends at
// once because another instance is running, from its creation to its exit; the program's own
// time is the run's time less that. The list box's share is measured apart too: the same list box
// filled with 65 535 items in this process, as the program fills its main list.
#include <windows.h>

#include "tests/wine/support/address_book.h"
#include "tests/wine/support/message_box_catcher.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kRuns = 5;
constexpr DWORD kPollMs = 2;
constexpr int kListItems = 65535;

double Milliseconds(const FILETIME& start, const FILETIME& end)
{
    const auto ticks = [](const FILETIME& time) {
        return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    return static_cast<double>(ticks(end) - ticks(start)) / 10000.0;
}

double MillisecondsSince(const FILETIME& start)
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return Milliseconds(start, now);
}

FILETIME CreationTime(HANDLE process)
{
    FILETIME created = {};
    FILETIME exited;
    FILETIME kernel;
    FILETIME user;
    GetProcessTimes(process, &created, &exited, &kernel, &user);
    return created;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::string Name(int index)
{
    char name[16];
    snprintf(name, sizeof(name), "Person %05d", index);
    return name;
}

Bytes People(int count)
{
    std::vector<PersonalRecord> records;
    for (int i = 0; i < count; ++i) {
        // Names in no order, so that sorting has work to do.
        const int key = static_cast<int>((static_cast<unsigned>(i) * 40503u) % 65536u);
        records.push_back({Name(key), Name(key) + "@example.com", "Floor;Room;Desk", "a note"});
    }
    return PersonalFile(records);
}

Bytes Groups(int count, int members, int people)
{
    std::vector<GroupRecord> groups;
    for (int g = 0; g < count; ++g) {
        GroupRecord group{"Group " + std::to_string(g), "members spread over the list", {}};
        for (int m = 0; m < members; ++m) {
            const int key = static_cast<int>((static_cast<unsigned>((g * members + m) % people) * 40503u) % 65536u);
            group.members.push_back(Name(key));
        }
        groups.push_back(group);
    }
    return GroupFile(groups);
}

// From the process's creation to its main window shown; -1 when it did not show.
double TimeToMainWindow(const std::wstring& directory)
{
    MessageBoxCatcher boxes;
    AddressBookRun book(L"", directory, &boxes);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, book.ProcessId());
    double elapsed = -1;
    for (int waited = 0; process != nullptr && waited < 120000; waited += kPollMs) {
        const HWND main = FindProcessWindow(book.ProcessId(), L"KapAddressBook");
        if (main != nullptr) {
            elapsed = MillisecondsSince(CreationTime(process));
            break;
        }
        Sleep(kPollMs);
    }
    if (process != nullptr)
        CloseHandle(process);
    book.Started();
    book.Close();
    return elapsed;
}

// A start that ends at step 2 (another instance runs): Wine's process start and end, and almost
// nothing of the program.
double TimeOfAnEndingStart(const std::wstring& directory)
{
    AddressBookRun second(L"", directory);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, second.ProcessId());
    if (process == nullptr)
        return -1;
    WaitForSingleObject(process, 60000);
    FILETIME created = {};
    FILETIME exited = {};
    FILETIME kernel;
    FILETIME user;
    GetProcessTimes(process, &created, &exited, &kernel, &user);
    CloseHandle(process);
    return Milliseconds(created, exited);
}

struct DataSet {
    const char* name;
    int people;
    int groups;
    int members;
};

double MeasureDataSet(const DataSet& set)
{
    const DataDirectory data;
    if (set.people > 0)
        data.Write(L"personal.inf", People(set.people));
    if (set.groups > 0)
        data.Write(L"group.inf", Groups(set.groups, set.members, set.people));
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run)
        times.push_back(TimeToMainWindow(data.Path()));
    return Median(times);
}

double MeasureWineStart()
{
    const DataDirectory data;
    MessageBoxCatcher boxes;
    AddressBookRun first(L"", data.Path(), &boxes);
    if (!first.Started())
        return -1;
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run)
        times.push_back(TimeOfAnEndingStart(data.Path()));
    first.Close();
    return Median(times);
}

// The main list's kind of list box, filled here as the program fills it.
double MeasureListBoxFill(bool reserve)
{
    HWND parent = CreateWindowW(L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 500, 300, nullptr, nullptr, nullptr, nullptr);
    HWND list = CreateWindowW(L"LISTBOX", L"",
                              WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_EXTENDEDSEL | LBS_NOTIFY,
                              0, 0, 500, 300, parent, nullptr, nullptr, nullptr);
    FILETIME start;
    GetSystemTimeAsFileTime(&start);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    if (reserve)
        SendMessageW(list, LB_INITSTORAGE, kListItems, 0);
    for (int i = 0; i < kListItems; ++i)
        SendMessageW(list, LB_ADDSTRING, 0, static_cast<LPARAM>(i) << 16);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    const double elapsed = MillisecondsSince(start);
    DestroyWindow(parent);
    return elapsed;
}

} // namespace

int main()
{
    const DataSet sets[] = {
        {"no data files", 0, 0, 0},
        {"10 people", 10, 0, 0},
        {"6 553 people", 6553, 0, 0},
        {"65 535 people", 65535, 0, 0},
        {"65 535 people and 1 000 groups of 50", 65535, 1000, 50},
    };
    const SettingsScope settings;
    const double wine = MeasureWineStart();
    printf("Wine's start and end of a process (a start that ends at once)  %8.0f ms\n", wine);
    printf("From the process's creation to the main window shown (median of %d runs):\n", kRuns);
    printf("  %-40s %10s %14s\n", "data", "total ms", "program's ms");
    double ownOfTen = 0;
    double ownOfMost = 0;
    for (const DataSet& set : sets) {
        const double total = MeasureDataSet(set);
        const double own = total - wine;
        printf("  %-40s %10.0f %14.0f\n", set.name, total, own);
        if (set.people == 10)
            ownOfTen = own;
        if (set.people == 65535 && set.groups == 0)
            ownOfMost = own;
    }
    printf("Program's time with 65 535 people / with 10: %.1f\n", ownOfMost / ownOfTen);
    printf("The same list box filled with %d items in this process: %.0f ms (%.0f ms without LB_INITSTORAGE)\n",
           kListItems, MeasureListBoxFill(true), MeasureListBoxFill(false));
    return 0;
}
