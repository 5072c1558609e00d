#include "controls/png_image.h"

#include <climits>
#include <memory>

#include <stb_image.h>

PixelImage DecodePng(const void* bytes, size_t size) {
    if (!bytes || size == 0 || size > INT_MAX) return {};
    const auto* data = static_cast<const stbi_uc*>(bytes);
    const int length = static_cast<int>(size);
    int width = 0, height = 0, channels = 0;
    // Only PNG is compiled in; the header is read first, so that a huge image is refused unread.
    if (!stbi_info_from_memory(data, length, &width, &height, &channels) || width <= 0 || height <= 0 ||
        width > kMaxPngSide || height > kMaxPngSide) {
        return {};
    }
    const std::unique_ptr<stbi_uc, decltype(&stbi_image_free)> rgb(
        stbi_load_from_memory(data, length, &width, &height, &channels, 3), &stbi_image_free);
    if (!rgb) return {};
    PixelImage image{width, height, std::vector<uint32_t>(static_cast<size_t>(width) * static_cast<size_t>(height))};
    const stbi_uc* in = rgb.get();
    for (uint32_t& pixel : image.pixels) {
        pixel = static_cast<uint32_t>(in[0]) << 16 | static_cast<uint32_t>(in[1]) << 8 | in[2];
        in += 3;
    }
    return image;
}
