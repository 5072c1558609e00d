#include "main_dialog/tv_setting_dlg.h"

#include "resource.h"

BEGIN_MESSAGE_MAP(TvSettingDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDC_640, On640x480)
    ON_BN_CLICKED(IDC_800, On800x600)
    ON_BN_CLICKED(IDC_1024, On1024x768)
    ON_BN_CLICKED(IDC_CLOSE, OnCancel)
    ON_WM_NCHITTEST()
    ON_BN_CLICKED(IDC_480_SMALL, On480)
    ON_BN_CLICKED(IDC_720_SMALL, On720Small)
    ON_BN_CLICKED(IDC_1080_SMALL, On1080Small)
    ON_BN_CLICKED(IDC_480_LARGE, On480)
    ON_BN_CLICKED(IDC_720_LARGE, On720Large)
    ON_WM_CTLCOLOR()
    ON_BN_CLICKED(IDC_1080_LARGE, On1080Large)
    ON_MESSAGE(WM_DISPLAYCHANGE, OnKeepOnScreen)
    ON_MESSAGE(kMsgKeepOnScreen, OnKeepOnScreen)
    ON_MESSAGE(WM_SKIN_ARROW_KEY, OnArrowKey)
    ON_MESSAGE(WM_GETOBJECT, OnGetObject)
    ON_MESSAGE(WM_DPICHANGED, OnDpiChanged)
    ON_MESSAGE(WM_TIMER, OnTimer)
    ON_MESSAGE(WM_MOVE, OnMoved)
    ON_MESSAGE(WM_SETTINGCHANGE, OnSettingChange)
    ON_MESSAGE(WM_SYSCOLORCHANGE, OnSysColorChange)
END_MESSAGE_MAP()

TvSettingDlg::TvSettingDlg() : CDialog(IDD_TVSETTING, nullptr) {
    PrefetchFirstImages();
    m_hIcon = ::LoadIconA(AfxFindResourceHandle(MAKEINTRESOURCEA(IDR_MAINFRAME), RT_GROUP_ICON),
                          MAKEINTRESOURCEA(IDR_MAINFRAME));
}

BOOL TvSettingDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    SetWindowText(kTitle);
    ChooseStartScale();
    DressWindow();
    if (DetectTvOutput()) ShowDetectedConnector();  // after an error message the start-up view stays
    HideFocusMarksUntilKeyboardUse();
    // What waits until the window has been painted: a timer's message comes only once no window
    // of the thread has anything left to paint, in whichever message loop runs then.
    ::SetTimer(m_hWnd, kAfterFirstPaintTimer, 0, nullptr);
    return TRUE;
}

HCURSOR TvSettingDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }

LRESULT TvSettingDlg::OnNcHitTest(CPoint) {
    // The whole surface acts as a title bar: a press anywhere that is not a button drags.
    const LRESULT hit = Default();
    return hit == HTCLIENT ? HTCAPTION : hit;
}

HBRUSH TvSettingDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    HBRUSH brush = CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    if (nCtlColor != CTLCOLOR_STATIC) return brush;
    // Static controls draw over the background picture without a background of their own.
    pDC->SetBkMode(TRANSPARENT);
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

LRESULT TvSettingDlg::OnMoved(WPARAM, LPARAM) {
    // A message pointing at a button would point beside it now.
    m_refusalNotice.Hide();
    return Default();
}

LRESULT TvSettingDlg::OnKeepOnScreen(WPARAM, LPARAM) {
    // The system never moves a window when the desktop shrinks, nor draws it smaller; one left
    // outside cannot be reached to answer, accept or close.
    FitInsideWorkArea();
    return 0;
}
