// The main dialog's desktop mode changes: only to a mode the driver lists, and stored by the
// system only once the user has confirmed it; on the ATI path an unlisted mode gets one
// temporary try and, when the driver refuses it, the popup that shows where the TV format is
// enabled.
#include "display/display_mode_switch.h"

#include <new>

#include "confirm/hint_dialog.h"
#include "main_dialog/tv_setting_dlg.h"

BOOL listedModeApplied = FALSE;

bool GetCurrentDisplayMode(DisplayMode& mode) {
    HDC screen = ::GetDC(nullptr);
    if (!screen) return false;
    const int frequency = ::GetDeviceCaps(screen, VREFRESH);
    const int height = ::GetDeviceCaps(screen, VERTRES);
    const int width = ::GetDeviceCaps(screen, HORZRES);
    const int bits = ::GetDeviceCaps(screen, BITSPIXEL);
    mode.Set(static_cast<uint32_t>(bits), static_cast<uint32_t>(width), static_cast<uint32_t>(height),
             static_cast<uint32_t>(frequency));
    ::ReleaseDC(nullptr, screen);
    return true;
}

bool GetSettingsCurrentMode(DisplayMode& mode) {
    DEVMODEA current;
    BuildDevMode(current, 0, 0, 0, 0);
    if (!::EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &current)) return false;
    mode.Set(current.dmBitsPerPel, current.dmPelsWidth, current.dmPelsHeight, current.dmDisplayFrequency);
    return true;
}

LONG ChangeDisplayModeTemporary(const DisplayMode& mode) {
    DEVMODEA request;
    BuildDevMode(request, mode.bitsPerPixel, mode.width, mode.height, mode.frequency);
    return ::ChangeDisplaySettingsA(&request, 0);  // flags 0: now, without touching the registry
}

DisplayModeList ReadDisplayModes() {
    DEVMODEA probe;
    BuildDevMode(probe, 0, 0, 0, 0);
    DWORD listed = 0;
    while (::EnumDisplaySettingsA(nullptr, listed, &probe)) ++listed;

    DisplayModeList list;
    list.records.reset(new (std::nothrow) DEVMODEA[size_t{listed} + 1]);
    if (!list.records) return list;  // no memory for the list: as if the driver listed nothing
    // The spare record takes the call that ends the list.
    for (DWORD n = 0; n <= listed; ++n) {
        DEVMODEA& record = list.records[n];
        BuildDevMode(record, 0, 0, 0, 0);
        if (!::EnumDisplaySettingsA(nullptr, n, &record)) break;
        list.count = n + 1;
    }
    return list;
}

LONG TvSettingDlg::ApplyDesktopMode(DWORD width, DWORD height, DWORD frequency) {
    listedModeApplied = FALSE;
    const DisplayModeList modes = ReadDisplayModes();
    if (const DEVMODEA* listed = FindListedMode(modes.records.get(), modes.count, width, height, frequency)) {
        DEVMODEA request = *listed;
        // Switched for now only: a mode nobody has confirmed must not come back after a crash,
        // a log-off or a reboot. StoreAppliedMode stores it once the user accepts it.
        const LONG result = ::ChangeDisplaySettingsExA(nullptr, &request, nullptr, 0, nullptr);
        if (result != DISP_CHANGE_SUCCESSFUL) {
            TellRefusal(SwitchRefusal::DriverRefused, width, height, frequency);  // nothing changed, nothing to ask
            return result;
        }
        m_modeApplied = *listed;
        listedModeApplied = TRUE;
        return result;
    }
    if (TvDetection.vendor != AdapterVendor::Ati) {
        TellRefusal(SwitchRefusal::NotListed, width, height, frequency);  // a click is never silent
        return 0;
    }
    DisplayMode wanted;
    wanted.Set(kDesktopBitsPerPixel, width, height, frequency);
    if (ChangeDisplayModeTemporary(wanted) != DISP_CHANGE_SUCCESSFUL) ShowFormatHint();
    return 0;
}

LONG TvSettingDlg::StoreAppliedMode() {
    // Stores what is on the screen now without switching again.
    return ::ChangeDisplaySettingsExA(nullptr, &m_modeApplied, nullptr, CDS_UPDATEREGISTRY | CDS_NORESET, nullptr);
}

bool IsDesktopModeListed(uint32_t width, uint32_t height, uint32_t frequency) {
    const DisplayModeList modes = ReadDisplayModes();
    return FindListedMode(modes.records.get(), modes.count, width, height, frequency) != nullptr;
}

void TvSettingDlg::ShowFormatHint() {
    HintDialog hint(nullptr);
    if (TvDetection.connector == TvConnector::Hdmi) hint.m_nScreenshot = HintDialog::kHdmiScreenshot;
    if (TvDetection.connector == TvConnector::Component) hint.m_nScreenshot = HintDialog::kComponentScreenshot;
    hint.DoModal();
}
