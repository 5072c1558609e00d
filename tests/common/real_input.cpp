#include "real_input.h"

#include <string>

bool SendXKeyEvent(const char* xName, WORD virtualKey, bool up) {
    std::string commandLine = std::string("/usr/bin/xdotool ") + (up ? "keyup " : "keydown ") + xName;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    if (process.hThread) ::CloseHandle(process.hThread);
    if (process.hProcess) ::CloseHandle(process.hProcess);
    const bool wantDown = !up;
    for (const DWORD start = ::GetTickCount(); ::GetTickCount() - start < 3000; ::Sleep(5)) {
        const bool down = (::GetAsyncKeyState(virtualKey) & 0x8000) != 0;
        if (down == wantDown) return true;
    }
    return false;
}

void SendKeyEvent(WORD virtualKey, bool up) {
    INPUT key{};
    key.type = INPUT_KEYBOARD;
    key.ki.wVk = virtualKey;
    key.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ::SendInput(1, &key, sizeof key);
}

void SendLeftButton(bool down, POINT screen) {
    INPUT button{};
    button.type = INPUT_MOUSE;
    button.mi.dx = MulDiv(screen.x, 65536, ::GetSystemMetrics(SM_CXSCREEN));
    button.mi.dy = MulDiv(screen.y, 65536, ::GetSystemMetrics(SM_CYSCREEN));
    button.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | (down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP);
    ::SendInput(1, &button, sizeof button);
}

bool ParkPointer() {
    for (const DWORD start = ::GetTickCount(); ::GetTickCount() - start < 3000;) {
        // Wine may skip a move to the position it already holds, and at start-up it may hold the
        // corner before it has learnt where the display's pointer really is.
        ::SetCursorPos(1, 1);
        ::SetCursorPos(0, 0);
        ::Sleep(150);  // past 100 ms since the last move, Wine asks the display where the pointer is
        POINT at{};
        if (::GetCursorPos(&at) && at.x == 0 && at.y == 0) return true;
    }
    return false;
}
