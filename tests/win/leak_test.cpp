// The real main window over long use, in process on a Wine desktop: forced repaints, image
// changes, animation restarts and hint popups leave its process with the GDI objects and
// handles it held after start-up.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>

#include "confirm/hint_dialog.h"
#include "main_dialog/tv_setting_dlg.h"
#include "process_counts.h"
#include "resource.h"
#include "win_test_support.h"

namespace {

CWinApp g_app("LeakTests");

// Detection finds a quiet adapter: the ATI stand-in, which answers without any message.
const bool g_quietAdapter = InstallIntoSystemDirectory(StandinPath("atipdlxx.dll"), "atipdlxx.dll");

struct Counts {
    size_t gdiObjects;
    size_t handles;
};

// What the process holds at rest: the fewest seen over five looks 20 ms apart, messages pumped
// between. A frame of the corner animation being drawn holds a memory DC for a moment, and one look
// may fall in that moment; what leaks stays in every look.
Counts CountAtRest() {
    Counts fewest{SIZE_MAX, SIZE_MAX};
    for (int look = 0; look < 5; ++look) {
        if (look) PumpMessagesFor(20);
        fewest.gdiObjects = std::min(fewest.gdiObjects, GdiObjectCount());
        fewest.handles = std::min(fewest.handles, HandleCount());
    }
    return fewest;
}

using Use = std::function<void(CDialog& mainWindow, int round)>;

// Starts the main dialog and, once it shows, uses it `times` times. One round runs before the
// counts are taken, so that what the system makes once on first use (a popup's fonts, a
// tooltip's window data) is not taken for a leak. The counts are compared after the last round.
void ExpectNoGrowth(const char* what, int times, const Use& use) {
    ASSERT_TRUE(g_quietAdapter);
    TvSettingDlg dialog;
    g_app.m_pMainWnd = &dialog;
    Counts before{}, after{};
    RunModalScript(dialog, {[&](CDialog& d) {
        // First paints; the animation runs and its worker decodes the frames.
        GifPictureCtrl& animation = *static_cast<GifPictureCtrl*>(
            CWnd::FromHandlePermanent(::GetDlgItem(d.m_hWnd, IDC_ANIMATION)));
        for (int waited = 0; waited < 100 && !animation.FramesDecoded(); ++waited) PumpMessagesFor(50);
        PumpMessagesFor(300);
        use(d, 0);
        PumpMessagesFor(100);
        before = CountAtRest();
        for (int round = 1; round <= times; ++round) use(d, round);
        PumpMessagesFor(100);
        after = CountAtRest();
        d.EndDialog(IDOK);
    }});
    g_app.m_pMainWnd = nullptr;
    TvDetection = TvDetectionResult{};
    ASSERT_GT(before.gdiObjects, 0u) << "the GDI handle table could not be read";
    ASSERT_GT(before.handles, 0u) << "the system handle list could not be read";
    EXPECT_EQ(after.gdiObjects, before.gdiObjects) << what;
    EXPECT_EQ(after.handles, before.handles) << what;
    std::printf("%d x %s: GDI objects %zu -> %zu, handles %zu -> %zu\n", times, what, before.gdiObjects,
                after.gdiObjects, before.handles, after.handles);
}

template <typename Control>
Control& ControlOf(CDialog& dialog, int id) {
    return *static_cast<Control*>(CWnd::FromHandlePermanent(::GetDlgItem(dialog.m_hWnd, id)));
}

}  // namespace

TEST(MainWindowLeaks, ForcedRepaints) {
    ExpectNoGrowth("forced repaints", 10000, [](CDialog& d, int) {
        ::RedrawWindow(d.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    });
}

TEST(MainWindowLeaks, ImageChangesAnimationRestartsAndHintPopups) {
    ExpectNoGrowth("SetBitmaps calls", 1000, [](CDialog& d, int round) {
        // Lit and unlit in turn, each with its mask: images and the window's region are replaced.
        const UINT image = round % 2 ? IDB_HDMI_LIT : IDB_HDMI_UNLIT;
        ControlOf<SkinButton>(d, IDC_HDMI).SetBitmaps(image, image, image, IDB_HDMI_UNLIT, 0, IDB_HDMI_MASK, 0, 0, 0);
    });
    ExpectNoGrowth("animation stop/start cycles", 1000, [](CDialog& d, int round) {
        GifPictureCtrl& animation = ControlOf<GifPictureCtrl>(d, IDC_ANIMATION);
        animation.StopAnimation();
        animation.Play();
        if (round % 10 == 0) PumpMessagesFor(1);  // now and then a frame is drawn and shown
    });
    ExpectNoGrowth("hint popups opened and closed", 200, [](CDialog&, int round) {
        HintDialog hint(nullptr);
        hint.m_nScreenshot = round % 2 ? HintDialog::kHdmiScreenshot : HintDialog::kComponentScreenshot;
        RunModalScript(hint, {[](CDialog& popup) {
            ::UpdateWindow(popup.m_hWnd);  // painted before it goes
            popup.EndDialog(IDCANCEL);
        }});
    });
}
