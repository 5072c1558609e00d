#include "confirm/hint_dialog.h"

#include <iterator>
#include <string>

#include "controls/contrast_paint.h"
#include "framework/scale.h"
#include "framework/system_look.h"
#include "resource.h"

namespace {

// The close button's images (15 x 15).
constexpr UINT kClosePressed = 173;
constexpr UINT kCloseMask = 174;  // all black: the whole square is the button
constexpr UINT kCloseNormal = 175;
constexpr UINT kCloseHover = 176;

// The heading and the numbered steps each control-panel picture (494 x 270) shows, in the
// words drawn into it (tools/make_art.py draws them): a screen reader reads them, and a contrast theme writes them.
constexpr const char* kTitle = "Your TV can show HD formats";
constexpr const char* kStepsLead = "To turn them on:";
struct HintPage {
    int screenshot;
    UINT picture;
    const char* steps[4];
};
constexpr HintPage kPages[] = {
    {HintDialog::kHdmiScreenshot,
     IDB_HINT_HDMI,
     {"Open the driver's display settings.", "Pick the HDMI display, then HDTV Support.",
      "Tick the formats you want to add.", "Click Apply, then choose here."}},
    {HintDialog::kComponentScreenshot,
     IDB_HINT_COMPONENT,
     {"Open the driver's display settings.", "Go to its Component Video page.", "Tick the formats your TV supports.",
      "Click Apply, then choose here."}},
};

const HintPage* PageFor(int screenshot) {
    for (const HintPage& page : kPages)
        if (page.screenshot == screenshot) return &page;
    return nullptr;
}

UINT PictureFor(int screenshot) {
    const HintPage* page = PageFor(screenshot);
    return page ? page->picture : 0;
}

// A step as it is read and written: "2. Go to its Component Video page."
std::string NumberedStep(const HintPage& page, size_t index) {
    return std::to_string(index + 1) + ". " + page.steps[index];
}

// The lead and every step in one line, as a screen reader reads them; "" without a page.
std::string StepsFor(int screenshot) {
    const HintPage* page = PageFor(screenshot);
    if (!page) return "";
    std::string text = kStepsLead;
    for (size_t i = 0; i < std::size(page->steps); ++i) {
        text += ' ';
        text += NumberedStep(*page, i);
    }
    return text;
}

// Where a contrast theme writes the words, at 100 %: as in the picture, the heading in its bar
// above a line, the lead below it and the steps under the lead, each apart from the next.
constexpr int kMargin = 12;
constexpr int kHeadingTop = 7;
constexpr int kHeadingLine = 28;
constexpr int kLeadTop = 40;
constexpr int kStepsTop = 64;
constexpr int kStepGap = 10;
constexpr int kBorder = 2;

// The page's words in the client area of a popup at that scale.
void WriteSteps(HDC dc, const HintPage& page, const RECT& client, UINT dpi, HFONT face, COLORREF ink) {
    auto scaled = [dpi](int length) { return ScaleToDpi(length, dpi); };
    const int left = scaled(kMargin), right = client.right - scaled(kMargin);
    const UINT oneLine = DT_LEFT | DT_TOP | DT_SINGLELINE;
    DrawThemeText(dc, kTitle, RECT{left, scaled(kHeadingTop), right, client.bottom}, oneLine, ink, face);
    FillSolid(dc, RECT{0, scaled(kHeadingLine), client.right, scaled(kHeadingLine + 1)}, ink);
    DrawThemeText(dc, kStepsLead, RECT{left, scaled(kLeadTop), right, client.bottom}, oneLine, ink, face);
    int top = scaled(kStepsTop);
    for (size_t i = 0; i < std::size(page.steps); ++i) {
        const int height = DrawThemeText(dc, NumberedStep(page, i).c_str(), RECT{left, top, right, client.bottom},
                                         DT_LEFT | DT_TOP | DT_WORDBREAK, ink, face);
        top += height + scaled(kStepGap);
    }
}

}  // namespace

BEGIN_MESSAGE_MAP(HintDialog, CDialog)
    ON_WM_PAINT()
    ON_WM_LBUTTONDOWN()
    ON_WM_CTLCOLOR()
    ON_MESSAGE(WM_GETOBJECT, OnGetObject)
    ON_MESSAGE(WM_SETTINGCHANGE, OnSettingChange)
    ON_MESSAGE(WM_SYSCOLORCHANGE, OnSysColorChange)
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
    m_btnClose.SetContrastLook(SkinButton::ContrastShape::Cross, "Close");
    // Captionless: the title is only what a screen reader reads as the popup's name.
    if (PictureFor(m_nScreenshot)) SetWindowText(kTitle);
    m_accessible.SetDescription(m_hWnd, StepsFor(m_nScreenshot).c_str());
    return TRUE;
}

void HintDialog::OnPaint() {
    CPaintDC dc(m_hWnd);
    if (HighContrastOn()) {
        PaintContrast(dc);
        return;
    }
    // Without a picture the dialog's own background shows.
    PaintOffScreen(dc, m_bmpBackground);
}

void HintDialog::PaintContrast(HDC dc) {
    const ContrastCanvas canvas = BeginContrastPaint(m_hWnd, dc);
    if (const HintPage* page = PageFor(m_nScreenshot))
        WriteSteps(dc, *page, canvas.client, canvas.dpi, canvas.Face(), canvas.theme.windowText);
    // The outline the picture gave, as a border.
    FrameWindowOutline(m_hWnd, dc, ScaleToDpi(kBorder, canvas.dpi), canvas.theme.windowText);
}

LRESULT HintDialog::OnSettingChange(WPARAM wParam, LPARAM) {
    // A contrast theme switched on or off while the popup is open: it draws again in the new look.
    if (wParam == SPI_SETHIGHCONTRAST) ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    return Default();
}

LRESULT HintDialog::OnSysColorChange(WPARAM, LPARAM) {
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    return Default();
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
