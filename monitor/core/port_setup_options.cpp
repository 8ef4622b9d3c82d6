#include "monitor/core/port_setup_options.h"
#include "monitor/core/stored_numbers.h"
#include "monitor/mail/smtp_security.h"
#include "monitor/ui/port_name_rule.h"

#include <cwchar>

namespace {

bool Fail(wchar_t* error, size_t capacity, const wchar_t* what, const wchar_t* value)
{
    std::swprintf(error, capacity, L"%ls: \"%ls\"", what, value);
    return false;
}

bool ReadNumber(const wchar_t* text, NumberRange range, uint32_t* value)
{
    if (*text < L'0' || *text > L'9' || std::wcslen(text) > 9)
        return false;
    wchar_t* end = nullptr;
    const unsigned long number = std::wcstoul(text, &end, 10);
    if (*end != L'\0' || !range.Holds(static_cast<uint32_t>(number)))
        return false;
    *value = static_cast<uint32_t>(number);
    return true;
}

bool ReadSecurity(const wchar_t* text, uint32_t* value)
{
    static const wchar_t* const kNames[] = {L"none", L"starttls", L"tls"};
    for (uint32_t mode = 0; mode < 3; ++mode) {
        if (std::wcscmp(text, kNames[mode]) == 0) {
            *value = mode;
            return true;
        }
    }
    return false;
}

bool ReadSwitch(const wchar_t* text, bool* value)
{
    *value = std::wcscmp(text, L"on") == 0;
    return *value || std::wcscmp(text, L"off") == 0;
}

bool IsPin(const wchar_t* text)
{
    if (*text == L'\0')
        return true;
    char narrow[kSha256HexChars + 1];
    size_t length = 0;
    for (; text[length] != L'\0'; ++length) {
        if (length == kSha256HexChars || text[length] > 0x7F)
            return false;
        narrow[length] = static_cast<char>(text[length]);
    }
    narrow[length] = '\0';
    uint8_t pin[kSha256Bytes];
    return ParseSha256Hex(narrow, pin);
}

bool FitsField(const wchar_t* text, size_t maxChars)
{
    return std::wcslen(text) <= maxChars;
}

bool IsValueOption(const wchar_t* option)
{
    static const wchar_t* const kOptions[] = {L"--to", L"--from", L"--server", L"--user", L"--cert-sha256",
                                              L"--security", L"--smtp-port", L"--show-settings", L"--parts"};
    for (const wchar_t* known : kOptions) {
        if (std::wcscmp(option, known) == 0)
            return true;
    }
    return false;
}

// One option with its value; false for a bad value.
bool TakeOption(const wchar_t* option, const wchar_t* value, PortSetupOptions* o)
{
    if (std::wcscmp(option, L"--to") == 0)
        return FitsField(o->to = value, kMaxDestinationChars);
    if (std::wcscmp(option, L"--from") == 0)
        return FitsField(o->from = value, kMaxFieldChars);
    if (std::wcscmp(option, L"--server") == 0)
        return FitsField(o->server = value, kMaxFieldChars);
    if (std::wcscmp(option, L"--user") == 0)
        return FitsField(o->user = value, kMaxFieldChars);
    if (std::wcscmp(option, L"--cert-sha256") == 0)
        return IsPin(o->pin = value);
    if (std::wcscmp(option, L"--security") == 0)
        return o->hasSecurity = ReadSecurity(value, &o->security);
    if (std::wcscmp(option, L"--smtp-port") == 0)
        return o->hasPort = ReadNumber(value, kSmtpPortRange, &o->port);
    if (std::wcscmp(option, L"--show-settings") == 0)
        return o->hasShowSettings = ReadSwitch(value, &o->showSettings);
    if (std::wcscmp(option, L"--parts") == 0) {
        o->partLimitKb = 0;
        return o->hasParts = std::wcscmp(value, L"off") == 0 || ReadNumber(value, kPartLimitKbRange, &o->partLimitKb);
    }
    return false;
}

} // namespace

bool ParsePortSetupOptions(int count, const wchar_t* const* arguments, PortSetupOptions* options, wchar_t* error,
                           size_t capacity)
{
    *options = PortSetupOptions{};
    if (count < 1)
        return Fail(error, capacity, L"no port name", L"");
    options->name = arguments[0];
    if (!IsValidPortName(options->name))
        return Fail(error, capacity, L"not a valid port name", options->name);
    for (int i = 1; i < count; ++i) {
        const wchar_t* option = arguments[i];
        if (std::wcscmp(option, L"--delete") == 0) {
            options->remove = true;
        } else if (std::wcscmp(option, L"--password-stdin") == 0) {
            options->passwordFromStdin = true;
        } else if (!IsValueOption(option)) {
            return Fail(error, capacity, L"an unknown option", option);
        } else if (i + 1 >= count) {
            return Fail(error, capacity, L"an option without its value", option);
        } else if (!TakeOption(option, arguments[i + 1], options)) {
            return Fail(error, capacity, L"a bad value", arguments[i + 1]);
        } else {
            ++i;
        }
    }
    if (options->remove && count != 2)
        return Fail(error, capacity, L"--delete takes no other option", options->name);
    return true;
}
