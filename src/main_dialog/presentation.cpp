// The main window's dressing: its outline cut from the background picture, the images and
// tooltips of its buttons, the connector view that detection selects, and the painting of the
// background.
#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

#include "main_dialog/tv_setting_dlg.h"
#include "resource.h"

namespace {

// The extended style the skinned window runs with, replacing the template's as a whole.
constexpr DWORD kSkinExStyle = 0x10000000;

// A button's start-up images (ids in SetBitmaps order; no focus image) and tooltip.
struct ButtonLook {
    int control;
    UINT normalId;
    UINT pressedId;
    UINT hoverId;
    UINT disabledId;
    UINT maskId;
    const char* tooltip;  // null: none
};

// In the order the buttons are dressed. The connector pictures start unlit and light up under
// the mouse or while pressed.
constexpr ButtonLook kStartUpLooks[] = {
    {IDC_CLOSE, IDB_CLOSE_NORMAL, IDB_CLOSE_PRESSED, IDB_CLOSE_HOVER, IDB_CLOSE_NORMAL, IDB_CLOSE_MASK, nullptr},
    {IDC_SVIDEO, IDB_SVIDEO_UNLIT, IDB_SVIDEO_LIT, IDB_SVIDEO_LIT, 0, IDB_SVIDEO_MASK, "S-Video"},
    {IDC_COMPOSITE, IDB_COMPOSITE_UNLIT, IDB_COMPOSITE_LIT, IDB_COMPOSITE_LIT, 0, IDB_COMPOSITE_MASK, "Composite"},
    {IDC_COMPONENT, IDB_COMPONENT_UNLIT, IDB_COMPONENT_LIT, IDB_COMPONENT_LIT, 0, IDB_COMPONENT_MASK, "Component"},
    {IDC_HDMI, IDB_HDMI_UNLIT, IDB_HDMI_LIT, IDB_HDMI_LIT, IDB_HDMI_UNLIT, IDB_HDMI_MASK, "HDMI"},
    {IDC_640, 129, 130, 131, 0, IDB_SD_MASK, "640x480"},
    {IDC_800, 147, 148, 149, 0, IDB_SD_MASK, "800x600"},
    {IDC_1024, 134, 135, 136, 0, IDB_SD_MASK, "1024x768"},
    {IDC_480_SMALL, 188, 186, 190, 0, IDB_HD_MASK, "480i/480p"},
    {IDC_720_SMALL, 194, 192, 196, 0, IDB_HD_MASK, "720i/720p"},
    {IDC_1080_SMALL, 182, 180, 184, 0, IDB_HD_MASK, "1080i/1080p"},
    {IDC_480_LARGE, 189, 187, 191, 0, IDB_HD_MASK, "480i/480p"},
    {IDC_720_LARGE, 195, 193, 197, 0, IDB_HD_MASK, "720i/720p"},
    {IDC_1080_LARGE, 183, 181, 185, 0, IDB_HD_MASK, "1080i/1080p"},
};

constexpr int kStandardRow[] = {IDC_640, IDC_800, IDC_1024};
constexpr int kHighDefinitionRows[] = {IDC_480_SMALL, IDC_720_SMALL, IDC_1080_SMALL,
                                       IDC_480_LARGE, IDC_720_LARGE, IDC_1080_LARGE};

// A connector picture shows the same image whatever the mouse does.
void ShowPicture(SkinButton& picture, const PictureLook& look, UINT maskId) {
    picture.SetBitmaps(look.image, look.image, look.image, look.disabledId, 0, maskId, 0, 0, 0);
}

}  // namespace

void TvSettingDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_CLOSE, m_btnClose);
    DDX_Control(pDX, IDC_HDMI, m_btnHdmi);
    DDX_Control(pDX, IDC_COMPONENT, m_btnComponent);
    DDX_Control(pDX, IDC_COMPOSITE, m_btnComposite);
    DDX_Control(pDX, IDC_SVIDEO, m_btnSVideo);
    DDX_Control(pDX, IDC_1080_LARGE, m_btn1080Large);
    DDX_Control(pDX, IDC_720_LARGE, m_btn720Large);
    DDX_Control(pDX, IDC_480_LARGE, m_btn480Large);
    DDX_Control(pDX, IDC_1080_SMALL, m_btn1080Small);
    DDX_Control(pDX, IDC_720_SMALL, m_btn720Small);
    DDX_Control(pDX, IDC_480_SMALL, m_btn480Small);
    DDX_Control(pDX, IDC_1024, m_btn1024);
    DDX_Control(pDX, IDC_800, m_btn800);
    DDX_Control(pDX, IDC_640, m_btn640);
    DDX_Control(pDX, IDC_ANIMATION, m_gifAnim);
}

SkinButton* TvSettingDlg::SkinButtonFor(int control) {
    switch (control) {
        case IDC_CLOSE: return &m_btnClose;
        case IDC_SVIDEO: return &m_btnSVideo;
        case IDC_COMPOSITE: return &m_btnComposite;
        case IDC_COMPONENT: return &m_btnComponent;
        case IDC_HDMI: return &m_btnHdmi;
        case IDC_640: return &m_btn640;
        case IDC_800: return &m_btn800;
        case IDC_1024: return &m_btn1024;
        case IDC_480_SMALL: return &m_btn480Small;
        case IDC_720_SMALL: return &m_btn720Small;
        case IDC_1080_SMALL: return &m_btn1080Small;
        case IDC_480_LARGE: return &m_btn480Large;
        case IDC_720_LARGE: return &m_btn720Large;
        case IDC_1080_LARGE: return &m_btn1080Large;
        default: return nullptr;
    }
}

void TvSettingDlg::SetStartUpLook(int control) {
    SkinButton* button = SkinButtonFor(control);
    for (const ButtonLook& look : kStartUpLooks) {
        if (look.control != control || !button) continue;
        button->SetBitmaps(look.normalId, look.pressedId, look.hoverId, look.disabledId, 0, look.maskId, 0, 0, 0);
        if (look.tooltip) button->SetTooltipText(look.tooltip);
    }
}

void TvSettingDlg::PrefetchFirstImages() {
    // The window opens centred on the main monitor, at its scale or the largest below that fits
    // (ChooseStartScale); should it open elsewhere, its images are decoded when it asks for them.
    // At 100 % the bitmaps load about as fast as a thread starts (measured), so they load when
    // asked for. The hidden rows wait until they are shown.
    const UINT dpi = DpiThatFits(AfxGetWindowDpi(nullptr), AfxGetWorkAreaNear(RECT{}));
    if (dpi == kDefaultDpi) return;
    std::vector<UINT> masks;
    for (const ButtonLook& look : kStartUpLooks)
        if (std::find(std::begin(kHighDefinitionRows), std::end(kHighDefinitionRows), look.control) ==
            std::end(kHighDefinitionRows))
            masks.push_back(look.maskId);
    PrefetchSkinImages(IDB_BACKGROUND, kShapeEdges, std::move(masks), dpi);
}

void TvSettingDlg::DressWindow() {
    // Without the picture the window stays a plain rectangle: no outline, nothing painted.
    const UINT dpi = AfxGetWindowDpi(m_hWnd);
    m_bmpBackground.LoadArt(IDB_BACKGROUND, dpi);
    if (dpi != kDefaultDpi) ShowLogoAtScale(dpi);
    ::SetWindowLongA(m_hWnd, GWL_EXSTYLE, kSkinExStyle);
    // The template's modal frame stays until the frame is worked out again, which setting the
    // region does on some systems only. Without it the background, painted in client
    // coordinates, would lie 3 px inside the outline, which is cut in window coordinates.
    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The window owns the region from here on.
    SetWindowRgn(m_bmpBackground.BuildRegion(KEY_TOP_LEFT), TRUE);
    for (int control : kHighDefinitionRows) ::ShowWindow(::GetDlgItem(m_hWnd, control), SW_HIDE);
    // A hidden row is dressed when it is shown (ShowResolutionRow), so that the first paint does
    // not wait for buttons it does not draw.
    for (const ButtonLook& look : kStartUpLooks)
        if (::GetWindowLongA(::GetDlgItem(m_hWnd, look.control), GWL_STYLE) & WS_VISIBLE) SetStartUpLook(look.control);
    PrepareKeyboardAccess();
    NameButtons(ConnectorView::StartUp);
}

void TvSettingDlg::StartAnimation() {
    // Without the animation the corner shows the background.
    if (m_gifAnim.LoadFromResource(MAKEINTRESOURCEA(IDR_ANIMATION), "GIF")) m_gifAnim.Play();
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
    if (!highDefinition) {
        for (int control : kStandardRow) SetStartUpLook(control);
        return;  // the HD rows have been hidden since the window was dressed
    }
    for (int control : kHighDefinitionRows) SetStartUpLook(control);
    for (int control : kStandardRow) ::ShowWindow(::GetDlgItem(m_hWnd, control), SW_HIDE);
    for (int control : kHighDefinitionRows) ::ShowWindow(::GetDlgItem(m_hWnd, control), SW_SHOW);
}

void TvSettingDlg::ShowDetectedConnector() {
    const ConnectorView view = SelectConnectorView(TvDetection);
    const ConnectorViewLook* look = LookOf(view);
    if (!look) return;
    ShowPicture(m_btnSVideo, look->sVideo, IDB_SVIDEO_MASK);
    ShowPicture(m_btnComposite, look->composite, IDB_COMPOSITE_MASK);
    ShowPicture(m_btnComponent, look->component, IDB_COMPONENT_MASK);
    ShowPicture(m_btnHdmi, look->hdmi, IDB_HDMI_MASK);
    ShowResolutionRow(look->highDefinitionRow);
    NameButtons(view);
    m_bDetectedViewShown = true;
}

void TvSettingDlg::OnPaint() {
    CPaintDC dc(m_hWnd);
    // Child controls paint themselves on top; static controls are transparent over the picture.
    PaintOffScreen(dc, m_bmpBackground);
}
