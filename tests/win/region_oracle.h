#pragma once
// Reference versions of the window-outline builder for the tests: they read the bitmap one
// pixel at a time with GetPixel and assemble the region one rectangle at a time, the plain and
// slow way, so the fast builder can be checked against them.
#include <windows.h>

// A memory context compatible with the screen with a bitmap selected into it; the bitmap is
// deselected and the context deleted with this object.
class SelectedBitmap {
public:
    explicit SelectedBitmap(HBITMAP bitmap);
    ~SelectedBitmap();
    SelectedBitmap(const SelectedBitmap&) = delete;
    SelectedBitmap& operator=(const SelectedBitmap&) = delete;

    HDC dc() const { return m_dc; }
    int width() const { return m_width; }
    int height() const { return m_height; }

private:
    HDC m_dc = nullptr;
    HGDIOBJ m_previous = nullptr;
    int m_width = 0;
    int m_height = 0;
};

// Starts from the whole rectangle and cuts out each run of key pixels (rows from the top, each
// row scanned one position past its end so a run always closes there). KEY_TOP_LEFT takes the
// top-left pixel's colour. Null without a bitmap; the caller owns the region.
HRGN SubtractKeyRunsRegion(HBITMAP bitmap, COLORREF key);

// Starts from an empty region and unites each run of non-key pixels (rows from the bottom, a run
// closing before the next key pixel or at the row's end). The key is a colour. Null without a
// bitmap; the caller owns the region.
HRGN UniteNonKeyRunsRegion(HBITMAP bitmap, COLORREF key);
