#include "monitor/ui/dialog_common.h"

#include "monitor/ui/dialogs.h"

namespace {
// "ＭＳ Ｐゴシック", the proportional Gothic font of Japanese Windows.
constexpr WCHAR kJapaneseDialogFace[] = L"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF";
constexpr int kDialogFontPoints = 9;
} // namespace

void CenterWindowOnScreen(HWND window)
{
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    RECT rect;
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    MoveWindow(window, screenWidth / 2 - width / 2, screenHeight / 2 - height / 2, width, height, TRUE);
}

void ForceForegroundWindow(HWND window)
{
    // A thread may take the foreground only while it shares input with the thread that has it.
    const DWORD foregroundThread = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    const DWORD thisThread = GetCurrentThreadId();
    AttachThreadInput(thisThread, foregroundThread, TRUE);
    SetForegroundWindow(window);
    AttachThreadInput(thisThread, foregroundThread, FALSE);
}

HFONT CreateDialogFont(HDC dc)
{
    if (PRIMARYLANGID(GetUserDefaultLangID()) != LANG_JAPANESE)
        return nullptr;
    const int height = -MulDiv(kDialogFontPoints, GetDeviceCaps(dc, LOGPIXELSY), 72);
    return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, 0, 0, 0, 0,
                       kJapaneseDialogFace);
}

HFONT CreateDialogFontFor(HWND control)
{
    HDC dc = GetDC(control);
    HFONT font = CreateDialogFont(dc);
    ReleaseDC(control, dc);
    return font;
}

void SendFontToControls(HWND dialog, HFONT font, std::initializer_list<int> controlIds)
{
    if (font == nullptr)
        return;
    for (int id : controlIds)
        SendDlgItemMessageW(dialog, id, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

void EnableControls(HWND dialog, bool enable, std::initializer_list<int> controlIds)
{
    for (int id : controlIds)
        EnableWindow(GetDlgItem(dialog, id), enable);
}
