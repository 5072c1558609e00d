#include "controls/notice_balloon.h"

#include "controls/contrast_paint.h"
#include "controls/font_store.h"
#include "framework/window_scale.h"

namespace {

constexpr UINT_PTR kHideTimer = 0x4E42;  // apart from the tooltip's own timers
constexpr UINT_PTR kToolId = 1;
constexpr int kMaxWidth = 320;

}  // namespace

BEGIN_MESSAGE_MAP(NoticeBalloon, CToolTipCtrl)
    ON_MESSAGE(WM_TIMER, OnTimer)
END_MESSAGE_MAP()

TOOLINFOA NoticeBalloon::Tool(const CString* text) const {
    TOOLINFOA tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = m_owner;
    tool.uId = kToolId;
    tool.lpszText = text ? const_cast<char*>(static_cast<const char*>(*text)) : nullptr;
    return tool;
}

bool NoticeBalloon::Make(HWND control) {
    if (m_hWnd) return true;
    m_owner = ::GetAncestor(control, GA_ROOT);
    CWnd* owner = CWnd::FromHandle(m_owner);
    // No fading or sliding: the words are there at once, and gone at once.
    if (!Create(owner, TTS_BALLOON | TTS_NOPREFIX | TTS_ALWAYSTIP | TTS_NOFADE | TTS_NOANIMATE)) return false;
    const CString none;
    TOOLINFOA tool = Tool(&none);
    if (!SendMessage(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool))) {
        DestroyWindow();
        return false;
    }
    return true;
}

bool NoticeBalloon::Show(HWND control, const CString& text, UINT milliseconds) {
    if (!control || !Make(control)) return false;
    // The system's tooltip font for the button's scale, which may have changed since the last
    // notice; the width with it. The font held before goes only once the balloon has the new one.
    const UINT dpi = AfxGetWindowDpi(control);
    if (auto font = StoredTooltipFont(dpi)) {
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(static_cast<HFONT>(*font)));
        m_font = std::move(font);
    }
    SendMessage(TTM_SETMAXTIPWIDTH, 0, ScaleToDpi(kMaxWidth, dpi));
    // The system's tooltip colours, a contrast theme's while one is on (a styled balloon would
    // not take those by itself). Given at every notice: the balloon keeps the ones it was given
    // when the theme is switched off.
    const ThemeColours theme = ReadThemeColours();
    SendMessage(TTM_SETTIPBKCOLOR, theme.infoBack);
    SendMessage(TTM_SETTIPTEXTCOLOR, theme.infoText);
    TOOLINFOA tool = Tool(&text);
    SendMessage(TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    RECT rect{};
    ::GetWindowRect(control, &rect);
    SendMessage(TTM_TRACKPOSITION, 0, MAKELPARAM((rect.left + rect.right) / 2, rect.bottom - 2));
    SendMessage(TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    ::SetTimer(m_hWnd, kHideTimer, milliseconds, nullptr);
    return true;
}

void NoticeBalloon::Hide() {
    if (!m_hWnd) return;
    ::KillTimer(m_hWnd, kHideTimer);
    TOOLINFOA tool = Tool(nullptr);
    SendMessage(TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
}

LRESULT NoticeBalloon::OnTimer(WPARAM wParam, LPARAM) {
    if (wParam != kHideTimer) return Default();
    Hide();
    return 0;
}
