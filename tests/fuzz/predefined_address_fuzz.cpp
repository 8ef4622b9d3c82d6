// Any bytes as "PreDef.ADR": the address holds the file's first bytes within its field, always
// terminated, with "..." after the first 124 when more were read.
#include "addressbook/core/data_files.h"
#include "fuzz_check.h"

#include <algorithm>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    constexpr size_t kShown = 124;
    char address[kTextFieldSize];
    std::memset(address, 'x', sizeof address);
    PredefinedAddressFrom(data, size, address);
    const size_t read = std::min(size, kTextFieldSize - 1);
    FUZZ_CHECK(address[kTextFieldSize - 1] == '\0');
    FUZZ_CHECK(read == 0 || std::memcmp(address, data, std::min(read, kShown)) == 0);
    FUZZ_CHECK(read <= kShown || std::memcmp(address + kShown, "...", 3) == 0);
    return 0;
}
