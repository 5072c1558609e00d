// The main window as a screen reader and a keyboard user meet it: what the system's
// accessibility interface reads for each control in Tab order, and the focus marks, hidden
// until a key is used when the user's keyboard cues are off.
#include <gtest/gtest.h>
#include <ole2.h>
#include <oleacc.h>

#include <string>
#include <vector>

#include "e2e_support.h"
#include "resource.h"
#include "scenarios.h"

namespace {

// Spelled out: a static mingw link gives a wrong IID_IAccessible.
constexpr IID kIID_IAccessible = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

// "name (role, state bits)" as another process reads them through oleacc.
std::string Read(HWND control) {
    IAccessible* object = nullptr;
    if (FAILED(::AccessibleObjectFromWindow(control, OBJID_CLIENT, kIID_IAccessible, reinterpret_cast<void**>(&object))))
        return "no accessible object";
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    VARIANT role{}, state{};
    object->get_accName(self, &name);
    object->get_accRole(self, &role);
    object->get_accState(self, &state);
    object->Release();
    std::string text;
    for (const wchar_t* c = name; c && *c; ++c) text += static_cast<char>(*c);
    ::SysFreeString(name);
    text += role.lVal == ROLE_SYSTEM_PUSHBUTTON ? " (button" : role.lVal == ROLE_SYSTEM_GRAPHIC ? " (graphic" : " (other";
    return text + ((state.lVal & STATE_SYSTEM_FOCUSED) ? ", focused)" : ")");
}

struct Walk {
    std::vector<std::string> names;
    std::string logo;
};

// Every control Tab reaches, in the order it reaches them, from the first.
Walk WalkWithScreenReader(const char* scenarioName) {
    StandinDrivers drivers;
    SimulateAdapter(drivers, *FindScenario(scenarioName));
    ProgramUnderTest program;
    HWND window = StartAndWaitForMainWindow(program);
    if (!window) return {};
    Walk walk{{}, Read(::GetDlgItem(window, -1))};
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

TEST_F(Accessibility, AScreenReaderReadsEveryButtonInTabOrderWithTheDetectedConnectorAndDesktopSizes) {
    const Walk hdmi = WalkWithScreenReader("nvidia-hdmi");
    EXPECT_EQ(hdmi.names, (std::vector<std::string>{
                              "Close (button, focused)", "S-Video (button)", "Composite (button)",
                              "Component (button)", "HDMI, detected (button)",
                              "480i/480p, upper row, 640 x 480 (button)", "720i/720p, upper row, 1280 x 720 (button)",
                              "1080i/1080p, upper row, 1920 x 1080 (button)", "480i/480p, lower row, 640 x 480 (button)",
                              "720i/720p, lower row, 1152 x 648 (button)", "1080i/1080p, lower row, 1776 x 1000 (button)"}));
    EXPECT_EQ(hdmi.logo, "ORVA TV Setting (graphic)");

    const Walk startUp = WalkWithScreenReader("nvidia-unknown");
    EXPECT_EQ(startUp.names, (std::vector<std::string>{"Close (button, focused)", "S-Video (button)",
                                                       "Composite (button)", "Component (button)", "HDMI (button)",
                                                       "640 x 480 (button)", "800 x 600 (button)",
                                                       "1024 x 768 (button)"}));
}

// With the keyboard cues off, the window opens without focus marks; the first Tab shows them.
TEST_F(Accessibility, WithKeyboardCuesOffTheFocusRingAppearsOnlyAfterTheFirstTab) {
    ASSERT_TRUE(::SystemParametersInfoA(SPI_SETKEYBOARDCUES, 0, nullptr, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE));
    StandinDrivers drivers;
    SimulateAdapter(drivers, *FindScenario("nvidia-hdmi"));
    ProgramUnderTest program;
    HWND window = StartAndWaitForMainWindow(program);
    ASSERT_NE(window, nullptr);
    MoveMouseTo(POINT{5, 5});  // away from the window
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
    EXPECT_FALSE(shows(IDC_SVIDEO, IDB_SVIDEO_UNLIT)) << "no focus mark on S-Video after Tab";
    EXPECT_TRUE(shows(IDC_CLOSE, IDB_CLOSE_NORMAL)) << "the close button kept a mark after losing the focus";
    SaveScreenshotArtifact("focus_ring_connector");
    for (int press = 0; press < 5; ++press) PressKey(VK_TAB);  // on to the upper 720 button
    Settle(300);
    EXPECT_FALSE(shows(IDC_720_SMALL, 194)) << "no focus mark on the upper 720 button";
    SaveScreenshotArtifact("focus_ring_resolution");
    ::SystemParametersInfoA(SPI_SETKEYBOARDCUES, 0, reinterpret_cast<void*>(TRUE), SPIF_UPDATEINIFILE);
}

}  // namespace
