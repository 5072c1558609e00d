// The real program on the Wine desktop, driven from outside as a user would.
#include <gtest/gtest.h>

#include <cstdio>
#include <cwchar>
#include <vector>

#include "e2e_support.h"
#include "standin_install.h"
#include "resource.h"

namespace {

constexpr DWORD kStartTimeoutMs = 20000;

// The program finds a quiet adapter: the ATI stand-in, which answers without any message.
const bool g_quietAdapter = InstallIntoSystemDirectory(StandinPath("atipdlxx.dll"), "atipdlxx.dll");

// Starts the program and waits for its main window.
HWND StartAndWait(ProgramUnderTest& program) {
    EXPECT_TRUE(g_quietAdapter);
    const DWORD start = ::GetTickCount();
    if (!program.Start()) return nullptr;
    HWND window = program.WaitForWindow(kDialogClass, kMainTitle, kStartTimeoutMs);
    if (window) std::printf("main window up %lu ms after start\n", static_cast<unsigned long>(::GetTickCount() - start));
    Settle(500);
    return window;
}

// Runs a program of the build (without a console of its own) and returns what it printed;
// a program still running after 15 s is ended.
std::string RunAndCapture(const std::string& commandLine) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return {};
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = writeEnd;
    PROCESS_INFORMATION info{};
    std::string line = commandLine;
    const bool started = ::CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                          nullptr, &startup, &info) != 0;
    ::CloseHandle(writeEnd);
    std::string output;
    const DWORD start = ::GetTickCount();
    bool ended = !started;
    while (!ended && ::GetTickCount() - start < 15000) {
        ended = ::WaitForSingleObject(info.hProcess, 50) == WAIT_OBJECT_0;
        char buffer[256];
        DWORD available = 0, got = 0;
        while (::PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available &&
               ::ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got)
            output.append(buffer, got);
    }
    ::CloseHandle(readEnd);
    if (started) {
        if (!ended) ::TerminateProcess(info.hProcess, 1);
        ::CloseHandle(info.hThread);
        ::CloseHandle(info.hProcess);
    }
    return output;
}

struct Geometry {
    RECT client;
    RECT hdmi;
    RECT sVideo;
};

Geometry MeasureMainWindow() {
    ProgramUnderTest program;
    HWND window = StartAndWait(program);
    Geometry g{};
    if (!window) return g;
    ::GetClientRect(window, &g.client);
    g.hdmi = ControlClientRect(window, IDC_HDMI);
    g.sVideo = ControlClientRect(window, IDC_SVIDEO);
    return g;
}

}  // namespace

TEST(StartUp, TheMainWindowAppearsWithTheDialogClassAndItsTitle) {
    ProgramUnderTest program;
    HWND window = StartAndWait(program);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(::GetWindowLongA(window, GWL_STYLE) & WS_CAPTION, 0);
    EXPECT_EQ(program.TopLevelWindows().size(), 1u);
    SaveScreenshotArtifact("startup");
}

TEST(SingleInstance, ASecondStartEndsWithinTwoSecondsWithoutASecondWindow) {
    ProgramUnderTest first, second;
    HWND window = StartAndWait(first);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(second.Start());
    EXPECT_TRUE(second.WaitForExit(2000)) << "the second copy is still running after 2 s";
    EXPECT_TRUE(second.TopLevelWindows().empty());
    EXPECT_TRUE(first.IsRunning());
    EXPECT_EQ(::FindWindowA(kDialogClass, kMainTitle), window);
}

TEST(SingleInstance, ASecondStartRestoresAMinimisedFirstCopyToTheFrontAndOnScreen) {
    ProgramUnderTest first, second;
    HWND window = StartAndWait(first);
    ASSERT_NE(window, nullptr);
    ::SetWindowPos(window, nullptr, 1700, 900, 0, 0, SWP_NOSIZE | SWP_NOZORDER);  // partly off screen
    ::ShowWindow(window, SW_MINIMIZE);
    Settle();
    ASSERT_TRUE(::IsIconic(window));
    ASSERT_TRUE(second.Start());
    EXPECT_TRUE(second.WaitForExit(2000));
    Settle(500);
    EXPECT_FALSE(::IsIconic(window));
    EXPECT_EQ(::GetForegroundWindow(), window);
    EXPECT_TRUE(WhollyOnDesktop(window));
}

TEST(Closing, EscapeEndsTheProgram) {
    ProgramUnderTest program;
    HWND window = StartAndWait(program);
    ASSERT_NE(window, nullptr);
    ::SetForegroundWindow(window);
    Settle();
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(program.WaitForExit(5000));
}

TEST(Closing, TheCloseButtonEndsTheProgram) {
    ProgramUnderTest program;
    HWND window = StartAndWait(program);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(ClickAt(ControlCentre(window, IDC_CLOSE)));
    EXPECT_TRUE(program.WaitForExit(5000));
}

TEST(Dragging, TheFreeSurfaceMovesTheWindowAButtonDoesNot) {
    ProgramUnderTest program;
    HWND window = StartAndWait(program);
    ASSERT_NE(window, nullptr);
    const RECT before = WindowRect(window);
    // A spot of the header with no control on it.
    const POINT free{before.left + 300, before.top + 45};
    EXPECT_TRUE(DragFromTo(free, POINT{free.x + 120, free.y + 60}));
    const RECT moved = WindowRect(window);
    EXPECT_EQ(moved.left - before.left, 120);
    EXPECT_EQ(moved.top - before.top, 60);

    const POINT onButton = ControlCentre(window, IDC_640);
    EXPECT_TRUE(DragFromTo(onButton, POINT{onButton.x + 80, onButton.y - 40}));
    const RECT after = WindowRect(window);
    EXPECT_EQ(after.left, moved.left);
    EXPECT_EQ(after.top, moved.top);
    EXPECT_TRUE(program.IsRunning());
}

TEST(ConnectorPictures, ClickingOneStartsNoAction) {
    ProgramUnderTest program;
    HWND window = StartAndWait(program);
    ASSERT_NE(window, nullptr);
    DEVMODEA before{};
    before.dmSize = sizeof(before);
    ::EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &before);
    for (int id : {IDC_SVIDEO, IDC_COMPOSITE, IDC_COMPONENT, IDC_HDMI}) EXPECT_TRUE(ClickAt(ControlCentre(window, id)));
    Settle(500);
    DEVMODEA after{};
    after.dmSize = sizeof(after);
    ::EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &after);
    EXPECT_TRUE(program.IsRunning());
    // The picture under the pointer may show its tooltip; no message box or popup comes.
    size_t dialogs = 0;
    for (HWND shown : program.TopLevelWindows()) {
        char className[64] = {};
        ::GetClassNameA(shown, className, sizeof className);
        dialogs += lstrcmpiA(className, kDialogClass) == 0;
    }
    EXPECT_EQ(dialogs, 1u) << "only the main window";
    EXPECT_EQ(after.dmPelsWidth, before.dmPelsWidth);
    EXPECT_EQ(after.dmPelsHeight, before.dmPelsHeight);
}

// Wine's font replacement: the main window's font stands for another face from now on.
void ReplaceDialogFont(const wchar_t* face) {
    HKEY key = nullptr;
    ::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\Fonts\\Replacements", 0, nullptr, 0, KEY_SET_VALUE,
                      nullptr, &key, nullptr);
    const DWORD bytes = static_cast<DWORD>((wcslen(face) + 1) * sizeof(wchar_t));
    ::RegSetValueExW(key, L"\u65B0\u7D30\u660E\u9AD4", 0, REG_SZ, reinterpret_cast<const BYTE*>(face), bytes);
    ::RegCloseKey(key);
}

TEST(Layout, TheWindowKeepsItsIntendedGeometryWhateverFontWineSubstitutes) {
    const std::string ctl = "\"" + DriverFolder() + "\\orva_ctl.exe\" font-face";
    const wchar_t* replacements[] = {nullptr, L"DejaVu Sans", L"AR PL UMing TW"};
    std::vector<std::string> faces;
    for (const wchar_t* face : replacements) {
        if (face) ReplaceDialogFont(face);
        faces.push_back(RunAndCapture(ctl));
        std::printf("font: %s", faces.back().c_str());
        const Geometry g = MeasureMainWindow();
        // The template's 506 x 395 and the 3-pixel modal frame that the skin takes away.
        EXPECT_EQ(g.client.right, 512);
        EXPECT_EQ(g.client.bottom, 401);
        EXPECT_EQ(g.hdmi.left, 384);
        EXPECT_EQ(g.hdmi.top, 77);
        EXPECT_EQ(g.sVideo.left, 21);
        EXPECT_EQ(g.sVideo.top, 71);
    }
    EXPECT_NE(faces[0], faces[1]) << "the replacements did not change the font's metrics";
    EXPECT_NE(faces[1], faces[2]) << "the replacements did not change the font's metrics";
}
