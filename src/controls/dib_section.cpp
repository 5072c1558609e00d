#include "controls/dib_section.h"

#include <cstring>

#include "framework/scoped_handles.h"

BITMAPINFO TopDownFormat(int width, int height) {
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    return format;
}

PixelImage ReadPixels(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || !::GetObjectA(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0) return {};
    PixelImage image{info.bmWidth, info.bmHeight, std::vector<uint32_t>(size_t(info.bmWidth) * info.bmHeight)};
    BITMAPINFO format = TopDownFormat(image.width, image.height);
    CDC memory;
    const int read = memory.CreateCompatibleDC(nullptr) ? ::GetDIBits(memory, bitmap, 0, static_cast<UINT>(image.height),
                                                                      image.pixels.data(), &format, DIB_RGB_COLORS)
                                                        : 0;
    return read == image.height ? image : PixelImage{};
}

HBITMAP MakeSection(const PixelImage& image) {
    if (image.width <= 0 || image.height <= 0) return nullptr;
    BITMAPINFO format = TopDownFormat(image.width, image.height);
    void* bits = nullptr;
    HBITMAP section = ::CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (section) std::memcpy(bits, image.pixels.data(), image.pixels.size() * sizeof(uint32_t));
    return section;
}
