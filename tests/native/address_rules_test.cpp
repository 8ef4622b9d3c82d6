#include "monitor/mail/address_rules.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct Result {
    bool ok;
    std::string text;
    uint32_t size;
};

Result Normalize(const std::string& text, uint32_t capacity = 260)
{
    std::vector<char> out(capacity + 1, '#');
    uint32_t size = capacity;
    const bool ok = NormalizeSenderAddress(text.c_str(), out.data(), &size);
    EXPECT_EQ(out[capacity], '#') << "wrote past the capacity";
    return {ok, ok ? std::string(out.data()) : std::string(), size};
}

Result Extract(const std::string& text, uint32_t capacity = 260)
{
    std::vector<char> out(capacity + 1, '#');
    uint32_t size = capacity;
    const bool ok = ExtractMailbox(text.c_str(), out.data(), &size);
    EXPECT_EQ(out[capacity], '#') << "wrote past the capacity";
    return {ok, ok ? std::string(out.data()) : std::string(), size};
}

} // namespace

TEST(NormalizeSenderAddress, CompletesTextsThatLackADomain)
{
    struct Case { std::string text; std::string completed; };
    const Case cases[] = {
        {"", "print@velloprint.invalid"},
        {"anna", "anna@velloprint.invalid"},
        {"anna@", "anna@velloprint.invalid"},
        {"anna@host", "anna@host.com"},
        {"anna@host.", "anna@host.com"},
        {"anna@host.example", "anna@host.example"},
        {"Anna <anna@host.example>", "Anna <anna@host.example>"},
        {"first.last@host", "first.last@host.com"}, // the "." must come after the "@"
    };
    for (const Case& c : cases) {
        const Result r = Normalize(c.text);
        EXPECT_TRUE(r.ok) << c.text;
        EXPECT_EQ(r.text, c.completed);
        EXPECT_EQ(r.size, c.completed.size() + 1) << c.text;
    }
}

TEST(NormalizeSenderAddress, TextMustBeTwoBytesShorterThanTheCapacity)
{
    EXPECT_FALSE(Normalize(std::string(259, 'a')).ok);
    EXPECT_FALSE(Normalize(std::string(258, 'a') + "@x.y", 260).ok);
    const Result fits = Normalize(std::string(254, 'a') + "@x.y", 260); // 258 bytes
    EXPECT_TRUE(fits.ok);
    EXPECT_EQ(fits.text.size(), 258u);
}

TEST(NormalizeSenderAddress, LongTextIsCutSoTheCompletionFillsTheCapacity)
{
    const Result r = Normalize(std::string(258, 'a'), 260);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.size, 260u);
    EXPECT_EQ(r.text, std::string(259 - 19, 'a') + "@velloprint.invalid");

    const Result dotCom = Normalize(std::string(250, 'a') + "@host", 258); // room 2, needs 5
    ASSERT_TRUE(dotCom.ok);
    EXPECT_EQ(dotCom.size, 258u);
    EXPECT_EQ(dotCom.text, std::string(250, 'a') + "@ho.com");
}

TEST(NormalizeSenderAddress, ShortCapacityNeverOverruns)
{
    EXPECT_FALSE(Normalize("", 10).ok);  // placeholder does not fit
    EXPECT_FALSE(Normalize("ab", 4).ok); // completion does not fit
    const Result r = Normalize("ab@c", 6);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.text, "a.com");
}

TEST(ExtractMailbox, PicksTheMailboxOutOfCommonForms)
{
    struct Case { std::string text; std::string mailbox; };
    const Case cases[] = {
        {"anna@host.example", "anna@host.example"},
        {"Anna Berg <anna@host.example>", "anna@host.example"},
        {"anna@host.example (Anna)", "anna@host.example "},
        {"\"Anna\"anna@host.example", "anna@host.example"},
        {"\"Anna\" <anna@host.example>", " <anna@host.example"},
        {"(note)anna@host.example", "anna@host.example"},
        {"Anna Berg anna@host.example", "Anna Berg anna@host.example"},
        {"@host", "@host"},
    };
    for (const Case& c : cases) {
        const Result r = Extract(c.text);
        EXPECT_TRUE(r.ok) << c.text;
        EXPECT_EQ(r.text, c.mailbox);
        EXPECT_EQ(r.size, c.mailbox.size() + 1) << c.text;
    }
}

TEST(ExtractMailbox, TextWithoutAtFailsWithAllBitsSet)
{
    for (const char* text : {"", "anna", "Anna <anna.host.example>"}) {
        const Result r = Extract(text);
        EXPECT_FALSE(r.ok) << text;
        EXPECT_EQ(r.size, 0xFFFFFFFFu) << text;
    }
}

TEST(ExtractMailbox, MailboxMustFitTheCapacity)
{
    const std::string fits = std::string(250, 'a') + "@b.cdefgh"; // 259 bytes
    EXPECT_TRUE(Extract(fits, 260).ok);
    const Result tooLong = Extract(fits + "i", 260);
    EXPECT_FALSE(tooLong.ok);
    EXPECT_EQ(tooLong.size, 261u);
}

TEST(HasControlByte, FindsLineBreaksAndOtherControlBytes)
{
    EXPECT_FALSE(HasControlByte(""));
    EXPECT_FALSE(HasControlByte("Anna <anna@host.example> \xE9~"));
    for (const char* text : {"a\rb", "a\nb", "\tanna", "anna\x7F", "\x1B$B"})
        EXPECT_TRUE(HasControlByte(text)) << text;
}
