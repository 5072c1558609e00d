// The skin button on real USER and GDI: the pixels of every state read back, masks and window
// outlines, the check and radio rules in a dialog, hover and press under real pointer moves,
// and the tooltip.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "controls/dib_section.h"
#include "controls/scaled_art.h"
#include "controls/skin_button.h"
#include "framework/dialog_template.h"
#include "real_input.h"
#include "test_dialogs.h"
#include "win_test_support.h"

// Found by argument lookup, so in the global namespace like RECT itself.
bool operator==(const RECT& a, const RECT& b) { return ::EqualRect(&a, &b) != 0; }
std::ostream& operator<<(std::ostream& os, const RECT& r) {
    return os << "(" << r.left << ", " << r.top << ")-(" << r.right << ", " << r.bottom << ")";
}

namespace {

CWinApp g_app("SkinButtonTests");

// The program's own bitmaps: a 120 x 26 resolution face in three brightnesses, another face
// used as a focus image, and their solid mask; the 16 x 16 close button and its solid mask.
constexpr UINT kNormal = 129, kPressed = 130, kHover = 131, kFocus = 134, kFaceMask = 132;
constexpr UINT kSmall = 164, kSmallMask = 171;
constexpr int kFaceWidth = 120, kFaceHeight = 26;

using Pixels = std::vector<uint32_t>;  // 0xRRGGBB, rows from the top
constexpr uint32_t kMarker = 0x00C800;  // what a canvas shows before the button draws
constexpr uint32_t kWhite = 0xFFFFFF;

uint32_t SysColour(int index) {
    const COLORREF c = ::GetSysColor(index);
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

// A 32-bit top-down DIB selected into a memory context.
class Canvas {
public:
    Canvas(int width, int height, uint32_t fill) : width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        bitmap_ = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<uint32_t*>(bits);
        dc_ = ::CreateCompatibleDC(nullptr);
        old_ = ::SelectObject(dc_, bitmap_);
        std::fill(bits_, bits_ + width * height, fill);
    }
    ~Canvas() {
        ::SelectObject(dc_, old_);
        ::DeleteDC(dc_);
        ::DeleteObject(bitmap_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return dc_; }
    Pixels pixels() const {
        ::GdiFlush();
        Pixels result(bits_, bits_ + width_ * height_);
        for (uint32_t& p : result) p &= 0xFFFFFF;
        return result;
    }

private:
    int width_, height_;
    HBITMAP bitmap_;
    uint32_t* bits_;
    HDC dc_;
    HGDIOBJ old_;
};

Pixels ResourcePixels(UINT id) {
    HBITMAP bitmap = ::LoadBitmapA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
    BITMAP info{};
    ::GetObjectA(bitmap, sizeof(info), &info);
    Canvas canvas(info.bmWidth, info.bmHeight, 0);
    HDC source = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(source, bitmap);
    ::BitBlt(canvas.dc(), 0, 0, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
    ::SelectObject(source, old);
    ::DeleteDC(source);
    ::DeleteObject(bitmap);
    return canvas.pixels();
}

// What the screen shows of a window.
Pixels ScreenPixels(HWND window) {
    RECT r;
    ::GetWindowRect(window, &r);
    Canvas canvas(r.right - r.left, r.bottom - r.top, 0);
    HDC screen = ::GetDC(nullptr);
    ::BitBlt(canvas.dc(), 0, 0, r.right - r.left, r.bottom - r.top, screen, r.left, r.top, SRCCOPY);
    ::ReleaseDC(nullptr, screen);
    return canvas.pixels();
}

testing::AssertionResult SamePixels(const Pixels& got, const Pixels& want, int width) {
    if (got.size() != want.size())
        return testing::AssertionFailure() << got.size() << " pixels instead of " << want.size();
    for (size_t i = 0; i < got.size(); ++i) {
        if (got[i] != want[i])
            return testing::AssertionFailure() << "first difference at (" << i % width << ", " << i / width
                                               << "): " << std::hex << got[i] << " instead of " << want[i];
    }
    return testing::AssertionSuccess();
}

// The box around every pixel of that colour (empty when there is none).
RECT BoxOf(const Pixels& pixels, int width, uint32_t colour) {
    RECT box{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (size_t i = 0; i < pixels.size(); ++i) {
        if (pixels[i] != colour) continue;
        const int x = static_cast<int>(i % width), y = static_cast<int>(i / width);
        box = RECT{std::min<int>(box.left, x), std::min<int>(box.top, y), std::max<int>(box.right, x + 1),
                   std::max<int>(box.bottom, y + 1)};
    }
    return box.left == INT32_MAX ? RECT{} : box;
}

RECT Moved(RECT r, int dx, int dy) {
    ::OffsetRect(&r, dx, dy);
    return r;
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeout = 3000) {
    const DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start > timeout) return false;
        PumpMessagesFor(20);
    }
    return true;
}

// Moves the pointer to p until the display reports it there, then waits for the state, sending
// the position again on every round: under load Wine sometimes delivers a single synthetic move
// late.
bool MoveUntil(POINT p, const std::function<bool()>& done) {
    return PlacePointer(p) && PumpUntil([&] {
        if (done()) return true;
        ::SetCursorPos(p.x, p.y);
        return false;
    });
}

SIZE WindowSize(HWND window) {
    RECT r;
    ::GetWindowRect(window, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

// A skin button whose members the tests may read and set.
class ProbeButton : public SkinButton {
public:
    using SkinButton::behaviour;
    using SkinButton::checked;
    using SkinButton::disabledImage;
    using SkinButton::drawMode;
    using SkinButton::focusImage;
    using SkinButton::focusInset;
    using SkinButton::hover;
    using SkinButton::hoverImage;
    using SkinButton::maskImage;
    using SkinButton::mouseDown;
    using SkinButton::normalImage;
    using SkinButton::pressedImage;
    HWND TooltipWindow() const { return tooltip.GetSafeHwnd(); }

    // The five faces as they are drawn (each decoded now if it was not yet), then the mask.
    std::vector<HGDIOBJ> Images() {
        std::vector<HGDIOBJ> handles;
        for (LazyBitmap* face : {&normalImage, &pressedImage, &hoverImage, &disabledImage, &focusImage}) {
            const CBitmap* bitmap = face->Get();
            handles.push_back(bitmap ? bitmap->GetSafeHandle() : nullptr);
        }
        handles.push_back(maskImage.GetSafeHandle());
        return handles;
    }

    // What each paint of the window drew, while recording: its state and its pixels.
    struct Drawn {
        UINT state;
        bool hover;
        Pixels pixels;
    };
    bool recording = false;
    std::vector<Drawn> drawn;
    void DrawItem(LPDRAWITEMSTRUCT item) override {
        SkinButton::DrawItem(item);
        if (!recording) return;
        const int width = item->rcItem.right - item->rcItem.left, height = item->rcItem.bottom - item->rcItem.top;
        Canvas copy(width, height, 0);
        ::BitBlt(copy.dc(), 0, 0, width, height, item->hDC, item->rcItem.left, item->rcItem.top, SRCCOPY);
        drawn.push_back({item->itemState, hover, copy.pixels()});
    }

    // Paints the button into a canvas of that size through DrawItem, with the item rectangle
    // at the canvas's top-left corner.
    Pixels Paint(UINT state, SIZE canvasSize, SIZE itemSize, HFONT font = nullptr) {
        Canvas canvas(canvasSize.cx, canvasSize.cy, kMarker);
        if (font) ::SelectObject(canvas.dc(), font);
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_BUTTON;
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = state;
        item.hwndItem = m_hWnd;
        item.hDC = canvas.dc();
        item.rcItem = RECT{0, 0, itemSize.cx, itemSize.cy};
        DrawItem(&item);
        return canvas.pixels();
    }
    Pixels Paint(UINT state, SIZE size, HFONT font = nullptr) { return Paint(state, size, size, font); }
};

// A top-level window that routes its children's notifications through the framework, so that
// owner-drawn children paint through their objects, and that records their clicks.
class ParentWindow : public CWnd {
public:
    int clicks = 0;
    LRESULT checkAtClick = -1;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        if (HIWORD(wParam) != BN_CLICKED) return FALSE;
        ++clicks;
        checkAtClick = ::SendMessageA(reinterpret_cast<HWND>(lParam), BM_GETCHECK, 0, 0);
        return TRUE;
    }
};

// A popup at (100, 100) with a 150 x 40 push button at (20, 20) in it.
class SkinButtonTest : public testing::Test {
protected:
    void SetUp() override {
        HWND window = CreatePlainWindow(WS_POPUP | WS_VISIBLE);
        ASSERT_TRUE(parent.SubclassWindow(window));
        ASSERT_TRUE(button.SubclassWindow(AddButton(BS_PUSHBUTTON, 20)));
        ::SetForegroundWindow(window);
        ::UpdateWindow(window);
    }
    void TearDown() override { ::DestroyWindow(parent.m_hWnd); }

    HWND AddButton(DWORD type, int y) {
        return ::CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | type, 20, y, 150, 40, parent.m_hWnd,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(y)), nullptr, nullptr);
    }
    static POINT CentreOf(HWND window) {
        RECT r;
        ::GetWindowRect(window, &r);
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    static void MoveTo(POINT p) { ::SetCursorPos(p.x, p.y); }
    static void LeftButton(bool down) { SendLeftButtonInPlace(down); }
    // A point on the parent, clear of the buttons.
    POINT BesideTheButton() const {
        RECT r;
        ::GetWindowRect(parent.m_hWnd, &r);
        return POINT{r.right - 20, r.bottom - 20};
    }
    bool ScreenShows(UINT id) { return ScreenPixels(button.m_hWnd) == ResourcePixels(id); }

    ParentWindow parent;
    ProbeButton button;
};

// A plain control that counts the uncheck requests it is sent.
class UncheckCounter : public CWnd {
public:
    int unchecks = 0;

protected:
    DECLARE_MESSAGE_MAP()
    LRESULT OnUncheck(WPARAM, LPARAM) {
        ++unchecks;
        return 0;
    }
};

BEGIN_MESSAGE_MAP(UncheckCounter, CWnd)
    ON_MESSAGE(WM_SKIN_UNCHECK, OnUncheck)
END_MESSAGE_MAP()

class GroupDialog : public CDialog {
public:
    GroupDialog() : CDialog(IDD_TEST_SKIN_GROUPS) {}
    ProbeButton radio1, radio2, hiddenRadio, disabledRadio, toggle, push;
    UncheckCounter plainInGroup, plainInOtherGroup;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, IDC_SKIN_RADIO1, radio1);
        DDX_Control(pDX, IDC_SKIN_RADIO2, radio2);
        DDX_Control(pDX, IDC_SKIN_GROUP_PLAIN, plainInGroup);
        DDX_Control(pDX, IDC_SKIN_RADIO_HIDDEN, hiddenRadio);
        DDX_Control(pDX, IDC_SKIN_RADIO_DISABLED, disabledRadio);
        DDX_Control(pDX, IDC_SKIN_TOGGLE, toggle);
        DDX_Control(pDX, IDC_SKIN_OTHER_PLAIN, plainInOtherGroup);
        DDX_Control(pDX, IDC_SKIN_PUSH, push);
    }
};

LRESULT Check(CWnd& w) { return w.SendMessage(BM_GETCHECK); }

}  // namespace

// ---- Drawing ------------------------------------------------------------------------------

TEST_F(SkinButtonTest, EachStatePaintsItsImage) {
    struct Case {
        const char* name;
        UINT disabledId, focusId;
        UINT state;
        bool hover, checked;
        UINT expected;
    };
    const Case cases[] = {
        {"normal", 0, kFocus, 0, false, false, kNormal},
        {"focused", 0, kFocus, ODS_FOCUS, false, false, kFocus},
        {"hovered", 0, kFocus, 0, true, false, kHover},
        {"hovered and focused", 0, kFocus, ODS_FOCUS, true, false, kHover},
        {"focused without a focus image", 0, 0, ODS_FOCUS, false, false, kNormal},
        {"pressed", 0, kFocus, ODS_SELECTED | ODS_FOCUS, true, false, kPressed},
        {"checked", 0, kFocus, 0, false, true, kPressed},
        {"checked and hovered", 0, kFocus, ODS_FOCUS, true, true, kPressed},
        {"disabled without a disabled image", 0, kFocus, ODS_DISABLED, true, false, kNormal},
        {"disabled and checked", 0, kFocus, ODS_DISABLED, false, true, kNormal},
        {"disabled with its own image", kFocus, 0, ODS_DISABLED | ODS_SELECTED, false, false, kFocus},
    };
    const SIZE size{kFaceWidth, kFaceHeight};
    // Drawn transparently through the solid mask, and copied straight without one.
    for (UINT mask : {kFaceMask, 0u}) {
        for (const Case& c : cases) {
            button.SetBitmaps(kNormal, kPressed, kHover, c.disabledId, c.focusId, mask, 0, 0, 0);
            button.hover = c.hover;
            button.checked = c.checked;
            EXPECT_TRUE(SamePixels(button.Paint(c.state, size), ResourcePixels(c.expected), size.cx))
                << c.name << (mask ? " with a mask" : " without a mask");
        }
    }
    // A push button told to check itself stays unchecked, and paints so.
    button.checked = false;
    button.hover = false;
    button.SendMessage(BM_SETCHECK, TRUE);
    EXPECT_EQ(Check(button), 0);
    EXPECT_TRUE(SamePixels(button.Paint(0, size), ResourcePixels(kNormal), size.cx));
}

TEST_F(SkinButtonTest, CaptionIsCentredMovedWhenPressedAndEmbossedWhenDisabled) {
    ::SetWindowTextA(button.m_hWnd, "Wg");
    button.SetBitmaps(0, 0, 0, 0, 0, 0, 0, 0, 3);  // the face colour, a focus rectangle 3 pixels in
    const SIZE size{80, 30};
    // Glyphs without smoothing, so that each caption's pixels have exactly its colour.
    HFONT font = ::CreateFontA(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, "Tahoma");
    const Pixels normal = button.Paint(ODS_FOCUS, size, font);
    const Pixels pressed = button.Paint(ODS_FOCUS | ODS_SELECTED, size, font);
    const Pixels disabled = button.Paint(ODS_FOCUS | ODS_DISABLED, size, font);
    ::DeleteObject(font);  // the canvases that held it are gone
    const uint32_t face = SysColour(COLOR_BTNFACE);

    const RECT text = BoxOf(normal, size.cx, SysColour(COLOR_BTNTEXT));
    ASSERT_FALSE(::IsRectEmpty(&text));
    // Centred: the glyphs' ink (a descender included) lies within 3 pixels of the middle.
    EXPECT_LE(std::abs((text.left + text.right) - size.cx), 6) << text;
    EXPECT_LE(std::abs((text.top + text.bottom) - size.cy), 6) << text;
    EXPECT_EQ(BoxOf(pressed, size.cx, SysColour(COLOR_BTNTEXT)), Moved(text, 1, 1));
    // Disabled: a light caption in place with a grey one a pixel up and left over it.
    const RECT darkInDisabled = BoxOf(disabled, size.cx, SysColour(COLOR_BTNTEXT));
    EXPECT_TRUE(::IsRectEmpty(&darkInDisabled));
    EXPECT_EQ(BoxOf(disabled, size.cx, SysColour(COLOR_GRAYTEXT)), Moved(text, -1, -1));
    const RECT light = BoxOf(disabled, size.cx, SysColour(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(light.right, text.right);
    EXPECT_EQ(light.bottom, text.bottom);

    // The focus rectangle runs 3 pixels inside the edges, and not when disabled.
    auto rowTouched = [&](const Pixels& p, int y) {
        return std::any_of(p.begin() + y * size.cx, p.begin() + (y + 1) * size.cx, [&](uint32_t c) { return c != face; });
    };
    EXPECT_TRUE(rowTouched(normal, 3));
    EXPECT_TRUE(rowTouched(pressed, size.cy - 4));
    EXPECT_FALSE(rowTouched(normal, 2));
    EXPECT_FALSE(rowTouched(pressed, size.cy - 3));
    EXPECT_FALSE(rowTouched(disabled, 3));
    EXPECT_EQ(normal[3 * size.cx + 2], face);
}

TEST_F(SkinButtonTest, DrawModesPlaceTheImageAndOutOfRangeModesAreClamped) {
    const Pixels small = ResourcePixels(kSmall);
    const uint32_t face = SysColour(COLOR_BTNFACE);
    struct Case {
        short modeArgument;
        DrawMode mode;
        SIZE item;
        std::function<uint32_t(int x, int y)> expected;  // inside the item rectangle
    };
    const Case cases[] = {
        // Tiles from the top-left corner, the last column and row cut at the edges.
        {2, DrawMode::Tile, {40, 24}, [&](int x, int y) { return small[(y % 16) * 16 + x % 16]; }},
        {7, DrawMode::Tile, {40, 24}, [&](int x, int y) { return small[(y % 16) * 16 + x % 16]; }},
        // The whole image to the whole rectangle.
        {1, DrawMode::Stretch, {32, 32}, [&](int x, int y) { return small[(y / 2) * 16 + x / 2]; }},
        // 1:1 from the top-left corner; the face colour where the image does not reach.
        {0, DrawMode::Copy, {40, 24}, [&](int x, int y) { return x < 16 && y < 16 ? small[y * 16 + x] : face; }},
        {-1, DrawMode::Copy, {40, 24}, [&](int x, int y) { return x < 16 && y < 16 ? small[y * 16 + x] : face; }},
    };
    const SIZE canvas{44, 36};
    for (const Case& c : cases) {
        button.SetBitmaps(kSmall, 0, 0, 0, 0, 0, c.modeArgument, 0, 0);
        EXPECT_EQ(button.drawMode, c.mode) << c.modeArgument;
        Pixels want(canvas.cx * canvas.cy, kMarker);  // nothing outside the item rectangle
        for (int y = 0; y < c.item.cy; ++y)
            for (int x = 0; x < c.item.cx; ++x) want[y * canvas.cx + x] = c.expected(x, y);
        EXPECT_TRUE(SamePixels(button.Paint(0, canvas, c.item), want, canvas.cx)) << "mode " << c.modeArgument;
    }
    button.SetBitmaps(kSmall, 0, 0, 0, 0, 0, 0, 0, -4);
    EXPECT_EQ(button.focusInset, 0);
}

TEST_F(SkinButtonTest, AMaskKeepsTheBackgroundWhereItIsWhiteAndCutsTheWindow) {
    const Pixels small = ResourcePixels(kSmall);
    const Pixels mask = ResourcePixels(IDB_TEST_HOLED_MASK);
    button.SetBitmaps(kSmall, 0, 0, 0, 0, IDB_TEST_HOLED_MASK, 0, 0, 0);

    Pixels want(16 * 16);
    for (size_t i = 0; i < want.size(); ++i) want[i] = mask[i] == kWhite ? kMarker : small[i];
    EXPECT_TRUE(SamePixels(button.Paint(0, {16, 16}), want, 16));
    // Stretched, the mask is stretched with its image.
    button.SetBitmaps(kSmall, 0, 0, 0, 0, IDB_TEST_HOLED_MASK, 1, 0, 0);
    Pixels wantStretched(32 * 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) wantStretched[y * 32 + x] = want[(y / 2) * 16 + x / 2];
    EXPECT_TRUE(SamePixels(button.Paint(0, {32, 32}), wantStretched, 32));

    // The window is exactly the mask's non-white pixels.
    HRGN shape = ::CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(::GetWindowRgn(button.m_hWnd, shape), ERROR);
    int mismatches = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) mismatches += (::PtInRegion(shape, x, y) != 0) != (mask[y * 16 + x] != kWhite);
    EXPECT_EQ(mismatches, 0);
    EXPECT_FALSE(::PtInRegion(shape, 15, 4));  // white after a black run, at the right edge
    EXPECT_TRUE(::PtInRegion(shape, 15, 5));   // black after a white pixel, at the right edge
    EXPECT_FALSE(::PtInRegion(shape, 16, 5));
    ::DeleteObject(shape);
}

TEST_F(SkinButtonTest, OnlyCopyModeTakesTheMasksSizeAndNoMaskLeavesRegionAndSizeAlone) {
    HWND w = button.m_hWnd;
    HRGN shape = ::CreateRectRgn(0, 0, 0, 0);
    auto windowRegionBox = [&] {
        RECT box{};
        if (::GetWindowRgn(w, shape) == ERROR) return box;
        ::GetRgnBox(shape, &box);
        return box;
    };
    // Stretch and Tile shape the window but keep its size.
    for (short mode : {1, 2}) {
        button.SetBitmaps(kNormal, 0, 0, 0, 0, kSmallMask, mode, 0, 0);
        EXPECT_EQ(WindowSize(w).cx, 150) << mode;
        EXPECT_EQ(WindowSize(w).cy, 40) << mode;
        EXPECT_EQ(windowRegionBox(), (RECT{0, 0, 16, 16})) << mode;
    }
    // Copy takes the mask's size; its place stays.
    RECT before;
    ::GetWindowRect(w, &before);
    button.SetBitmaps(kSmall, 0, 0, 0, 0, IDB_TEST_HOLED_MASK, 0, 0, 0);
    RECT after;
    ::GetWindowRect(w, &after);
    EXPECT_EQ(after, (RECT{before.left, before.top, before.left + 16, before.top + 16}));
    HRGN holed = ::CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(::GetWindowRgn(w, holed), ERROR);

    // Every id 0: no images, a face-coloured button, region and size as they were.
    button.SetBitmaps(0, 0, 0, 0, 0, 0, 0, 0, 0);
    for (HGDIOBJ image : button.Images()) EXPECT_EQ(image, nullptr);
    EXPECT_TRUE(SamePixels(button.Paint(0, {16, 16}), Pixels(16 * 16, SysColour(COLOR_BTNFACE)), 16));
    ASSERT_NE(::GetWindowRgn(w, shape), ERROR);
    EXPECT_TRUE(::EqualRgn(shape, holed));
    EXPECT_EQ(WindowSize(w).cx, 16);

    // Images without a mask: the old region stays, but drawing is no longer transparent.
    button.SetBitmaps(kSmall, 0, 0, 0, 0, 0, 0, 0, 0);
    ASSERT_NE(::GetWindowRgn(w, shape), ERROR);
    EXPECT_TRUE(::EqualRgn(shape, holed));
    EXPECT_TRUE(SamePixels(button.Paint(0, {16, 16}), ResourcePixels(kSmall), 16));

    // A new mask replaces the region.
    button.SetBitmaps(kSmall, 0, 0, 0, 0, kSmallMask, 0, 0, 0);
    EXPECT_EQ(windowRegionBox(), (RECT{0, 0, 16, 16}));
    EXPECT_TRUE(::PtInRegion(shape, 15, 4));
    ::DeleteObject(holed);
    ::DeleteObject(shape);
}

TEST_F(SkinButtonTest, DressedAgainWithTheSameMaskItKeepsItsOutlineAndShowsItsNewImages) {
    button.SetBitmaps(kNormal, 0, 0, 0, 0, kFaceMask, 0, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return ScreenShows(kNormal); }));
    HRGN before = ::CreateRectRgn(0, 0, 0, 0), after = ::CreateRectRgn(0, 0, 0, 0);
    ::GetWindowRgn(button.m_hWnd, before);
    button.SetBitmaps(kHover, 0, 0, 0, 0, kFaceMask, 0, 0, 0);
    ::GetWindowRgn(button.m_hWnd, after);
    EXPECT_TRUE(::EqualRgn(before, after));
    EXPECT_TRUE(PumpUntil([&] { return ScreenShows(kHover); })) << "the new image is not shown";
    ::DeleteObject(before);
    ::DeleteObject(after);
}

TEST_F(SkinButtonTest, ImagesAreSharedFromTheStoreAndDeletedWhenTheLastHolderLetsGo) {
    EXPECT_TRUE(button.SetBitmaps(kNormal, kPressed, kHover, 0, kFocus, kFaceMask, 0, 0, 0));
    // The mask is taken at once, for the outline; a face only when it is first drawn.
    EXPECT_TRUE(IsImageStored(kFaceMask));
    for (UINT face : {kNormal, kPressed, kHover, kFocus}) EXPECT_FALSE(IsImageStored(face)) << face;
    const std::vector<HGDIOBJ> first = button.Images();
    for (HGDIOBJ image : first) ASSERT_NE(image, nullptr);
    for (UINT face : {kNormal, kPressed, kHover, kFocus}) EXPECT_TRUE(IsImageStored(face)) << face;
    // The disabled image falls back to the normal one: one decoded bitmap, held twice.
    EXPECT_EQ(button.disabledImage.GetSafeHandle(), button.normalImage.GetSafeHandle());
    {
        // Another button showing the same resource holds the same bitmap, which outlives it.
        ProbeButton other;
        other.SetBitmaps(kNormal, 0, 0, 0, 0, 0, 0, 0, 0);
        EXPECT_EQ(other.Images()[0], button.normalImage.GetSafeHandle());
    }
    EXPECT_NE(::GetObjectType(button.normalImage.GetSafeHandle()), 0u);
    // Named again, a face the button holds stays held.
    button.SetBitmaps(kNormal, kPressed, kHover, 0, kFocus, kFaceMask, 0, 0, 0);
    EXPECT_EQ(button.normalImage.GetSafeHandle(), first[0]);

    EXPECT_FALSE(button.SetBitmaps(kSmall, 999, 0, 0, 0, 0, 0, 0, 0));  // 999 is no bitmap
    EXPECT_EQ(button.Images()[1], nullptr);
    for (HGDIOBJ old : first) EXPECT_EQ(::GetObjectType(old), 0u);
    EXPECT_FALSE(button.SetBitmaps(kSmall, 0, 0, 0, 0, 999, 0, 0, 0));  // nor as a mask

    std::vector<HGDIOBJ> owned;
    {
        ProbeButton unattached;
        unattached.SetBitmaps(kNormal, kPressed, kHover, 0, kFocus, kFaceMask, 0, 0, 0);
        owned = unattached.Images();
    }
    for (HGDIOBJ old : owned) EXPECT_EQ(::GetObjectType(old), 0u);
}

// Each face is decoded when first drawn; the first paint in its state already shows it, at 100 %
// as at 200 %: on the first hover, the first press, when first disabled and at the first focus
// (with the focus ring over the focus image).
TEST_F(SkinButtonTest, EachFaceIsMadeOnFirstUseAndItsFirstPaintShowsIt) {
    constexpr UINT kDisabled = 147;
    struct Case {
        const char* name;
        UINT face;
        std::function<bool(const ProbeButton::Drawn&)> inState;
        std::function<void()> reach;  // brings the button into the state
        std::function<void()> leave;
    };
    const Case cases[] = {
        {"hover", kHover, [](const ProbeButton::Drawn& d) { return d.hover; },
         [&] { MoveUntil(CentreOf(button.m_hWnd), [&] { return button.hover; }); },
         [&] { MoveUntil(BesideTheButton(), [&] { return !button.hover; }); }},
        {"pressed", kPressed, [](const ProbeButton::Drawn& d) { return (d.state & ODS_SELECTED) != 0; },
         [&] { LeftButton(true); },
         [&] {
             MoveUntil(BesideTheButton(), [&] { return !(button.SendMessage(BM_GETSTATE) & BST_PUSHED); });
             LeftButton(false);
             PumpUntil([&] { return !button.mouseDown; });
         }},
        {"disabled", kDisabled, [](const ProbeButton::Drawn& d) { return (d.state & ODS_DISABLED) != 0; },
         [&] { button.EnableWindow(FALSE); }, [&] { button.EnableWindow(TRUE); }},
        {"focused", kFocus, [](const ProbeButton::Drawn& d) { return (d.state & ODS_FOCUS) != 0; },
         [&] { ::SetFocus(button.m_hWnd); }, [&] { ::SetFocus(parent.m_hWnd); }},
    };
    button.SetFocusRing(true);
    SkinButton::SetFocusMarksHidden(parent.m_hWnd, false);
    for (UINT dpi : {96u, 192u}) {
        AfxSetWindowDpi(parent.m_hWnd, dpi);
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.name << " at " << dpi << " dpi");
            // The pressed face is seen from under the pointer, so the pointer rests there first.
            if (c.face == kPressed) {
                ASSERT_TRUE(MoveUntil(CentreOf(button.m_hWnd), [&] { return button.hover; }));
            }
            button.SetBitmaps(0, 0, 0, 0, 0, 0, 0, 0, 0);  // lets go of every face
            button.SetBitmaps(kNormal, kPressed, kHover, kDisabled, kFocus, kFaceMask, 0, 0, 0);
            ::RedrawWindow(button.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            ASSERT_FALSE(IsImageStored(c.face, dpi)) << "made before its first use";
            button.drawn.clear();
            button.recording = true;
            c.reach();
            const auto firstInState = [&] {
                for (const ProbeButton::Drawn& d : button.drawn)
                    if (c.inState(d)) return &d;
                return static_cast<const ProbeButton::Drawn*>(nullptr);
            };
            EXPECT_TRUE(PumpUntil([&] { return firstInState() != nullptr; }));
            button.recording = false;
            const ProbeButton::Drawn* first = firstInState();
            ASSERT_NE(first, nullptr);
            HBITMAP art = dpi == kDefaultDpi ? ::LoadBitmapA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(c.face))
                                             : LoadScaledArt(::GetModuleHandleA(nullptr), c.face, dpi);
            const PixelImage face = ReadPixels(art);
            ::DeleteObject(art);
            ASSERT_EQ(first->pixels.size(), face.pixels.size());
            // A focused button (a press takes the focus) wears the ring along its edge: the face
            // shows inside it, the ring's bright line on it.
            const int ring = (first->state & ODS_FOCUS) ? ScaleToDpi(4, dpi) : 0;
            for (int y = ring; y < face.height - ring; ++y) {
                for (int x = ring; x < face.width - ring; ++x) {
                    ASSERT_EQ(first->pixels[size_t(y) * face.width + x], face.pixels[size_t(y) * face.width + x])
                        << "at (" << x << ", " << y << ")";
                }
            }
            if (ring) {
                EXPECT_EQ(first->pixels[size_t(ScaleToDpi(2, dpi)) * face.width + face.width / 2], 0xFFCC00u);
            }
            c.leave();
        }
    }
}

// ---- Behaviour and check groups -----------------------------------------------------------

TEST_F(SkinButtonTest, TheTemplatesButtonTypeGivesTheBehaviourAndTheButtonBecomesOwnerDrawn) {
    struct Case {
        DWORD type;
        ButtonBehaviour behaviour;
    };
    const Case cases[] = {
        {BS_PUSHBUTTON, ButtonBehaviour::Push},      {BS_DEFPUSHBUTTON, ButtonBehaviour::Push},
        {BS_CHECKBOX, ButtonBehaviour::Push},        {BS_AUTOCHECKBOX, ButtonBehaviour::Toggle},
        {BS_RADIOBUTTON, ButtonBehaviour::Push},     {BS_3STATE, ButtonBehaviour::Push},
        {BS_AUTO3STATE, ButtonBehaviour::Push},      {BS_AUTORADIOBUTTON, ButtonBehaviour::Radio},
        {BS_OWNERDRAW, ButtonBehaviour::Toggle},     {BS_USERBUTTON, ButtonBehaviour::Push},
    };
    for (const Case& c : cases) {
        ProbeButton probe;
        HWND w = AddButton(c.type, 70);
        ASSERT_TRUE(probe.SubclassWindow(w));
        EXPECT_EQ(probe.behaviour, c.behaviour) << "type " << c.type;
        EXPECT_EQ(probe.GetStyle() & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW)) << "type " << c.type;
        probe.SendMessage(BM_SETCHECK, TRUE);
        EXPECT_EQ(Check(probe), c.behaviour == ButtonBehaviour::Push ? 0 : 1) << "type " << c.type;
        // The space bar flips a toggle's check on every key-down, repeats included, and sets a radio's.
        probe.SendMessage(WM_KEYDOWN, VK_SPACE, 1);
        probe.SendMessage(WM_KEYDOWN, VK_SPACE, 0x40000001);
        probe.SendMessage(WM_KEYDOWN, VK_SPACE, 0x40000001);
        EXPECT_EQ(Check(probe), c.behaviour == ButtonBehaviour::Toggle ? 0 : c.behaviour == ButtonBehaviour::Radio)
            << "type " << c.type;
        ::DestroyWindow(w);
    }
}

TEST(SkinButtonGroups, ARadioUnchecksTheRestOfItsGroupAndTheWalkAlwaysEnds) {
    GroupDialog d;
    struct Seen {
        LRESULT radio1 = -1, radio2 = -1, hidden = -1, disabled = -1, toggle = -1;
        int inGroup = -1, otherGroup = -1;
    };
    std::vector<Seen> seen;
    auto record = [&] {
        seen.push_back(Seen{Check(d.radio1), Check(d.radio2), Check(d.hiddenRadio), Check(d.disabledRadio),
                            Check(d.toggle), d.plainInGroup.unchecks, d.plainInOtherGroup.unchecks});
    };
    bool repaintForNothing = true, repaintForACheck = false;
    // Each step runs after the messages posted by the one before have been handled.
    std::vector<DialogStep> steps = {
        [&](CDialog&) { d.radio1.SendMessage(BM_SETCHECK, TRUE); },
        [&](CDialog&) {
            record();  // [0]
            d.radio2.SendMessage(BM_SETCHECK, TRUE);
        },
        [&](CDialog&) {
            record();  // [1]
            d.radio2.SendMessage(BM_SETCHECK, FALSE);
        },
        [&](CDialog&) {
            record();  // [2]
            d.toggle.SendMessage(BM_SETCHECK, TRUE);
            d.radio1.SendMessage(BM_SETCHECK, TRUE);
        },
        [&](CDialog&) {
            record();  // [3]
            d.hiddenRadio.SendMessage(BM_SETCHECK, TRUE);
        },
        [&](CDialog&) {
            record();  // [4]
            d.radio2.SendMessage(BM_SETCHECK, TRUE);
        },
        [&](CDialog&) {
            record();  // [5]
            d.disabledRadio.SendMessage(BM_SETCHECK, TRUE);
        },
        [&](CDialog& dialog) {
            record();  // [6]
            ::UpdateWindow(dialog.m_hWnd);
            d.radio1.SendMessage(WM_SKIN_UNCHECK);  // not checked
            repaintForNothing = ::GetUpdateRect(d.radio1.m_hWnd, nullptr, FALSE);
            d.disabledRadio.SendMessage(WM_SKIN_UNCHECK);
            repaintForACheck = ::GetUpdateRect(d.disabledRadio.m_hWnd, nullptr, FALSE);
            dialog.EndDialog(IDOK);
        },
    };
    ASSERT_EQ(RunModalScript(d, std::move(steps)), IDOK);
    ASSERT_EQ(seen.size(), 7u);
    // The posted uncheck reaches each visible, enabled control of the group once, skin button
    // or not, and nothing outside the group; a toggle button posts nothing.
    EXPECT_EQ(seen[0].radio1, 1);
    EXPECT_EQ(seen[0].inGroup, 1);
    EXPECT_EQ(seen[1].radio1, 0);
    EXPECT_EQ(seen[1].radio2, 1);
    EXPECT_EQ(seen[1].inGroup, 2);
    EXPECT_EQ(seen[2].radio2, 0);  // unchecking tells nobody
    EXPECT_EQ(seen[2].inGroup, 2);
    EXPECT_EQ(seen[3].toggle, 1);
    EXPECT_EQ(seen[3].radio1, 1);
    EXPECT_EQ(seen[3].otherGroup, 0);
    // A hidden or disabled radio is passed over by the group's walk, which still ends.
    EXPECT_EQ(seen[4].hidden, 1);
    EXPECT_EQ(seen[4].radio1, 0);
    EXPECT_EQ(seen[4].inGroup, 4);
    EXPECT_EQ(seen[5].radio2, 1);
    EXPECT_EQ(seen[5].hidden, 1);  // the walk passes over it, so it keeps its check
    EXPECT_EQ(seen[6].disabled, 1);
    EXPECT_EQ(seen[6].radio2, 0);
    EXPECT_EQ(seen[6].inGroup, 6);
    EXPECT_EQ(seen[6].toggle, 1);
    EXPECT_EQ(seen[6].otherGroup, 0);
    EXPECT_FALSE(repaintForNothing);
    EXPECT_TRUE(repaintForACheck);
}

// ---- Pointer and tooltip ------------------------------------------------------------------

TEST_F(SkinButtonTest, HoverShowsTheHoverImageUntilThePointerLeaves) {
    button.SetBitmaps(kNormal, kPressed, kHover, 0, 0, kFaceMask, 0, 0, 0);
    EXPECT_TRUE(MoveUntil(BesideTheButton(), [&] { return ScreenShows(kNormal); }));
    EXPECT_TRUE(MoveUntil(CentreOf(button.m_hWnd), [&] { return button.hover && ScreenShows(kHover); }));
    EXPECT_TRUE(MoveUntil(BesideTheButton(), [&] { return !button.hover && ScreenShows(kNormal); }));
}

TEST_F(SkinButtonTest, AHeldButtonLooksPushedOnlyWhileThePointerIsOverIt) {
    button.SetBitmaps(kNormal, kPressed, kHover, 0, 0, kFaceMask, 0, 0, 0);
    auto pushed = [&] { return (button.SendMessage(BM_GETSTATE) & BST_PUSHED) != 0; };
    ASSERT_TRUE(MoveUntil(CentreOf(button.m_hWnd), [&] { return button.hover; }));
    LeftButton(true);
    EXPECT_TRUE(PumpUntil([&] { return button.mouseDown && !button.hover && pushed() && ScreenShows(kPressed); }));
    // Held outside: not pushed, and no hover while held.
    EXPECT_TRUE(MoveUntil(BesideTheButton(), [&] { return !pushed() && ScreenShows(kNormal); }));
    EXPECT_FALSE(button.hover);
    // Back over it.
    EXPECT_TRUE(MoveUntil(CentreOf(button.m_hWnd), [&] { return pushed() && ScreenShows(kPressed); }));
    EXPECT_FALSE(button.hover);
    ASSERT_TRUE(MoveUntil(BesideTheButton(), [&] { return !pushed(); }));
    LeftButton(false);  // released elsewhere: no click
    EXPECT_TRUE(PumpUntil([&] { return !button.mouseDown && ::GetCapture() == nullptr; }));
    EXPECT_EQ(parent.clicks, 0);

    ASSERT_TRUE(MoveUntil(CentreOf(button.m_hWnd), [&] { return button.hover; }));
    LeftButton(true);
    ASSERT_TRUE(PumpUntil([&] { return pushed(); }));
    LeftButton(false);
    EXPECT_TRUE(PumpUntil([&] { return parent.clicks == 1; }));
    EXPECT_FALSE(button.mouseDown);

    // Held while the focus goes elsewhere: the button lets the pointer go and forgets the press.
    LeftButton(true);
    ASSERT_TRUE(PumpUntil([&] { return button.mouseDown && ::GetCapture() == button.m_hWnd; }));
    ::SetFocus(parent.m_hWnd);
    EXPECT_TRUE(PumpUntil([&] { return !button.mouseDown && ::GetCapture() == nullptr; }));
    LeftButton(false);
    EXPECT_TRUE(PumpUntil([&] { return parent.clicks == 1; }));
}

TEST_F(SkinButtonTest, AToggleFlipsOnReleaseOverItBeforeTheClickIsReported) {
    ProbeButton toggle;
    ASSERT_TRUE(toggle.SubclassWindow(AddButton(BS_AUTOCHECKBOX, 80)));
    toggle.SetBitmaps(kNormal, kPressed, kHover, 0, 0, kFaceMask, 0, 0, 0);
    ASSERT_TRUE(MoveUntil(CentreOf(toggle.m_hWnd), [&] { return toggle.hover; }));
    LeftButton(true);
    ASSERT_TRUE(PumpUntil([&] { return toggle.mouseDown; }));
    LeftButton(false);
    ASSERT_TRUE(PumpUntil([&] { return parent.clicks == 1; }));
    EXPECT_EQ(parent.checkAtClick, 1);  // the parent already saw the new check
    EXPECT_EQ(Check(toggle), 1);
    // A release over it that follows no press on it flips the check, with no click.
    toggle.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(Check(toggle), 0);
    // A release whose point lies on another window changes nothing.
    toggle.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 200));
    EXPECT_EQ(Check(toggle), 0);
    PumpMessagesFor(50);
    EXPECT_EQ(parent.clicks, 1);
    ::DestroyWindow(toggle.m_hWnd);
}

TEST_F(SkinButtonTest, TheTooltipIsMadeWhenThePointerFirstComesUpdatedInPlaceAndGoesWithIt) {
    EXPECT_EQ(button.TooltipWindow(), nullptr);
    button.SetTooltipText("S-Video");
    button.SetTooltipText("HDMI");
    EXPECT_EQ(button.TooltipWindow(), nullptr) << "no tooltip window before the pointer comes";

    // The button relays the pointer's moves, so the tip shows while the pointer rests on it.
    MoveTo(BesideTheButton());
    PumpMessagesFor(100);
    EXPECT_EQ(button.TooltipWindow(), nullptr);
    MoveTo(CentreOf(button.m_hWnd));
    EXPECT_TRUE(PumpUntil([&] { return button.TooltipWindow() && ::IsWindowVisible(button.TooltipWindow()); }));
    HWND tip = button.TooltipWindow();
    ASSERT_NE(tip, nullptr);
    button.SetTooltipText("Component");
    EXPECT_EQ(button.TooltipWindow(), tip);
    EXPECT_EQ(::SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    char text[80] = {};
    TOOLINFOA info{};
    info.cbSize = sizeof(info);
    info.hwnd = parent.m_hWnd;
    info.uId = reinterpret_cast<UINT_PTR>(button.m_hWnd);
    info.lpszText = text;
    ::SendMessageA(tip, TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ(text, "Component");

    // A button without a text makes no tooltip; the tooltip window goes with the button object,
    // or before it with the button's owner.
    HWND otherTip = nullptr;
    {
        ProbeButton other;
        other.SubclassWindow(AddButton(BS_PUSHBUTTON, 80));
        other.SendMessage(WM_MOUSEMOVE, 0, 0);
        EXPECT_EQ(other.TooltipWindow(), nullptr);
        other.SetTooltipText("Composite");
        other.SendMessage(WM_MOUSEMOVE, 0, 0);
        otherTip = other.TooltipWindow();
        ASSERT_TRUE(::IsWindow(otherTip));
    }
    EXPECT_FALSE(::IsWindow(otherTip));
    ::DestroyWindow(parent.m_hWnd);
    EXPECT_FALSE(::IsWindow(tip));
    EXPECT_EQ(button.TooltipWindow(), nullptr);
}
