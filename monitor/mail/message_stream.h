#pragma once
#include "monitor/mail/job_mail.h"
#include "monitor/mail/smtp_session.h"
#include <cstddef>

// The message text on its way to the server, gathered into large writes. TCP carries a byte
// stream: how the text is cut into send calls cannot be seen by the server, while every send
// call costs as much as copying a few kilobytes, so one call per line of 77 bytes made the
// delivery a hundred times slower than the wire.

constexpr size_t kMessageWriteBytes = 64 * 1024; // the size of one write of message text
constexpr size_t kBase64LineChars = 75;          // the attachment's lines, without CR LF

class MessageStream {
public:
    // The buffer holds capacity bytes and outlives the stream.
    MessageStream(SmtpSocket& socket, SessionHost& host, char* buffer, size_t capacity)
        : socket_(socket), host_(host), buffer_(buffer), capacity_(capacity)
    {
    }
    MessageStream(const MessageStream&) = delete;
    MessageStream& operator=(const MessageStream&) = delete;

    // Adds the text, writing the gathered text out whenever the buffer is full. False once a
    // write has failed (the session has reported it) and from then on.
    bool Append(const char* text, size_t length);
    // Writes out what is gathered: true when every byte appended so far is written.
    bool Flush();

private:
    SmtpSocket& socket_;
    SessionHost& host_;
    char* buffer_;
    size_t capacity_;
    size_t used_ = 0;
    bool failed_ = false;
};

// The attachment's base64 text in lines of 75 characters, each ended by CR LF, from pieces of
// any length: a line may begin in one piece and end in the next.
class Base64Lines {
public:
    explicit Base64Lines(MessageStream& stream) : stream_(stream) {}
    bool Append(const char* text, size_t length);
    // Ends a last line shorter than 75 characters; a text whose length is a multiple of 75
    // ends with a full line and no empty one after it.
    bool Finish();

private:
    MessageStream& stream_;
    size_t column_ = 0;
};

// A job mail's commands and texts over a greeted connection: the texts go through one message
// stream, and a command is written only once the texts before it are out. The attachment, the
// recipient's box and the job's state are the monitor's around it.
class SessionMailWriter : public JobMailWriter {
public:
    SessionMailWriter(SmtpSocket& socket, SessionHost& host, char* buffer, size_t capacity)
        : socket_(socket), host_(host), stream_(socket, host, buffer, capacity)
    {
    }

    bool Command(const char* text, size_t length) override;
    bool Text(const char* text, size_t length) override;
    bool FlushTexts() override;

protected:
    ~SessionMailWriter() = default;
    MessageStream& Stream() { return stream_; }

private:
    SmtpSocket& socket_;
    SessionHost& host_;
    MessageStream stream_;
};
