#include "monitor/core/port_setup_options.h"
#include <gtest/gtest.h>
#include <deque>
#include <string>
#include <vector>

namespace {

// The options point into the arguments: every list is kept for the test's run.
bool Parse(std::vector<std::wstring> arguments, PortSetupOptions* options, std::wstring* error = nullptr)
{
    static std::deque<std::vector<std::wstring>> kept;
    kept.push_back(std::move(arguments));
    std::vector<const wchar_t*> pointers;
    for (const std::wstring& argument : kept.back())
        pointers.push_back(argument.c_str());
    wchar_t text[256] = L"";
    const bool parsed = ParsePortSetupOptions(static_cast<int>(pointers.size()), pointers.data(), options, text, 256);
    if (error != nullptr)
        *error = text;
    return parsed;
}

TEST(PortSetupOptions, BadOptionsAndValuesAreRefusedWithTheirReason)
{
    const std::vector<std::vector<std::wstring>> bad = {
        {},
        {L"LPT1"},
        {L"NMX1", L"--server"},
        {L"NMX1", L"--smtp-port", L"-1"},
        {L"NMX1", L"--show-settings", L"yes"},
        {L"NMX1", L"--cert-sha256", std::wstring(63, L'a')},
        {L"NMX1", L"--cert-sha256", std::wstring(63, L'a') + L"g"},
        {L"NMX1", L"--user", std::wstring(128, L'u')},
        {L"NMX1", L"--delete", L"--server", L"x"},
    };
    for (const auto& arguments : bad) {
        PortSetupOptions o;
        std::wstring error;
        EXPECT_FALSE(Parse(arguments, &o, &error)) << arguments.size();
        EXPECT_FALSE(error.empty());
    }
    PortSetupOptions o;
    std::wstring error;
    Parse({L"NMX1", L"--smtp-port", L"70000"}, &o, &error);
    EXPECT_NE(std::wstring::npos, error.find(L"70000")) << "the message names the value";
    ASSERT_TRUE(Parse({L"nmx9", L"--parts", L"off", L"--cert-sha256", L"", L"--password-stdin"}, &o));
    EXPECT_TRUE(o.hasParts && o.partLimitKb == 0 && o.passwordFromStdin && !o.hasPort);
}

} // namespace
