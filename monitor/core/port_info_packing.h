#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// EnumPorts' answer as the platform lays it out for an architecture: PORT_INFO_1W (the name) or
// PORT_INFO_2W (port name, monitor name, description, port type, reserved) structures from the
// buffer's start, their strings from its end downwards, each string with its terminator directly
// below the one before. A pointer field holds the buffer's address plus the string's offset, in
// pointerSize bytes (4 or 8), little-endian; strings are UTF-16.
enum class PortInfoStatus { Filled, InsufficientBuffer, InvalidLevel };

struct PortInfoAnswer {
    PortInfoStatus status;
    uint32_t bytesNeeded;   // counts every entry of the list, the hidden ones too
    uint32_t countReturned; // structures filled (only when the buffer was large enough)
};

constexpr uint32_t kPortTypeWrite = 1;

// Bytes of one structure of the level; 0 for a level the monitor does not answer.
constexpr uint32_t PortInfoStructSize(uint32_t level, std::size_t pointerSize)
{
    const auto pointer = static_cast<uint32_t>(pointerSize);
    return level == 1 ? pointer : level == 2 ? 3 * pointer + 2 * sizeof(uint32_t) : 0;
}

struct PortInfoBuffer {
    uint8_t* bytes;     // may be null when size is 0
    uint32_t size;
    uint64_t address;   // what the caller's pointers to it are
    std::size_t pointerSize;
};

// portNames: the names of the port list in list order; only those with the monitor's prefix
// "NMX" are reported. monitorName is also the description of level 2.
PortInfoAnswer PackPortInfo(const std::vector<const wchar_t*>& portNames, const wchar_t* monitorName,
                            uint32_t level, const PortInfoBuffer& buffer);
