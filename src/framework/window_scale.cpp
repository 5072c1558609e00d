#include "framework/window_scale.h"

namespace {

constexpr const char* kDpiProperty = "OrvaTvSetting.Dpi";

}  // namespace

// GetDpiForWindow exists from Windows 10 1607 on; older systems answer for the whole screen.
UINT AfxGetMonitorDpi(HWND hWnd) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow && hWnd) {
        if (const UINT dpi = getDpiForWindow(hWnd)) return dpi;
    }
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen) ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : kDefaultDpi;
}

UINT AfxGetWindowDpi(HWND hWnd) {
    HWND top = hWnd ? ::GetAncestor(hWnd, GA_ROOT) : nullptr;
    if (const auto told = reinterpret_cast<UINT_PTR>(top ? ::GetPropA(top, kDpiProperty) : nullptr)) {
        return static_cast<UINT>(told);
    }
    return AfxGetMonitorDpi(hWnd);
}

void AfxSetWindowDpi(HWND hTopLevel, UINT dpi) {
    if (!hTopLevel) return;
    if (dpi) {
        ::SetPropA(hTopLevel, kDpiProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(dpi)));
    } else {
        ::RemovePropA(hTopLevel, kDpiProperty);
    }
}
