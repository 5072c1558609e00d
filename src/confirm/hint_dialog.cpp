#include "confirm/hint_dialog.h"

#include "framework/scale.h"
#include "resource.h"

namespace {

// The control-panel pictures (494 x 270) and the close button's images (15 x 15).
constexpr UINT kHdmiPicture = IDB_HINT_HDMI;
constexpr UINT kComponentPicture = IDB_HINT_COMPONENT;
constexpr UINT kClosePressed = 173;
constexpr UINT kCloseMask = 174;  // all black: the whole square is the button
constexpr UINT kCloseNormal = 175;
constexpr UINT kCloseHover = 176;

UINT PictureFor(int screenshot) {
    if (screenshot == HintDialog::kHdmiScreenshot) return kHdmiPicture;
    if (screenshot == HintDialog::kComponentScreenshot) return kComponentPicture;
    return 0;
}

// The heading and the numbered steps each picture shows, in the words drawn into it.
constexpr const char* kTitle = "Your TV can show HD formats";

const char* StepsFor(int screenshot) {
    if (screenshot == HintDialog::kHdmiScreenshot)
        return "To turn them on: 1. Open the driver's display settings. 2. Pick the HDMI display, then HDTV "
               "Support. 3. Tick the formats you want to add. 4. Click Apply, then choose here.";
    if (screenshot == HintDialog::kComponentScreenshot)
        return "To turn them on: 1. Open the driver's display settings. 2. Go to its Component Video page. "
               "3. Tick the formats your TV supports. 4. Click Apply, then choose here.";
    return "";
}

}  // namespace

BEGIN_MESSAGE_MAP(HintDialog, CDialog)
    ON_WM_PAINT()
    ON_WM_LBUTTONDOWN()
    ON_WM_CTLCOLOR()
    ON_MESSAGE(WM_GETOBJECT, OnGetObject)
END_MESSAGE_MAP()

HintDialog::HintDialog(CWnd* pParent) : CDialog(IDD_HINT, pParent) {}

void HintDialog::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDOK, m_btnClose);
}

BOOL HintDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    // On a desktop too small for it at the display's scale (640 x 480 at 200 %), the largest scale
    // that fits, so that its close button can be reached.
    RECT mine{};
    GetWindowRect(&mine);
    const UINT monitorDpi = AfxGetMonitorDpi(m_hWnd);
    const UINT fitting = DpiThatFits(monitorDpi, AfxGetWorkAreaNear(mine));
    if (fitting != monitorDpi && LayOutAtDpi(fitting)) CenterWindow();
    // A picture that fails to load leaves the popup a plain rectangle with its close button.
    const UINT dpi = AfxGetWindowDpi(m_hWnd);
    if (const UINT picture = PictureFor(m_nScreenshot)) m_bmpBackground.LoadArt(picture, dpi);
    // A tool window gets no taskbar button; the template's extended styles are dropped.
    ::SetWindowLongA(m_hWnd, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
    // The window owns the region from here on; without a picture there is none.
    SetWindowRgn(m_bmpBackground.BuildRegion(KEY_TOP_LEFT), TRUE);
    m_btnClose.SetBitmaps(kCloseNormal, kClosePressed, kCloseHover, 0, 0, kCloseMask, 0, 0, 0);
    m_btnClose.SetAccessibleName("Close");  // the picture alone says nothing to a screen reader
    // Captionless: the title is only what a screen reader reads as the popup's name.
    if (PictureFor(m_nScreenshot)) SetWindowText(kTitle);
    m_accessible.SetDescription(m_hWnd, StepsFor(m_nScreenshot));
    return TRUE;
}

void HintDialog::OnPaint() {
    CPaintDC dc(m_hWnd);
    // Without a picture the dialog's own background shows.
    PaintOffScreen(dc, m_bmpBackground);
}

void HintDialog::OnLButtonDown(UINT, CPoint point) {
    // Posted as a press on a caption, the click lets the system move the window with the mouse.
    PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
    Default();
}

HBRUSH HintDialog::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    HBRUSH brush = CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    if (nCtlColor == CTLCOLOR_STATIC) {
        // Static controls draw over the picture without a background of their own.
        brush = static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
        pDC->SetBkMode(TRANSPARENT);
    }
    if (!m_fontControls.GetSafeHandle()) {
        const bool chinese = m_nFontChoice == kChineseFontChoice;
        // By its Unicode name, so that the face reaches the font mapper intact on any code page.
        const wchar_t* face = chinese ? L"\u7D30\u660E\u9AD4" : L"Arial";  // "細明體"
        const int height = ScaleToDpi(chinese ? 12 : 14, AfxGetWindowDpi(m_hWnd));
        m_fontControls.Attach(::CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                            DEFAULT_PITCH | FF_SWISS, face));
    }
    if (m_fontControls.GetSafeHandle()) pDC->SelectObject(m_fontControls);
    return brush;
}

LRESULT HintDialog::OnGetObject(WPARAM wParam, LPARAM lParam) {
    const LRESULT answer = m_accessible.Answer(m_hWnd, wParam, lParam);
    return answer ? answer : Default();
}

void HintDialog::OnOK() { CDialog::OnOK(); }
