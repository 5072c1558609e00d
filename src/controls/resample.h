#pragma once
// Shrinking (and, above the largest art, enlarging) 32-bit pixels with an area filter: each new
// pixel is the average of the old pixels it covers, weighted by how much of each it covers.
// Portable: no window system needed.
#include <cstdint>
#include <vector>

struct PixelImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // rows top to bottom, 0xAARRGGBB
};

// The image resampled to that size; an empty image when either size is not positive or the
// source does not hold width x height pixels.
PixelImage ResampleArea(const PixelImage& source, int width, int height);
