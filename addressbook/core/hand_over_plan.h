#pragma once
// What the send button writes into "PreDef.ADR" and the byte count it announces with
// "WM_SENDADDR". Portable: no Win32 here.
#include "addressbook/core/address_data.h"
#include "addressbook/core/data_files.h"

#include <cstdint>
#include <vector>

struct HandOverPlan {
    uint64_t offset; // where `text` is written; the file is not truncated
    Bytes text;      // ends with the terminator
    uint32_t length; // HandOverLength: an upper bound of the text with its terminator
};

// `fileSize` is the current size of "PreDef.ADR"; `recipients` the recipient list in order.
// The predefined entry first keeps the file's text and extends it.
HandOverPlan PlanHandOver(uint64_t fileSize, const std::vector<EntryRef>& recipients,
                          const AddressBook& book);
