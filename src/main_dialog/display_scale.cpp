// The main window at the display's scale: the logo drawn for it, and the whole window drawn
// again when it moves to a monitor of another scale.
#include "main_dialog/tv_setting_dlg.h"
#include "resource.h"

namespace {

constexpr int kLogoControl = -1;  // the logo has no id of its own

}  // namespace

void TvSettingDlg::ShowLogoAtScale(UINT dpi) {
    HWND logo = ::GetDlgItem(m_hWnd, kLogoControl);
    CBitmap scaled;
    if (!logo || !LoadSkinBitmap(scaled, IDB_LOGO, dpi)) return;
    const auto shown = reinterpret_cast<HGDIOBJ>(
        ::SendMessageA(logo, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(scaled.GetSafeHandle())));
    // The control draws ours from now on; the one it loaded from the template is ours to delete.
    if (shown && shown != m_bmpLogo.GetSafeHandle()) ::DeleteObject(shown);
    m_bmpLogo.Attach(scaled.Detach());
}

LRESULT TvSettingDlg::OnDpiChanged(WPARAM wParam, LPARAM lParam) {
    const UINT dpi = LOWORD(wParam);
    const auto* suggested = reinterpret_cast<const RECT*>(lParam);
    if (!dpi || !suggested || !LayOutAtDpi(dpi)) return 0;
    LoadSkinBitmap(m_bmpBackground, IDB_BACKGROUND, dpi);
    SetWindowRgn(m_bmpBackground.BuildRegion(KEY_TOP_LEFT), TRUE);  // the window owns it
    ShowLogoAtScale(dpi);
    // The controls' ids run from IDC_640 to IDC_1080_LARGE; those without a look are passed over.
    for (int control = IDC_640; control <= IDC_1080_LARGE; ++control) SetStartUpLook(control);
    if (m_bDetectedViewShown) ShowDetectedConnector();
    m_gifAnim.FitToScale();
    SetWindowPos(nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    return 0;
}
