#pragma once
// Our small application framework over plain Win32: the subset of the classic MFC classes
// that this program uses, under the same names and with the same observable behaviour.
#include <windows.h>

#include "framework/afxgdi.h"
#include "framework/cstring.h"

class CCmdTarget;
class CWnd;
class CDialog;
class CWinApp;
class CDataExchange;

// ---- Message maps -------------------------------------------------------------------------
// Each class with a map gets a static table of entries; a lookup walks the class's table,
// then its base class's, up to CCmdTarget. A handler is a plain function that cracks the
// message parameters and calls the member.

using AFX_PMSG = LRESULT (*)(CCmdTarget* target, UINT message, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // window message, or WM_COMMAND for command entries
    UINT nCode;     // notification code of command entries (BN_CLICKED is 0)
    UINT nID;       // first control id of command entries
    UINT nLastID;   // last control id of command entries
    AFX_PMSG pfn;   // null only in the end entry
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// WM_CTLCOLOR of 16-bit days: the map key of every WM_CTLCOLORxxx message.
constexpr UINT WM_CTLCOLOR_MAP = 0x0019;
// Notifications a parent reflects back to the control they concern are looked up in the
// control's map under this offset.
constexpr UINT WM_REFLECT_BASE = 0xBC00;

#define DECLARE_MESSAGE_MAP()                        \
protected:                                           \
    static const AFX_MSGMAP* GetThisMessageMap();    \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                       \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                 \
        using ThisClass [[maybe_unused]] = theClass;                                  \
        using TheBaseClass = baseClass;                                               \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {
#define END_MESSAGE_MAP()                                                                \
    { 0, 0, 0, 0, nullptr }                                                              \
    }                                                                                    \
    ;                                                                                    \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
    return &messageMap;                                                                  \
    }

#define AFX_HANDLER(body) [](CCmdTarget * _t, UINT _msg, WPARAM _wp, LPARAM _lp) -> LRESULT { \
    auto* self = static_cast<ThisClass*>(_t); (void)self; (void)_msg; (void)_wp; (void)_lp; body }

#define ON_COMMAND(id, memberFxn) {WM_COMMAND, 0, (UINT)(id), (UINT)(id), AFX_HANDLER(self->memberFxn(); return 0;)},
#define ON_BN_CLICKED(id, memberFxn) {WM_COMMAND, BN_CLICKED, (UINT)(id), (UINT)(id), AFX_HANDLER(self->memberFxn(); return 0;)},
#define ON_CONTROL_REFLECT(code, memberFxn) \
    {WM_REFLECT_BASE + WM_COMMAND, (UINT)(code), 0, 0, AFX_HANDLER(self->memberFxn(); return 0;)},
#define ON_MESSAGE(message, memberFxn) {(UINT)(message), 0, 0, 0, AFX_HANDLER(return self->memberFxn(_wp, _lp);)},
#define ON_WM_PAINT() {WM_PAINT, 0, 0, 0, AFX_HANDLER(self->OnPaint(); return 0;)},
#define ON_WM_DESTROY() {WM_DESTROY, 0, 0, 0, AFX_HANDLER(self->OnDestroy(); return 0;)},
#define ON_WM_QUERYDRAGICON() \
    {WM_QUERYDRAGICON, 0, 0, 0, AFX_HANDLER(return reinterpret_cast<LRESULT>(self->OnQueryDragIcon());)},
#define ON_WM_NCHITTEST() \
    {WM_NCHITTEST, 0, 0, 0, AFX_HANDLER(return static_cast<LRESULT>(self->OnNcHitTest(CPoint::FromLParam(_lp)));)},
#define ON_WM_ERASEBKGND() \
    {WM_ERASEBKGND, 0, 0, 0, AFX_HANDLER(CDC _dc; _dc.Attach(reinterpret_cast<HDC>(_wp)); \
        LRESULT _r = self->OnEraseBkgnd(&_dc); _dc.Detach(); return _r;)},
#define ON_WM_CTLCOLOR() \
    {WM_CTLCOLOR_MAP, 0, 0, 0, AFX_HANDLER(CDC _dc; _dc.Attach(reinterpret_cast<HDC>(_wp));                 \
        HBRUSH _b = self->OnCtlColor(&_dc, CWnd::FromHandle(reinterpret_cast<HWND>(_lp)), _msg - WM_CTLCOLORMSGBOX); \
        _dc.Detach(); return reinterpret_cast<LRESULT>(_b);)},
#define AFX_MOUSE_HANDLER(message, memberFxn) \
    {message, 0, 0, 0, AFX_HANDLER(self->memberFxn(static_cast<UINT>(_wp), CPoint::FromLParam(_lp)); return 0;)},
#define ON_WM_LBUTTONDOWN() AFX_MOUSE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() AFX_MOUSE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() AFX_MOUSE_HANDLER(WM_LBUTTONDBLCLK, OnLButtonDblClk)
#define ON_WM_MOUSEMOVE() AFX_MOUSE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_KILLFOCUS() \
    {WM_KILLFOCUS, 0, 0, 0, AFX_HANDLER(self->OnKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(_wp))); return 0;)},
#define ON_WM_KEYDOWN()                                                                         \
    {WM_KEYDOWN, 0, 0, 0, AFX_HANDLER(self->OnKeyDown(static_cast<UINT>(_wp), LOWORD(_lp), HIWORD(_lp)); \
        return 0;)},

// ---- Small value types --------------------------------------------------------------------

struct CPoint : POINT {
    CPoint(int px = 0, int py = 0) { x = px; y = py; }
    static CPoint FromLParam(LPARAM lp) { return CPoint(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))); }
};

struct CSize : SIZE {
    CSize(int w = 0, int h = 0) { cx = w; cy = h; }
};

struct CRect : RECT {
    CRect(int l = 0, int t = 0, int r = 0, int b = 0) { left = l; top = t; right = r; bottom = b; }
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

// ---- CCmdTarget ---------------------------------------------------------------------------

class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;
    // Runs the map entry for a command (id and notification code); false when none handles it.
    virtual BOOL OnCmdMsg(UINT nID, int nCode);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
    static const AFX_MSGMAP_ENTRY* FindEntry(const AFX_MSGMAP* map, UINT message, UINT code, UINT id);
    friend class CWnd;
};

// ---- CWnd ---------------------------------------------------------------------------------

class CWnd : public CCmdTarget {
public:
    HWND m_hWnd = nullptr;

    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }

    // The object attached to a window, or nothing.
    static CWnd* FromHandlePermanent(HWND hWnd);
    // The attached object, or a temporary one that lives until the current modal loop idles.
    static CWnd* FromHandle(HWND hWnd);

    BOOL Attach(HWND hWnd);
    HWND Detach();
    // Attaches and routes the window's messages through this object's message map.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();

    CWnd* GetDlgItem(int nID) const;
    CWnd* GetParent() const;
    BOOL ShowWindow(int nCmdShow);
    void SetWindowText(const char* text);
    void GetWindowText(CString& text) const;
    BOOL SetWindowPos(const CWnd* pInsertAfter, int x, int y, int cx, int cy, UINT flags);
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT nFlags = 0);
    BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT nFlags = 0);
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    void Invalidate(BOOL bErase = TRUE);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    void GetClientRect(LPRECT rect) const;
    void GetWindowRect(LPRECT rect) const;
    void ClientToScreen(LPPOINT point) const;
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowVisible() const;
    int SetWindowRgn(HRGN hRgn, BOOL bRedraw);
    // Centres the window over its owner (or the given window), or over the work area.
    void CenterWindow(CWnd* pAlternateOwner = nullptr);
    virtual BOOL DestroyWindow();

    // Runs the message through the map, or to the original window procedure.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The message this thread's windows of ours are handling now (the innermost one).
    static const MSG* GetCurrentMessage();

protected:
    DECLARE_MESSAGE_MAP()

    // The original window procedure with the message being handled now.
    LRESULT Default();
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // A notification the parent reflected back to this control; true when handled here.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual void PreSubclassWindow() {}
    virtual void PostNcDestroy() {}
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

    WNDPROC m_pfnSuper = nullptr;

private:
    BOOL ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    void OnNcDestroyCleanup();
    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT CALLBACK AfxCbtFilterHook(int, WPARAM, LPARAM);
    friend void AfxDeleteTempWindows();
};

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
// Frees the temporary objects FromHandle made; the modal loops call it when idle.
void AfxDeleteTempWindows();

// ---- Controls -----------------------------------------------------------------------------

class CButton : public CWnd {
public:
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);

protected:
    // An owner-drawn button paints in DrawItem when its parent reflects WM_DRAWITEM.
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class CStatic : public CWnd {};

// ---- Dialogs ------------------------------------------------------------------------------

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate) : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
};

// Binds a member to the dialog's control with that id (subclassing it) the first time.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    // Creates the dialog from its template, runs it modally with the owner disabled and
    // returns the code given to EndDialog (-1 when it could not be created or the loop was quit).
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    virtual BOOL OnInitDialog();

protected:
    DECLARE_MESSAGE_MAP()
    virtual void DoDataExchange(CDataExchange*) {}
    virtual void OnOK();
    virtual void OnCancel();
    BOOL OnCmdMsg(UINT nID, int nCode) override;
    // Records the scale the dialog now draws at and lays its template out again for it: every
    // control's place and size and the window's size; FALSE without the template or a window.
    BOOL LayOutAtDpi(UINT dpi);
    // The largest scale, no larger than the wanted one, at which the dialog as its template
    // lays it out fits the work area (see LargestDpiThatFits); the wanted one without a template.
    UINT DpiThatFits(UINT wantedDpi, const RECT& workArea) const;

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

private:
    LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);
    HWND FindModalOwner() const;
    void RunModalLoop();
    const void* m_pTemplate = nullptr;
    DWORD m_nTemplateSize = 0;
    INT_PTR m_nModalResult = -1;
    bool m_bModalEnded = false;
    friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
};

// Lays a dialog out as its template would with the base units its font has at 96 dpi, whenever
// the dialog manager used other base units: a substituted font of other metrics, or the right
// font at another dpi. The skins are drawn in pixels, so their controls must land on the pixels
// they were drawn for. Dialogs whose font is unknown here, or whose base units already match,
// are left alone.
// At a display scale other than 100 % every place and size is that layout scaled.
void AfxApplyTemplateFontMetrics(HWND hDlg, const void* pTemplate, DWORD size);

// ---- The application ----------------------------------------------------------------------

class CWinApp : public CCmdTarget {
public:
    explicit CWinApp(const char* lpszAppName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance() { return TRUE; }
    virtual int Run();
    virtual int ExitInstance() { return 0; }
    CWnd* GetMainWnd() const { return m_pMainWnd; }

    CWnd* m_pMainWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;
    CString m_strAppName;

protected:
    DECLARE_MESSAGE_MAP()
    // The framework's help command; this program ships no help file, so there is none to open.
    void OnHelp() {}
};

constexpr UINT ID_HELP = 0xE146;

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
// The module that holds a resource of that name and type (this exe for all of ours).
HINSTANCE AfxFindResourceHandle(LPCSTR lpszName, LPCSTR lpszType);
// True when hWndChild is hWndParent or reaches it through its chain of parents and owners.
BOOL AfxIsDescendant(HWND hWndParent, HWND hWndChild);

// True when the rectangle (screen coordinates) lies wholly inside the work area of the monitor
// nearest to it.
bool IsInsideWorkArea(const RECT& rect);
// The work area of the monitor nearest to the rectangle (screen coordinates).
RECT AfxGetWorkAreaNear(const RECT& rect);
// Moves the window the least distance that puts it wholly inside the work area of its monitor (or
// the nearest one); a window larger than the work area keeps its top-left corner reachable.
void KeepInsideWorkArea(HWND hWnd);
// A plain message box owned by the main window and captioned with the application name.
int AfxMessageBox(const char* lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
// Our dialogs host no ActiveX controls; this records that the application asked for it.
void AfxEnableControlContainer();
bool AfxControlContainerEnabled();
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
