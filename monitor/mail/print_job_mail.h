#pragma once
#include "monitor/core/messages.h"

// One mailing of a print job, described once by the job dispatch. The mail code takes all it
// sends from here and changes nothing of the port the job came from.

// The SMTP server the mail goes to, and how: the port's stored values as they are; the mail code
// checks them before anything is sent.
struct MailServer {
    const WCHAR* host; // a host name or a dotted IPv4 address; also the argument of "HELO"
    DWORD security;    // SMTPSecurity: 0 none, 1 STARTTLS, 2 TLS from the first byte
    DWORD port;        // SMTPPort: 0 for the mode's own
    const WCHAR* user; // SMTPUser: empty for no login
    const WCHAR* pinnedSha256; // SMTPCertSHA256: empty for the chain check
    const BYTE* protectedPassword; // SMTPPassword as the data protection made it
    DWORD protectedPasswordBytes;
};

// The spooler's side of the job while its mail goes out.
class PrintJobWatch {
public:
    // The job's status bits; false when they could not be read (the user has been told).
    virtual bool QueryStatus(DWORD* status) = 0;
    // The document's name as the spooler last reported it: the mail's Subject.
    virtual const WCHAR* DocumentName() = 0;
    // The job was found deleted or failed: the delivery stops and reports no more failures.
    virtual void MarkAborted() = 0;
    virtual bool Aborted() = 0;
    // Where this job's messages go.
    virtual MessageTarget& Messages() = 0;

protected:
    ~PrintJobWatch() = default;
};

// The texts are the caller's and stay unchanged for the call.
struct PrintJobMail {
    const WCHAR* file;          // the file to attach: the whole spool file or one part's file
    const WCHAR* recipients;    // entries separated by ";", served from the last to the first
    const WCHAR* sender;        // the "From:" line and "MAIL FROM"
    DWORD notification;         // 0 None, 1 Completion only, 2 Failure only, 3 Always
    const WCHAR* notifyAddress; // where the printer's notifications go
    const WCHAR* jobUid;
    DWORD partIndex;            // 1 of 1 for a job sent whole
    DWORD partCount;
    MailServer server;
    PrintJobWatch* job;
};
