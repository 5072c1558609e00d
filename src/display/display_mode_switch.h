#pragma once
// Reading and changing the desktop mode of the primary display through the system's display
// settings.
#include <windows.h>

#include <memory>

#include "display/display_mode.h"

// True when the last mode the main dialog applied was one the driver lists, handed to the system
// to set and store, whatever the system answered. The apply flow asks for confirmation only then.
extern BOOL listedModeApplied;

// The screen's current depth, size and refresh rate; false, leaving `mode` alone, when no screen
// device context can be had.
bool GetCurrentDisplayMode(DisplayMode& mode);

// The current mode as the display settings report it; false when they cannot say.
bool GetRegisteredCurrentMode(DisplayMode& mode);

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
