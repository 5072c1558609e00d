#include "controls/scaled_art.h"

#include <iterator>

#include "controls/dib_section.h"
#include "controls/png_image.h"
#include "framework/scale.h"
#include "framework/scoped_handles.h"

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

ResourceBytes FindArt(HINSTANCE module, UINT id, const ArtSet& set) {
    return FindResourceBytes(module, MAKEINTRESOURCEA(id), set.type);
}

PixelImage ArtOfSet(HINSTANCE module, UINT id, const ArtSet& set) {
    const ResourceBytes art = FindArt(module, id, set);
    return art.bytes ? DecodePng(art.bytes, art.size) : PixelImage{};
}

// The art of the set as a 32-bit section, decoded straight into it; null when there is none.
HBITMAP SectionOfArt(HINSTANCE module, UINT id, const ArtSet& set) {
    const ResourceBytes art = FindArt(module, id, set);
    const std::optional<PngSize> size = ReadPngSize(art.bytes, art.size);
    if (!size) return nullptr;
    BITMAPINFO format = TopDownFormat(size->width, size->height);
    void* bits = nullptr;
    CBitmap section;
    if (!section.Attach(::CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0)) ||
        !DecodePngInto(art.bytes, art.size, *size, static_cast<uint32_t*>(bits)))
        return nullptr;
    return static_cast<HBITMAP>(section.Detach());
}

}  // namespace

HBITMAP LoadScaledArt(HINSTANCE module, UINT id, UINT dpi, ArtEdges edges) {
    const ArtSet& set = ArtSetFor(dpi);
    if (set.dpi == dpi) {
        if (HBITMAP drawnForIt = SectionOfArt(module, id, set)) return drawnForIt;
    }
    PixelImage art = ArtOfSet(module, id, set);
    UINT drawnFor = set.dpi;
    if (art.pixels.empty()) {
        CBitmap original;
        original.Attach(::LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        art = ReadPixels(original);
        drawnFor = kDefaultDpi;
    }
    if (art.pixels.empty()) return nullptr;
    if (drawnFor == dpi) return MakeSection(art);
    const int width = ScaleBetweenDpi(art.width, drawnFor, dpi);
    const int height = ScaleBetweenDpi(art.height, drawnFor, dpi);
    return MakeSection(edges == ArtEdges::KeyOutline ? ResampleKeyed(art, width, height, art.pixels[0])
                                                     : ResampleArea(art, width, height));
}
