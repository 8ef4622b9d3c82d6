#include "monitor/core/xcv_settings.h"
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {
void Put(char16_t* field, const std::u16string& text)
{
    std::memcpy(field, text.c_str(), (text.size() + 1) * sizeof(char16_t));
}

XcvSettings Sample()
{
    XcvSettings s;
    Put(s.PortName, u"NMX1");
    Put(s.ServAddr, u"a@example.com;b@example.com");
    Put(s.SMTPAddr, u"mail.example.com");
    Put(s.UserAddr, u"me@example.com");
    Put(s.NotifyAddr, u"\u30c6@example.com");
    s.Notification = 3, s.ShowSw = 0, s.PartLimit = 16384, s.PartSw = 1, s.CheckMailSw = 0;
    s.SMTPSecurity = 2, s.SMTPPort = 465;
    Put(s.SMTPUser, u"me");
    Put(s.SMTPCertSHA256, std::u16string(64, u'a'));
    s.passwordAction = PasswordAction::Replace, s.passwordBytes = 3, s.password[0] = 1;
    return s;
}

std::vector<uint8_t> Block(const XcvSettings& s)
{
    std::vector<uint8_t> block(kXcvSettingsBytes);
    WriteXcvSettings(s, block.data());
    return block;
}

void PutNumberAt(std::vector<uint8_t>& block, size_t offset, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        block[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

XcvReadError Read(const std::vector<uint8_t>& block)
{
    XcvSettings out;
    return ReadXcvSettings(block.data(), block.size(), &out);
}
} // namespace

TEST(XcvSettings, WhatIsWrittenReadsBackUnchanged)
{
    const XcvSettings in = Sample();
    const std::vector<uint8_t> block = Block(in);
    XcvSettings out;
    ASSERT_EQ(ReadXcvSettings(block.data(), block.size(), &out), XcvReadError::None);
    EXPECT_EQ(std::u16string(out.NotifyAddr), u"\u30c6@example.com");
    EXPECT_EQ(out.SMTPPort, 465u);
    EXPECT_EQ(Block(out), block) << "every field read back";
}

TEST(XcvSettings, FieldsLieAtTheDocumentedOffsets)
{
    const std::vector<uint8_t> block = Block(Sample());
    EXPECT_EQ(std::string(block.begin(), block.begin() + 4), "NXS1");
    EXPECT_EQ(block[8] | block[9] << 8, 28384);
    EXPECT_EQ(block[16], 'N');                // PortName
    EXPECT_EQ(block[80], 'a');                // ServAddr
    EXPECT_EQ(block[26088], 'm');             // SMTPAddr
    EXPECT_EQ(block[26932], 3);               // Notification
    EXPECT_EQ(block[26956] | block[26957] << 8, 465); // SMTPPort
    EXPECT_EQ(block[27220], 'a');             // SMTPCertSHA256
    EXPECT_EQ(block[27352], 1);               // PasswordAction
    EXPECT_EQ(block[27360], 1);               // Password
}

TEST(XcvSettings, ALaterVersionIsReadForItsFirstFields)
{
    std::vector<uint8_t> block = Block(Sample());
    block.resize(kXcvSettingsBytes + 8, 0xEE);
    PutNumberAt(block, 4, 2);
    PutNumberAt(block, 8, static_cast<uint32_t>(block.size()));
    XcvSettings out;
    ASSERT_EQ(ReadXcvSettings(block.data(), block.size(), &out), XcvReadError::None);
    EXPECT_EQ(std::u16string(out.PortName), u"NMX1");
}

TEST(XcvSettings, APartSizeOutsideItsRangeIsTheDefaultWhileSplittingIsOff)
{
    XcvSettings in = Sample();
    in.PartSw = 0;
    in.PartLimit = 0;
    const std::vector<uint8_t> block = Block(in);
    XcvSettings out;
    ASSERT_EQ(ReadXcvSettings(block.data(), block.size(), &out), XcvReadError::None);
    EXPECT_EQ(out.PartLimit, 1024u);
}

struct Malformed {
    const char* name;
    std::function<void(std::vector<uint8_t>&)> spoil;
    XcvReadError expected;
};

class XcvSettingsRefusal : public ::testing::TestWithParam<Malformed> {};

TEST_P(XcvSettingsRefusal, IsReported)
{
    std::vector<uint8_t> block = Block(Sample());
    GetParam().spoil(block);
    EXPECT_EQ(Read(block), GetParam().expected);
}

// Offsets of the documented layout.
constexpr size_t kServName = 26608, kShowSw = 26936, kPartLimit = 26940, kSecurity = 26952,
                 kPort = 26956, kCert = 27220, kAction = 27352, kPasswordBytes = 27356;

INSTANTIATE_TEST_SUITE_P(
    Block, XcvSettingsRefusal,
    ::testing::Values(
        Malformed{"Header", [](auto& b) { b.resize(15); }, XcvReadError::TooShort},
        Malformed{"Truncated", [](auto& b) { b.pop_back(); }, XcvReadError::TooShort},
        Malformed{"Magic", [](auto& b) { b[0] = 'X'; }, XcvReadError::NotSettings},
        Malformed{"VersionZero", [](auto& b) { PutNumberAt(b, 4, 0); }, XcvReadError::Version},
        Malformed{"SizeFieldLarger", [](auto& b) { PutNumberAt(b, 8, kXcvSettingsBytes + 2); }, XcvReadError::Size},
        Malformed{"TextWithoutTerminator", [](auto& b) { std::fill(b.begin() + kServName, b.begin() + kServName + 64, 'x'); },
                  XcvReadError::Text},
        Malformed{"LineBreak", [](auto& b) { b[80 + 2] = '\n'; }, XcvReadError::Text},
        Malformed{"ShowSwTwo", [](auto& b) { PutNumberAt(b, kShowSw, 2); }, XcvReadError::Number},
        Malformed{"PartLimitBelowRange", [](auto& b) { PutNumberAt(b, kPartLimit, 15); }, XcvReadError::Number},
        Malformed{"SecurityThree", [](auto& b) { PutNumberAt(b, kSecurity, 3); }, XcvReadError::Number},
        Malformed{"Port65536", [](auto& b) { PutNumberAt(b, kPort, 65536); }, XcvReadError::Number},
        Malformed{"FingerprintShort", [](auto& b) { b[kCert + 126] = 0; }, XcvReadError::Text},
        Malformed{"FingerprintNotHex", [](auto& b) { b[kCert] = 'g'; }, XcvReadError::Text},
        Malformed{"ActionThree", [](auto& b) { PutNumberAt(b, kAction, 3); }, XcvReadError::Password},
        Malformed{"PasswordBeyondField", [](auto& b) { PutNumberAt(b, kPasswordBytes, 1025); }, XcvReadError::Number},
        Malformed{"ReplaceWithoutBytes", [](auto& b) { PutNumberAt(b, kPasswordBytes, 0); }, XcvReadError::Password},
        Malformed{"BytesWithoutReplace", [](auto& b) { PutNumberAt(b, kAction, 0); }, XcvReadError::Password}),
    [](const ::testing::TestParamInfo<Malformed>& info) { return std::string(info.param.name); });
