#include "monitor/mail/job_mail.h"
#include "monitor/mail/base64.h"
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace {

// Records what the composition writes, in order: "C " for a command, "T " for a text,
// "ATTACHMENT" for the attachment part, "REFUSED" for the recipient box.
class RecordingWriter : public JobMailWriter {
public:
    std::vector<std::string> log;
    std::set<std::string> refusedCommands; // commands whose reply is a refusal
    bool prepares = true;
    bool attachmentSucceeds = true;
    size_t failTextAt = SIZE_MAX;          // the text write with this index fails
    bool aborted = false;
    size_t texts = 0;

    bool PrepareAttachment() override { return prepares; }
    bool Command(const char* text, size_t length) override
    {
        const std::string command(text, length);
        log.push_back("C " + command);
        return refusedCommands.count(command) == 0;
    }
    bool Text(const char* text, size_t length) override
    {
        if (texts++ == failTextAt)
            return false;
        log.push_back("T " + std::string(text, length));
        return true;
    }
    bool SendAttachment() override
    {
        log.push_back("ATTACHMENT");
        return attachmentSucceeds;
    }
    void ShowRecipientRefused() override { log.push_back("REFUSED"); }
    bool SendAborted() override { return aborted; }

    std::vector<std::string> Commands() const
    {
        std::vector<std::string> commands;
        for (const std::string& entry : log)
            if (entry.rfind("C ", 0) == 0)
                commands.push_back(entry.substr(2));
        return commands;
    }
    bool Wrote(const std::string& entry) const
    {
        for (const std::string& e : log)
            if (e == entry)
                return true;
        return false;
    }
};

// The worked example: one recipient, Notification 2, part 1 of 1, English, sent at 12:15:31 UTC
// on 7 December 2026 with the bias -60.
JobMailTexts WorkedExample()
{
    JobMailTexts mail{};
    mail.server = "smtp.example.org";
    mail.sender = "Anna Berg <anna@example.org>";
    mail.recipient = "Print Room <printer@remote.example>";
    mail.documentName = "";
    mail.notifyAddress = "anna@example.org";
    mail.jobUid = "anna@example.org20261207131531120";
    mail.notification = 2;
    mail.partIndex = 1;
    mail.partCount = 1;
    mail.languageId = 0x0409;
    mail.dateText = "Mon,07 Dec 2026";
    mail.biasMinutes = -60;
    mail.localTime = LocalFromUtc(CivilTime{2026, 12, 7, 12, 15, 31, 0}, mail.biasMinutes);
    return mail;
}

const std::vector<std::string> kQuitOnly = {"C QUIT\r\n"};

} // namespace

TEST(JobMail, WorkedExampleIsWrittenLineForLine)
{
    RecordingWriter writer;
    EXPECT_TRUE(SendJobMail(WorkedExample(), writer));
    const std::vector<std::string> expected = {
        "C HELO smtp.example.org\r\n",
        "C MAIL FROM:<anna@example.org>\r\n",
        "C RCPT TO:<printer@remote.example>\r\n",
        "C DATA\r\n",
        "T MIME-Version: 1.0\r\n",
        "T Date: Mon,07 Dec 2026 13:15:31 +0100\r\n",
        "T From: Anna Berg <anna@example.org>\r\n",
        "T To: Print Room <printer@remote.example>\r\n",
        "T Subject: =?ISO-8859-1?Q?Remote Print Job?=\r\n",
        "T Content-Type: multipart/mixed; boundary=\"=_cuthere\"\r\n",
        "T \r\n",
        "T \r\n",
        "T --=_cuthere\r\n",
        "T Content-Type: text/plain; charset=\"US-ASCII\"\r\n",
        "T \r\n",
        "T START-KAPKAPKAP-START\r\n",
        "T KAP-SERVICE=QPLMOKNIJB517\r\n",
        "T KAP-NOTIFY=Failure only\r\n",
        "T KAP-REPLY=anna@example.org\r\n",
        "T KAP-PARTIAL=1/1\r\n",
        "T KAP-UID=anna@example.org20261207131531120\r\n",
        "T KAP-LANG=0x09\r\n",
        "T STOP-KAPKAPKAP-STOP\r\n",
        "T \r\n",
        "T --=_cuthere\r\n",
        "ATTACHMENT",
        "T \r\n",
        "T --=_cuthere--\r\n",
        "C \r\n.\r\n",
        "C QUIT\r\n",
    };
    EXPECT_EQ(writer.log, expected);
}

TEST(JobMail, ControlBlockFollowsTheNotificationMode)
{
    struct Case { uint32_t notification; const char* notify; bool reply; };
    const Case cases[] = {
        {0, "T KAP-NOTIFY=None\r\n", false},
        {1, "T KAP-NOTIFY=Completion only\r\n", true},
        {2, "T KAP-NOTIFY=Failure only\r\n", true},
        {3, "T KAP-NOTIFY=Always\r\n", true},
        {7, "T KAP-NOTIFY=None\r\n", false}, // only an edited registry holds such a value
    };
    for (const Case& c : cases) {
        JobMailTexts mail = WorkedExample();
        mail.notification = c.notification;
        RecordingWriter writer;
        EXPECT_TRUE(SendJobMail(mail, writer));
        EXPECT_TRUE(writer.Wrote(c.notify)) << c.notification;
        EXPECT_EQ(writer.Wrote("T KAP-REPLY=anna@example.org\r\n"), c.reply) << c.notification;
    }
}

TEST(JobMail, PartNumbersAndLanguageGoIntoTheControlBlock)
{
    JobMailTexts mail = WorkedExample();
    mail.partIndex = 3;
    mail.partCount = 5;
    mail.languageId = 0x0411;
    RecordingWriter writer;
    EXPECT_TRUE(SendJobMail(mail, writer));
    EXPECT_TRUE(writer.Wrote("T KAP-PARTIAL=3/5\r\n"));
    EXPECT_TRUE(writer.Wrote("T KAP-LANG=0x11\r\n"));
}

TEST(JobMail, SubjectIsAlwaysEncoded)
{
    struct Case { const char* document; uint16_t language; const char* line; };
    const Case cases[] = {
        {"", 0x0409, "T Subject: =?ISO-8859-1?Q?Remote Print Job?=\r\n"},
        {"", 0x0411, "T Subject: =?ISO-2022-JP?B?UmVtb3RlIFByaW50IEpvYg==?=\r\n"},
        {"Caf\xE9.doc", 0x040C, "T Subject: =?ISO-8859-1?Q?Caf=E9.doc?=\r\n"},
        {"\x83\x65\x83\x58\x83\x67", 0x0411, "T Subject: =?ISO-2022-JP?B?GyRCJUYlOSVI?=\r\n"},
        {"\xC3\xBD\xC4", 0x0411, "T Subject: =?ISO-2022-JP?B?GyRCJUYlOSVI?=\r\n"},
        {"a\r\nBcc: x", 0x0409, "T Subject: =?ISO-8859-1?Q?a=0D=0ABcc: x?=\r\n"},
    };
    for (const Case& c : cases) {
        JobMailTexts mail = WorkedExample();
        mail.documentName = c.document;
        mail.languageId = c.language;
        RecordingWriter writer;
        EXPECT_TRUE(SendJobMail(mail, writer));
        EXPECT_TRUE(writer.Wrote(c.line)) << c.line;
    }
}

TEST(BuildSubject, WordTooLongForTheLineIsWrittenPlainWithoutControlBytes)
{
    const std::string document = std::string(400, '\xE9') + "\r\n";
    char subject[1013];
    BuildSubject(document.c_str(), 0x0409, subject, sizeof subject);
    EXPECT_EQ(std::string(subject), std::string(400, '\xE9') + "  ");
}

TEST(JobMail, FailedPreparationWritesNothing)
{
    RecordingWriter writer;
    writer.prepares = false;
    EXPECT_FALSE(SendJobMail(WorkedExample(), writer));
    EXPECT_TRUE(writer.log.empty());
}

TEST(JobMail, RefusedEnvelopeCommandsGoToQuit)
{
    struct Case { const char* refused; std::vector<std::string> commands; bool box; };
    const Case cases[] = {
        {"HELO smtp.example.org\r\n", {"HELO smtp.example.org\r\n", "QUIT\r\n"}, false},
        {"MAIL FROM:<anna@example.org>\r\n",
         {"HELO smtp.example.org\r\n", "MAIL FROM:<anna@example.org>\r\n", "QUIT\r\n"}, false},
        {"RCPT TO:<printer@remote.example>\r\n",
         {"HELO smtp.example.org\r\n", "MAIL FROM:<anna@example.org>\r\n", "RCPT TO:<printer@remote.example>\r\n",
          "QUIT\r\n"}, true},
        {"DATA\r\n",
         {"HELO smtp.example.org\r\n", "MAIL FROM:<anna@example.org>\r\n", "RCPT TO:<printer@remote.example>\r\n",
          "DATA\r\n", "QUIT\r\n"}, false},
    };
    for (const Case& c : cases) {
        RecordingWriter writer;
        writer.refusedCommands = {c.refused};
        EXPECT_FALSE(SendJobMail(WorkedExample(), writer)) << c.refused;
        EXPECT_EQ(writer.Commands(), c.commands) << c.refused;
        EXPECT_EQ(writer.Wrote("REFUSED"), c.box) << c.refused;
        EXPECT_FALSE(writer.Wrote("ATTACHMENT")) << c.refused;
    }
}

TEST(JobMail, TextsThatYieldNoMailboxGoToQuitWithoutAMessage)
{
    const std::string tooLong = std::string(1010, 'x') + " <a@b.c>"; // "To: ", 1018, CR LF, null: 1025
    struct Case { const char* name; JobMailTexts mail; bool senderRefused; };
    std::vector<Case> cases;
    auto add = [&](const char* name, bool senderRefused, auto change) {
        JobMailTexts mail = WorkedExample();
        change(mail);
        cases.push_back({name, mail, senderRefused});
    };
    add("sender with a line break", true, [](JobMailTexts& m) { m.sender = "anna@example.org\r\nRCPT TO:<x@y.z>"; });
    add("recipient without @", false, [](JobMailTexts& m) { m.recipient = "Print Room"; });
    add("recipient with a line break", false, [](JobMailTexts& m) { m.recipient = "a@b.c\r\nDATA"; });
    add("recipient with a bare line feed", false, [](JobMailTexts& m) { m.recipient = "a@b.c\nX: y"; });
    add("recipient with a tab", false, [](JobMailTexts& m) { m.recipient = "a@b.c\tx"; });
    add("recipient too long for the line", false, [&](JobMailTexts& m) { m.recipient = tooLong.c_str(); });
    add("job identifier with a line break", false, [](JobMailTexts& m) { m.jobUid = "uid\r\nKAP-PARTIAL=9/9"; });
    add("notification address with a line break", false,
        [](JobMailTexts& m) { m.notifyAddress = "a@b.c\r\n.\r\n"; });
    for (const Case& c : cases) {
        RecordingWriter writer;
        EXPECT_FALSE(SendJobMail(c.mail, writer)) << c.name;
        std::vector<std::string> commands = {"HELO smtp.example.org\r\n"};
        if (!c.senderRefused)
            commands.push_back("MAIL FROM:<anna@example.org>\r\n");
        commands.push_back("QUIT\r\n");
        EXPECT_EQ(writer.Commands(), commands) << c.name;
        EXPECT_FALSE(writer.Wrote("REFUSED")) << c.name;
    }
}

TEST(JobMail, NotificationAddressIsNotCheckedWhenNoReplyLineIsWritten)
{
    JobMailTexts mail = WorkedExample();
    mail.notification = 0;
    mail.notifyAddress = "a@b.c\r\nx";
    RecordingWriter writer;
    EXPECT_TRUE(SendJobMail(mail, writer));
}

TEST(JobMail, LongestRecipientThatFitsTheLineIsServed)
{
    const std::string entry = std::string(1009, 'x') + " <a@b.c>"; // "To: ", 1017, CR LF, null: 1024
    JobMailTexts mail = WorkedExample();
    mail.recipient = entry.c_str();
    RecordingWriter writer;
    EXPECT_TRUE(SendJobMail(mail, writer));
    EXPECT_TRUE(writer.Wrote("C RCPT TO:<a@b.c>\r\n"));
    EXPECT_TRUE(writer.Wrote("T To: " + entry + "\r\n"));
}

TEST(JobMail, EmptySenderUsesThePlaceholder)
{
    JobMailTexts mail = WorkedExample();
    mail.sender = "";
    RecordingWriter writer;
    EXPECT_TRUE(SendJobMail(mail, writer));
    EXPECT_TRUE(writer.Wrote("C MAIL FROM:<print@velloprint.invalid>\r\n"));
    EXPECT_TRUE(writer.Wrote("T From: print@velloprint.invalid\r\n"));
}

TEST(JobMail, CutShortMessageIsNeverEnded)
{
    struct Case { const char* name; size_t failTextAt; bool attachmentSucceeds; bool aborted; };
    const Case cases[] = {
        {"a header line cannot be written", 3, true, false},
        {"the attachment step fails", SIZE_MAX, false, false},
        {"a closing line cannot be written", 22, true, false},
        {"the job was deleted during the send", SIZE_MAX, true, true},
    };
    for (const Case& c : cases) {
        RecordingWriter writer;
        writer.failTextAt = c.failTextAt;
        writer.attachmentSucceeds = c.attachmentSucceeds;
        writer.aborted = c.aborted;
        EXPECT_FALSE(SendJobMail(WorkedExample(), writer)) << c.name;
        const std::vector<std::string> commands = writer.Commands();
        EXPECT_EQ(commands.back(), "DATA\r\n") << c.name << ": neither end of data nor QUIT";
    }
}

TEST(JobMail, FailedLineSkipsTheRestOfTheMessage)
{
    RecordingWriter writer;
    writer.failTextAt = 5; // the Content-Type line of the header
    EXPECT_FALSE(SendJobMail(WorkedExample(), writer));
    EXPECT_FALSE(writer.Wrote("ATTACHMENT"));
    EXPECT_FALSE(writer.Wrote("T START-KAPKAPKAP-START\r\n"));
}

TEST(JobMail, RefusedEndOfDataStillCountsAsDelivered)
{
    RecordingWriter writer;
    writer.refusedCommands = {"\r\n.\r\n", "QUIT\r\n"};
    EXPECT_TRUE(SendJobMail(WorkedExample(), writer));
    EXPECT_EQ(writer.Commands().back(), "QUIT\r\n");
}

TEST(JobMail, EveryLineEndsWithCrLfAndNoneBeginsWithAPeriod)
{
    RecordingWriter writer;
    EXPECT_TRUE(SendJobMail(WorkedExample(), writer));
    for (const std::string& entry : writer.log) {
        if (entry.rfind("T ", 0) != 0)
            continue;
        const std::string line = entry.substr(2);
        EXPECT_EQ(line.find("\r\n"), line.size() - 2) << line;
        EXPECT_NE(line[0], '.') << line;
    }
}
