#include "controls/png_image.h"

#include <climits>
#include <memory>

#include <stb_image.h>

std::optional<PngSize> ReadPngSize(const void* bytes, size_t size) {
    if (!bytes || size == 0 || size > INT_MAX) return std::nullopt;
    int width = 0, height = 0, channels = 0;
    // Only PNG is compiled in.
    if (!stbi_info_from_memory(static_cast<const stbi_uc*>(bytes), static_cast<int>(size), &width, &height, &channels) ||
        width <= 0 || height <= 0 || width > kMaxPngSide || height > kMaxPngSide) {
        return std::nullopt;
    }
    return PngSize{width, height};
}

bool DecodePngInto(const void* bytes, size_t size, PngSize into, uint32_t* pixels) {
    // The header is read first, so that a huge image is refused unread.
    const std::optional<PngSize> found = ReadPngSize(bytes, size);
    if (!found || found->width != into.width || found->height != into.height || !pixels) return false;
    int width = 0, height = 0, channels = 0;
    const std::unique_ptr<stbi_uc, decltype(&stbi_image_free)> rgb(
        stbi_load_from_memory(static_cast<const stbi_uc*>(bytes), static_cast<int>(size), &width, &height, &channels, 3),
        &stbi_image_free);
    if (!rgb || width != into.width || height != into.height) return false;
    const stbi_uc* in = rgb.get();
    for (uint32_t* out = pixels, *end = pixels + size_t(width) * size_t(height); out != end; ++out, in += 3)
        *out = static_cast<uint32_t>(in[0]) << 16 | static_cast<uint32_t>(in[1]) << 8 | in[2];
    return true;
}

PixelImage DecodePng(const void* bytes, size_t size) {
    const std::optional<PngSize> found = ReadPngSize(bytes, size);
    if (!found) return {};
    PixelImage image{found->width, found->height,
                     std::vector<uint32_t>(static_cast<size_t>(found->width) * static_cast<size_t>(found->height))};
    return DecodePngInto(bytes, size, *found, image.pixels.data()) ? image : PixelImage{};
}
