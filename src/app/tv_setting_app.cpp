#include "app/tv_setting_app.h"

#include "main_dialog/tv_setting_dlg.h"

BEGIN_MESSAGE_MAP(TvSettingApp, CWinApp)
    ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

TvSettingApp::TvSettingApp() : CWinApp(TvSettingDlg::kTitle) {}

BOOL TvSettingApp::InitInstance() {
    // The mutex is only a name that stays taken while this copy runs; its handle is left to the
    // process, which closes it at exit.
    ::CreateMutexA(nullptr, FALSE, TvSettingDlg::kTitle);  // cppcheck-suppress leakReturnValNotUsed ; as said
    if (::GetLastError() == ERROR_ALREADY_EXISTS || ::GetLastError() == ERROR_ACCESS_DENIED) {
        // ERROR_ACCESS_DENIED: the name belongs to a copy that another user runs.
        ActivateRunningCopy();
        return FALSE;
    }
    AfxEnableControlContainer();
    TvSettingDlg dialog;
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}

void TvSettingApp::ActivateRunningCopy() {
    HWND running = ::FindWindowA("#32770", TvSettingDlg::kTitle);
    if (!running) return;  // still initialising, before it has its title: end quietly
    // The running copy may be busy (waiting for its driver, say): the restore is posted to it
    // rather than sent, so this copy ends at once instead of waiting until that copy is free.
    ::ShowWindowAsync(running, SW_RESTORE);
    ::SetForegroundWindow(running);
    // Once restored, it moves back inside the work area if it lies outside.
    ::PostMessageA(running, TvSettingDlg::kMsgKeepOnScreen, 0, 0);
}
