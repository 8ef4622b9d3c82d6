// Starting the installed address book: its mode from the command line, one instance at a time,
// and the failures that end it before its window exists.
#include <windows.h>

#include "addressbook/core/resource_ids.h"
#include "tests/wine/support/address_book.h"
#include "tests/wine/support/dialog_gtest_printer.h"
#include "tests/wine/support/message_box_catcher.h"
#include "tests/wine/support/programs.h"
#include "tests/wine/support/registry_scope.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const bool kQuietFailures = (PrintFailuresWithoutDebugOutput(), true);

// A top-level window of this process titled as the port settings dialog, which recipient mode
// looks for. It needs no message loop: the title is found without asking the window.
class TargetWindow {
public:
    TargetWindow()
        : window_(CreateWindowW(L"STATIC", AddressBookString(IDS_TARGET_TITLE).c_str(), WS_OVERLAPPED, 0, 0, 100,
                                100, nullptr, nullptr, nullptr, nullptr))
    {
    }
    ~TargetWindow() { DestroyWindow(window_); }
    TargetWindow(const TargetWindow&) = delete;
    TargetWindow& operator=(const TargetWindow&) = delete;
    bool Exists() const { return window_ != nullptr; }

private:
    HWND window_;
};

// A visible window of the test that holds the foreground until the address book takes it.
class ForegroundWindow {
public:
    ForegroundWindow()
        : window_(CreateWindowW(L"STATIC", L"test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                                nullptr, nullptr, nullptr))
    {
        SetForegroundWindow(window_);
    }
    ~ForegroundWindow() { DestroyWindow(window_); }
    ForegroundWindow(const ForegroundWindow&) = delete;
    ForegroundWindow& operator=(const ForegroundWindow&) = delete;
    HWND Get() const { return window_; }

private:
    HWND window_;
};

// The installed resource library copied to the root of the drive of `directory`, where a program
// that joined an empty directory to the library's name would load it from.
class LibraryAtDriveRoot {
public:
    explicit LibraryAtDriveRoot(const std::wstring& directory) : path_(directory.substr(0, 3) + L"pelmoraRC.dll")
    {
        copied_ = CopyFileW((InstallDirectory() + L"\\pelmoraRC.dll").c_str(), path_.c_str(), TRUE) != FALSE;
    }
    ~LibraryAtDriveRoot()
    {
        if (copied_)
            DeleteFileW(path_.c_str());
    }
    LibraryAtDriveRoot(const LibraryAtDriveRoot&) = delete;
    LibraryAtDriveRoot& operator=(const LibraryAtDriveRoot&) = delete;
    bool Copied() const { return copied_; }

private:
    std::wstring path_;
    bool copied_ = false;
};

::testing::AssertionResult BecomesForeground(HWND window)
{
    for (int tries = 0; tries < 250 && GetForegroundWindow() != window; ++tries)
        Sleep(20);
    if (GetForegroundWindow() == window)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the foreground window is " << GetForegroundWindow();
}

TEST(StartUp, OnlyTheExactTailsSlashPAndSlashOStartRecipientMode)
{
    const TargetWindow target;
    ASSERT_TRUE(target.Exists());
    const DataDirectory data;
    const SettingsScope settings;
    const struct {
        const wchar_t* tail;
        bool recipientMode;
    } cases[] = {{L"", false}, {L"/O", false}, {L"/o ", false}, {L"/p", true}, {L"/o", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf8(L"tail \"" + std::wstring(c.tail) + L"\""));
        MessageBoxCatcher boxes;
        AddressBookRun book(c.tail, data.Path(), &boxes);
        ASSERT_TRUE(book.Started()) << book.Describe();
        const HWND recipientBox = FindWindowExW(book.MainWindow(), nullptr, L"ToBoxClass", nullptr);
        EXPECT_EQ(c.recipientMode, recipientBox != nullptr);
        EXPECT_EQ(0, book.Close());
    }
}

TEST(StartUp, ASecondStartBringsTheFirstForwardAndEnds)
{
    const DataDirectory data;
    const SettingsScope settings;
    MessageBoxCatcher boxes;
    AddressBookRun first(L"", data.Path(), &boxes);
    ASSERT_TRUE(first.Started()) << first.Describe();
    for (const wchar_t* tail : {L"", L"/p"}) {
        SCOPED_TRACE(Utf8(L"second start with \"" + std::wstring(tail) + L"\""));
        const ForegroundWindow other;
        ASSERT_EQ(other.Get(), GetForegroundWindow());
        AddressBookRun second(tail, data.Path());
        EXPECT_EQ(0, second.WaitForExit()) << second.Describe();
        // The first program's thread takes the activation when it next looks at its messages.
        EXPECT_TRUE(BecomesForeground(first.MainWindow()));
    }
    EXPECT_TRUE(first.Running());
    EXPECT_EQ(0, first.Close());
}

TEST(StartUp, FailuresBeforeTheWindowAreToldAndEndTheProgram)
{
    const DataDirectory data;
    const SettingsScope settings;
    // Taken before the registry changes: they come from the installed library.
    const std::wstring targetMissing = AddressBookString(IDS_TARGET_MISSING);
    const std::wstring shortTitle = AddressBookString(IDS_APP_TITLE).substr(0, 19);
    ASSERT_FALSE(targetMissing.empty());
    const LibraryAtDriveRoot stray(data.Path());
    ASSERT_TRUE(stray.Copied());
    const struct {
        const char* name;
        void (*arrange)(const std::wstring& dataPath);
        const wchar_t* tail;
        std::wstring caption;
        std::wstring text;
    } cases[] = {
        {"no registry key", [](const std::wstring&) { DeleteRegKey(L"1.64"); }, L"", L"Address Book",
         L"Can't Open Registory"},
        {"no resource library in \"Dir\"",
         [](const std::wstring& dataPath) { WriteRegValue(L"1.64", StringValue(L"Dir", dataPath)); }, L"",
         L"Address Book", L"Can't Load Resource File"},
        {"no \"Dir\" value", [](const std::wstring&) { DeleteRegValue(L"1.64", L"Dir"); }, L"", L"Address Book",
         L"Can't Load Resource File"},
        {"an empty \"Dir\"", [](const std::wstring&) { WriteRegValue(L"1.64", StringValue(L"Dir", L"")); }, L"",
         L"Address Book", L"Can't Load Resource File"},
        {"recipient mode without the port settings dialog", [](const std::wstring&) {}, L"/p", shortTitle,
         targetMissing},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const RegistryScope registry;
        c.arrange(data.Path());
        MessageBoxCatcher boxes;
        boxes.Expect(c.caption, c.text);
        AddressBookRun book(c.tail, data.Path(), &boxes);
        EXPECT_EQ(0, book.WaitForExit()) << book.Describe();
        EXPECT_TRUE(boxes.WaitForBoxes(1)) << Utf8(boxes.Describe());
    }
}

} // namespace
