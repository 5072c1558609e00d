#pragma once
// Reading and changing the desktop mode of the primary display through the system's display
// settings.
#include <windows.h>

#include <memory>

#include "display/display_mode.h"

// True when the last mode the main dialog applied was one the driver lists and the system
// switched to it. The apply flow asks for confirmation only then.
extern BOOL listedModeApplied;

// The screen's current depth, size and refresh rate; false, leaving `mode` alone, when no screen
// device context can be had.
bool GetCurrentDisplayMode(DisplayMode& mode);

// The current mode as the display settings report it, in physical pixels whatever the program's
// DPI awareness; false when they cannot say.
bool GetSettingsCurrentMode(DisplayMode& mode);

// Sets the mode now without storing it; the system's answer (DISP_CHANGE_SUCCESSFUL or a failure).
LONG ChangeDisplayModeTemporary(const DisplayMode& mode);

// The modes the driver lists for the primary display, in mode-number order.
struct DisplayModeList {
    std::unique_ptr<DEVMODEA[]> records;
    size_t count = 0;
};
static_assert(sizeof(DEVMODEA) == 156, "the display settings exchange 156-byte records");

// Counts the modes, then reads them into count + 1 records and never past the last one, even if
// the driver lists more the second time. A list that cannot be allocated comes back empty.
DisplayModeList ReadDisplayModes();

// True when the driver lists a 32-bit mode of that size and refresh rate.
bool IsDesktopModeListed(uint32_t width, uint32_t height, uint32_t frequency);
