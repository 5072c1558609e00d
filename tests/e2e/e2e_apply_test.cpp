// The resolution commands as a user meets them: the real program on a Wine desktop of
// 1920 x 1080 with a stand-in adapter, the desktop mode read after every step.
#include <gtest/gtest.h>
#include <ole2.h>

#include <algorithm>
#include <string>

#include "e2e_support.h"
#include "resource.h"
#include "standin_install.h"
#include "view_checks.h"

namespace {

constexpr const char* kQuestion = "Accept Now ?";
constexpr DWORD kQuietMs = 2500;  // long enough for a switch and its question to have come

bool DesktopIs(LONG width, LONG height) {
    const SIZE size = DesktopSize();
    return size.cx == width && size.cy == height;
}

class ApplyFlow : public testing::Test {
protected:
    bool Start() {
        m_log.Clear();
        if (!m_program.Start()) return false;
        m_window = m_program.WaitForWindow(kDialogClass, kMainTitle, 20000);
        Settle(500);
        return m_window != nullptr;
    }
    void Choose(int id) { ::PostMessageA(m_window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    void PressEnter() {
        ::SetForegroundWindow(m_window);
        Settle(200);
        PressKey(VK_RETURN);
    }
    HWND WaitForQuestion(DWORD timeoutMs) const { return m_program.WaitForWindow(kDialogClass, kQuestion, timeoutMs); }
    void ExpectNoQuestion() const { EXPECT_EQ(WaitForQuestion(kQuietMs), nullptr) << "nothing is to be asked"; }
    // Presses the box's OK from the keyboard, as a user would.
    void Answer(HWND box) const {
        ::SetForegroundWindow(box);
        Settle(200);
        PressKey(VK_RETURN);
        EXPECT_TRUE(WaitUntil([box] { return !::IsWindowVisible(box); }, 3000));
    }
    // Chooses a resolution, expects the question over the new desktop size, and answers it: the
    // mode is stored only then, and the window stays wholly on the new desktop.
    void ChooseAndAccept(int id, LONG width, LONG height, const char* screenshot = nullptr) {
        const std::string storedBefore = StoredMode();
        Choose(id);
        HWND box = WaitForQuestion(10000);
        ASSERT_NE(box, nullptr) << "control " << id;
        EXPECT_TRUE(DesktopIs(width, height)) << "control " << id;
        EXPECT_EQ(StoredMode(), storedBefore) << "nothing unconfirmed is stored";
        Answer(box);
        ExpectNoQuestion();
        EXPECT_TRUE(DesktopIs(width, height)) << "an answered mode stays";
        EXPECT_EQ(StoredMode(), std::to_string(width) + "x" + std::to_string(height));
        EXPECT_TRUE(WhollyOnDesktop(m_window)) << "control " << id;
        if (screenshot) SaveScreenshotArtifact(screenshot);
    }
    // Chooses a resolution and lets the countdown run out: the desktop is back at 1920 x 1080
    // within 17 s of the choice, nothing was stored, and the window is back where it was.
    void ChooseAndLetItRevert(int id, LONG width, LONG height, const char* screenshots = nullptr) {
        const RECT placeBefore = WindowRect(m_window);
        const std::string storedBefore = StoredMode();
        const DWORD chosen = ::GetTickCount();
        Choose(id);
        HWND box = WaitForQuestion(10000);
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(DesktopIs(width, height));
        EXPECT_TRUE(WhollyOnDesktop(m_window));
        EXPECT_EQ(StoredMode(), storedBefore) << "nothing unconfirmed is stored";
        EXPECT_EQ(MessageBoxText(box).rfind("Press button\nwithin 1", 0), 0u) << MessageBoxText(box);
        EXPECT_TRUE(WaitUntil([box] { return MessageBoxText(box).find("within 12 sec") != std::string::npos; }, 5000))
            << "the box counts down";
        if (screenshots) SaveScreenshotArtifact(std::string(screenshots) + "_countdown");
        EXPECT_TRUE(WaitUntil([] { return DesktopIs(1920, 1080); }, 17000 - (::GetTickCount() - chosen)));
        EXPECT_FALSE(::IsWindowVisible(box));
        Settle(500);
        if (screenshots) SaveScreenshotArtifact(std::string(screenshots) + "_reverted");
        ExpectNoQuestion();
        EXPECT_EQ(StoredMode(), storedBefore);
        const RECT placeAfter = WindowRect(m_window);
        EXPECT_TRUE(::EqualRect(&placeAfter, &placeBefore)) << "the window is back where it was";
    }

    StandinDrivers m_drivers;
    StandinLog m_log;
    ProgramUnderTest m_program;
    HWND m_window = nullptr;
};

TEST_F(ApplyFlow, NvidiaHdmiRevertsAnUnansweredModeKeepsAnAnsweredOneAndSkipsAnUnlistedOne) {
    ASSERT_TRUE(m_drivers.InstallNvapi());
    m_drivers.Scenario("ORVA_NV_CONNECTOR", "97");
    ASSERT_TRUE(Start());
    ASSERT_TRUE(DesktopIs(1920, 1080));
    SaveScreenshotArtifact("apply_before_switch");

    Choose(IDOK);  // the default command before any resolution: nothing to apply
    ExpectNoQuestion();
    EXPECT_TRUE(DesktopIs(1920, 1080));

    ChooseAndLetItRevert(IDC_720_SMALL, 1280, 720, "apply");

    // The default command applies the mode named last and asks again.
    Choose(IDOK);
    HWND box = WaitForQuestion(10000);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(DesktopIs(1280, 720));
    Answer(box);
    ExpectNoQuestion();
    EXPECT_TRUE(DesktopIs(1280, 720));

    // 1920 x 1080 at 30 Hz is not listed: nothing changes and nothing is asked.
    Choose(IDC_1080_SMALL);
    ExpectNoQuestion();
    EXPECT_TRUE(DesktopIs(1280, 720));
}

// The revert of a standard-definition choice asks for 30 Hz, which this desktop does not list:
// the old size still comes back, at a rate it does list.
TEST_F(ApplyFlow, NvidiaSVideoRevertsAtAListedRateAndItsHdButtonsAskForStandardSizes) {
    ASSERT_TRUE(m_drivers.InstallNvapi());
    m_drivers.Scenario("ORVA_NV_CONNECTOR", "17");
    ASSERT_TRUE(Start());
    ChooseAndLetItRevert(IDC_640, 640, 480, "svideo_640");
    ChooseAndAccept(IDC_640, 640, 480, "accepted_640x480");
    ChooseAndAccept(IDC_720_SMALL, 800, 600);
    ChooseAndAccept(IDC_1080_LARGE, 1024, 768);
}

TEST_F(ApplyFlow, IntelComponentRetunesTheTvOnlyForAListedModeAndRestoresItWhenNobodyAnswers) {
    ASSERT_TRUE(m_drivers.RegisterIntel());
    m_drivers.Scenario("ORVA_IGFX_DISPLAY1_0", "7,4,0");
    m_drivers.Scenario("ORVA_IGFX_CONNECTOR_TYPE", "32");
    m_drivers.Scenario("ORVA_IGFX_READ_FILL", "AA");
    ASSERT_TRUE(Start());
    const std::string write = "WriteTvParameters uid=7 size=320 block=";
    const std::string asRead = write + std::string(640, 'A') + " -> hr=0x00000000";

    // 1064 x 600 is not listed: the TV keeps its format and nothing is asked.
    Choose(IDC_720_LARGE);
    ExpectNoQuestion();
    EXPECT_EQ(m_log.Count("WriteTvParameters"), 0u) << m_log.Text();

    // Enter typed during the pause does not answer the question nobody has seen yet. Nobody
    // answers it: the driver gets its own parameters back, 3 s before the desktop follows.
    Choose(IDC_720_SMALL);
    Settle(1000);
    PressEnter();
    HWND box = WaitForQuestion(15000);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(DesktopIs(1280, 720));
    ASSERT_TRUE(WaitUntil([&] { return m_log.Count(asRead) == 1; }, 18000)) << m_log.Text();
    EXPECT_TRUE(DesktopIs(1280, 720)) << "the TV is retuned before the desktop";
    EXPECT_TRUE(WaitUntil([] { return DesktopIs(1920, 1080); }, 5000));
    EXPECT_EQ(m_log.Count(write), 2u) << m_log.Text();

    struct Step {
        int id;
        LONG width, height;
        const char* formatWord;  // word 2 of the block as the log shows its bytes
    };
    for (const Step& step : {Step{IDC_720_SMALL, 1280, 720, "00000008"}, Step{IDC_1080_SMALL, 1920, 1080, "00000010"}}) {
        SCOPED_TRACE(step.width);
        m_log.Clear();
        const DWORD chosen = ::GetTickCount();
        Choose(step.id);
        box = WaitForQuestion(15000);
        ASSERT_NE(box, nullptr);
        EXPECT_GE(::GetTickCount() - chosen, 3000u) << "the switch waits for the TV to retune";
        EXPECT_TRUE(DesktopIs(step.width, step.height));
        // The block as read, word 0 = 128 and word 2 = the format, written back once.
        const std::string block = "80000000" "AAAAAAAA" + std::string(step.formatWord) + std::string(616, 'A');
        EXPECT_EQ(m_log.Count(write + block + " -> hr=0x00000000"), 1u) << m_log.Text();
        EXPECT_LT(m_log.Find("ReadTvParameters uid=7"), m_log.Find("WriteTvParameters")) << m_log.Text();
        Answer(box);
        Settle(3500);
        EXPECT_EQ(m_log.Count(write), 1u) << "an answered format stays";
    }
}

// An unlisted mode on ATI: one temporary try, which this desktop refuses, then the popup with the
// control-panel picture of the connector (none for S-Video and Composite), and no question.
TEST_F(ApplyFlow, AtiUnlistedModeRefusedShowsTheConnectorsHintAndAsksNothing) {
    ASSERT_TRUE(m_drivers.InstallAti());
    struct Row {
        const char* answer;
        int id;
        UINT picture;  // 0: no picture
    };
    const Row rows[] = {{"2", IDC_720_LARGE, IDB_HINT_HDMI}, {"4", IDC_1080_LARGE, IDB_HINT_COMPONENT}, {"3", IDC_640, 0}};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string("ATI answer ") + row.answer);
        m_drivers.Scenario("ORVA_ATI_ANSWER", row.answer);
        ProgramUnderTest program;
        ASSERT_TRUE(program.Start());
        m_window = program.WaitForWindow(kDialogClass, kMainTitle, 20000);
        ASSERT_NE(m_window, nullptr);
        Settle(500);
        Choose(row.id);
        // A popup with a picture is named by its heading and described by its steps.
        HWND popup = program.WaitForWindow(kDialogClass, row.picture ? kHintTitle : "", 10000);
        ASSERT_NE(popup, nullptr) << "the hint popup";
        if (row.picture) {
            ::CoInitialize(nullptr);
            EXPECT_EQ(ReadAccessible(popup).description.rfind("To turn them on: 1. Open the driver's display settings. 2. ", 0),
                      0u);
            ::CoUninitialize();
        }
        Settle(800);
        SaveScreenshotArtifact(std::string("ati_hint_answer_") + row.answer);
        const int which = HintPictureShown(popup, ProgramBitmaps());
        EXPECT_EQ(which, row.picture == IDB_HINT_HDMI ? 0 : row.picture == IDB_HINT_COMPONENT ? 1 : -1);
        EXPECT_TRUE(DesktopIs(1920, 1080));
        EXPECT_EQ(program.WaitForWindow(kDialogClass, kQuestion, 0), nullptr);
        ClickAt(ControlCentre(popup, IDOK));
        EXPECT_TRUE(WaitUntil([popup] { return !::IsWindowVisible(popup); }, 3000));
        EXPECT_EQ(program.WaitForWindow(kDialogClass, kQuestion, kQuietMs), nullptr);
        EXPECT_TRUE(DesktopIs(1920, 1080));
    }
}

}  // namespace
