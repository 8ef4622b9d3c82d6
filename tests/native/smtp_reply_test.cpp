#include "monitor/mail/smtp_reply.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <string>

namespace {

// Feeds the bytes in pieces of the given size; returns how many the reply took.
size_t FeedInPieces(SmtpReply& reply, const std::string& bytes, size_t piece)
{
    size_t taken = 0;
    for (size_t at = 0; at < bytes.size() && !reply.Complete(); at += piece)
        taken += reply.Feed(bytes.data() + at, std::min(piece, bytes.size() - at));
    return taken;
}

} // namespace

TEST(SmtpReply, FirstCharacterJudgesTheReply)
{
    struct Case { const char* text; ReplyKind kind; };
    const Case cases[] = {
        {"220 ready\r\n", ReplyKind::Accepted}, {"221 bye\r\n", ReplyKind::Accepted},
        {"250 ok\r\n", ReplyKind::Accepted},    {"251 forwarded\r\n", ReplyKind::Accepted},
        {"354 go ahead\r\n", ReplyKind::Accepted}, {"199 odd\r\n", ReplyKind::Accepted},
        {"399 odd\r\n", ReplyKind::Accepted},   {"x\r\n", ReplyKind::Accepted},
        {"421 busy\r\n", ReplyKind::Transient}, {"452 full\r\n", ReplyKind::Transient},
        {"550 no\r\n", ReplyKind::Refused},     {"554 no\r\n", ReplyKind::Refused},
    };
    for (const Case& c : cases) {
        SmtpReply reply;
        reply.Feed(c.text, std::strlen(c.text));
        ASSERT_TRUE(reply.Complete()) << c.text;
        EXPECT_EQ(reply.Kind(), c.kind) << c.text;
        EXPECT_STREQ(reply.Text(), c.text);
    }
}

TEST(SmtpReply, MultiLineReplyEndsAtTheLineWithoutDash)
{
    const std::string text = "250-mail.example greets you\r\n250-SIZE 1000\r\n250 HELP\r\n";
    for (size_t piece : {text.size(), size_t{1}, size_t{2}, size_t{7}}) {
        SmtpReply reply;
        EXPECT_EQ(FeedInPieces(reply, text, piece), text.size()) << "pieces of " << piece;
        EXPECT_TRUE(reply.Complete());
        EXPECT_EQ(std::string(reply.Text()), text);
    }
}

TEST(SmtpReply, IncompleteUntilTheLastLineHasItsLineFeed)
{
    SmtpReply reply;
    reply.Feed("220-first\r\n220 second", 21);
    EXPECT_FALSE(reply.Complete());
    reply.Feed("\r", 1);
    EXPECT_FALSE(reply.Complete());
    reply.Feed("\n", 1);
    EXPECT_TRUE(reply.Complete());
}

TEST(SmtpReply, BytesAfterTheLastLineAreNotTaken)
{
    SmtpReply reply;
    const std::string bytes = "250-a\r\n250 b\r\n550 stray\r\n";
    EXPECT_EQ(reply.Feed(bytes.data(), bytes.size()), 14u);
    EXPECT_STREQ(reply.Text(), "250-a\r\n250 b\r\n");
    EXPECT_EQ(reply.Kind(), ReplyKind::Accepted);
}

TEST(SmtpReply, ShortLinesAndBareLineFeedsEndTheReply)
{
    for (const char* text : {"250\r\n", "250\n", "2\n", "\n", "250 ok\n"}) {
        SmtpReply reply;
        reply.Feed(text, std::strlen(text));
        EXPECT_TRUE(reply.Complete()) << text;
    }
}

TEST(SmtpReply, KeepsTheFirst1024BytesOfALongReply)
{
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "250-" + std::string(60, 'a' + i % 26) + "\r\n";
    text += "250 end\r\n";
    SmtpReply reply;
    EXPECT_EQ(reply.Feed(text.data(), text.size()), text.size());
    EXPECT_TRUE(reply.Complete());
    EXPECT_EQ(std::string(reply.Text()), text.substr(0, kReplyTextCapacity));
}

TEST(SmtpReply, EndlessReplyIsCutOffAsOverlong)
{
    const std::string line = "250-" + std::string(200, 'x') + "\r\n";
    SmtpReply reply;
    size_t fed = 0;
    while (!reply.Overlong() && fed < 2 * kMaxReplyBytes)
        fed += reply.Feed(line.data(), line.size());
    EXPECT_TRUE(reply.Overlong());
    EXPECT_FALSE(reply.Complete());
    EXPECT_LE(fed, kMaxReplyBytes + 1);
}

TEST(SmtpReply, ResetForgetsThePreviousReply)
{
    SmtpReply reply;
    reply.Feed("550-a\r\n", 7);
    reply.Reset();
    reply.Feed("250 ok\r\n", 8);
    EXPECT_TRUE(reply.Complete());
    EXPECT_EQ(reply.Kind(), ReplyKind::Accepted);
    EXPECT_STREQ(reply.Text(), "250 ok\r\n");
}
