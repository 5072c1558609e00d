// The line drawing a contrast theme shows in place of a picture.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/line_trace.h"

namespace {

// An image from rows of characters: '#' dark, '.' light, 'g' a grey close to light, 'l' the
// light grey of a plug's lit side, 44 below the card.
PixelImage ImageOf(const std::vector<std::string>& rows) {
    PixelImage image;
    image.width = static_cast<int>(rows[0].size());
    image.height = static_cast<int>(rows.size());
    for (const std::string& row : rows)
        for (char c : row) image.pixels.push_back(c == '#' ? 0xFF202020u : c == 'g' ? 0xFFD0D0D0u
                                                  : c == 'l' ? 0xFFC4C4C4u
                                                             : 0xFFF0F0F0u);
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
    EXPECT_EQ(InkOf(TraceLines(image, 4, 1, kPictureEdgeStep)), (std::vector<std::string>{"  * *   ",
                                                                         "  * *   ",
                                                                         "  ***   ",
                                                                         "        "}));
    // Reach 2 (200 %): the line is two pixels wide.
    EXPECT_EQ(InkOf(TraceLines(image, 4, 2, kPictureEdgeStep))[0], " ****   ");
    // A plug's lit side against its card is an outline too, not shading: no gap in it.
    EXPECT_EQ(InkOf(TraceLines(ImageOf({"..ll..", "..ll.."}), 2, 1, kPictureEdgeStep))[0], " * *  ");
}

TEST(TraceLines, OnlyTheRowsAskedForAreTracedAndBadInputGivesNothing) {
    const PixelImage image = ImageOf({"....", "....", "####"});
    // Row 1 would see the dark row below it, which lies outside the rows traced.
    EXPECT_EQ(InkOf(TraceLines(image, 2, 1, kPictureEdgeStep)), (std::vector<std::string>{"    ", "    "}));
    EXPECT_EQ(TraceLines(image, 99, 1, kPictureEdgeStep).height, 3);
    EXPECT_EQ(TraceLines(image, 3, 0, kPictureEdgeStep).width, 0);
    PixelImage broken = image;
    broken.pixels.pop_back();
    EXPECT_EQ(TraceLines(broken, 3, 1, kPictureEdgeStep).width, 0);
    EXPECT_EQ(TraceLines(PixelImage{}, 3, 1, kPictureEdgeStep).width, 0);
}
