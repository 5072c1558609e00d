#pragma once
// Decoding of the skin's PNG art, compiled into the program: no system decoder has to be loaded
// to draw a scaled window. Portable: no window system needed.
#include <cstddef>

#include "controls/resample.h"

// The largest width and height decoded; the art's largest picture is 1482 x 1200 pixels.
constexpr int kMaxPngSide = 8192;

// The PNG's pixels as 0x00RRGGBB (an alpha channel is dropped: the art has none); an empty
// image when the bytes are no complete PNG or either side is larger than kMaxPngSide.
PixelImage DecodePng(const void* bytes, size_t size);
