#pragma once
// Reading and changing the desktop mode of the primary display. Every call the program makes into
// the system's display settings goes through one DisplaySettings, so that the dialog can be given
// another driver's answers.
#include <windows.h>

#include <memory>

#include "display/display_mode.h"

// The screen's current depth, size and refresh rate; false, leaving `mode` alone, when no screen
// device context can be had.
bool GetCurrentDisplayMode(DisplayMode& mode);

// The modes the driver lists for the primary display, in mode-number order.
struct DisplayModeList {
    std::unique_ptr<DEVMODEA[]> records;
    size_t count = 0;
};
static_assert(sizeof(DEVMODEA) == 156, "the display settings exchange 156-byte records");

// A switch to a listed mode: whether the driver lists it, and if so the record handed to the
// system and the system's answer.
struct ListedSwitch {
    bool listed = false;
    DEVMODEA mode{};
    LONG result = 0;
};

// What a revert brought back: the saved mode, the mode last stored (the last one the user
// accepted), or nothing, leaving the unconfirmed mode on the screen.
enum class Reverted { SavedMode, StoredMode, Nothing };

// The display settings of the primary display. The choices are made here once; the three system
// calls under them are the only part an implementation supplies.
class DisplaySettings {
public:
    virtual ~DisplaySettings() = default;

    // The current mode as the display settings report it, in physical pixels whatever the
    // program's DPI awareness; false when they cannot say.
    bool CurrentMode(DisplayMode& mode);
    // Counts the modes, then reads them into count + 1 records and never past the last one, even
    // if the driver lists more the second time. A list that cannot be allocated comes back empty.
    DisplayModeList ListedModes();
    // True when the driver lists a 32-bit mode of that size and refresh rate.
    bool IsDesktopModeListed(uint32_t width, uint32_t height, uint32_t frequency);
    // Switches for now only to the listed 32-bit mode of that size and rate, if there is one: a
    // mode nobody has confirmed must not come back after a crash, a log-off or a reboot.
    ListedSwitch SwitchToListedMode(uint32_t width, uint32_t height, uint32_t frequency);
    // Sets the mode now without storing it, whether the driver lists it or not; the system's
    // answer (DISP_CHANGE_SUCCESSFUL or a failure).
    LONG ChangeDisplayModeTemporary(const DisplayMode& mode);
    // Stores the mode on the screen, which a switch set, without switching again; the system's answer.
    LONG StoreMode(const DEVMODEA& mode);
    // Brings the saved mode back: exactly, else its size at a rate the driver lists (the preferred
    // one before the others), else the stored mode. Never a temporary try.
    Reverted Revert(const DisplayMode& saved, uint32_t preferredFrequency);

private:
    // The system's calls, for the primary display (a null device name), with a null window and a
    // null parameter: EnumDisplaySettingsA, ChangeDisplaySettingsExA and ChangeDisplaySettingsA.
    virtual BOOL EnumSettings(DWORD modeNumber, DEVMODEA* record) = 0;
    virtual LONG ChangeSettingsEx(DEVMODEA* mode, DWORD flags) = 0;
    virtual LONG ChangeSettings(DEVMODEA* request, DWORD flags) = 0;
};

// The system's own display settings, which the program uses unless it is given others.
DisplaySettings& SystemDisplaySettings();
