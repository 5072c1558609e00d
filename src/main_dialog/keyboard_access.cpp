// The main window for keyboard and screen-reader users: the order in which Tab walks the
// buttons, focus marks hidden until the keyboard is used (when the user's keyboard cues are
// off), and the names a screen reader reads.
#include "main_dialog/button_names.h"
#include "main_dialog/tv_setting_dlg.h"
#include "resource.h"

namespace {

// Close, then top to bottom and left to right; the hidden rows are passed over by Tab.
constexpr int kTabOrder[] = {IDC_CLOSE,      IDC_SVIDEO,    IDC_COMPOSITE,  IDC_COMPONENT, IDC_HDMI,
                             IDC_640,        IDC_800,       IDC_1024,       IDC_480_SMALL, IDC_720_SMALL,
                             IDC_1080_SMALL, IDC_480_LARGE, IDC_720_LARGE,  IDC_1080_LARGE};

// The logo is the template's only control without an id of its own.
constexpr int kLogoControl = -1;

}  // namespace

void TvSettingDlg::PrepareKeyboardAccess() {
    // Tab follows the controls' order among their siblings; the template's order put the
    // standard row before the pictures.
    HWND previous = nullptr;
    for (int control : kTabOrder) {
        if (SkinButton* button = SkinButtonFor(control)) button->SetFocusRing(true);
        HWND window = ::GetDlgItem(m_hWnd, control);
        if (!window) continue;
        if (previous)
            ::SetWindowPos(window, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
        previous = window;
    }
    if (HWND logo = ::GetDlgItem(m_hWnd, kLogoControl)) {
        m_logo.SubclassWindow(logo);
        m_logo.SetAccessibleName(kTitle);
    }
}

void TvSettingDlg::HideFocusMarksUntilKeyboardUse() {
    // With the keyboard cues off (the usual setting) a window opened with the mouse hides its
    // focus marks until a key moves the focus; not every system starts a dialog that way.
    BOOL cues = TRUE;
    if (::SystemParametersInfoA(SPI_GETKEYBOARDCUES, 0, &cues, 0) && !cues) SkinButton::SetFocusMarksHidden(m_hWnd, true);
}

void TvSettingDlg::NameButtons(ConnectorView view) {
    for (const ButtonName& button : MainWindowButtonNames(view, TvDetection))
        if (SkinButton* skin = SkinButtonFor(button.control)) skin->SetAccessibleName(button.name.c_str());
}
