// The installed address book in recipient mode: its recipient box and the hand-over, received by
// a window of this test titled as the port settings dialog, which takes the posted "WM_SENDADDR"
// from its queue once the address book has ended.
#include <windows.h>

#include "addressbook/core/resource_ids.h"
#include "tests/wine/support/address_book.h"
#include "tests/wine/support/dialog_gtest_printer.h"
#include "tests/wine/support/message_box_catcher.h"
#include "tests/wine/support/programs.h"
#include "tests/wine/support/registry_scope.h"
#include "tests/wine/support/spool_directory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

const bool kQuietFailures = (PrintFailuresWithoutDebugOutput(), true);

using Refs = std::vector<uint32_t>;

uint32_t Personal(uint32_t index)
{
    return index << 16;
}

uint32_t Group(uint32_t index)
{
    return index << 16 | 1;
}

const uint32_t kPredefined = Personal(0);

// Personal indexes 1 to 4; "Dan" has no address. Groups 0 and 1.
const std::vector<PersonalRecord> kPeople = {
    {"Ann", "ann@x.jp", ";;", ""},
    {"Bob", "bob@x.jp", ";;", ""},
    {"Cid", "cid@x.jp", ";;", ""},
    {"Dan", "", ";;", ""},
};
const std::vector<GroupRecord> kGroups = {
    {"Team", "", {"Bob", "Dan", "Cid"}},
    {"Nobody", "", {}},
};
// The main list: the people, then the groups, in index order.
const Refs kMainList = {Personal(1), Personal(2), Personal(3), Personal(4), Group(0), Group(1)};

// A top-level window of this test titled as the port settings dialog: the address book's target.
// Its messages wait in this thread's queue, which nothing else here reads.
class Receiver {
public:
    Receiver()
        : window_(CreateWindowW(L"STATIC", AddressBookString(IDS_TARGET_TITLE).c_str(), WS_OVERLAPPED, 0, 0, 100,
                                100, nullptr, nullptr, nullptr, nullptr)),
          message_(RegisterWindowMessageW(L"WM_SENDADDR"))
    {
    }
    ~Receiver() { Close(); }
    Receiver(const Receiver&) = delete;
    Receiver& operator=(const Receiver&) = delete;

    bool Exists() const { return window_ != nullptr; }
    void Close()
    {
        if (window_ != nullptr)
            DestroyWindow(window_);
        window_ = nullptr;
    }

    struct HandOver {
        int messages = 0;
        std::wstring atomName;
        LPARAM length = 0;
    };
    // Every "WM_SENDADDR" that came, as the dialog takes it: the atom's name, the atom deleted.
    HandOver Take()
    {
        HandOver got;
        MSG message;
        while (window_ != nullptr && PeekMessageW(&message, window_, message_, message_, PM_REMOVE)) {
            ++got.messages;
            wchar_t name[300] = {};
            GlobalGetAtomNameW(static_cast<ATOM>(message.wParam), name, 300);
            GlobalDeleteAtom(static_cast<ATOM>(message.wParam));
            got.atomName = name;
            got.length = message.lParam;
        }
        return got;
    }

private:
    HWND window_;
    UINT message_;
};

// One run in recipient mode over the data files, a "PreDef.ADR" as the port settings dialog
// leaves it, and a receiver.
class RecipientRun {
public:
    // Without `predefined` there is no "PreDef.ADR".
    RecipientRun(bool withGroups, const std::optional<std::string>& predefined)
    {
        EXPECT_TRUE(data_.Write(L"personal.inf", PersonalFile(kPeople)));
        if (withGroups) {
            EXPECT_TRUE(data_.Write(L"group.inf", GroupFile(kGroups)));
        }
        DeleteFileW(HandOverPath().c_str());
        // Global atoms live as long as the Wine session: none is left from an earlier run.
        for (ATOM atom; (atom = GlobalFindAtomW(HandOverPath().c_str())) != 0;)
            GlobalDeleteAtom(atom);
        if (predefined) {
            WriteHandOverFile(*predefined);
        }
        book_.reset(new AddressBookRun(L"/p", data_.Path(), &boxes_));
    }
    ~RecipientRun() { DeleteFileW(HandOverPath().c_str()); }

    static std::wstring HandOverPath() { return SpoolDirectory() + L"\\PreDef.ADR"; }
    static void WriteHandOverFile(const std::string& content)
    {
        HANDLE file = CreateFileW(HandOverPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
        CloseHandle(file);
    }
    static std::string HandOverFile()
    {
        std::string bytes;
        HANDLE file = CreateFileW(HandOverPath().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return "<missing>";
        char chunk[1024];
        DWORD got = 0;
        while (ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0)
            bytes.append(chunk, got);
        CloseHandle(file);
        return bytes;
    }

    AddressBookRun& Book() { return *book_; }
    MessageBoxCatcher& Boxes() { return boxes_; }
    Receiver& Target() { return receiver_; }

private:
    Receiver receiver_; // before the program starts: it looks for its target at once
    const DataDirectory data_;
    MessageBoxCatcher boxes_;
    std::unique_ptr<AddressBookRun> book_;
};

// The recipient box's buttons. (Command 102's menu state is not readable from another process.)
struct Enabling {
    bool add;
    bool remove;
    bool send;
    bool operator==(const Enabling& other) const
    {
        return add == other.add && remove == other.remove && send == other.send;
    }
};

std::ostream& operator<<(std::ostream& out, const Enabling& e)
{
    return out << "add " << e.add << ", remove " << e.remove << ", send " << e.send;
}

Enabling EnablingOf(const AddressBookRun& book)
{
    const HWND box = book.RecipientBox();
    return {IsWindowEnabled(GetDlgItem(box, IDC_RECIPIENT_ADD)) != FALSE,
            IsWindowEnabled(GetDlgItem(box, IDC_RECIPIENT_REMOVE)) != FALSE,
            IsWindowEnabled(GetDlgItem(box, IDC_RECIPIENT_SEND)) != FALSE};
}

// A child's rectangle in its parent's client coordinates.
RECT PlaceOf(HWND child)
{
    RECT place = {};
    GetWindowRect(child, &place);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

int SystemTextHeight()
{
    HDC screen = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(screen, GetStockObject(SYSTEM_FONT));
    TEXTMETRICW metrics = {};
    GetTextMetricsW(screen, &metrics);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    return metrics.tmHeight + 2;
}

TEST(RecipientBox, StartsWithThePredefinedEntryAndTakesPickedEntriesOnce)
{
    const SettingsScope settings;
    const std::string kept = std::string("kept@x.jp") + '\0';
    RecipientRun run(true, kept);
    AddressBookRun& book = run.Book();
    ASSERT_TRUE(book.Started()) << book.Describe();
    ASSERT_NE(book.RecipientBox(), nullptr);
    EXPECT_EQ(kMainList, book.Items());
    EXPECT_EQ(Refs{kPredefined}, book.Recipients());
    EXPECT_EQ((Enabling{false, false, true}), EnablingOf(book));

    const struct {
        const char* what;
        void (*act)(AddressBookRun& book);
        Refs recipients;
        Enabling enabling;
    } steps[] = {
        {"a person and a group picked, added by command 102",
         [](AddressBookRun& b) {
             b.Select({0, 4});
             EXPECT_TRUE(b.Command(CMD_ADD_RECIPIENT));
         },
         {kPredefined, Personal(1), Group(0)}, {true, false, true}},
        {"picked again with another, added once by the add button",
         [](AddressBookRun& b) {
             b.Select({0, 1, 4});
             EXPECT_TRUE(b.Press(IDC_RECIPIENT_ADD));
         },
         {kPredefined, Personal(1), Group(0), Personal(2)}, {true, false, true}},
        {"recipients selected",
         [](AddressBookRun& b) {
             b.Select({});
             b.SelectRecipients({0, 2});
         },
         {kPredefined, Personal(1), Group(0), Personal(2)}, {false, true, true}},
        {"removed by the remove button",
         [](AddressBookRun& b) { EXPECT_TRUE(b.Press(IDC_RECIPIENT_REMOVE)); },
         {Personal(1), Personal(2)}, {false, false, true}},
        {"a deleted entry leaves the recipients too",
         [](AddressBookRun& b) {
             b.Select({1});
             EXPECT_TRUE(b.Command(CMD_DELETE));
         },
         {Personal(1)}, {false, false, true}},
        {"the last one removed: nothing to send",
         [](AddressBookRun& b) {
             b.SelectRecipients({0});
             EXPECT_TRUE(b.Press(IDC_RECIPIENT_REMOVE));
         },
         {}, {false, false, false}},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.what);
        s.act(book);
        EXPECT_EQ(s.recipients, book.Recipients());
        EXPECT_EQ(s.enabling, EnablingOf(book));
    }

    // Closed without send: nothing is handed over.
    EXPECT_EQ(0, book.Close());
    EXPECT_EQ(0, run.Target().Take().messages);
    EXPECT_EQ(kept, RecipientRun::HandOverFile());
}

TEST(RecipientBox, ButtonsAtTheLeftAndTheListFourLinesHighBesideThem)
{
    const SettingsScope settings;
    RecipientRun run(true, "");
    AddressBookRun& book = run.Book();
    ASSERT_TRUE(book.Started()) << book.Describe();
    const HWND box = book.RecipientBox();
    RECT client = {};
    GetClientRect(box, &client);
    const int line = std::max(16, SystemTextHeight());
    EXPECT_EQ(std::max(82, 4 * line + 12), client.bottom);

    const struct {
        int id;
        RECT place;
    } buttons[] = {
        {IDC_RECIPIENT_ADD, {6, 6, 106, 28}},
        {IDC_RECIPIENT_REMOVE, {6, 30, 106, 52}},
        {IDC_RECIPIENT_SEND, {6, 54, 106, 76}},
    };
    for (const auto& b : buttons) {
        SCOPED_TRACE(b.id);
        const RECT place = PlaceOf(GetDlgItem(box, b.id));
        EXPECT_EQ(b.place.left, place.left);
        EXPECT_EQ(b.place.top, place.top);
        EXPECT_EQ(b.place.right, place.right);
        EXPECT_EQ(b.place.bottom, place.bottom);
    }
    for (const auto& b : {std::make_pair(IDC_RECIPIENT_ADD, IDS_BUTTON_ADD),
                          std::make_pair(IDC_RECIPIENT_REMOVE, IDS_BUTTON_REMOVE),
                          std::make_pair(IDC_RECIPIENT_SEND, IDS_BUTTON_SEND)}) {
        wchar_t caption[64] = {};
        GetWindowTextW(GetDlgItem(box, b.first), caption, 64);
        EXPECT_EQ(AddressBookString(b.second).substr(0, 19), caption);
    }
    // The list keeps whole rows: its height is at most the four lines asked for.
    const RECT list = PlaceOf(GetDlgItem(box, IDC_RECIPIENT_LIST));
    EXPECT_EQ(112, list.left);
    EXPECT_EQ((client.bottom - 4 * line) / 2, list.top);
    EXPECT_EQ(client.right - 6, list.right);
    EXPECT_LE(list.bottom - list.top, 4 * line);
    EXPECT_GT(list.bottom - list.top, 4 * line - static_cast<int>(SendMessageW(GetDlgItem(box, IDC_RECIPIENT_LIST),
                                                                               LB_GETITEMHEIGHT, 0, 0)) - 1);
    EXPECT_EQ(0, book.Close());
}

// The addresses each send leaves in the file and the count it announces; the address book ends.
TEST(HandOver, WritesTheChosenAddressesNamesTheFileAndEnds)
{
    const SettingsScope settings;
    const std::string z(1, '\0');
    const struct {
        const char* what;
        bool withGroups;
        std::string before;
        std::vector<int> picked;  // main-list positions, added with command 102
        bool removePredefined;
        std::string after;
        LPARAM length;
    } cases[] = {
        // Keep mode: the kept text, ";" over its terminator, then the new addresses; "Dan" has no
        // address and gives no separator. 10 kept + 1 + 3 x 9 + 1 = 39, 2 more than the text's 37.
        {"kept text, a person and a group", true, "kept@x.jp" + z, {0, 4}, false,
         "kept@x.jp;ann@x.jp;bob@x.jp;cid@x.jp" + z, 39},
        {"the predefined entry removed, over a longer file", true, "a-much-longer-old-list@x.jp" + z, {2}, true,
         "cid@x.jp" + z + "nger-old-list@x.jp" + z, 10},
        {"only the predefined entry, over an empty file", true, "", {}, false, z, 1},
        {"without a group file", false, "kept@x.jp" + z, {1}, false, "kept@x.jp;bob@x.jp" + z, 21},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RecipientRun run(c.withGroups, c.before);
        AddressBookRun& book = run.Book();
        ASSERT_TRUE(book.Started()) << book.Describe();
        if (c.removePredefined) {
            book.SelectRecipients({0});
            EXPECT_TRUE(book.Press(IDC_RECIPIENT_REMOVE));
        }
        book.Select(c.picked);
        EXPECT_TRUE(book.Command(CMD_ADD_RECIPIENT));
        EXPECT_TRUE(book.Press(IDC_RECIPIENT_SEND));
        EXPECT_EQ(0, book.WaitForExit()) << book.Describe();
        const Receiver::HandOver got = run.Target().Take();
        EXPECT_EQ(1, got.messages);
        EXPECT_EQ(RecipientRun::HandOverPath(), got.atomName);
        EXPECT_EQ(c.length, got.length);
        EXPECT_EQ(c.after, RecipientRun::HandOverFile());
        EXPECT_EQ(0, GlobalFindAtomW(RecipientRun::HandOverPath().c_str())) << "an atom is left";
    }
}

TEST(HandOver, WithTheTargetGoneTheFileIsWrittenAndNoAtomLeft)
{
    const SettingsScope settings;
    RecipientRun run(true, std::string("kept@x.jp") + '\0');
    AddressBookRun& book = run.Book();
    ASSERT_TRUE(book.Started()) << book.Describe();
    book.Select({0});
    EXPECT_TRUE(book.Command(CMD_ADD_RECIPIENT));
    run.Target().Close();
    EXPECT_TRUE(book.Press(IDC_RECIPIENT_SEND));
    EXPECT_EQ(0, book.WaitForExit()) << book.Describe();
    EXPECT_EQ(std::string("kept@x.jp;ann@x.jp") + '\0', RecipientRun::HandOverFile());
    EXPECT_EQ(0, GlobalFindAtomW(RecipientRun::HandOverPath().c_str())) << "an atom is left";
}

// A directory whose "PreDef.ADR" has a path of exactly that many characters, made of nested
// folders under the temporary folder; removed at the end.
class DeepDirectory {
public:
    explicit DeepDirectory(size_t handOverPathChars)
    {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        path_ = std::wstring(temp) + L"velloprint-deep";
        const size_t wanted = handOverPathChars - std::wstring(L"\\PreDef.ADR").size();
        made_.push_back(path_);
        // Folders of 60 characters, then one of what is left (at least 1).
        while (path_.size() < wanted) {
            const size_t left = wanted - path_.size();
            path_ += L"\\" + std::wstring(left > 62 ? 60 : left - 1, L'd');
            made_.push_back(path_);
        }
        for (const std::wstring& folder : made_)
            CreateDirectoryW(folder.c_str(), nullptr);
    }
    ~DeepDirectory()
    {
        DeleteFileW((path_ + L"\\PreDef.ADR").c_str());
        for (auto it = made_.rbegin(); it != made_.rend(); ++it)
            RemoveDirectoryW(it->c_str());
    }
    const std::wstring& Path() const { return path_; }
    bool Exists() const { return GetFileAttributesW(path_.c_str()) != INVALID_FILE_ATTRIBUTES; }

private:
    std::wstring path_;
    std::vector<std::wstring> made_;
};

TEST(HandOver, APathLongerThanAnAtomNameIsRefusedWithAMessage)
{
    const SettingsScope settings;
    const struct {
        size_t pathChars;
        bool handedOver;
    } cases[] = {{255, true}, {256, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pathChars);
        const RegistryScope registry;
        const DeepDirectory spool(c.pathChars);
        ASSERT_TRUE(spool.Exists());
        const std::wstring path = spool.Path() + L"\\PreDef.ADR";
        ASSERT_EQ(c.pathChars, path.size());
        ASSERT_TRUE(WriteRegValue(L"1.64", StringValue(L"TempDir", spool.Path())));
        RecipientRun run(true, std::nullopt);
        AddressBookRun& book = run.Book();
        if (!c.handedOver) {
            run.Boxes().Expect(AddressBookString(IDS_APP_TITLE), FormattedAddressBookString(IDS_HANDOVER_PATH_LONG, path));
        }
        ASSERT_TRUE(book.Started()) << book.Describe();
        book.Select({0});
        EXPECT_TRUE(book.Command(CMD_ADD_RECIPIENT));
        EXPECT_TRUE(book.Press(IDC_RECIPIENT_SEND));
        EXPECT_EQ(0, book.WaitForExit()) << book.Describe();
        const Receiver::HandOver got = run.Target().Take();
        EXPECT_EQ(c.handedOver ? 1 : 0, got.messages);
        EXPECT_EQ(c.handedOver ? path : L"", got.atomName);
        EXPECT_EQ(c.handedOver ? std::string("ann@x.jp") + '\0' : "<missing>", RecipientRun::HandOverFile());
    }
}

} // namespace
