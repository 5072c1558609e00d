// The choices over the display settings' modes, and the system's display settings under them.
#include "display/display_settings.h"

#include <new>

#include "framework/scoped_handles.h"

namespace {

class SystemSettings final : public DisplaySettings {
    BOOL EnumSettings(DWORD modeNumber, DEVMODEA* record) override {
        return ::EnumDisplaySettingsA(nullptr, modeNumber, record);
    }
    LONG ChangeSettingsEx(DEVMODEA* mode, DWORD flags) override {
        return ::ChangeDisplaySettingsExA(nullptr, mode, nullptr, flags, nullptr);
    }
    LONG ChangeSettings(DEVMODEA* request, DWORD flags) override { return ::ChangeDisplaySettingsA(request, flags); }
};

}  // namespace

DisplaySettings& SystemDisplaySettings() {
    static SystemSettings system;
    return system;
}

bool GetCurrentDisplayMode(DisplayMode& mode) {
    CClientDC screen(nullptr);
    const HDC dc = screen.GetSafeHdc();
    if (!dc) return false;
    const int frequency = ::GetDeviceCaps(dc, VREFRESH);
    const int height = ::GetDeviceCaps(dc, VERTRES);
    const int width = ::GetDeviceCaps(dc, HORZRES);
    const int bits = ::GetDeviceCaps(dc, BITSPIXEL);
    mode.Set(static_cast<uint32_t>(bits), static_cast<uint32_t>(width), static_cast<uint32_t>(height),
             static_cast<uint32_t>(frequency));
    return true;
}

bool DisplaySettings::CurrentMode(DisplayMode& mode) {
    DEVMODEA current;
    BuildDevMode(current, 0, 0, 0, 0);
    if (!EnumSettings(ENUM_CURRENT_SETTINGS, &current)) return false;
    mode.Set(current.dmBitsPerPel, current.dmPelsWidth, current.dmPelsHeight, current.dmDisplayFrequency);
    return true;
}

DisplayModeList DisplaySettings::ListedModes() {
    DEVMODEA probe;
    BuildDevMode(probe, 0, 0, 0, 0);
    DWORD listed = 0;
    while (EnumSettings(listed, &probe)) ++listed;

    DisplayModeList list;
    list.records.reset(new (std::nothrow) DEVMODEA[size_t{listed} + 1]);
    if (!list.records) return list;  // no memory for the list: as if the driver listed nothing
    // The spare record takes the call that ends the list.
    for (DWORD n = 0; n <= listed; ++n) {
        DEVMODEA& record = list.records[n];
        BuildDevMode(record, 0, 0, 0, 0);
        if (!EnumSettings(n, &record)) break;
        list.count = n + 1;
    }
    return list;
}

bool DisplaySettings::IsDesktopModeListed(uint32_t width, uint32_t height, uint32_t frequency) {
    const DisplayModeList modes = ListedModes();
    return FindListedMode(modes.records.get(), modes.count, width, height, frequency) != nullptr;
}

ListedSwitch DisplaySettings::SwitchToListedMode(uint32_t width, uint32_t height, uint32_t frequency) {
    ListedSwitch done;
    const DisplayModeList modes = ListedModes();
    const DEVMODEA* listed = FindListedMode(modes.records.get(), modes.count, width, height, frequency);
    if (!listed) return done;
    done.listed = true;
    done.mode = *listed;
    DEVMODEA request = *listed;
    done.result = ChangeSettingsEx(&request, 0);  // flags 0: now, without touching the registry
    return done;
}

LONG DisplaySettings::ChangeDisplayModeTemporary(const DisplayMode& mode) {
    DEVMODEA request;
    BuildDevMode(request, mode.bitsPerPixel, mode.width, mode.height, mode.frequency);
    return ChangeSettings(&request, 0);  // flags 0: now, without touching the registry
}

LONG DisplaySettings::StoreMode(const DEVMODEA& mode) {
    DEVMODEA request = mode;
    return ChangeSettingsEx(&request, CDS_UPDATEREGISTRY | CDS_NORESET);
}

Reverted DisplaySettings::Revert(const DisplayMode& saved, uint32_t preferredFrequency) {
    const DisplayModeList modes = ListedModes();
    for (const DEVMODEA* candidate : RevertCandidates(modes.records.get(), modes.count, saved, preferredFrequency)) {
        DEVMODEA request = *candidate;
        if (ChangeSettingsEx(&request, 0) == DISP_CHANGE_SUCCESSFUL) return Reverted::SavedMode;
    }
    // No record given: the system goes back to the mode it has stored, the last one accepted.
    if (ChangeSettingsEx(nullptr, 0) == DISP_CHANGE_SUCCESSFUL) return Reverted::StoredMode;
    return Reverted::Nothing;
}
