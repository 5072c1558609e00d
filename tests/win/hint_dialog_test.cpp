// The hint popup on a Wine desktop: its template, the picture and outline for each connector,
// the frame it lacks, dragging and the close button under real pointer input, and the font it
// gives its controls. Pixels are read back from the screen.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "confirm/hint_dialog.h"
#include "framework/dialog_template.h"
#include "resource.h"
#include "pixels.h"
#include "real_input.h"
#include "screenshot.h"
#include "win_test_support.h"

bool operator==(const RECT& a, const RECT& b) { return ::EqualRect(&a, &b) != 0; }
std::ostream& operator<<(std::ostream& os, const RECT& r) {
    return os << "(" << r.left << ", " << r.top << ")-(" << r.right << ", " << r.bottom << ")";
}

namespace {

CWinApp g_app("HintDialogTests");

constexpr UINT kHdmiPicture = 178, kComponentPicture = 177;
constexpr UINT kCloseNormal = 175, kCloseHover = 176, kClosePressed = 173;
constexpr int kPictureWidth = 494, kPictureHeight = 270;
// The template's 188 x 131 units and the close button's place at the System font's 8 x 16.
constexpr SIZE kPopupSize{376, 262};
constexpr RECT kCloseButton{348, 6, 363, 21};

RECT WindowRect(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return r;
}

RECT Moved(RECT r, int dx, int dy) {
    ::OffsetRect(&r, dx, dy);
    return r;
}

void LeftButton(bool down) { SendLeftButtonInPlace(down); }

// Moves the pointer as a mouse would, to a screen point.
void MovePointer(int x, int y) { SendMouseAt(MOUSEEVENTF_MOVE, POINT{x, y}); }

// Moves the pointer to a point given in the popup's window coordinates.
void PointAt(CDialog& d, int x, int y) {
    const RECT r = WindowRect(d.m_hWnd);
    MovePointer(r.left + x, r.top + y);
}

bool CursorAt(POINT want) {
    POINT p{};
    return ::GetCursorPos(&p) && p.x == want.x && p.y == want.y;
}

// True when the screen shows that 15 x 15 image where the close button is.
bool ButtonShows(CDialog& d, UINT image) {
    return ScreenPixels(WindowRect(::GetDlgItem(d.m_hWnd, IDOK))) == BitmapPixels(image, 15, 15);
}

// A scripted user: actions, and waits for what the screen or the window should show next. Each
// step runs on the script's ticks (30 ms apart, inside the popup's modal loop) until it holds,
// so input that Wine delivers late does not make the test flaky.
class Scenario {
public:
    Scenario& Do(std::function<void(CDialog&)> action) {
        steps_.push_back({"", [action](CDialog& d) { return action(d), true; }});
        return *this;
    }
    Scenario& WaitUntil(const char* what, std::function<bool(CDialog&)> condition) {
        steps_.push_back({what, std::move(condition)});
        return *this;
    }
    // Runs the dialog; the script's own limit (20 s) ends a popup that stays open.
    INT_PTR Run(CDialog& dialog) {
        return RunModalScript(dialog, std::vector<DialogStep>(600, [this](CDialog& d) {
                                  if (next_ < steps_.size() && steps_[next_].run(d)) ++next_;
                              }));
    }
    // The wait the popup never got past, or "" when every step ran.
    std::string Stuck() const { return next_ < steps_.size() ? steps_[next_].what : ""; }

private:
    struct Step {
        std::string what;
        std::function<bool(CDialog&)> run;
    };
    std::vector<Step> steps_;
    size_t next_ = 0;
};

// Every popup runs over a main window at (300, 200), 900 x 640, which owns it.
class HintDialogTest : public testing::Test {
protected:
    void SetUp() override {
        HWND window = CreatePlainWindow(WS_POPUP | WS_VISIBLE);
        ::SetWindowPos(window, nullptr, 300, 200, 900, 640, SWP_NOZORDER);
        ::UpdateWindow(window);
        mainWindow.Attach(window);
        g_app.m_pMainWnd = &mainWindow;
        ASSERT_TRUE(PlacePointer(POINT{5, 5}, PointerMove::SendInput));  // away from every window
    }
    void TearDown() override {
        g_app.m_pMainWnd = nullptr;
        ::DestroyWindow(mainWindow.Detach());
    }
    CWnd mainWindow;
};

}  // namespace

TEST(HintTemplate, IsAHiddenCaptionlessPopupWithOnlyTheCloseButton) {
    const auto info = TaiwanDialogTemplate(IDD_HINT);
    ASSERT_TRUE(info) << "template 179 in language 1028";
    EXPECT_EQ(info->style, static_cast<uint32_t>(WS_POPUP | DS_SETFONT));
    EXPECT_EQ(info->exStyle, 0u);
    EXPECT_EQ(info->rect.x, 0);
    EXPECT_EQ(info->rect.y, 0);
    EXPECT_EQ(info->rect.cx, 188);
    EXPECT_EQ(info->rect.cy, 131);
    EXPECT_EQ(info->pointSize, 10);
    EXPECT_EQ(info->fontFace, u"System");
    ASSERT_EQ(info->items.size(), 1u);
    const DialogItemInfo& close = info->items[0];
    EXPECT_EQ(close.id, static_cast<uint32_t>(IDOK));
    EXPECT_EQ(close.classOrdinal, 0x80);  // a button
    EXPECT_EQ(close.style, static_cast<uint32_t>(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON));
    EXPECT_EQ(close.exStyle, 0u);
    EXPECT_EQ(close.rect.x, 174);
    EXPECT_EQ(close.rect.y, 3);
    EXPECT_EQ(close.rect.cx, 13);
    EXPECT_EQ(close.rect.cy, 12);
}

TEST_F(HintDialogTest, EachConnectorsPictureShapesThePopupOthersLeaveItPlain) {
    struct Case {
        int screenshot;
        UINT picture;  // 0: none
        const char* screenshotName;
    };
    const Case cases[] = {
        {2, kHdmiPicture, "hint_hdmi"}, {4, kComponentPicture, "hint_component"}, {0, 0, "hint_none"},
        {1, 0, nullptr},                {3, 0, nullptr},
    };
    const uint32_t face = Rgb(::GetSysColor(COLOR_BTNFACE));  // the dialog's and the main window's
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "screenshot " << c.screenshot);
        HintDialog dialog;
        dialog.m_nScreenshot = c.screenshot;
        RECT window{}, client{}, closeButton{};
        HWND owner = nullptr;
        DWORD style = 0, exStyle = 0;
        HRGN outline = ::CreateRectRgn(0, 0, 0, 0);
        int outlineType = ERROR;
        Pixels screen;
        Scenario scenario;
        scenario.WaitUntil("the close button drawn", [&](CDialog& d) { return ButtonShows(d, kCloseNormal); });
        scenario.Do([&](CDialog& d) {
            window = WindowRect(d.m_hWnd);
            ::GetClientRect(d.m_hWnd, &client);
            closeButton = ControlRect(d.m_hWnd, IDOK);
            owner = ::GetWindow(d.m_hWnd, GW_OWNER);
            style = static_cast<DWORD>(::GetWindowLongA(d.m_hWnd, GWL_STYLE));
            exStyle = static_cast<DWORD>(::GetWindowLongA(d.m_hWnd, GWL_EXSTYLE));
            outlineType = ::GetWindowRgn(d.m_hWnd, outline);
            screen = ScreenPixels(window);
            if (c.screenshotName) SaveScreenshotIfAsked(c.screenshotName);
            d.EndDialog(IDCANCEL);
        });
        ASSERT_EQ(scenario.Run(dialog), IDCANCEL) << "stuck at: " << scenario.Stuck();

        // No caption and no frame; a tool window, so no taskbar button; the template's size
        // whatever the picture.
        EXPECT_EQ(style & (WS_CAPTION | WS_BORDER | WS_DLGFRAME | WS_THICKFRAME | WS_SYSMENU), 0u);
        EXPECT_EQ(exStyle, static_cast<DWORD>(WS_EX_TOOLWINDOW));
        EXPECT_EQ(window.right - window.left, kPopupSize.cx);
        EXPECT_EQ(window.bottom - window.top, kPopupSize.cy);
        EXPECT_EQ(client, (RECT{0, 0, kPopupSize.cx, kPopupSize.cy}));
        EXPECT_EQ(closeButton, kCloseButton);
        // Centred over the main window, which owns it.
        EXPECT_EQ(owner, mainWindow.m_hWnd);
        const RECT main = WindowRect(mainWindow.m_hWnd);
        EXPECT_LE(std::abs((window.left + window.right) - (main.left + main.right)), 1);
        EXPECT_LE(std::abs((window.top + window.bottom) - (main.top + main.bottom)), 1);

        // What the screen shows: the picture, or the dialog's face, around the idle close button.
        ASSERT_EQ(screen.size(), static_cast<size_t>(kPopupSize.cx * kPopupSize.cy));
        const Pixels picture = c.picture ? BitmapPixels(c.picture, kPopupSize.cx, kPopupSize.cy) : Pixels();
        const Pixels closeImage = BitmapPixels(kCloseNormal, 15, 15);
        int wrong = 0;
        for (int y = 0; y < kPopupSize.cy; ++y) {
            for (int x = 0; x < kPopupSize.cx; ++x) {
                const bool onButton = x >= kCloseButton.left && x < kCloseButton.right && y >= kCloseButton.top &&
                                      y < kCloseButton.bottom;
                const size_t i = static_cast<size_t>(y * kPopupSize.cx + x);
                uint32_t want = c.picture ? picture[i] : face;
                if (onButton) want = closeImage[(y - kCloseButton.top) * 15 + (x - kCloseButton.left)];
                if (c.picture && x == 0 && y == 0) want = face;  // cut out: the main window shows through
                if (screen[i] != want && wrong++ < 3)
                    ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << screen[i] << ", not "
                                  << want;
            }
        }
        EXPECT_EQ(wrong, 0) << "pixels that differ";

        if (c.picture) {
            ASSERT_NE(picture[0], face) << "the picture's key colour must differ from what lies behind";
            // The whole picture less its top-left pixel, wider and taller than the window.
            HRGN expected = ::CreateRectRgn(0, 0, kPictureWidth, kPictureHeight);
            HRGN corner = ::CreateRectRgn(0, 0, 1, 1);
            ::CombineRgn(expected, expected, corner, RGN_DIFF);
            EXPECT_NE(outlineType, ERROR);
            EXPECT_TRUE(::EqualRgn(outline, expected));
            ::DeleteObject(corner);
            ::DeleteObject(expected);
        } else {
            EXPECT_EQ(outlineType, ERROR) << "no region: the window stays rectangular";
        }
        ::DeleteObject(outline);
    }
}

TEST_F(HintDialogTest, DraggingTheSurfaceMovesThePopup) {
    HintDialog dialog;
    dialog.m_nScreenshot = 2;
    RECT before{}, after{};
    POINT grip{};  // where the surface is taken, in screen coordinates
    auto movedBy = [&](CDialog& d, int dx, int dy) { return WindowRect(d.m_hWnd) == Moved(before, dx, dy); };
    Scenario scenario;
    scenario.Do([&](CDialog& d) {
        before = WindowRect(d.m_hWnd);
        grip = POINT{before.left + 100, before.top + 150};
        MovePointer(grip.x, grip.y);
    });
    scenario.WaitUntil("the pointer on the surface", [&](CDialog&) { return CursorAt(grip); });
    scenario.Do([](CDialog&) { LeftButton(true); });
    scenario.WaitUntil("the move to begin", [](CDialog& d) { return ::GetCapture() == d.m_hWnd; });
    // The pointer is put at its place again on every tick until the popup follows: Wine may hold
    // a single move back until more input arrives.
    auto dragTo = [&](int dx, int dy) {
        return [&, dx, dy](CDialog& d) {
            MovePointer(grip.x + dx, grip.y + dy);
            return movedBy(d, dx, dy);
        };
    };
    scenario.WaitUntil("the popup to follow the pointer", dragTo(20, 10));
    scenario.WaitUntil("the popup to follow further", dragTo(90, 70));
    scenario.Do([](CDialog&) { LeftButton(false); });
    scenario.WaitUntil("the move to end", [](CDialog& d) { return ::GetCapture() != d.m_hWnd; });
    scenario.Do([&](CDialog& d) {
        after = WindowRect(d.m_hWnd);
        d.EndDialog(IDCANCEL);
    });
    EXPECT_EQ(scenario.Run(dialog), IDCANCEL) << "a drag does not end the popup; stuck at: " << scenario.Stuck();
    EXPECT_EQ(after, Moved(before, 90, 70));
}

TEST_F(HintDialogTest, CloseButtonShowsIdleHoverAndPressedImagesAndAClickEndsWithOk) {
    HintDialog dialog;
    dialog.m_nScreenshot = 4;
    RECT buttonWindow{};
    HRGN buttonOutline = ::CreateRectRgn(0, 0, 0, 0);
    Scenario scenario;
    scenario.Do([&](CDialog& d) {
        HWND button = ::GetDlgItem(d.m_hWnd, IDOK);
        buttonWindow = WindowRect(button);
        ::GetWindowRgn(button, buttonOutline);
    });
    scenario.WaitUntil("the idle image", [](CDialog& d) {
        PointAt(d, 200, 200);  // on the picture, clear of the button
        return ButtonShows(d, kCloseNormal);
    });
    scenario.WaitUntil("the hover image", [](CDialog& d) {
        PointAt(d, 355, 13);  // the button's middle
        return ButtonShows(d, kCloseHover);
    });
    scenario.Do([](CDialog&) { LeftButton(true); });
    scenario.WaitUntil("the pressed image", [](CDialog& d) { return ButtonShows(d, kClosePressed); });
    scenario.Do([](CDialog&) { LeftButton(false); });
    scenario.WaitUntil("the click to end the popup", [](CDialog&) { return false; });
    EXPECT_EQ(scenario.Run(dialog), IDOK) << "stuck at: " << scenario.Stuck();
    EXPECT_EQ(buttonWindow.right - buttonWindow.left, 15);
    EXPECT_EQ(buttonWindow.bottom - buttonWindow.top, 15);
    HRGN square = ::CreateRectRgn(0, 0, 15, 15);
    EXPECT_TRUE(::EqualRgn(buttonOutline, square)) << "the whole square belongs to the button";
    ::DeleteObject(square);
    ::DeleteObject(buttonOutline);
}

TEST_F(HintDialogTest, EscapeEndsItWithCancel) {
    HintDialog dialog;
    dialog.m_nScreenshot = 2;
    EXPECT_EQ(RunModalScript(dialog, {[](CDialog& d) { PressKey(d, VK_ESCAPE); }}), IDCANCEL);
}

TEST_F(HintDialogTest, ControlsGetOneFontPerPopupThatOutlivesTheirContexts) {
    struct Case {
        int fontChoice;
        int height;
        const wchar_t* face;
    };
    const Case cases[] = {{0, 14, L"Arial"}, {7, 14, L"Arial"}, {404, 12, L"\u7D30\u660E\u9AD4"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "font choice " << c.fontChoice);
        HGDIOBJ fonts[3] = {};
        HGDIOBJ original = nullptr;
        LRESULT staticBrush = 0, buttonBrush = 0;
        int staticMode = 0;
        LOGFONTW font{};
        {
            HintDialog dialog;
            dialog.m_nFontChoice = c.fontChoice;
            RunModalScript(dialog, {[&](CDialog& d) {
                               HDC dc = ::CreateCompatibleDC(nullptr);
                               original = ::GetCurrentObject(dc, OBJ_FONT);
                               ::SetBkMode(dc, OPAQUE);
                               const WPARAM w = reinterpret_cast<WPARAM>(dc);
                               const LPARAM button = reinterpret_cast<LPARAM>(::GetDlgItem(d.m_hWnd, IDOK));
                               staticBrush = ::SendMessageA(d.m_hWnd, WM_CTLCOLORSTATIC, w, button);
                               staticMode = ::GetBkMode(dc);
                               fonts[0] = ::GetCurrentObject(dc, OBJ_FONT);
                               ::SendMessageA(d.m_hWnd, WM_CTLCOLORSTATIC, w, button);
                               fonts[1] = ::GetCurrentObject(dc, OBJ_FONT);
                               buttonBrush = ::SendMessageA(d.m_hWnd, WM_CTLCOLORBTN, w, button);
                               fonts[2] = ::GetCurrentObject(dc, OBJ_FONT);
                               ::GetObjectW(fonts[2], sizeof font, &font);
                               ::SelectObject(dc, original);
                               ::DeleteDC(dc);
                               d.EndDialog(IDCANCEL);
                           }});
            EXPECT_NE(fonts[0], original);
            EXPECT_EQ(fonts[1], fonts[0]) << "one font for every call";
            EXPECT_EQ(fonts[2], fonts[0]);
            EXPECT_EQ(::GetObjectType(fonts[0]), static_cast<DWORD>(OBJ_FONT)) << "valid while the popup lives";
        }
        EXPECT_EQ(::GetObjectType(fonts[0]), 0u) << "deleted with the popup";
        EXPECT_EQ(font.lfHeight, c.height);
        EXPECT_STREQ(font.lfFaceName, c.face);
        EXPECT_EQ(font.lfWeight, FW_NORMAL);
        EXPECT_EQ(font.lfCharSet, ANSI_CHARSET);
        EXPECT_EQ(font.lfPitchAndFamily, DEFAULT_PITCH | FF_SWISS);
        EXPECT_EQ(reinterpret_cast<HGDIOBJ>(staticBrush), ::GetStockObject(NULL_BRUSH));
        EXPECT_EQ(staticMode, TRANSPARENT);
        EXPECT_NE(buttonBrush, 0);
        EXPECT_NE(reinterpret_cast<HGDIOBJ>(buttonBrush), ::GetStockObject(NULL_BRUSH));
    }
}
