#include "monitor/core/job_uid.h"

namespace {

class UidText {
public:
    UidText(wchar_t* out, std::size_t capacity) : out_(out), capacity_(capacity) { Terminate(); }

    void Append(const wchar_t* text, std::size_t maxChars)
    {
        for (std::size_t taken = 0; taken < maxChars && text[taken] != L'\0' && length_ + 1 < capacity_; ++taken)
            out_[length_++] = text[taken];
        Terminate();
    }

    void AppendNumber(unsigned value)
    {
        wchar_t digits[8];
        std::size_t count = 0;
        do {
            digits[count++] = static_cast<wchar_t>(L'0' + value % 10);
            value /= 10;
        } while (value != 0);
        wchar_t text[8];
        for (std::size_t at = 0; at < count; ++at)
            text[at] = digits[count - 1 - at];
        text[count] = L'\0';
        Append(text, count);
    }

private:
    void Terminate()
    {
        if (capacity_ > 0)
            out_[length_] = L'\0';
    }

    wchar_t* out_;
    std::size_t capacity_;
    std::size_t length_ = 0;
};

} // namespace

void FormatJobUid(const wchar_t* sender, const wchar_t* localDate, const UidTime& utc, wchar_t* out,
                  std::size_t capacity)
{
    UidText uid(out, capacity);
    uid.Append(sender, kJobUidSenderChars);
    uid.Append(localDate, kJobUidChars);
    uid.AppendNumber(utc.hour);
    uid.AppendNumber(utc.minute);
    uid.AppendNumber(utc.second);
    uid.AppendNumber(utc.millisecond);
}
