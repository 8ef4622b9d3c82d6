// The notice dialog behind the export Display347Check, driven in the installed monitor.
#include "monitor/core/resource_ids.h"
#include "monitor/ui/dialog_ids.h"
#include "printhost/loaded_monitor.h"
#include "tests/wine/support/dialog_driver.h"
#include "tests/wine/support/dialog_monitor.h"
#include "tests/wine/support/message_box_catcher.h"
#include "tests/wine/support/registry_scope.h"

#include <gtest/gtest.h>

namespace {
constexpr wchar_t kNoticeCaption[] = L"Velloprint Notice";
constexpr wchar_t kVersionKey[] = L"1.64";
constexpr wchar_t kNoticeValue[] = L"347Check";

class NoticeDialog : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(display347Check_, nullptr); }

    DialogThread ShowNotice()
    {
        return DialogThread([this] { return static_cast<INT_PTR>(display347Check_(nullptr)); });
    }
    void SetNoticeValue(DWORD value) { WriteRegValue(kVersionKey, DwordValue(kNoticeValue, value)); }
    DWORD NoticeValue() const { return RegNumber(kVersionKey, kNoticeValue); }

    MessageBoxCatcher boxes_;
    RegistryScope registry_;
    LoadedMonitor monitor_;
    Display347CheckFn display347Check_ = FindDisplay347Check(monitor_.Module());
};

TEST_F(NoticeDialog, ShownWithTheBoxClearedWhileTheValueIsZero)
{
    SetNoticeValue(0);
    DialogThread notice = ShowNotice();
    DriveDialog(notice, kNoticeCaption, [&](HWND dialog) {
        EXPECT_FALSE(IsChecked(dialog, IDC_NOTICE_DONT_SHOW));
    }, IDOK);
    EXPECT_EQ(notice.Result(), 1);
}

TEST_F(NoticeDialog, OkWithTheBoxCheckedStoresOneAndTheNextCallReturnsAtOnce)
{
    SetNoticeValue(0);
    {
        DialogThread notice = ShowNotice();
        DriveDialog(notice, kNoticeCaption, [&](HWND dialog) {
            Click(dialog, IDC_NOTICE_DONT_SHOW);
        }, IDOK);
        EXPECT_EQ(notice.Result(), 1);
    }
    EXPECT_EQ(NoticeValue(), 1u);

    DialogThread again = ShowNotice();
    ASSERT_TRUE(again.WaitForEnd()) << "the notice waited for the user although it is switched off";
    EXPECT_EQ(again.Result(), 1);
}

TEST_F(NoticeDialog, OkWithTheBoxClearedStoresZeroAndTheNoticeComesAgain)
{
    SetNoticeValue(0);
    {
        DialogThread notice = ShowNotice();
        DriveDialog(notice, kNoticeCaption, [](HWND) {}, IDOK);
    }
    EXPECT_EQ(NoticeValue(), 0u);

    DialogThread again = ShowNotice();
    HWND dialog = again.WaitForDialog(kNoticeCaption);
    ASSERT_NE(dialog, nullptr) << again.Describe();
    PostClick(dialog, IDOK);
    EXPECT_TRUE(again.WaitForEnd());
}

TEST_F(NoticeDialog, AnyNonZeroValueSkipsTheNoticeAndKeepsTheValue)
{
    for (DWORD value : {1u, 5u, 0xFFFFFFFFu}) {
        SetNoticeValue(value);
        DialogThread notice = ShowNotice();
        ASSERT_TRUE(notice.WaitForEnd()) << value;
        EXPECT_EQ(notice.Result(), 1) << value;
        EXPECT_EQ(NoticeValue(), value);
    }
}

TEST_F(NoticeDialog, EscapeAndTheCloseBoxLeaveTheNoticeOpen)
{
    SetNoticeValue(0);
    DialogThread notice = ShowNotice();
    HWND dialog = notice.WaitForDialog(kNoticeCaption);
    ASSERT_NE(dialog, nullptr) << notice.Describe();

    PostKey(GetDlgItem(dialog, IDOK), VK_ESCAPE);
    PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(notice.Flush());
    EXPECT_FALSE(notice.WaitForEnd(0));
    EXPECT_EQ(notice.FindDialog(kNoticeCaption), dialog);

    PostClick(dialog, IDOK);
    EXPECT_TRUE(notice.WaitForEnd());
}

TEST_F(NoticeDialog, MissingValueCountsAsNotYetConfirmed)
{
    DeleteRegValue(kVersionKey, kNoticeValue);
    DialogThread notice = ShowNotice();
    DriveDialog(notice, kNoticeCaption, [&](HWND dialog) {
        Click(dialog, IDC_NOTICE_DONT_SHOW);
    }, IDOK);
    EXPECT_EQ(NoticeValue(), 1u);
}

TEST_F(NoticeDialog, MissingKeyIsReportedAtOpeningAndAtOkWhichCloses)
{
    DeleteRegKey(kVersionKey);
    const std::wstring caption = ResourceString(IDS_MESSAGE_CAPTION);
    const std::wstring text = ResourceString(IDS_NOTICE_REGISTRY);
    boxes_.Expect(caption, text);
    boxes_.Expect(caption, text);

    DialogThread notice = ShowNotice();
    ASSERT_TRUE(boxes_.WaitForBoxes(1));
    HWND dialog = notice.WaitForDialog(kNoticeCaption);
    ASSERT_NE(dialog, nullptr) << "the notice is shown when the setting cannot be read";
    PostClick(dialog, IDOK);
    ASSERT_TRUE(boxes_.WaitForBoxes(2));
    ASSERT_TRUE(notice.WaitForEnd());
    EXPECT_EQ(notice.Result(), 1);
    for (const SeenBox& box : boxes_.Seen())
        EXPECT_EQ(MessageBoxIcon(box.style), 0u) << "no icon";
}
} // namespace
