#include "framework/afxcmn.h"

#include "framework/system_calls.h"

CToolTipCtrl::~CToolTipCtrl() {
    // The window tells us when it goes (WM_NCDESTROY detaches it), so m_hWnd is never stale.
    DestroyWindow();
}

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle) {
    if (m_hWnd) return FALSE;
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_BAR_CLASSES};
    comctl32::InitCommonControlsEx(&classes);
    HWND parent = pParentWnd ? pParentWnd->m_hWnd : nullptr;
    HWND tip = ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | dwStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    if (!tip) return FALSE;
    // Subclassed, so that the object learns when the window is destroyed with its owner.
    if (!SubclassWindow(tip)) {
        ::DestroyWindow(tip);
        return FALSE;
    }
    return TRUE;
}

TOOLINFOA CToolTipCtrl::ToolInfo(CWnd* pWnd, UINT_PTR nIDTool) {
    TOOLINFOA info{};
    info.cbSize = sizeof(info);
    HWND tool = pWnd ? pWnd->m_hWnd : nullptr;
    if (nIDTool == 0) {
        info.hwnd = ::GetParent(tool);
        info.uFlags = TTF_IDISHWND;
        info.uId = reinterpret_cast<UINT_PTR>(tool);
    } else {
        info.hwnd = tool;
        info.uId = nIDTool;
    }
    return info;
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, const char* lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool) {
    if (!m_hWnd || !pWnd || !pWnd->m_hWnd) return FALSE;
    TOOLINFOA info = ToolInfo(pWnd, nIDTool);
    if (lpRectTool) info.rect = *lpRectTool;
    info.lpszText = const_cast<char*>(lpszText);
    return static_cast<BOOL>(SendMessage(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info)));
}

void CToolTipCtrl::UpdateTipText(const char* lpszText, CWnd* pWnd, UINT_PTR nIDTool) {
    if (!m_hWnd || !pWnd) return;
    TOOLINFOA info = ToolInfo(pWnd, nIDTool);
    info.lpszText = const_cast<char*>(lpszText);
    SendMessage(TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&info));
}
