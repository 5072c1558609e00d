#include "confirm/held_input_filter.h"

#include <optional>

#include "confirm/held_keys.h"

namespace {

// What the hook on this thread filters with.
struct ThreadFilter {
    HeldKeys keys;
    HeldInputFilter* innermost = nullptr;  // the question opened last and still open
    HHOOK hook = nullptr;

    ~ThreadFilter() {
        if (hook) ::UnhookWindowsHookEx(hook);
    }
};
thread_local ThreadFilter t_filter;

struct KeyMessage {
    unsigned key;
    KeyTransition transition;
};

// Mouse button messages, in the client area and the frame (the box's close box answers too).
struct ButtonMessage {
    UINT message;
    unsigned key;
    KeyTransition transition;
};
constexpr KeyTransition kDown = KeyTransition::Down;
constexpr KeyTransition kUp = KeyTransition::Up;
constexpr ButtonMessage kButtonMessages[] = {
    {WM_LBUTTONDOWN, VK_LBUTTON, kDown},     {WM_LBUTTONDBLCLK, VK_LBUTTON, kDown},   {WM_LBUTTONUP, VK_LBUTTON, kUp},
    {WM_NCLBUTTONDOWN, VK_LBUTTON, kDown},   {WM_NCLBUTTONDBLCLK, VK_LBUTTON, kDown}, {WM_NCLBUTTONUP, VK_LBUTTON, kUp},
    {WM_RBUTTONDOWN, VK_RBUTTON, kDown},     {WM_RBUTTONDBLCLK, VK_RBUTTON, kDown},   {WM_RBUTTONUP, VK_RBUTTON, kUp},
    {WM_NCRBUTTONDOWN, VK_RBUTTON, kDown},   {WM_NCRBUTTONDBLCLK, VK_RBUTTON, kDown}, {WM_NCRBUTTONUP, VK_RBUTTON, kUp},
    {WM_MBUTTONDOWN, VK_MBUTTON, kDown},     {WM_MBUTTONDBLCLK, VK_MBUTTON, kDown},   {WM_MBUTTONUP, VK_MBUTTON, kUp},
    {WM_NCMBUTTONDOWN, VK_MBUTTON, kDown},   {WM_NCMBUTTONDBLCLK, VK_MBUTTON, kDown}, {WM_NCMBUTTONUP, VK_MBUTTON, kUp},
};

std::optional<KeyMessage> KeyOf(const MSG& msg) {
    switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        return KeyMessage{static_cast<unsigned>(msg.wParam), kDown};
    case WM_KEYUP:
    case WM_SYSKEYUP:
        return KeyMessage{static_cast<unsigned>(msg.wParam), kUp};
    default:
        break;
    }
    for (const ButtonMessage& button : kButtonMessages)
        if (button.message == msg.message) return KeyMessage{button.key, button.transition};
    return std::nullopt;
}

// The keys down now: as this thread's messages have told it (a press it took whose release it has
// not), or as the keyboard and mouse are (a press still queued, or one made in another window).
void HoldKeysDownNow(HeldKeys& keys) {
    BYTE threadState[256] = {};
    ::GetKeyboardState(threadState);
    // The buttons' own state is that of the physical buttons, which may be swapped.
    const bool swapped = ::GetSystemMetrics(SM_SWAPBUTTON) != 0;
    for (unsigned key = 1; key < 256; ++key) {
        unsigned physical = key;
        if (swapped && (key == VK_LBUTTON || key == VK_RBUTTON)) physical = key == VK_LBUTTON ? VK_RBUTTON : VK_LBUTTON;
        if ((threadState[key] & 0x80) || (::GetAsyncKeyState(static_cast<int>(physical)) & 0x8000)) keys.Hold(key);
    }
}

void StopWhenIdle() {
    if (t_filter.innermost || t_filter.keys.AnyHeld() || !t_filter.hook) return;
    ::UnhookWindowsHookEx(t_filter.hook);
    t_filter.hook = nullptr;
}

}  // namespace

HeldInputFilter::HeldInputFilter(const HWND& box) : m_box(box), m_outer(t_filter.innermost) {
    t_filter.innermost = this;
    if (!t_filter.hook)
        t_filter.hook = ::SetWindowsHookExA(WH_GETMESSAGE, &HeldInputFilter::OnMessage, nullptr, ::GetCurrentThreadId());
}

HeldInputFilter::~HeldInputFilter() {
    t_filter.innermost = m_outer;
    HoldKeysDownNow(t_filter.keys);
    StopWhenIdle();
}

bool HeldInputFilter::MadeBeforeShown(DWORD messageTime) {
    // Noted at the first message the thread takes once the box is visible: anything queued until
    // then was made before anyone could see the question.
    if (!m_shown && m_box && ::IsWindowVisible(m_box)) {
        m_shown = true;
        m_shownTick = ::GetTickCount();
        HoldKeysDownNow(t_filter.keys);
    }
    return !m_shown || static_cast<LONG>(messageTime - m_shownTick) < 0;
}

LRESULT CALLBACK HeldInputFilter::OnMessage(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        MSG& msg = *reinterpret_cast<MSG*>(lParam);
        const bool madeBefore = t_filter.innermost && t_filter.innermost->MadeBeforeShown(msg.time);
        const std::optional<KeyMessage> key = KeyOf(msg);
        if (key && t_filter.keys.Drops(key->key, key->transition, madeBefore, wParam == PM_REMOVE)) msg.message = WM_NULL;
    }
    const LRESULT result = ::CallNextHookEx(nullptr, code, wParam, lParam);
    StopWhenIdle();
    return result;
}
