#include "controls/key_region.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "controls/key_runs.h"
#include "framework/afxgdi.h"

namespace {

// Rows read per GetDIBits call: a band small enough to stay in the cache and to need no large
// buffer, whose first touch would cost more than everything else together.
constexpr int kBandRows = 16;

// The pixels of rows [top, top + rows) as 0x00RRGGBB values, the band's bottom row first (scan
// lines count from the bottom of a bitmap).
bool ReadBand(HDC dc, HBITMAP bitmap, int width, int height, int top, int rows, uint32_t* pixels) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    return ::GetDIBits(dc, bitmap, static_cast<UINT>(height - top - rows), static_cast<UINT>(rows), pixels,
                       reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS) == rows;
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
    BITMAP info{};
    if (!bitmap || !::GetObjectA(bitmap, sizeof(info), &info) || info.bmWidth <= 0 || info.bmHeight <= 0) return nullptr;
    const int width = info.bmWidth, height = info.bmHeight;
    std::vector<uint32_t> band(static_cast<size_t>(width) * kBandRows);
    std::vector<PixelRun> runs;
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    uint32_t dibKey = ToDibColour(key);
    bool ok = true;
    for (int top = 0; ok && top < height; top += kBandRows) {
        const int rows = std::min(kBandRows, height - top);
        ok = ReadBand(dc, bitmap, width, height, top, rows, band.data());
        if (!ok) break;
        if (top == 0 && key == KEY_TOP_LEFT) dibKey = band[static_cast<size_t>(rows - 1) * width] & 0xFFFFFF;
        for (int y = top; y < top + rows; ++y) {
            const uint32_t* row = band.data() + static_cast<size_t>(top + rows - 1 - y) * width;
            for (PixelRun run : NonKeyRuns(row, width, 1, dibKey)) {
                run.y = y;
                runs.push_back(run);
            }
        }
    }
    return ok ? RegionFromRuns(runs, width, height) : nullptr;
}
