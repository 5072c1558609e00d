#include <gtest/gtest.h>

#include "controls/resample.h"

// Each new pixel is the average of what it covers, weighted by how much of each old pixel: the
// in-between scales shrink the next larger art with it.
TEST(ResampleArea, AveragesWhatEachNewPixelCovers) {
    const PixelImage row{3, 1, {0x000000, 0x0000F0, 0x00F000}};
    // Three into two: the first takes the first pixel and half the second, and so on.
    EXPECT_EQ(ResampleArea(row, 2, 1).pixels, (std::vector<uint32_t>{0x000050, 0x00A050}));
    const PixelImage square{2, 2, {0xFF000000, 0x00FF0000, 0x0000FF00, 0x000000FF}};
    EXPECT_EQ(ResampleArea(square, 1, 1).pixels, (std::vector<uint32_t>{0x40404040}));
    EXPECT_EQ(ResampleArea(square, 2, 2).pixels, square.pixels);
    EXPECT_EQ(ResampleArea(square, 4, 4).pixels[5], 0xFF000000u);  // enlarged, each pixel repeated
}

TEST(ResampleArea, GivesNothingForSizesItCannotMake) {
    const PixelImage square{2, 2, {1, 2, 3, 4}};
    EXPECT_TRUE(ResampleArea(square, 0, 1).pixels.empty());
    EXPECT_TRUE(ResampleArea(PixelImage{2, 2, {1, 2, 3}}, 1, 1).pixels.empty());
}

// A window's outline is cut where its art has the key colour; shrunk art must not leave a rim of
// key-tinted pixels just inside it.
TEST(ResampleKeyed, MixesNoKeyIntoTheShapesEdge) {
    constexpr uint32_t key = 0xFFFFFF, navy = 0x1C2A4A, grey = 0x808080;
    struct Case {
        PixelImage source;
        int width, height;
        std::vector<uint32_t> expected;
    };
    const Case cases[] = {
        // Two thirds key: the key; all frame: the frame, where the plain filter gives a light blend.
        {{3, 1, {key, navy, navy}}, 2, 1, {key, navy}},
        // Three quarters shape: the average of the shape's pixels alone.
        {{6, 2, {key, key, key, navy, navy, navy, key, key, navy, grey, navy, navy}}, 3, 1, {key, 0x3D475C, navy}},
        // Enlarged: the key stays exactly the key.
        {{2, 1, {key, navy}}, 4, 1, {key, key, navy, navy}},
        // The top-left pixel stays the key, which the outline is cut with, even where little of it is.
        {{3, 3, {key, navy, navy, navy, navy, navy, navy, navy, navy}}, 2, 2, {key, navy, navy, navy}},
    };
    for (const Case& c : cases) EXPECT_EQ(ResampleKeyed(c.source, c.width, c.height, key).pixels, c.expected);
}

TEST(ResampleKeyed, LeavesArtWithoutTheKeyAsThePlainFilterDoes) {
    PixelImage art{7, 5, {}};
    for (uint32_t i = 0; i < 35; ++i) art.pixels.push_back(i * 0x050301);
    for (const auto& [width, height] : {std::pair{5, 4}, std::pair{3, 2}, std::pair{9, 7}}) {
        EXPECT_EQ(ResampleKeyed(art, width, height, 0xFFFFFF).pixels, ResampleArea(art, width, height).pixels);
    }
    EXPECT_TRUE(ResampleKeyed(art, 0, 3, 0xFFFFFF).pixels.empty());
}
