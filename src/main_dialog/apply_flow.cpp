// The resolution commands and the apply flow behind them: switch the desktop, ask "Accept Now ?"
// with a countdown, and bring the old size back when nobody answers in time.
#include <memory>
#include <string>

#include "confirm/timed_message_box.h"
#include "display/tv_parameters.h"
#include "main_dialog/tv_setting_dlg.h"

namespace {

constexpr const char* kConfirmCaption = "Accept Now ?";
constexpr DWORD kConfirmTimeoutMs = 15000;
// The Intel driver needs time to retune the TV output before the desktop mode follows.
constexpr DWORD kTvParameterPauseMs = 3000;

}  // namespace

void TvSettingDlg::OnOK() {
    if (RefuseWhileSwitching()) return;
    const std::optional<ModeRequest> request = LookUpModeRequest(m_strMode, m_strVariant, TvDetection.vendor);
    // No resolution chosen yet, or a name this adapter has no size for: switch nothing, but say so.
    if (!request) {
        TellRefusal(SwitchRefusal::NothingToSwitch);
        return;
    }
    m_bSwitching = true;
    SwitchAndAsk(*request);
    m_bSwitching = false;
}

bool TvSettingDlg::RefuseWhileSwitching() {
    // A screen reader's press, voice control or any program can post a command while the
    // question is up; a second switch then would answer, store or revert the wrong mode.
    if (!m_bSwitching) return false;
    TellRefusal(SwitchRefusal::SwitchRunning);
    return true;
}

void TvSettingDlg::SwitchAndAsk(const ModeRequest& request) {
    DisplayMode saved;
    if (!SaveCurrentMode(saved)) {  // nothing known to come back to
        TellRefusal(SwitchRefusal::NothingToSwitch);
        return;
    }
    // The TV format changes only for a desktop mode that will follow it.
    if (request.tvUpdate != TvFormatUpdate::None && m_displaySettings->IsDesktopModeListed(request.width, request.height, request.frequency))
        RunTvParameterUpdate(request.tvUpdate);
    RECT placeBefore;
    GetWindowRect(&placeBefore);
    ApplyDesktopMode(request.width, request.height, request.frequency);
    if (!listedModeApplied) {
        RestoreTvParameters();  // the desktop did not follow: the TV goes back to what it showed
        return;
    }
    ConfirmWithTimeout(kConfirmCaption, kConfirmTimeoutMs, m_hWnd);
    if (modeAccepted) {
        KeepAcceptedMode();
        return;
    }
    const bool tvRetuned = !m_tvParametersAsRead.bytes.empty();
    RestoreTvParameters();
    if (RevertDesktopMode(saved) != Reverted::Nothing) {
        ReturnTo(placeBefore);
        return;
    }
    // The unconfirmed mode stays on the screen: the TV gets back the format that goes with it.
    if (tvRetuned) {
        RunTvParameterUpdate(request.tvUpdate);
        m_tvParametersAsRead.bytes.clear();
    }
    ReportModeNotReverted();
}

void TvSettingDlg::KeepAcceptedMode() {
    const bool tvRetuned = !m_tvParametersAsRead.bytes.empty();
    m_tvParametersAsRead.bytes.clear();
    if (StoreAppliedMode() == DISP_CHANGE_SUCCESSFUL) return;
    // A locked-down account may switch but not store: the user is to know it will not last.
    std::string text =
        "The new resolution stays for now, but Windows did not store it: the previous resolution comes back at "
        "the next log-on.";
    if (tvRetuned) text += "\nThe TV format set for it may stay: choose the resolution again after the log-on.";
    AfxMessageBox(text.c_str());
}

void TvSettingDlg::ReportModeNotReverted() {
    std::string text = "The previous resolution could not be brought back";
    DisplayMode onScreen;
    if (m_displaySettings->CurrentMode(onScreen))
        text += ": the screen stays at " + DescribeMode(onScreen.width, onScreen.height, onScreen.frequency);
    text += ".\nChoose another resolution here, or in the display settings of Windows.";
    AfxMessageBox(text.c_str());
}

bool TvSettingDlg::SaveCurrentMode(DisplayMode& saved) {
    DisplayMode settings, deviceCaps;
    const bool haveSettings = m_displaySettings->CurrentMode(settings);
    const bool haveDeviceCaps = GetCurrentDisplayMode(deviceCaps);
    return ChooseSavedMode(haveSettings ? &settings : nullptr, haveDeviceCaps ? &deviceCaps : nullptr, saved);
}

void TvSettingDlg::RunTvParameterUpdate(TvFormatUpdate update) {
    // The driver reads its current parameters into the block first; a block of zeros is what it
    // would write back if it could not.
    const auto block = std::make_unique<TvParameterBlock>();
    if (update == TvFormatUpdate::Format720) UpdateTvParameters720(1, block.get());
    else UpdateTvParameters1080(1, block.get());
    ::Sleep(kTvParameterPauseMs);
}

void TvSettingDlg::RestoreTvParameters() {
    if (m_tvParametersAsRead.bytes.empty()) return;  // nothing was read, so nothing was changed
    WriteTvParametersAsRead(m_pCUIExternal, m_tvParametersAsRead);
    ::Sleep(kTvParameterPauseMs);
}

Reverted TvSettingDlg::RevertDesktopMode(const DisplayMode& saved) {
    return m_displaySettings->Revert(saved, RevertFrequency(m_strMode, saved.width));
}

void TvSettingDlg::ReturnTo(const RECT& place) {
    if (IsInsideWorkArea(place)) {
        SetWindowPos(nullptr, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        KeepInsideWorkArea(m_hWnd);
    }
}

void TvSettingDlg::ApplyMode(const char* mode) {
    if (RefuseWhileSwitching()) return;  // before the name changes: the running switch reads it
    m_strMode = mode;
    OnOK();
}

void TvSettingDlg::ApplyHdMode(HdLines lines, const char* variant) {
    if (RefuseWhileSwitching()) return;
    if (const char* mode = HdModeChoice(TvDetection, lines)) m_strMode = mode;
    m_strVariant = variant;
    OnOK();
}

void TvSettingDlg::On640x480() { ApplyMode(ModeName::k640x480); }
void TvSettingDlg::On800x600() { ApplyMode(ModeName::k800x600); }
void TvSettingDlg::On1024x768() { ApplyMode(ModeName::k1024x768); }
void TvSettingDlg::On480() { ApplyMode(ModeName::k480); }
void TvSettingDlg::On720Small() { ApplyHdMode(HdLines::k720, ModeVariant::kSmall); }
void TvSettingDlg::On720Large() { ApplyHdMode(HdLines::k720, ModeVariant::kLarge); }
void TvSettingDlg::On1080Small() { ApplyHdMode(HdLines::k1080, ModeVariant::kSmall); }
void TvSettingDlg::On1080Large() { ApplyHdMode(HdLines::k1080, ModeVariant::kLarge); }
