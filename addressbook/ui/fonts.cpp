#include "addressbook/ui/fonts.h"

#include "addressbook/core/program.h"

namespace {
// "MS ゴシック" (the fixed-pitch Gothic font of Japanese Windows) in Shift-JIS: the font is asked
// for by this name whatever the user's language, so that its metrics stay the same.
constexpr char kGothicFace[] = "\x4D\x53\x20\x83\x53\x83\x56\x83\x62\x83\x4E";
constexpr int kFontPoints = 9;

BYTE FontCharset()
{
    return PRIMARYLANGID(GetUserDefaultLangID()) == LANG_JAPANESE ? SHIFTJIS_CHARSET : ANSI_CHARSET;
}

// A 9-point character height on the main list's device context, or the screen's before the list
// exists.
int FontHeight()
{
    const ScopedWindowDc dc(IsWindow(g_program.mainList) ? g_program.mainList : nullptr);
    return -MulDiv(kFontPoints, GetDeviceCaps(dc.Get(), LOGPIXELSY), 72);
}

HFONT StockSystemFont()
{
    return static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

TEXTMETRIC MetricsOf(HFONT font)
{
    TEXTMETRIC metrics = {};
    const ScopedWindowDc screen(nullptr);
    const ScopedSelection selected(screen.Get(), font != nullptr ? font : StockSystemFont());
    GetTextMetrics(screen.Get(), &metrics);
    return metrics;
}
} // namespace

FontSlot g_statusFont;
FontSlot g_listFont;
FontSlot g_columnBarFont;
FontSlot g_recipientFont;

HFONT CreateAddressBookFont(bool bold)
{
    return CreateFont(FontHeight(), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, FontCharset(), 0, 0,
                      0, 0, kGothicFace);
}

void FontSlot::Make(bool bold, int attempts)
{
    Delete(); // a slot holds one font at most
    for (int i = 0; i < attempts && !font_; ++i)
        font_.Reset(CreateAddressBookFont(bold));
}

void FontSlot::Apply(HWND window) const
{
    const HFONT font = font_ ? font_.Get() : StockSystemFont();
    SendMessage(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

void FontSlot::Detach(HWND window) const
{
    if (font_)
        SendMessage(window, WM_SETFONT, reinterpret_cast<WPARAM>(StockSystemFont()), FALSE);
}

int PaddedTextHeight(HFONT font)
{
    return MetricsOf(font).tmHeight + 2;
}

int PaddedCharWidth(HFONT font)
{
    return MetricsOf(font).tmAveCharWidth + 1;
}
