#pragma once
// The desktop made another size for a test; ChangeDisplaySettingsExA's answer.
#include <windows.h>

inline LONG ChangeDesktopSize(DWORD width, DWORD height) {
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = width;
    mode.dmPelsHeight = height;
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    return ::ChangeDisplaySettingsExA(nullptr, &mode, nullptr, 0, nullptr);
}
