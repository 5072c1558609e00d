// The 32-bit exe we ship, checked as a user sees it: the same views as the 64-bit exe's
// (view_checks.h) against the exe's own bitmaps, the corner animating, its boxes drawn and the
// countdown counting down on screen. Two engines run it (docs/wow64.md):
// - where the kernel runs 32-bit code, Wine 10.0 in its WoW64 mode, driven from this program built
//   64-bit (ORVA_WOW64=1: scripts/wine10-run, the 32-bit stand-ins in syswow64);
// - elsewhere classic 32-bit Wine 8.0 under emulation, in a 32-bit prefix where only 32-bit
//   programs run, driven from this program built 32-bit beside the exe (build/win32/).
// Built 64-bit without ORVA_WOW64, the same checks drive the 64-bit exe, which measures one
// engine against another.
#include <gtest/gtest.h>

#include <string>

#include "view_checks.h"

namespace {

bool DesktopIs(LONG width, LONG height) { return DesktopSize().cx == width && DesktopSize().cy == height; }

class Exe32 : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_views.Loaded()) << "the exe's bitmaps cannot be read"; }

    // Every scenario of the vendor, each with the checks of this run: the program is the 32-bit
    // build when asked for, the vendor's stand-in was asked once, and the corner animates.
    void CheckVendor(const std::string& prefix, const char* standinCall, const char* atiLibrary = nullptr) {
        const ScenarioRun run{atiLibrary, [this, standinCall](ProgramUnderTest& program, HWND window) {
                                  const WORD build = DrivesExe32() ? IMAGE_FILE_MACHINE_I386 : IMAGE_FILE_MACHINE_AMD64;
                                  EXPECT_EQ(ImageMachine(program.Process()), build) << "not the build asked for";
                                  EXPECT_EQ(m_log.Count(standinCall), 1u) << m_log.Text();
                                  m_log.Clear();
                                  EXPECT_TRUE(CornerAnimates(window));
                              }};
        for (const AdapterScenario& scenario : kAdapterScenarios)
            if (std::string(scenario.name).rfind(prefix, 0) == 0) m_views.CheckScenario(scenario, run);
    }

    // Starts the program on the simulated adapter; null when it or its window did not come.
    static HWND StartOn(const char* scenario, StandinDrivers& drivers, ProgramUnderTest& program) {
        if (!SimulateAdapter(drivers, *FindScenario(scenario)) || !program.Start()) return nullptr;
        HWND window = program.WaitForWindow(kDialogClass, kMainTitle, 30000);
        Settle(500);
        return window;
    }

    StandinLog m_log;
    ViewChecks m_views;
};

TEST_F(Exe32, NvidiaViewsAreDrawnAsTheBitmaps) { CheckVendor("nvidia-", "nvapi QueryTvOutputInfo"); }

TEST_F(Exe32, IntelViewsAreDrawnThroughThe32BitComRegistration) {
    CheckVendor("intel-", "QueryConnectorType uid=7");
}

// A driver exporting GetConfiguration __stdcall pops its three arguments itself; the view must be
// the same as with the __cdecl one.
TEST_F(Exe32, AtiViewsAreDrawnWhicheverCallingConvention) {
    CheckVendor("ati-", "atipdl GetConfiguration 0 8 ");
    // Only 32-bit x86 has two conventions; the 64-bit build makes no __stdcall stand-in.
    if (DrivesExe32()) CheckVendor("ati-hdmi", "atipdl GetConfiguration 0 8 ", "atipdl_stdcall.dll");
}

// No adapter: NVIDIA's two failure boxes, drawn, then the start-up view (each picture lights
// under the pointer) with the corner animating.
TEST_F(Exe32, WithoutAnAdapterTheFailureBoxesAreDrawnThenTheStartUpView) {
    {
        ProgramUnderTest program;  // ended when the block ends: only one copy runs at a time
        ASSERT_TRUE(program.Start());
        const auto boxes = AnswerStartupMessageBoxes(program, 30000, [](HWND box, const MessageBoxSeen& seen) {
            Settle(300);
            EXPECT_TRUE(BoxIsDrawn(box)) << seen.text;
            SaveScreenshotArtifact("exe32_failure_box");
        });
        EXPECT_EQ(boxes.size(), 2u) << "NVIDIA's two failure messages";
        HWND window = program.WaitForWindow(kDialogClass, kMainTitle, 20000);
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(CornerAnimates(window));
    }
    m_views.CheckScenario(*FindScenario("none"));
}

// The 720 button switches the desktop and asks; the box is drawn and its text counts down on
// screen; nobody answers, the countdown closes the box and 1920 x 1080 comes back; the close
// button then ends the program cleanly.
TEST_F(Exe32, UnansweredSwitchCountsDownOnScreenAndComesBack) {
    StandinDrivers drivers;
    ProgramUnderTest program;
    HWND window = StartOn("nvidia-hdmi", drivers, program);
    ASSERT_NE(window, nullptr);
    const DWORD chosen = ::GetTickCount();
    ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_720_SMALL, BN_CLICKED), 0);
    HWND box = program.WaitForWindow(kDialogClass, "Accept Now ?", 10000);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(DesktopIs(1280, 720));
    Settle(300);
    EXPECT_TRUE(BoxIsDrawn(box));
    SaveScreenshotArtifact("exe32_countdown");
    const std::string text = MessageBoxText(box);
    const Pixels shown = ScreenPixels(WindowRect(::GetDlgItem(box, 0xFFFF)));
    EXPECT_EQ(text.rfind("Press button\nwithin 1", 0), 0u) << text;
    EXPECT_TRUE(WaitUntil([&] { return MessageBoxText(box) != text; }, 2500)) << "the countdown stands still";
    Settle(300);
    EXPECT_NE(ScreenPixels(WindowRect(::GetDlgItem(box, 0xFFFF))), shown) << "the box's new text is not drawn";
    EXPECT_TRUE(WaitUntil([box] { return !::IsWindow(box); }, 17000)) << "the countdown ends the box";
    EXPECT_TRUE(WaitUntil([] { return DesktopIs(1920, 1080); }, 18000 - (::GetTickCount() - chosen)))
        << "still " << DesktopSize().cx << " x " << DesktopSize().cy;
    ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_CLOSE, BN_CLICKED), 0);
    EXPECT_TRUE(program.WaitForExit(5000)) << "the program still runs 5 s after its close button";
    EXPECT_EQ(program.ExitCode(), 0u);
}

// An ATI TV format the driver does not offer yet and this desktop refuses: the popup shows where
// to enable it, with the HDMI picture drawn.
TEST_F(Exe32, RefusedAtiFormatShowsItsHintPopupDrawn) {
    StandinDrivers drivers;
    ProgramUnderTest program;
    HWND window = StartOn("ati-hdmi", drivers, program);
    ASSERT_NE(window, nullptr);
    ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_720_LARGE, BN_CLICKED), 0);
    HWND popup = program.WaitForWindow(kDialogClass, kHintTitle, 10000);
    ASSERT_NE(popup, nullptr) << "the hint popup";
    Settle(800);
    SaveScreenshotArtifact("exe32_ati_hint");
    EXPECT_EQ(HintPictureShown(popup, m_views.Bitmaps()), 0) << "the HDMI hint picture";
    EXPECT_TRUE(DesktopIs(1920, 1080));
}

}  // namespace
