#include "controls/scaled_art.h"

#include <cstring>

#include "controls/png_image.h"
#include "framework/dialog_template.h"

namespace {

struct ArtSet {
    UINT dpi;
    const char* type;
};
constexpr ArtSet kArtSets[] = {{144, "PNG150"}, {192, "PNG200"}, {288, "PNG300"}};

// The set drawn for that dpi or the next larger one; the largest above 300 %.
const ArtSet& ArtSetFor(UINT dpi) {
    for (const ArtSet& set : kArtSets) {
        if (set.dpi >= dpi) return set;
    }
    return kArtSets[std::size(kArtSets) - 1];
}

struct ArtBytes {
    const void* bytes = nullptr;
    DWORD size = 0;
};

ArtBytes FindArt(HINSTANCE module, UINT id, const ArtSet& set) {
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(id), set.type);
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    return bytes ? ArtBytes{bytes, ::SizeofResource(module, found)} : ArtBytes{};
}

PixelImage ArtOfSet(HINSTANCE module, UINT id, const ArtSet& set) {
    const ArtBytes art = FindArt(module, id, set);
    return art.bytes ? DecodePng(art.bytes, art.size) : PixelImage{};
}

BITMAPINFO TopDownFormat(int width, int height) {
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    return format;
}

// The art of the set as a 32-bit section, decoded straight into it; null when there is none.
HBITMAP SectionOfArt(HINSTANCE module, UINT id, const ArtSet& set) {
    const ArtBytes art = FindArt(module, id, set);
    const std::optional<PngSize> size = ReadPngSize(art.bytes, art.size);
    if (!size) return nullptr;
    BITMAPINFO format = TopDownFormat(size->width, size->height);
    void* bits = nullptr;
    HBITMAP section = ::CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (section && !DecodePngInto(art.bytes, art.size, *size, static_cast<uint32_t*>(bits))) {
        ::DeleteObject(section);
        return nullptr;
    }
    return section;
}

}  // namespace

PixelImage ReadPixels(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || !::GetObjectA(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0) return {};
    PixelImage image{info.bmWidth, info.bmHeight, std::vector<uint32_t>(size_t(info.bmWidth) * info.bmHeight)};
    BITMAPINFO format = TopDownFormat(image.width, image.height);
    HDC memory = ::CreateCompatibleDC(nullptr);
    const int read = memory ? ::GetDIBits(memory, bitmap, 0, static_cast<UINT>(image.height), image.pixels.data(),
                                          &format, DIB_RGB_COLORS)
                            : 0;
    if (memory) ::DeleteDC(memory);
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

HBITMAP LoadScaledArt(HINSTANCE module, UINT id, UINT dpi, ArtEdges edges) {
    const ArtSet& set = ArtSetFor(dpi);
    if (set.dpi == dpi) {
        if (HBITMAP drawnForIt = SectionOfArt(module, id, set)) return drawnForIt;
    }
    PixelImage art = ArtOfSet(module, id, set);
    UINT drawnFor = set.dpi;
    if (art.pixels.empty()) {
        HBITMAP original = static_cast<HBITMAP>(
            ::LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        art = ReadPixels(original);
        if (original) ::DeleteObject(original);
        drawnFor = 96;
    }
    if (art.pixels.empty()) return nullptr;
    if (drawnFor == dpi) return MakeSection(art);
    const int width = MulDivRound(art.width, static_cast<int>(dpi), static_cast<int>(drawnFor));
    const int height = MulDivRound(art.height, static_cast<int>(dpi), static_cast<int>(drawnFor));
    return MakeSection(edges == ArtEdges::KeyOutline ? ResampleKeyed(art, width, height, art.pixels[0])
                                                     : ResampleArea(art, width, height));
}

BOOL PaintScaled(HDC target, HDC source, int width, int height, UINT dpi) {
    if (width <= 0 || height <= 0) return FALSE;
    PixelImage frame{width, height, std::vector<uint32_t>(size_t(width) * height)};
    HBITMAP copy = MakeSection(frame);
    HDC memory = copy ? ::CreateCompatibleDC(target) : nullptr;
    BOOL read = FALSE;
    if (memory) {
        const HGDIOBJ previous = ::SelectObject(memory, copy);
        read = ::BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
        ::SelectObject(memory, previous);
        ::DeleteDC(memory);
    }
    if (read) frame = ReadPixels(copy);
    if (copy) ::DeleteObject(copy);
    const PixelImage scaled = read ? ResampleArea(frame, ScaleToDpi(width, dpi), ScaleToDpi(height, dpi)) : PixelImage{};
    if (scaled.pixels.empty()) return FALSE;
    const BITMAPINFO format = TopDownFormat(scaled.width, scaled.height);
    return ::SetDIBitsToDevice(target, 0, 0, static_cast<DWORD>(scaled.width), static_cast<DWORD>(scaled.height), 0, 0,
                               0, static_cast<UINT>(scaled.height), scaled.pixels.data(), &format, DIB_RGB_COLORS) != 0;
}
