#include "controls/gif_picture_ctrl.h"

#include <olectl.h>
#include <process.h>

#include <algorithm>
#include <cstring>

#include "controls/contrast_paint.h"
#include "controls/line_trace.h"
#include "controls/paint_scaled.h"
#include "framework/system_calls.h"
#include "framework/system_look.h"
#include "framework/window_scale.h"

namespace {

constexpr DWORD kStopTimeoutMs = 5000;
constexpr int kHimetricPerInch = 2540;

// Decodes bytes of a global block into a picture; null when the stream or the decoder fails.
// With deleteOnRelease the block belongs to the stream and is freed with it, or here when no
// stream could be made.
ComRef<IPicture> DecodePicture(HGLOBAL block, DWORD bytes, BOOL deleteOnRelease) {
    ComRef<IStream> stream;
    if (FAILED(ole32::CreateStreamOnHGlobal(block, deleteOnRelease, stream.Receive())) || !stream) {
        if (deleteOnRelease) ::GlobalFree(block);
        return {};
    }
    ComRef<IPicture> picture;
    const HRESULT decoded = oleaut32::OleLoadPicture(stream.Get(), static_cast<LONG>(bytes), FALSE, IID_IPicture,
                                                     reinterpret_cast<void**>(picture.Receive()));
    return SUCCEEDED(decoded) ? std::move(picture) : ComRef<IPicture>{};
}

// A picture of bytes in memory (one reference, the caller's); null when they cannot be copied or decoded.
IPicture* DecodeBytes(const std::vector<uint8_t>& bytes) {
    HGLOBAL stream = ::GlobalAlloc(GMEM_FIXED, bytes.size());
    if (!stream) return nullptr;
    std::memcpy(stream, bytes.data(), bytes.size());  // a fixed block is its address
    return DecodePicture(stream, static_cast<DWORD>(bytes.size()), TRUE).Detach();
}

// The whole picture, upright, stretched to the destination rectangle.
bool RenderPicture(IPicture* picture, HDC dc, int x, int y, int width, int height) {
    OLE_XSIZE_HIMETRIC himetricWidth = 0;
    OLE_YSIZE_HIMETRIC himetricHeight = 0;
    picture->get_Width(&himetricWidth);
    picture->get_Height(&himetricHeight);
    return picture->Render(dc, x, y, width, height, 0, himetricHeight, himetricWidth, -himetricHeight, nullptr) ==
           S_OK;
}

void FillWithColour(HDC dc, const RECT& rect, COLORREF colour) {
    CBrush brush;
    if (brush.CreateSolidBrush(colour)) ::FillRect(dc, &rect, brush);
}

}  // namespace

BEGIN_MESSAGE_MAP(GifPictureCtrl, CStatic)
    ON_WM_DESTROY()
    ON_WM_PAINT()
END_MESSAGE_MAP()

GifPictureCtrl::Scene::Scene() : m_stopEvent(::CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

GifPictureCtrl::Scene::~Scene() {
    if (m_stopEvent) ::CloseHandle(m_stopEvent);
}

GifPictureCtrl::GifPictureCtrl() : m_scene(std::make_unique<Scene>()) {}

GifPictureCtrl::~GifPictureCtrl() { ReleasePictures(); }

// ---- Loading ------------------------------------------------------------------------------

BOOL GifPictureCtrl::LoadFromResource(LPCSTR name, LPCSTR type) {
    const ResourceBytes resource = FindResourceBytes(AfxGetResourceHandle(), name, type);
    if (!resource) return FALSE;
    const DWORD size = resource.size;
    HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_NODISCARD, size);
    if (!copy) return FALSE;
    void* target = ::GlobalLock(copy);
    if (!target) {
        ::GlobalFree(copy);
        return FALSE;
    }
    std::memcpy(target, resource.bytes, size);
    ::GlobalUnlock(copy);
    const BOOL loadedPicture = LoadFromMemory(copy, size);
    ::GlobalFree(copy);
    return loadedPicture;
}

BOOL GifPictureCtrl::LoadFromMemory(HGLOBAL block, DWORD size) {
    ReleasePictures();
    const auto* data = static_cast<const uint8_t*>(::GlobalLock(block));
    if (!data) return FALSE;
    if (!IsGif(data, size)) {
        ::GlobalUnlock(block);
        if (!LoadStillPicture(block, size)) return FALSE;
        // Another format: its size comes from the decoder, in HIMETRIC.
        OLE_XSIZE_HIMETRIC himetricWidth = 0;
        OLE_YSIZE_HIMETRIC himetricHeight = 0;
        m_stillPicture->get_Width(&himetricWidth);
        m_stillPicture->get_Height(&himetricHeight);
        m_width = ::MulDiv(himetricWidth, DeviceDpi(LOGPIXELSX), kHimetricPerInch);
        m_height = ::MulDiv(himetricHeight, DeviceDpi(LOGPIXELSY), kHimetricPerInch);
        return CreateCanvas(m_width, m_height);
    }

    m_gifMode = TRUE;
    m_walker.Begin(data, size);
    m_width = m_walker.ScreenWidth();
    m_height = m_walker.ScreenHeight();
    int frames = 0;
    m_walker.RewindToFirstBlock();
    while (m_walker.PassGraphicBlock()) ++frames;

    BOOL loaded = FALSE;
    if (frames >= 2) loaded = LoadFrames();
    // Decided here, while no worker runs: the worker drops frames later, but never one of the
    // two decoded now, so an animation stays one.
    m_animated = m_scene->m_frames.size() > 1;
    m_walker.End();
    ::GlobalUnlock(block);
    // One frame: the decoder shows the whole file as it is.
    if (frames == 1) loaded = LoadStillPicture(block, size);
    return loaded ? CreateCanvas(m_width, m_height) : FALSE;
}

BOOL GifPictureCtrl::LoadStillPicture(HGLOBAL block, DWORD size) {
    m_stillPicture = DecodePicture(block, size, FALSE);
    return m_stillPicture ? TRUE : FALSE;
}

// Cuts every frame into its own stream. Frames are decoded now until two have decoded, so that
// Play knows whether there is an animation at all; a frame that fails is dropped. The others
// wait for the worker, which drops those that fail in turn. Cutting stops at the first frame
// that cannot be cut.
BOOL GifPictureCtrl::LoadFrames() {
    Scene& scene = *m_scene;
    m_walker.RewindToFirstBlock();
    GifFrameCut cut;
    while (m_walker.CutNextFrame(cut)) {
        std::vector<uint8_t> stream(cut.streamLength);
        m_walker.WriteFrameStream(cut, stream.data());
        IPicture* picture = nullptr;
        if (scene.m_frames.size() < 2) {
            picture = DecodeBytes(stream);
            if (!picture) continue;
            stream.clear();
        }
        scene.m_frames.push_back({picture, cut.width, cut.height, cut.left, cut.top, cut.delay, cut.disposal});
        scene.m_pendingStreams.push_back(std::move(stream));
    }
    scene.m_framesDecoded = scene.m_frames.size() <= 2;
    return !scene.m_frames.empty();
}

int GifPictureCtrl::DeviceDpi(int index) const {
    const CClientDC dc(m_hWnd);
    return dc.GetSafeHdc() ? ::GetDeviceCaps(dc, index) : static_cast<int>(kDefaultDpi);
}

// ---- Canvas and playing -------------------------------------------------------------------

BOOL GifPictureCtrl::CreateCanvas(int width, int height) {
    if (!m_hWnd || width <= 0 || height <= 0) return FALSE;
    const UINT dpi = AfxGetWindowDpi(m_hWnd);
    SetWindowPos(nullptr, 0, 0, ScaleToDpi(width, dpi), ScaleToDpi(height, dpi), SWP_NOMOVE | SWP_NOZORDER);
    const CClientDC screen(m_hWnd);
    Scene& scene = *m_scene;
    if (!screen.GetSafeHdc() || !scene.m_canvas.Create(screen, width, height)) return FALSE;
    scene.m_window = m_hWnd;
    scene.m_width = width;
    scene.m_height = height;
    scene.m_backColor = ::GetSysColor(COLOR_BTNFACE);
    // The first fill is the menu colour; later cycles clear to the button face.
    const RECT all{0, 0, width, height};
    ::FillRect(scene.m_canvas, &all, reinterpret_cast<HBRUSH>(COLOR_MENU + 1));
    m_canvasReady = TRUE;
    return TRUE;
}

BOOL GifPictureCtrl::HasAnimation() const { return m_gifMode && m_animated; }

BOOL GifPictureCtrl::Play() {
    if (!m_canvasReady) return FALSE;
    // One worker per canvas: it is already running, and the frames are its own.
    if (m_thread) return FALSE;
    if (HasAnimation()) {
        m_thread = reinterpret_cast<HANDLE>(
            ::_beginthreadex(nullptr, 0, AnimationThreadMain, m_scene.get(), CREATE_SUSPENDED, nullptr));
        if (m_thread) ::ResumeThread(m_thread);
        return FALSE;
    }
    // A still picture, or a GIF of which only one frame decoded: drawn once, the frame in its place.
    CSingleLock lock(&m_scene->m_canvasLock, TRUE);
    const std::vector<GifFrameEntry>& frames = m_scene->m_frames;
    bool drawn = false;
    if (m_stillPicture) {
        drawn = RenderPicture(m_stillPicture.Get(), m_scene->m_canvas, 0, 0, m_width, m_height);
    } else if (frames.size() == 1) {
        const GifFrameEntry& only = frames[0];
        drawn = RenderPicture(only.picture, m_scene->m_canvas, only.left, only.top, only.width, only.height);
    }
    if (!drawn) return FALSE;
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    return TRUE;
}

void GifPictureCtrl::StopAnimation() {
    Scene& scene = *m_scene;
    scene.m_threadActive = FALSE;
    scene.m_stopRequested = TRUE;
    ::SetEvent(scene.m_stopEvent);
    if (m_thread) {
        const bool ended = ::WaitForSingleObject(m_thread, kStopTimeoutMs) == WAIT_OBJECT_0;
        ::CloseHandle(m_thread);
        m_thread = nullptr;
        if (!ended) {
            // The worker may still draw: leave it the whole scene, and start again from nothing.
            (void)m_scene.release();
            m_scene = std::make_unique<Scene>();
            m_canvasReady = FALSE;
        }
    }
    ::ResetEvent(m_scene->m_stopEvent);
    m_scene->m_stopRequested = FALSE;
}

void GifPictureCtrl::ReleasePictures() {
    StopAnimation();
    m_stillPicture.Release();
    Scene& scene = *m_scene;
    for (GifFrameEntry& frame : scene.m_frames)
        if (frame.picture) frame.picture->Release();
    scene.m_frames.clear();
    scene.m_pendingStreams.clear();
    scene.m_framesDecoded = FALSE;
    scene.m_canvas.Free();
    scene.m_saveArea.Free();
    scene.m_frameIndex = 0;
    scene.m_backColor = 0xFFFFFF;
    scene.m_width = scene.m_height = 0;
    m_walker.End();
    m_walker.m_paletteBytes = 0;
    m_canvasReady = FALSE;
    m_gifMode = FALSE;
    m_animated = FALSE;
}

// ---- The worker ---------------------------------------------------------------------------

unsigned __stdcall GifPictureCtrl::AnimationThreadMain(void* argument) {
    Scene& scene = *static_cast<Scene*>(argument);
    scene.m_threadActive = TRUE;
    // The decoder may need COM on the thread that decodes.
    const bool com = SUCCEEDED(ole32::CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    RunAnimation(scene);
    if (com) ole32::CoUninitialize();
    scene.m_threadActive = FALSE;
    return 0;
}

void GifPictureCtrl::RunAnimation(Scene& scene) {
    // An animation stopped in the middle resumes after the frame it showed.
    DisposeFrame(scene, scene.m_frames[static_cast<size_t>(scene.m_frameIndex)]);
    while (!scene.m_stopRequested) {
        // A copy: decoding below may drop frames and so move the entries.
        const GifFrameEntry frame = scene.m_frames[static_cast<size_t>(scene.m_frameIndex)];
        if (frame.picture) {
            DrawFrame(scene, frame);
            if (scene.m_stopRequested) break;
            // The first frame shows while the others are decoded; the decoding counts against
            // its time.
            const DWORD shown = ::GetTickCount();
            if (!scene.m_framesDecoded) DecodePendingFrames(scene);
            if (scene.m_stopRequested) break;
            const DWORD wait = GifFrameWaitMilliseconds(frame.delay), spent = ::GetTickCount() - shown;
            ::WaitForSingleObject(scene.m_stopEvent, wait > spent ? wait - spent : 0);
            if (scene.m_stopRequested) break;
            DisposeFrame(scene, frame);
        }
        if (++scene.m_frameIndex >= static_cast<int32_t>(scene.m_frames.size())) {
            scene.m_frameIndex = 0;
            CSingleLock lock(&scene.m_canvasLock, TRUE);
            FillWithColour(scene.m_canvas, RECT{0, 0, scene.m_width, scene.m_height}, scene.m_backColor);
        }
    }
}

// Decodes every frame still waiting for it, until stopped. Until all are done, a frame that
// cannot be decoded keeps no picture and is passed over; then such frames are dropped.
void GifPictureCtrl::DecodePendingFrames(Scene& scene) {
    for (size_t i = 0; i < scene.m_frames.size(); ++i) {
        if (scene.m_stopRequested) return;
        std::vector<uint8_t>& stream = scene.m_pendingStreams[i];
        if (stream.empty()) continue;
        scene.m_frames[i].picture = DecodeBytes(stream);
        std::vector<uint8_t>().swap(stream);
    }
    DropUndecodedFrames(scene);
    scene.m_framesDecoded = TRUE;
}

// Removes the frames without a picture, keeping the index on the frame it stood on.
void GifPictureCtrl::DropUndecodedFrames(Scene& scene) {
    std::vector<GifFrameEntry> kept;
    int32_t index = 0;
    for (size_t i = 0; i < scene.m_frames.size(); ++i) {
        if (static_cast<int32_t>(i) == scene.m_frameIndex) index = static_cast<int32_t>(kept.size());
        if (scene.m_frames[i].picture) kept.push_back(scene.m_frames[i]);
    }
    // Two frames decoded at load, so an animation keeps at least two.
    scene.m_frames.swap(kept);
    scene.m_frameIndex = std::min(index, static_cast<int32_t>(scene.m_frames.size()) - 1);
    scene.m_pendingStreams.clear();
}

// Saves what lies under a frame that is to be restored, renders it, and shows it.
void GifPictureCtrl::DrawFrame(Scene& scene, const GifFrameEntry& frame) {
    bool drawn;
    {
        CSingleLock lock(&scene.m_canvasLock, TRUE);
        if (frame.disposal == 3) {
            if (scene.m_saveArea.Create(scene.m_canvas, frame.width, frame.height))
                ::BitBlt(scene.m_saveArea, 0, 0, frame.width, frame.height, scene.m_canvas, frame.left, frame.top,
                         SRCCOPY);
        }
        drawn = RenderPicture(frame.picture, scene.m_canvas, frame.left, frame.top, frame.width, frame.height);
    }
    if (drawn) ::InvalidateRect(scene.m_window, nullptr, FALSE);
}

void GifPictureCtrl::DisposeFrame(Scene& scene, const GifFrameEntry& frame) {
    CSingleLock lock(&scene.m_canvasLock, TRUE);
    if (frame.disposal == 2) {
        FillWithColour(scene.m_canvas,
                       RECT{frame.left, frame.top, frame.left + frame.width, frame.top + frame.height},
                       scene.m_backColor);
    } else if (frame.disposal == 3 && scene.m_saveArea.GetSafeHdc()) {
        ::BitBlt(scene.m_canvas, frame.left, frame.top, frame.width, frame.height, scene.m_saveArea, 0, 0, SRCCOPY);
        scene.m_saveArea.Free();
    }
}

// ---- Messages -----------------------------------------------------------------------------

void GifPictureCtrl::OnPaint() {
    CPaintDC dc(m_hWnd);
    CSingleLock lock(&m_scene->m_canvasLock, TRUE);
    if (!m_scene->m_canvas.GetSafeHdc()) return;
    // The frames are drawn at the picture's own size; a scaled window shows them filtered.
    const UINT dpi = AfxGetWindowDpi(m_hWnd);
    if (HighContrastOn()) {
        PaintLineDrawing(dc, dpi);
        return;
    }
    if (dpi == kDefaultDpi || !PaintScaled(dc, m_scene->m_canvas, m_scene->m_width, m_scene->m_height, dpi))
        ::BitBlt(dc, 0, 0, m_scene->m_width, m_scene->m_height, m_scene->m_canvas, 0, 0, SRCCOPY);
}

void GifPictureCtrl::PaintLineDrawing(HDC dc, UINT dpi) {
    // The canvas lock is held by the caller. The frame is traced at the size it is shown.
    const int width = ScaleToDpi(m_scene->m_width, dpi), height = ScaleToDpi(m_scene->m_height, dpi);
    CBitmap shown;
    if (!shown.Attach(::CreateCompatibleBitmap(dc, width, height))) return;
    {
        BitmapContext frame(dc, shown.GetSafeHandle());
        if (!frame) return;
        if (dpi == kDefaultDpi || !PaintScaled(frame, m_scene->m_canvas, m_scene->m_width, m_scene->m_height, dpi))
            ::BitBlt(frame, 0, 0, m_scene->m_width, m_scene->m_height, m_scene->m_canvas, 0, 0, SRCCOPY);
    }
    const ThemeColours theme = ReadThemeColours();
    CBitmap lines;
    if (MakeLineBitmap(lines, static_cast<HBITMAP>(shown.GetSafeHandle()), height, dpi, kAnimationEdgeStep)) {
        DrawLineBitmap(dc, lines, 0, 0, theme.windowText, theme.window);
    } else {
        FillSolid(dc, RECT{0, 0, width, height}, theme.window);
    }
}

void GifPictureCtrl::ShowFirstFrameStill() {
    StopAnimation();
    if (!m_canvasReady) return;
    {
        CSingleLock lock(&m_scene->m_canvasLock, TRUE);
        if (m_scene->m_frames.empty()) return;
        const GifFrameEntry& first = m_scene->m_frames.front();
        m_scene->m_frameIndex = 0;
        RenderPicture(first.picture, m_scene->m_canvas, first.left, first.top, first.width, first.height);
    }
    if (m_hWnd) Invalidate(FALSE);
}

void GifPictureCtrl::FitToScale() {
    if (m_canvasReady && m_hWnd) {
        const UINT dpi = AfxGetWindowDpi(m_hWnd);
        SetWindowPos(nullptr, 0, 0, ScaleToDpi(m_scene->m_width, dpi), ScaleToDpi(m_scene->m_height, dpi),
                     SWP_NOMOVE | SWP_NOZORDER);
    }
}

void GifPictureCtrl::OnDestroy() {
    StopAnimation();
    Default();
}
