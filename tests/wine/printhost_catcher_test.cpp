// The message-box catcher: boxes on any thread of the test program, answered without a person.
#include <windows.h>

#include "tests/wine/support/message_box_catcher.h"
#include "tests/wine/support/programs.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <string>

namespace {

TEST(MessageBoxCatcher, AnswersEachExpectedBoxAsTold)
{
    const struct {
        const wchar_t* caption;
        const wchar_t* text;
        UINT style;
        int answer;
    } cases[] = {
        {L"Plain", L"Just a note", MB_OK | MB_SETFOREGROUND, IDOK},
        {L"Question", L"Send it?", MB_OKCANCEL | MB_ICONINFORMATION | MB_SETFOREGROUND, IDOK},
        {L"Question", L"Send it?", MB_OKCANCEL | MB_ICONINFORMATION | MB_SETFOREGROUND, IDCANCEL},
        {L"Failure", L"It broke", MB_OK | MB_ICONERROR, IDOK},
        {L"Choice", L"Keep it?", MB_YESNO | MB_ICONQUESTION, IDNO},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf8(c.text));
        MessageBoxCatcher catcher;
        catcher.Expect(c.caption, c.text, c.answer);
        EXPECT_EQ(c.answer, MessageBoxW(nullptr, c.text, c.caption, c.style));
        ASSERT_EQ(1u, catcher.Seen().size());
        const SeenBox seen = catcher.Seen()[0];
        EXPECT_EQ(c.caption, seen.caption);
        EXPECT_EQ(c.text, seen.text);
        EXPECT_EQ(MessageBoxButtons(c.style), MessageBoxButtons(seen.style));
        EXPECT_EQ(MessageBoxIcon(c.style), MessageBoxIcon(seen.style));
        EXPECT_TRUE(seen.expected);
    }
}

TEST(MessageBoxCatcher, AnswersBoxesInTheOrderExpected)
{
    MessageBoxCatcher catcher;
    catcher.Expect(L"First", L"one", IDCANCEL);
    catcher.Expect(L"Second", L"two", IDOK);
    EXPECT_EQ(IDCANCEL, MessageBoxW(nullptr, L"one", L"First", MB_OKCANCEL));
    EXPECT_EQ(IDOK, MessageBoxW(nullptr, L"two", L"Second", MB_OKCANCEL));
    EXPECT_EQ(2u, catcher.Seen().size());
}

DWORD WINAPI ShowBoxOnAnotherThread(void*)
{
    return static_cast<DWORD>(MessageBoxW(nullptr, L"from a worker", L"Worker", MB_OKCANCEL));
}

TEST(MessageBoxCatcher, CatchesABoxOfAnotherThread)
{
    MessageBoxCatcher catcher;
    catcher.Expect(L"Worker", L"from a worker", IDCANCEL);
    HANDLE worker = CreateThread(nullptr, 0, ShowBoxOnAnotherThread, nullptr, 0, nullptr);
    ASSERT_NE(nullptr, worker);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(worker, 60000));
    DWORD result = 0;
    GetExitCodeThread(worker, &result);
    CloseHandle(worker);
    EXPECT_EQ(static_cast<DWORD>(IDCANCEL), result);
}

TEST(MessageBoxCatcher, AnUnexpectedBoxFailsTheTestAndIsCancelled)
{
    int result = 0;
    EXPECT_NONFATAL_FAILURE(
        {
            MessageBoxCatcher catcher;
            result = MessageBoxW(nullptr, L"surprise", L"Unexpected", MB_OKCANCEL);
        },
        "UNEXPECTED: \"Unexpected\" / \"surprise\"");
    EXPECT_EQ(IDCANCEL, result);
}

TEST(MessageBoxCatcher, ABoxWithOtherTextIsUnexpected)
{
    EXPECT_NONFATAL_FAILURE(
        {
            MessageBoxCatcher catcher;
            catcher.Expect(L"Caption", L"the text");
            MessageBoxW(nullptr, L"another text", L"Caption", MB_OK);
        },
        "NOT SHOWN: \"Caption\" / \"the text\"");
}

TEST(MessageBoxCatcher, AnExpectedBoxThatNeverCameFailsTheTest)
{
    EXPECT_NONFATAL_FAILURE(
        {
            MessageBoxCatcher catcher;
            catcher.Expect(L"Never", L"shown");
        },
        "NOT SHOWN: \"Never\" / \"shown\"");
}

// Moves a file aside for the life of the object.
class FileAside {
public:
    explicit FileAside(const std::wstring& path) : path_(path), aside_(path + L".aside")
    {
        moved_ = MoveFileExW(path_.c_str(), aside_.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
    }
    ~FileAside()
    {
        if (moved_)
            MoveFileExW(aside_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    bool Moved() const { return moved_; }

private:
    std::wstring path_;
    std::wstring aside_;
    bool moved_ = false;
};

TEST(MessageBoxCatcher, CatchesTheBoxShownInsideLoadLibrary)
{
    FileAside resources(SystemDirectory() + L"\\NmxRC.dll");
    ASSERT_TRUE(resources.Moved()) << "the monitor is not installed";
    MessageBoxCatcher catcher;
    catcher.Expect(L"Ostrel Velloprint", L"Can't Load Resource File");
    HMODULE monitor = LoadLibraryW(L"NMX_MON.dll");
    EXPECT_EQ(nullptr, monitor); // the library refuses to load without its resources
    if (monitor != nullptr)
        FreeLibrary(monitor);
    ASSERT_EQ(1u, catcher.Seen().size());
    EXPECT_EQ(static_cast<UINT>(MB_OK), MessageBoxButtons(catcher.Seen()[0].style));
    EXPECT_EQ(0u, MessageBoxIcon(catcher.Seen()[0].style));
}

} // namespace
