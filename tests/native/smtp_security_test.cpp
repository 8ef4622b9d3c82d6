#include "monitor/mail/ehlo_capabilities.h"
#include "monitor/mail/smtp_security.h"
#include <gtest/gtest.h>
#include <cstring>
#include <string>

namespace {

TEST(SmtpSecurity, OnlyZeroToTwoAreModesAndEachModeHasItsPort)
{
    struct Case { uint32_t stored; bool valid; uint32_t port; uint16_t expected; } cases[] = {
        {0, true, 0, 0},     {0, true, 2525, 2525}, {1, true, 0, 587},      {1, true, 65535, 65535},
        {2, true, 0, 465},   {2, true, 65536, 465}, {3, false, 0, 0},       {kUnreadableSecurity, false, 0, 0},
    };
    for (const Case& c : cases) {
        SmtpSecurity mode = SmtpSecurity::ImplicitTls;
        ASSERT_EQ(c.valid, SecurityFromStored(c.stored, &mode)) << c.stored;
        if (c.valid) {
            EXPECT_EQ(c.expected, ServerPort(mode, c.port)) << c.stored << " " << c.port;
        }
    }
}

TEST(SmtpSecurity, PinIsExactlySixtyFourHexDigits)
{
    const std::string digits = "00112233445566778899aabbccddeeffAABBCCDDEEFF00112233445566778899";
    uint8_t pin[kSha256Bytes];
    ASSERT_TRUE(ParseSha256Hex(digits.c_str(), pin));
    EXPECT_TRUE(pin[0] == 0x00 && pin[9] == 0x99 && pin[15] == 0xFF && pin[16] == 0xAA);
    for (const std::string& bad : {digits.substr(1), digits + "0", "g" + digits.substr(1), std::string(""),
                                   digits.substr(0, 63) + ":"})
        EXPECT_FALSE(ParseSha256Hex(bad.c_str(), pin)) << bad;
}

TEST(SmtpSecurity, ChainErrorsNameTheReason)
{
    EXPECT_EQ(CertificateVerdict::Accepted, VerdictForChain(0, 0));
    EXPECT_EQ(CertificateVerdict::Untrusted, VerdictForChain(0x800B0109, 0x20));
    EXPECT_EQ(CertificateVerdict::Expired, VerdictForChain(0x800B0101, 0x1));
    EXPECT_EQ(CertificateVerdict::OtherName, VerdictForChain(0x800B010F, 0));
    EXPECT_EQ(CertificateVerdict::Untrusted, VerdictForChain(0x800B010A, 0)) << "a broken chain";
    // A policy that passes a chain ending without a root (Wine's does) is not taken for trust.
    EXPECT_EQ(CertificateVerdict::Untrusted, VerdictForChain(0, 0x10000));
    EXPECT_EQ(CertificateVerdict::Expired, VerdictForChain(0, 0x1));
}

TEST(SmtpSecurity, MailSizeAndTheLargestPartThatFits)
{
    // 3 bytes: 4 base64 characters and one CR LF; 75 bytes make 100 characters on two lines.
    EXPECT_EQ(MessageWireBytes(0) + 6, MessageWireBytes(3));
    EXPECT_EQ(MessageWireBytes(0) + 104, MessageWireBytes(75));
    const uint32_t part = LargestPartKbWithin(1000000);
    EXPECT_LE(MessageWireBytes(uint64_t{part} * 1024), 1000000u);
    EXPECT_GT(MessageWireBytes(uint64_t{part + 1} * 1024), 1000000u);
    EXPECT_EQ(0u, LargestPartKbWithin(20000)) << "not even 16 KB fit";
    EXPECT_EQ(16384u, LargestPartKbWithin(UINT64_MAX));
}

EhloCapabilities Read(const std::string& reply, size_t piece)
{
    EhloCapabilities capabilities;
    for (size_t at = 0; at < reply.size(); at += piece)
        capabilities.Feed(reply.data() + at, std::min(piece, reply.size() - at));
    return capabilities;
}

TEST(EhloCapabilities, KeywordsOfTheReplyInAnyCaseAndAnyPieces)
{
    struct Case { const char* reply; bool startTls, plain, login; uint64_t size; } cases[] = {
        {"250-mx.test\r\n250-PIPELINING\r\n250-SIZE 10240000\r\n250-STARTTLS\r\n250 AUTH PLAIN LOGIN\r\n",
         true, true, true, 10240000},
        {"250-mx.test\r\n250-starttls\r\n250 auth=login\r\n", true, false, false, 0},
        {"250-mx.test\r\n250-AUTH LOGIN CRAM-MD5\r\n250 SIZE\r\n", false, false, true, 0},
        {"250-STARTTLS names the server\r\n250-STARTTLSX\r\n250-AUTH PLAINX\r\n250 SIZE 12x\r\n", false, false,
         false, 0},
        {"250-mx.test\r\n550-STARTTLS\r\n250 SIZE 99999999999999999999999\r\n", false, false, false, 0},
    };
    for (const Case& c : cases) {
        for (size_t piece : {size_t{1}, size_t{7}, std::strlen(c.reply)}) {
            const EhloCapabilities read = Read(c.reply, piece);
            EXPECT_EQ(c.startTls, read.StartTls()) << c.reply;
            EXPECT_EQ(c.plain, read.AuthPlain()) << c.reply;
            EXPECT_EQ(c.login, read.AuthLogin()) << c.reply;
            EXPECT_EQ(c.size, read.SizeLimit()) << c.reply;
        }
    }
}

} // namespace
