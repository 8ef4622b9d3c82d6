#include "monitor/mail/job_mail.h"
#include "monitor/mail/address_rules.h"
#include "monitor/mail/header_encoding.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

constexpr char kSubjectLinePrefix[] = "Subject: ";
// The subject's room in the line buffer: its line prefix and CR LF take the rest.
constexpr size_t kSubjectCapacity = kMailLineCapacity - (sizeof kSubjectLinePrefix - 1) - 2;

const char* NotificationName(uint32_t notification)
{
    static const char* const kNames[] = {"None", "Completion only", "Failure only", "Always"};
    // A value outside 0 to 3 can only come from an edited registry: it is read as "None".
    return notification < 4 ? kNames[notification] : kNames[0];
}

bool RepliesGoTo(const JobMailTexts& mail)
{
    return mail.notification >= 1 && mail.notification <= 3;
}

// One command or line, formatted into the fixed line buffer. A text that does not fit is
// refused, never cut.
class MailLine {
public:
    bool Format(const char* format, ...) __attribute__((format(printf, 2, 3)))
    {
        va_list args;
        va_start(args, format);
        const bool fits = FormatList(format, args);
        va_end(args);
        return fits;
    }
    bool FormatList(const char* format, va_list args)
    {
        const int length = std::vsnprintf(text_, sizeof text_, format, args);
        const bool fits = length >= 0 && static_cast<size_t>(length) < sizeof text_;
        length_ = fits ? static_cast<size_t>(length) : 0;
        return fits;
    }
    const char* text() const { return text_; }
    size_t length() const { return length_; }

private:
    char text_[kMailLineCapacity];
    size_t length_ = 0;
};

bool Command(JobMailWriter& writer, const MailLine& line)
{
    return writer.Command(line.text(), line.length());
}

bool Command(JobMailWriter& writer, const char* text)
{
    return writer.Command(text, std::strlen(text));
}

struct Envelope {
    char senderText[kAddressCapacity];
    char senderMailbox[kAddressCapacity];
    char recipientMailbox[kAddressCapacity];
};

bool BuildSender(const JobMailTexts& mail, Envelope* envelope)
{
    if (!mail.senderExact || HasControlByte(mail.sender))
        return false;
    uint32_t size = kAddressCapacity;
    if (!NormalizeSenderAddress(mail.sender, envelope->senderText, &size))
        return false;
    size = kAddressCapacity;
    return ExtractMailbox(envelope->senderText, envelope->senderMailbox, &size);
}

// A recipient whose texts could break a line on the wire, whose address did not convert
// exactly, or whose "To:" line would not fit the line buffer, yields no mailbox, like an entry
// without "@".
bool BuildRecipient(const JobMailTexts& mail, Envelope* envelope)
{
    if (!mail.recipientExact || HasControlByte(mail.recipient) || HasControlByte(mail.jobUid) ||
        (RepliesGoTo(mail) && HasControlByte(mail.notifyAddress)))
        return false;
    if (std::strlen("To: \r\n") + std::strlen(mail.recipient) >= kMailLineCapacity)
        return false;
    uint32_t size = kAddressCapacity;
    return ExtractMailbox(mail.recipient, envelope->recipientMailbox, &size);
}

// "HELO" to "DATA". True when the server has accepted "DATA".
bool OpenTransaction(const JobMailTexts& mail, JobMailWriter& writer, Envelope* envelope)
{
    MailLine line;
    if (mail.sayHelo &&
        (HasControlByte(mail.server) || !line.Format("HELO %s\r\n", mail.server) || !Command(writer, line)))
        return false;
    if (!BuildSender(mail, envelope) || !line.Format("MAIL FROM:<%s>\r\n", envelope->senderMailbox) ||
        !Command(writer, line))
        return false;
    if (!BuildRecipient(mail, envelope))
        return false;
    if (!line.Format("RCPT TO:<%s>\r\n", envelope->recipientMailbox) || !Command(writer, line)) {
        writer.ShowRecipientRefused();
        return false;
    }
    return Command(writer, "DATA\r\n");
}

// The message text, line by line. Stops at the first line that cannot be written.
class MessageBody {
public:
    MessageBody(const JobMailTexts& mail, const Envelope& envelope, JobMailWriter& writer)
        : mail_(mail), envelope_(envelope), writer_(writer)
    {
    }

    bool Write()
    {
        return WriteHeader() && WriteControlPart() && Line("--=_cuthere\r\n") && writer_.SendAttachment() &&
               Line("\r\n") && Line("--=_cuthere--\r\n");
    }

private:
    bool WriteHeader()
    {
        char zone[6];
        FormatZoneOffset(mail_.biasMinutes, zone);
        const CivilTime& local = mail_.localTime;
        char subject[kSubjectCapacity];
        BuildSubject(mail_.documentName, mail_.languageId, subject, sizeof subject);
        return Line("MIME-Version: 1.0\r\n") &&
               Line("Date: %s %02d:%02d:%02d %s\r\n", mail_.dateText, local.hour, local.minute, local.second,
                    zone) &&
               Line("From: %s\r\n", envelope_.senderText) && Line("To: %s\r\n", mail_.recipient) &&
               Line("%s%s\r\n", kSubjectLinePrefix, subject) &&
               Line("Content-Type: multipart/mixed; boundary=\"=_cuthere\"\r\n") && Line("\r\n") && Line("\r\n");
    }

    bool WriteControlPart()
    {
        return Line("--=_cuthere\r\n") && Line("Content-Type: text/plain; charset=\"%s\"\r\n", "US-ASCII") &&
               Line("\r\n") && Line("START-KAPKAPKAP-START\r\n") && Line("KAP-SERVICE=QPLMOKNIJB517\r\n") &&
               Line("KAP-NOTIFY=%s\r\n", NotificationName(mail_.notification)) &&
               (!RepliesGoTo(mail_) || Line("KAP-REPLY=%s\r\n", mail_.notifyAddress)) &&
               Line("KAP-PARTIAL=%ld/%ld\r\n", static_cast<long>(mail_.partIndex),
                    static_cast<long>(mail_.partCount)) &&
               Line("KAP-UID=%s\r\n", mail_.jobUid) && Line("KAP-LANG=0x%02x\r\n", mail_.languageId & 0x3FFu) &&
               Line("STOP-KAPKAPKAP-STOP\r\n") && Line("\r\n");
    }

    bool Line(const char* format, ...) __attribute__((format(printf, 2, 3)))
    {
        va_list args;
        va_start(args, format);
        MailLine line;
        const bool fits = line.FormatList(format, args);
        va_end(args);
        return fits && writer_.Text(line.text(), line.length());
    }

    const JobMailTexts& mail_;
    const Envelope& envelope_;
    JobMailWriter& writer_;
};

bool EncodeJapaneseSubject(const char* text, char* out, size_t capacity)
{
    char jis[kMailLineCapacity];
    size_t jisCapacity = sizeof jis;
    if (!ShiftJisToJis(text, jis, &jisCapacity))
        return false;
    size_t outCapacity = capacity;
    return EncodeWordB(reinterpret_cast<const uint8_t*>(jis), std::strlen(jis), out, &outCapacity) > 0;
}

// The unencoded subject, used only when the encoded word does not fit: control bytes become
// blanks so that the header line cannot be broken.
void CopyPrintable(const char* text, char* out, size_t capacity)
{
    size_t at = 0;
    for (; text[at] != '\0' && at + 1 < capacity; ++at) {
        const unsigned char byte = static_cast<unsigned char>(text[at]);
        out[at] = byte < 0x20 || byte == 0x7F ? ' ' : static_cast<char>(byte);
    }
    out[at] = '\0';
}

} // namespace

void BuildSubject(const char* documentName, uint16_t languageId, char* out, size_t capacity)
{
    const char* text = documentName[0] != '\0' ? documentName : kDefaultSubject;
    size_t qCapacity = capacity;
    const bool encoded = (languageId & 0x3FF) == kLanguageJapanese
                             ? EncodeJapaneseSubject(text, out, capacity)
                             : EncodeWordQ(text, std::strlen(text), out, &qCapacity) > 0;
    if (!encoded)
        CopyPrintable(text, out, capacity);
}

bool SendJobMail(const JobMailTexts& mail, JobMailWriter& writer)
{
    if (!writer.PrepareAttachment())
        return false; // nothing is written on the connection, not even "QUIT"
    Envelope envelope;
    if (!OpenTransaction(mail, writer, &envelope)) {
        Command(writer, "QUIT\r\n");
        return false;
    }
    // A cut-short message must never reach the printer: it is not ended, and the caller's
    // closing of the connection makes the server drop it.
    MessageBody body(mail, envelope, writer);
    if (!body.Write() || !writer.FlushTexts() || writer.SendAborted())
        return false;
    Command(writer, "\r\n.\r\n");
    Command(writer, "QUIT\r\n");
    return true;
}
