// The main window as a screen reader, a keyboard and a remote control meet it: what the system's
// accessibility interface reads for each control and for the window, where the arrows, Tab and
// Enter take the user, the message beside a refused button, and the focus marks, hidden until a
// key is used when the user's keyboard cues are off.
#include <gtest/gtest.h>
#include <oleacc.h>

#include <string>
#include <vector>

#include "e2e_support.h"
#include <commctrl.h>  // after <windows.h>, which it needs
#include "resource.h"
#include "scenarios.h"

namespace {

// "name (role, state bits)" as another process reads them through oleacc.
std::string Read(HWND control) {
    const AccessibleView view = ReadAccessible(control);
    const char* role = view.role == ROLE_SYSTEM_PUSHBUTTON ? " (button" : view.role == ROLE_SYSTEM_GRAPHIC ? " (graphic" : " (other";
    return view.name + role + ((view.state & STATE_SYSTEM_FOCUSED) ? ", focused)" : ")");
}

struct Walk {
    std::vector<std::string> names;      // every control Tab reaches, in the order it reaches them
    std::vector<std::string> pictures;   // the connector pictures, the animation and the logo
    std::string description;             // the window's
};

Walk WalkWithScreenReader(const char* scenarioName) {
    StandinDrivers drivers;
    SimulateAdapter(drivers, *FindScenario(scenarioName));
    ProgramUnderTest program;
    HWND window = StartAndWaitForMainWindow(program);
    if (!window) return {};
    Walk walk{{}, {}, ReadAccessible(window).description};
    for (int control : {IDC_SVIDEO, IDC_COMPOSITE, IDC_COMPONENT, IDC_HDMI, IDC_ANIMATION, -1})
        walk.pictures.push_back(Read(::GetDlgItem(window, control)));
    HWND first = ::GetNextDlgTabItem(window, nullptr, FALSE);
    for (HWND control = first; control && walk.names.size() < 20;) {
        walk.names.push_back(Read(control));
        control = ::GetNextDlgTabItem(window, control, FALSE);
        if (control == first) break;
    }
    return walk;
}

class Accessibility : public testing::Test {
protected:
    void SetUp() override { ::CoInitialize(nullptr); }
    void TearDown() override { ::CoUninitialize(); }
};

TEST_F(Accessibility, AScreenReaderReadsEveryButtonInTabOrderThePicturesAsGraphicsAndTheConnectorDetected) {
    const Walk hdmi = WalkWithScreenReader("nvidia-hdmi");
    EXPECT_EQ(hdmi.names, (std::vector<std::string>{
                              "Close (button, focused)", "480i/480p FULL, 640 x 480 (button)",
                              "720i/720p FULL, 1280 x 720 (button)", "1080i/1080p FULL, 1920 x 1080 (button)",
                              "480i/480p FIT, 640 x 480 (button)", "720i/720p FIT, 1152 x 648 (button)",
                              "1080i/1080p FIT, 1776 x 1000 (button)"}));
    EXPECT_EQ(hdmi.pictures, (std::vector<std::string>{"S-Video (graphic)", "Composite (graphic)", "Component (graphic)",
                                                       "HDMI, detected (graphic)", " (other)",
                                                       "ORVA TV Setting (graphic)"}));
    EXPECT_EQ(hdmi.description, "TV connector: HDMI");

    const Walk startUp = WalkWithScreenReader("nvidia-unknown");
    EXPECT_EQ(startUp.names, (std::vector<std::string>{"Close (button, focused)", "640 x 480 (button)",
                                                       "800 x 600 (button)", "1024 x 768 (button)"}));
    EXPECT_EQ(startUp.description, "No TV connector detected");
}

// A remote control's keys, pressed for real: the arrows walk the rows, Enter presses the focused
// button, and a press that switches nothing says so beside the button without taking the focus.
class RemoteControl : public Accessibility {
protected:
    HWND Start(const char* scenarioName) {
        SimulateAdapter(m_drivers, *FindScenario(scenarioName));
        m_window = StartAndWaitForMainWindow(m_program);
        if (m_window) ::SetForegroundWindow(m_window);
        Settle(300);
        return m_window;
    }
    // The control of the main window that has the keyboard focus (0 for none).
    int Focused() const { return FocusedControl(m_window); }
    // Presses each key and notes where the focus went.
    std::vector<int> FocusAfter(std::initializer_list<WORD> keys) const {
        std::vector<int> reached;
        for (WORD key : keys) {
            PressKey(key);
            reached.push_back(Focused());
        }
        return reached;
    }
    // The visible balloon of the program, if any.
    HWND Balloon() const {
        for (HWND window : m_program.TopLevelWindows()) {
            char name[64] = {};
            ::GetClassNameA(window, name, sizeof name);
            if (lstrcmpiA(name, TOOLTIPS_CLASSA) == 0 && (::GetWindowLongA(window, GWL_STYLE) & TTS_BALLOON)) return window;
        }
        return nullptr;
    }

    StandinDrivers m_drivers;
    ProgramUnderTest m_program;
    HWND m_window = nullptr;
};

TEST_F(RemoteControl, ArrowsWalkTheRowsEnterPressesTheFocusedButtonAndARefusalIsShownBesideIt) {
    ASSERT_NE(Start("nvidia-hdmi"), nullptr);
    ASSERT_EQ(Focused(), IDC_CLOSE);
    ASSERT_EQ(FocusAfter({VK_DOWN}), std::vector<int>{IDC_1080_SMALL}) << "Down from Close keeps its column, the last";

    // 1920 x 1080 at 30 Hz is not listed here: a message beside the button, the focus stays.
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitUntil([this] { return Balloon() != nullptr; }, 3000)) << "no message beside the button";
    const DWORD shown = ::GetTickCount();
    HWND balloon = Balloon();
    EXPECT_EQ(Read(balloon).rfind("This adapter does not offer 1920 x 1080 at 30 Hz", 0), 0u) << Read(balloon);
    EXPECT_EQ(Focused(), IDC_1080_SMALL);
    EXPECT_EQ(::GetForegroundWindow(), m_window);
    EXPECT_EQ(DesktopSize().cx, 1920);
    SaveScreenshotArtifact("refusal_notice");

    EXPECT_EQ(FocusAfter({VK_LEFT, VK_LEFT, VK_LEFT, VK_DOWN, VK_DOWN, VK_RIGHT, VK_UP, VK_UP, VK_RIGHT, VK_LEFT, VK_UP,
                    VK_DOWN, VK_DOWN, VK_RIGHT, VK_RIGHT, VK_TAB, VK_TAB}),
              (std::vector<int>{IDC_720_SMALL, IDC_480_SMALL, IDC_480_SMALL, IDC_480_LARGE, IDC_480_LARGE, IDC_720_LARGE,
                                IDC_720_SMALL, IDC_CLOSE, IDC_CLOSE, IDC_CLOSE, IDC_CLOSE, IDC_720_SMALL, IDC_720_LARGE,
                                IDC_1080_LARGE, IDC_1080_LARGE, IDC_CLOSE, IDC_480_SMALL}));
    EXPECT_TRUE(WaitUntil([this] { return Balloon() == nullptr; }, 8000 - (::GetTickCount() - shown)))
        << "the message stays";

    // Enter on a resolution switches and asks; Enter on Close afterwards ends the program and
    // switches nothing.
    EXPECT_EQ(FocusAfter({VK_RIGHT}), std::vector<int>{IDC_720_SMALL});
    SaveScreenshotArtifact("focus_moved_by_arrows");
    PressKey(VK_RETURN);
    HWND box = m_program.WaitForWindow("#32770", "Accept Now ?", 10000);
    ASSERT_NE(box, nullptr) << "Enter on 720 FULL asks nothing";
    EXPECT_EQ(DesktopSize().cx, 1280);
    ::SetForegroundWindow(box);
    Settle(200);
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitUntil([box] { return !::IsWindowVisible(box); }, 3000));
    ::SetForegroundWindow(m_window);
    Settle(300);
    EXPECT_EQ(FocusAfter({VK_UP}), std::vector<int>{IDC_CLOSE});
    PressKey(VK_RETURN);
    EXPECT_EQ(m_program.WaitForWindow("#32770", "Accept Now ?", 2000), nullptr) << "Enter on Close switched again";
    EXPECT_TRUE(m_program.WaitForExit(5000)) << "Enter on Close did not close";
}

// In the start-up view a picture lights under the pointer; a click on it leaves the focus where
// it was.
TEST_F(RemoteControl, ArrowsWalkTheStandardRowAndAClickedPictureTakesNoFocus) {
    ASSERT_NE(Start("nvidia-unknown"), nullptr);
    EXPECT_EQ(FocusAfter({VK_DOWN, VK_LEFT, VK_LEFT, VK_LEFT, VK_DOWN, VK_UP, VK_DOWN, VK_RIGHT, VK_RIGHT, VK_RIGHT}),
              (std::vector<int>{IDC_1024, IDC_800, IDC_640, IDC_640, IDC_640, IDC_CLOSE, IDC_640, IDC_800, IDC_1024,
                                IDC_1024}));
    EXPECT_TRUE(ClickAt(ControlCentre(m_window, IDC_SVIDEO)));
    EXPECT_EQ(Focused(), IDC_1024);
}

// With the keyboard cues off, the window opens without focus marks; the first Tab shows them.
TEST_F(Accessibility, WithKeyboardCuesOffTheFocusRingAppearsOnlyAfterTheFirstTab) {
    ASSERT_TRUE(::SystemParametersInfoA(SPI_SETKEYBOARDCUES, 0, nullptr, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE));
    StandinDrivers drivers;
    SimulateAdapter(drivers, *FindScenario("nvidia-hdmi"));
    ProgramUnderTest program;
    HWND window = StartAndWaitForMainWindow(program);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(MoveMouseTo(POINT{5, 5}));  // away from the window
    Settle(500);
    const ProgramBitmaps bitmaps;
    auto shows = [&](int control, UINT image) {
        RECT r{};
        ::GetWindowRect(::GetDlgItem(window, control), &r);
        return ScreenPixels(r) == bitmaps.Get(image);
    };
    EXPECT_TRUE(shows(IDC_CLOSE, IDB_CLOSE_NORMAL)) << "the focused close button shows a focus mark before any key";

    ::SetForegroundWindow(window);
    PressKey(VK_TAB);
    Settle(300);
    EXPECT_FALSE(shows(IDC_480_SMALL, IDB_480_SMALL_NORMAL)) << "no focus mark on the upper 480 button after Tab";
    EXPECT_TRUE(shows(IDC_CLOSE, IDB_CLOSE_NORMAL)) << "the close button kept a mark after losing the focus";
    PressKey(VK_TAB);  // on to the upper 720 button
    Settle(300);
    EXPECT_FALSE(shows(IDC_720_SMALL, IDB_720_SMALL_NORMAL)) << "no focus mark on the upper 720 button";
    SaveScreenshotArtifact("focus_ring_resolution");
    ::SystemParametersInfoA(SPI_SETKEYBOARDCUES, 0, reinterpret_cast<void*>(TRUE), SPIF_UPDATEINIFILE);
}

}  // namespace
