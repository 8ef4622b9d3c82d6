#include "monitor/mail/smtp_reply.h"

void SmtpReply::Reset()
{
    text_[0] = '\0';
    kept_ = 0;
    total_ = 0;
    lineLength_ = 0;
    continued_ = false;
    complete_ = false;
}

size_t SmtpReply::Feed(const char* data, size_t length)
{
    size_t taken = 0;
    while (taken < length && !complete_ && !Overlong()) {
        const char byte = data[taken++];
        ++total_;
        if (kept_ < kReplyTextCapacity) {
            text_[kept_++] = byte;
            text_[kept_] = '\0';
        }
        if (byte == '\n') {
            complete_ = !continued_;
            lineLength_ = 0;
            continued_ = false;
            continue;
        }
        if (lineLength_ == 3)
            continued_ = byte == '-';
        ++lineLength_;
    }
    return taken;
}

ReplyKind SmtpReply::Kind() const
{
    if (text_[0] == '4')
        return ReplyKind::Transient;
    if (text_[0] == '5')
        return ReplyKind::Refused;
    return ReplyKind::Accepted;
}
