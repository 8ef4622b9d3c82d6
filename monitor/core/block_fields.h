#pragma once
#include <cstddef>
#include <cstdint>

// The fields of the monitor's exchange blocks: 32-bit numbers and UTF-16 texts of fixed width,
// little-endian whatever the machine.
inline void PutLittleEndian32(uint8_t* at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<uint8_t>(value >> (8 * i));
}

inline uint32_t GetLittleEndian32(const uint8_t* at)
{
    return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 | static_cast<uint32_t>(at[2]) << 16 |
           static_cast<uint32_t>(at[3]) << 24;
}

// Writes the text into its field of units UTF-16 units: everything after the terminator is zero,
// whatever the text's array held there, and the last unit is always the terminator.
inline void PutTextField(uint8_t* at, const char16_t* text, size_t units)
{
    bool ended = false;
    for (size_t i = 0; i < units; ++i) {
        ended = ended || text[i] == u'\0' || i + 1 == units;
        const char16_t unit = ended ? u'\0' : text[i];
        at[2 * i] = static_cast<uint8_t>(unit);
        at[2 * i + 1] = static_cast<uint8_t>(unit >> 8);
    }
}

inline char16_t GetTextUnit(const uint8_t* at, size_t index)
{
    return static_cast<char16_t>(at[2 * index] | at[2 * index + 1] << 8);
}
