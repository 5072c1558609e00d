// Races a user can run into: many copies started at once, a second copy started while the first
// is still busy, and an answer from the keyboard while the countdown runs. The real program on
// a Wine desktop of 1920 x 1080 with stand-in drivers; figures are printed, not asserted.
#include <gtest/gtest.h>
#include <ole2.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "e2e_support.h"
#include "resource.h"
#include "standin_install.h"

namespace {

constexpr DWORD kStartTimeoutMs = 20000;
constexpr DWORD kSecondCopyLimitMs = 2000;  // "ends at once", as a user sees it

// Every visible main window on the desktop, whichever process owns it.
int MainWindowCount() {
    int count = 0;
    ::EnumWindows(
        [](HWND w, LPARAM counter) -> BOOL {
            if (::IsWindowVisible(w) && IsMainWindow(w)) ++*reinterpret_cast<int*>(counter);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

class Races : public testing::Test {
protected:
    StandinDrivers m_drivers;
    StandinLog m_log;
};

TEST_F(Races, TenCopiesStartedAtOnceLeaveOneWindowAndTheOtherNineEndAtOnce) {
    ASSERT_TRUE(m_drivers.InstallAti());  // a quiet adapter: no message at start-up
    constexpr size_t kCopies = 10;
    std::vector<std::unique_ptr<ProgramUnderTest>> copies;
    std::vector<DWORD> started;
    for (size_t i = 0; i < kCopies; ++i) {
        copies.push_back(std::make_unique<ProgramUnderTest>());
        ASSERT_TRUE(copies.back()->Start());
        started.push_back(::GetTickCount());
    }
    // How long each copy ran, for those that ended.
    std::vector<DWORD> ran(kCopies, 0);
    size_t ended = 0;
    WaitUntil(
        [&] {
            for (size_t i = 0; i < kCopies; ++i) {
                if (ran[i] || copies[i]->IsRunning()) continue;
                ran[i] = ::GetTickCount() - started[i];
                ++ended;
            }
            return ended >= kCopies - 1;
        },
        kStartTimeoutMs);
    ASSERT_EQ(ended, kCopies - 1) << "copies still running";
    DWORD longest = 0;
    for (size_t i = 0; i < kCopies; ++i) {
        if (!ran[i]) continue;
        EXPECT_LT(ran[i], kSecondCopyLimitMs) << "copy " << i;
        longest = std::max(longest, ran[i]);
    }
    std::printf("nine later copies ended, the slowest %lu ms after its start\n", static_cast<unsigned long>(longest));
    size_t survivor = 0;
    while (ran[survivor]) ++survivor;
    EXPECT_NE(copies[survivor]->WaitForWindow(kDialogClass, kMainTitle, kStartTimeoutMs), nullptr);
    Settle(500);
    EXPECT_EQ(MainWindowCount(), 1);
    EXPECT_EQ(m_log.Count("atipdl GetConfiguration"), 1u) << "one detection only\n" << m_log.Text();
}

// The first copy waits 10 s for its driver's answer, with its dialog created and titled but not
// shown. A second copy neither waits for it nor detects anything itself.
TEST_F(Races, ASecondCopyStartedWhileTheFirstStillDetectsEndsAtOnceWithoutDetecting) {
    ASSERT_TRUE(m_drivers.InstallAti());
    m_drivers.Scenario("ORVA_ATI_ANSWER", "2");
    m_drivers.Scenario("ORVA_FAULT_CALL", "GetConfiguration");
    m_drivers.Scenario("ORVA_FAULT", "delay:10000");
    ProgramUnderTest first;
    ASSERT_TRUE(first.Start());
    ASSERT_TRUE(WaitUntil([this] { return m_log.Count("fault GetConfiguration delay") == 1; }, kStartTimeoutMs));
    EXPECT_LT(RunAnotherCopy(kSecondCopyLimitMs), kSecondCopyLimitMs) << "the second copy waits for the first";
    SaveScreenshotArtifact("race_second_copy_during_detection");
    EXPECT_EQ(m_log.Count("atipdl attach"), 1u) << m_log.Text();

    HWND window = first.WaitForWindow(kDialogClass, kMainTitle, kStartTimeoutMs);
    ASSERT_NE(window, nullptr) << "the first copy shows its window once the driver answered";
    Settle(500);
    SaveScreenshotArtifact("race_first_copy_after_detection");
    EXPECT_EQ(MainWindowCount(), 1);
    EXPECT_EQ(m_log.Count("atipdl attach"), 1u) << m_log.Text();
    EXPECT_EQ(m_log.Count("atipdl GetConfiguration 0 8 "), 1u) << m_log.Text();
}

// Esc closes an OK box as OK does: the mode is kept, nothing is reverted, the main window
// stays, and the next command asks again.
TEST_F(Races, EscapeDuringTheCountdownAnswersTheBoxAndTheChosenModeStays) {
    ASSERT_TRUE(m_drivers.InstallNvapi());
    m_drivers.Scenario("ORVA_NV_CONNECTOR", "97");
    ProgramUnderTest program;
    HWND window = StartAndWaitForMainWindow(program);
    ASSERT_NE(window, nullptr);
    for (int id : {IDC_720_SMALL, IDC_640}) {
        SCOPED_TRACE(id);
        ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        HWND box = program.WaitForWindow(kDialogClass, "Accept Now ?", 10000);
        ASSERT_NE(box, nullptr);
        const SIZE chosen = DesktopSize();
        EXPECT_NE(chosen.cx, 1920);
        ::SetForegroundWindow(box);
        Settle(200);
        PressKey(VK_ESCAPE);
        EXPECT_TRUE(WaitUntil([box] { return !::IsWindowVisible(box); }, 3000));
        // Longer than a switch back and its settling would take.
        EXPECT_EQ(program.WaitForWindow(kDialogClass, "Accept Now ?", 2500), nullptr);
        const SIZE after = DesktopSize();
        EXPECT_EQ(after.cx, chosen.cx);
        EXPECT_EQ(after.cy, chosen.cy);
        EXPECT_TRUE(::IsWindowVisible(window)) << "Esc reached the box, not the main window";
        EXPECT_TRUE(program.IsRunning());
    }
}

// A press that arrives while "Accept Now ?" is up, by any path, switches nothing: a screen reader
// reads the buttons as unavailable and cannot press them, and posted commands are refused. The
// one question's answer decides what stays and what is stored.
TEST_F(Races, NoSecondSwitchStartsWhileTheQuestionIsUp) {
    ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr)));
    ASSERT_TRUE(m_drivers.InstallNvapi());
    m_drivers.Scenario("ORVA_NV_CONNECTOR", "97");
    ProgramUnderTest program;
    HWND window = StartAndWaitForMainWindow(program);
    ASSERT_NE(window, nullptr);
    HWND button480 = ::GetDlgItem(window, IDC_480_SMALL);
    auto questions = [&program] {
        const std::vector<HWND> shown = program.TopLevelWindows();
        return std::count_if(shown.begin(), shown.end(), [](HWND w) { return WindowText(w) == "Accept Now ?"; });
    };
    ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_720_SMALL, BN_CLICKED), 0);
    HWND box = program.WaitForWindow(kDialogClass, "Accept Now ?", 10000);
    ASSERT_NE(box, nullptr);

    const AccessibleView underTheQuestion = ReadAccessible(button480, true);
    EXPECT_NE(underTheQuestion.state & STATE_SYSTEM_UNAVAILABLE, 0) << underTheQuestion.state;
    EXPECT_TRUE(FAILED(underTheQuestion.pressed)) << "the screen reader's press is refused";
    ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_480_SMALL, BN_CLICKED), 0);
    ::PostMessageA(button480, BM_CLICK, 0, 0);
    ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    Settle(2500);
    SaveScreenshotArtifact("refused_under_the_question");
    EXPECT_EQ(questions(), 1);
    EXPECT_EQ(DesktopSize().cx, 1280);
    EXPECT_EQ(StoredMode(), "1920x1080");

    ::SetForegroundWindow(box);
    Settle(200);
    PressKey(VK_RETURN);
    EXPECT_TRUE(WaitUntil([box] { return !::IsWindowVisible(box); }, 3000));
    EXPECT_EQ(program.WaitForWindow(kDialogClass, "Accept Now ?", 2500), nullptr) << "no press was queued";
    EXPECT_EQ(DesktopSize().cx, 1280);
    EXPECT_EQ(StoredMode(), "1280x720");
    EXPECT_EQ(ReadAccessible(button480).state & STATE_SYSTEM_UNAVAILABLE, 0) << "usable again";
    ::CoUninitialize();
}

}  // namespace
