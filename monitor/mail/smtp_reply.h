#pragma once
#include <cstddef>

// One SMTP reply, collected from the received bytes up to its last line. Every line whose
// fourth character is "-" is followed by another; the first other line ends the reply.
// The first 1024 bytes are kept for judging and for the refusal message.

constexpr size_t kReplyTextCapacity = 1024;
// A reply longer than this is not SMTP: reading stops there and the receive fails.
constexpr size_t kMaxReplyBytes = 65536;

enum class ReplyKind { Accepted, Transient, Refused };

class SmtpReply {
public:
    SmtpReply() { Reset(); }

    void Reset();
    // Takes received bytes up to the end of the reply; returns how many it took. Bytes after
    // the reply's last line are not taken, so they can never pass for the next reply.
    size_t Feed(const char* data, size_t length);

    bool Complete() const { return complete_; }
    bool Overlong() const { return total_ > kMaxReplyBytes; }
    const char* Text() const { return text_; } // null-terminated
    // Judged by the first character: "4" transient, "5" refused, anything else accepted.
    ReplyKind Kind() const;

private:
    char text_[kReplyTextCapacity + 1];
    size_t kept_;
    size_t total_;
    size_t lineLength_;
    bool continued_;
    bool complete_;
};
