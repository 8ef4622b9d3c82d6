#include "monitor/mail/ehlo_capabilities.h"

namespace {

constexpr size_t kCodeLength = 4; // "250-" or "250 "

char Upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The word at text, which ends at a blank or the end; true when it is keyword, in any case.
bool WordIs(const char* text, const char* end, const char* keyword)
{
    for (; *keyword != '\0'; ++text, ++keyword) {
        if (text == end || Upper(*text) != *keyword)
            return false;
    }
    return text == end || IsBlank(*text);
}

const char* NextWord(const char* text, const char* end)
{
    while (text != end && !IsBlank(*text))
        ++text;
    while (text != end && IsBlank(*text))
        ++text;
    return text;
}

// A decimal number alone up to the end; 0 (no limit) for anything else or one too large.
uint64_t ReadLimit(const char* text, const char* end)
{
    uint64_t value = 0;
    if (text == end)
        return 0;
    for (; text != end; ++text) {
        if (*text < '0' || *text > '9' || value > (UINT64_MAX - 9) / 10)
            return 0;
        value = value * 10 + static_cast<uint64_t>(*text - '0');
    }
    return value;
}

} // namespace

void EhloCapabilities::Reset()
{
    length_ = 0;
    overlong_ = false;
    firstLine_ = true;
    startTls_ = false;
    authPlain_ = false;
    authLogin_ = false;
    sizeLimit_ = 0;
}

void EhloCapabilities::Feed(const char* data, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        const char byte = data[i];
        if (byte == '\n') {
            if (!overlong_ && !firstLine_)
                TakeLine();
            firstLine_ = false;
            length_ = 0;
            overlong_ = false;
        } else if (length_ < kCapabilityLineCapacity) {
            line_[length_++] = byte;
        } else {
            overlong_ = true;
        }
    }
}

void EhloCapabilities::TakeLine()
{
    const char* end = line_ + length_;
    if (end != line_ && end[-1] == '\r')
        --end;
    // Only the lines of a 250 reply name capabilities.
    if (end - line_ < static_cast<long>(kCodeLength) || line_[0] != '2' || line_[1] != '5' || line_[2] != '0' ||
        (line_[3] != '-' && line_[3] != ' '))
        return;
    const char* keyword = line_ + kCodeLength;
    if (WordIs(keyword, end, "STARTTLS")) {
        startTls_ = true;
    } else if (WordIs(keyword, end, "SIZE")) {
        sizeLimit_ = ReadLimit(NextWord(keyword, end), end);
    } else if (WordIs(keyword, end, "AUTH")) {
        for (const char* word = NextWord(keyword, end); word != end; word = NextWord(word, end)) {
            authPlain_ = authPlain_ || WordIs(word, end, "PLAIN");
            authLogin_ = authLogin_ || WordIs(word, end, "LOGIN");
        }
    }
}
