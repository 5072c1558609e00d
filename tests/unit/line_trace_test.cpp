// The line drawing a contrast theme shows in place of a picture.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/line_trace.h"

namespace {

// An image from rows of characters: '#' dark, '.' light, 'g' a grey close to light.
PixelImage ImageOf(const std::vector<std::string>& rows) {
    PixelImage image;
    image.width = static_cast<int>(rows[0].size());
    image.height = static_cast<int>(rows.size());
    for (const std::string& row : rows)
        for (char c : row) image.pixels.push_back(c == '#' ? 0xFF202020u : c == 'g' ? 0xFFD0D0D0u : 0xFFF0F0F0u);
    return image;
}

std::vector<std::string> InkOf(const LineDrawing& drawing) {
    std::vector<std::string> rows;
    for (int y = 0; y < drawing.height; ++y) {
        std::string row;
        for (int x = 0; x < drawing.width; ++x) row += drawing.At(x, y) ? '*' : ' ';
        rows.push_back(row);
    }
    return rows;
}

}  // namespace

TEST(TraceLines, AnEdgeBecomesALineOfTheReachsWidthAndShadingNone) {
    const PixelImage image = ImageOf({"..g##g..",
                                      "..g##g..",
                                      "..g##g..",
                                      "........"});
    EXPECT_EQ(InkOf(TraceLines(image, 4, 1)), (std::vector<std::string>{"  * *   ",
                                                                         "  * *   ",
                                                                         "  ***   ",
                                                                         "        "}));
    // Reach 2 (200 %): the line is two pixels wide.
    EXPECT_EQ(InkOf(TraceLines(image, 4, 2))[0], " ****   ");
}

TEST(TraceLines, OnlyTheRowsAskedForAreTracedAndBadInputGivesNothing) {
    const PixelImage image = ImageOf({"....", "....", "####"});
    // Row 1 would see the dark row below it, which lies outside the rows traced.
    EXPECT_EQ(InkOf(TraceLines(image, 2, 1)), (std::vector<std::string>{"    ", "    "}));
    EXPECT_EQ(TraceLines(image, 99, 1).height, 3);
    EXPECT_EQ(TraceLines(image, 3, 0).width, 0);
    PixelImage broken = image;
    broken.pixels.pop_back();
    EXPECT_EQ(TraceLines(broken, 3, 1).width, 0);
    EXPECT_EQ(TraceLines(PixelImage{}, 3, 1).width, 0);
}
