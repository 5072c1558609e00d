// The compiled-in PNG decoder of the scaled art: the colour types the art may come in, the
// committed art itself, and damaged or oversized input.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "controls/png_image.h"

namespace {

using Bytes = std::vector<uint8_t>;

uint32_t Crc32(const uint8_t* data, size_t size) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void PutBigEndian(Bytes& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

void PutChunk(Bytes& png, const char* type, const Bytes& data) {
    PutBigEndian(png, static_cast<uint32_t>(data.size()));
    Bytes typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    png.insert(png.end(), typed.begin(), typed.end());
    PutBigEndian(png, Crc32(typed.data(), typed.size()));
}

// A zlib stream of one stored (uncompressed) block.
Bytes Stored(const Bytes& raw) {
    Bytes z{0x78, 0x01, 0x01, static_cast<uint8_t>(raw.size()), static_cast<uint8_t>(raw.size() >> 8),
            static_cast<uint8_t>(~raw.size()), static_cast<uint8_t>(~raw.size() >> 8)};
    z.insert(z.end(), raw.begin(), raw.end());
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBigEndian(z, b << 16 | a);
    return z;
}

// A PNG of 8-bit samples: each row of `rows` holds width x channels bytes, written with filter 0.
Bytes MakePng(uint32_t width, uint32_t height, uint8_t colourType, const std::vector<Bytes>& rows,
              const Bytes& palette = {}) {
    Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    PutBigEndian(header, width);
    PutBigEndian(header, height);
    header.insert(header.end(), {8, colourType, 0, 0, 0});
    PutChunk(png, "IHDR", header);
    if (!palette.empty()) PutChunk(png, "PLTE", palette);
    Bytes raw;
    for (const Bytes& row : rows) {
        raw.push_back(0);
        raw.insert(raw.end(), row.begin(), row.end());
    }
    PutChunk(png, "IDAT", Stored(raw));
    PutChunk(png, "IEND", {});
    return png;
}

PixelImage Decode(const Bytes& png) { return DecodePng(png.data(), png.size()); }

Bytes ReadArt(const std::string& name) {
    std::ifstream in(std::string(ORVA_ART_DIR) + "/" + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

TEST(PngImage, EveryColourTypeComesOutAsRgbWithoutAlpha) {
    struct Case {
        const char* name;
        uint8_t colourType;
        std::vector<Bytes> rows;
        Bytes palette;
        std::vector<uint32_t> expected;
    };
    const Case cases[] = {
        {"rgb", 2, {{255, 0, 0, 0, 255, 0}, {0, 0, 255, 1, 2, 3}}, {}, {0xFF0000, 0x00FF00, 0x0000FF, 0x010203}},
        // The alpha is dropped, not applied: a transparent pixel keeps its colour.
        {"rgba", 6, {{10, 20, 30, 0, 40, 50, 60, 128}, {70, 80, 90, 255, 1, 1, 1, 1}}, {},
         {0x0A141E, 0x28323C, 0x46505A, 0x010101}},
        {"grey", 0, {{0, 128}, {200, 255}}, {}, {0x000000, 0x808080, 0xC8C8C8, 0xFFFFFF}},
        {"palette", 3, {{1, 0}, {0, 1}}, {9, 8, 7, 250, 251, 252}, {0xFAFBFC, 0x090807, 0x090807, 0xFAFBFC}},
    };
    for (const Case& c : cases) {
        const PixelImage image = Decode(MakePng(2, 2, c.colourType, c.rows, c.palette));
        EXPECT_EQ(image.width, 2) << c.name;
        EXPECT_EQ(image.height, 2) << c.name;
        EXPECT_EQ(image.pixels, c.expected) << c.name;
    }
}

TEST(PngImage, TheArtDecodesAtTwiceItsSizeAndTheMasksStaySolid) {
    // The close button's face and mask: 16 x 16 at 100 %, so 32 x 32 in the 200 % set.
    const Bytes face = ReadArt("s200_164.png"), mask = ReadArt("s200_171.png");
    ASSERT_FALSE(face.empty());
    ASSERT_FALSE(mask.empty());
    const PixelImage faceImage = Decode(face), maskImage = Decode(mask);
    EXPECT_EQ(faceImage.width, 32);
    EXPECT_EQ(faceImage.height, 32);
    ASSERT_EQ(maskImage.pixels.size(), 32u * 32u);
    for (uint32_t pixel : maskImage.pixels) ASSERT_EQ(pixel, 0u);
}

TEST(PngImage, DamagedNoPngAndOversizedInputGiveAnEmptyImage) {
    const Bytes good = MakePng(2, 2, 2, {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}});
    ASSERT_EQ(Decode(good).pixels.size(), 4u);
    // Cut anywhere before its image data ends, it decodes to nothing.
    const size_t imageDataEnd = good.size() - 12 - 4;
    for (size_t length = 0; length < imageDataEnd; ++length)
        EXPECT_TRUE(DecodePng(good.data(), length).pixels.empty()) << length << " bytes";
    EXPECT_TRUE(DecodePng(nullptr, 100).pixels.empty());

    Bytes notPng = good;
    notPng[1] = 'Q';
    EXPECT_TRUE(Decode(notPng).pixels.empty());

    // A header that claims more than the largest side is refused before anything is decoded.
    for (uint32_t side : {static_cast<uint32_t>(kMaxPngSide) + 1, 0x7FFFFFFFu}) {
        const Bytes huge = MakePng(side, 1, 2, {{1, 2, 3}});
        EXPECT_TRUE(Decode(huge).pixels.empty()) << side;
    }
    // Into pixels of another size than the header's, nothing is decoded.
    std::vector<uint32_t> pixels(4, 0xDEAD);
    EXPECT_FALSE(DecodePngInto(good.data(), good.size(), PngSize{2, 1}, pixels.data()));
    EXPECT_FALSE(DecodePngInto(good.data(), good.size(), PngSize{2, 2}, nullptr));
    EXPECT_TRUE(DecodePngInto(good.data(), good.size(), PngSize{2, 2}, pixels.data()));
    EXPECT_EQ(pixels[3], 0x0A0B0Cu);
    // Rows shorter than the header says.
    EXPECT_TRUE(Decode(MakePng(4, 2, 2, {{1, 2, 3}, {4, 5, 6}})).pixels.empty());
}
