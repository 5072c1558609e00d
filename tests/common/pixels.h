#pragma once
// Pixels read back from the screen and from bitmap resources, for comparing what a window
// shows with the images it was given.
#include <windows.h>

#include <cstdint>
#include <vector>

using Pixels = std::vector<uint32_t>;  // 0xRRGGBB, rows from the top

inline uint32_t Rgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

// A block of pixels copied out of a device context.
Pixels Grab(HDC source, int x, int y, int width, int height);
// What the screen shows in that rectangle.
Pixels ScreenPixels(const RECT& r);
// The top-left width x height pixels of a bitmap resource of that module (0: this program);
// empty when it cannot be loaded.
Pixels BitmapPixels(UINT id, int width, int height, HMODULE module = nullptr);
// The size of a bitmap resource; (0, 0) when it cannot be loaded.
SIZE BitmapResourceSize(UINT id, HMODULE module = nullptr);

// True when neither the window nor any of its visible controls waits to be painted: what the
// screen shows of it is final until something changes.
bool NothingLeftToPaint(HWND window);

// The integer ids of a module's resources of that type (0: this program).
std::vector<UINT> ResourceIds(LPCSTR type, HMODULE module = nullptr);

// Which of two images of the same size the shown pixels are: only the pixels in which the two
// differ count, and a few others over them (a tooltip, say) do not change the verdict. 0 for the
// first, 1 for the second, -1 for neither (or sizes that do not match).
int WhichImageShows(const Pixels& shown, const Pixels& first, const Pixels& second);
