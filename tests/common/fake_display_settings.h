#pragma once
// A display driver for the main dialog's tests: the modes it lists, the mode on the screen, which
// switches it refuses, and every call it received, in order. Nothing of the real screen changes.
#include <windows.h>

#include <string>
#include <vector>

#include "display/display_settings.h"

class FakeDisplaySettings : public DisplaySettings {
public:
    // Lists 1920 x 1080 at 60 Hz, which is also on the screen, and the modes given.
    explicit FakeDisplaySettings(std::vector<DisplayMode> more = {}) {
        listed.push_back(current);
        listed.insert(listed.end(), more.begin(), more.end());
    }

    std::vector<DisplayMode> listed;  // in mode-number order
    DisplayMode current{32, 1920, 1080, 60};
    bool canReadCurrent = true;
    size_t switchesAllowed = SIZE_MAX;  // switches to a record made before every later one is refused
    bool refuseTemporary = false;
    bool refuseStore = false;
    bool refuseStoredMode = false;  // the switch back to the mode last stored
    // What the calls asked for: "switch 640x480x32@60", "temporary ...", "store ...", "stored mode".
    std::vector<std::string> calls;

    static std::string Describe(const DisplayMode& m) {
        return std::to_string(m.width) + "x" + std::to_string(m.height) + "x" + std::to_string(m.bitsPerPixel) + "@" +
               std::to_string(m.frequency);
    }

private:
    static DisplayMode ModeOf(const DEVMODEA& record) {
        return {record.dmBitsPerPel, record.dmPelsWidth, record.dmPelsHeight, record.dmDisplayFrequency};
    }
    LONG Answer(const std::string& call, const DisplayMode& mode, bool refused) {
        calls.push_back(call + " " + Describe(mode));
        if (refused) return DISP_CHANGE_FAILED;
        current = mode;
        return DISP_CHANGE_SUCCESSFUL;
    }

    BOOL EnumSettings(DWORD modeNumber, DEVMODEA* record) override {
        const DisplayMode* mode = modeNumber == ENUM_CURRENT_SETTINGS ? (canReadCurrent ? &current : nullptr)
                                  : modeNumber < listed.size()        ? &listed[modeNumber]
                                                                      : nullptr;
        if (!mode) return FALSE;
        BuildDevMode(*record, mode->bitsPerPixel, mode->width, mode->height, mode->frequency);
        return TRUE;
    }
    LONG ChangeSettingsEx(DEVMODEA* mode, DWORD flags) override {
        if (!mode) {
            calls.push_back("stored mode");
            return refuseStoredMode ? DISP_CHANGE_FAILED : DISP_CHANGE_SUCCESSFUL;
        }
        if (flags == (CDS_UPDATEREGISTRY | CDS_NORESET)) {
            calls.push_back("store " + Describe(ModeOf(*mode)));
            return refuseStore ? DISP_CHANGE_NOTUPDATED : DISP_CHANGE_SUCCESSFUL;
        }
        if (flags != 0) return Answer("flags " + std::to_string(flags), ModeOf(*mode), true);
        const bool refused = switchesAllowed == 0;
        if (!refused) --switchesAllowed;
        return Answer("switch", ModeOf(*mode), refused);
    }
    LONG ChangeSettings(DEVMODEA* request, DWORD flags) override {
        return Answer(flags ? "flags " + std::to_string(flags) : "temporary", ModeOf(*request), refuseTemporary);
    }
};
