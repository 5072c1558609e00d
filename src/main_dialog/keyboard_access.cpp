// The main window for keyboard, remote-control and screen-reader users: the order in which Tab
// walks the buttons, where the arrow keys move the focus, focus marks hidden until the keyboard
// is used (when the user's keyboard cues are off), and what a screen reader reads.
#include <utility>
#include <vector>

#include "main_dialog/arrow_moves.h"
#include "main_dialog/button_names.h"
#include "main_dialog/main_window_buttons.h"
#include "main_dialog/tv_setting_dlg.h"

void TvSettingDlg::PrepareKeyboardAccess() {
    // Tab follows the controls' order among their siblings, which is the table's; the template's
    // order put the standard row before the pictures. The hidden rows and the connector pictures,
    // which do nothing when pressed, are passed over by Tab.
    HWND previous = nullptr;
    for (const MainWindowButton& button : MainWindowButtons()) {
        const bool picture = button.row == ButtonRow::Pictures;
        if (SkinButton* skin = SkinButtonFor(button.control)) {
            if (picture) skin->ShowAsPicture();
            skin->SetFocusRing(!picture);
        }
        HWND window = ::GetDlgItem(m_hWnd, button.control);
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
    m_accessible.SetDescription(m_hWnd, WindowDescription(view).c_str());
}

LRESULT TvSettingDlg::OnArrowKey(WPARAM key, LPARAM button) {
    std::vector<std::vector<int>> rows =
        ArrowRows([this](int control) { return ::IsWindowVisible(::GetDlgItem(m_hWnd, control)) != FALSE; });
    ArrowKey arrow = ArrowKey::Down;
    switch (key) {
        case VK_LEFT: arrow = ArrowKey::Left; break;
        case VK_RIGHT: arrow = ArrowKey::Right; break;
        case VK_UP: arrow = ArrowKey::Up; break;
        case VK_DOWN: break;
        default: return 0;
    }
    const int from = ::GetDlgCtrlID(reinterpret_cast<HWND>(button));
    // cppcheck-suppress accessMoved ; rows is read once, by the move itself
    const int to = ArrowMoves(std::move(rows)).Target(from, arrow, m_arrowColumn);
    return reinterpret_cast<LRESULT>(to ? ::GetDlgItem(m_hWnd, to) : nullptr);
}

LRESULT TvSettingDlg::OnGetObject(WPARAM wParam, LPARAM lParam) {
    const LRESULT answer = m_accessible.Answer(m_hWnd, wParam, lParam);
    return answer ? answer : Default();
}
