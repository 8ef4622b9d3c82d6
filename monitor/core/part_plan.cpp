#include "monitor/core/part_plan.h"

SizeQuestion ChooseSizeQuestion(uint64_t size, int32_t checkMailSw, int32_t partSw)
{
    if (checkMailSw != 1 || size <= kQuestionThreshold)
        return SizeQuestion::None;
    if (partSw == 0)
        return SizeQuestion::WholeJob;
    if (size < kSplitQuestionThreshold)
        return SizeQuestion::None;
    return SizeQuestion::SplitJob;
}

uint64_t PartChunkBytes(uint32_t partLimitKb)
{
    return uint64_t{kPartLimitKbRange.Holds(partLimitKb) ? partLimitKb : kDefaultPartLimitKb} * 1024;
}

uint64_t PartCountFor(uint64_t size, uint32_t partLimitKb)
{
    const uint64_t chunk = PartChunkBytes(partLimitKb);
    return size / chunk + (size % chunk != 0 ? 1 : 0);
}

uint64_t PartBytes(uint64_t size, uint32_t partLimitKb, uint64_t partIndex)
{
    const uint64_t chunk = PartChunkBytes(partLimitKb);
    const uint64_t count = PartCountFor(size, partLimitKb);
    if (partIndex == 0 || partIndex > count)
        return 0;
    return partIndex < count ? chunk : size - (count - 1) * chunk;
}
