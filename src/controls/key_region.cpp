#include "controls/key_region.h"

#include <memory>
#include <vector>

#include "controls/key_runs.h"

namespace {

// The bitmap's pixels as 0x00RRGGBB values, rows from the top; empty when it cannot be read.
std::vector<uint32_t> ReadPixels(HBITMAP bitmap, int* width, int* height) {
    BITMAP info{};
    if (!bitmap || !::GetObjectA(bitmap, sizeof(info), &info) || info.bmWidth <= 0 || info.bmHeight <= 0) return {};
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = info.bmWidth;
    header.biHeight = -info.bmHeight;  // top-down rows
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    std::vector<uint32_t> pixels(static_cast<size_t>(info.bmWidth) * info.bmHeight);
    HDC screen = ::GetDC(nullptr);
    const int rows = ::GetDIBits(screen, bitmap, 0, static_cast<UINT>(info.bmHeight), pixels.data(),
                                 reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    if (rows != info.bmHeight) return {};
    *width = info.bmWidth;
    *height = info.bmHeight;
    return pixels;
}

// A COLORREF (red in the low byte) in the pixel encoding of a 32-bit DIB (blue in the low byte).
uint32_t ToDibColour(COLORREF colour) {
    return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

HRGN RegionFromRuns(const std::vector<PixelRun>& runs, int width, int height) {
    const size_t bytes = sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT);
    std::unique_ptr<BYTE[]> buffer(new BYTE[bytes]());
    auto* data = reinterpret_cast<RGNDATA*>(buffer.get());
    data->rdh.dwSize = sizeof(RGNDATAHEADER);
    data->rdh.iType = RDH_RECTANGLES;
    data->rdh.nCount = static_cast<DWORD>(runs.size());
    data->rdh.rcBound = RECT{0, 0, width, height};
    RECT* rects = reinterpret_cast<RECT*>(data->Buffer);
    for (size_t i = 0; i < runs.size(); ++i) rects[i] = RECT{runs[i].left, runs[i].y, runs[i].right, runs[i].y + 1};
    return ::ExtCreateRegion(nullptr, static_cast<DWORD>(bytes), data);
}

}  // namespace

HRGN BuildKeyRegion(HBITMAP bitmap, COLORREF key) {
    int width = 0, height = 0;
    const std::vector<uint32_t> pixels = ReadPixels(bitmap, &width, &height);
    if (pixels.empty()) return nullptr;
    const uint32_t dibKey = key == KEY_TOP_LEFT ? pixels[0] & 0xFFFFFF : ToDibColour(key);
    return RegionFromRuns(NonKeyRuns(pixels.data(), width, height, dibKey), width, height);
}
