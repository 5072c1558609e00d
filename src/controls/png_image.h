#pragma once
// Decoding of the skin's PNG art, compiled into the program: no system decoder has to be loaded
// to draw a scaled window. Portable: no window system needed.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "controls/resample.h"

// The largest width and height decoded; the art's largest picture is 1482 x 1200 pixels.
constexpr int kMaxPngSide = 8192;

struct PngSize {
    int width;
    int height;
};

// The size its header gives; none when the bytes are no PNG or either side is larger than
// kMaxPngSide.
std::optional<PngSize> ReadPngSize(const void* bytes, size_t size);

// Decodes into the caller's width x height pixels (the size ReadPngSize gives), rows from the
// top, as 0x00RRGGBB (an alpha channel is dropped: the art has none); false when the bytes do
// not decode whole to that size.
bool DecodePngInto(const void* bytes, size_t size, PngSize into, uint32_t* pixels);

// The same into an image of its own; an empty image when it does not decode.
PixelImage DecodePng(const void* bytes, size_t size);
