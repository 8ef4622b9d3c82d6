#pragma once
// Where the parts of a device-independent bitmap lie in its resource: the header, the colour
// table, the pixels. Portable: no Win32 here.
#include <cstddef>
#include <cstdint>

// The fields of a bitmap's information header that decide its layout.
struct BitmapHeader {
    uint32_t size = 0; // of the header itself
    int32_t width = 0;
    int32_t height = 0; // negative for a top-down bitmap
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t imageSize = 0; // of the pixels, for a compressed bitmap
    uint32_t coloursUsed = 0;
};

constexpr uint32_t kInfoHeaderSize = 40;   // BITMAPINFOHEADER; later headers are longer
constexpr uint32_t kUncompressed = 0;      // BI_RGB
constexpr uint32_t kColourMasks = 3;       // BI_BITFIELDS: three masks follow the plain header

// The pixels start after the header and the colour table (the used-colour count, or every colour
// of a palette bitmap when that count is 0); the bitmap ends after them. Both 0 for a header
// this program does not read.
struct BitmapLayout {
    size_t pixels = 0;
    size_t end = 0;
};
BitmapLayout LayOutBitmap(const BitmapHeader& header);
