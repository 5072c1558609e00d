#pragma once
// The system's PNG decoder (Windows Imaging Component), which drew the scaled art before the
// program decoded it itself: kept for the tests, which check that both give the same pixels,
// and for scripts/bench, which times the two.
#include <windows.h>

#include "controls/resample.h"

// The PNG's pixels as 0x00RRGGBB, decoded by the system; an empty image when it cannot.
PixelImage DecodePngWithSystem(const void* bytes, DWORD size);
