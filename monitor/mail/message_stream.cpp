#include "monitor/mail/message_stream.h"

#include <algorithm>
#include <cstring>

bool MessageStream::Append(const char* text, size_t length)
{
    while (length > 0 && !failed_) {
        if (used_ == capacity_ && !Flush())
            break;
        const size_t piece = std::min(length, capacity_ - used_);
        std::memcpy(buffer_ + used_, text, piece);
        used_ += piece;
        text += piece;
        length -= piece;
    }
    return !failed_;
}

bool MessageStream::Flush()
{
    if (failed_ || used_ == 0)
        return !failed_;
    failed_ = !SendSmtpText(socket_, host_, buffer_, used_);
    used_ = 0;
    return !failed_;
}

bool Base64Lines::Append(const char* text, size_t length)
{
    while (length > 0) {
        const size_t piece = std::min(length, kBase64LineChars - column_);
        if (!stream_.Append(text, piece))
            return false;
        column_ += piece;
        text += piece;
        length -= piece;
        if (column_ == kBase64LineChars) {
            column_ = 0;
            if (!stream_.Append("\r\n", 2))
                return false;
        }
    }
    return true;
}

bool Base64Lines::Finish()
{
    if (column_ == 0)
        return true;
    column_ = 0;
    return stream_.Append("\r\n", 2);
}

bool SessionMailWriter::Command(const char* text, size_t length)
{
    return stream_.Flush() && SendSmtpCommand(socket_, host_, text, length);
}

bool SessionMailWriter::Text(const char* text, size_t length)
{
    return stream_.Append(text, length);
}

bool SessionMailWriter::FlushTexts()
{
    return stream_.Flush();
}
