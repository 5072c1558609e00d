// The resolution commands as a user meets them: the real program on a Wine desktop of
// 1920 x 1080 with a stand-in adapter, the desktop mode read after every step.
#include <gtest/gtest.h>
#include <ole2.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "desktop_size.h"
#include "e2e_support.h"
#include "real_input.h"
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
        EXPECT_TRUE(ClickAt(ControlCentre(popup, IDOK)));
        EXPECT_TRUE(WaitUntil([popup] { return !::IsWindowVisible(popup); }, 3000));
        EXPECT_EQ(program.WaitForWindow(kDialogClass, kQuestion, kQuietMs), nullptr);
        EXPECT_TRUE(DesktopIs(1920, 1080));
    }
}

// ---- Enter held down on a resolution, as a remote's OK is often held -----------------------

// The two ways a held key reaches the program: X repeats it by itself, or a remote's driver
// injects key-downs without a key-up (Wine sets no repeat bit on those).
struct HeldEnterWay {
    const char* name;
    bool repeatsByItself;
    bool (*down)();
    void (*up)();
};
const HeldEnterWay kXRepeat{"X auto-repeat", true, [] { return SendXKeyEvent("Return", VK_RETURN, false); },
                            [] { EXPECT_TRUE(SendXKeyEvent("Return", VK_RETURN, true)); }};
const HeldEnterWay kInjectedRepeats{"injected repeats", false, [] {
                                        SendKeyEvent(VK_RETURN, false);
                                        return true;
                                    },
                                    [] { SendKeyEvent(VK_RETURN, true); }};

// The seconds the question shows ("...within 12 sec!!"), or -1.
int SecondsLeft(HWND box) {
    const std::string text = MessageBoxText(box);
    const size_t at = text.find("within ");
    return at == std::string::npos ? -1 : std::atoi(text.c_str() + at + 7);
}

class HeldEnter : public ApplyFlow {
protected:
    // Holds Enter for that long, repeating it every 30 ms when the way needs it. The question
    // that first showed meanwhile, and when, counted from the first key-down.
    struct QuestionSeen {
        HWND box = nullptr;
        DWORD afterMs = 0;
    };
    QuestionSeen Hold(const HeldEnterWay& way, DWORD ms) {
        QuestionSeen seen;
        EXPECT_TRUE(way.down());
        const DWORD pressed = ::GetTickCount();  // X's press is down once Wine has taken it
        while (::GetTickCount() - pressed < ms) {
            if (!seen.box && (seen.box = WaitForQuestion(0))) seen.afterMs = ::GetTickCount() - pressed;
            ::Sleep(30);
            if (!way.repeatsByItself) way.down();
        }
        way.up();
        return seen;
    }

    // Focuses 720 FULL with the arrows and holds Enter on it for 1.5 s: one switch, and the
    // question is still up and counting afterwards, with nothing stored. A fresh Enter, itself
    // held for a second, then accepts, and starts nothing more.
    void HoldEnterOn720Full(const HeldEnterWay& way, const char* screenshot) {
        ASSERT_TRUE(m_drivers.InstallNvapi());
        m_drivers.Scenario("ORVA_NV_CONNECTOR", "97");
        ASSERT_TRUE(Start());
        ::SetForegroundWindow(m_window);
        Settle(300);
        PressKey(VK_DOWN);
        PressKey(VK_LEFT);
        ASSERT_EQ(FocusedControl(m_window), IDC_720_SMALL);
        const std::string storedBefore = StoredMode();

        const QuestionSeen question = Hold(way, 1500);
        ASSERT_NE(question.box, nullptr) << "no question while Enter was held";
        std::printf("%s: the question showed %lu ms after the first key-down\n", way.name,
                    static_cast<unsigned long>(question.afterMs));
        Settle(1000);
        ASSERT_TRUE(::IsWindowVisible(question.box)) << "the held Enter answered the question";
        const int secondsLeft = SecondsLeft(question.box);
        EXPECT_GE(secondsLeft, 1);
        EXPECT_LE(secondsLeft, 13) << "the question counts down";
        EXPECT_TRUE(DesktopIs(1280, 720));
        EXPECT_EQ(StoredMode(), storedBefore) << "nothing is stored before the answer";
        SaveScreenshotArtifact(screenshot);
        EXPECT_TRUE(WaitUntil([&] { return SecondsLeft(question.box) < secondsLeft; }, 2000)) << "the question counts on";

        Hold(way, 1000);
        EXPECT_FALSE(::IsWindowVisible(question.box)) << "a fresh Enter answers";
        ExpectNoQuestion();  // the fresh Enter, held on, started no other switch
        EXPECT_TRUE(DesktopIs(1280, 720));
        EXPECT_EQ(StoredMode(), "1280x720");
    }
};

TEST_F(HeldEnter, HeldWithXAutoRepeatItSwitchesOnceAndOnlyAFreshPressAnswers) {
    HoldEnterOn720Full(kXRepeat, "held_enter_x_question_still_up");
}

TEST_F(HeldEnter, HeldWithInjectedRepeatsItSwitchesOnceAndOnlyAFreshPressAnswers) {
    HoldEnterOn720Full(kInjectedRepeats, "held_enter_injected_question_still_up");
}

}  // namespace

// The window within reach on the small desktops a TV is given, at any display scale. The
// system keeps its scale across a change of mode, so the window is drawn at the largest scale up
// to the display's at which it fits (steps of 25 %, never below 100 %), and comes back to the
// display's scale when a larger desktop returns. Run at 100 %, 150 % and 200 %.
class WithinReach : public ApplyFlow {
protected:
    // The window's size on that desktop at this display's scale.
    static SIZE WindowSizeOn(LONG width, LONG height) {
        struct Row {
            UINT dpi;
            LONG width, height;
            SIZE window;
        };
        static const Row kRows[] = {
            {144, 640, 480, {512, 401}},   {144, 800, 600, {640, 501}},   {144, 1024, 768, {768, 602}},
            {144, 1280, 720, {768, 602}},  {144, 1920, 1080, {768, 602}}, {192, 640, 480, {512, 401}},
            {192, 800, 600, {640, 501}},   {192, 1024, 768, {896, 702}},  {192, 1280, 720, {896, 702}},
            {192, 1920, 1080, {1024, 802}},
        };
        for (const Row& row : kRows) {
            if (row.dpi == DesktopDpi() && row.width == width && row.height == height) return row.window;
        }
        return SIZE{512, 401};  // at 100 % the window fits every desktop of these
    }
    // The window has its size for the desktop, and it, Close and every button shown lie wholly
    // on the screen.
    void ExpectWithinReach(LONG width, LONG height, const char* when) const {
        ASSERT_TRUE(DesktopIs(width, height)) << when;
        const RECT window = WindowRect(m_window);
        const SIZE expected = WindowSizeOn(width, height);
        EXPECT_EQ(window.right - window.left, expected.cx) << when << " on " << width << " x " << height;
        EXPECT_EQ(window.bottom - window.top, expected.cy) << when << " on " << width << " x " << height;
        EXPECT_TRUE(WhollyOnDesktop(m_window)) << when;
        for (HWND child = ::GetWindow(m_window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
            if (!::IsWindowVisible(child)) continue;
            EXPECT_TRUE(WhollyOnDesktop(child)) << when << ": control " << ::GetDlgCtrlID(child);
        }
    }
    bool StartOn(const char* connector) {
        return m_drivers.InstallNvapi() && (m_drivers.Scenario("ORVA_NV_CONNECTOR", connector), Start());
    }
};

TEST_F(WithinReach, SwitchedAcceptedAndRevertedOnSmallDesktops) {
    ASSERT_TRUE(StartOn("17"));  // S-Video: 640 x 480, 800 x 600 and 1024 x 768
    ExpectWithinReach(1920, 1080, "at start");
    Choose(IDC_800);
    HWND box = WaitForQuestion(10000);
    ASSERT_NE(box, nullptr);
    ExpectWithinReach(800, 600, "asked");
    Settle(500);
    SaveScreenshotArtifact("within_reach_800x600_asked");
    EXPECT_TRUE(WaitUntil([] { return DesktopIs(1920, 1080); }, 17000));
    Settle(500);
    ExpectWithinReach(1920, 1080, "reverted");
    ChooseAndAccept(IDC_640, 640, 480, "within_reach_640x480_accepted");
    ExpectWithinReach(640, 480, "accepted");
    ChooseAndAccept(IDC_1024, 1024, 768);
    ExpectWithinReach(1024, 768, "a larger desktop back");
    SaveScreenshotArtifact("within_reach_1024x768_accepted");
    // Close is where a mouse can reach it: nothing covers its centre.
    HWND close = ::GetDlgItem(m_window, IDC_CLOSE);
    EXPECT_EQ(::WindowFromPoint(ControlCentre(m_window, IDC_CLOSE)), close);
}

TEST_F(WithinReach, AcceptedOnA720LineDesktop) {
    ASSERT_TRUE(StartOn("97"));  // HDMI: 720i/720p is 1280 x 720
    ChooseAndAccept(IDC_720_SMALL, 1280, 720, "within_reach_1280x720_accepted");
    ExpectWithinReach(1280, 720, "accepted");
}

TEST_F(WithinReach, StartedOnASmallDesktop) {
    ASSERT_EQ(ChangeDesktopSize(800, 600), DISP_CHANGE_SUCCESSFUL);
    ASSERT_TRUE(StartOn("17"));
    ExpectWithinReach(800, 600, "at start");
    SaveScreenshotArtifact("within_reach_started_on_800x600");
}

// The ATI hint popup on a desktop made small before: it and its close button on the screen too.
TEST_F(WithinReach, TheAtiHintPopupOnASmallDesktop) {
    ASSERT_TRUE(m_drivers.InstallAti());
    m_drivers.Scenario("ORVA_ATI_ANSWER", "2");  // HDMI
    ASSERT_TRUE(Start());
    ChooseAndAccept(IDC_480_SMALL, 640, 480);
    Choose(IDC_720_LARGE);  // not listed, and the driver refuses to try it
    HWND popup = m_program.WaitForWindow(kDialogClass, "Your TV can show HD formats", 10000);
    ASSERT_NE(popup, nullptr);
    Settle(800);
    SaveScreenshotArtifact("within_reach_ati_hint_640x480");
    EXPECT_TRUE(WhollyOnDesktop(popup));
    EXPECT_TRUE(WhollyOnDesktop(::GetDlgItem(popup, IDOK)));
}
