#pragma once
#include "monitor/core/stored_numbers.h"

#include <cstdint>

// Arithmetic of the end-of-job dispatch: whether a job is questioned and how it is cut into
// parts. Sizes are 64-bit so that a spool file of 4 GiB or more is neither mis-split nor cut.

constexpr uint64_t kQuestionThreshold = 1048576;    // larger jobs may be questioned
constexpr uint64_t kSplitQuestionThreshold = 2097152; // split jobs below this are never questioned

enum class SizeQuestion { None, WholeJob, SplitJob };

SizeQuestion ChooseSizeQuestion(uint64_t size, int32_t checkMailSw, int32_t partSw);

// A part limit outside 16 to 16384 KB is read as the default of 1024 KB: 0 would divide by zero,
// and a larger one would make a part that no buffer of the 32-bit monitor can hold.
uint64_t PartChunkBytes(uint32_t partLimitKb);
static_assert(uint64_t{kPartLimitKbRange.max} * 1024 <= UINT32_MAX, "a part fits a 32-bit size");

uint64_t PartCountFor(uint64_t size, uint32_t partLimitKb);

// Bytes carried by part partIndex (1-based) of a job of the given size.
uint64_t PartBytes(uint64_t size, uint32_t partLimitKb, uint64_t partIndex);
