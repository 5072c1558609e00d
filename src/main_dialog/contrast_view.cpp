// The main window in a high-contrast theme: the theme's window colour behind everything, its
// words written in the theme's text colour where the skin paints them, its outline as a border,
// every button a rectangle or a line drawing in the theme's colours, and the corner animation
// still. Switching the theme while the window is open redraws it in the new look.
#include <iterator>

#include "controls/contrast_paint.h"
#include "controls/font_store.h"
#include "controls/image_store.h"
#include "framework/scale.h"
#include "framework/scoped_handles.h"
#include "framework/system_look.h"
#include "main_dialog/main_window_buttons.h"
#include "main_dialog/tv_setting_dlg.h"
#include "resource.h"

namespace {

// Where the skin's background writes its words, at 100 %: the first line's top-left corner.
struct PaintedWords {
    const char* text;
    int x;
    int y;
};
constexpr PaintedWords kPaintedWords[] = {
    {"Find the TV connector, then choose a resolution", 56, 33},
    {"TV CONNECTOR", 23, 56},
    {"TV RESOLUTION", 13, 281},
};

// The rows of the skin's lines: under the header, and between the pictures and the resolutions.
constexpr int kDividerRows[] = {51, 271};

// How far down a connector picture its plug reaches, at 100 %; its name is written below.
struct PictureRows {
    int control;
    int rows;
};
constexpr PictureRows kPictureRows[] = {
    {IDC_SVIDEO, 162}, {IDC_COMPOSITE, 162}, {IDC_COMPONENT, 158}, {IDC_HDMI, 156}};

int PlugRows(int control) {
    for (const PictureRows& picture : kPictureRows)
        if (picture.control == control) return picture.rows;
    return 0;
}

// The title (kTitle) is written as one line, so that its words are spaced as words are: the
// logo's box shows its start and the background the rest, the same pixels at the same place.
constexpr UINT kTitleFormat = DT_LEFT | DT_VCENTER | DT_SINGLELINE;

}  // namespace

void TvSettingDlg::SetContrastLooks() {
    for (const MainWindowButton& button : MainWindowButtons()) {
        SkinButton* skin = SkinButtonFor(button.control);
        if (!skin) continue;
        if (button.row == ButtonRow::Close) {
            skin->SetContrastLook(SkinButton::ContrastShape::Cross, button.label);
        } else if (button.row == ButtonRow::Pictures) {
            skin->SetContrastLook(SkinButton::ContrastShape::Picture, button.label, button.art.normal,
                                  PlugRows(button.control));
        } else {
            skin->SetContrastLook(SkinButton::ContrastShape::Words, button.label);
        }
    }
}

void TvSettingDlg::MarkDetectedPictures(const ConnectorViewLook& look) {
    const std::pair<SkinButton*, const PictureLook*> pictures[] = {{&m_btnSVideo, &look.sVideo},
                                                                   {&m_btnComposite, &look.composite},
                                                                   {&m_btnComponent, &look.component},
                                                                   {&m_btnHdmi, &look.hdmi}};
    for (const auto& [skin, picture] : pictures) {
        const MainWindowButton* button = FindMainWindowButton(::GetDlgCtrlID(skin->m_hWnd));
        // A picture is lit by its lit image, the one it shows pressed at start-up.
        skin->SetContrastDetected(button && picture->image == button->art.pressed);
    }
}

void TvSettingDlg::ShowLogoForLook(UINT dpi) {
    if (!m_bHighContrast) {
        ShowLogoAtScale(dpi);
        return;
    }
    HWND logo = ::GetDlgItem(m_hWnd, kLogoControl);
    RECT place{};
    if (!logo || !::GetClientRect(logo, &place)) return;
    CClientDC screen(nullptr);
    CBitmap words;
    if (!words.Attach(::CreateCompatibleBitmap(screen, place.right, place.bottom))) return;
    {
        BitmapContext canvas(screen, words.GetSafeHandle());
        if (!canvas) return;
        const ThemeColours theme = ReadThemeColours();
        FillSolid(canvas, place, theme.window);
        auto font = StoredContrastFont(dpi);
        DrawThemeText(canvas, kTitle, place, kTitleFormat, theme.windowText, font ? static_cast<HFONT>(*font) : nullptr);
    }
    ShowLogoBitmap(logo, words);
}

void TvSettingDlg::PaintContrast(HDC dc) {
    const ContrastCanvas canvas = BeginContrastPaint(m_hWnd, dc);
    const UINT dpi = canvas.dpi;
    const ThemeColours& theme = canvas.theme;
    const RECT& client = canvas.client;
    const HFONT face = canvas.Face();
    for (const PaintedWords& words : kPaintedWords) {
        const RECT place{ScaleToDpi(words.x, dpi), ScaleToDpi(words.y, dpi), client.right, client.bottom};
        DrawThemeText(dc, words.text, place, DT_LEFT | DT_TOP | DT_SINGLELINE, theme.windowText, face);
    }
    PaintTitle(dc, face, theme.windowText);
    for (int row : kDividerRows) {
        const int top = ScaleToDpi(row, dpi);
        FillSolid(dc, RECT{0, top, client.right, top + ScaleToDpi(1, dpi)}, theme.windowText);
    }
    // The outline is kept, as a border.
    FrameWindowOutline(m_hWnd, dc, ScaleToDpi(2, dpi), theme.windowText);
}

void TvSettingDlg::PaintTitle(HDC dc, HFONT face, COLORREF ink) {
    // From the logo's box on, as the box itself draws it; past the box it shows.
    HWND logo = ::GetDlgItem(m_hWnd, kLogoControl);
    RECT place{};
    if (!logo || !::GetWindowRect(logo, &place)) return;
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&place), 2);
    place.right = place.left + ScaleToDpi(300, AfxGetWindowDpi(m_hWnd));
    DrawThemeText(dc, kTitle, place, kTitleFormat, ink, face);
}

void TvSettingDlg::ApplySystemLook() {
    const bool contrast = HighContrastOn();
    const bool changed = contrast != m_bHighContrast;
    m_bHighContrast = contrast;
    // A refusal message showing was drawn in the look before.
    m_refusalNotice.Hide();
    if (changed || contrast) ShowLogoForLook(AfxGetWindowDpi(m_hWnd));
    // The animation stands still in the theme's colours, and runs again without them.
    if (contrast) {
        m_gifAnim.ShowFirstFrameStill();
    } else if (changed) {
        m_gifAnim.Play();
    }
    RedrawAll();
}

LRESULT TvSettingDlg::OnSettingChange(WPARAM wParam, LPARAM) {
    if (wParam == SPI_SETHIGHCONTRAST) ApplySystemLook();
    return Default();
}

LRESULT TvSettingDlg::OnSysColorChange(WPARAM, LPARAM) {
    ApplySystemLook();
    return Default();
}
