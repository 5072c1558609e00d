#include "controls/resample.h"

#include <algorithm>
#include <cmath>

namespace {

// For each new pixel along one axis, the old pixels it covers and how much of each.
struct Span {
    int first = 0;
    std::vector<double> weights;
};

std::vector<Span> Spans(int from, int to) {
    std::vector<Span> spans(static_cast<size_t>(to));
    const double step = static_cast<double>(from) / to;
    for (int i = 0; i < to; ++i) {
        const double start = i * step, end = start + step;
        Span& span = spans[static_cast<size_t>(i)];
        span.first = std::min(static_cast<int>(std::floor(start)), from - 1);
        for (int p = span.first; p < from && p < end; ++p) {
            const double covered = std::min<double>(end, p + 1) - std::max<double>(start, p);
            span.weights.push_back(covered / step);
        }
    }
    return spans;
}

uint32_t Channel(uint32_t pixel, int shift) { return (pixel >> shift) & 0xFF; }

}  // namespace

PixelImage ResampleArea(const PixelImage& source, int width, int height) {
    if (width <= 0 || height <= 0 || source.width <= 0 || source.height <= 0 ||
        source.pixels.size() != static_cast<size_t>(source.width) * source.height) {
        return {};
    }
    const std::vector<Span> columns = Spans(source.width, width), rows = Spans(source.height, height);
    PixelImage result{width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height)};
    std::vector<double> row(static_cast<size_t>(source.width) * 4);
    for (int y = 0; y < height; ++y) {
        // The new row's share of every old column, then each new pixel from its columns.
        std::fill(row.begin(), row.end(), 0.0);
        const Span& down = rows[static_cast<size_t>(y)];
        for (size_t k = 0; k < down.weights.size(); ++k) {
            const uint32_t* old = &source.pixels[static_cast<size_t>(down.first + static_cast<int>(k)) * source.width];
            for (int x = 0; x < source.width; ++x) {
                for (int c = 0; c < 4; ++c) row[static_cast<size_t>(x) * 4 + c] += down.weights[k] * Channel(old[x], 8 * c);
            }
        }
        for (int x = 0; x < width; ++x) {
            const Span& across = columns[static_cast<size_t>(x)];
            uint32_t pixel = 0;
            for (int c = 0; c < 4; ++c) {
                double sum = 0;
                for (size_t k = 0; k < across.weights.size(); ++k) {
                    sum += across.weights[k] * row[static_cast<size_t>(across.first + static_cast<int>(k)) * 4 + c];
                }
                pixel |= static_cast<uint32_t>(std::clamp(std::lround(sum), 0L, 255L)) << (8 * c);
            }
            result.pixels[static_cast<size_t>(y) * width + x] = pixel;
        }
    }
    return result;
}

PixelImage ResampleKeyed(const PixelImage& source, int width, int height, uint32_t key) {
    key &= 0xFFFFFF;
    // The shape's coverage rides in the top byte, and the colours are weighted by it, so that the
    // average over what the shape covers is the colour divided by the coverage.
    PixelImage weighted = source;
    for (uint32_t& pixel : weighted.pixels) pixel = (pixel & 0xFFFFFF) == key ? 0 : (pixel | 0xFF000000u);
    PixelImage result = ResampleArea(weighted, width, height);
    for (uint32_t& pixel : result.pixels) {
        const uint32_t coverage = pixel >> 24;
        if (coverage < 128) {
            pixel = key;
            continue;
        }
        uint32_t colour = 0;
        for (int shift = 0; shift < 24; shift += 8) {
            const uint32_t channel = (Channel(pixel, shift) * 255 + coverage / 2) / coverage;
            colour |= std::min<uint32_t>(channel, 255) << shift;
        }
        pixel = colour;
    }
    // The outline is cut with the top-left pixel's colour as the key.
    if (!result.pixels.empty() && (source.pixels[0] & 0xFFFFFF) == key) result.pixels[0] = key;
    return result;
}
