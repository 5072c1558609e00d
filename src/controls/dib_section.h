#pragma once
// 32-bit sections (device-independent bitmaps, rows from the top) and their pixels.
#include <windows.h>

#include "controls/resample.h"

// The header of a 32-bit section of that size whose rows run from the top.
BITMAPINFO TopDownFormat(int width, int height);

// The pixels of a 32-bit section; an empty image when it cannot be read.
PixelImage ReadPixels(HBITMAP bitmap);
// A 32-bit section of those pixels, which the caller owns; null when it cannot be made.
HBITMAP MakeSection(const PixelImage& image);
