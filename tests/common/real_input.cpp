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

void SendMouseAt(DWORD flags, POINT screen) {
    // Absolute input is in 65536ths of the screen; rounding up lands exactly on the pixel.
    const auto scaled = [](LONG v, int extent) { return static_cast<LONG>((v * 65536LL + extent - 1) / extent); };
    INPUT mouse{};
    mouse.type = INPUT_MOUSE;
    mouse.mi.dx = scaled(screen.x, ::GetSystemMetrics(SM_CXSCREEN));
    mouse.mi.dy = scaled(screen.y, ::GetSystemMetrics(SM_CYSCREEN));
    mouse.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &mouse, sizeof mouse);
}

void SendLeftButton(bool down, POINT screen) {
    SendMouseAt(MOUSEEVENTF_MOVE | (down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP), screen);
}

void SendLeftButtonInPlace(bool down) {
    INPUT button{};
    button.type = INPUT_MOUSE;
    button.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    ::SendInput(1, &button, sizeof button);
}

bool PlacePointer(POINT screen, PointerMove move) {
    const auto moveTo = [move](POINT at) {
        if (move == PointerMove::SetCursorPos)
            ::SetCursorPos(at.x, at.y);
        else
            SendMouseAt(MOUSEEVENTF_MOVE, at);
    };
    // Wine skips a move to the position it already holds, so a neighbouring point comes first.
    const POINT beside{screen.x > 0 ? screen.x - 1 : screen.x + 1, screen.y};
    for (const DWORD start = ::GetTickCount(); ::GetTickCount() - start < 3000;) {
        moveTo(beside);
        moveTo(screen);
        ::Sleep(150);  // past 100 ms since the last move, Wine asks the display where the pointer is
        POINT at{};
        if (::GetCursorPos(&at) && at.x == screen.x && at.y == screen.y) return true;
    }
    return false;
}

bool ParkPointer() { return PlacePointer(POINT{0, 0}); }
