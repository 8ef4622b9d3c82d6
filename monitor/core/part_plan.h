#pragma once
#include <cstdint>

// Arithmetic of the end-of-job dispatch: whether a job is questioned and how it is cut into
// parts. Sizes are 64-bit so that a spool file of 4 GiB or more is neither mis-split nor cut.

constexpr uint64_t kQuestionThreshold = 1048576;    // larger jobs may be questioned
constexpr uint64_t kSplitQuestionThreshold = 2097152; // split jobs below this are never questioned
constexpr uint32_t kDefaultPartLimitKb = 1024;

enum class SizeQuestion { None, WholeJob, SplitJob };

SizeQuestion ChooseSizeQuestion(uint64_t size, int32_t checkMailSw, int32_t partSw);

// A stored PartLimit of 0 would divide by zero: it is read as the default of 1024 KB.
uint64_t PartChunkBytes(uint32_t partLimitKb);

uint64_t PartCountFor(uint64_t size, uint32_t partLimitKb);

// Bytes carried by part partIndex (1-based) of a job of the given size.
uint64_t PartBytes(uint64_t size, uint32_t partLimitKb, uint64_t partIndex);
