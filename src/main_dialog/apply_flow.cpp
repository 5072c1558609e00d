// The resolution commands and the apply flow behind them: switch the desktop, ask "Accept Now ?"
// with a countdown, and bring the old size back when nobody answers in time.
#include <memory>

#include "confirm/timed_message_box.h"
#include "display/display_mode_switch.h"
#include "display/tv_parameters.h"
#include "main_dialog/tv_setting_dlg.h"

namespace {

constexpr const char* kConfirmCaption = "Accept Now ?";
constexpr DWORD kConfirmTimeoutMs = 15000;
// The Intel driver needs time to retune the TV output before the desktop mode follows.
constexpr DWORD kTvParameterPauseMs = 3000;

}  // namespace

void TvSettingDlg::OnOK() {
    DisplayMode saved;
    const std::optional<ModeRequest> request = LookUpModeRequest(m_strMode, m_strVariant, TvDetection.vendor);
    // No resolution chosen yet, a name this adapter has no size for, or nothing known to come
    // back to: switch nothing, but say so.
    if (!request || !SaveCurrentMode(saved)) {
        TellRefusal(SwitchRefusal::NothingToSwitch);
        return;
    }
    // The TV format changes only for a desktop mode that will follow it.
    if (request->tvUpdate != TvFormatUpdate::None &&
        IsDesktopModeListed(request->width, request->height, request->frequency))
        RunTvParameterUpdate(request->tvUpdate);
    RECT placeBefore;
    GetWindowRect(&placeBefore);
    ApplyDesktopMode(request->width, request->height, request->frequency);
    if (!listedModeApplied) {
        RestoreTvParameters();  // the desktop did not follow: the TV goes back to what it showed
        return;
    }
    ConfirmWithTimeout(kConfirmCaption, kConfirmTimeoutMs, m_hWnd);
    if (modeAccepted) {
        StoreAppliedMode();
        m_tvParametersAsRead.clear();
        return;
    }
    RestoreTvParameters();
    RevertDesktopMode(saved);
    ReturnTo(placeBefore);
}

bool TvSettingDlg::SaveCurrentMode(DisplayMode& saved) {
    DisplayMode settings, deviceCaps;
    const bool haveSettings = GetSettingsCurrentMode(settings);
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
    if (m_tvParametersAsRead.empty()) return;  // nothing was read, so nothing was changed
    WriteTvParametersAsRead();
    ::Sleep(kTvParameterPauseMs);
}

void TvSettingDlg::RevertDesktopMode(const DisplayMode& saved) {
    const uint32_t preferred = RevertFrequency(m_strMode, saved.width);
    const DisplayModeList modes = ReadDisplayModes();
    ApplyDesktopMode(saved.width, saved.height, ChooseRevertFrequency(modes.records.get(), modes.count, saved, preferred));
}

void TvSettingDlg::ReturnTo(const RECT& place) {
    if (IsInsideWorkArea(place)) {
        SetWindowPos(nullptr, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        KeepInsideWorkArea(m_hWnd);
    }
}

void TvSettingDlg::ApplyMode(const char* mode) {
    m_strMode = mode;
    OnOK();
}

void TvSettingDlg::ApplyHdMode(HdLines lines, const char* variant) {
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
