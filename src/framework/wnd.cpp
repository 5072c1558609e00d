#include <map>
#include <memory>

#include "framework/afxwin.h"

namespace {

// Windows belong to the thread that made them, so each thread keeps its own maps.
thread_local std::map<HWND, CWnd*> t_permanent;
thread_local std::map<HWND, std::unique_ptr<CWnd>> t_temporary;
// The message being handled now, for Default().
thread_local MSG t_currentMsg;

bool IsCtlColorMessage(UINT message) { return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC; }

// The control a parent notification is about, for the messages that are reflected.
HWND NotifyingControl(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DRAWITEM && lParam) return reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem;
    if (message == WM_NOTIFY && lParam) return reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
    if (IsCtlColorMessage(message)) return reinterpret_cast<HWND>(lParam);
    (void)wParam;
    return nullptr;
}

}  // namespace

// ---- CCmdTarget ---------------------------------------------------------------------------

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, entries};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const AFX_MSGMAP_ENTRY* CCmdTarget::FindEntry(const AFX_MSGMAP* map, UINT message, UINT code, UINT id) {
    for (; map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn; ++e) {
            // Plain messages are keyed with code 0 and id 0, so one test serves every entry.
            if (e->nMessage == message && e->nCode == code && id >= e->nID && id <= e->nLastID) return e;
        }
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode) {
    const AFX_MSGMAP_ENTRY* e = FindEntry(GetMessageMap(), WM_COMMAND, static_cast<UINT>(nCode), nID);
    if (!e) return FALSE;
    e->pfn(this, WM_COMMAND, MAKEWPARAM(nID, nCode), 0);
    return TRUE;
}

// ---- Handle maps --------------------------------------------------------------------------

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    auto it = t_permanent.find(hWnd);
    return it == t_permanent.end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    if (!hWnd) return nullptr;
    if (CWnd* w = FromHandlePermanent(hWnd)) return w;
    std::unique_ptr<CWnd>& temp = t_temporary[hWnd];
    if (!temp) {
        temp = std::make_unique<CWnd>();
        temp->m_hWnd = hWnd;
    }
    return temp.get();
}

void AfxDeleteTempWindows() {
    for (auto& entry : t_temporary) entry.second->m_hWnd = nullptr;
    t_temporary.clear();
}

CWnd::~CWnd() {
    // A window that outlives its object must not route messages to freed memory.
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this) {
        if (m_pfnSuper) UnsubclassWindow();
        else Detach();
    }
}

BOOL CWnd::Attach(HWND hWnd) {
    if (!hWnd || m_hWnd || FromHandlePermanent(hWnd)) return FALSE;
    m_hWnd = hWnd;
    t_permanent[hWnd] = this;
    return TRUE;
}

HWND CWnd::Detach() {
    HWND h = m_hWnd;
    if (h && FromHandlePermanent(h) == this) t_permanent.erase(h);
    m_hWnd = nullptr;
    return h;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (!Attach(hWnd)) return FALSE;
    PreSubclassWindow();
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
    HWND control = pParent ? ::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID)) : nullptr;
    return control ? SubclassWindow(control) : FALSE;
}

HWND CWnd::UnsubclassWindow() {
    if (m_pfnSuper) ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    return Detach();
}

// ---- Message routing ----------------------------------------------------------------------

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = CWnd::FromHandlePermanent(hWnd);
    if (!wnd) return ::DefWindowProcA(hWnd, message, wParam, lParam);
    const MSG saved = t_currentMsg;
    t_currentMsg = MSG{hWnd, message, wParam, lParam, 0, {0, 0}};
    const LRESULT result = wnd->WindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) wnd->OnNcDestroyCleanup();
    t_currentMsg = saved;
    return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
    return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper) return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

const MSG* CWnd::GetCurrentMessage() { return &t_currentMsg; }

LRESULT CWnd::Default() {
    return DefWindowProc(t_currentMsg.message, t_currentMsg.wParam, t_currentMsg.lParam);
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam)) return FALSE;
        *pResult = 0;
        return TRUE;
    }
    if (ReflectToChild(message, wParam, lParam, pResult)) return TRUE;
    const UINT key = IsCtlColorMessage(message) ? WM_CTLCOLOR_MAP : message;
    const AFX_MSGMAP_ENTRY* e = FindEntry(GetMessageMap(), key, 0, 0);
    if (!e) return FALSE;
    *pResult = e->pfn(this, message, wParam, lParam);
    return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    HWND control = reinterpret_cast<HWND>(lParam);
    if (control) {
        CWnd* child = FromHandlePermanent(control);
        if (child && child->OnChildNotify(WM_COMMAND, wParam, lParam, nullptr)) return TRUE;
    }
    return OnCmdMsg(LOWORD(wParam), HIWORD(wParam));
}

BOOL CWnd::ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    HWND control = NotifyingControl(message, wParam, lParam);
    CWnd* child = control && control != m_hWnd ? FromHandlePermanent(control) : nullptr;
    return child && child->OnChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    // The control's own map may take the notification (ON_CONTROL_REFLECT and the like).
    const UINT code = message == WM_COMMAND ? HIWORD(wParam) : 0;
    const AFX_MSGMAP_ENTRY* e = FindEntry(GetMessageMap(), WM_REFLECT_BASE + message, code, 0);
    if (!e) return FALSE;
    const LRESULT r = e->pfn(this, message, wParam, lParam);
    if (pResult) *pResult = r;
    return TRUE;
}

HBRUSH CWnd::OnCtlColor(CDC*, CWnd*, UINT) { return reinterpret_cast<HBRUSH>(Default()); }

void CWnd::OnNcDestroyCleanup() {
    // Give the window back its own procedure unless someone subclassed it after us.
    if (m_pfnSuper &&
        ::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&AfxWndProc))
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    Detach();
    PostNcDestroy();
}

const AFX_MSGMAP* CWnd::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {&CCmdTarget::GetThisMessageMap, entries};
    return &map;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const { return GetThisMessageMap(); }

// ---- Thin wrappers ------------------------------------------------------------------------

CWnd* CWnd::GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }
CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
BOOL CWnd::ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
void CWnd::SetWindowText(const char* text) { ::SetWindowTextA(m_hWnd, text); }

void CWnd::GetWindowText(CString& text) const {
    const int length = ::GetWindowTextLengthA(m_hWnd);
    ::GetWindowTextA(m_hWnd, text.GetBuffer(length + 1), length + 1);
    text.ReleaseBuffer();
}

BOOL CWnd::SetWindowPos(const CWnd* pInsertAfter, int x, int y, int cx, int cy, UINT flags) {
    return ::SetWindowPos(m_hWnd, pInsertAfter ? pInsertAfter->m_hWnd : nullptr, x, y, cx, cy, flags);
}

static BOOL ModifyLong(HWND hWnd, int index, DWORD remove, DWORD add, UINT nFlags) {
    const DWORD old = static_cast<DWORD>(::GetWindowLongA(hWnd, index));
    const DWORD updated = (old & ~remove) | add;
    if (old == updated) return FALSE;
    ::SetWindowLongA(hWnd, index, static_cast<LONG>(updated));
    if (nFlags) ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT nFlags) { return ModifyLong(m_hWnd, GWL_STYLE, remove, add, nFlags); }
BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT nFlags) { return ModifyLong(m_hWnd, GWL_EXSTYLE, remove, add, nFlags); }
DWORD CWnd::GetStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE)); }
DWORD CWnd::GetExStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_EXSTYLE)); }
void CWnd::Invalidate(BOOL bErase) { ::InvalidateRect(m_hWnd, nullptr, bErase); }

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
}

void CWnd::GetClientRect(LPRECT rect) const { ::GetClientRect(m_hWnd, rect); }
void CWnd::GetWindowRect(LPRECT rect) const { ::GetWindowRect(m_hWnd, rect); }
void CWnd::ClientToScreen(LPPOINT point) const { ::ClientToScreen(m_hWnd, point); }
BOOL CWnd::EnableWindow(BOOL bEnable) { return ::EnableWindow(m_hWnd, bEnable); }
BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
int CWnd::SetWindowRgn(HRGN hRgn, BOOL bRedraw) { return ::SetWindowRgn(m_hWnd, hRgn, bRedraw); }
BOOL CWnd::DestroyWindow() { return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE; }

namespace {

RECT WorkAreaOf(HMONITOR monitor) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    ::GetMonitorInfoA(monitor, &info);
    return info.rcWork;
}

// The work area of the monitor the window is on, or the nearest one.
RECT WorkAreaOf(HWND hWnd) { return WorkAreaOf(::MonitorFromWindow(hWnd, MONITOR_DEFAULTTONEAREST)); }

// The start of a span of `size` placed at `start` and moved inside [low, high); a span larger
// than the range starts at `low`, so its top-left stays reachable.
int ClampSpan(int start, int size, int low, int high) {
    if (start + size > high) start = high - size;
    return start < low ? low : start;
}

// Puts the window's top-left at (x, y) moved inside the work area.
void MoveInside(HWND hWnd, const RECT& work, int x, int y) {
    RECT mine;
    ::GetWindowRect(hWnd, &mine);
    const int cx = mine.right - mine.left, cy = mine.bottom - mine.top;
    x = ClampSpan(x, cx, work.left, work.right);
    y = ClampSpan(y, cy, work.top, work.bottom);
    if (x == mine.left && y == mine.top) return;
    ::SetWindowPos(hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

bool IsInsideWorkArea(const RECT& rect) {
    const RECT work = AfxGetWorkAreaNear(rect);
    return rect.left >= work.left && rect.top >= work.top && rect.right <= work.right && rect.bottom <= work.bottom;
}

RECT AfxGetWorkAreaNear(const RECT& rect) { return WorkAreaOf(::MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST)); }

void KeepInsideWorkArea(HWND hWnd) {
    RECT mine;
    ::GetWindowRect(hWnd, &mine);
    MoveInside(hWnd, WorkAreaOf(hWnd), mine.left, mine.top);
}

void CWnd::CenterWindow(CWnd* pAlternateOwner) {
    HWND over = pAlternateOwner ? pAlternateOwner->m_hWnd : ::GetWindow(m_hWnd, GW_OWNER);
    const bool overOwner = over && ::IsWindowVisible(over) && !::IsIconic(over);
    // Centred over the owner, but never outside the work area of the owner's monitor.
    const RECT work = WorkAreaOf(overOwner ? over : m_hWnd);
    RECT area = work;
    if (overOwner) ::GetWindowRect(over, &area);
    RECT mine;
    ::GetWindowRect(m_hWnd, &mine);
    const int cx = mine.right - mine.left, cy = mine.bottom - mine.top;
    MoveInside(m_hWnd, work, (area.left + area.right - cx) / 2, (area.top + area.bottom - cy) / 2);
}

// ---- CButton ------------------------------------------------------------------------------

void CButton::DrawItem(LPDRAWITEMSTRUCT) {}

BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (message != WM_DRAWITEM) return CWnd::OnChildNotify(message, wParam, lParam, pResult);
    DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    if (pResult) *pResult = TRUE;
    return TRUE;
}
