#pragma once
// A picture turned into a line drawing: one bit a pixel, set where the picture has an edge,
// that is where its brightness changes clearly towards a neighbour. A contrast theme draws
// the skin's pictures this way, in one colour of the theme. Portable: no window system needed.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "controls/resample.h"

struct LineDrawing {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> ink;  // rows top to bottom, 1 where a line is
    bool At(int x, int y) const { return ink[static_cast<size_t>(y) * width + x] != 0; }
};

// The edges of the image's top `rows` rows (all of them when rows is larger). A pixel is ink
// when its brightness differs by more than `step` from the pixel `reach` to its right or
// below it, so that an edge becomes a line `reach` pixels wide: 1 at 100 %, thicker with the
// art's scale. An empty drawing
// when the image does not hold its pixels or reach is not positive.
LineDrawing TraceLines(const PixelImage& image, int rows, int reach, int step);

// Brightness steps up to these are shading, not edges (of 0 to 255).
// The connector pictures: some of the plugs' lit sides stand only 41 to 44 from their card, and
// the card's rim, which is no line of the picture, at most 36 from what lies around it.
constexpr int kPictureEdgeStep = 40;
// The corner animation: its faint sound waves would come out as stray dots beside the title.
constexpr int kAnimationEdgeStep = 56;
