// A small Windows-side helper for scripts and tests that drive the program from outside.
//   orva_ctl list                      the simulated adapters, one "name  description" a line
//   orva_ctl showcase SCENARIO PATH.bmp  start OrvaTvSetting.exe on that simulated adapter (the
//                                      stand-in drivers), answer its start-up messages, let the
//                                      animation run a second, save a screenshot of the
//                                      desktop, close the program; prints the start-up time
//                                      and where the window and its corner animation were
//   orva_ctl demo SCENARIO             start it on that simulated adapter and wait until it ends
//   orva_ctl font-face                 the face Wine picks for the main window's font, and its size
#include <cstdio>
#include <cstring>
#include <string>

#include "e2e_support.h"
#include "resource.h"
#include "scenarios.h"

namespace {

int List() {
    for (const AdapterScenario& scenario : kAdapterScenarios)
        std::printf("%-17s %s\n", scenario.name, scenario.description);
    return 0;
}

const AdapterScenario* ScenarioOrComplain(const char* name) {
    const AdapterScenario* scenario = FindScenario(name);
    if (!scenario) std::fprintf(stderr, "orva_ctl: no simulated adapter \"%s\" (see orva_ctl list)\n", name);
    return scenario;
}

int Demo(const AdapterScenario& scenario) {
    StandinDrivers drivers;
    if (!SimulateAdapter(drivers, scenario)) return 2;
    ProgramUnderTest program;
    if (!program.Start()) return 2;
    program.WaitForExit(INFINITE);
    return 0;
}

// "window 704 339 1216 740": a rectangle in screen coordinates, left, top, right and bottom.
void PrintRect(const char* name, const RECT& r) { std::printf("%s %ld %ld %ld %ld\n", name, r.left, r.top, r.right, r.bottom); }

int Showcase(const AdapterScenario& scenario, const char* screenshotPath) {
    StandinDrivers drivers;
    ProgramUnderTest program;
    const DWORD start = ::GetTickCount();
    if (!SimulateAdapter(drivers, scenario) || !program.Start()) {
        std::fprintf(stderr, "orva_ctl: could not start OrvaTvSetting.exe on %s\n", scenario.name);
        return 2;
    }
    for (const MessageBoxSeen& box : AnswerStartupMessageBoxes(program, 20000))
        std::printf("answered the message \"%s\"\n", box.text.c_str());
    HWND window = program.WaitForWindow(kDialogClass, kMainTitle, 20000);
    if (!window) {
        std::fprintf(stderr, "orva_ctl: the window \"%s\" did not appear\n", kMainTitle);
        return 3;
    }
    std::printf("window up %lu ms after start\n", static_cast<unsigned long>(::GetTickCount() - start));
    // No picture lit and no tooltip under the pointer.
    if (!MoveMouseTo(POINT{5, 5})) std::fprintf(stderr, "orva_ctl: the pointer did not leave the window\n");
    Settle(1000);  // the view is applied before the window shows; let the animation run a second
    const bool saved = SaveScreenshot(screenshotPath);
    PrintRect("window", WindowRect(window));
    PrintRect("animation", WindowRect(::GetDlgItem(window, IDC_ANIMATION)));
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
    const std::string command = argc >= 2 ? argv[1] : "";
    if (argc == 2 && command == "list") return List();
    if (argc == 2 && command == "font-face") return FontFace();
    if (argc == 3 && command == "demo") {
        const AdapterScenario* scenario = ScenarioOrComplain(argv[2]);
        return scenario ? Demo(*scenario) : 1;
    }
    if (argc == 4 && command == "showcase") {
        const AdapterScenario* scenario = ScenarioOrComplain(argv[2]);
        return scenario ? Showcase(*scenario, argv[3]) : 1;
    }
    std::fprintf(stderr, "usage: orva_ctl list | orva_ctl showcase SCENARIO PATH.bmp | orva_ctl demo SCENARIO | "
                         "orva_ctl font-face\n");
    return 1;
}
