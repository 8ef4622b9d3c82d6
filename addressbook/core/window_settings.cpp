#include "addressbook/core/window_settings.h"

#include <cstdio>

namespace {

constexpr char kSettingsFile[] = "kapadr.ini"; // no directory: it lives in the Windows directory
constexpr char kWindowSection[] = "window";
constexpr char kColumnSection[] = "InBox";

int ReadNumber(const char* section, const char* key, int fallback)
{
    return static_cast<int>(GetPrivateProfileIntA(section, key, fallback, kSettingsFile));
}

void WriteNumber(const char* section, const char* key, int value)
{
    char text[16];
    snprintf(text, sizeof(text), "%d", value);
    WritePrivateProfileStringA(section, key, text, kSettingsFile);
}

} // namespace

SavedPlacement ReadSavedPlacement()
{
    SavedPlacement saved;
    saved.x = ReadNumber(kWindowSection, "x", kMissingSetting);
    saved.y = ReadNumber(kWindowSection, "y", kMissingSetting);
    saved.width = ReadNumber(kWindowSection, "width", kMissingSetting);
    saved.height = ReadNumber(kWindowSection, "height", kMissingSetting);
    return saved;
}

void SavePlacement(HWND window)
{
    RECT outer;
    if (!GetWindowRect(window, &outer))
        return;
    WriteNumber(kWindowSection, "x", outer.left);
    WriteNumber(kWindowSection, "y", outer.top);
    WriteNumber(kWindowSection, "width", outer.right - outer.left);
    WriteNumber(kWindowSection, "height", outer.bottom - outer.top);
}

bool ReadZoom()
{
    return ReadNumber(kWindowSection, "zoom", 0) != 0;
}

void SaveZoom(bool maximised)
{
    WriteNumber(kWindowSection, "zoom", maximised ? 1 : 0);
}

ColumnWidths ReadColumnWidths()
{
    const ColumnWidths defaults;
    ColumnWidths widths;
    widths.attribute = ReadNumber(kColumnSection, "attribute", defaults.attribute);
    widths.sender = ReadNumber(kColumnSection, "sender", defaults.sender);
    widths.date = ReadNumber(kColumnSection, "date", defaults.date);
    widths.subject = ReadNumber(kColumnSection, "subject", defaults.subject);
    return widths;
}

void SaveColumnWidths(const ColumnWidths& widths)
{
    WriteNumber(kColumnSection, "attribute", widths.attribute);
    WriteNumber(kColumnSection, "sender", widths.sender);
    WriteNumber(kColumnSection, "date", widths.date);
    WriteNumber(kColumnSection, "subject", widths.subject);
}
