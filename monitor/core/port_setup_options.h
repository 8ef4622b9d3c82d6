#pragma once
#include <cstddef>
#include <cstdint>

// The options of "nmxsetup port NAME ...", checked as the configuration dialog checks its fields.
// Only the options given change the port; the rest keep what is stored.

constexpr size_t kMaxDestinationChars = 13000;
constexpr size_t kMaxFieldChars = 127; // sender, server, user: what the dialog takes

struct PortSetupOptions {
    const wchar_t* name = nullptr;
    bool remove = false;           // --delete
    const wchar_t* to = nullptr;   // --to, as typed: the separators are made ";" as in the dialog
    const wchar_t* from = nullptr;
    const wchar_t* server = nullptr;
    const wchar_t* user = nullptr;
    const wchar_t* pin = nullptr;  // --cert-sha256: 64 hexadecimal digits, or "" to remove the pin
    bool passwordFromStdin = false;
    bool hasSecurity = false;
    uint32_t security = 0;
    bool hasPort = false;
    uint32_t port = 0;             // 0: the mode's own port
    bool hasParts = false;
    uint32_t partLimitKb = 0;      // 0: --parts off
    bool hasShowSettings = false;
    bool showSettings = false;
};

// Reads the arguments after "port". False with a message in error (capacity characters) for an
// unknown option, a missing or bad value, a bad port name, or --delete with anything else.
bool ParsePortSetupOptions(int count, const wchar_t* const* arguments, PortSetupOptions* options, wchar_t* error,
                           size_t capacity);
