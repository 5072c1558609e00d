#include "win_test_support.h"

#include <algorithm>

namespace {

struct Script {
    CDialog* dialog = nullptr;
    std::vector<DialogStep> steps;
    size_t next = 0;
    DWORD start = 0;
};
Script* g_script = nullptr;

void CALLBACK OnScriptTick(HWND, UINT, UINT_PTR, DWORD) {
    Script* s = g_script;
    if (!s || !s->dialog->m_hWnd) return;
    if (::GetTickCount() - s->start > 20000) {
        s->dialog->EndDialog(-2);
        return;
    }
    // The first step waits for the dialog to show; later ones run even if a step hid it.
    const bool started = s->next > 0 || ::IsWindowVisible(s->dialog->m_hWnd);
    if (s->next < s->steps.size() && started) s->steps[s->next++](*s->dialog);
}

}  // namespace

INT_PTR RunModalScript(CDialog& dialog, std::vector<DialogStep> steps) {
    // A step may run a script of its own: the inner one runs until its dialog ends.
    Script script{&dialog, std::move(steps), 0, ::GetTickCount()};
    Script* outer = g_script;
    g_script = &script;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 30, OnScriptTick);
    const INT_PTR result = dialog.DoModal();
    ::KillTimer(nullptr, timer);
    g_script = outer;
    return result;
}

void PressKey(CDialog& dialog, WPARAM key) {
    HWND target = ::GetFocus() ? ::GetFocus() : dialog.m_hWnd;
    ::PostMessageA(target, WM_KEYDOWN, key, 1);
    ::PostMessageA(target, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
}

void PumpMessagesFor(DWORD milliseconds) {
    const DWORD start = ::GetTickCount();
    MSG msg;
    while (::GetTickCount() - start < milliseconds) {
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        ::Sleep(5);
    }
}

static LRESULT CALLBACK PlainProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_APP + 3 && message <= WM_APP + 9) return 77;
    return ::DefWindowProcA(hWnd, message, wParam, lParam);
}

HWND CreatePlainWindow(DWORD style, HWND parent) {
    static const ATOM atom = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = PlainProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "OrvaTestPlain";
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        return ::RegisterClassA(&wc);
    }();
    (void)atom;
    return ::CreateWindowExA(0, "OrvaTestPlain", "plain", style, 100, 100, 300, 200, parent, nullptr,
                             ::GetModuleHandleA(nullptr), nullptr);
}

RECT ControlRect(HWND dialog, int id) {
    RECT r{};
    ::GetWindowRect(::GetDlgItem(dialog, id), &r);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}


MessageBoxWatcher* MessageBoxWatcher::s_current = nullptr;

MessageBoxWatcher::MessageBoxWatcher(std::string leaveAlone)
    : m_timer(::SetTimer(nullptr, 0, 50, OnTick)), m_leaveAlone(std::move(leaveAlone)) {
    s_current = this;
}

MessageBoxWatcher::~MessageBoxWatcher() {
    ::KillTimer(nullptr, m_timer);
    if (s_current == this) s_current = nullptr;
}

std::vector<std::string> MessageBoxWatcher::Texts() const {
    std::vector<std::string> texts;
    for (const BoxSeen& box : m_boxes) texts.push_back(box.text);
    return texts;
}

std::vector<std::string> MessageBoxWatcher::TakeTexts() {
    std::vector<std::string> texts = Texts();
    texts.erase(texts.begin(), texts.begin() + static_cast<std::ptrdiff_t>(m_taken));
    m_taken = m_boxes.size();
    return texts;
}

void CALLBACK MessageBoxWatcher::OnTick(HWND, UINT, UINT_PTR, DWORD) {
    if (!s_current) return;
    // A closed box's handle may come back for a later box.
    auto& answered = s_current->m_answered;
    answered.erase(std::remove_if(answered.begin(), answered.end(), [](HWND w) { return !::IsWindow(w); }),
                   answered.end());
    ::EnumThreadWindows(::GetCurrentThreadId(), AnswerBox, 0);
}

BOOL CALLBACK MessageBoxWatcher::AnswerBox(HWND window, LPARAM) {
    char className[16] = {};
    ::GetClassNameA(window, className, sizeof className);
    auto& answered = s_current->m_answered;
    if (std::string(className) != "#32770" || !::IsWindowVisible(window) || CWnd::FromHandlePermanent(window) ||
        std::find(answered.begin(), answered.end(), window) != answered.end())
        return TRUE;
    char caption[256] = {}, text[512] = {};
    ::GetWindowTextA(window, caption, sizeof caption);
    ::GetDlgItemTextA(window, 0xFFFF, text, sizeof text);
    if (!s_current->m_leaveAlone.empty() && s_current->m_leaveAlone == caption) return TRUE;
    s_current->m_boxes.push_back({caption, text, ::GetWindow(window, GW_OWNER)});
    answered.push_back(window);
    ::PostMessageA(window, WM_COMMAND, IDOK, 0);
    return TRUE;
}

std::optional<DialogTemplateInfo> TaiwanDialogTemplate(UINT id) {
    HRSRC res = ::FindResourceExA(nullptr, RT_DIALOG, MAKEINTRESOURCEA(id),
                                  MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL));
    if (!res) return std::nullopt;
    return ParseDialogTemplate(::LockResource(::LoadResource(nullptr, res)), ::SizeofResource(nullptr, res));
}
