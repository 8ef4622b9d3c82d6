#include "addressbook/core/program.h"

#include "addressbook/core/main_window.h"
#include "addressbook/core/resource_ids.h"

#include <string>

Program g_program;

namespace {
constexpr int kTextChars = 1024;
constexpr int kCaptionChars = 128;

// The text with its first "%s" replaced by the argument; nothing else in it is a format.
std::string FillArgument(const std::string& text, const char* argument)
{
    const size_t at = text.find("%s");
    return at == std::string::npos ? text : text.substr(0, at) + argument + text.substr(at + 2);
}
} // namespace

LeadBytes SystemLeadBytes()
{
    CPINFO info = {};
    return GetCPInfo(CP_ACP, &info) ? LeadBytes(info.LeadByte, MAX_LEADBYTES) : LeadBytes();
}

void LoadResourceText(UINT id, char* buffer, int capacity)
{
    if (capacity <= 0)
        return;
    if (g_program.resources == nullptr || LoadString(g_program.resources, id, buffer, capacity) <= 0)
        buffer[0] = '\0';
}

int ShowProgramMessage(HWND owner, UINT textId, UINT style, const char* argument)
{
    char caption[kCaptionChars];
    char text[kTextChars];
    LoadResourceText(IDS_APP_TITLE, caption, kCaptionChars);
    LoadResourceText(textId, text, kTextChars);
    if (argument != nullptr)
        return MessageBox(owner, FillArgument(text, argument).c_str(), caption, style | MB_SETFOREGROUND);
    return MessageBox(owner, text, caption, style | MB_SETFOREGROUND);
}
