// A press that switches nothing is told by the warning sound and, for those who cannot hear it
// (a muted TV, a deaf user), by a short message beside the button pressed.
#include <string>

#include "main_dialog/tv_setting_dlg.h"

namespace {

constexpr UINT kNoticeMs = 5000;

// The control whose command is being handled, if it is shown: the message points at it.
HWND PressedControl(HWND dialog) {
    const MSG* message = CWnd::GetCurrentMessage();
    if (!message || message->hwnd != dialog || message->message != WM_COMMAND) return nullptr;
    HWND control = message->lParam ? reinterpret_cast<HWND>(message->lParam) : ::GetDlgItem(dialog, LOWORD(message->wParam));
    return control && ::IsChild(dialog, control) && ::IsWindowVisible(control) ? control : nullptr;
}

}  // namespace

void TvSettingDlg::TellRefusal(SwitchRefusal why, DWORD width, DWORD height, DWORD frequency) {
    ::MessageBeep(MB_ICONWARNING);
    std::string text;
    switch (why) {
        case SwitchRefusal::NothingToSwitch: text = "Nothing to switch to"; break;
        case SwitchRefusal::NotListed: text = "This adapter does not offer " + DescribeMode(width, height, frequency); break;
        case SwitchRefusal::DriverRefused: text = "The driver refused " + DescribeMode(width, height, frequency); break;
        case SwitchRefusal::SwitchRunning: text = "Answer \"Accept Now ?\" first"; break;
    }
    // A command with no button behind it (the hidden default command) has the sound alone.
    if (HWND control = PressedControl(m_hWnd)) m_refusalNotice.Show(control, text.c_str(), kNoticeMs);
}
