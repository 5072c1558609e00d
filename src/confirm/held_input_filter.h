#pragma once
// Keeps keys and mouse buttons that were down before a question showed from answering it, and
// those still down when it ends from carrying on into the window beneath it (a remote's OK,
// held a moment too long, would otherwise press the focused resolution again). While a filter
// exists, and afterwards until each such key has been released, a message hook on the thread
// turns their messages into WM_NULL as the thread takes them from its queue.
#include <windows.h>

class HeldInputFilter {
public:
    // Filters this thread's input for the question whose window `box` holds once created. Until
    // that window is visible, every press is type-ahead; when it is, the keys down then are held.
    explicit HeldInputFilter(const HWND& box);
    // The question has ended: the keys down now stay held until released.
    ~HeldInputFilter();
    HeldInputFilter(const HeldInputFilter&) = delete;
    HeldInputFilter& operator=(const HeldInputFilter&) = delete;

private:
    static LRESULT CALLBACK OnMessage(int code, WPARAM wParam, LPARAM lParam);
    // True when a message made at that time came before the question was seen.
    bool MadeBeforeShown(DWORD messageTime);

    const HWND& m_box;
    HeldInputFilter* m_outer;  // a question that was showing when this one opened
    bool m_shown = false;
    DWORD m_shownTick = 0;
};
