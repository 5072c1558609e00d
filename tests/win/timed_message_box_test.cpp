// The timed message box with real message boxes on a Wine desktop. A watcher on a thread timer
// of its own reads the boxes while they show (the text is the Static with id 0xFFFF), answers
// them as a user would, and closes any box a broken countdown would leave open.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "confirm/timed_message_box.h"
#include "framework/afxmt.h"
#include "real_input.h"
#include "screenshot.h"
#include "win_test_support.h"

namespace {

CWinApp g_app("TimedMessageBoxTests");

constexpr const char* kCountdown = "\nwithin %lu sec!!";
constexpr int kTextId = 0xFFFF;

// A visible message box of that caption, or null.
HWND FindBox(const std::string& caption) {
    HWND box = ::FindWindowA("#32770", caption.c_str());
    return box && ::IsWindowVisible(box) ? box : nullptr;
}

std::string TextOf(HWND window) {
    char text[512] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

// The seconds in a countdown text ("...within 14 sec!!"), or -1.
int SecondsIn(const std::string& text) {
    const size_t at = text.find("within ");
    return at == std::string::npos ? -1 : std::atoi(text.c_str() + at + 7);
}

// The boxes whose timers run.
int ShowingBoxes() {
    CSingleLock lock(&TimedMessageBox::s_timerLock, TRUE);
    return static_cast<int>(TimedMessageBox::s_timerMap.size());
}

struct TextSeen {
    DWORD atMs;
    std::string text;
};

// The ids of the thread timers (WM_TIMER without a window) whose messages the thread's loops
// took while a watcher ran.
std::set<UINT_PTR> g_threadTimerIds;

LRESULT CALLBACK RecordThreadTimers(int code, WPARAM wParam, LPARAM lParam) {
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && msg->message == WM_TIMER && !msg->hwnd && msg->lParam) g_threadTimerIds.insert(msg->wParam);
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// Watches the boxes of the given captions from just before a box is shown: records each new
// text with its time since the start, runs scheduled actions, and closes the boxes (WM_CLOSE)
// when they are still open at the rescue time, so that a test fails instead of hanging.
class BoxWatcher {
public:
    BoxWatcher(std::vector<std::string> captions, DWORD rescueAfterMs)
        : m_captions(std::move(captions)), m_rescueAfterMs(rescueAfterMs), m_start(::GetTickCount()) {
        s_current = this;
        g_threadTimerIds.clear();
        m_timer = ::SetTimer(nullptr, 0, 25, &BoxWatcher::OnTimer);
        m_hook = ::SetWindowsHookExA(WH_GETMESSAGE, &RecordThreadTimers, nullptr, ::GetCurrentThreadId());
    }
    ~BoxWatcher() {
        ::KillTimer(nullptr, m_timer);
        ::UnhookWindowsHookEx(m_hook);
        s_current = nullptr;
    }
    BoxWatcher(const BoxWatcher&) = delete;
    BoxWatcher& operator=(const BoxWatcher&) = delete;

    // Runs the action once, on the first tick at or after that many ms since the start.
    void At(DWORD ms, std::function<void()> action) { m_actions.push_back({ms, std::move(action), false}); }

    DWORD Elapsed() const { return ::GetTickCount() - m_start; }
    // The thread timers seen, except the watcher's own.
    std::set<UINT_PTR> OtherTimersSeen() const {
        std::set<UINT_PTR> ids = g_threadTimerIds;
        ids.erase(m_timer);
        return ids;
    }
    const std::vector<TextSeen>& Texts(const std::string& caption) { return m_texts[caption]; }
    HWND OwnerSeen(const std::string& caption) { return m_owners[caption]; }
    bool Rescued() const { return m_rescued; }
    int MostBoxesShowing() const { return m_mostShowing; }

private:
    struct Action {
        DWORD atMs;
        std::function<void()> run;
        bool done;
    };

    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
        if (s_current) s_current->Tick();
    }

    void Tick() {
        for (const std::string& caption : m_captions) Record(caption);
        if (ShowingBoxes() > m_mostShowing) m_mostShowing = ShowingBoxes();
        // An action may show a box of its own, whose loop ticks this watcher again.
        for (size_t i = 0; i < m_actions.size(); ++i) {
            if (m_actions[i].done || Elapsed() < m_actions[i].atMs) continue;
            m_actions[i].done = true;
            m_actions[i].run();
        }
        if (Elapsed() < m_rescueAfterMs) return;
        for (const std::string& caption : m_captions) {
            if (HWND box = FindBox(caption)) {
                m_rescued = true;
                ::PostMessageA(box, WM_CLOSE, 0, 0);
            }
        }
    }

    void Record(const std::string& caption) {
        HWND box = FindBox(caption);
        if (!box) return;
        m_owners[caption] = ::GetWindow(box, GW_OWNER);
        std::vector<TextSeen>& seen = m_texts[caption];
        const std::string text = TextOf(::GetDlgItem(box, kTextId));
        if (seen.empty() || seen.back().text != text) seen.push_back({Elapsed(), text});
    }

    static BoxWatcher* s_current;
    std::vector<std::string> m_captions;
    DWORD m_rescueAfterMs;
    DWORD m_start;
    UINT_PTR m_timer = 0;
    HHOOK m_hook = nullptr;
    std::vector<Action> m_actions;
    std::map<std::string, std::vector<TextSeen>> m_texts;
    std::map<std::string, HWND> m_owners;
    bool m_rescued = false;
    int m_mostShowing = 0;
};
BoxWatcher* BoxWatcher::s_current = nullptr;

// A top-level window to own the boxes, destroyed with the fixture.
class TimedBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        owner = CreatePlainWindow();
        ASSERT_NE(owner, nullptr);
        ::ShowWindow(owner, SW_SHOWNORMAL);
    }
    void TearDown() override {
        ::DestroyWindow(owner);
        EXPECT_EQ(ShowingBoxes(), 0) << "every closed box leaves the timer map";
    }

    HWND owner = nullptr;
};

// The box started at the whole timeout and every later text showed fewer seconds, down to at
// most one when it ran to its end. A tick that comes late may skip a second, so the exact
// sequence is not asserted here; the arithmetic has tests of its own.
void ExpectCountdown(const std::vector<TextSeen>& texts, int fromSeconds, bool ranToTheEnd) {
    std::vector<int> seconds;
    for (const TextSeen& t : texts) seconds.push_back(SecondsIn(t.text));
    ASSERT_GE(seconds.size(), 2u) << "the text changed at least once";
    EXPECT_EQ(seconds.front(), fromSeconds);
    for (size_t i = 1; i < seconds.size(); ++i) EXPECT_LT(seconds[i], seconds[i - 1]) << "text " << i;
    if (ranToTheEnd) {
        EXPECT_LE(seconds.back(), 1);
    }
}

// ---- Screenshots for the record ----------------------------------------------------------

// Saves the desktop into ORVA_SCREENSHOT_DIR, when it is set, named after the seconds shown.
void SaveCountdownScreenshot(const std::string& caption) {
    const int seconds = SecondsIn(TextOf(::GetDlgItem(FindBox(caption), kTextId)));
    SaveScreenshotIfAsked("countdown_" + std::to_string(seconds) + "s");
}

}  // namespace

// ---- The countdown and the timeout ---------------------------------------------------------

TEST_F(TimedBoxTest, ConfirmationCountsFifteenSecondsDownAndTheTimeoutRejectsTheMode) {
    const std::string caption = "Accept Now ?";
    BoxWatcher watcher({caption}, 25000);
    watcher.At(1500, [&] { SaveCountdownScreenshot(caption); });
    watcher.At(2500, [&] { SaveCountdownScreenshot(caption); });
    modeAccepted = true;

    ConfirmWithTimeout(caption.c_str(), 15000, owner);
    const DWORD ranMs = watcher.Elapsed();

    EXPECT_FALSE(watcher.Rescued());
    EXPECT_FALSE(modeAccepted);
    EXPECT_GE(ranMs, 14999u);
    const std::vector<TextSeen>& texts = watcher.Texts(caption);
    ASSERT_GE(texts.size(), 3u);
    EXPECT_EQ(texts[0].text, "Press button\nwithin 15 sec!!");
    EXPECT_EQ(texts[1].text, "Press button\nwithin 14 sec!!");
    EXPECT_GE(texts[1].atMs, 900u) << "about one second after the start";
    EXPECT_LE(texts[1].atMs, 2000u);
    ExpectCountdown(texts, 15, true);
    EXPECT_GE(texts.size(), 12u) << "about one text per second";
    EXPECT_EQ(watcher.OwnerSeen(caption), owner);
}

TEST_F(TimedBoxTest, UnansweredBoxPressesItsButtonAtTheTimeout) {
    BoxWatcher watcher({"Short"}, 8000);
    bool answeredInTime = true;
    const int result = TimedMessageBox::Show(MB_OK, "Keep it?", "Short", 3000, IDOK, kCountdown, owner, &answeredInTime);
    const DWORD ranMs = watcher.Elapsed();

    EXPECT_FALSE(watcher.Rescued());
    EXPECT_EQ(result, IDOK);
    EXPECT_FALSE(answeredInTime);
    EXPECT_GE(ranMs, 2999u);
    ExpectCountdown(watcher.Texts("Short"), 3, true);
    EXPECT_EQ(watcher.Texts("Short").front().text, "Keep it?\nwithin 3 sec!!");
    EXPECT_EQ(watcher.MostBoxesShowing(), 1);
}

TEST_F(TimedBoxTest, WithoutCountdownFormatTheTextStaysButTheTimeoutStillPresses) {
    BoxWatcher watcher({"Plain"}, 7000);
    bool answeredInTime = true;
    const int result = TimedMessageBox::Show(MB_OK, "Nothing counts here", "Plain", 2000, IDOK, "", owner, &answeredInTime);

    EXPECT_FALSE(watcher.Rescued());
    EXPECT_EQ(result, IDOK);
    EXPECT_FALSE(answeredInTime);
    ASSERT_EQ(watcher.Texts("Plain").size(), 1u);
    EXPECT_EQ(watcher.Texts("Plain")[0].text, "Nothing counts here");
}

TEST_F(TimedBoxTest, TheTimeoutPressesEvenWhenItsTextControlCannotBeFound) {
    BoxWatcher watcher({"Changed"}, 7000);
    // Someone else rewrites the text before the first tick, so it is never recognised.
    watcher.At(300, [] { ::SetWindowTextA(::GetDlgItem(FindBox("Changed"), kTextId), "another text"); });
    bool answeredInTime = true;
    EXPECT_EQ(TimedMessageBox::Show(MB_OK, "Keep it?", "Changed", 2000, IDOK, kCountdown, owner, &answeredInTime), IDOK);
    EXPECT_FALSE(watcher.Rescued());
    EXPECT_FALSE(answeredInTime);
    EXPECT_EQ(watcher.Texts("Changed").back().text, "another text");
}

TEST_F(TimedBoxTest, TimeoutPressesTheChosenButtonOrElseTheFirstOneTheBoxHas) {
    struct Case {
        UINT type;
        int chosen;
        int pressed;
    };
    const Case cases[] = {
        {MB_YESNOCANCEL, IDNO, IDNO},
        {MB_OK, IDNO, IDOK},    // no such button: the first one met before the text
        {MB_YESNO, IDOK, IDYES},
    };
    for (const Case& c : cases) {
        BoxWatcher watcher({"Choice"}, 7000);
        bool answeredInTime = true;
        const int result = TimedMessageBox::Show(c.type, "Save?", "Choice", 2000, c.chosen, kCountdown, owner, &answeredInTime);

        EXPECT_FALSE(watcher.Rescued()) << c.type;
        EXPECT_EQ(result, c.pressed) << c.type;
        EXPECT_FALSE(answeredInTime) << c.type;
    }
}

// ---- Answers before the time is up --------------------------------------------------------

TEST_F(TimedBoxTest, AnswerBeforeTheTimeoutReturnsInTime) {
    struct Answer {
        const char* name;
        std::function<void(HWND box)> give;
    };
    const Answer answers[] = {
        {"OK clicked", [](HWND box) { ::PostMessageA(::GetDlgItem(box, IDOK), BM_CLICK, 0, 0); }},
        {"Enter", [](HWND) { ::PostMessageA(::GetFocus(), WM_KEYDOWN, VK_RETURN, 1); }},
        {"Esc", [](HWND) { ::PostMessageA(::GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1); }},
        {"WM_CLOSE", [](HWND box) { ::PostMessageA(box, WM_CLOSE, 0, 0); }},
        {"close box", [](HWND box) { ::PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const Answer& answer : answers) {
        SCOPED_TRACE(answer.name);
        // What the system's own box answers: IDOK on Windows for all of them; Wine 8 answers
        // IDCANCEL to Esc and the close box of an OK box.
        int plainResult = 0;
        {
            BoxWatcher watcher({"Plain box"}, 6000);
            watcher.At(300, [&] { answer.give(FindBox("Plain box")); });
            plainResult = ::MessageBoxA(owner, "Press button", "Plain box", MB_OK);
            ASSERT_FALSE(watcher.Rescued()) << answer.name;
        }
        BoxWatcher watcher({"Answer me"}, 6000);
        // After the first tick, so that the countdown has found the box and runs.
        watcher.At(1300, [&] { answer.give(FindBox("Answer me")); });
        bool answeredInTime = false;
        const int result = TimedMessageBox::Show(MB_OK, "Press button", "Answer me", 3000, IDOK, kCountdown, owner, &answeredInTime);

        EXPECT_FALSE(watcher.Rescued()) << answer.name;
        EXPECT_EQ(result, plainResult) << answer.name;
        EXPECT_TRUE(answeredInTime) << answer.name;
        EXPECT_LT(watcher.Elapsed(), 2999u) << answer.name;
        ExpectCountdown(watcher.Texts("Answer me"), 3, false);
    }
}

TEST_F(TimedBoxTest, ConfirmationAnsweredInTimeAcceptsTheMode) {
    BoxWatcher watcher({"Accept Now ?"}, 6000);
    watcher.At(500, [] { ::PostMessageA(::GetDlgItem(FindBox("Accept Now ?"), IDOK), BM_CLICK, 0, 0); });
    modeAccepted = false;
    ConfirmWithTimeout("Accept Now ?", 3000, owner);
    EXPECT_FALSE(watcher.Rescued());
    EXPECT_TRUE(modeAccepted);
}

// ---- Finding the box ----------------------------------------------------------------------

TEST_F(TimedBoxTest, FindsItsBoxWhateverOwnerItWasGiven) {
    CWnd mainWindow;
    ASSERT_TRUE(mainWindow.Attach(CreatePlainWindow()));
    HWND control = ::CreateWindowExA(0, "BUTTON", "child", WS_CHILD | WS_VISIBLE, 5, 5, 80, 24, owner, nullptr,
                                     nullptr, nullptr);
    ASSERT_NE(control, nullptr);
    struct Case {
        const char* name;
        HWND given;
        CWnd* mainWnd;
        HWND expectedOwner;
    };
    const Case cases[] = {
        {"top-level owner", owner, nullptr, owner},
        {"none given: the main window", nullptr, &mainWindow, mainWindow.m_hWnd},
        {"none given and no main window", nullptr, nullptr, nullptr},
        {"a control of a window", control, nullptr, owner},
    };
    for (const Case& c : cases) {
        g_app.m_pMainWnd = c.mainWnd;
        BoxWatcher watcher({"Owned"}, 6000);
        bool answeredInTime = true;
        const int result = TimedMessageBox::Show(MB_OK, "Whose box?", "Owned", 2000, IDOK, kCountdown, c.given, &answeredInTime);
        g_app.m_pMainWnd = nullptr;

        EXPECT_FALSE(watcher.Rescued()) << c.name << ": the box was never found";
        EXPECT_EQ(result, IDOK) << c.name;
        EXPECT_FALSE(answeredInTime) << c.name;
        EXPECT_EQ(watcher.OwnerSeen("Owned"), c.expectedOwner) << c.name;
    }
    ::DestroyWindow(mainWindow.Detach());
}

TEST_F(TimedBoxTest, ABoxThatCannotShowIsNotAnAnswer) {
    HWND gone = CreatePlainWindow();
    ::DestroyWindow(gone);
    bool answeredInTime = true;
    const int result = TimedMessageBox::Show(MB_OK, "Never seen", "Gone", 2000, IDOK, kCountdown, gone, &answeredInTime);
    EXPECT_LE(result, 0) << "the failure of the system's box";
    EXPECT_FALSE(answeredInTime);

    modeAccepted = true;
    ConfirmWithTimeout("Gone", 2000, gone);
    EXPECT_FALSE(modeAccepted);
}

// ---- Keys and buttons held down since before the box --------------------------------------

namespace {

// A key held down the two ways a held key reaches the program: X repeats it by itself (Wine sets
// the repeat bit), or a driver injects key-downs without a key-up.
struct HeldKeyWay {
    const char* name;
    WORD key;
    const char* xName;  // pressed through X; null: injected
    bool RepeatsByItself() const { return xName != nullptr; }
    void Down() const { Send(false); }
    void Up() const { Send(true); }
    void Send(bool up) const {
        if (xName) {
            EXPECT_TRUE(SendXKeyEvent(xName, key, up));
        } else {
            SendKeyEvent(key, up);
        }
    }
};
const HeldKeyWay kHeldKeyWays[] = {
    {"Enter, X auto-repeat", VK_RETURN, "Return"},
    {"Enter, injected repeats", VK_RETURN, nullptr},
    {"Space, injected repeats", VK_SPACE, nullptr},
};

// Holds the key through the watcher's actions from fromMs to toMs: injected ways repeat it every
// 40 ms; X repeats it by itself.
void HoldDuring(BoxWatcher& watcher, const HeldKeyWay& way, DWORD fromMs, DWORD toMs) {
    for (DWORD at = fromMs; !way.RepeatsByItself() && at < toMs; at += 40) watcher.At(at, [&way] { way.Down(); });
    watcher.At(toMs, [&way] { way.Up(); });
}

// Key-downs of one key as the asking thread takes them from its queue, and those of them that
// still reach a window: hooks of the thread are called newest first, so the first one is
// installed inside the box's loop (before every filter of the box) and the second before the box
// shows (after them).
struct KeyDowns {
    int taken = 0;
    int withRepeatBit = 0;
    int reachingAWindow = 0;
    DWORD firstTakenMs = 0;
};
KeyDowns g_keyDowns;
WPARAM g_countedKey = 0;
DWORD g_keyDownsStart = 0;

bool IsCountedKeyDown(const MSG& msg) { return msg.message == WM_KEYDOWN && msg.wParam == g_countedKey; }

// Counts the key-downs the thread takes; `beforeTheFilters` tells which of the two hooks counts.
template <bool beforeTheFilters>
LRESULT CALLBACK CountKeyDowns(int code, WPARAM wParam, LPARAM lParam) {
    const MSG& msg = *reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && IsCountedKeyDown(msg)) {
        if (!beforeTheFilters) {
            ++g_keyDowns.reachingAWindow;
        } else {
            if (g_keyDowns.taken++ == 0) g_keyDowns.firstTakenMs = ::GetTickCount() - g_keyDownsStart;
            if (msg.lParam & (1 << 30)) ++g_keyDowns.withRepeatBit;
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

class KeyDownCounter {
public:
    KeyDownCounter(BoxWatcher& watcher, WORD key) {
        g_keyDowns = {};
        g_countedKey = key;
        g_keyDownsStart = ::GetTickCount();
        m_passed = ::SetWindowsHookExA(WH_GETMESSAGE, &CountKeyDowns<false>, nullptr, ::GetCurrentThreadId());
        watcher.At(0, [this] {
            m_taken = ::SetWindowsHookExA(WH_GETMESSAGE, &CountKeyDowns<true>, nullptr, ::GetCurrentThreadId());
        });
    }
    ~KeyDownCounter() {
        ::UnhookWindowsHookEx(m_passed);
        if (m_taken) ::UnhookWindowsHookEx(m_taken);
    }
    KeyDownCounter(const KeyDownCounter&) = delete;
    KeyDownCounter& operator=(const KeyDownCounter&) = delete;

private:
    HHOOK m_passed = nullptr;
    HHOOK m_taken = nullptr;
};

// The owner has the keyboard focus, as the main window has when a press of its own opens the box.
void FocusOwner(HWND owner) {
    ::SetForegroundWindow(owner);
    ::SetFocus(owner);
    PumpMessagesFor(200);
}

POINT CentreOf(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// While it exists, makes a press as the next top-level dialog of this thread is created.
class PressWhenTheBoxIsCreated {
public:
    explicit PressWhenTheBoxIsCreated(std::function<void()> press) : m_press(std::move(press)) {
        s_current = this;
        m_hook = ::SetWindowsHookExA(WH_CBT, &PressWhenTheBoxIsCreated::OnCbt, nullptr, ::GetCurrentThreadId());
    }
    ~PressWhenTheBoxIsCreated() {
        ::UnhookWindowsHookEx(m_hook);
        s_current = nullptr;
    }
    PressWhenTheBoxIsCreated(const PressWhenTheBoxIsCreated&) = delete;
    PressWhenTheBoxIsCreated& operator=(const PressWhenTheBoxIsCreated&) = delete;
    bool Pressed() const { return m_pressed; }

private:
    static LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam) {
        const auto* created = code == HCBT_CREATEWND ? reinterpret_cast<const CBT_CREATEWNDA*>(lParam)->lpcs : nullptr;
        if (created && !(created->style & WS_CHILD) && s_current && !s_current->m_pressed) {
            s_current->m_pressed = true;
            s_current->m_press();
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static PressWhenTheBoxIsCreated* s_current;
    std::function<void()> m_press;
    HHOOK m_hook = nullptr;
    bool m_pressed = false;
};
PressWhenTheBoxIsCreated* PressWhenTheBoxIsCreated::s_current = nullptr;

// Counts the key-downs of one key that reach a window's procedure while it exists.
class KeyDownsAt {
public:
    KeyDownsAt(HWND window, WORD key) : m_window(window) {
        s_count = 0;
        s_key = key;
        m_original = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&KeyDownsAt::Procedure)));
        s_original = m_original;
    }
    ~KeyDownsAt() { ::SetWindowLongPtrA(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_original)); }
    KeyDownsAt(const KeyDownsAt&) = delete;
    KeyDownsAt& operator=(const KeyDownsAt&) = delete;
    int Count() const { return s_count; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_KEYDOWN && wParam == s_key) ++s_count;
        return ::CallWindowProcA(s_original, window, message, wParam, lParam);
    }

    static int s_count;
    static WPARAM s_key;
    static WNDPROC s_original;
    HWND m_window;
    WNDPROC m_original;
};
int KeyDownsAt::s_count = 0;
WPARAM KeyDownsAt::s_key = 0;
WNDPROC KeyDownsAt::s_original = nullptr;

}  // namespace

TEST_F(TimedBoxTest, AKeyHeldSinceBeforeTheBoxAnswersNothingUntilReleasedAndAFreshPressThenAnswers) {
    for (const HeldKeyWay& way : kHeldKeyWays) {
        SCOPED_TRACE(way.name);
        FocusOwner(owner);
        way.Down();
        PumpMessagesFor(100);  // the owner takes the press, as a button takes the one that switches
        const std::string caption = std::string("Held: ") + way.name;
        BoxWatcher watcher({caption}, 9000);
        KeyDownCounter counter(watcher, way.key);
        HoldDuring(watcher, way, 40, 1500);
        bool upAfterTheHold = false;
        watcher.At(2500, [&] {
            upAfterTheHold = FindBox(caption) != nullptr;
            SaveScreenshotIfAsked(std::string("held_key_ignored_") + std::to_string(&way - kHeldKeyWays));
            way.Down();
            way.Up();
        });
        bool answeredInTime = false;
        const int result = TimedMessageBox::Show(MB_OK, "Press button", caption.c_str(), 6000, IDOK, kCountdown, owner,
                                                 &answeredInTime);
        const DWORD ranMs = watcher.Elapsed();
        std::printf("%s: %d key-downs taken while the box showed (%d with the repeat bit), the first at %lu ms; "
                    "%d reached a window; the box ended at %lu ms\n",
                    way.name, g_keyDowns.taken, g_keyDowns.withRepeatBit,
                    static_cast<unsigned long>(g_keyDowns.firstTakenMs), g_keyDowns.reachingAWindow,
                    static_cast<unsigned long>(ranMs));

        EXPECT_FALSE(watcher.Rescued());
        EXPECT_TRUE(upAfterTheHold) << "the held key answered the box at " << ranMs << " ms";
        EXPECT_GE(ranMs, 2500u);
        EXPECT_LT(ranMs, 5999u) << "the fresh press did not answer";
        EXPECT_EQ(result, IDOK);
        EXPECT_TRUE(answeredInTime);
        EXPECT_GE(g_keyDowns.taken, way.RepeatsByItself() ? 5 : 20) << "the key did not repeat into the box";
        EXPECT_EQ(g_keyDowns.reachingAWindow, 1) << "only the fresh press reaches the box";
        ExpectCountdown(watcher.Texts(caption), 6, false);
        EXPECT_LE(SecondsIn(watcher.Texts(caption).back().text), 4) << "the box kept counting while the key was held";
    }
}

// A press that the box's loop takes before anyone could see the box: made while the box is being
// created, after the input queued before it was dropped.
TEST_F(TimedBoxTest, APressMadeWhileTheBoxOpensAnswersNothingUntilReleased) {
    // Where the OK button of this box shows: the same box shows at the same place every time.
    POINT okCentre{};
    {
        BoxWatcher watcher({"Opening"}, 5000);
        watcher.At(100, [&] {
            okCentre = CentreOf(::GetDlgItem(FindBox("Opening"), IDOK));
            ::PostMessageA(FindBox("Opening"), WM_CLOSE, 0, 0);
        });
        TimedMessageBox::Show(MB_OK, "Press button", "Opening", 3000, IDOK, kCountdown, owner);
    }
    ASSERT_GT(okCentre.x, 0);
    struct Press {
        const char* name;
        std::function<void(bool down)> give;
    };
    const Press presses[] = {
        {"Enter", [](bool down) { SendKeyEvent(VK_RETURN, !down); }},
        {"left button over OK", [&](bool down) { SendLeftButton(down, okCentre); }},
    };
    for (const Press& press : presses) {
        SCOPED_TRACE(press.name);
        FocusOwner(owner);
        ::SetCursorPos(okCentre.x, okCentre.y);
        PressWhenTheBoxIsCreated pressAtCreation([&] { press.give(true); });
        BoxWatcher watcher({"Opening"}, 6000);
        watcher.At(600, [&] { press.give(false); });
        bool upAfterTheRelease = false;
        watcher.At(1200, [&] {
            upAfterTheRelease = FindBox("Opening") != nullptr;
            press.give(true);
            press.give(false);
        });
        bool answeredInTime = false;
        const int result =
            TimedMessageBox::Show(MB_OK, "Press button", "Opening", 4000, IDOK, kCountdown, owner, &answeredInTime);
        EXPECT_TRUE(pressAtCreation.Pressed());
        EXPECT_TRUE(upAfterTheRelease) << "answered at " << watcher.Elapsed() << " ms";
        EXPECT_GE(watcher.Elapsed(), 1200u);
        EXPECT_LT(watcher.Elapsed(), 3999u) << "the fresh press did not answer";
        EXPECT_EQ(result, IDOK);
        EXPECT_TRUE(answeredInTime);
    }
}

// Pressed before the box, the button is moved onto OK and released there: no click. A fresh
// click then answers.
TEST_F(TimedBoxTest, AMouseButtonHeldSinceBeforeTheBoxClicksNothingWhenReleasedOverOk) {
    FocusOwner(owner);
    RECT ownerRect{};
    ::GetWindowRect(owner, &ownerRect);
    SendLeftButton(true, POINT{ownerRect.left + 40, ownerRect.top + 60});
    PumpMessagesFor(100);
    BoxWatcher watcher({"Mouse"}, 6000);
    POINT okCentre{};
    watcher.At(300, [&] {
        okCentre = CentreOf(::GetDlgItem(FindBox("Mouse"), IDOK));
        ::SetCursorPos(okCentre.x, okCentre.y);
    });
    watcher.At(600, [&] { SendLeftButton(false, okCentre); });
    bool upAfterTheRelease = false;
    watcher.At(1200, [&] {
        upAfterTheRelease = FindBox("Mouse") != nullptr;
        SendLeftButton(true, okCentre);
        SendLeftButton(false, okCentre);
    });
    bool answeredInTime = false;
    const int result = TimedMessageBox::Show(MB_OK, "Press button", "Mouse", 4000, IDOK, kCountdown, owner, &answeredInTime);
    EXPECT_TRUE(upAfterTheRelease) << "answered at " << watcher.Elapsed() << " ms";
    EXPECT_GE(watcher.Elapsed(), 1200u);
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(answeredInTime);
}

// The press that answers the box, held on, or a key held through the whole question, does not
// carry on into the window beneath until it has been released.
TEST_F(TimedBoxTest, AKeyStillDownWhenTheBoxEndsReachesTheOwnerOnlyAsAFreshPress) {
    for (const bool heldThroughTheTimeout : {false, true}) {
        for (const HeldKeyWay& way : kHeldKeyWays) {
            if (way.key == VK_SPACE && !heldThroughTheTimeout) continue;  // Space answers as it is released
            SCOPED_TRACE(std::string(way.name) + (heldThroughTheTimeout ? ", held through the timeout" : ", answering"));
            FocusOwner(owner);
            const std::string caption = std::string("Ended: ") + way.name;
            BoxWatcher watcher({caption}, 6000);
            if (heldThroughTheTimeout) {
                way.Down();
                PumpMessagesFor(100);
                for (DWORD at = 40; !way.RepeatsByItself() && at < 2000; at += 40) watcher.At(at, [&way] { way.Down(); });
            } else {
                watcher.At(500, [&way] { way.Down(); });  // a fresh press answers
            }
            bool answeredInTime = false;
            TimedMessageBox::Show(MB_OK, "Press button", caption.c_str(), 2000, IDOK, kCountdown, owner, &answeredInTime);
            EXPECT_EQ(answeredInTime, !heldThroughTheTimeout);

            KeyDownsAt counted(owner, way.key);
            // Held on for 1.2 s after the box ended, then released and pressed afresh.
            for (DWORD held = 0; held < 1200; held += 40) {
                if (!way.RepeatsByItself()) way.Down();
                PumpMessagesFor(40);
            }
            way.Up();
            PumpMessagesFor(200);
            EXPECT_EQ(counted.Count(), 0) << "the held key reached the owner";
            way.Down();
            way.Up();
            PumpMessagesFor(300);
            EXPECT_EQ(counted.Count(), 1) << "a fresh press reaches the owner";
        }
    }
}

// ---- Timers ---------------------------------------------------------------------------------

TEST_F(TimedBoxTest, UsesOneThreadTimerAndIgnoresItsTicksAfterTheBoxClosed) {
    BoxWatcher watcher({"Once"}, 6000);
    watcher.At(1300, [] { ::PostMessageA(FindBox("Once"), WM_CLOSE, 0, 0); });
    bool answeredInTime = false;
    TimedMessageBox::Show(MB_OK, "Press button", "Once", 3000, IDOK, kCountdown, owner, &answeredInTime);
    EXPECT_TRUE(answeredInTime);
    EXPECT_EQ(watcher.MostBoxesShowing(), 1);
    const std::set<UINT_PTR> boxTimers = watcher.OtherTimersSeen();
    ASSERT_EQ(boxTimers.size(), 1u) << "one thread timer for the box";
    const UINT_PTR oldId = *boxTimers.begin();
    ASSERT_EQ(ShowingBoxes(), 0);

    // A tick that was already queued when the box closed, called and dispatched late.
    TimedMessageBox::TimerProc(nullptr, WM_TIMER, oldId, ::GetTickCount());
    ::PostThreadMessageA(::GetCurrentThreadId(), WM_TIMER, oldId, reinterpret_cast<LPARAM>(&TimedMessageBox::TimerProc));
    PumpMessagesFor(200);
    EXPECT_EQ(ShowingBoxes(), 0);
    // The timer itself is gone: no further tick comes.
    g_threadTimerIds.clear();
    PumpMessagesFor(1500);
    EXPECT_TRUE(watcher.OtherTimersSeen().empty());
}

TEST_F(TimedBoxTest, TwoBoxesAtOnceCountDownIndependently) {
    BoxWatcher watcher({"First", "Second"}, 12000);
    int secondResult = 0;
    bool secondInTime = true;
    DWORD secondStartMs = 0, secondEndMs = 0;
    // The second box opens inside the first one's modal loop, with a shorter timeout.
    watcher.At(1200, [&] {
        secondStartMs = watcher.Elapsed();
        secondResult = TimedMessageBox::Show(MB_OK, "Two", "Second", 2000, IDOK, kCountdown, owner, &secondInTime);
        secondEndMs = watcher.Elapsed();
    });
    bool firstInTime = true;
    const int firstResult = TimedMessageBox::Show(MB_OK, "One", "First", 4000, IDOK, kCountdown, owner, &firstInTime);
    const DWORD firstEndMs = watcher.Elapsed();

    EXPECT_FALSE(watcher.Rescued());
    EXPECT_EQ(watcher.MostBoxesShowing(), 2);
    EXPECT_EQ(secondResult, IDOK);
    EXPECT_FALSE(secondInTime);
    EXPECT_GE(secondEndMs - secondStartMs, 1999u);
    EXPECT_LT(secondEndMs, 3999u) << "the second box ended before the first one's time was up";
    EXPECT_EQ(firstResult, IDOK);
    EXPECT_FALSE(firstInTime);
    EXPECT_GE(firstEndMs, 3999u);

    ExpectCountdown(watcher.Texts("Second"), 2, true);
    ExpectCountdown(watcher.Texts("First"), 4, true);
    // The first box kept counting while the second one showed.
    int firstChangesMeanwhile = 0;
    for (const TextSeen& t : watcher.Texts("First"))
        if (t.atMs > secondStartMs && t.atMs < secondEndMs) ++firstChangesMeanwhile;
    EXPECT_GE(firstChangesMeanwhile, 1);
}

// A second box of the same caption and owner opens before the first one's first tick: each
// countdown still presses only the box it opened itself.
TEST_F(TimedBoxTest, ABoxOfTheSameCaptionOpenedMeanwhileIsNotTakenForItsOwn) {
    BoxWatcher watcher({"Same"}, 12000);
    DWORD secondEndMs = 0;
    watcher.At(200, [&] {
        TimedMessageBox::Show(MB_OK, "Two", "Same", 6000, IDOK, kCountdown, owner);
        secondEndMs = watcher.Elapsed();
    });
    TimedMessageBox::Show(MB_OK, "One", "Same", 3000, IDOK, kCountdown, owner);
    EXPECT_GE(secondEndMs, 6000u) << "the first box's timeout pressed the second box";
    EXPECT_FALSE(watcher.Rescued()) << "the first box never ended by itself";
}

TEST_F(TimedBoxTest, BoxesOnTwoThreadsEachCountDownAndTimeOut) {
    // Both threads' timers may get the same id; each box must still tick on its own thread.
    BoxWatcher watcher({"Main thread", "Other thread"}, 8000);
    bool otherInTime = true;
    int otherResult = 0;
    std::thread other([&] {
        // Each thread numbers its timers from the same start: one timer here, as the watcher has
        // on the main thread, gives both boxes the same timer id.
        const UINT_PTR mirror = ::SetTimer(nullptr, 0, 100000, nullptr);
        otherResult = TimedMessageBox::Show(MB_OK, "B", "Other thread", 3000, IDOK, kCountdown, nullptr, &otherInTime);
        ::KillTimer(nullptr, mirror);
    });
    bool mainInTime = true;
    const int mainResult = TimedMessageBox::Show(MB_OK, "A", "Main thread", 3000, IDOK, kCountdown, owner, &mainInTime);
    other.join();

    EXPECT_FALSE(watcher.Rescued());
    EXPECT_EQ(mainResult, IDOK);
    EXPECT_FALSE(mainInTime);
    EXPECT_EQ(otherResult, IDOK);
    EXPECT_FALSE(otherInTime);
    ExpectCountdown(watcher.Texts("Main thread"), 3, true);
    ExpectCountdown(watcher.Texts("Other thread"), 3, true);
}

// ---- The lock that guards the timer map -----------------------------------------------------

TEST(CCriticalSection, KeepsOtherThreadsOutUntilEveryLockIsUndone) {
    CCriticalSection section;
    std::atomic<bool> otherEntered{false};
    section.Lock();
    section.Lock();  // the owning thread may enter again
    std::thread other([&] {
        CSingleLock lock(&section, TRUE);
        otherEntered = true;
    });
    ::Sleep(200);
    EXPECT_FALSE(otherEntered);
    section.Unlock();
    ::Sleep(200);
    EXPECT_FALSE(otherEntered) << "still held once";
    section.Unlock();
    other.join();
    EXPECT_TRUE(otherEntered);

    // A guard can let go before the end of its scope.
    CSingleLock mine(&section, TRUE);
    EXPECT_TRUE(mine.IsLocked());
    EXPECT_TRUE(mine.Unlock());
    bool freeAfterUnlock = false;
    std::thread([&] {
        freeAfterUnlock = ::TryEnterCriticalSection(section) != FALSE;
        if (freeAfterUnlock) ::LeaveCriticalSection(section);
    }).join();
    EXPECT_TRUE(freeAfterUnlock);
}
