#include "framework/packed_dib.h"

namespace {

constexpr size_t kInfoHeaderSize = 40;

uint32_t Little(const uint8_t* at, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | at[i];
    return value;
}

}  // namespace

std::optional<TrueColourDib> ReadTrueColourDib(const uint8_t* bytes, size_t size) {
    if (!bytes || size < kInfoHeaderSize) return std::nullopt;
    const uint32_t headerSize = Little(bytes, 4);
    const auto width = static_cast<int32_t>(Little(bytes + 4, 4));
    const auto height = static_cast<int32_t>(Little(bytes + 8, 4));
    const uint32_t planes = Little(bytes + 12, 2), bits = Little(bytes + 14, 2), compression = Little(bytes + 16, 4);
    const uint32_t coloursUsed = Little(bytes + 32, 4);
    // Top-down rows (a negative height), palettes, bit fields and compression are left to the system.
    if (headerSize < kInfoHeaderSize || headerSize > size || planes != 1 || bits != 24 || compression != 0 ||
        width <= 0 || height <= 0 || width > kMaxDibSide || height > kMaxDibSide || coloursUsed > 256) {
        return std::nullopt;
    }
    TrueColourDib dib{width, height, nullptr, (static_cast<size_t>(width) * 3 + 3) & ~size_t{3}};
    const size_t offset = headerSize + size_t{coloursUsed} * 4;
    if (offset > size || (size - offset) / dib.stride < static_cast<size_t>(height)) return std::nullopt;
    dib.rows = bytes + offset;
    return dib;
}

void ExpandToThirtyTwoBits(const TrueColourDib& dib, uint32_t* pixels) {
    for (int y = 0; y < dib.height; ++y) {
        const uint8_t* in = dib.rows + static_cast<size_t>(y) * dib.stride;
        for (int x = 0; x < dib.width; ++x, in += 3) *pixels++ = in[0] | in[1] << 8 | static_cast<uint32_t>(in[2]) << 16;
    }
}
