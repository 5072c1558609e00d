#include "controls/paint_scaled.h"

#include "controls/dib_section.h"
#include "framework/scale.h"
#include "framework/scoped_handles.h"

namespace {

// The source's pixels, read through a section of their own; an empty image when they cannot be.
PixelImage CopyPixels(HDC target, HDC source, int width, int height) {
    CBitmap copy;
    if (!copy.Attach(MakeSection(PixelImage{width, height, std::vector<uint32_t>(size_t(width) * height)}))) return {};
    {
        const BitmapContext memory(target, copy);
        if (!memory || !::BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY)) return {};
    }  // the section is let go of before it is read
    return ReadPixels(copy);
}

}  // namespace

BOOL PaintScaled(HDC target, HDC source, int width, int height, UINT dpi) {
    if (width <= 0 || height <= 0) return FALSE;
    const PixelImage frame = CopyPixels(target, source, width, height);
    const PixelImage scaled =
        frame.pixels.empty() ? PixelImage{} : ResampleArea(frame, ScaleToDpi(width, dpi), ScaleToDpi(height, dpi));
    if (scaled.pixels.empty()) return FALSE;
    const BITMAPINFO format = TopDownFormat(scaled.width, scaled.height);
    return ::SetDIBitsToDevice(target, 0, 0, static_cast<DWORD>(scaled.width), static_cast<DWORD>(scaled.height), 0, 0,
                               0, static_cast<UINT>(scaled.height), scaled.pixels.data(), &format, DIB_RGB_COLORS) != 0;
}
