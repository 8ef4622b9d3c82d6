#include "addressbook/ui/bitmap_layout.h"

#include <gtest/gtest.h>

namespace {

TEST(BitmapLayout, PixelsFollowTheHeaderAndTheColourTable)
{
    const struct {
        const char* what;
        BitmapHeader header;
        size_t pixels;
        size_t end;
    } cases[] = {
        // 22 x 16, 4 bits: rows of 12 bytes (11 rounded up to 4), 16 colours of 4 bytes.
        {"a 16-colour icon", {40, 22, 16, 4, kUncompressed, 0, 0}, 40 + 64, 40 + 64 + 12 * 16},
        {"the used-colour count wins", {40, 22, 16, 4, kUncompressed, 0, 3}, 40 + 12, 40 + 12 + 12 * 16},
        {"a top-down bitmap", {40, 22, -16, 8, kUncompressed, 0, 0}, 40 + 1024, 40 + 1024 + 24 * 16},
        {"true colour has no table", {40, 22, 16, 24, kUncompressed, 0, 0}, 40, 40 + 68 * 16},
        {"colour masks after a plain header", {40, 4, 2, 16, kColourMasks, 0, 0}, 52, 52 + 8 * 2},
        {"a longer header holds its masks", {124, 4, 2, 32, kColourMasks, 0, 0}, 124, 124 + 16 * 2},
        {"a compressed bitmap gives its size", {40, 22, 16, 8, 1, 100, 2}, 48, 148},
    };
    for (const auto& c : cases) {
        const BitmapLayout layout = LayOutBitmap(c.header);
        EXPECT_EQ(layout.pixels, c.pixels) << c.what;
        EXPECT_EQ(layout.end, c.end) << c.what;
    }
}

TEST(BitmapLayout, HeadersItCannotReadGiveNoLayout)
{
    const BitmapHeader cases[] = {
        {12, 22, 16, 4, kUncompressed, 0, 0},          // an old core header
        {40, 0, 16, 4, kUncompressed, 0, 0},           // no width
        {40, 22, 0, 4, kUncompressed, 0, 0},           // no height
        {40, 22, 16, 0, kUncompressed, 0, 0},          // no bit count
        {40, 22, 16, 33, kUncompressed, 0, 0},         // too many bits
        {40, 0x7FFFFFFF, 0x7FFFFFFF, 32, kUncompressed, 0, 0}, // larger than any resource
        {40, 1, 1, 8, kUncompressed, 0, 0xFFFFFFFF},   // a table larger than any resource
    };
    for (const BitmapHeader& header : cases)
        EXPECT_EQ(LayOutBitmap(header).end, 0u) << header.size << " " << header.width << " " << header.bitCount;
}

} // namespace
