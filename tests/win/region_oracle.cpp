#include "region_oracle.h"

#include <vector>

#include "controls/key_region.h"

SelectedBitmap::SelectedBitmap(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || !::GetObjectA(bitmap, sizeof(info), &info)) return;
    m_dc = ::CreateCompatibleDC(nullptr);
    m_previous = m_dc ? ::SelectObject(m_dc, bitmap) : nullptr;
    if (!m_previous) return;  // width and height stay 0: nothing to scan
    m_width = info.bmWidth;
    m_height = info.bmHeight;
}

SelectedBitmap::~SelectedBitmap() {
    if (!m_dc) return;
    if (m_previous) ::SelectObject(m_dc, m_previous);
    ::DeleteDC(m_dc);
}

namespace {

void SubtractRect(HRGN region, int left, int top, int right, int bottom) {
    HRGN cut = ::CreateRectRgn(left, top, right, bottom);
    ::CombineRgn(region, region, cut, RGN_DIFF);
    ::DeleteObject(cut);
}

void UniteRect(HRGN region, const RECT& rect) {
    HRGN piece = ::CreateRectRgnIndirect(&rect);
    ::CombineRgn(region, region, piece, RGN_OR);
    ::DeleteObject(piece);
}

}  // namespace

HRGN SubtractKeyRunsRegion(HBITMAP bitmap, COLORREF key) {
    if (!bitmap) return nullptr;
    const SelectedBitmap source(bitmap);
    const int w = source.width(), h = source.height();
    if (key == KEY_TOP_LEFT) key = ::GetPixel(source.dc(), 0, 0);
    HRGN region = ::CreateRectRgn(0, 0, w, h);
    for (int y = 0; y < h; ++y) {
        int runStart = -1;  // x of the first key pixel of the open run, -1 when none is open
        for (int x = 0; x <= w; ++x) {
            const bool isKey = x < w && ::GetPixel(source.dc(), x, y) == key;  // x == w is never key
            if (isKey && runStart < 0) {
                runStart = x;
            } else if (!isKey && runStart >= 0) {
                SubtractRect(region, runStart, y, x, y + 1);
                runStart = -1;
            }
        }
    }
    return region;
}

HRGN UniteNonKeyRunsRegion(HBITMAP bitmap, COLORREF key) {
    if (!bitmap) return nullptr;
    std::vector<RECT> runs;
    {
        const SelectedBitmap source(bitmap);
        const int w = source.width(), h = source.height();
        for (int y = h - 1; y >= 0; --y) {
            int runStart = -1;  // x of the first non-key pixel of the open run, -1 when none is open
            for (int x = 0; x < w; ++x) {
                const bool isKey = ::GetPixel(source.dc(), x, y) == key;
                if (!isKey && runStart < 0) {
                    runStart = x;
                } else if (isKey && runStart >= 0) {
                    runs.push_back(RECT{runStart, y, x, y + 1});
                    runStart = -1;
                }
            }
            if (runStart >= 0) runs.push_back(RECT{runStart, y, w, y + 1});
        }
    }
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    for (const RECT& run : runs) UniteRect(region, run);
    return region;
}
