// The 32-bit exe we ship, driven from this 64-bit program in Wine's WoW64 mode (ORVA_WOW64=1:
// the 32-bit stand-ins in the prefix's syswow64). Wine 8.0 draws nothing from 32-bit code (its
// 32-bit win32u has no way to reach the device-context calls), so the view is read through
// window APIs: which row of resolution buttons is shown, and what the stand-ins were asked.
#include <gtest/gtest.h>

#include <string>

#include "e2e_support.h"
#include "resource.h"
#include "scenarios.h"

namespace {

constexpr int kStandardRow[] = {IDC_640, IDC_800, IDC_1024};
constexpr int kHighDefinitionRows[] = {IDC_480_SMALL, IDC_720_SMALL, IDC_1080_SMALL,
                                       IDC_480_LARGE, IDC_720_LARGE, IDC_1080_LARGE};

bool DesktopIs(LONG width, LONG height) {
    const SIZE size = DesktopSize();
    return size.cx == width && size.cy == height;
}

// "high-definition rows", "standard row", or what else the shown buttons make.
std::string ShownRow(HWND window) {
    int standard = 0, highDefinition = 0;
    for (int id : kStandardRow) standard += ::IsWindowVisible(::GetDlgItem(window, id)) ? 1 : 0;
    for (int id : kHighDefinitionRows) highDefinition += ::IsWindowVisible(::GetDlgItem(window, id)) ? 1 : 0;
    if (standard == 3 && highDefinition == 0) return "standard row";
    if (standard == 0 && highDefinition == 6) return "high-definition rows";
    return std::to_string(standard) + " standard and " + std::to_string(highDefinition) + " high-definition buttons";
}

std::string ExpectedRow(const ExpectedView& view) {
    return view.highDefinitionRow ? "high-definition rows" : "standard row";
}

class Wow64Program : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(DrivesWow64Program()) << "run with ORVA_WOW64=1"; }

    // Starts the 32-bit exe; the main window, or null.
    HWND Start() {
        m_log.Clear();
        if (!m_program.Start()) return nullptr;
        HWND window = m_program.WaitForWindow(kDialogClass, kMainTitle, 30000);
        BOOL wow64 = FALSE;
        ::IsWow64Process(m_program.Process(), &wow64);
        EXPECT_TRUE(wow64) << "the program under test is the 32-bit build";
        Settle(500);
        return window;
    }
    // The close button, as a user presses it: the program ends by itself, leaving no window.
    void CloseAndExpectCleanEnd(HWND window) {
        ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_CLOSE, BN_CLICKED), 0);
        EXPECT_TRUE(m_program.WaitForExit(5000)) << "the program still runs 5 s after its close button";
        EXPECT_EQ(m_program.ExitCode(), 0u);
        EXPECT_TRUE(DesktopIs(1920, 1080));
    }

    StandinDrivers m_drivers;
    StandinLog m_log;
    ProgramUnderTest m_program;
};

// One adapter per vendor; each program runs in turn and ends by its close button.
TEST_F(Wow64Program, EachVendorShowsItsRowAndTheProgramEndsCleanly) {
    struct Row {
        const char* scenario;
        const char* standinCall;  // the log line that shows the vendor answered
    };
    for (const Row& row : {Row{"nvidia-hdmi", "nvapi QueryTvOutputInfo"}, Row{"intel-component", "QueryConnectorType uid=7"},
                           Row{"ati-svideo", "atipdl GetConfiguration 0 8"}}) {
        SCOPED_TRACE(row.scenario);
        const AdapterScenario* scenario = FindScenario(row.scenario);
        ASSERT_NE(scenario, nullptr);
        StandinDrivers drivers;
        ASSERT_TRUE(SimulateAdapter(drivers, *scenario));
        HWND window = Start();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(ShownRow(window), ExpectedRow(*scenario->view));
        EXPECT_EQ(m_log.Count(row.standinCall), 1u) << m_log.Text();
        SaveScreenshotArtifact(std::string("wow64_") + row.scenario);
        CloseAndExpectCleanEnd(window);
    }
}

// The ATI library's connector query has no documented convention: a driver exporting it
// __stdcall pops its three arguments itself. Both builds answer HDMI; both must show it.
TEST_F(Wow64Program, AtiAnswerIsReadTheSameWhicheverConventionTheLibraryUses) {
    for (const char* library : {"atipdlxx.dll", "atipdl_stdcall.dll"}) {
        SCOPED_TRACE(library);
        StandinDrivers drivers;
        ASSERT_TRUE(drivers.InstallAti(library));
        drivers.Scenario("ORVA_ATI_ANSWER", "2");
        HWND window = Start();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(m_log.Count("atipdl GetConfiguration 0 8 "), 1u) << m_log.Text();
        EXPECT_EQ(ShownRow(window), "high-definition rows");
        CloseAndExpectCleanEnd(window);
    }
}

// The 720 button switches the desktop and asks; nobody answers, and 1920 x 1080 comes back
// within the countdown's 15 s (and a little).
TEST_F(Wow64Program, UnansweredSwitchComesBack) {
    ASSERT_TRUE(SimulateAdapter(m_drivers, *FindScenario("nvidia-hdmi")));
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    const DWORD chosen = ::GetTickCount();
    ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_720_SMALL, BN_CLICKED), 0);
    HWND box = m_program.WaitForWindow(kDialogClass, "Accept Now ?", 10000);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(DesktopIs(1280, 720));
    EXPECT_EQ(MessageBoxText(box).rfind("Press button\nwithin 1", 0), 0u) << MessageBoxText(box);
    SaveScreenshotArtifact("wow64_countdown");
    EXPECT_TRUE(WaitUntil([box] { return !::IsWindow(box); }, 17000)) << "the countdown ends the box";
    EXPECT_TRUE(WaitUntil([] { return DesktopIs(1920, 1080); }, 18000 - (::GetTickCount() - chosen)))
        << "still " << DesktopSize().cx << " x " << DesktopSize().cy;
    CloseAndExpectCleanEnd(window);
}

}  // namespace
