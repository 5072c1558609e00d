#pragma once
// A standard message box that counts down the seconds left in its own text and, when the time
// is up, presses a chosen button by itself.
//
// The box is the system's own MessageBoxA dialog, unchanged. A hook on the asking thread takes the
// handle of the box as the system creates it, so the countdown never mistakes another window of
// the same caption for its own. A one-second thread timer finds the box's text control (a
// "STATIC" that shows the text we gave), rewrites that text every second and, at the end, posts
// the button's command to the box. The timer callback runs inside the box's modal loop.
//
// Only a press made while the box shows answers it: input queued before it is dropped, and a key
// or mouse button already down when it appears answers nothing until released (HeldInputFilter).
#include <map>
#include <utility>
#include <vector>

#include "framework/afxmt.h"
#include "framework/afxwin.h"

class TimedMessageBox {
public:
    // Shows the box and runs it to its end; returns what MessageBoxA returned (IDOK, IDCANCEL,
    // ...; 0 or -1 when the box could not be shown). nDefaultId is the button pressed at timeout;
    // lpszCountdownFormat is a printf format with one unsigned long for the seconds left (%lu),
    // appended to the text; empty for none. A null owner means the application's main window.
    // answeredInTime, when given, is true when someone answered the box before the time was
    // up, false when the timeout pressed the button or the box could not be shown (without a
    // timer to end it, the box is not shown at all).
    static int Show(UINT nType, const char* lpszText, const char* lpszCaption, DWORD dwTimeout, int nDefaultId,
                    const char* lpszCountdownFormat, HWND hWndOwner, bool* answeredInTime = nullptr);

    // The timer callback: finds the box by its timer id and lets it tick.
    static void CALLBACK TimerProc(HWND hWnd, UINT nMsg, UINT_PTR nIDEvent, DWORD dwTime);
    // The creation hook: hands the first top-level dialog the thread creates to the box that is
    // being opened.
    static LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam);

    virtual ~TimedMessageBox();
    TimedMessageBox(const TimedMessageBox&) = delete;
    TimedMessageBox& operator=(const TimedMessageBox&) = delete;

    // Thread and timer id to showing box, one entry for each box whose timer runs. Thread timers
    // are numbered per thread (two threads may both get the same id), and a timer's callback
    // runs on the thread that set it, so the thread is part of the key. Guarded by s_timerLock,
    // which is held only around the map's own operations.
    using TimerKey = std::pair<DWORD, UINT_PTR>;
    static std::map<TimerKey, TimedMessageBox*> s_timerMap;
    static CCriticalSection s_timerLock;

private:
    TimedMessageBox() = default;
    int Run();
    // False when no timer could be made.
    bool StartTimer();
    static void DiscardQueuedInput();
    void StopTimer();
    void OnTick();
    // Shows the system's box, taking its handle as it is created.
    int ShowBox();
    void FindWindows();
    HWND FindTextControl(std::vector<HWND>& buttonCandidates) const;
    HWND FindDefaultButton(const std::vector<HWND>& buttonCandidates);

    // The box being opened on this thread, waiting for its window.
    static thread_local TimedMessageBox* t_pOpening;

    HWND m_hWndOwner = nullptr;
    HWND m_hWndBox = nullptr;  // from its creation; never searched for
    HWND m_hWndText = nullptr;
    HWND m_hWndDefault = nullptr;
    CString m_strText;
    CString m_strCountdownFormat;
    CString m_strCaption;
    CString m_strShown;
    UINT m_nType = 0;
    DWORD m_dwTimeout = 0;  // milliseconds minus one
    DWORD m_dwStart = 0;
    UINT_PTR m_nTimerId = 0;
    BOOL m_bShowing = FALSE;
    BOOL m_bTimedOut = FALSE;
    int m_nDefaultId = 0;
};

// The outcome of the last ConfirmWithTimeout: true when the user answered within the time.
extern bool modeAccepted;

// Asks "Press button" with a countdown of the timeout's seconds on a second line, in an OK box
// with the caption, and sets modeAccepted.
void ConfirmWithTimeout(const char* lpszCaption, DWORD dwTimeout, HWND hWndOwner);
