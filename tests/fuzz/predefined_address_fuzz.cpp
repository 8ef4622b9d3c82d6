// Any bytes as "PreDef.ADR", read as Shift-JIS: the address holds the file's first bytes within
// its field, always terminated, with "..." after the first 124 (123 when a two-byte character
// would be split) when more were read.
#include "addressbook/core/data_files.h"
#include "fuzz_check.h"
#include "tests/native/address_book_builder.h"

#include <algorithm>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    constexpr size_t kShown = 124;
    char address[kTextFieldSize];
    std::memset(address, 'x', sizeof address);
    PredefinedAddressFrom(data, size, Cp932(), address);
    const size_t read = std::min(size, kTextFieldSize - 1);
    const size_t dots = read > kShown && address[kShown + 2] == '\0' ? kShown - 1 : kShown;
    FUZZ_CHECK(address[kTextFieldSize - 1] == '\0');
    FUZZ_CHECK(read == 0 || std::memcmp(address, data, std::min(read, dots)) == 0);
    FUZZ_CHECK(read <= kShown || std::memcmp(address + dots, "...", 3) == 0);
    FUZZ_CHECK(dots == kShown || WholeCharBytes(reinterpret_cast<const char*>(data), kShown, Cp932()) == dots);
    return 0;
}
