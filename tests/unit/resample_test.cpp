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
