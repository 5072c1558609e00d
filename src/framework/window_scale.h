#pragma once
// The display scale a window is drawn at, in dots per inch (96 is 100 %).
#include <windows.h>

constexpr UINT kDefaultDpi = 96;

// The scale the window's top-level window was last told to draw at (AfxSetWindowDpi); until it
// is told, the scale of its monitor: GetDpiForWindow where user32 has it, else the screen's
// LOGPIXELSX.
UINT AfxGetWindowDpi(HWND hWnd);
// The scale of the window's monitor, whatever the window was told to draw at.
UINT AfxGetMonitorDpi(HWND hWnd);
// Records the scale a top-level window draws at, for its controls to read; 0 forgets it.
void AfxSetWindowDpi(HWND hTopLevel, UINT dpi);
