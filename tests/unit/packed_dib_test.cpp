// Bitmap resources read in memory: 24-bit rows with their padding, the committed art, and
// everything else left to the system.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "framework/packed_dib.h"

namespace {

using Bytes = std::vector<uint8_t>;

void PutLittle(Bytes& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A packed DIB: the 40-byte header, then the given bytes as its rows.
Bytes MakeDib(int32_t width, int32_t height, uint16_t bits, uint32_t compression, const Bytes& rows,
              uint32_t coloursUsed = 0) {
    Bytes dib;
    PutLittle(dib, 40, 4);
    PutLittle(dib, static_cast<uint32_t>(width), 4);
    PutLittle(dib, static_cast<uint32_t>(height), 4);
    PutLittle(dib, 1, 2);
    PutLittle(dib, bits, 2);
    PutLittle(dib, compression, 4);
    for (int i = 0; i < 3; ++i) PutLittle(dib, 0, 4);
    PutLittle(dib, coloursUsed, 4);
    PutLittle(dib, 0, 4);
    for (uint32_t i = 0; i < coloursUsed; ++i) PutLittle(dib, 0xABCDEF, 4);
    dib.insert(dib.end(), rows.begin(), rows.end());
    return dib;
}

std::vector<uint32_t> Expanded(const Bytes& dib) {
    const auto read = ReadTrueColourDib(dib.data(), dib.size());
    if (!read) return {};
    std::vector<uint32_t> pixels(static_cast<size_t>(read->width) * static_cast<size_t>(read->height));
    ExpandToThirtyTwoBits(*read, pixels.data());
    return pixels;
}

}  // namespace

TEST(PackedDib, TwentyFourBitRowsBecomeThirtyTwoBitPixelsInTheSameOrder) {
    // Two rows of three pixels, each padded from 9 to 12 bytes; stored as blue, green, red.
    const Bytes rows{1, 2, 3, 4, 5, 6, 7, 8, 9, 0xEE, 0xEE, 0xEE, 10, 11, 12, 13, 14, 15, 16, 17, 18, 0xEE, 0xEE, 0xEE};
    const std::vector<uint32_t> bottomFirst{0x030201, 0x060504, 0x090807, 0x0C0B0A, 0x0F0E0D, 0x121110};
    EXPECT_EQ(Expanded(MakeDib(3, 2, 24, 0, rows)), bottomFirst);
    // A colour table, which a 24-bit bitmap may carry, comes before the rows.
    EXPECT_EQ(Expanded(MakeDib(3, 2, 24, 0, rows, 2)), bottomFirst);
}

TEST(PackedDib, OtherFormatsAndShortOrHugeBitmapsAreLeftToTheSystem) {
    const Bytes rows(12 * 2, 0);
    struct Case {
        const char* name;
        Bytes dib;
    };
    const Case cases[] = {
        {"8-bit", MakeDib(3, 2, 8, 0, rows)},
        {"32-bit", MakeDib(3, 2, 32, 0, rows)},
        {"compressed", MakeDib(3, 2, 24, 1, rows)},
        {"top-down", MakeDib(3, -2, 24, 0, rows)},
        {"no width", MakeDib(0, 2, 24, 0, rows)},
        {"a row short", MakeDib(3, 3, 24, 0, rows)},
        {"too wide", MakeDib(kMaxDibSide + 1, 1, 24, 0, Bytes(size_t(kMaxDibSide + 1) * 3 + 3, 0))},
        {"a height that overflows", MakeDib(3, 0x7FFFFFFF, 24, 0, rows)},
    };
    for (const Case& c : cases) EXPECT_FALSE(ReadTrueColourDib(c.dib.data(), c.dib.size())) << c.name;
    const Bytes good = MakeDib(3, 2, 24, 0, rows);
    Bytes tableBeyondTheEnd = good;
    tableBeyondTheEnd[32] = 255;  // colours used: a table the bytes do not hold
    EXPECT_FALSE(ReadTrueColourDib(tableBeyondTheEnd.data(), tableBeyondTheEnd.size()));
    for (size_t length = 0; length < good.size(); ++length)
        EXPECT_FALSE(ReadTrueColourDib(good.data(), length)) << length << " bytes";
    EXPECT_FALSE(ReadTrueColourDib(nullptr, 100));
}

TEST(PackedDib, TheCommittedArtReadsWhole) {
    // The close button's 16 x 16 face, as the resource compiler embeds it after the file header.
    std::ifstream in(std::string(ORVA_ART_DIR) + "/bmp_164.bmp", std::ios::binary);
    const Bytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(file.size(), 14u);
    const auto dib = ReadTrueColourDib(file.data() + 14, file.size() - 14);
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib->width, 16);
    EXPECT_EQ(dib->height, 16);
    EXPECT_EQ(dib->stride, 48u);
}
