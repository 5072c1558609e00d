#include "framework/window_scale.h"

#include "framework/scoped_handles.h"
#include "framework/system_library.h"

namespace {

constexpr const char* kDpiProperty = "OrvaTvSetting.Dpi";

// user32's scale functions, where it has them: GetDpiForWindow, GetDpiForSystem and
// SystemParametersInfoForDpi exist from Windows 10 1607 on (newer than the headers we build
// for); older systems answer for the whole screen.
struct DpiFunctions {
    using ForWindow = UINT(WINAPI*)(HWND);
    using ForSystem = UINT(WINAPI*)();
    using ParametersForDpi = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);
    ForWindow forWindow;
    ForSystem forSystem;
    ParametersForDpi parametersForDpi;
};

const DpiFunctions& User32Dpi() {
    static const DpiFunctions functions = [] {
        HMODULE user32 = ::GetModuleHandleA("user32.dll");
        return DpiFunctions{GetProcAddressAs<DpiFunctions::ForWindow>(user32, "GetDpiForWindow"),
                            GetProcAddressAs<DpiFunctions::ForSystem>(user32, "GetDpiForSystem"),
                            GetProcAddressAs<DpiFunctions::ParametersForDpi>(user32, "SystemParametersInfoForDpi")};
    }();
    return functions;
}

UINT ScreenDpi() {
    const CClientDC screen(nullptr);
    const int dpi = screen.GetSafeHdc() ? ::GetDeviceCaps(screen, LOGPIXELSX) : 0;
    return dpi > 0 ? static_cast<UINT>(dpi) : kDefaultDpi;
}

}  // namespace

UINT AfxGetMonitorDpi(HWND hWnd) {
    if (User32Dpi().forWindow && hWnd) {
        if (const UINT dpi = User32Dpi().forWindow(hWnd)) return dpi;
    }
    return ScreenDpi();
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

UINT AfxGetSystemDpi() { return User32Dpi().forSystem ? User32Dpi().forSystem() : ScreenDpi(); }

BOOL AfxSystemParametersInfoForDpi(UINT action, UINT param, void* value, UINT winIni, UINT dpi) {
    return User32Dpi().parametersForDpi && User32Dpi().parametersForDpi(action, param, value, winIni, dpi);
}
