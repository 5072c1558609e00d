// The main dialog's calls into the display layer: its desktop mode changes, only to a mode the
// driver lists and stored only once the user has confirmed it (on the ATI path an unlisted mode
// gets one temporary try and, when the driver refuses it, the popup that shows where the TV format
// is enabled), and the Intel TV device's parameters.
#include "confirm/hint_dialog.h"
#include "display/intel_backend.h"
#include "display/tv_parameters.h"
#include "main_dialog/tv_setting_dlg.h"

BOOL listedModeApplied = FALSE;

namespace {

void ShowMessageBox(const char* text) { AfxMessageBox(text); }

}  // namespace

void TvSettingDlg::UseDisplaySettings(DisplaySettings& settings) { m_displaySettings = &settings; }

LONG TvSettingDlg::ApplyDesktopMode(DWORD width, DWORD height, DWORD frequency) {
    listedModeApplied = FALSE;
    const ListedSwitch listed = m_displaySettings->SwitchToListedMode(width, height, frequency);
    if (listed.listed) {
        if (listed.result != DISP_CHANGE_SUCCESSFUL) {
            TellRefusal(SwitchRefusal::DriverRefused, width, height, frequency);  // nothing changed, nothing to ask
            return listed.result;
        }
        m_modeApplied = listed.mode;
        listedModeApplied = TRUE;
        return listed.result;
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

LONG TvSettingDlg::ChangeDisplayModeTemporary(const DisplayMode& mode) {
    return m_displaySettings->ChangeDisplayModeTemporary(mode);
}

LONG TvSettingDlg::StoreAppliedMode() { return m_displaySettings->StoreMode(m_modeApplied); }

void TvSettingDlg::ShowFormatHint() {
    HintDialog hint(nullptr);
    if (TvDetection.connector == TvConnector::Hdmi) hint.m_nScreenshot = HintDialog::kHdmiScreenshot;
    if (TvDetection.connector == TvConnector::Component) hint.m_nScreenshot = HintDialog::kComponentScreenshot;
    hint.DoModal();
}

BOOL TvSettingDlg::GetMonitorUid(DWORD wantedType, DWORD* pUid) {
    return FindMonitorUid(m_pCUIExternal, wantedType, pUid, ShowMessageBox);
}

HRESULT TvSettingDlg::UpdateTvParameters720(DWORD count, TvParameterBlock* pBlock) {
    return UpdateTvParameters(m_pCUIExternal, count, pBlock, kTvFormat720, m_tvParametersAsRead, ShowMessageBox);
}

HRESULT TvSettingDlg::UpdateTvParameters1080(DWORD count, TvParameterBlock* pBlock) {
    return UpdateTvParameters(m_pCUIExternal, count, pBlock, kTvFormat1080, m_tvParametersAsRead, ShowMessageBox);
}
