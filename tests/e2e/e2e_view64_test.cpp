// The 64-bit exe's main window on each simulated adapter, checked as a user sees it
// (view_checks.h).
#include <gtest/gtest.h>

#include "view_checks.h"

namespace {

class MainWindowViews : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_views.Loaded()) << "the exe's bitmaps cannot be read"; }

    ViewChecks m_views;
};

TEST_F(MainWindowViews, NvidiaLightsEachConnectorItNamesAndNoneForAnUnknownCode) { m_views.CheckScenarios("nvidia-"); }

TEST_F(MainWindowViews, AtiLightsHdmiComponentOrBothStandardConnectors) { m_views.CheckScenarios("ati-"); }

TEST_F(MainWindowViews, IntelLightsEachConnectorItNames) { m_views.CheckScenarios("intel-"); }

TEST_F(MainWindowViews, AfterADetectionErrorEveryPictureLightsUnderThePointer) { m_views.CheckScenarios("none"); }

// A click at the centre of a resolution button, wherever the scale puts it, switches the desktop.
TEST_F(MainWindowViews, AClickAtAResolutionButtonsCentreSwitches) {
    StandinDrivers drivers;
    ASSERT_TRUE(SimulateAdapter(drivers, *FindScenario("nvidia-svideo")));
    ProgramUnderTest program;
    HWND window = StartAndWaitForMainWindow(program);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(ClickAt(ControlCentre(window, IDC_800))) << "the pointer never reached the button";
    EXPECT_NE(program.WaitForWindow(kDialogClass, "Accept Now ?", 10000), nullptr);
    EXPECT_EQ(DesktopSize().cx, 800);
}

// The animation starts before detection, so it plays after a detection error too.
TEST_F(MainWindowViews, TheCornerAnimationPlaysAfterADetectionError) {
    StandinDrivers drivers;
    ProgramUnderTest program;
    ASSERT_TRUE(program.Start());
    EXPECT_EQ(AnswerStartupMessageBoxes(program, 20000).size(), 2u) << "NVIDIA's two failure messages";
    HWND window = program.WaitForWindow(kDialogClass, kMainTitle, 20000);
    ASSERT_NE(window, nullptr);
    // The animation starts once the window is painted, and takes its own size then.
    EXPECT_TRUE(CornerAnimates(window));
    const RECT corner = WindowRect(::GetDlgItem(window, IDC_ANIMATION));
    EXPECT_EQ(corner.right - corner.left, m_views.Scaled(42));  // the animation's size, not the template's
    EXPECT_EQ(corner.bottom - corner.top, m_views.Scaled(32));
}

}  // namespace
