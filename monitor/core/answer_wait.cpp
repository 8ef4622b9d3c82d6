#include "monitor/core/answer_wait.h"

bool WaitForAnswer(AnswerSource& source)
{
    const uint32_t start = source.NowMs();
    for (;;) {
        const uint32_t waited = source.NowMs() - start; // unsigned: right across a wrap-around
        if (waited >= kAnswerWaitMs)
            return false;
        const uint32_t left = kAnswerWaitMs - waited;
        switch (source.WaitAnswer(left < kAnswerSliceMs ? left : kAnswerSliceMs)) {
        case AnswerState::Answered:
            return true;
        case AnswerState::Failed:
            return false;
        case AnswerState::NotYet:
            break;
        }
    }
}
