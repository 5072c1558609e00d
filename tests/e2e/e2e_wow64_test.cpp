// The 32-bit exe we ship, driven from this 64-bit program in Wine's WoW64 mode (ORVA_WOW64=1,
// the 32-bit stand-ins in syswow64). Wine 8.0 draws nothing from 32-bit code (docs/wow64.md), so
// the view is read through window APIs: the row of resolution buttons shown, and the stand-ins' log.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "e2e_support.h"
#include "resource.h"
#include "scenarios.h"

namespace {

bool DesktopIs(LONG width, LONG height) { return DesktopSize().cx == width && DesktopSize().cy == height; }

int VisibleCount(HWND window, std::initializer_list<int> ids) {
    int count = 0;
    for (int id : ids) count += ::IsWindowVisible(::GetDlgItem(window, id)) ? 1 : 0;
    return count;
}

std::string ShownRow(HWND window) {
    const int standard = VisibleCount(window, {IDC_640, IDC_800, IDC_1024});
    const int high = VisibleCount(window, {IDC_480_SMALL, IDC_720_SMALL, IDC_1080_SMALL, IDC_480_LARGE,
                                           IDC_720_LARGE, IDC_1080_LARGE});
    return standard == 3 && high == 0 ? "standard row" : standard == 0 && high == 6 ? "high-definition rows" : "a mix";
}

class Wow64Program : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(DrivesWow64Program()) << "run with ORVA_WOW64=1"; }

    HWND Start() {
        m_log.Clear();
        if (!m_program.Start()) return nullptr;
        HWND window = m_program.WaitForWindow(kDialogClass, kMainTitle, 30000);
        BOOL wow64 = FALSE;
        EXPECT_TRUE(::IsWow64Process(m_program.Process(), &wow64) && wow64) << "the program is the 32-bit build";
        Settle(500);
        return window;
    }
    // The close button: the program ends by itself with code 0 and the desktop as it was.
    void CloseAndExpectCleanEnd(HWND window) {
        ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_CLOSE, BN_CLICKED), 0);
        EXPECT_TRUE(m_program.WaitForExit(5000)) << "the program still runs 5 s after its close button";
        EXPECT_EQ(m_program.ExitCode(), 0u);
        EXPECT_TRUE(DesktopIs(1920, 1080));
    }

    StandinLog m_log;
    ProgramUnderTest m_program;
};

// One adapter per vendor, and the ATI library in both calling conventions: a driver exporting
// GetConfiguration __stdcall pops its three arguments itself, and the answer must be the same.
TEST_F(Wow64Program, EachVendorShowsItsRowWhicheverConventionAndTheProgramEndsCleanly) {
    // The scenario, the build of the ATI stand-in (ATI rows), the log line of the vendor's answer.
    struct Row { const char* scenario; const char* atiLibrary; const char* standinCall; };
    for (const Row& row : {Row{"nvidia-hdmi", nullptr, "nvapi QueryTvOutputInfo"},
                           Row{"intel-component", nullptr, "QueryConnectorType uid=7"},
                           Row{"ati-hdmi", "atipdlxx.dll", "atipdl GetConfiguration 0 8 "},
                           Row{"ati-hdmi", "atipdl_stdcall.dll", "atipdl GetConfiguration 0 8 "}}) {
        SCOPED_TRACE(std::string(row.scenario) + " " + (row.atiLibrary ? row.atiLibrary : ""));
        const AdapterScenario* scenario = FindScenario(row.scenario);
        StandinDrivers drivers;
        ASSERT_TRUE(scenario && SimulateAdapter(drivers, *scenario));
        ASSERT_TRUE(!row.atiLibrary || drivers.InstallAti(row.atiLibrary));
        HWND window = Start();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(ShownRow(window), scenario->view->highDefinitionRow ? "high-definition rows" : "standard row");
        EXPECT_EQ(m_log.Count(row.standinCall), 1u) << m_log.Text();
        SaveScreenshotArtifact(std::string("wow64_") + row.scenario);
        CloseAndExpectCleanEnd(window);
    }
}

// The 720 button switches the desktop and asks; nobody answers, the countdown closes the box
// and 1920 x 1080 comes back.
TEST_F(Wow64Program, UnansweredSwitchComesBack) {
    StandinDrivers drivers;
    ASSERT_TRUE(SimulateAdapter(drivers, *FindScenario("nvidia-hdmi")));
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    const DWORD chosen = ::GetTickCount();
    ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_720_SMALL, BN_CLICKED), 0);
    HWND box = m_program.WaitForWindow(kDialogClass, "Accept Now ?", 10000);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(DesktopIs(1280, 720));
    EXPECT_EQ(MessageBoxText(box).rfind("Press button\nwithin 1", 0), 0u) << MessageBoxText(box);
    EXPECT_TRUE(WaitUntil([box] { return !::IsWindow(box); }, 17000)) << "the countdown ends the box";
    EXPECT_TRUE(WaitUntil([] { return DesktopIs(1920, 1080); }, 18000 - (::GetTickCount() - chosen)))
        << "still " << DesktopSize().cx << " x " << DesktopSize().cy;
    CloseAndExpectCleanEnd(window);
}

}  // namespace
