// Any text as a configured address, with any output capacity (the first byte): the rules
// never write beyond the capacity, and what they report matches what they wrote.
#include "fuzz_check.h"
#include "monitor/mail/address_rules.h"

#include <cstring>
#include <memory>
#include <string>

namespace {

using Rule = bool (*)(const char*, char*, uint32_t*);

void Check(Rule rule, const std::string& text, uint32_t capacity)
{
    // Exactly the capacity: AddressSanitizer sees any byte written beyond it.
    const std::unique_ptr<char[]> output(new char[capacity]);
    uint32_t size = capacity;
    if (rule(text.c_str(), output.get(), &size)) {
        FUZZ_CHECK(size >= 1 && size <= capacity);
        FUZZ_CHECK(std::strlen(output.get()) + 1 == size);
    } else if (rule == ExtractMailbox && size != UINT32_MAX) {
        FUZZ_CHECK(size > capacity); // the size it needs
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const uint32_t capacity = data[0];
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string line = text.substr(0, text.find('\0'));
    Check(NormalizeSenderAddress, line, capacity);
    Check(ExtractMailbox, line, capacity);
    static_cast<void>(HasControlByte(line.c_str()));
    return 0;
}
