#include "monitor/mail/printable_text.h"
#include "monitor/ui/address_book_exchange.h"
#include "monitor/ui/address_list.h"
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {
// What the dialog takes from a hand-over file whose ANSI text is plain ASCII: at most the announced
// bytes, up to the first zero byte, without trailing characters that are not printable, cut to
// the field. The Win32 layer converts the bytes with the ANSI code page where this widens them.
std::wstring ReceivedText(const std::string& file, uint32_t announcedBytes)
{
    HandOverRead plan{};
    if (!PlanHandOverRead(announcedBytes, file.size(), &plan))
        return L"<refused>";
    std::vector<wchar_t> text(plan.wideChars, L'\0');
    for (uint32_t i = 0; i < plan.bytes && file[i] != '\0'; ++i)
        text[i] = static_cast<unsigned char>(file[i]);
    TrimTrailingNonPrintable(text.data());
    CutToDestinationField(text.data());
    return text.data();
}

struct ReceiveCase {
    std::string file;
    uint32_t announcedBytes;
    std::wstring expected;
    const char* why;
};

const std::string k13001 = std::string(12994, 'p') + "@x.jp;q";  // 13,001 characters
const std::wstring kCut = std::wstring(12994, L'p') + L"@x.jp;"; // 13,000 characters

const ReceiveCase kReceiveCases[] = {
    {std::string("a@x.jp;b@y.jp") + '\0', 14, L"a@x.jp;b@y.jp", "the text and its terminator"},
    {std::string("a@x.jp") + '\0', 1000, L"a@x.jp", "a count larger than the file reads to its end"},
    {std::string("a@x.jp") + '\0', UINT32_MAX, L"a@x.jp", "the largest count"},
    {std::string("a@x.jp;b@y.jp") + '\0', 6, L"a@x.jp", "a count smaller than the file"},
    {std::string("a@x.jp") + '\0' + "old@stale.jp" + '\0', 21, L"a@x.jp", "an older, longer text after the terminator"},
    {std::string("a@x.jp\r\n\r\n") + '\0', 11, L"a@x.jp", "trailing line breaks"},
    {std::string("a@x.jp \t\x7f\x01") + '\0', 11, L"a@x.jp ", "a tab and control characters go, a blank stays"},
    {"", 0, L"", "an empty file"},
    {std::string(12999, 'p') + ";" + '\0', 13001, std::wstring(12999, L'p') + L";", "13,000 characters are kept whole"},
    {k13001 + '\0', 13002, kCut, "13,001 characters: 13,000, the last made ';'"},
    {std::string(13000, 'p') + "\r\n" + '\0', 13003, std::wstring(13000, L'p'), "13,000 characters and a line break"},
};

TEST(AddressBookExchange, ReceivedTextFollowsTheByteCountTheTerminatorAndTheFieldLength)
{
    for (const ReceiveCase& c : kReceiveCases) {
        const std::wstring received = ReceivedText(c.file, c.announcedBytes);
        EXPECT_EQ(received.size(), c.expected.size()) << c.why;
        EXPECT_TRUE(received == c.expected) << c.why;
    }
}

TEST(AddressBookExchange, ReadPlanNeverExceedsTheFileOrThirtyTwoBits)
{
    struct PlanCase {
        uint32_t announced;
        uint64_t fileSize;
        bool planned;
        uint32_t bytes;
        uint32_t wideChars;
    };
    const PlanCase cases[] = {
        {14, 14, true, 14, 24},
        {1000, 7, true, 7, 17},
        {UINT32_MAX, 0x7FFFFFF5, true, 0x7FFFFFF5, 0x7FFFFFFF},
        {UINT32_MAX, 0x7FFFFFF6, false, 0, 0},
        {0x80000000, 0x100000000ULL, false, 0, 0},
    };
    for (const PlanCase& c : cases) {
        HandOverRead plan{};
        ASSERT_EQ(PlanHandOverRead(c.announced, c.fileSize, &plan), c.planned) << c.announced << " " << c.fileSize;
        if (c.planned) {
            EXPECT_EQ(plan.bytes, c.bytes) << c.announced << " " << c.fileSize;
            EXPECT_EQ(plan.wideChars, c.wideChars) << c.announced << " " << c.fileSize;
        }
    }
}

struct PathCase {
    const wchar_t* path;
    bool accepted;
    const char* why;
};

const PathCase kPathCases[] = {
    {L"C:\\Velloprint\\Spool\\PreDef.ADR", true, "the spool directory's file"},
    {L"c:\\velloprint\\spool\\predef.adr", true, "in lower case"},
    {L"C:\\VELLOPRINT\\SPOOL\\PREDEF.ADR", true, "in upper case"},
    {L"C:\\Velloprint\\Spool\\Other.txt", false, "another file of the spool directory"},
    {L"C:\\Velloprint\\Spool\\PreDef.ADR.txt", false, "a longer name"},
    {L"C:\\Velloprint\\PreDef.ADR", false, "the file of another directory"},
    {L"C:\\Velloprint\\Spool\\..\\Spool\\PreDef.ADR", false, "another way to the same file"},
    {L"PreDef.ADR", false, "a bare name"},
    {L"", false, "an atom without a name"},
};

TEST(AddressBookExchange, OnlyTheSpoolDirectorysHandOverFileIsTaken)
{
    for (const PathCase& c : kPathCases)
        EXPECT_EQ(IsHandOverFile(c.path, L"C:\\Velloprint\\Spool"), c.accepted) << c.why;
}

TEST(AddressBookExchange, HandOverPathAndProgramPathJoinWithABackslash)
{
    wchar_t path[kHandOverPathChars];
    ASSERT_TRUE(FormatHandOverPath(L"C:\\Spool", path, kHandOverPathChars));
    EXPECT_EQ(std::wstring(path), L"C:\\Spool\\PreDef.ADR");
    ASSERT_TRUE(FormatHandOverPath(L"", path, kHandOverPathChars));
    EXPECT_EQ(std::wstring(path), L"\\PreDef.ADR") << "no spool directory: the root of the current drive";
    EXPECT_TRUE(IsHandOverFile(L"\\predef.adr", L""));
    EXPECT_FALSE(FormatHandOverPath(L"C:\\Spool", path, 19)) << "no room for the terminator";
    EXPECT_EQ(std::wstring(path), L"");
    EXPECT_TRUE(FormatHandOverPath(L"C:\\Spool", path, 20));
}

TEST(AddressBookExchange, TheProgramIsStartedFromAFullPathOnly)
{
    struct ProgramCase {
        const wchar_t* directory;
        const wchar_t* program; // nullptr: nothing is started
    };
    const ProgramCase cases[] = {
        {L"C:\\Program Files\\Velloprint", L"C:\\Program Files\\Velloprint\\pelmora.exe"},
        {L"\\\\server\\share\\V", L"\\\\server\\share\\V\\pelmora.exe"},
        {L"", nullptr},
        {L"\\Velloprint", nullptr},
        {L"C:Velloprint", nullptr},
    };
    for (const ProgramCase& c : cases) {
        wchar_t program[200];
        const bool formatted = FormatAddressBookPath(c.directory, program, 200);
        EXPECT_EQ(formatted, c.program != nullptr) << testing::PrintToString(std::wstring(c.directory));
        EXPECT_EQ(std::wstring(program), c.program != nullptr ? c.program : L"");
    }
}
} // namespace
