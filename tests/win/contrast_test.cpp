// The main window in a high-contrast theme, through the look seam: Wine cannot turn contrast on,
// so a test look says it is on and the theme's colours are set with SetSysColors.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "confirm/hint_dialog.h"
#include "desktop_size.h"
#include "framework/system_look.h"
#include "main_dialog/tv_setting_dlg.h"
#include "pixels.h"
#include "process_counts.h"
#include "real_input.h"
#include "resource.h"
#include "screenshot.h"
#include "win_test_support.h"

namespace {

CWinApp g_app("ContrastTests");

// Detection finds a quiet adapter; the test then shows the HDMI view itself.
const bool g_quietAdapter = InstallIntoSystemDirectory(StandinPath("atipdlxx.dll"), "atipdlxx.dll");

// A look that reports contrast as the test sets it, with the system's colours.
class TestLook : public SystemLook {
public:
    bool on = true;
    bool HighContrast() const override { return on; }
    COLORREF Colour(int index) const override { return ::GetSysColor(index); }
};

// The colours a theme sets, by the system's colour index.
struct Theme {
    const char* name;
    COLORREF window, windowText, buttonFace, buttonText, highlight, highlightText, grayText, infoBack, infoText;
};
// Windows' High Contrast Black and High Contrast White.
const Theme kBlack{"black", RGB(0, 0, 0), RGB(255, 255, 255), RGB(0, 0, 0), RGB(255, 255, 255), RGB(26, 235, 255),
                   RGB(0, 0, 0), RGB(63, 242, 63), RGB(0, 0, 0), RGB(255, 255, 255)};
const Theme kWhite{"white", RGB(255, 255, 255), RGB(0, 0, 0), RGB(255, 255, 255), RGB(0, 0, 0), RGB(55, 0, 110),
                   RGB(255, 255, 255), RGB(96, 0, 0), RGB(255, 255, 255), RGB(0, 0, 0)};

constexpr int kThemeIndexes[] = {COLOR_WINDOW,    COLOR_WINDOWTEXT,    COLOR_BTNFACE,  COLOR_BTNTEXT, COLOR_HIGHLIGHT,
                                 COLOR_HIGHLIGHTTEXT, COLOR_GRAYTEXT, COLOR_INFOBK, COLOR_INFOTEXT};

std::vector<COLORREF> ThemeValues(const Theme& t) {
    return {t.window, t.windowText, t.buttonFace, t.buttonText, t.highlight, t.highlightText, t.grayText, t.infoBack, t.infoText};
}

// Sets the theme's colours and the contrast look for its lifetime; puts both back after.
class ThemeInForce {
public:
    explicit ThemeInForce(const Theme& theme) {
        for (int index : kThemeIndexes) saved_.push_back(::GetSysColor(index));
        const std::vector<COLORREF> values = ThemeValues(theme);
        ::SetSysColors(static_cast<int>(std::size(kThemeIndexes)), kThemeIndexes, values.data());
        previous_ = UseSystemLook(&look_);
    }
    ~ThemeInForce() {
        UseSystemLook(previous_);
        PutColoursBack();
    }
    // The theme switched off: contrast reported off, and the colours from before it.
    void SwitchOff() {
        look_.on = false;
        PutColoursBack();
    }
    const std::vector<COLORREF>& ColoursBefore() const { return saved_; }
    TestLook& Look() { return look_; }

private:
    void PutColoursBack() {
        ::SetSysColors(static_cast<int>(std::size(kThemeIndexes)), kThemeIndexes, saved_.data());
    }
    TestLook look_;
    const SystemLook* previous_ = nullptr;
    std::vector<COLORREF> saved_;
};

// The main window showing the HDMI view, whatever the adapter answered.
class HdmiDlg : public TvSettingDlg {
protected:
    BOOL OnInitDialog() override {
        const BOOL result = TvSettingDlg::OnInitDialog();
        TvDetection.vendor = AdapterVendor::Nvidia;
        TvDetection.nvInfo.connector = kNvHdmi;
        ShowDetectedConnector();
        return result;
    }
};

// Every press is refused, with the message beside the button pressed.
class RefusingHdmiDlg : public HdmiDlg {
protected:
    void OnOK() override { TellRefusal(SwitchRefusal::NotListed, 1920, 1080, 30); }
};

void RunHdmiDialog(std::vector<DialogStep> steps, HdmiDlg&& dialog = HdmiDlg()) {
    EXPECT_TRUE(g_quietAdapter);
    g_app.m_pMainWnd = &dialog;
    RunModalScript(dialog, std::move(steps));
    g_app.m_pMainWnd = nullptr;
    TvDetection = TvDetectionResult{};
}

// Waits until the window and its controls have painted what they have to.
void SettlePaint(HWND window) {
    for (int i = 0; i < 50 && !NothingLeftToPaint(window); ++i) PumpMessagesFor(20);
    PumpMessagesFor(100);
}

// The window's pixels inside its outline, with their places.
struct Shown {
    RECT window{};
    Pixels pixels;  // the window rectangle, rows from the top
    std::vector<bool> inside;
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * (window.right - window.left) + x]; }
};

Shown ShownWindow(HWND window) {
    Shown shown;
    ::GetWindowRect(window, &shown.window);
    shown.pixels = ScreenPixels(shown.window);
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    const bool shaped = ::GetWindowRgn(window, region) != ERROR;
    const int width = shown.window.right - shown.window.left, height = shown.window.bottom - shown.window.top;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) shown.inside.push_back(!shaped || ::PtInRegion(region, x, y));
    ::DeleteObject(region);
    return shown;
}

std::set<uint32_t> ColoursOf(const Shown& shown) {
    std::set<uint32_t> colours;
    for (size_t i = 0; i < shown.pixels.size(); ++i)
        if (shown.inside[i]) colours.insert(shown.pixels[i]);
    return colours;
}

std::string Hex(uint32_t colour) {
    char text[16];
    std::snprintf(text, sizeof text, "%06X", colour);
    return text;
}

// A control's rectangle in window coordinates.
RECT InWindow(HWND dialog, int id) {
    RECT r = ControlRect(dialog, id);
    POINT origin{0, 0};
    ::ClientToScreen(dialog, &origin);
    RECT window{};
    ::GetWindowRect(dialog, &window);
    ::OffsetRect(&r, origin.x - window.left, origin.y - window.top);
    return r;
}

std::set<uint32_t> ThemeRgb(const Theme& theme) {
    std::set<uint32_t> colours;
    for (COLORREF c : ThemeValues(theme)) colours.insert(Rgb(c));
    return colours;
}

// Every pixel inside the window's outline is one of the theme's colours; gives back how many
// colours it shows.
size_t ExpectOnlyThemeColours(const Shown& shown, const Theme& theme) {
    const std::set<uint32_t> allowed = ThemeRgb(theme), seen = ColoursOf(shown);
    for (uint32_t colour : seen) EXPECT_TRUE(allowed.count(colour)) << "colour " << Hex(colour) << " is no theme colour";
    return seen.size();
}

class Contrast : public ::testing::TestWithParam<const Theme*> {};

}  // namespace

// Every pixel inside the window's outline is one of the theme's colours; the detected connector
// stands on the highlight with a heavier border than the others; the focused button (Close, at
// the start) is outlined in the highlight colour whether or not a key has been used.
TEST_P(Contrast, TheWindowDrawsOnlyInTheThemesColours) {
    const Theme& theme = *GetParam();
    ThemeInForce inForce(theme);
    Shown shown;
    RECT hdmi{}, sVideo{}, close{}, focused720{};
    Shown afterTab;
    RunHdmiDialog({[&](CDialog& d) {
                       SettlePaint(d.m_hWnd);
                       shown = ShownWindow(d.m_hWnd);
                       hdmi = InWindow(d.m_hWnd, IDC_HDMI);
                       sVideo = InWindow(d.m_hWnd, IDC_SVIDEO);
                       close = InWindow(d.m_hWnd, IDC_CLOSE);
                       SaveScreenshotIfAsked(std::string("view_hdmi_contrast_") + theme.name + "_" +
                                                 std::to_string(AfxGetWindowDpi(d.m_hWnd) * 100 / 96),
                                             &shown.window);
                       ::SendMessageA(d.m_hWnd, WM_NEXTDLGCTL,
                                      reinterpret_cast<WPARAM>(::GetDlgItem(d.m_hWnd, IDC_720_SMALL)), TRUE);
                       SettlePaint(d.m_hWnd);
                       afterTab = ShownWindow(d.m_hWnd);
                       focused720 = InWindow(d.m_hWnd, IDC_720_SMALL);
                   },
                   [](CDialog& d) { d.EndDialog(IDCANCEL); }});
    std::printf("%s theme: %zu colours inside the window\n", theme.name, ExpectOnlyThemeColours(shown, theme));

    const UINT dpi = static_cast<UINT>(shown.window.right - shown.window.left) * 96 / 512;
    const int px = static_cast<int>(dpi) / 96;
    // The detected picture: highlight inside a 3-pixel (at 100 %) border; the others face colour
    // right inside a 1-pixel one.
    EXPECT_EQ(shown.At(hdmi.left + 3 * px - 1, hdmi.top + 20 * px), Rgb(theme.windowText));
    EXPECT_EQ(shown.At(hdmi.left + 3 * px + 1, hdmi.top + 20 * px), Rgb(theme.highlight));
    EXPECT_EQ(shown.At(sVideo.left + px - 1, sVideo.top + 20 * px), Rgb(theme.windowText));
    EXPECT_EQ(shown.At(sVideo.left + px + 1, sVideo.top + 20 * px), Rgb(theme.buttonFace));
    // The HDMI picture's line drawing is in the highlight's text colour.
    std::set<uint32_t> inHdmi;
    for (int y = hdmi.top + 3 * px; y < hdmi.bottom - 3 * px; ++y)
        for (int x = hdmi.left + 3 * px; x < hdmi.right - 3 * px; ++x) inHdmi.insert(shown.At(x, y));
    EXPECT_EQ(inHdmi, (std::set<uint32_t>{Rgb(theme.highlight), Rgb(theme.highlightText)}));
    // Focus: right inside the border of the focused button, the highlight; at the start on
    // Close, then on the 720 FULL button.
    EXPECT_EQ(shown.At(close.left + px, (close.top + close.bottom) / 2), Rgb(theme.highlight));
    EXPECT_EQ(afterTab.At(focused720.left + px, (focused720.top + focused720.bottom) / 2), Rgb(theme.highlight));
    EXPECT_NE(afterTab.At(close.left + px, (close.top + close.bottom) / 2), Rgb(theme.highlight));
}

// On a desktop too small for the window at its monitor's scale it draws at the largest scale
// that fits, and in the theme's colours there too: wholly on the screen, nothing but the theme.
TEST_P(Contrast, OnASmallDesktopTheWindowFitsInTheThemesColours) {
    const Theme& theme = *GetParam();
    ASSERT_EQ(ChangeDesktopSize(800, 600), DISP_CHANGE_SUCCESSFUL);
    struct PutBack {
        ~PutBack() { ::ChangeDisplaySettingsExA(nullptr, nullptr, nullptr, 0, nullptr); }
    } putBack;
    ThemeInForce inForce(theme);
    Shown shown;
    SIZE desktop{};
    RunHdmiDialog({[&](CDialog& d) {
                       SettlePaint(d.m_hWnd);
                       shown = ShownWindow(d.m_hWnd);
                       desktop = {::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
                       std::printf("on 800 x 600 the window draws at %u dpi\n", AfxGetWindowDpi(d.m_hWnd));
                       SaveScreenshotIfAsked(std::string("view_hdmi_contrast_") + theme.name + "_800x600", &shown.window);
                   },
                   [](CDialog& d) { d.EndDialog(IDCANCEL); }});
    EXPECT_GE(shown.window.left, 0);
    EXPECT_GE(shown.window.top, 0);
    EXPECT_LE(shown.window.right, 800) << "the desktop " << desktop.cx << " x " << desktop.cy;
    EXPECT_LE(shown.window.bottom, 600);
    ExpectOnlyThemeColours(shown, theme);
}

// A button's states in the theme: the colours inside it, border included, as the pointer rests
// on it, as it is held down and while it is unavailable.
TEST_P(Contrast, AButtonsStatesTakeTheThemesColours) {
    const Theme& theme = *GetParam();
    ThemeInForce inForce(theme);
    struct State {
        const char* name;
        std::function<void(HWND)> enter;  // sent again until the state shows: a synthetic move can come late
        std::function<void(HWND)> leave;
        std::set<uint32_t> expected;
    };
    const uint32_t border = Rgb(theme.windowText);
    const State states[] = {
        {"resting", [](HWND) {}, [](HWND) {}, {border, Rgb(theme.buttonFace), Rgb(theme.buttonText)}},
        {"under the pointer",
         [](HWND b) {
             RECT r{};
             ::GetWindowRect(b, &r);
             ::SetCursorPos((r.left + r.right) / 2, r.bottom - 3);
         },
         [](HWND) { ::SetCursorPos(0, 0); }, {border, Rgb(theme.highlight), Rgb(theme.highlightText)}},
        {"held down", [](HWND b) { ::SendMessageA(b, BM_SETSTATE, TRUE, 0); },
         [](HWND b) { ::SendMessageA(b, BM_SETSTATE, FALSE, 0); }, {border, Rgb(theme.highlight), Rgb(theme.highlightText)}},
        {"unavailable", [](HWND b) { ::EnableWindow(b, FALSE); }, [](HWND b) { ::EnableWindow(b, TRUE); },
         {border, Rgb(theme.buttonFace), Rgb(theme.grayText)}},
    };
    RunHdmiDialog({[&](CDialog& d) {
                       EXPECT_TRUE(ParkPointer());
                       HWND button = ::GetDlgItem(d.m_hWnd, IDC_1080_SMALL);
                       const RECT r = InWindow(d.m_hWnd, IDC_1080_SMALL);
                       for (const State& state : states) {
                           std::set<uint32_t> seen;
                           for (int round = 0; round < 25 && seen != state.expected; ++round) {
                               state.enter(button);
                               SettlePaint(d.m_hWnd);
                               const Shown shown = ShownWindow(d.m_hWnd);
                               seen.clear();
                               for (int y = r.top; y < r.bottom; ++y)
                                   for (int x = r.left; x < r.right; ++x) seen.insert(shown.At(x, y));
                           }
                           EXPECT_EQ(seen, state.expected) << state.name;
                           state.leave(button);
                       }
                   },
                   [](CDialog& d) { d.EndDialog(IDCANCEL); }});
}

INSTANTIATE_TEST_SUITE_P(Themes, Contrast, ::testing::Values(&kBlack, &kWhite),
                         [](const ::testing::TestParamInfo<const Theme*>& info) { return std::string(info.param->name); });

// Switching contrast on and off with the window open redraws it in the new look at once: the
// skin's many colours, then the theme's few again. Twenty switches leave no GDI object behind.
TEST(ContrastSwitch, OnOffOnRedrawsAtOnceAndLeaksNothing) {
    ThemeInForce inForce(kBlack);
    const std::set<uint32_t> allowed = ThemeRgb(kBlack);
    size_t onColours = 0, offColours = 0, againColours = 0;
    bool againOnlyTheme = true;
    size_t firstRoundBefore = 0, gdiBefore = 0, gdiAfter = 0;
    std::map<std::string, size_t> kindsBefore, kindsAfter;
    auto sendSwitch = [&](HWND w, bool on) {
        inForce.Look().on = on;
        ::SendMessageA(w, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
        SettlePaint(w);
    };
    RunHdmiDialog({[&](CDialog& d) {
                       SettlePaint(d.m_hWnd);
                       onColours = ColoursOf(ShownWindow(d.m_hWnd)).size();
                       sendSwitch(d.m_hWnd, false);
                       offColours = ColoursOf(ShownWindow(d.m_hWnd)).size();
                       sendSwitch(d.m_hWnd, true);
                       const std::set<uint32_t> again = ColoursOf(ShownWindow(d.m_hWnd));
                       againColours = again.size();
                       for (uint32_t c : again) againOnlyTheme = againOnlyTheme && allowed.count(c);
                       // A colour change alone redraws too.
                       auto switchTwenty = [&] {
                           for (int i = 0; i < 20; ++i) {
                               sendSwitch(d.m_hWnd, i % 2 != 0);
                               ::SendMessageA(d.m_hWnd, WM_SYSCOLORCHANGE, 0, 0);
                           }
                           SettlePaint(d.m_hWnd);
                       };
                       // The first round lets the animation, running again, decode its frames.
                       firstRoundBefore = GdiObjectCount();
                       switchTwenty();
                       gdiBefore = GdiObjectCount();
                       kindsBefore = GdiObjectsByKind(::GetCurrentProcess());
                       switchTwenty();
                       gdiAfter = GdiObjectCount();
                       kindsAfter = GdiObjectsByKind(::GetCurrentProcess());
                   },
                   [](CDialog& d) { d.EndDialog(IDCANCEL); }});
    std::printf("colours: contrast %zu, skin %zu, contrast again %zu; GDI objects before a first round of 20 "
                "switches %zu, before a second %zu, after it %zu\n",
                onColours, offColours, againColours, firstRoundBefore, gdiBefore, gdiAfter);
    EXPECT_LE(onColours, std::size(kThemeIndexes));
    EXPECT_GT(offColours, 50u);
    EXPECT_TRUE(againOnlyTheme);
    EXPECT_EQ(gdiAfter, gdiBefore);
    EXPECT_EQ(kindsAfter, kindsBefore);
}

namespace {

// The horizontal bands of rows with ink in them inside the area: each a line of words or a
// ruled line.
int InkBands(const Shown& shown, uint32_t ink, const RECT& area) {
    int bands = 0;
    bool inBand = false;
    for (int y = area.top; y < area.bottom; ++y) {
        bool inked = false;
        for (int x = area.left; x < area.right && !inked; ++x) inked = shown.At(x, y) == ink;
        if (inked && !inBand) ++bands;
        inBand = inked;
    }
    return bands;
}

// The refusal balloon of this thread, if one is shown.
HWND ShownBalloon() {
    HWND found = nullptr;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM context) -> BOOL {
            char name[64] = {};
            ::GetClassNameA(window, name, sizeof name);
            if (lstrcmpiA(name, TOOLTIPS_CLASSA) != 0 || !(::GetWindowLongA(window, GWL_STYLE) & TTS_BALLOON) ||
                !::IsWindowVisible(window))
                return TRUE;
            *reinterpret_cast<HWND*>(context) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// How a shown balloon looks: the colours it was given, and how many of its pixels are which.
struct BalloonSeen {
    COLORREF back = CLR_INVALID, text = CLR_INVALID;
    std::map<uint32_t, size_t> pixels;
};

BalloonSeen SeeBalloon() {
    BalloonSeen seen;
    HWND balloon = ShownBalloon();
    if (!balloon) return seen;
    ::UpdateWindow(balloon);
    seen.back = static_cast<COLORREF>(::SendMessageA(balloon, TTM_GETTIPBKCOLOR, 0, 0));
    seen.text = static_cast<COLORREF>(::SendMessageA(balloon, TTM_GETTIPTEXTCOLOR, 0, 0));
    const Shown shown = ShownWindow(balloon);
    for (size_t i = 0; i < shown.pixels.size(); ++i)
        if (shown.inside[i]) ++seen.pixels[shown.pixels[i]];
    return seen;
}

uint32_t Commonest(const std::map<uint32_t, size_t>& pixels) {
    uint32_t colour = 0;
    size_t most = 0;
    for (const auto& [c, n] : pixels) {
        if (n <= most) continue;
        colour = c;
        most = n;
    }
    return colour;
}

}  // namespace

// The hint popup in a theme: the heading, the lead and the four steps its picture shows are
// written in the theme's text colour on the window colour, within a border, and its close button
// is drawn as the main window's (focused, so outlined in the highlight).
TEST_P(Contrast, TheHintPopupWritesItsStepsInTheThemesColours) {
    const Theme& theme = *GetParam();
    ThemeInForce inForce(theme);
    HintDialog popup;
    popup.m_nScreenshot = HintDialog::kHdmiScreenshot;
    Shown shown;
    RECT close{};
    RunModalScript(popup, {[&](CDialog& d) {
                       SettlePaint(d.m_hWnd);
                       shown = ShownWindow(d.m_hWnd);
                       close = InWindow(d.m_hWnd, IDOK);
                       SaveScreenshotIfAsked(std::string("hint_hdmi_contrast_") + theme.name + "_" +
                                                 std::to_string(AfxGetWindowDpi(d.m_hWnd) * 100 / 96),
                                             &shown.window);
                       d.EndDialog(IDCANCEL);
                   }});
    ASSERT_FALSE(shown.pixels.empty());
    std::printf("%s theme: %zu colours inside the hint popup\n", theme.name, ExpectOnlyThemeColours(shown, theme));

    const int px = static_cast<int>(close.right - close.left) / 15;  // the button is 15 pixels at 100 %
    const int width = shown.window.right - shown.window.left, height = shown.window.bottom - shown.window.top;
    // The border, and the window colour right inside it.
    EXPECT_EQ(shown.At(width / 2, height - 1), Rgb(theme.windowText));
    EXPECT_EQ(shown.At(width / 2, height - 2 * px - 1), Rgb(theme.window));
    // Inside the border and left of the button: heading, rule, lead and at least one line for
    // each of the four steps.
    const RECT words{3 * px, 3 * px, close.left - px, height - 3 * px};
    EXPECT_GE(InkBands(shown, Rgb(theme.windowText), words), 7);
    // The close button: face colour inside its border, the focus outline in the highlight.
    EXPECT_EQ(shown.At(close.left, (close.top + close.bottom) / 2), Rgb(theme.windowText));
    EXPECT_EQ(shown.At(close.left + px, (close.top + close.bottom) / 2), Rgb(theme.highlight));
}

// The refusal balloon in a theme takes the tooltip colours the theme gives, and once the theme
// is switched off the system's again, not the theme's it was given before.
TEST_P(Contrast, TheRefusalBalloonTakesTheThemesTooltipColours) {
    const Theme& theme = *GetParam();
    ThemeInForce inForce(theme);
    BalloonSeen inTheme, afterIt;
    RunHdmiDialog({[&](CDialog& d) {
                       SettlePaint(d.m_hWnd);
                       ::SendMessageA(d.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_720_SMALL, BN_CLICKED),
                                      reinterpret_cast<LPARAM>(::GetDlgItem(d.m_hWnd, IDC_720_SMALL)));
                       PumpMessagesFor(200);
                       inTheme = SeeBalloon();
                       inForce.SwitchOff();
                       ::SendMessageA(d.m_hWnd, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
                       SettlePaint(d.m_hWnd);
                       ::SendMessageA(d.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_720_SMALL, BN_CLICKED),
                                      reinterpret_cast<LPARAM>(::GetDlgItem(d.m_hWnd, IDC_720_SMALL)));
                       PumpMessagesFor(200);
                       afterIt = SeeBalloon();
                   },
                   [](CDialog& d) { d.EndDialog(IDCANCEL); }},
                  RefusingHdmiDlg());
    EXPECT_EQ(inTheme.back, theme.infoBack);
    EXPECT_EQ(inTheme.text, theme.infoText);
    // What the screen shows: the balloon's face in the theme's tooltip colour, its words in the other.
    EXPECT_EQ(Commonest(inTheme.pixels), Rgb(theme.infoBack));
    EXPECT_GT(inTheme.pixels[Rgb(theme.infoText)], 20u);
    // kThemeIndexes order: COLOR_INFOBK and COLOR_INFOTEXT are the last two.
    const std::vector<COLORREF>& before = inForce.ColoursBefore();
    EXPECT_EQ(afterIt.back, before[before.size() - 2]);
    EXPECT_EQ(afterIt.text, before[before.size() - 1]);
}
