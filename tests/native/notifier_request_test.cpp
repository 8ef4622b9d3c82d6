#include "monitor/core/answer_wait.h"
#include "monitor/core/block_fields.h"
#include "monitor/core/notifier_request.h"
#include "monitor/core/xcv_settings.h"
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {
std::vector<uint8_t> Block(NotifierKind kind, uint32_t style, const std::u16string& text)
{
    NotifierRequest request{kind, style};
    text.copy(request.text, kNotifierTextUnits - 1);
    std::vector<uint8_t> block(NotifierBlockBytes(kind));
    WriteNotifierRequest(request, block.data());
    if (kind == NotifierKind::Confirmation)
        WriteXcvSettings(XcvSettings{}, block.data() + kNotifierSettingsOffset);
    return block;
}

constexpr uint32_t kQuestion = 0x10041; // OK and Cancel, information icon, set foreground
} // namespace

TEST(NotifierRequest, ARequestReadsBackAndEveryFaultIsRefused)
{
    NotifierRequest read;
    // The longest text: its terminator is the field's last unit.
    const std::u16string text = u"\u30b8\u30e7\u30d6 " + std::u16string(kNotifierTextUnits - 5, u'x');
    const std::vector<uint8_t> good = Block(NotifierKind::Message, kQuestion, text);
    ASSERT_EQ(ReadNotifierRequest(good.data(), good.size(), &read), NotifierReadError::None);
    EXPECT_EQ(std::u16string(read.text), text);
    EXPECT_EQ(read.style, kQuestion);

    const struct {
        const char* fault;
        size_t offset; // where a number is overwritten; SIZE_MAX for none
        uint32_t value;
        size_t cut;    // bytes taken off the end
        NotifierReadError error;
    } cases[] = {
        {"another magic", 0, 0x31535854, 0, NotifierReadError::NotRequest},
        {"a later version", 4, 2, 0, NotifierReadError::Version},
        {"a size other than the block's", 8, 4377, 0, NotifierReadError::Size},
        {"an unknown kind", 12, 3, 0, NotifierReadError::Kind},
        {"yes and no buttons", 16, 0x4, 0, NotifierReadError::Style},
        {"a system-modal box", 16, 0x1000, 0, NotifierReadError::Style},
        {"an answer no box gives", 20, 6, 0, NotifierReadError::Answer},
        {"a text without terminator", 280 + 2 * 2046, 0x00410041, 0, NotifierReadError::Text},
        {"one byte short", SIZE_MAX, 0, 1, NotifierReadError::TooShort},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> block = good;
        if (c.offset != SIZE_MAX)
            PutLittleEndian32(block.data() + c.offset, c.value);
        block.resize(block.size() - c.cut);
        EXPECT_EQ(ReadNotifierRequest(block.data(), block.size(), &read), c.error) << c.fault;
    }
}

TEST(NotifierRequest, OnlyAValidAnswerOfTheKindSentCounts)
{
    auto settings = std::make_unique<XcvSettings>();
    std::vector<uint8_t> block = Block(NotifierKind::Confirmation, 0, u"");
    const auto answer = [&](NotifierKind sent) {
        return ReadNotifierAnswer(block.data(), block.size(), sent, settings.get());
    };
    EXPECT_EQ(answer(NotifierKind::Confirmation), kNotifierNoAnswer) << "not answered yet";
    WriteNotifierAnswer(block.data(), kNotifierOk);
    EXPECT_EQ(answer(NotifierKind::Confirmation), kNotifierOk);
    EXPECT_EQ(answer(NotifierKind::Message), kNotifierNoAnswer) << "a confirmation where a box was asked";
    PutLittleEndian32(block.data() + kNotifierSettingsOffset + 26932, 9); // Notification out of range
    EXPECT_EQ(answer(NotifierKind::Confirmation), kNotifierNoAnswer) << "accepted settings the monitor would refuse";
    WriteNotifierAnswer(block.data(), kNotifierCancel);
    EXPECT_EQ(answer(NotifierKind::Confirmation), kNotifierCancel) << "a cancel needs no settings";
}

namespace {
// A clock that moves only when the wait waits; the answer comes at a set time.
struct FakeSource : AnswerSource {
    FakeSource(uint32_t start, uint32_t answerAfterMs) : now(start), answerAt(start + answerAfterMs) {}
    uint32_t NowMs() override { return now; }
    AnswerState WaitAnswer(uint32_t sliceMs) override
    {
        const bool comes = answerAt - now <= sliceMs;
        now = comes ? answerAt : now + sliceMs;
        return comes ? AnswerState::Answered : AnswerState::NotYet;
    }
    uint32_t now, answerAt;
};
} // namespace

TEST(AnswerWait, AQuestionIsWaitedForTenMinutesAtMost)
{
    const struct {
        const char* name;
        uint32_t start;
        uint32_t answerAfterMs;
        bool answered;
        uint32_t waitedMs;
    } cases[] = {
        {"an answer after a minute", 5000, 60000, true, 60000},
        {"an answer just in time", 5000, kAnswerWaitMs, true, kAnswerWaitMs},
        {"no answer: cut off at ten minutes", 5000, 3 * kAnswerWaitMs, false, kAnswerWaitMs},
        {"the millisecond count wraps during the wait", UINT32_MAX - 1000, 3 * kAnswerWaitMs, false, kAnswerWaitMs},
    };
    for (const auto& c : cases) {
        FakeSource source(c.start, c.answerAfterMs);
        EXPECT_EQ(WaitForAnswer(source), c.answered) << c.name;
        EXPECT_EQ(source.now - c.start, c.waitedMs) << c.name;
    }
}
