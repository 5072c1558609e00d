#include <cstring>

#include "framework/afxwin.h"

namespace {

CWinApp* g_app = nullptr;
bool g_controlContainer = false;

// The exe's file name without folder and extension, as the application's default name.
CString ModuleBaseName() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    const char* name = std::strrchr(path, '\\');
    CString base(name ? name + 1 : path);
    char* text = base.GetBuffer(base.GetLength());
    if (char* dot = std::strrchr(text, '.')) *dot = '\0';
    base.ReleaseBuffer();
    return base;
}

}  // namespace

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

CWinApp::CWinApp(const char* lpszAppName) : m_strAppName(lpszAppName ? CString(lpszAppName) : ModuleBaseName()) {
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

int CWinApp::Run() {
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return ExitInstance();
}

CWinApp* AfxGetApp() { return g_app; }
CWnd* AfxGetMainWnd() { return g_app ? g_app->m_pMainWnd : nullptr; }

HINSTANCE AfxGetInstanceHandle() {
    return g_app && g_app->m_hInstance ? g_app->m_hInstance : ::GetModuleHandleA(nullptr);
}

HINSTANCE AfxGetResourceHandle() { return AfxGetInstanceHandle(); }

HINSTANCE AfxFindResourceHandle(LPCSTR, LPCSTR) {
    // Every resource of this program is linked into the exe; there are no resource DLLs.
    return AfxGetResourceHandle();
}

BOOL AfxIsDescendant(HWND hWndParent, HWND hWndChild) {
    while (hWndChild) {
        if (hWndChild == hWndParent) return TRUE;
        const bool isChild = (::GetWindowLongA(hWndChild, GWL_STYLE) & WS_CHILD) != 0;
        hWndChild = isChild ? ::GetParent(hWndChild) : ::GetWindow(hWndChild, GW_OWNER);
    }
    return FALSE;
}

int AfxMessageBox(const char* lpszText, UINT nType, UINT) {
    CWnd* main = AfxGetMainWnd();
    HWND owner = main && ::IsWindow(main->m_hWnd) ? main->m_hWnd : nullptr;
    const char* caption = g_app ? static_cast<const char*>(g_app->m_strAppName) : "";
    return ::MessageBoxA(owner, lpszText, caption, nType);
}

void AfxEnableControlContainer() { g_controlContainer = true; }
bool AfxControlContainerEnabled() { return g_controlContainer; }

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int) {
    CWinApp* app = AfxGetApp();
    if (!app) return -1;
    app->m_hInstance = hInstance;
    // The common controls are registered by the first control that needs them (a tooltip), not
    // here: the library would be loaded before the first window could show.
    if (!app->InitInstance()) return app->ExitInstance();
    return app->Run();
}
