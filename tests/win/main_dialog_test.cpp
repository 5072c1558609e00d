// The main dialog's template and frame, in process on a Wine desktop.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "framework/dialog_template.h"
#include "controls/dib_section.h"
#include "controls/scaled_art.h"
#include "controls/shaped_bitmap.h"
#include "main_dialog/main_window_buttons.h"
#include "main_dialog/tv_setting_dlg.h"
#include "pixels.h"
#include "real_input.h"
#include "resource.h"
#include "win_test_support.h"

#include <psapi.h>  // after <windows.h>, which it needs

namespace {

CWinApp g_app("MainDialogTests");

// Detection finds a quiet adapter: the ATI stand-in, which answers without any message.
const bool g_quietAdapter = InstallIntoSystemDirectory(StandinPath("atipdlxx.dll"), "atipdlxx.dll");

struct ExpectedControl {
    uint32_t id;
    uint16_t classOrdinal;  // 0x80 button, 0x82 static
    uint32_t style;
    DialogRect rect;
};

// Template 102 as the skin is laid out for: every control with its class, style and place.
const ExpectedControl kTemplate102[] = {
    {1, 0x80, 0x40010001, {303, 150, 26, 14}},  // hidden default button
    {1008, 0x80, 0x50010000, {306, 7, 23, 13}},  {1000, 0x80, 0x50010000, {16, 213, 92, 23}},
    {1001, 0x80, 0x50010000, {123, 213, 100, 22}}, {1002, 0x80, 0x50010000, {239, 213, 90, 22}},
    {1003, 0x80, 0x50010000, {14, 47, 37, 84}},  {1004, 0x80, 0x50010000, {73, 47, 33, 83}},
    {1005, 0x80, 0x50010000, {143, 50, 79, 80}}, {1006, 0x80, 0x50010000, {256, 51, 44, 77}},
    {1007, 0x82, 0x50000004, {7, 7, 27, 20}},    {0xFFFFFFFF, 0x82, 0x5000000E, {35, 12, 45, 9}},
    {1009, 0x80, 0x50010000, {7, 204, 106, 24}}, {1010, 0x80, 0x50010000, {117, 203, 106, 23}},
    {1011, 0x80, 0x50010000, {225, 203, 104, 23}}, {1012, 0x80, 0x50010000, {7, 227, 107, 23}},
    {1013, 0x80, 0x50010000, {118, 227, 105, 23}}, {1014, 0x80, 0x50010000, {226, 227, 103, 23}},
};

uint16_t ClassOrdinal(const DialogItemInfo& item) {
    if (item.classOrdinal) return item.classOrdinal;
    std::u16string name;
    for (char16_t c : item.className) name.push_back(c >= u'a' && c <= u'z' ? c - 32 : c);
    return name == u"BUTTON" ? 0x80 : name == u"STATIC" ? 0x82 : 0;
}

// Runs the main dialog with a script; TvDetection is reset for every run.
INT_PTR RunMainDialog(TvSettingDlg& dialog, std::vector<DialogStep> steps) {
    EXPECT_TRUE(g_quietAdapter);
    g_app.m_pMainWnd = &dialog;
    const INT_PTR result = RunModalScript(dialog, std::move(steps));
    g_app.m_pMainWnd = nullptr;
    TvDetection = TvDetectionResult{};
    return result;
}

void Command(CDialog& d, int id) { ::SendMessageA(d.m_hWnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

// The main dialog with the apply flow replaced by a count, for what the commands store.
class CountingDlg : public TvSettingDlg {
public:
    int applies = 0;

protected:
    void OnOK() override { ++applies; }
};

// The modules loaded into this process, by their file names in lower case.
std::set<std::string> LoadedModules() {
    HMODULE modules[512];
    DWORD bytes = 0;
    std::set<std::string> names;
    if (!::EnumProcessModules(::GetCurrentProcess(), modules, sizeof modules, &bytes)) return names;
    for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < std::size(modules); ++i) {
        char name[MAX_PATH] = {};
        ::GetModuleBaseNameA(::GetCurrentProcess(), modules[i], name, MAX_PATH);
        names.insert(CharLowerA(name));
    }
    return names;
}

// The main window seen when its first paint is done: when its timer for that fires.
class FirstPaintProbe : public TvSettingDlg {
public:
    bool probed = false;
    bool paintedThen = false;
    std::set<std::string> loadedThen;
    UINT dpi = 0;
    std::vector<UINT> storedThen;
    RECT corner{};  // where the animation is to show, in the window
    Pixels cornerThen;
    POINT pointerThen{};

protected:
    DECLARE_MESSAGE_MAP()
    LRESULT OnProbeTimer(WPARAM wParam, LPARAM lParam) {
        if (wParam == kAfterFirstPaintTimer && !probed) {
            probed = true;
            paintedThen = ::IsWindowVisible(m_hWnd) && NothingLeftToPaint(m_hWnd);
            loadedThen = LoadedModules();
            dpi = AfxGetWindowDpi(m_hWnd);
            for (UINT id = 129; id <= 208; ++id)
                if (IsImageStored(id, dpi)) storedThen.push_back(id);
            corner = ControlRect(m_hWnd, IDC_ANIMATION);
            HDC dc = ::GetDC(m_hWnd);
            cornerThen = Grab(dc, corner.left, corner.top, corner.right - corner.left, corner.bottom - corner.top);
            ::GetCursorPos(&pointerThen);
            ::ReleaseDC(m_hWnd, dc);
        }
        return OnTimer(wParam, lParam);
    }
};

// The background's pixels in that rectangle of the window, as the window draws it at that scale.
Pixels BackgroundIn(const RECT& r, UINT dpi) {
    HBITMAP art = dpi == kDefaultDpi ? ::LoadBitmapA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_BACKGROUND))
                                     : LoadScaledArt(::GetModuleHandleA(nullptr), IDB_BACKGROUND, dpi, kShapeEdges);
    const PixelImage whole = ReadPixels(art);
    ::DeleteObject(art);
    Pixels part;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) part.push_back(whole.pixels[size_t(y) * whole.width + x]);
    return part;
}

BEGIN_MESSAGE_MAP(FirstPaintProbe, TvSettingDlg)
    ON_MESSAGE(WM_TIMER, OnProbeTimer)
END_MESSAGE_MAP()

}  // namespace

// Run at 100 % and, in a prefix of its own, at 200 % (the quiet adapter's view: S-Video and
// Composite lit, the standard row). The system itself loads libraries for any dialog of this
// template under this manifest (the common controls' buttons, and on Wine COM for its display
// driver): a plain dialog of the template shows which, and the first paint loads no other.
TEST(MainDialogFirstPaint, LoadsNoLibraryAPlainDialogDoesNotAndDecodesOnlyTheFacesItShows) {
    for (const char* later : {"oleaut32.dll", "windowscodecs.dll"})
        ASSERT_EQ(::GetModuleHandleA(later), nullptr) << "this test program must not import " << later;
    ASSERT_TRUE(ParkPointer());  // no button lights up under the pointer
    PlainDialog plain(IDD_TVSETTING);
    std::set<std::string> loadedByPlainDialog;
    RunModalScript(plain, {[&](CDialog& d) {
                       loadedByPlainDialog = LoadedModules();
                       d.EndDialog(IDCANCEL);
                   }});
    FirstPaintProbe dialog;
    bool animationDecoderLoaded = false;
    RunMainDialog(dialog, {[](CDialog&) {}, [&](CDialog& d) {
                               animationDecoderLoaded = ::GetModuleHandleA("oleaut32.dll") != nullptr;
                               d.EndDialog(IDCANCEL);
                           }});
    ASSERT_TRUE(dialog.probed);
    EXPECT_TRUE(dialog.paintedThen);
    std::vector<std::string> beyondPlainDialog;
    std::set_difference(dialog.loadedThen.begin(), dialog.loadedThen.end(), loadedByPlainDialog.begin(),
                        loadedByPlainDialog.end(), std::back_inserter(beyondPlainDialog));
    EXPECT_EQ(beyondPlainDialog, std::vector<std::string>{});
    for (const char* later : {"oleaut32.dll", "windowscodecs.dll"}) EXPECT_EQ(dialog.loadedThen.count(later), 0u);
    // The faces the view shows, with the masks of the buttons shown: Close, the four pictures
    // (S-Video and Composite lit) and the standard row. No hover or pressed face, no unlit
    // picture of the start-up view, nothing of the hidden rows.
    const std::vector<UINT> shown{129, 132, 134, 147, 151, 153, 155, 156, 157, 159, 161, 162, 164, 171};
    EXPECT_EQ(dialog.storedThen, shown) << "at " << dialog.dpi << " dpi, the pointer at " << dialog.pointerThen.x << ","
                                        << dialog.pointerThen.y;
    // Until the animation starts, its corner shows the background: no rectangle of its own.
    EXPECT_TRUE(dialog.cornerThen == BackgroundIn(dialog.corner, dialog.dpi));
    // The animation's decoder is loaded once the window is up.
    EXPECT_TRUE(animationDecoderLoaded);
}

TEST(MainDialogTemplate, MatchesTheLayoutTheSkinIsDrawnFor) {
    const auto info = TaiwanDialogTemplate(IDD_TVSETTING);
    ASSERT_TRUE(info) << "template 102 in language 1028";
    EXPECT_TRUE(info->extended);
    EXPECT_EQ(info->style, 0x900000C0u);
    EXPECT_EQ(info->exStyle, 0x00040000u);
    EXPECT_EQ(info->rect.x, 0);
    EXPECT_EQ(info->rect.y, 0);
    EXPECT_EQ(info->rect.cx, 337);
    EXPECT_EQ(info->rect.cy, 263);
    EXPECT_EQ(info->pointSize, 9);
    EXPECT_EQ(info->fontFace, u"\u65B0\u7D30\u660E\u9AD4");
    ASSERT_EQ(info->items.size(), std::size(kTemplate102));
    for (size_t i = 0; i < info->items.size(); ++i) {
        const DialogItemInfo& got = info->items[i];
        const ExpectedControl& want = kTemplate102[i];
        SCOPED_TRACE(testing::Message() << "control " << want.id);
        EXPECT_EQ(got.id, want.id);
        EXPECT_EQ(ClassOrdinal(got), want.classOrdinal);
        EXPECT_EQ(got.style, want.style);
        EXPECT_EQ(got.exStyle, 0u);
        EXPECT_EQ(got.rect.x, want.rect.x);
        EXPECT_EQ(got.rect.y, want.rect.y);
        EXPECT_EQ(got.rect.cx, want.rect.cx);
        EXPECT_EQ(got.rect.cy, want.rect.cy);
    }
}

TEST(Resources, VersionBlockAndIconSizes) {
    const LANGID taiwan = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL);
    HRSRC version = ::FindResourceExA(nullptr, RT_VERSION, MAKEINTRESOURCEA(1), taiwan);
    ASSERT_NE(version, nullptr);
    const BYTE* block = static_cast<const BYTE*>(::LockResource(::LoadResource(nullptr, version)));
    // VS_VERSIONINFO: the fixed file info follows the key L"VS_VERSION_INFO" at a 32-bit boundary.
    const auto* info = reinterpret_cast<const VS_FIXEDFILEINFO*>(block + 40);
    ASSERT_EQ(info->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(info->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(info->dwFileVersionLS, 0x00000005u);
    EXPECT_EQ(info->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(info->dwProductVersionLS, 0x00000005u);

    HRSRC group = ::FindResourceExA(nullptr, RT_GROUP_ICON, MAKEINTRESOURCEA(IDR_MAINFRAME), taiwan);
    ASSERT_NE(group, nullptr);
    auto* directory = static_cast<BYTE*>(::LockResource(::LoadResource(nullptr, group)));
    for (int size : {16, 32, 48}) {
        const int id = ::LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
        HRSRC icon = ::FindResourceExA(nullptr, RT_ICON, MAKEINTRESOURCEA(id), taiwan);
        ASSERT_NE(icon, nullptr) << size;
        HICON handle = ::CreateIconFromResourceEx(static_cast<BYTE*>(::LockResource(::LoadResource(nullptr, icon))),
                                                  ::SizeofResource(nullptr, icon), TRUE, 0x00030000, 0, 0,
                                                  LR_DEFAULTCOLOR);
        ICONINFO parts{};
        ASSERT_TRUE(::GetIconInfo(handle, &parts)) << size;
        BITMAP colour{};
        ::GetObjectA(parts.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, size);
        ::DeleteObject(parts.hbmColor);
        ::DeleteObject(parts.hbmMask);
        ::DestroyIcon(handle);
    }
}

TEST(MainDialog, ShowsTitleIconAndTheIntendedGeometry) {
    TvSettingDlg dialog;
    char title[64] = {};
    HICON bigIcon = nullptr, dragIcon = nullptr;
    RECT client{}, hdmi{}, sVideo{}, window{}, outline{};
    POINT clientOrigin{};
    DWORD style = 0, exStyle = 0;
    RunMainDialog(dialog, {[&](CDialog& d) {
                      ::GetWindowTextA(d.m_hWnd, title, sizeof title);
                      bigIcon = reinterpret_cast<HICON>(::SendMessageA(d.m_hWnd, WM_GETICON, ICON_BIG, 0));
                      dragIcon = reinterpret_cast<HICON>(::SendMessageA(d.m_hWnd, WM_QUERYDRAGICON, 0, 0));
                      ::GetClientRect(d.m_hWnd, &client);
                      hdmi = ControlRect(d.m_hWnd, IDC_HDMI);
                      sVideo = ControlRect(d.m_hWnd, IDC_SVIDEO);
                      style = static_cast<DWORD>(::GetWindowLongA(d.m_hWnd, GWL_STYLE));
                      exStyle = static_cast<DWORD>(::GetWindowLongA(d.m_hWnd, GWL_EXSTYLE));
                      ::GetWindowRect(d.m_hWnd, &window);
                      ::ClientToScreen(d.m_hWnd, &clientOrigin);
                      HRGN region = ::CreateRectRgn(0, 0, 0, 0);
                      ::GetWindowRgn(d.m_hWnd, region);
                      ::GetRgnBox(region, &outline);
                      ::DeleteObject(region);
                      d.EndDialog(IDCANCEL);
                  }});
    EXPECT_STREQ(title, "ORVA TV Setting");
    EXPECT_NE(bigIcon, nullptr);
    EXPECT_EQ(dragIcon, bigIcon);
    EXPECT_EQ(style & WS_CAPTION, 0u);
    EXPECT_EQ(exStyle, 0x10000000u);
    // No frame: the client area, where the background is painted, is the whole window, in whose
    // coordinates the outline is cut: the background less its one-pixel key-coloured edge.
    EXPECT_EQ(clientOrigin.x, window.left);
    EXPECT_EQ(clientOrigin.y, window.top);
    EXPECT_EQ(outline.left, 1);
    EXPECT_EQ(outline.top, 1);
    EXPECT_EQ(outline.right, 493);
    EXPECT_EQ(outline.bottom, 399);
    // The template at base units 6 x 12 (506 x 395 inside a 3-pixel modal frame, whose room the
    // client takes over), whatever font Wine substitutes for the dialog font.
    EXPECT_EQ(client.right, 512);
    EXPECT_EQ(client.bottom, 401);
    EXPECT_EQ(hdmi.left, 384);
    EXPECT_EQ(hdmi.top, 77);
    EXPECT_EQ(sVideo.left, 21);
    EXPECT_EQ(sVideo.top, 71);
}

bool operator==(const RECT& a, const RECT& b) { return ::EqualRect(&a, &b) != 0; }
std::ostream& operator<<(std::ostream& out, const RECT& r) {
    return out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

// Wine never sends WM_DPICHANGED: sent by hand, it draws the window again at the new scale in
// the rectangle given, and back at 100 % as before.
TEST(MainDialog, AChangeOfScaleLaysTheWindowOutAgainInTheSuggestedRectangle) {
    TvSettingDlg dialog;
    struct Geometry {
        RECT window, outline, hdmi, close;
    };
    auto measure = [](HWND w) {
        Geometry g{};
        ::GetWindowRect(w, &g.window);
        HRGN region = ::CreateRectRgn(0, 0, 0, 0);
        ::GetWindowRgn(w, region);
        ::GetRgnBox(region, &g.outline);
        ::DeleteObject(region);
        g.hdmi = ControlRect(w, IDC_HDMI);
        g.close = ControlRect(w, IDC_CLOSE);
        return g;
    };
    Geometry before{}, scaled{}, back{};
    RunMainDialog(dialog, {[&](CDialog& d) {
                      before = measure(d.m_hWnd);
                      RECT suggested{100, 50, 1124, 852};
                      ::SendMessageA(d.m_hWnd, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
                      scaled = measure(d.m_hWnd);
                      suggested = before.window;
                      ::SendMessageA(d.m_hWnd, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&suggested));
                      back = measure(d.m_hWnd);
                      d.EndDialog(IDCANCEL);
                  }});
    EXPECT_EQ(scaled.window, (RECT{100, 50, 1124, 852}));
    EXPECT_EQ(scaled.outline, (RECT{2, 2, 986, 798}));  // the 200 % background less its key edge
    EXPECT_EQ(scaled.hdmi.left, 2 * before.hdmi.left);
    EXPECT_EQ(scaled.hdmi.top, 2 * before.hdmi.top);
    EXPECT_EQ(scaled.close.right - scaled.close.left, 32);  // its 200 % mask
    for (const auto& [got, want] : {std::pair{back.window, before.window}, std::pair{back.outline, before.outline},
                                    std::pair{back.hdmi, before.hdmi}, std::pair{back.close, before.close}})
        EXPECT_EQ(got, want);
}

RECT WindowRect(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return r;
}

// Every press is refused with a message beside the button pressed.
class RefusingDlg : public TvSettingDlg {
protected:
    void OnOK() override { TellRefusal(SwitchRefusal::NotListed, 1920, 1080, 30); }
};

// The tooltip windows of this thread: the refusal balloon, or the buttons' tooltips.
HWND FindTooltip(bool balloon) {
    struct Search {
        bool balloon;
        HWND found;
    } search{balloon, nullptr};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM context) -> BOOL {
            auto* s = reinterpret_cast<Search*>(context);
            char name[64] = {};
            ::GetClassNameA(window, name, sizeof name);
            const bool isBalloon = (::GetWindowLongA(window, GWL_STYLE) & TTS_BALLOON) != 0;
            if (lstrcmpiA(name, TOOLTIPS_CLASSA) != 0 || isBalloon != s->balloon) return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// What a tooltip draws with: its font's height, and whether that font still exists.
struct TipFont {
    LONG height = 0;
    bool alive = false;
};
TipFont FontOf(HWND tip) {
    const auto font = reinterpret_cast<HGDIOBJ>(::SendMessageA(tip, WM_GETFONT, 0, 0));
    LOGFONTA described{};
    const bool alive = font && ::GetObjectType(font) == OBJ_FONT && ::GetObjectA(font, sizeof described, &described);
    return {described.lfHeight, alive};
}

void ChangeScale(CDialog& d, UINT dpi) {
    RECT suggested{};
    ::GetWindowRect(d.m_hWnd, &suggested);
    suggested.right = suggested.left + ScaleToDpi(512, dpi);
    suggested.bottom = suggested.top + ScaleToDpi(401, dpi);
    ::SendMessageA(d.m_hWnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

// The refusal message and the tooltips take the font of the scale the window draws at now, not
// the one they were first made at; a message showing when the scale changes closes, since it
// would point beside its button.
TEST(MainDialog, TheRefusalMessageAndTooltipsFollowAChangeOfScale) {
    RefusingDlg dialog;
    struct Seen {
        SIZE balloon{};
        TipFont balloonFont, tipFont;
    };
    Seen at96{}, at192{}, backAt96{};
    bool shownAfterTheChange = true, shownAfterAMove = true;
    auto look = [](CDialog& d, Seen& seen) {
        Command(d, IDC_640);
        HWND balloon = FindTooltip(true);
        const RECT r = WindowRect(balloon);
        seen.balloon = {r.right - r.left, r.bottom - r.top};
        seen.balloonFont = FontOf(balloon);
        seen.tipFont = FontOf(FindTooltip(false));
    };
    RunMainDialog(dialog, {[&](CDialog& d) {
                      // The pointer over a button makes its tooltip.
                      ::SendMessageA(::GetDlgItem(d.m_hWnd, IDC_640), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
                      look(d, at96);
                      ChangeScale(d, 192);
                      shownAfterTheChange = ::IsWindowVisible(FindTooltip(true)) != FALSE;
                      look(d, at192);
                      ChangeScale(d, 96);
                      look(d, backAt96);
                      // Dragged away, the window takes the message pointing at its button along
                      // no further: it closes.
                      const RECT place = WindowRect(d.m_hWnd);
                      ::SetWindowPos(d.m_hWnd, nullptr, place.left + 40, place.top + 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
                      shownAfterAMove = ::IsWindowVisible(FindTooltip(true)) != FALSE;
                      d.EndDialog(IDCANCEL);
                  }});
    EXPECT_FALSE(shownAfterTheChange);
    EXPECT_FALSE(shownAfterAMove);
    for (const Seen* seen : {&at96, &at192, &backAt96}) {
        EXPECT_TRUE(seen->balloonFont.alive && seen->tipFont.alive) << "a font the program has deleted";
    }
    EXPECT_EQ(at192.balloonFont.height, 2 * at96.balloonFont.height);
    EXPECT_EQ(at192.tipFont.height, 2 * at96.tipFont.height);
    EXPECT_GT(at192.balloon.cx, at96.balloon.cx);
    EXPECT_EQ(backAt96.balloon.cx, at96.balloon.cx);
    EXPECT_EQ(backAt96.balloon.cy, at96.balloon.cy);
    EXPECT_EQ(backAt96.balloonFont.height, at96.balloonFont.height);
    EXPECT_EQ(backAt96.tipFont.height, at96.tipFont.height);
}

// Moved to a monitor of 300 %, the window would be 1536 x 1203 pixels, taller than this 1080-line
// desktop: it is drawn at 250 %, the largest scale that fits, wholly inside the work area.
TEST(MainDialog, AChangeOfScaleToAMonitorTooSmallDrawsTheLargestScaleThatFits) {
    TvSettingDlg dialog;
    RECT window{}, close{}, work{};
    RunMainDialog(dialog, {[&](CDialog& d) {
                      ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
                      RECT suggested{work.left, work.top, work.left + 1536, work.top + 1203};
                      ::SendMessageA(d.m_hWnd, WM_DPICHANGED, MAKEWPARAM(288, 288), reinterpret_cast<LPARAM>(&suggested));
                      window = WindowRect(d.m_hWnd);
                      close = WindowRect(::GetDlgItem(d.m_hWnd, IDC_CLOSE));
                      d.EndDialog(IDCANCEL);
                  }});
    ASSERT_GE(work.bottom - work.top, 1003) << "a work area this test was not made for";
    EXPECT_EQ(window.right - window.left, 1280);
    EXPECT_EQ(window.bottom - window.top, 1003);
    for (const RECT& r : {window, close}) {
        EXPECT_TRUE(r.left >= work.left && r.top >= work.top && r.right <= work.right && r.bottom <= work.bottom) << r;
    }
}

// At a scale between the art's sets the window shows art shrunk (or enlarged) from the next set;
// it must not mix the key colour into the pixels just inside the outline. Wherever the art's own
// outermost pixels are the navy frame, the window's outermost pixel on the screen is still dark,
// not a light rim between the frame and the desktop.
TEST(MainDialog, TheOutlineKeepsNoLightRimAtScalesBetweenTheArtsSets) {
    constexpr uint32_t kNavy = 0x14264A;
    const auto isDark = [](uint32_t pixel) { return (pixel >> 16) < 100 && ((pixel >> 8) & 0xFF) < 100 && (pixel & 0xFF) < 140; };
    for (const auto& [dpi, artDpi] : {std::pair{120u, 144u}, std::pair{168u, 192u}, std::pair{240u, 288u}}) {
        CBitmap drawn;
        ASSERT_TRUE(LoadSkinBitmap(drawn, IDB_BACKGROUND, artDpi));
        const PixelImage art = ReadPixels(drawn);
        // The art's outermost pixel of a row, from the left or the right: the first not the key.
        const auto artEdge = [&art](int row, bool fromRight) {
            for (int step = 0; step < art.width; ++step) {
                const uint32_t pixel = art.pixels[size_t(row) * art.width + (fromRight ? art.width - 1 - step : step)] & 0xFFFFFF;
                if (pixel != 0xFFFFFF) return pixel;
            }
            return 0xFFFFFFu;
        };
        TvSettingDlg dialog;
        int framed = 0;
        RunMainDialog(dialog, {[&](CDialog& d) {
                          ChangeScale(d, dpi);
                          ::UpdateWindow(d.m_hWnd);
                          PumpMessagesFor(200);
                          const RECT window = WindowRect(d.m_hWnd);
                          const Pixels shown = ScreenPixels(window);
                          HRGN outline = ::CreateRectRgn(0, 0, 0, 0);
                          ::GetWindowRgn(d.m_hWnd, outline);
                          const int width = window.right - window.left, height = window.bottom - window.top;
                          for (int y = 0; y < height; ++y) {
                              const int first = y * int(artDpi) / int(dpi), last = std::min((y + 1) * int(artDpi) / int(dpi), art.height - 1);
                              for (bool fromRight : {false, true}) {
                                  bool navy = true;
                                  for (int row = first; row <= last; ++row) navy = navy && artEdge(row, fromRight) == kNavy;
                                  int x = fromRight ? width - 1 : 0;
                                  while (x >= 0 && x < width && !::PtInRegion(outline, x, y)) x += fromRight ? -1 : 1;
                                  if (!navy || x < 0 || x >= width) continue;
                                  ++framed;
                                  const uint32_t pixel = shown[size_t(y) * width + x];
                                  EXPECT_TRUE(isDark(pixel)) << dpi << " dpi, row " << y << (fromRight ? " right" : " left")
                                                             << ": " << std::hex << pixel;
                              }
                          }
                          ::DeleteObject(outline);
                          d.EndDialog(IDCANCEL);
                      }});
        EXPECT_GT(framed, 50) << dpi << " dpi: the art is framed in navy along much of its outline";
    }
}

// Every button of the table is bound to a skin member (which makes it owner-drawn), stands among
// its siblings in the table's order, and only the pictures are passed over by Tab.
TEST(MainDialog, EveryButtonOfTheTableIsASkinButtonInTabOrder) {
    TvSettingDlg dialog;
    std::vector<int> siblingOrder;
    std::vector<int> notOwnerDrawn, tabStops;
    RunMainDialog(dialog, {[&](CDialog& d) {
                      for (HWND child = ::GetWindow(d.m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
                          const int control = ::GetDlgCtrlID(child);
                          if (!FindMainWindowButton(control)) continue;
                          siblingOrder.push_back(control);
                          const LONG style = ::GetWindowLongA(child, GWL_STYLE);
                          if ((style & BS_TYPEMASK) != BS_OWNERDRAW) notOwnerDrawn.push_back(control);
                          if (style & WS_TABSTOP) tabStops.push_back(control);
                      }
                      d.EndDialog(IDCANCEL);
                  }});
    std::vector<int> table, resolutionAndClose;
    for (const MainWindowButton& button : MainWindowButtons()) {
        table.push_back(button.control);
        if (button.row != ButtonRow::Pictures) resolutionAndClose.push_back(button.control);
    }
    EXPECT_EQ(siblingOrder, table);
    EXPECT_EQ(notOwnerDrawn, std::vector<int>{});
    EXPECT_EQ(tabStops, resolutionAndClose);
}

TEST(MainDialog, TheSurfaceActsAsATitleBar) {
    TvSettingDlg dialog;
    LRESULT onSurface = 0, outside = 0;
    RunMainDialog(dialog, {[&](CDialog& d) {
                      RECT r;
                      ::GetWindowRect(d.m_hWnd, &r);
                      onSurface = ::SendMessageA(d.m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(r.left + 250, r.top + 200));
                      outside = ::SendMessageA(d.m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(r.right + 50, r.bottom + 50));
                      d.EndDialog(IDCANCEL);
                  }});
    EXPECT_EQ(onSurface, HTCAPTION);
    EXPECT_EQ(outside, HTNOWHERE);  // every answer other than HTCLIENT stays as it is
}

TEST(MainDialog, StaticControlsAreTransparentOthersKeepTheDialogBrush) {
    TvSettingDlg dialog;
    LRESULT staticBrush = 0, buttonBrush = 0;
    int staticMode = 0;
    RunMainDialog(dialog, {[&](CDialog& d) {
                      HDC dc = ::CreateCompatibleDC(nullptr);
                      ::SetBkMode(dc, OPAQUE);
                      staticBrush = ::SendMessageA(d.m_hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                   reinterpret_cast<LPARAM>(::GetDlgItem(d.m_hWnd, IDC_ANIMATION)));
                      staticMode = ::GetBkMode(dc);
                      buttonBrush = ::SendMessageA(d.m_hWnd, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc),
                                                   reinterpret_cast<LPARAM>(::GetDlgItem(d.m_hWnd, IDC_640)));
                      ::DeleteDC(dc);
                      d.EndDialog(IDCANCEL);
                  }});
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(staticBrush), ::GetStockObject(NULL_BRUSH));
    EXPECT_EQ(staticMode, TRANSPARENT);
    EXPECT_NE(reinterpret_cast<HGDIOBJ>(buttonBrush), ::GetStockObject(NULL_BRUSH));
}

TEST(MainDialog, ResolutionCommandsStoreTheirModeNames) {
    struct Case {
        int id;
        TvDetectionResult detection;
        const char* mode;
        const char* variant;
    };
    TvDetectionResult nvComponent;
    nvComponent.vendor = AdapterVendor::Nvidia;
    nvComponent.nvInfo.connector = kNvComponent;
    TvDetectionResult atiHdmi;
    atiHdmi.connector = TvConnector::Hdmi;
    const Case cases[] = {
        {IDC_640, {}, "640*480", ""},          {IDC_800, {}, "800*600", ""},
        {IDC_1024, {}, "1024*768", ""},        {IDC_480_SMALL, {}, "480i/480p", ""},
        {IDC_480_LARGE, {}, "480i/480p", ""},
        // No HD connector detected: the pending mode stays as it was, the variant is stored.
        {IDC_720_SMALL, {}, "", "Small"},
        {IDC_1080_LARGE, {}, "", "Large"},
        {IDC_720_LARGE, nvComponent, "720i/720p-C", "Large"},
        {IDC_1080_SMALL, atiHdmi, "1080i/1080p-H", "Small"},
        // Connector pictures have no command.
        {IDC_SVIDEO, {}, "", ""},
    };
    for (const Case& c : cases) {
        CountingDlg dialog;
        CString mode, variant;
        const INT_PTR result = RunMainDialog(dialog, {[&](CDialog& d) {
                                                 TvDetection = c.detection;
                                                 Command(d, c.id);
                                                 mode = dialog.PendingMode();
                                                 variant = dialog.PendingVariant();
                                                 d.EndDialog(IDCANCEL);
                                             }});
        SCOPED_TRACE(testing::Message() << "control " << c.id);
        EXPECT_EQ(result, IDCANCEL) << "the command must not end the dialog";
        EXPECT_STREQ(mode, c.mode);
        EXPECT_STREQ(variant, c.variant);
        EXPECT_EQ(dialog.applies, c.id == IDC_SVIDEO ? 0 : 1) << "each resolution command runs the apply flow once";
    }
}

TEST(MainDialog, CloseButtonEscapeAndEnterOnTheFocusedCloseButtonEndIt) {
    TvSettingDlg byClose;
    EXPECT_EQ(RunMainDialog(byClose, {[](CDialog& d) { Command(d, IDC_CLOSE); }}), IDCANCEL);
    TvSettingDlg byEscape;
    EXPECT_EQ(RunMainDialog(byEscape, {[](CDialog& d) { PressKey(d, VK_ESCAPE); }}), IDCANCEL);
    TvSettingDlg byEnter;  // the close button has the focus when the window opens
    EXPECT_EQ(RunMainDialog(byEnter, {[](CDialog& d) { PressKey(d, VK_RETURN); }}), IDCANCEL);
}

// Wine can deliver a pointer move after the pointer has gone on elsewhere; the button it reaches
// must not light up, or it would stay lit with no leave ever reported.
TEST(MainDialog, AMoveArrivingAfterThePointerLeftLightsNoButton) {
    TvSettingDlg dialog;
    Pixels shown;
    RunMainDialog(dialog, {[](CDialog&) { EXPECT_TRUE(ParkPointer()); },
                           [](CDialog& d) {
                               ::SendMessageA(::GetDlgItem(d.m_hWnd, IDC_640), WM_MOUSEMOVE, 0, MAKELPARAM(60, 13));
                           },
                           [](CDialog&) {},  // painted
                           [&](CDialog& d) {
                               RECT button{};
                               ::GetWindowRect(::GetDlgItem(d.m_hWnd, IDC_640), &button);
                               shown = ScreenPixels(button);
                               d.EndDialog(IDCANCEL);
                           }});
    EXPECT_TRUE(shown == BitmapPixels(IDB_640_NORMAL, 120, 26)) << "the 640x480 button does not show its normal image";
}
