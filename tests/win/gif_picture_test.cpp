// The animated picture control on Wine's USER, GDI and picture decoder: sizes, the still
// picture, the shipped animation on the canvas, disposal, stopping, a worker that does not
// stop, handles and GDI objects over many play/stop cycles, and a dialog closed while a frame waits.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <set>
#include <vector>

#include "controls/gif_picture_ctrl.h"
#include "gif_builder.h"
#include "process_counts.h"
#include "screenshot.h"
#include "test_dialogs.h"
#include "win_test_support.h"

using namespace gif;

namespace {

CWinApp g_app("GifPictureTests");

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;
const std::vector<uint32_t> kPalette{kRed, kGreen, kBlue, 0xFFFFFF};

uint32_t Rgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

// The control with its canvas and worker state in reach of the tests.
class ProbeCtrl : public GifPictureCtrl {
public:
    uint32_t CanvasPixel(int x, int y) {
        CSingleLock lock(&m_scene->m_canvasLock, TRUE);
        return Rgb(::GetPixel(m_scene->m_canvas, x, y));
    }
    std::vector<uint32_t> Canvas() {
        std::vector<uint32_t> pixels;
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x) pixels.push_back(CanvasPixel(x, y));
        return pixels;
    }
    std::vector<GifFrameEntry>& Frames() { return m_scene->m_frames; }
    // Decodes every frame here, as the worker would, before a test changes the frames.
    void DecodeAll() { DecodePendingFrames(*m_scene); }
    const void* SceneId() const { return m_scene.get(); }
    HANDLE Thread() const { return m_thread; }
    SIZE WindowSize() const {
        RECT r;
        ::GetWindowRect(m_hWnd, &r);
        return SIZE{r.right - r.left, r.bottom - r.top};
    }
    BOOL Load(const Bytes& bytes) {
        HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        std::memcpy(::GlobalLock(block), bytes.data(), bytes.size());
        ::GlobalUnlock(block);
        const BOOL loaded = LoadFromMemory(block, static_cast<DWORD>(bytes.size()));
        ::GlobalFree(block);
        return loaded;
    }
};

// A parent window with the control as its child, as a dialog would hold it.
class GifPicture : public ::testing::Test {
protected:
    void SetUp() override {
        ::CoInitialize(nullptr);
        parent = CreatePlainWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
        HWND child = ::CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE | SS_BLACKRECT, 10, 10, 54, 40, parent,
                                       reinterpret_cast<HMENU>(1007), ::GetModuleHandleA(nullptr), nullptr);
        ASSERT_TRUE(control.SubclassWindow(child));
    }
    void TearDown() override { ::DestroyWindow(parent); }

    // Pumps messages until the condition holds; false after the time is up.
    template <typename Condition>
    bool WaitFor(Condition condition, DWORD milliseconds = 3000) {
        for (const DWORD start = ::GetTickCount(); ::GetTickCount() - start < milliseconds;) {
            if (condition()) return true;
            PumpMessagesFor(10);
        }
        return condition();
    }

    HWND parent = nullptr;
    ProbeCtrl control;
};

// A 24-bit BMP file of the given size with the colour (0xRRGGBB) of each pixel.
Bytes BmpFile(int width, int height, const std::function<uint32_t(int x, int y)>& colour) {
    const int stride = (width * 3 + 3) & ~3;
    Bytes out{'B', 'M'};
    auto put32 = [&](uint32_t v) { PutU16(out, v & 0xFFFF), PutU16(out, v >> 16); };
    put32(54 + stride * height), put32(0), put32(54);
    put32(40), put32(width), put32(height), PutU16(out, 1), PutU16(out, 24);
    for (int i = 0; i < 6; ++i) put32(0);
    for (int y = height - 1; y >= 0; --y) {  // rows bottom-up
        for (int x = 0; x < width; ++x) {
            const uint32_t p = colour(x, y);
            out.insert(out.end(), {uint8_t(p), uint8_t(p >> 8), uint8_t(p >> 16)});
        }
        out.insert(out.end(), stride - width * 3, 0);
    }
    return out;
}

// 42 x 32: left half red, right half blue.
Bytes TwoColourBmp() {
    return BmpFile(42, 32, [](int x, int) { return x < 21 ? kRed : kBlue; });
}

// Three frames on a 4 x 2 screen: red everywhere (kept), then green on the right half with the
// given disposal, then blue at (0, 0) without a control extension, which stays until stopped.
Bytes DisposalGif(int disposal) {
    return Header(4, 2, 2, kPalette) + Control(5, 1) + SolidImage(0, 0, 4, 2, 0) + Control(5, disposal) +
           SolidImage(2, 0, 2, 2, 1) + SolidImage(0, 0, 1, 1, 2) + Trailer();
}

// A picture whose Render blocks until the test lets it go, like a worker stuck in a call.
class StuckPicture : public IPicture {
public:
    HANDLE entered = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    LONG references = 1;
    ~StuckPicture() {
        ::CloseHandle(entered);
        ::CloseHandle(release);
    }
    HRESULT STDMETHODCALLTYPE Render(HDC, LONG, LONG, LONG, LONG, OLE_XPOS_HIMETRIC, OLE_YPOS_HIMETRIC,
                                     OLE_XSIZE_HIMETRIC, OLE_YSIZE_HIMETRIC, LPCRECT) override {
        ::SetEvent(entered);
        ::WaitForSingleObject(release, 30000);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(::InterlockedIncrement(&references)); }
    ULONG STDMETHODCALLTYPE Release() override { return ULONG(::InterlockedDecrement(&references)); }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    HRESULT STDMETHODCALLTYPE get_Width(OLE_XSIZE_HIMETRIC* w) override { return *w = 26, S_OK; }
    HRESULT STDMETHODCALLTYPE get_Height(OLE_YSIZE_HIMETRIC* h) override { return *h = 26, S_OK; }
    HRESULT STDMETHODCALLTYPE get_Handle(OLE_HANDLE*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_hPal(OLE_HANDLE*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Type(SHORT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE set_hPal(OLE_HANDLE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_CurDC(HDC*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SelectPicture(HDC, HDC*, OLE_HANDLE*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_KeepOriginalFormat(BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_KeepOriginalFormat(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE PictureChanged() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SaveAsFile(LPSTREAM, BOOL, LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Attributes(DWORD*) override { return E_NOTIMPL; }
};

// Several canvases side by side, four times enlarged, with a white gap, as a BMP file.
void SaveStrip(const char* path, const std::vector<std::vector<uint32_t>>& canvases, int width, int height) {
    constexpr int kScale = 4, kGap = 4;
    const int cell = width * kScale + kGap;
    const Bytes file = BmpFile(int(canvases.size()) * cell, height * kScale, [&](int x, int y) {
        const int n = x / cell, cx = x % cell / kScale;
        return cx < width ? canvases[size_t(n)][size_t(y / kScale * width + cx)] : 0xFFFFFFu;
    });
    if (FILE* out = std::fopen(path, "wb")) {
        std::fwrite(file.data(), 1, file.size(), out);
        std::fclose(out);
    }
}

}  // namespace

TEST_F(GifPicture, LoadsAndSizesWhatItIsGiven) {
    const struct {
        const char* name;
        Bytes data;
        BOOL loaded;
        SIZE size;  // the control's size after a load
        BOOL played;
    } cases[] = {
        {"a bitmap of 1111 x 847 HIMETRIC at 96 dpi", TwoColourBmp(), TRUE, {42, 32}, TRUE},
        {"a one-frame GIF: a still picture of the screen's size",
         Header(6, 4, 2, kPalette) + SolidImage(1, 1, 2, 2, 1) + Trailer(), TRUE, {6, 4}, TRUE},
        {"header, screen descriptor and trailer", Header(6, 4) + Trailer(), FALSE, {54, 40}, FALSE},
        {"another GIF version: not cut into frames but decoded whole, sized from its HIMETRIC size",
         Header(6, 4, 2, kPalette, "88a") + SolidImage(0, 0, 6, 4, 1) + SolidImage(0, 0, 6, 4, 2) + Trailer(), TRUE,
         {6, 4}, TRUE},
        {"no picture at all", Bytes(64, 0x5A), FALSE, {54, 40}, FALSE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ::SetWindowPos(control, nullptr, 0, 0, 54, 40, SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_EQ(control.Load(c.data), c.loaded);
        EXPECT_EQ(control.WindowSize().cx, c.size.cx);
        EXPECT_EQ(control.WindowSize().cy, c.size.cy);
        EXPECT_FALSE(control.HasAnimation());
        EXPECT_EQ(control.Play(), c.played);
    }
    // The bitmap once more: rendered once, stretched over the canvas, and painted to the screen.
    ASSERT_TRUE(control.Load(TwoColourBmp()));
    ASSERT_TRUE(control.Play());
    EXPECT_EQ(control.CanvasPixel(3, 3), kRed);
    EXPECT_EQ(control.CanvasPixel(38, 28), kBlue);
    ::UpdateWindow(control);
    HDC screen = ::GetDC(control);
    EXPECT_EQ(Rgb(::GetPixel(screen, 38, 28)), kBlue);
    ::ReleaseDC(control, screen);
}

TEST_F(GifPicture, PlaysTheShippedAnimationFrameByFrame) {
    ASSERT_TRUE(control.LoadFromResource(MAKEINTRESOURCEA(163), "GIF"));
    EXPECT_EQ(control.WindowSize().cx, 42);
    EXPECT_EQ(control.WindowSize().cy, 32);
    ASSERT_EQ(control.Frames().size(), 91u);
    for (const GifFrameEntry& f : control.Frames())
        EXPECT_TRUE(f.delay == 0 && f.disposal == 1 && f.width == 42 && f.height == 32);
    // The first two frames are decoded at once (two make an animation), the others by the
    // worker while the first shows.
    EXPECT_NE(control.Frames()[1].picture, nullptr);
    EXPECT_EQ(control.Frames()[2].picture, nullptr);
    EXPECT_FALSE(control.FramesDecoded());
    ASSERT_TRUE(control.HasAnimation());
    // Before the first frame the canvas shows the menu colour of its first fill.
    EXPECT_EQ(control.CanvasPixel(0, 0), Rgb(::GetSysColor(COLOR_MENU)));

    EXPECT_FALSE(control.Play());  // an animation shows nothing yet when Play returns
    const HANDLE worker = control.Thread();
    ASSERT_NE(worker, nullptr);
    EXPECT_FALSE(control.Play());  // a second Play starts no second worker
    EXPECT_EQ(control.Thread(), worker);

    // Frames of 100 ms: sampling every 150 ms sees a new canvas each time.
    std::vector<std::vector<uint32_t>> seen;
    for (int i = 0; i < 8; ++i) {
        PumpMessagesFor(150);
        seen.push_back(control.Canvas());
    }
    EXPECT_GE(std::set<std::vector<uint32_t>>(seen.begin(), seen.end()).size(), 6u);
    SaveStrip("gif_canvas_strip.bmp", seen, 42, 32);
    SaveScreenshotIfAsked("gif_picture_animating");
    control.StopAnimation();
    EXPECT_EQ(control.Thread(), nullptr);
    EXPECT_TRUE(control.FramesDecoded());
    for (const GifFrameEntry& f : control.Frames()) EXPECT_NE(f.picture, nullptr);
}

// A frame that fails to decode is dropped: a GIF whose only other frame is corrupt (its image
// data ends after one pixel of eight) is no animation, and shows its first frame still.
TEST_F(GifPicture, AGifWhoseLaterFramesFailToDecodeShowsItsFirstFrameStill) {
    const Bytes corrupt = Header(4, 2, 2, kPalette) + Control(5, 1) + SolidImage(0, 0, 4, 2, 0) + Control(5, 1) +
                          Image(0, 0, 4, 2, LzwData({1})) + Trailer();
    ASSERT_TRUE(control.Load(corrupt));
    EXPECT_EQ(control.Frames().size(), 1u);
    EXPECT_FALSE(control.HasAnimation());
    EXPECT_TRUE(control.Play()) << "the first frame is drawn as a still picture";
    EXPECT_EQ(control.Thread(), nullptr);
    EXPECT_EQ(control.CanvasPixel(0, 0), kRed);
    EXPECT_EQ(control.CanvasPixel(3, 1), kRed);
}

TEST_F(GifPicture, DisposesFramesAndStopsDuringAWaitWithoutEnd) {
    const uint32_t background = Rgb(::GetSysColor(COLOR_BTNFACE));
    const struct {
        int disposal;
        uint32_t right;  // what the right half shows under the last frame
    } cases[] = {{1, kGreen}, {2, background}, {3, kRed}};
    for (const auto& c : cases) {
        SCOPED_TRACE("disposal " + std::to_string(c.disposal));
        ASSERT_TRUE(control.Load(DisposalGif(c.disposal)));
        ASSERT_EQ(control.Frames().size(), 3u);
        EXPECT_EQ(control.Frames()[2].delay, -1);
        control.Play();
        ASSERT_TRUE(WaitFor([&] { return control.CanvasPixel(0, 0) == kBlue; }));
        EXPECT_EQ(control.CanvasPixel(1, 0), kRed);
        EXPECT_EQ(control.CanvasPixel(2, 0), c.right);
        EXPECT_EQ(control.CanvasPixel(3, 1), c.right);
        // The last frame waits for ever; stopping ends the wait at once, well inside the bound.
        const void* scene = control.SceneId();
        const DWORD start = ::GetTickCount();
        control.StopAnimation();
        const DWORD took = ::GetTickCount() - start;
        EXPECT_LT(took, 4000u);
        EXPECT_EQ(control.SceneId(), scene) << "the worker ended in time, so nothing was given up";
        std::printf("StopAnimation during an endless wait: %lu ms\n", took);
    }
}

TEST_F(GifPicture, AWorkerThatDoesNotStopKeepsWhatItDraws) {
    ASSERT_TRUE(control.Load(DisposalGif(1)));
    StuckPicture* stuck = new StuckPicture;  // left alive: the abandoned worker may still call it
    control.DecodeAll();
    control.Frames()[1].picture->Release();
    control.Frames()[1].picture = stuck;
    control.Play();
    ASSERT_EQ(::WaitForSingleObject(stuck->entered, 3000), WAIT_OBJECT_0);

    control.StopAnimation();  // gives up after 5 s
    EXPECT_EQ(control.Thread(), nullptr);
    EXPECT_TRUE(control.Frames().empty()) << "the control starts again from nothing";
    EXPECT_FALSE(control.Play());
    control.ReleasePictures();
    EXPECT_EQ(stuck->references, 1) << "a picture in use by the worker was released";

    // Loading again works on a fresh canvas while the old worker is still inside Render.
    ASSERT_TRUE(control.LoadFromResource(MAKEINTRESOURCEA(163), "GIF"));
    ::SetEvent(stuck->release);
    PumpMessagesFor(200);
}

TEST_F(GifPicture, ManyPlayStopCyclesLeakNoHandleOrGdiObject) {
    ASSERT_TRUE(control.LoadFromResource(MAKEINTRESOURCEA(163), "GIF"));
    control.Play();
    // The windows' first paint makes objects of its own, and the worker decodes the frames.
    ASSERT_TRUE(WaitFor([&] { return control.FramesDecoded() != FALSE; }));
    PumpMessagesFor(100);
    control.StopAnimation();
    const size_t handles = HandleCount(), gdiObjects = GdiObjectCount();
    ASSERT_GT(handles, 0u);
    ASSERT_GT(gdiObjects, 0u);
    for (int i = 0; i < 1000; ++i) {
        control.Play();
        if (i % 10 == 0) PumpMessagesFor(1);
        control.StopAnimation();
    }
    EXPECT_EQ(HandleCount(), handles);
    EXPECT_EQ(GdiObjectCount(), gdiObjects);
    std::printf("1000 play/stop cycles: handles %zu -> %zu, GDI objects %zu -> %zu\n", handles, HandleCount(),
                gdiObjects, GdiObjectCount());
    // Loading again releases the 91 pictures and the canvas of the load before.
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(control.LoadFromResource(MAKEINTRESOURCEA(163), "GIF"));
    control.Play();
    ASSERT_TRUE(WaitFor([&] { return control.FramesDecoded() != FALSE; }));
    control.StopAnimation();
    EXPECT_EQ(GdiObjectCount(), gdiObjects);
}

// The control in a dialog, as the main window holds it: closing the dialog while a frame waits
// out its 10 s ends the worker at once, before the dialog's window is gone.
TEST(GifPictureInADialog, ClosingTheDialogWhileAFrameWaitsEndsTheWorkerAtOnce) {
    ::CoInitialize(nullptr);
    const Bytes tenSecondFrames = Header(2, 1, 2, kPalette) + Control(1000, 1) + SolidImage(0, 0, 2, 1, 0) +
                                  Control(1000, 1) + SolidImage(0, 0, 2, 1, 1) + Trailer();
    PlainDialog dialog(IDD_TEST_MINGLIU, nullptr);
    ProbeCtrl control;
    HANDLE worker = nullptr;
    DWORD closed = 0;
    RunModalScript(dialog, {
        [&](CDialog& d) {
            HWND child = ::CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE, 10, 10, 2, 1, d.m_hWnd,
                                           reinterpret_cast<HMENU>(1007), ::GetModuleHandleA(nullptr), nullptr);
            ASSERT_TRUE(control.SubclassWindow(child));
            ASSERT_TRUE(control.Load(tenSecondFrames));
            control.Play();
        },
        [&](CDialog& d) {
            PumpMessagesFor(300);  // the first frame is drawn and its wait has begun
            EXPECT_EQ(control.CanvasPixel(0, 0), kRed);
            ::DuplicateHandle(::GetCurrentProcess(), control.Thread(), ::GetCurrentProcess(), &worker, SYNCHRONIZE,
                              FALSE, 0);
            closed = ::GetTickCount();
            d.PostMessage(WM_COMMAND, IDCANCEL, 0);  // what Esc or the close button does
        },
    });
    const DWORD took = ::GetTickCount() - closed;
    ASSERT_NE(worker, nullptr);
    EXPECT_EQ(::WaitForSingleObject(worker, 0), static_cast<DWORD>(WAIT_OBJECT_0)) << "the worker outlived the window";
    EXPECT_EQ(control.Thread(), nullptr);
    EXPECT_LT(took, 2000u) << "closing waited for the frame";
    std::printf("dialog closed during a 10 s frame wait: closing took %lu ms\n", static_cast<unsigned long>(took));
    ::CloseHandle(worker);
}
