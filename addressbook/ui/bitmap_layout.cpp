#include "addressbook/ui/bitmap_layout.h"

#include <limits>

namespace {
constexpr uint64_t kColourEntryBytes = 4; // RGBQUAD
constexpr uint64_t kMaskBytes = 4;
} // namespace

BitmapLayout LayOutBitmap(const BitmapHeader& header)
{
    if (header.size < kInfoHeaderSize || header.width <= 0 || header.height == 0 || header.bitCount == 0 ||
        header.bitCount > 32)
        return {};
    uint64_t colours = header.coloursUsed;
    if (colours == 0 && header.bitCount <= 8)
        colours = uint64_t{1} << header.bitCount;
    uint64_t table = colours * kColourEntryBytes;
    if (header.size == kInfoHeaderSize && header.compression == kColourMasks)
        table += 3 * kMaskBytes;
    const uint64_t rows = header.height < 0 ? -int64_t{header.height} : int64_t{header.height};
    const uint64_t stride = (uint64_t(header.width) * header.bitCount + 31) / 32 * 4;
    const bool uncompressed = header.compression == kUncompressed || header.compression == kColourMasks;
    // Larger than any resource: the sizes would not even be counted right.
    if (uncompressed && rows > std::numeric_limits<uint32_t>::max() / stride)
        return {};
    const uint64_t pixels = uint64_t{header.size} + table;
    const uint64_t end = pixels + (uncompressed ? stride * rows : header.imageSize);
    if (end > std::numeric_limits<uint32_t>::max())
        return {};
    return {static_cast<size_t>(pixels), static_cast<size_t>(end)};
}
