#pragma once
// Window outlines cut from bitmaps.
#include <windows.h>

// Not a colour: asks for the bitmap's top-left pixel's colour as the key.
constexpr COLORREF KEY_TOP_LEFT = 0xFF000000;

// The region of every pixel whose colour differs from the key, in bitmap coordinates (the
// bitmap's top-left pixel at (0, 0)). Reads the pixels a band of rows per call and builds the region
// in one call. Null when there is no bitmap; an empty region when every pixel has the key colour.
// The caller owns the region.
HRGN BuildKeyRegion(HBITMAP bitmap, COLORREF key);
