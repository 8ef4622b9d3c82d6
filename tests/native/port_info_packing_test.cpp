#include "monitor/core/port_info_packing.h"
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
uint64_t Read(const std::vector<uint8_t>& bytes, size_t at, size_t size)
{
    uint64_t value = 0;
    for (size_t i = 0; i < size; ++i)
        value |= uint64_t{bytes.at(at + i)} << (8 * i);
    return value;
}

// The string a pointer field points at, read from the buffer.
std::wstring StringAt(const std::vector<uint8_t>& bytes, uint64_t address, size_t field, size_t pointerSize)
{
    std::wstring text;
    for (size_t at = Read(bytes, field, pointerSize) - address; Read(bytes, at, 2) != 0; at += 2)
        text += static_cast<wchar_t>(Read(bytes, at, 2));
    return text;
}
} // namespace

TEST(PortInfoPacking, BothLayoutsAtTheNeededSizeAndOneByteEitherSide)
{
    const struct {
        uint32_t level;
        size_t pointerSize;
        uint32_t needed;            // NMX1, 1.64 and nmx2 (counted, not listed); monitor name "Mon"
        uint32_t secondNameFromEnd; // below every string of the first port
    } cases[] = {{1, 4, 3 * (4 + 10), 20}, {1, 8, 3 * (8 + 10), 20},
                 {2, 4, 3 * (20 + 10 + 16), 36}, {2, 8, 3 * (32 + 10 + 16), 36}};
    for (const auto& c : cases) {
        const uint64_t address = c.pointerSize == 4 ? 0x00401000u : 0x7ffe12345000u; // beyond 4 GiB on 64-bit
        for (const uint32_t size : {c.needed - 1, c.needed, c.needed + 1}) {
            SCOPED_TRACE(std::to_string(c.level) + "/" + std::to_string(c.pointerSize) + "/" + std::to_string(size));
            std::vector<uint8_t> bytes(size, 0xCC);
            const PortInfoAnswer answer =
                PackPortInfo({L"NMX1", L"1.64", L"nmx2"}, L"Mon", c.level, {bytes.data(), size, address, c.pointerSize});
            EXPECT_EQ(c.needed, answer.bytesNeeded);
            if (size < c.needed) {
                EXPECT_EQ(PortInfoStatus::InsufficientBuffer, answer.status);
                EXPECT_EQ(std::vector<uint8_t>(size, 0xCC), bytes) << "nothing written";
                continue;
            }
            ASSERT_EQ(2u, answer.countReturned);
            const size_t p = c.pointerSize, stride = PortInfoStructSize(c.level, p);
            EXPECT_EQ(address + size - 10, Read(bytes, 0, p)) << "the first name ends the buffer";
            EXPECT_EQ(address + size - c.secondNameFromEnd, Read(bytes, stride, p));
            EXPECT_EQ(L"NMX1", StringAt(bytes, address, 0, p));
            EXPECT_EQ(L"nmx2", StringAt(bytes, address, stride, p));
            if (c.level == 2) { // the monitor name twice, then the port type
                EXPECT_EQ(L"Mon", StringAt(bytes, address, stride + 2 * p, p));
                EXPECT_EQ(kPortTypeWrite, Read(bytes, stride + 3 * p, 4));
            }
        }
    }
}
