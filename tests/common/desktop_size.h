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
    // Reported on 10 looks in a row, 20 ms apart: steady for 200 ms.
    for (int steady = 0, look = 0; look < 150; ++look, ::Sleep(20)) {
        steady = PrimaryMonitorIs(width, height) ? steady + 1 : 0;
        if (steady == 10) return answer;
    }
    return DISP_CHANGE_FAILED;
}
