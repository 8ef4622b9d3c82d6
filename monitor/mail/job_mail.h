#pragma once
#include "monitor/mail/mail_date.h"
#include <cstddef>
#include <cstdint>

// The print-job mail to one recipient: the SMTP commands and the message text, in order.
// Independent of sockets and files: the texts come already in the ANSI code page and every
// command, line and the attachment go through a JobMailWriter.

constexpr size_t kMailLineCapacity = 1024; // every command and header line, with its null
constexpr size_t kAddressCapacity = 260;   // sender text and mailboxes, with their null

constexpr char kDefaultSubject[] = "Remote Print Job";
constexpr uint16_t kLanguageJapanese = 0x11;

struct JobMailTexts {
    const char* server;          // SMTPAddr: the argument of "HELO"
    const char* sender;          // UserAddr as configured
    const char* recipient;       // one entry of ServAddr as configured
    const char* documentName;    // DocName; empty gives the default subject
    const char* notifyAddress;   // NotifyAddr
    const char* jobUid;          // JobUID
    uint32_t notification;       // 0 None, 1 Completion only, 2 Failure only, 3 Always
    int32_t partIndex;
    int32_t partCount;
    uint16_t languageId;         // the user's default language identifier
    const char* dateText;        // the local date as "ddd','dd MMM yyy" renders it in English
    CivilTime localTime;         // from LocalFromUtc
    int32_t biasMinutes;         // standard bias
    // False when the address did not convert exactly to the ANSI code page: it is refused like
    // one holding a control byte.
    bool senderExact = true;
    bool recipientExact = true;
    // False when the secure opening has greeted the server with "EHLO" already.
    bool sayHelo = true;
};

class JobMailWriter {
public:
    // Encodes the spool file for the attachment; reports its own failures.
    virtual bool PrepareAttachment() = 0;
    // A command and its reply; retries and reports failures itself.
    virtual bool Command(const char* text, size_t length) = 0;
    // A text that gets no reply; reports failures itself. A writer may gather texts and write
    // them out later, at the latest in FlushTexts or before the next command.
    virtual bool Text(const char* text, size_t length) = 0;
    // Writes out the texts gathered so far; true when all are written. A writer that writes
    // every text at once has nothing to do here.
    virtual bool FlushTexts() { return true; }
    // The attachment part's header and base64 lines; true when all were written.
    virtual bool SendAttachment() = 0;
    virtual void ShowRecipientRefused() = 0;
    virtual bool SendAborted() = 0;

protected:
    ~JobMailWriter() = default;
};

// Sends one recipient's mail over a greeted connection. True only when the whole message,
// attachment included, was written and the end of data was sent; the replies to the end of
// data and to "QUIT" do not change that. A message that could not be written whole is not
// ended: the caller must close the connection, so that the server drops it.
bool SendJobMail(const JobMailTexts& mail, JobMailWriter& writer);

// The Subject value: one encoded word, B form in ISO-2022-JP for a Japanese user, Q form in
// ISO-8859-1 otherwise. Writes at most capacity bytes with the null.
void BuildSubject(const char* documentName, uint16_t languageId, char* out, size_t capacity);
