// Any bytes as a settings block from XcvData: the reader reads nothing beyond them, and a block
// it accepts is written back to a block it accepts again, field for field.
#include "fuzz_check.h"
#include "monitor/core/xcv_settings.h"

#include <cstring>
#include <memory>
#include <vector>

namespace {
// Inputs are short; most are laid over a valid block at an offset taken from their first two
// bytes, so that the checks of every field are reached.
std::vector<uint8_t> BlockFrom(const uint8_t* data, size_t size)
{
    if (size < 2 || data[0] == 0xFF)
        return std::vector<uint8_t>(data, data + size);
    static const std::vector<uint8_t> valid = [] {
        std::vector<uint8_t> bytes(kXcvSettingsBytes);
        WriteXcvSettings(XcvSettings{}, bytes.data());
        return bytes;
    }();
    std::vector<uint8_t> block = valid;
    const size_t offset = (static_cast<size_t>(data[0]) << 8 | data[1]) * 4 % kXcvSettingsBytes;
    const size_t count = std::min(size - 2, block.size() - offset);
    std::memcpy(block.data() + offset, data + 2, count);
    return block;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<uint8_t> block = BlockFrom(data, size);
    // Exactly the bytes given: AddressSanitizer sees any read beyond them.
    const std::unique_ptr<uint8_t[]> exact(new uint8_t[block.size()]);
    if (!block.empty())
        std::memcpy(exact.get(), block.data(), block.size());
    auto settings = std::make_unique<XcvSettings>();
    if (ReadXcvSettings(exact.get(), block.size(), settings.get()) != XcvReadError::None)
        return 0;
    std::vector<uint8_t> again(kXcvSettingsBytes);
    WriteXcvSettings(*settings, again.data());
    auto reread = std::make_unique<XcvSettings>();
    FUZZ_CHECK(ReadXcvSettings(again.data(), again.size(), reread.get()) == XcvReadError::None);
    std::vector<uint8_t> third(kXcvSettingsBytes);
    WriteXcvSettings(*reread, third.data());
    FUZZ_CHECK(third == again);
    return 0;
}
