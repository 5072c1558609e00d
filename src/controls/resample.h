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

// The same for art whose pixels of the key colour (the low 24 bits) lie outside the shape it
// gives a window: no new pixel mixes the key into its colour. A new pixel that covers at least
// half key is the key; any other is the average of the old pixels it covers that are not the
// key, so the shape's edge keeps the colours of its frame. The key is the result's top-left pixel
// wherever the source's was.
PixelImage ResampleKeyed(const PixelImage& source, int width, int height, uint32_t key);
