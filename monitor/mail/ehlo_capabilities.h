#pragma once
#include <cstddef>
#include <cstdint>

// What a server offers in its reply to "EHLO": one keyword a line after the code ("250-STARTTLS",
// "250-AUTH PLAIN LOGIN", "250 SIZE 10240000"). Fed the reply's bytes as they arrive; a line is
// read whole up to a bound, so that a capability far into a long reply still counts.

constexpr size_t kCapabilityLineCapacity = 512; // a longer line names nothing the monitor uses

class EhloCapabilities {
public:
    EhloCapabilities() { Reset(); }
    void Reset();
    void Feed(const char* data, size_t length);

    bool StartTls() const { return startTls_; }
    bool AuthPlain() const { return authPlain_; }
    bool AuthLogin() const { return authLogin_; }
    // The largest message the server takes, in bytes; 0: no limit was given.
    uint64_t SizeLimit() const { return sizeLimit_; }

private:
    void TakeLine();

    char line_[kCapabilityLineCapacity];
    size_t length_;
    bool overlong_;
    bool firstLine_; // names the server, not a capability
    bool startTls_;
    bool authPlain_;
    bool authLogin_;
    uint64_t sizeLimit_;
};
