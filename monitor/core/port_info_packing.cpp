#include "monitor/core/port_info_packing.h"
#include "monitor/ui/port_name_rule.h"

#include <cwchar>

namespace {
constexpr uint32_t kDwordSize = 4;
constexpr uint32_t kCodeUnitSize = 2;

uint32_t StringBytes(const wchar_t* text)
{
    return (static_cast<uint32_t>(std::wcslen(text)) + 1) * kCodeUnitSize;
}

uint32_t BytesNeededFor(const wchar_t* name, const wchar_t* monitorName, uint32_t level, std::size_t pointerSize)
{
    const uint32_t structSize = PortInfoStructSize(level, pointerSize);
    if (level == 1)
        return structSize + StringBytes(name);
    if (level == 2)
        return structSize + StringBytes(name) + 2 * StringBytes(monitorName);
    return 0;
}

void StoreLittleEndian(uint8_t* at, uint64_t value, std::size_t bytes)
{
    for (std::size_t i = 0; i < bytes; ++i)
        at[i] = static_cast<uint8_t>(value >> (8 * i));
}

// Structures go up from the start, strings down from the end; the needed size was checked first,
// so the two never meet.
class PortInfoWriter {
public:
    explicit PortInfoWriter(const PortInfoBuffer& buffer) : buffer_(buffer), stringsStart_(buffer.size) {}

    void PackString(const wchar_t* text)
    {
        stringsStart_ -= StringBytes(text);
        uint8_t* at = buffer_.bytes + stringsStart_;
        for (const wchar_t* c = text;; ++c, at += kCodeUnitSize) {
            StoreLittleEndian(at, static_cast<uint16_t>(*c), kCodeUnitSize);
            if (*c == L'\0')
                break;
        }
        StorePointer(buffer_.address + stringsStart_);
    }

    void StorePointer(uint64_t value) { Store(value, buffer_.pointerSize); }
    void StoreDword(uint32_t value) { Store(value, kDwordSize); }

private:
    void Store(uint64_t value, std::size_t bytes)
    {
        StoreLittleEndian(buffer_.bytes + structEnd_, value, bytes);
        structEnd_ += static_cast<uint32_t>(bytes);
    }

    const PortInfoBuffer& buffer_;
    uint32_t structEnd_ = 0;
    uint32_t stringsStart_;
};

void WritePortInfo(PortInfoWriter& writer, const wchar_t* name, const wchar_t* monitorName, uint32_t level)
{
    writer.PackString(name);
    if (level == 1)
        return;
    writer.PackString(monitorName);
    writer.PackString(monitorName); // the description
    writer.StoreDword(kPortTypeWrite);
    writer.StoreDword(0); // reserved
}
} // namespace

PortInfoAnswer PackPortInfo(const std::vector<const wchar_t*>& portNames, const wchar_t* monitorName,
                            uint32_t level, const PortInfoBuffer& buffer)
{
    PortInfoAnswer answer = {PortInfoStatus::Filled, 0, 0};
    for (const wchar_t* name : portNames)
        answer.bytesNeeded += BytesNeededFor(name, monitorName, level, buffer.pointerSize);
    if (answer.bytesNeeded > buffer.size) {
        answer.status = PortInfoStatus::InsufficientBuffer;
        return answer;
    }
    PortInfoWriter writer(buffer);
    for (const wchar_t* name : portNames) {
        if (!HasMonitorPortPrefix(name))
            continue;
        if (level != 1 && level != 2) {
            answer.status = PortInfoStatus::InvalidLevel;
            break;
        }
        WritePortInfo(writer, name, monitorName, level);
        ++answer.countReturned;
    }
    return answer;
}
