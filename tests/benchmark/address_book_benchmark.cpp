// Times what the address book does with its data at start-up: reading "personal.inf" and
// "group.inf" (1 000 groups of 50 members each) and building the three sort orders, for 10,
// 6 553 and 65 535 personal entries. With --literal it also times the plain quadratic sort and
// member lookup for comparison (a minute or so at 65 535 entries).
#include "addressbook/core/data_files.h"
#include "tests/native/literal_address_algorithms.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <time.h>
#include <vector>

namespace {

constexpr uint32_t kGroups = 1000;
constexpr uint32_t kMembersPerGroup = 50;
constexpr int kRepeats = 5;

// The process's processor time (user and system): on a machine shared with other work it
// varies far less than the wall clock.
double ProcessorMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

double MillisecondsSince(double start)
{
    return ProcessorMilliseconds() - start;
}

void PutCount(Bytes& file, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        file.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void PutText(Bytes& file, const std::string& text)
{
    file.insert(file.end(), text.begin(), text.end());
    file.push_back(0);
}

std::string RandomWord(std::mt19937& random, size_t length)
{
    std::string word(length, ' ');
    for (char& c : word)
        c = static_cast<char>((random() % 2 ? 'a' : 'A') + random() % 26);
    return word;
}

struct DataFiles {
    Bytes personal;
    Bytes groups;
    std::vector<std::vector<std::string>> memberNames; // for the literal lookup
};

// Unique names (a number in each), members named in other letter cases now and then.
DataFiles MakeFiles(uint32_t people, std::mt19937& random)
{
    DataFiles files;
    std::vector<std::string> names;
    PutCount(files.personal, people);
    for (uint32_t i = 0; i < people; ++i) {
        names.push_back(RandomWord(random, 6) + " " + std::to_string(i));
        PutText(files.personal, names.back());
        PutText(files.personal, RandomWord(random, 8) + "@" + RandomWord(random, 6) + ".example");
        PutText(files.personal, "Sales;Room 4;");
        PutText(files.personal, "");
    }
    PutCount(files.groups, kGroups);
    for (uint32_t g = 0; g < kGroups; ++g) {
        std::vector<std::string> members;
        size_t bytes = 0;
        for (uint32_t m = 0; m < kMembersPerGroup; ++m) {
            std::string name = names[random() % people];
            if (random() % 4 == 0)
                std::transform(name.begin(), name.end(), name.begin(), ::toupper);
            bytes += name.size() + 1;
            members.push_back(name);
        }
        PutText(files.groups, "Group " + std::to_string(g));
        PutText(files.groups, "");
        PutCount(files.groups, kMembersPerGroup);
        PutCount(files.groups, static_cast<uint32_t>(bytes));
        for (const std::string& name : members)
            PutText(files.groups, name);
        files.memberNames.push_back(std::move(members));
    }
    return files;
}

struct Timing {
    double personal = 1e300;
    double groups = 1e300;
    double sort = 1e300;
};

Timing TimeLoad(const DataFiles& files)
{
    Timing best;
    for (int r = 0; r < kRepeats; ++r) {
        AddressBook book;
        double start = ProcessorMilliseconds();
        book.personal = ReadPersonalFile(files.personal.data(), files.personal.size(), "", LeadBytes());
        best.personal = std::min(best.personal, MillisecondsSince(start));
        start = ProcessorMilliseconds();
        book.groups = ReadGroupFile(files.groups.data(), files.groups.size(), book.personal, LeadBytes());
        best.groups = std::min(best.groups, MillisecondsSince(start));
        start = ProcessorMilliseconds();
        RebuildSortIndexes(book);
        best.sort = std::min(best.sort, MillisecondsSince(start));
    }
    return best;
}

// The quadratic member lookup and sort, once.
Timing TimeLiteral(const DataFiles& files)
{
    Timing timing;
    AddressBook book;
    book.personal = ReadPersonalFile(files.personal.data(), files.personal.size(), "", LeadBytes());
    timing.personal = 0;
    double start = ProcessorMilliseconds();
    size_t found = 0;
    for (const auto& names : files.memberNames)
        found += LiteralMembers(book.personal, names).size();
    timing.groups = MillisecondsSince(start);
    start = ProcessorMilliseconds();
    found += LiteralSortOrder(book.personal.entries, &PersonalEntry::name).size();
    found += LiteralSortOrder(book.personal.entries, &PersonalEntry::address).size();
    timing.sort = MillisecondsSince(start);
    return found > 0 ? timing : Timing{};
}

void PrintRow(const char* what, uint32_t people, const Timing& t)
{
    std::printf("%-8s %8u %8u %12.2f %12.2f %12.2f %12.2f\n", what, people, kGroups * kMembersPerGroup,
                t.personal, t.groups, t.sort, t.personal + t.groups + t.sort);
}

} // namespace

int main(int argc, char** argv)
{
    const bool literal = argc > 1 && std::strcmp(argv[1], "--literal") == 0;
    std::mt19937 random(1);
    std::printf("address book data at start-up, processor milliseconds (best of %d; %u groups)\n", kRepeats,
                kGroups);
    std::printf("%-8s %8s %8s %12s %12s %12s %12s\n", "", "entries", "members", "personal.inf",
                "group.inf", "sort orders", "total");
    for (uint32_t people : {10u, 6553u, 65535u}) {
        const DataFiles files = MakeFiles(people, random);
        PrintRow("hashed", people, TimeLoad(files));
        if (literal)
            PrintRow("literal", people, TimeLiteral(files));
        std::fflush(stdout);
    }
    return 0;
}
