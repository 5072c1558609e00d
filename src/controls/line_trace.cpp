#include "controls/line_trace.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Brightness 0 to 255, with the eye's weights.
int Brightness(uint32_t pixel) {
    const int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    return (r * 299 + g * 587 + b * 114) / 1000;
}

}  // namespace

LineDrawing TraceLines(const PixelImage& image, int rows, int reach, int step) {
    LineDrawing drawing;
    if (reach <= 0 || image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != static_cast<size_t>(image.width) * image.height)
        return drawing;
    drawing.width = image.width;
    drawing.height = std::clamp(rows, 0, image.height);
    drawing.ink.assign(static_cast<size_t>(drawing.width) * drawing.height, 0);
    std::vector<int> light(image.pixels.size());
    std::transform(image.pixels.begin(), image.pixels.end(), light.begin(), Brightness);
    auto at = [&](int x, int y) { return light[static_cast<size_t>(y) * image.width + x]; };
    auto differs = [&](int x, int y, int dx, int dy) {
        const int nx = x + dx, ny = y + dy;
        if (nx < 0 || ny < 0 || nx >= image.width || ny >= drawing.height) return false;
        return std::abs(at(x, y) - at(nx, ny)) > step;
    };
    for (int y = 0; y < drawing.height; ++y)
        for (int x = 0; x < drawing.width; ++x)
            if (differs(x, y, reach, 0) || differs(x, y, 0, reach))
                drawing.ink[static_cast<size_t>(y) * drawing.width + x] = 1;
    return drawing;
}
