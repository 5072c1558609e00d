// The main window for keyboard, remote-control and screen-reader users: the order in which Tab
// walks the buttons, where the arrow keys move the focus, focus marks hidden until the keyboard
// is used (when the user's keyboard cues are off), and what a screen reader reads.
#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

#include "main_dialog/arrow_moves.h"
#include "main_dialog/button_names.h"
#include "main_dialog/tv_setting_dlg.h"
#include "resource.h"

namespace {

// Close, then top to bottom and left to right; the hidden rows and the connector pictures, which
// do nothing when pressed, are passed over by Tab.
constexpr int kTabOrder[] = {IDC_CLOSE,      IDC_SVIDEO,    IDC_COMPOSITE,  IDC_COMPONENT, IDC_HDMI,
                             IDC_640,        IDC_800,       IDC_1024,       IDC_480_SMALL, IDC_720_SMALL,
                             IDC_1080_SMALL, IDC_480_LARGE, IDC_720_LARGE,  IDC_1080_LARGE};
constexpr int kPictures[] = {IDC_SVIDEO, IDC_COMPOSITE, IDC_COMPONENT, IDC_HDMI};

// The rows of resolution buttons, top to bottom; the arrow keys walk those shown, below Close.
constexpr int kResolutionRows[][3] = {{IDC_480_SMALL, IDC_720_SMALL, IDC_1080_SMALL},
                                      {IDC_480_LARGE, IDC_720_LARGE, IDC_1080_LARGE},
                                      {IDC_640, IDC_800, IDC_1024}};

// The logo is the template's only control without an id of its own.
constexpr int kLogoControl = -1;

}  // namespace

void TvSettingDlg::PrepareKeyboardAccess() {
    // Tab follows the controls' order among their siblings; the template's order put the
    // standard row before the pictures.
    HWND previous = nullptr;
    for (int control : kPictures) SkinButtonFor(control)->ShowAsPicture();
    for (int control : kTabOrder) {
        const bool picture = std::find(std::begin(kPictures), std::end(kPictures), control) != std::end(kPictures);
        if (SkinButton* button = SkinButtonFor(control)) button->SetFocusRing(!picture);
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
    m_accessible.SetDescription(m_hWnd, WindowDescription(view).c_str());
}

LRESULT TvSettingDlg::OnArrowKey(WPARAM key, LPARAM button) {
    std::vector<std::vector<int>> rows{{IDC_CLOSE}};
    for (const auto& row : kResolutionRows)
        if (::IsWindowVisible(::GetDlgItem(m_hWnd, row[0]))) rows.emplace_back(std::begin(row), std::end(row));
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
