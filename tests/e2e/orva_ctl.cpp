// A small Windows-side helper for scripts and tests that drive the program from outside.
//   orva_ctl showcase PATH.bmp   start OrvaTvSetting.exe on a simulated NVIDIA adapter with a TV
//                                on HDMI (the stand-in driver), wait for its window, save a
//                                screenshot of the desktop, close the program; prints the
//                                start-up time
//   orva_ctl demo                start it on the same simulated adapter and wait until it ends
//   orva_ctl font-face           the face Wine picks for the main window's font, and its size
#include <cstdio>
#include <cstring>
#include <string>

#include "e2e_support.h"
#include "standin_install.h"

namespace {

// The stand-in NVIDIA driver, reporting a TV on HDMI.
void SimulateNvidiaHdmi() {
    InstallIntoSystemDirectory(StandinPath("nvapi.dll"), "nvapi.dll");
    SetScenario("ORVA_NV_CONNECTOR", "97");
}

int Demo() {
    SimulateNvidiaHdmi();
    ProgramUnderTest program;
    if (!program.Start()) return 2;
    program.WaitForExit(INFINITE);
    return 0;
}

int Showcase(const char* screenshotPath) {
    SimulateNvidiaHdmi();
    ProgramUnderTest program;
    const DWORD start = ::GetTickCount();
    if (!program.Start()) {
        std::fprintf(stderr, "orva_ctl: could not start OrvaTvSetting.exe\n");
        return 2;
    }
    HWND window = program.WaitForWindow(kDialogClass, kMainTitle, 20000);
    if (!window) {
        std::fprintf(stderr, "orva_ctl: the window \"%s\" did not appear\n", kMainTitle);
        return 3;
    }
    std::printf("window up %lu ms after start\n", static_cast<unsigned long>(::GetTickCount() - start));
    Settle(1500);  // let it paint and the animation run
    const bool saved = SaveScreenshot(screenshotPath);
    ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    program.WaitForExit(5000);
    return saved ? 0 : 4;
}

int FontFace() {
    LOGFONTW font{};
    font.lfHeight = -12;  // 9 pt at 96 dpi
    std::wcscpy(font.lfFaceName, L"\u65B0\u7D30\u660E\u9AD4");
    HFONT handle = ::CreateFontIndirectW(&font);
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, handle);
    // The family really chosen, and the base units a dialog gets from it.
    std::string family = "?";
    if (UINT size = ::GetOutlineTextMetricsW(dc, 0, nullptr)) {
        std::string buffer(size, '\0');
        auto* metrics = reinterpret_cast<OUTLINETEXTMETRICW*>(&buffer[0]);
        ::GetOutlineTextMetricsW(dc, size, metrics);
        const wchar_t* name = reinterpret_cast<const wchar_t*>(&buffer[0] + reinterpret_cast<size_t>(metrics->otmpFamilyName));
        char utf8[256] = {};
        ::WideCharToMultiByte(CP_UTF8, 0, name, -1, utf8, sizeof utf8, nullptr, nullptr);
        family = utf8;
    }
    TEXTMETRICA metrics{};
    ::GetTextMetricsA(dc, &metrics);
    SIZE alphabet{};
    ::GetTextExtentPoint32A(dc, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &alphabet);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    ::DeleteObject(handle);
    std::printf("%s, base units %ld x %ld\n", family.c_str(), (alphabet.cx / 26 + 1) / 2, static_cast<long>(metrics.tmHeight));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "showcase") == 0) return Showcase(argv[2]);
    if (argc == 2 && std::strcmp(argv[1], "demo") == 0) return Demo();
    if (argc == 2 && std::strcmp(argv[1], "font-face") == 0) return FontFace();
    std::fprintf(stderr, "usage: orva_ctl showcase PATH.bmp | orva_ctl demo | orva_ctl font-face\n");
    return 1;
}
