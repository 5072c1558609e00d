#include "framework/afxwin.h"

#include <map>

#include "framework/dialog_template.h"
#include "framework/scoped_handles.h"
#include "framework/window_scale.h"

namespace {

// The dialog whose window is being created on this thread: the creation hook attaches it.
thread_local CWnd* t_pWndInit = nullptr;
// How many modal loops of ours run on this thread, one inside the other.
thread_local int t_modalDepth = 0;

// Counts one running modal loop for as long as it lives.
class ModalDepth {
public:
    ModalDepth() { ++t_modalDepth; }
    ~ModalDepth() { --t_modalDepth; }
    ModalDepth(const ModalDepth&) = delete;
    ModalDepth& operator=(const ModalDepth&) = delete;
    bool Outermost() const { return t_modalDepth == 1; }
};

}  // namespace

// Attaches the dialog object at the very first message of its window, so that every message,
// WM_INITDIALOG included, goes through its message map.
LRESULT CALLBACK AfxCbtFilterHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && t_pWndInit) {
        CWnd* wnd = t_pWndInit;
        t_pWndInit = nullptr;
        wnd->SubclassWindow(reinterpret_cast<HWND>(wParam));
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG) return FALSE;
    auto* dialog = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(hWnd));
    return dialog ? dialog->OnInitDialog() : TRUE;
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.m_hWnd) return;
    HWND control = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC);
    if (control) rControl.SubclassWindow(control);
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
    ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::OnOK() {
    if (UpdateData(TRUE)) EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::OnCmdMsg(UINT nID, int nCode) {
    if (CWnd::OnCmdMsg(nID, nCode)) return TRUE;
    // Commands nobody in the dialog takes go on to the application, as in a frame window.
    CWinApp* app = AfxGetApp();
    return app && nCode == 0 ? app->OnCmdMsg(nID, nCode) : FALSE;
}

void CDialog::EndDialog(int nResult) {
    m_nModalResult = nResult;
    m_bModalEnded = true;
    if (m_hWnd) ::PostMessageA(m_hWnd, WM_NULL, 0, 0);  // wake the modal loop
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) {
    if (m_pTemplate) {
        AfxApplyTemplateFontMetrics(m_hWnd, m_pTemplate, m_nTemplateSize);
        // A template that leaves the position at (0, 0) asks to be centred over its owner.
        const auto info = ParseDialogTemplate(m_pTemplate, m_nTemplateSize);
        if (info && info->rect.x == 0 && info->rect.y == 0) CenterWindow();
    }
    return Default();  // the dialog manager then calls OnInitDialog through AfxDlgProc
}

HWND CDialog::FindModalOwner() const {
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!owner) {
        CWnd* main = AfxGetMainWnd();
        if (main && main != this) owner = main->m_hWnd;
    }
    // A dialog is owned by the top-level window its parent lives in.
    return owner ? ::GetAncestor(owner, GA_ROOT) : nullptr;
}

INT_PTR CDialog::DoModal() {
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEA(m_nIDTemplate), RT_DIALOG);
    const ResourceBytes resource = FindResourceBytes(module, MAKEINTRESOURCEA(m_nIDTemplate), RT_DIALOG);
    m_pTemplate = resource.bytes;
    m_nTemplateSize = resource.size;
    if (!m_pTemplate) return -1;

    HWND owner = FindModalOwner();
    const bool reenableOwner = owner && ::IsWindowEnabled(owner);
    if (reenableOwner) ::EnableWindow(owner, FALSE);

    m_nModalResult = -1;
    m_bModalEnded = false;
    t_pWndInit = this;
    HHOOK hook = ::SetWindowsHookExA(WH_CBT, &AfxCbtFilterHook, nullptr, ::GetCurrentThreadId());
    HWND created = ::CreateDialogIndirectParamA(module, static_cast<LPCDLGTEMPLATEA>(m_pTemplate), owner,
                                                &AfxDlgProc, 0);
    ::UnhookWindowsHookEx(hook);
    t_pWndInit = nullptr;

    if (created && m_hWnd) RunModalLoop();

    if (m_hWnd) ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                               SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    // Enable the owner before the dialog goes, so that activation returns to it.
    if (reenableOwner) ::EnableWindow(owner, TRUE);
    if (owner && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(owner);
    DestroyWindow();
    m_pTemplate = nullptr;
    return m_nModalResult;
}

void CDialog::RunModalLoop() {
    const ModalDepth depth;
    // Decided as the loop starts: a dialog its template showed, and then hid itself before the
    // first idle, stays hidden. Once shown, hiding it is the dialog's own business.
    bool showOnIdle = !(GetStyle() & WS_VISIBLE);
    MSG msg;
    while (!m_bModalEnded && m_hWnd) {
        if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            // First idle: show a dialog whose template did not.
            if (showOnIdle) ShowWindow(SW_SHOWNORMAL);
            showOnIdle = false;
            // Callers of an inner loop (a command handler that runs a popup) may still hold
            // temporary objects: only the outermost loop drops them.
            if (depth.Outermost()) AfxDeleteTempWindows();
        }
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {  // WM_QUIT: pass it on to the outer loop and end
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            m_nModalResult = -1;
            return;
        }
        if (!::IsDialogMessageA(m_hWnd, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
}

namespace {

// The next control after that one (from the first when null) with that id.
HWND NextControlWithId(HWND hDlg, uint32_t id, HWND after) {
    for (HWND child = after ? ::GetWindow(after, GW_HWNDNEXT) : ::GetWindow(hDlg, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (static_cast<uint32_t>(::GetDlgCtrlID(child)) == id) return child;
    }
    return nullptr;
}

// The template's controls at the base units its font has at 96 dpi, scaled to the dpi. Each is
// found by its id, so that a dialog that has changed its controls' order since (for the Tab
// order) is laid out alike; controls sharing an id are taken in their order.
void PlaceTemplateControls(HWND hDlg, const DialogTemplateInfo& info, DialogBaseUnits units, UINT dpi) {
    std::map<uint32_t, HWND> lastWithId;
    for (const DialogItemInfo& item : info.items) {
        HWND& last = lastWithId[item.id];
        HWND control = NextControlWithId(hDlg, item.id, last);
        if (!control) continue;  // a control that failed to be made
        last = control;
        const DialogRect px = ScaleToDpi(DialogUnitsToPixels(item.rect, units), dpi);
        ::SetWindowPos(control, nullptr, px.x, px.y, px.cx, px.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void SetOuterSize(HWND hDlg, RECT frame, UINT dpi) {
    ::SetWindowPos(hDlg, nullptr, 0, 0, ScaleToDpi(frame.right - frame.left, dpi),
                   ScaleToDpi(frame.bottom - frame.top, dpi), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void AfxApplyTemplateFontMetrics(HWND hDlg, const void* pTemplate, DWORD size) {
    const auto info = ParseDialogTemplate(pTemplate, size);
    if (!info || !info->hasFont) return;
    const auto wanted = KnownFontBaseUnits(info->fontFace, info->pointSize);
    RECT probe{0, 0, 4, 8};
    ::MapDialogRect(hDlg, &probe);
    const UINT dpi = AfxGetWindowDpi(hDlg);
    if (!wanted || (dpi == kDefaultDpi && *wanted == DialogBaseUnits{probe.right, probe.bottom})) return;

    PlaceTemplateControls(hDlg, *info, *wanted, dpi);
    const DialogRect client = DialogUnitsToPixels(info->rect, *wanted);
    RECT frame{0, 0, client.cx, client.cy};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongA(hDlg, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongA(hDlg, GWL_EXSTYLE)));
    SetOuterSize(hDlg, frame, dpi);
}

namespace {

// The window's outer rectangle at 96 dpi as the template's own styles frame it, as the window had
// when it was created: a window whose frame was taken away since keeps the size it had then.
RECT TemplateFrame(const DialogTemplateInfo& info, DialogBaseUnits units) {
    const DWORD exStyle = info.exStyle | ((info.style & DS_MODALFRAME) ? WS_EX_DLGMODALFRAME : 0);
    const DialogRect client = DialogUnitsToPixels(info.rect, units);
    RECT frame{0, 0, client.cx, client.cy};
    ::AdjustWindowRectEx(&frame, info.style, FALSE, exStyle);
    return frame;
}

// The dialog template of that id, read from its resource; nothing when it cannot be read.
std::optional<DialogTemplateInfo> ReadTemplate(UINT id) {
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEA(id), RT_DIALOG);
    const ResourceBytes resource = FindResourceBytes(module, MAKEINTRESOURCEA(id), RT_DIALOG);
    if (!resource) return std::nullopt;
    return ParseDialogTemplate(resource.bytes, resource.size);
}

std::optional<DialogBaseUnits> KnownBaseUnits(const std::optional<DialogTemplateInfo>& info) {
    return info && info->hasFont ? KnownFontBaseUnits(info->fontFace, info->pointSize) : std::nullopt;
}

}  // namespace

BOOL CDialog::LayOutAtDpi(UINT dpi) {
    const auto info = ReadTemplate(m_nIDTemplate);
    const auto wanted = KnownBaseUnits(info);
    if (!info || !m_hWnd) return FALSE;
    AfxSetWindowDpi(m_hWnd, dpi);
    if (!wanted) return TRUE;  // a font of unknown metrics: the system's own layout stays
    PlaceTemplateControls(m_hWnd, *info, *wanted, dpi);
    SetOuterSize(m_hWnd, TemplateFrame(*info, *wanted), dpi);
    return TRUE;
}

UINT CDialog::DpiThatFits(UINT wantedDpi, const RECT& workArea) const {
    const auto info = ReadTemplate(m_nIDTemplate);
    const auto wanted = KnownBaseUnits(info);
    if (!wanted) return wantedDpi;
    const RECT frame = TemplateFrame(*info, *wanted);
    return LargestDpiThatFits(wantedDpi, frame.right - frame.left, frame.bottom - frame.top,
                              workArea.right - workArea.left, workArea.bottom - workArea.top);
}
