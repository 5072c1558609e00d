#pragma once
// The display scale a window is drawn at, in dots per inch (scale.h), and the system's scale
// functions that only newer systems have, each looked up once here.
#include <windows.h>

#include "framework/scale.h"

// The scale the window's top-level window was last told to draw at (AfxSetWindowDpi); until it
// is told, the scale of its monitor: GetDpiForWindow where user32 has it, else the screen's
// LOGPIXELSX.
UINT AfxGetWindowDpi(HWND hWnd);
// The scale of the window's monitor, whatever the window was told to draw at.
UINT AfxGetMonitorDpi(HWND hWnd);
// Records the scale a top-level window draws at, for its controls to read; 0 forgets it.
void AfxSetWindowDpi(HWND hTopLevel, UINT dpi);

// The scale the system draws its own metrics at: GetDpiForSystem where user32 has it, else the
// screen's LOGPIXELSX.
UINT AfxGetSystemDpi();
// SystemParametersInfoForDpi where user32 has it (Windows 10 1607 on); FALSE elsewhere.
BOOL AfxSystemParametersInfoForDpi(UINT action, UINT param, void* value, UINT winIni, UINT dpi);
