#pragma once
// Drawing a context's pixels at another scale, filtered (the corner animation's frames, which
// are decoded at their own size).
#include <windows.h>

// Copies width x height pixels of the source context onto the target at (0, 0), shrunk or
// enlarged with the area filter to that dpi's size; FALSE when it cannot.
BOOL PaintScaled(HDC target, HDC source, int width, int height, UINT dpi);
