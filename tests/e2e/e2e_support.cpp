#include "e2e_support.h"

#include <ole2.h>
#include <oleacc.h>
#include "controls/dib_section.h"
#include "controls/scaled_art.h"
#include "framework/window_scale.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include <oleacc.h>

#include "real_input.h"
#include "resource.h"
#include "standin_install.h"

// Unbuffered output: what a test printed is seen even when it hangs and is stopped.
static const int g_unbuffered = std::setvbuf(stdout, nullptr, _IONBF, 0);

std::string DriverFolder() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\'));
}

std::string BuildFolder() { return DriverFolder() + "\\..\\.."; }

ProgramUnderTest::~ProgramUnderTest() {
    if (!m_info.hProcess) return;
    if (IsRunning()) {
        ::TerminateProcess(m_info.hProcess, 99);
        ::WaitForSingleObject(m_info.hProcess, 5000);
    }
    ::CloseHandle(m_info.hThread);
    ::CloseHandle(m_info.hProcess);
}

std::string ProgramPath() {
    char exe[MAX_PATH] = {};
    if (::GetEnvironmentVariableA("ORVA_EXE", exe, sizeof exe)) return exe;
    return BuildFolder() + (DrivesWow64Program() ? "\\..\\win32\\OrvaTvSetting.exe" : "\\OrvaTvSetting.exe");
}

bool DrivesExe32() { return sizeof(void*) == 4 || DrivesWow64Program(); }

WORD ImageMachine(HANDLE process) {
    char path[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    if (!::QueryFullProcessImageNameA(process, 0, path, &length)) return 0;
    std::ifstream file(path, std::ios::binary);
    IMAGE_DOS_HEADER dos{};
    IMAGE_FILE_HEADER header{};
    DWORD signature = 0;
    file.read(reinterpret_cast<char*>(&dos), sizeof dos);
    file.seekg(dos.e_lfanew);
    file.read(reinterpret_cast<char*>(&signature), sizeof signature);
    file.read(reinterpret_cast<char*>(&header), sizeof header);
    const bool isPe = file && dos.e_magic == IMAGE_DOS_SIGNATURE && signature == IMAGE_NT_SIGNATURE;
    return isPe ? header.Machine : 0;
}

bool ProgramUnderTest::Start() { return Start(ProgramPath()); }

bool ProgramUnderTest::Start(const std::string& exe) {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    std::string commandLine = "\"" + exe + "\"";
    return ::CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &m_info) != 0;
}

std::vector<HWND> ProgramUnderTest::TopLevelWindows() const {
    struct Search {
        DWORD pid;
        std::vector<HWND> found;
    } search{m_info.dwProcessId, {}};
    ::EnumWindows(
        [](HWND w, LPARAM lp) CALLBACK -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            DWORD pid = 0;
            ::GetWindowThreadProcessId(w, &pid);
            if (pid == s->pid && ::IsWindowVisible(w)) s->found.push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND ProgramUnderTest::WaitForWindow(const char* className, const char* title, DWORD timeoutMs) const {
    const DWORD start = ::GetTickCount();
    for (;;) {
        for (HWND w : TopLevelWindows()) {
            char cls[64] = {};
            ::GetClassNameA(w, cls, sizeof cls);
            const bool boxWithMainTitle = WindowText(w) == kMainTitle && !IsMainWindow(w);
            if (lstrcmpiA(cls, className) == 0 && WindowText(w) == title && !boxWithMainTitle) return w;
        }
        if (::GetTickCount() - start >= timeoutMs || !IsRunning()) return nullptr;
        ::Sleep(50);
    }
}

bool ProgramUnderTest::WaitForExit(DWORD timeoutMs) const {
    return m_info.hProcess && ::WaitForSingleObject(m_info.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

DWORD ProgramUnderTest::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(m_info.hProcess, &code);
    return code;
}

HWND StartAndWaitForMainWindow(ProgramUnderTest& program, DWORD timeoutMs) {
    // The display's pointer starts at its screen's centre, where the window would come up under it.
    if (!ParkPointer() || !program.Start()) return nullptr;
    HWND window = program.WaitForWindow(kDialogClass, kMainTitle, timeoutMs);
    if (window) Settle(500);
    return window;
}

DWORD RunAnotherCopy(DWORD limitMs) {
    ProgramUnderTest copy;
    const DWORD start = ::GetTickCount();
    if (!copy.Start()) return limitMs;
    const bool ended = copy.WaitForExit(limitMs);
    const DWORD ran = ::GetTickCount() - start;
    std::printf("another copy %s %lu ms after its start\n", ended ? "ended" : "still ran", static_cast<unsigned long>(ran));
    return ended ? std::min(ran, limitMs - 1) : limitMs;
}

std::string WindowText(HWND window) {
    char text[512] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

bool IsMainWindow(HWND window) {
    return WindowText(window) == kMainTitle && ::GetDlgItem(window, IDC_CLOSE) != nullptr;
}

std::string MessageBoxText(HWND box) { return WindowText(::GetDlgItem(box, 0xFFFF)); }

static bool IsDialogWindow(HWND window) {
    char className[64] = {};
    ::GetClassNameA(window, className, sizeof className);
    return lstrcmpiA(className, kDialogClass) == 0;
}

std::vector<MessageBoxSeen> AnswerStartupMessageBoxes(
    const ProgramUnderTest& program, DWORD timeoutMs,
    const std::function<void(HWND box, const MessageBoxSeen& seen)>& onBox) {
    std::vector<MessageBoxSeen> seen;
    std::vector<HWND> answered;  // pressed, but perhaps still visible for a moment
    const DWORD start = ::GetTickCount();
    bool mainWindowUp = false;
    while (!mainWindowUp && program.IsRunning() && ::GetTickCount() - start < timeoutMs) {
        for (HWND window : program.TopLevelWindows()) {
            if (!IsDialogWindow(window)) continue;
            if (IsMainWindow(window)) {
                mainWindowUp = true;
                continue;
            }
            if (std::find(answered.begin(), answered.end(), window) != answered.end()) continue;
            const MessageBoxSeen box{WindowText(window), MessageBoxText(window)};
            if (onBox) onBox(window, box);
            seen.push_back(box);
            answered.push_back(window);
            ::PostMessageA(window, WM_COMMAND, IDOK, 0);
        }
        // A closed box's handle may come back for a later one.
        answered.erase(std::remove_if(answered.begin(), answered.end(), [](HWND w) { return !::IsWindow(w); }),
                       answered.end());
        if (!mainWindowUp) ::Sleep(50);
    }
    return seen;
}

bool MoveMouseTo(POINT screen) { return PlacePointer(screen, PointerMove::SendInput); }

bool ClickAt(POINT screen) {
    if (!MoveMouseTo(screen)) return false;
    SendLeftButton(true, screen);
    Settle(100);
    SendLeftButton(false, screen);
    Settle(200);
    return true;
}

bool DragFromTo(POINT from, POINT to) {
    if (!MoveMouseTo(from)) return false;
    SendLeftButton(true, from);
    Settle(150);
    // A few steps, as a hand would move. While a window is dragged Wine may hold the display's
    // pointer, so the display need not report these steps: the window's own moves tell.
    for (int step = 1; step <= 5; ++step) {
        SendMouseAt(MOUSEEVENTF_MOVE, POINT{from.x + (to.x - from.x) * step / 5, from.y + (to.y - from.y) * step / 5});
        Settle(60);
    }
    SendLeftButton(false, to);
    Settle(300);
    return true;
}

void PressKey(WORD virtualKey) {
    INPUT keys[2]{};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = virtualKey;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, keys, sizeof(INPUT));
    Settle(200);
}

RECT ControlClientRect(HWND dialog, int id) {
    RECT r{};
    ::GetWindowRect(::GetDlgItem(dialog, id), &r);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

int FocusedControl(HWND dialog) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(dialog, nullptr), &info);
    return info.hwndFocus && ::GetParent(info.hwndFocus) == dialog ? ::GetDlgCtrlID(info.hwndFocus) : 0;
}

POINT ControlCentre(HWND dialog, int id) {
    RECT r{};
    ::GetWindowRect(::GetDlgItem(dialog, id), &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void Settle(DWORD milliseconds) { ::Sleep(milliseconds); }

void SaveScreenshotArtifact(const std::string& name) {
    const std::string folder = BuildFolder() + "\\e2e-screenshots";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    SaveScreenshot(folder + "\\" + name + ".bmp");
}

ProgramBitmaps::ProgramBitmaps()
    : m_module(::LoadLibraryExA(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}

ProgramBitmaps::~ProgramBitmaps() {
    if (m_module) ::FreeLibrary(m_module);
}

Pixels ProgramBitmaps::Get(UINT id) const {
    const SIZE size = Size(id);
    return Get(id, size.cx, size.cy);
}

Pixels ProgramBitmaps::Get(UINT id, UINT dpi) const {
    if (dpi == kDefaultDpi) return Get(id);
    HBITMAP art = LoadScaledArt(m_module, id, dpi);
    Pixels pixels = ReadPixels(art).pixels;
    if (art) ::DeleteObject(art);
    return pixels;
}

SIZE ProgramBitmaps::Size(UINT id, UINT dpi) const {
    if (dpi == kDefaultDpi) return Size(id);
    HBITMAP art = LoadScaledArt(m_module, id, dpi);
    BITMAP info{};
    if (art) ::GetObjectA(art, sizeof info, &info);
    if (art) ::DeleteObject(art);
    return SIZE{info.bmWidth, info.bmHeight};
}

UINT DesktopDpi() {
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    return static_cast<UINT>(dpi);
}

SIZE DesktopSize() {
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    if (!::EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode)) return SIZE{0, 0};
    return SIZE{static_cast<LONG>(mode.dmPelsWidth), static_cast<LONG>(mode.dmPelsHeight)};
}

std::string StoredMode() {
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    if (!::EnumDisplaySettingsA(nullptr, ENUM_REGISTRY_SETTINGS, &mode)) return "none";
    return std::to_string(mode.dmPelsWidth) + "x" + std::to_string(mode.dmPelsHeight);
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    while (!condition()) {
        if (::GetTickCount() - start >= timeoutMs) return condition();
        ::Sleep(50);
    }
    return true;
}

RECT WindowRect(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

bool WhollyOnDesktop(HWND window) {
    const RECT r = WindowRect(window);
    const SIZE desktop = DesktopSize();
    return r.left >= 0 && r.top >= 0 && r.right <= desktop.cx && r.bottom <= desktop.cy;
}

namespace {

// Spelled out: a static mingw link gives a wrong IID_IAccessible.
constexpr IID kIID_IAccessible = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

std::string Narrow(BSTR text) {
    std::string narrow;
    for (const wchar_t* c = text; c && *c; ++c) narrow += static_cast<char>(*c);
    ::SysFreeString(text);
    return narrow;
}

}  // namespace

AccessibleView ReadAccessible(HWND window, bool press) {
    IAccessible* object = nullptr;
    if (FAILED(::AccessibleObjectFromWindow(window, OBJID_CLIENT, kIID_IAccessible, reinterpret_cast<void**>(&object))))
        return {};
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr, description = nullptr;
    VARIANT role{}, state{};
    object->get_accName(self, &name);
    object->get_accRole(self, &role);
    object->get_accState(self, &state);
    object->get_accDescription(self, &description);
    const HRESULT pressed = press ? object->accDoDefaultAction(self) : E_FAIL;
    object->Release();
    return AccessibleView{Narrow(name), role.vt == VT_I4 ? role.lVal : 0, state.vt == VT_I4 ? state.lVal : 0,
                          Narrow(description), pressed};
}
