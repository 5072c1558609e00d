#pragma once
// The runs of pixels whose colour differs from a key colour, the shape a window takes from a
// bitmap. Portable: it reads pixels from a plain array.
#include <cstddef>
#include <cstdint>
#include <vector>

// Pixels [left, right) of row y.
struct PixelRun {
    int left;
    int right;
    int y;
    bool operator==(const PixelRun& o) const { return left == o.left && right == o.right && y == o.y; }
};

// Every maximal run of non-key pixels, row by row from the top, left to right. The pixel array
// holds width * height colours (any encoding, as long as the key uses the same), rows from the
// top; only the low 24 bits of each value are compared.
std::vector<PixelRun> NonKeyRuns(const uint32_t* pixels, int width, int height, uint32_t key);
