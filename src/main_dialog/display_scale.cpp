// The main window at the display's scale: the logo drawn for it, the whole window drawn again
// when it moves to a monitor of another scale, and a smaller scale whenever the window at its
// monitor's scale would not fit the work area (a TV desktop of 640 x 480 at 200 %).
#include "main_dialog/main_window_buttons.h"
#include "main_dialog/tv_setting_dlg.h"
#include "resource.h"

void TvSettingDlg::ShowLogoAtScale(UINT dpi) {
    HWND logo = ::GetDlgItem(m_hWnd, kLogoControl);
    CBitmap scaled;
    if (!logo || !LoadSkinBitmap(scaled, IDB_LOGO, dpi)) return;
    ShowLogoBitmap(logo, scaled);
}

void TvSettingDlg::ShowLogoBitmap(HWND logo, CBitmap& picture) {
    const auto shown = reinterpret_cast<HGDIOBJ>(
        ::SendMessageA(logo, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture.GetSafeHandle())));
    // The control draws ours from now on; the one it loaded from the template is ours to delete.
    CBitmap fromTemplate;
    if (shown && shown != m_bmpLogo.GetSafeHandle()) fromTemplate.Attach(shown);
    m_bmpLogo.Attach(picture.Detach());
}

void TvSettingDlg::ChooseStartScale() {
    m_monitorDpi = AfxGetMonitorDpi(m_hWnd);
    RECT mine{};
    GetWindowRect(&mine);
    const UINT dpi = DpiThatFits(m_monitorDpi, AfxGetWorkAreaNear(mine));
    if (dpi == m_monitorDpi || !LayOutAtDpi(dpi)) return;  // dressed at the scale recorded here
    CenterWindow();  // smaller now, and centred as its template asks
}

bool TvSettingDlg::DrawAtDpi(UINT dpi) {
    if (!LayOutAtDpi(dpi)) return false;
    // A message pointing at a button would point beside it now.
    m_refusalNotice.Hide();
    m_bmpBackground.LoadArt(IDB_BACKGROUND, dpi);
    SetWindowRgn(m_bmpBackground.BuildRegion(KEY_TOP_LEFT), TRUE);  // the window owns it
    ShowLogoForLook(dpi);
    for (const MainWindowButton& button : MainWindowButtons()) {
        SetStartUpLook(button.control);
        if (SkinButton* skin = SkinButtonFor(button.control)) skin->FitTooltipToScale();
    }
    if (m_bDetectedViewShown) ShowDetectedConnector();
    m_gifAnim.FitToScale();
    return true;
}

void TvSettingDlg::FitInsideWorkArea() {
    RECT mine{};
    GetWindowRect(&mine);
    const UINT dpi = DpiThatFits(m_monitorDpi, AfxGetWorkAreaNear(mine));
    if (dpi != AfxGetWindowDpi(m_hWnd) && DrawAtDpi(dpi)) RedrawAll();
    KeepInsideWorkArea(m_hWnd);
}

void TvSettingDlg::RedrawAll() {
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

LRESULT TvSettingDlg::OnDpiChanged(WPARAM wParam, LPARAM lParam) {
    const UINT monitorDpi = LOWORD(wParam);
    const auto* suggested = reinterpret_cast<const RECT*>(lParam);
    if (!monitorDpi || !suggested) return 0;
    m_monitorDpi = monitorDpi;
    const UINT dpi = DpiThatFits(monitorDpi, AfxGetWorkAreaNear(*suggested));
    if (!DrawAtDpi(dpi)) return 0;
    if (dpi == monitorDpi) {
        SetWindowPos(nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    } else {  // the suggested size is the monitor's scale, which does not fit
        SetWindowPos(nullptr, suggested->left, suggested->top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        KeepInsideWorkArea(m_hWnd);
    }
    RedrawAll();
    return 0;
}
