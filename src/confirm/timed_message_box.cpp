#include "confirm/timed_message_box.h"

#include <mbstring.h>

#include "confirm/countdown.h"
#include "confirm/held_input_filter.h"

std::map<TimedMessageBox::TimerKey, TimedMessageBox*> TimedMessageBox::s_timerMap;
CCriticalSection TimedMessageBox::s_timerLock;
thread_local TimedMessageBox* TimedMessageBox::t_pOpening = nullptr;

bool modeAccepted = false;

namespace {

constexpr UINT kTickPeriodMs = 1000;
constexpr LONG kLastButtonId = 9;  // message box buttons have ids 1 to 9 (IDOK ... IDCONTINUE)

TimedMessageBox::TimerKey KeyOf(UINT_PTR nTimerId) { return {::GetCurrentThreadId(), nTimerId}; }

bool SameTextNoCase(const char* a, const char* b) {
    return ::_mbsicmp(reinterpret_cast<const unsigned char*>(a), reinterpret_cast<const unsigned char*>(b)) == 0;
}

CString WindowText(HWND hWnd) {
    CWnd window;  // borrows the handle: neither attached nor subclassed, so nothing to undo
    window.m_hWnd = hWnd;
    CString text;
    window.GetWindowText(text);
    window.m_hWnd = nullptr;
    return text;
}

HWND MainWindowHandle() {
    CWnd* main = AfxGetMainWnd();
    return main && ::IsWindow(main->m_hWnd) ? main->m_hWnd : nullptr;
}

}  // namespace

int TimedMessageBox::Show(UINT nType, const char* lpszText, const char* lpszCaption, DWORD dwTimeout,
                          int nDefaultId, const char* lpszCountdownFormat, HWND hWndOwner, bool* answeredInTime) {
    TimedMessageBox box;
    box.m_nType = nType;
    box.m_strText = lpszText;
    box.m_strCaption = lpszCaption;
    box.m_dwTimeout = CountdownTimeoutField(dwTimeout);
    box.m_nDefaultId = nDefaultId;
    box.m_strCountdownFormat = lpszCountdownFormat;
    box.m_hWndOwner = hWndOwner ? hWndOwner : MainWindowHandle();
    const int result = box.Run();
    // A box that could not be shown (0, or -1 from the dialog manager) was answered by nobody.
    if (answeredInTime) *answeredInTime = result > 0 && !box.m_bTimedOut;
    return result;
}

TimedMessageBox::~TimedMessageBox() { StopTimer(); }

int TimedMessageBox::Run() {
    // A box that could never time out would let a late answer count as one in time: without a
    // timer nothing is shown, and nobody answered.
    if (!StartTimer()) return 0;
    DiscardQueuedInput();
    m_bShowing = TRUE;
    m_dwStart = ::GetTickCount();
    m_strShown = ComposeCountdownText(m_strText, m_strCountdownFormat, CountdownFirstSeconds(m_dwTimeout));
    const int result = ShowBox();
    m_bShowing = FALSE;
    StopTimer();
    return result;
}

int TimedMessageBox::ShowBox() {
    TimedMessageBox* const outer = t_pOpening;  // a box opened inside another box's loop
    t_pOpening = this;
    // Only a press made once the box shows answers it, and a key still down when it ends does not
    // go on to the owner.
    const HeldInputFilter heldInput(m_hWndBox);
    HHOOK hook = ::SetWindowsHookExA(WH_CBT, &TimedMessageBox::CreationHook, nullptr, ::GetCurrentThreadId());
    const int result = hook ? ::MessageBoxA(m_hWndOwner, m_strShown, m_strCaption, m_nType) : 0;
    if (hook) ::UnhookWindowsHookEx(hook);
    t_pOpening = outer;
    return result;
}

LRESULT CALLBACK TimedMessageBox::CreationHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && t_pOpening) {
        const CREATESTRUCTA* created = reinterpret_cast<const CBT_CREATEWNDA*>(lParam)->lpcs;
        const char* className = created->lpszClass;
        // The dialog class is the atom 32770, or its name "#32770".
        const bool dialogClass = IS_INTRESOURCE(className) ? reinterpret_cast<UINT_PTR>(className) == 32770
                                                           : SameTextNoCase(className, "#32770");
        if (dialogClass && !(created->style & WS_CHILD)) {
            t_pOpening->m_hWndBox = reinterpret_cast<HWND>(wParam);
            t_pOpening = nullptr;
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void TimedMessageBox::DiscardQueuedInput() {
    // Keys and clicks made before the box shows (type-ahead while the caller was busy) would
    // answer a question nobody has seen yet.
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {}
    while (::PeekMessageA(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {}
}

bool TimedMessageBox::StartTimer() {
    CSingleLock lock(&s_timerLock, TRUE);
    m_nTimerId = ::SetTimer(nullptr, 0, kTickPeriodMs, &TimedMessageBox::TimerProc);
    if (m_nTimerId) s_timerMap[KeyOf(m_nTimerId)] = this;
    return m_nTimerId != 0;
}

void TimedMessageBox::StopTimer() {
    CSingleLock lock(&s_timerLock, TRUE);
    if (!m_nTimerId) return;
    ::KillTimer(nullptr, m_nTimerId);
    s_timerMap.erase(KeyOf(m_nTimerId));
    m_nTimerId = 0;
}

void CALLBACK TimedMessageBox::TimerProc(HWND, UINT, UINT_PTR nIDEvent, DWORD) {
    TimedMessageBox* box = nullptr;
    {
        CSingleLock lock(&s_timerLock, TRUE);
        const auto found = s_timerMap.find(KeyOf(nIDEvent));
        if (found != s_timerMap.end()) box = found->second;
    }
    // Outside the lock: only this thread removes its own boxes, so the box outlives the tick.
    if (box) box->OnTick();
}

void TimedMessageBox::OnTick() {
    if (!m_bShowing) return;
    FindWindows();
    // The timeout needs only the box; the countdown text also needs its text control, which
    // someone else may have changed beyond recognition.
    if (!m_hWndBox || !::IsWindow(m_hWndBox)) return;
    const DWORD elapsed = CountdownElapsed(m_dwStart, ::GetTickCount());
    if (!CountdownExpired(m_dwTimeout, elapsed)) {
        if (!m_hWndText) return;
        m_strShown = ComposeCountdownText(m_strText, m_strCountdownFormat, CountdownSecondsLeft(m_dwTimeout, elapsed));
        ::SetWindowTextA(m_hWndText, m_strShown);
        return;
    }
    m_bTimedOut = TRUE;
    // As if the button had been clicked; posted again on every tick until the box has ended.
    ::PostMessageA(m_hWndBox, WM_COMMAND, MAKEWPARAM(LOWORD(m_nDefaultId), BN_CLICKED),
                   reinterpret_cast<LPARAM>(m_hWndDefault));
}

void TimedMessageBox::FindWindows() {
    if (!m_hWndBox || !::IsWindow(m_hWndBox)) return;
    std::vector<HWND> buttonCandidates;
    if (!m_hWndText) m_hWndText = FindTextControl(buttonCandidates);
    if (!m_hWndDefault) m_hWndDefault = FindDefaultButton(buttonCandidates);
}

HWND TimedMessageBox::FindTextControl(std::vector<HWND>& buttonCandidates) const {
    for (HWND child = ::GetWindow(m_hWndBox, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (::GetWindowLongA(child, GWL_ID) <= kLastButtonId) {
            buttonCandidates.push_back(child);
            continue;
        }
        char className[260] = {};
        ::GetClassNameA(child, className, sizeof className);
        if (SameTextNoCase(className, "STATIC") && SameTextNoCase(WindowText(child), m_strShown)) return child;
    }
    return nullptr;
}

HWND TimedMessageBox::FindDefaultButton(const std::vector<HWND>& buttonCandidates) {
    if (HWND button = ::GetDlgItem(m_hWndBox, m_nDefaultId)) return button;
    // The box lacks that button: press the first button met before the text instead.
    for (HWND candidate : buttonCandidates) {
        if (!candidate) continue;
        m_nDefaultId = static_cast<int>(::GetWindowLongA(candidate, GWL_ID));
        return candidate;
    }
    return nullptr;
}

void ConfirmWithTimeout(const char* lpszCaption, DWORD dwTimeout, HWND hWndOwner) {
    bool answered = false;
    TimedMessageBox::Show(MB_OK, "Press button", lpszCaption, dwTimeout, IDOK, "\nwithin %lu sec!!", hWndOwner,
                          &answered);
    modeAccepted = answered;
}
