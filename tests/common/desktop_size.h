#pragma once
// The desktop made another size for a test; ChangeDisplaySettingsExA's answer.
#include <windows.h>

inline bool PrimaryMonitorIs(DWORD width, DWORD height) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    return ::GetMonitorInfoA(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info) &&
           info.rcMonitor.right - info.rcMonitor.left == LONG(width) &&
           info.rcMonitor.bottom - info.rcMonitor.top == LONG(height);
}

// Wine can report the monitor at its old size for a moment after the change has succeeded, and a
// window opened then would be placed on the old desktop: this waits until the monitor has reported
// the new size for 200 ms in a row, and answers DISP_CHANGE_FAILED when that does not happen in 3 s.
inline LONG ChangeDesktopSize(DWORD width, DWORD height) {
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = width;
    mode.dmPelsHeight = height;
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    const LONG answer = ::ChangeDisplaySettingsExA(nullptr, &mode, nullptr, 0, nullptr);
    if (answer != DISP_CHANGE_SUCCESSFUL) return answer;
    DWORD seenSince = 0;
    for (const DWORD start = ::GetTickCount(); ::GetTickCount() - start < 3000; ::Sleep(20)) {
        if (!PrimaryMonitorIs(width, height)) {
            seenSince = 0;
        } else if (!seenSince) {
            seenSince = ::GetTickCount();
        } else if (::GetTickCount() - seenSince >= 200) {
            return answer;
        }
    }
    return DISP_CHANGE_FAILED;
}
