#pragma once
// GifPictureCtrl: a static control that shows a picture from the program's resources, a still
// picture once or a GIF animation frame after frame. The picture decoder turns a whole stream
// into one still picture, so an animation is cut into one standalone GIF stream per frame, and
// each frame is decoded once: the first two at load time, the others by the worker while the
// first frame shows, so that the window does not wait for the whole animation to be decoded.
// Frames that fail to decode are dropped; a GIF left with one frame shows it still.
// Everything shown is first drawn into an off-screen canvas; the worker renders the frames into
// it, and painting is one block copy.
//
// Use: bind it to a static control (DDX_Control), then
//     if (m_gifAnim.LoadFromResource(MAKEINTRESOURCEA(163), "GIF")) m_gifAnim.Play();
// The control takes the picture's size; the animation runs until the window is destroyed.
#include <ocidl.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "controls/gif_blocks.h"
#include "framework/afxmt.h"
#include "framework/afxwin.h"
#include "framework/scoped_handles.h"

// One decoded frame: its picture (one reference, owned), where it goes on the logical screen,
// how long it stays (hundredths of a second; -1 without a control extension: until stopped),
// and its disposal method.
struct GifFrameEntry {
    IPicture* picture;
    int32_t width;
    int32_t height;
    int32_t left;
    int32_t top;
    int32_t delay;
    int32_t disposal;
};

class GifPictureCtrl : public CStatic {
public:
    GifPictureCtrl();
    ~GifPictureCtrl() override;

    // Loads a resource (name and type as strings or MAKEINTRESOURCE ids) from the program's
    // module; TRUE when a picture is loaded and the canvas is ready.
    BOOL LoadFromResource(LPCSTR name, LPCSTR type);
    // Loads size bytes of a movable global block, which stays the caller's. A GIF of two or more
    // frames becomes an animation; a one-frame GIF or any other picture format a still picture.
    BOOL LoadFromMemory(HGLOBAL block, DWORD size);

    // Starts the animation (returns FALSE, as nothing is shown yet) or renders the still picture
    // once (TRUE when it was drawn). While an animation runs a further call starts nothing.
    BOOL Play();
    // Ends the worker, waiting up to 5 s, and leaves the control ready for another Play.
    void StopAnimation();
    // Stops the animation and shows its first frame, still (a contrast theme shows that frame
    // as a line drawing). Play starts it again.
    void ShowFirstFrameStill();
    // Stops, then frees every picture, the frames and the canvas.
    void ReleasePictures();
    BOOL HasAnimation() const;
    // Sizes the control for its window's display scale again (after the scale changed).
    void FitToScale();
    // TRUE once every frame of the animation has been decoded (the pictures are then all held).
    BOOL FramesDecoded() const { return m_scene->m_framesDecoded; }
    BOOL CreateCanvas(int width, int height);

protected:
    DECLARE_MESSAGE_MAP()
    void OnDestroy();
    void OnPaint();

    // Everything the worker reads or draws. It lives apart from the control so that a worker
    // which does not end in time can be left with it: the control then gives the scene up and
    // leaks it, rather than free pictures and canvas under a running thread or let the thread
    // outlive the control.
    struct Scene {
        Scene();
        ~Scene();
        Scene(const Scene&) = delete;
        Scene& operator=(const Scene&) = delete;

        HWND m_window = nullptr;  // invalidated after each frame
        int32_t m_width = 0;      // canvas size
        int32_t m_height = 0;
        COLORREF m_backColor = 0xFFFFFF;
        int32_t m_frameIndex = 0;
        std::atomic<BOOL> m_threadActive{FALSE};
        std::atomic<BOOL> m_stopRequested{FALSE};
        MemoryCanvas m_canvas;
        MemoryCanvas m_saveArea;  // what lies under a frame that is to be restored
        HANDLE m_stopEvent;  // manual reset; cuts a frame's wait short
        std::vector<GifFrameEntry> m_frames;
        // Each frame's standalone stream until the worker has decoded it; empty after.
        std::vector<std::vector<uint8_t>> m_pendingStreams;
        std::atomic<BOOL> m_framesDecoded{FALSE};
        // The canvas is drawn by one thread at a time: the worker, or painting.
        CCriticalSection m_canvasLock;
    };

    int32_t m_width = 0;  // picture size in pixels
    int32_t m_height = 0;
    BOOL m_gifMode = FALSE;
    BOOL m_animated = FALSE;  // two frames or more decoded at load
    BOOL m_canvasReady = FALSE;
    HANDLE m_thread = nullptr;  // the worker; closed only here, after waiting for it
    ComRef<IPicture> m_stillPicture;
    GifBlockWalker m_walker;  // the bytes under parse, only while LoadFromMemory runs
    std::unique_ptr<Scene> m_scene;

    // Decodes every frame still waiting for it, until stopped; the worker's first job.
    static void DecodePendingFrames(Scene& scene);

private:
    // The picture shown as a line drawing in the contrast theme's colours.
    void PaintLineDrawing(HDC dc, UINT dpi);
    BOOL LoadStillPicture(HGLOBAL block, DWORD size);
    BOOL LoadFrames();
    int DeviceDpi(int index) const;
    static unsigned __stdcall AnimationThreadMain(void* scene);
    static void RunAnimation(Scene& scene);
    static void DropUndecodedFrames(Scene& scene);
    static void DrawFrame(Scene& scene, const GifFrameEntry& frame);
    static void DisposeFrame(Scene& scene, const GifFrameEntry& frame);
};
