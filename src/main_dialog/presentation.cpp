// The main window's dressing: its outline cut from the background picture, the images and
// tooltips of its buttons, the connector view that detection selects, and the painting of the
// background.
#include <utility>
#include <vector>

#include "framework/system_look.h"
#include "main_dialog/main_window_buttons.h"
#include "main_dialog/tv_setting_dlg.h"
#include "resource.h"

namespace {

// The extended style the skinned window runs with, replacing the template's as a whole.
constexpr DWORD kSkinExStyle = 0x10000000;

// A connector picture shows the same image whatever the mouse does.
void ShowPicture(SkinButton& picture, const PictureLook& look, UINT maskId) {
    picture.SetBitmaps(look.image, look.image, look.image, look.disabledId, 0, maskId, 0, 0, 0);
}

}  // namespace

const TvSettingDlg::BoundButton TvSettingDlg::kBoundButtons[] = {
    {IDC_CLOSE, &TvSettingDlg::m_btnClose},         {IDC_HDMI, &TvSettingDlg::m_btnHdmi},
    {IDC_COMPONENT, &TvSettingDlg::m_btnComponent}, {IDC_COMPOSITE, &TvSettingDlg::m_btnComposite},
    {IDC_SVIDEO, &TvSettingDlg::m_btnSVideo},       {IDC_1080_LARGE, &TvSettingDlg::m_btn1080Large},
    {IDC_720_LARGE, &TvSettingDlg::m_btn720Large},  {IDC_480_LARGE, &TvSettingDlg::m_btn480Large},
    {IDC_1080_SMALL, &TvSettingDlg::m_btn1080Small}, {IDC_720_SMALL, &TvSettingDlg::m_btn720Small},
    {IDC_480_SMALL, &TvSettingDlg::m_btn480Small},  {IDC_1024, &TvSettingDlg::m_btn1024},
    {IDC_800, &TvSettingDlg::m_btn800},             {IDC_640, &TvSettingDlg::m_btn640},
};

void TvSettingDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    for (const BoundButton& bound : kBoundButtons) DDX_Control(pDX, bound.control, this->*bound.member);
    DDX_Control(pDX, IDC_ANIMATION, m_gifAnim);
}

SkinButton* TvSettingDlg::SkinButtonFor(int control) {
    for (const BoundButton& bound : kBoundButtons)
        if (bound.control == control) return &(this->*bound.member);
    return nullptr;
}

void TvSettingDlg::SetStartUpLook(int control) {
    SkinButton* button = SkinButtonFor(control);
    const MainWindowButton* look = FindMainWindowButton(control);
    if (!button || !look) return;
    const ButtonArt& art = look->art;
    button->SetBitmaps(art.normal, art.pressed, art.hover, art.disabled, 0, art.mask, 0, 0, 0);
    if (look->tooltip) button->SetTooltipText(look->tooltip);
}

void TvSettingDlg::PrefetchFirstImages() {
    // The window opens centred on the main monitor, at its scale or the largest below that fits
    // (ChooseStartScale); should it open elsewhere, its images are decoded when it asks for them.
    // At 100 % the bitmaps load about as fast as a thread starts (measured), so they load when
    // asked for. The hidden rows wait until they are shown.
    const UINT dpi = DpiThatFits(AfxGetWindowDpi(nullptr), AfxGetWorkAreaNear(RECT{}));
    if (dpi == kDefaultDpi) return;
    std::vector<UINT> masks;
    for (const MainWindowButton& button : MainWindowButtons())
        if (!IsHighDefinition(button.row)) masks.push_back(button.art.mask);
    PrefetchSkinImages(IDB_BACKGROUND, kShapeEdges, std::move(masks), dpi);
}

void TvSettingDlg::DressWindow() {
    // Without the picture the window stays a plain rectangle: no outline, nothing painted.
    const UINT dpi = AfxGetWindowDpi(m_hWnd);
    m_bHighContrast = HighContrastOn();
    m_bmpBackground.LoadArt(IDB_BACKGROUND, dpi);
    if (dpi != kDefaultDpi || m_bHighContrast) ShowLogoForLook(dpi);
    ::SetWindowLongA(m_hWnd, GWL_EXSTYLE, kSkinExStyle);
    // The template's modal frame stays until the frame is worked out again, which setting the
    // region does on some systems only. Without it the background, painted in client
    // coordinates, would lie 3 px inside the outline, which is cut in window coordinates.
    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The window owns the region from here on.
    SetWindowRgn(m_bmpBackground.BuildRegion(KEY_TOP_LEFT), TRUE);
    for (int control : ResolutionButtons(true)) ::ShowWindow(::GetDlgItem(m_hWnd, control), SW_HIDE);
    // A hidden row is dressed when it is shown (ShowResolutionRow), so that the first paint does
    // not wait for buttons it does not draw.
    for (const MainWindowButton& button : MainWindowButtons())
        if (::GetWindowLongA(::GetDlgItem(m_hWnd, button.control), GWL_STYLE) & WS_VISIBLE) SetStartUpLook(button.control);
    SetContrastLooks();
    PrepareKeyboardAccess();
    NameButtons(ConnectorView::StartUp);
}

void TvSettingDlg::StartAnimation() {
    // Without the animation the corner shows the background. A contrast theme shows it still.
    if (!m_gifAnim.LoadFromResource(MAKEINTRESOURCEA(IDR_ANIMATION), "GIF")) return;
    if (m_bHighContrast) {
        m_gifAnim.ShowFirstFrameStill();
    } else {
        m_gifAnim.Play();
    }
}

LRESULT TvSettingDlg::OnTimer(WPARAM wParam, LPARAM) {
    if (wParam != kAfterFirstPaintTimer) return Default();
    ::KillTimer(m_hWnd, kAfterFirstPaintTimer);
    // The window has its images: the ones prefetched for it that no button holds can go.
    ReleasePrefetchedImages();
    // The animation's picture decoder is loaded only now: the first paint does not wait for it.
    StartAnimation();
    return 0;
}

void TvSettingDlg::ShowResolutionRow(bool highDefinition) {
    const std::vector<int> shown = ResolutionButtons(highDefinition);
    for (int control : shown) SetStartUpLook(control);
    if (!highDefinition) return;  // the HD rows have been hidden since the window was dressed
    for (int control : ResolutionButtons(false)) ::ShowWindow(::GetDlgItem(m_hWnd, control), SW_HIDE);
    for (int control : shown) ::ShowWindow(::GetDlgItem(m_hWnd, control), SW_SHOW);
}

void TvSettingDlg::ShowDetectedConnector() {
    const ConnectorView view = SelectConnectorView(TvDetection);
    const ConnectorViewLook* look = LookOf(view);
    if (!look) return;
    ShowPicture(m_btnSVideo, look->sVideo, IDB_SVIDEO_MASK);
    ShowPicture(m_btnComposite, look->composite, IDB_COMPOSITE_MASK);
    ShowPicture(m_btnComponent, look->component, IDB_COMPONENT_MASK);
    ShowPicture(m_btnHdmi, look->hdmi, IDB_HDMI_MASK);
    MarkDetectedPictures(*look);
    ShowResolutionRow(look->highDefinitionRow);
    NameButtons(view);
    m_bDetectedViewShown = true;
}

void TvSettingDlg::OnPaint() {
    CPaintDC dc(m_hWnd);
    if (m_bHighContrast) {
        PaintContrast(dc);
        return;
    }
    // Child controls paint themselves on top; static controls are transparent over the picture.
    PaintOffScreen(dc, m_bmpBackground);
}
