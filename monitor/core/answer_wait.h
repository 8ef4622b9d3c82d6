#pragma once
#include <cstdint>

// The spooler's thread waits for the job owner's answer (the job-start confirmation, the size
// question) at most ten minutes: a question nobody answers in time counts as not confirmed, and the
// job is not mailed.
constexpr uint32_t kAnswerWaitMs = 10 * 60 * 1000;
constexpr uint32_t kAnswerSliceMs = 1000;

enum class AnswerState { Answered, NotYet, Failed };

// The process that asks, and the clock the wait is measured by.
class AnswerSource {
public:
    virtual uint32_t NowMs() = 0; // a millisecond count that may wrap around
    // Waits at most sliceMs for the answer.
    virtual AnswerState WaitAnswer(uint32_t sliceMs) = 0;

protected:
    ~AnswerSource() = default;
};

// True when the answer came within kAnswerWaitMs of the call; false when it did not, or the
// asking process failed.
bool WaitForAnswer(AnswerSource& source);
