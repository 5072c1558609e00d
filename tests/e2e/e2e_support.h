#pragma once
// Driving the real OrvaTvSetting.exe from outside on the Wine desktop: start it, find its
// windows, read message boxes, press keys and the mouse as a user would, take screenshots.
#include <windows.h>

#include <functional>
#include <string>

#include "pixels.h"
#include "screenshot.h"
#include <vector>

// The folder of the running driver.
std::string DriverFolder();
// build/<preset>/: the exe lives here; screenshots go to its e2e-screenshots folder.
std::string BuildFolder();
// The program the tests start: ORVA_EXE (a Windows path) when set; else the 32-bit build
// (build/win32/) when driving the 32-bit exe (DrivesWow64Program), else build/<preset>/'s.
std::string ProgramPath();
// True when the program under test is the 32-bit exe: always for a 32-bit driver (build/win32/),
// and for this 64-bit one when it drives the 32-bit exe in Wine's WoW64 mode.
bool DrivesExe32();
// The machine type in the PE header of the program a process runs (IMAGE_FILE_MACHINE_I386 for
// the 32-bit exe), or 0 when it cannot be read.
WORD ImageMachine(HANDLE process);

class ProgramUnderTest {
public:
    ProgramUnderTest() = default;
    ~ProgramUnderTest();  // ends the program if it still runs: no process is left behind
    ProgramUnderTest(const ProgramUnderTest&) = delete;
    ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;

    // Starts build/<preset>/OrvaTvSetting.exe; false when it could not be started.
    bool Start();
    // Starts another program (a full Windows path) the same way.
    bool Start(const std::string& exe);
    // The visible top-level window of this process with that class and title, within the time
    // (for the main window's title, the main window and not a message box).
    HWND WaitForWindow(const char* className, const char* title, DWORD timeoutMs) const;
    // True when the process has ended within the time.
    bool WaitForExit(DWORD timeoutMs) const;
    bool IsRunning() const { return !WaitForExit(0); }
    DWORD ExitCode() const;
    // The visible top-level windows of this process.
    std::vector<HWND> TopLevelWindows() const;
    DWORD ProcessId() const { return m_info.dwProcessId; }
    HANDLE Process() const { return m_info.hProcess; }

private:
    PROCESS_INFORMATION m_info{};
};

// Starts the program, waits for its main window and lets it paint; null when the program did not
// start or its window did not come within the time.
HWND StartAndWaitForMainWindow(ProgramUnderTest& program, DWORD timeoutMs = 20000);

// Starts another copy of the program and waits up to limitMs for it to end: how long it ran,
// or limitMs when it still runs then (it is ended on return).
DWORD RunAnotherCopy(DWORD limitMs);

// The main window's class and title, and the ATI hint popup's title.
constexpr const char* kDialogClass = "#32770";
constexpr const char* kMainTitle = "ORVA TV Setting";
constexpr const char* kHintTitle = "Your TV can show HD formats";

// True for the program's main window; its message boxes carry the same title.
bool IsMainWindow(HWND window);

// The text of a standard message box (its static control 0xFFFF).
std::string MessageBoxText(HWND box);
std::string WindowText(HWND window);

// A message box as the user saw it.
struct MessageBoxSeen {
    std::string caption;
    std::string text;
};

// Answers the message boxes the program shows while it starts, in the order they appear: each
// visible dialog window of the process other than the main window is read and its OK pressed,
// until the main window is visible, the program has ended or the time is up. `onBox`, if given,
// sees each box before it is answered (for a screenshot, say).
std::vector<MessageBoxSeen> AnswerStartupMessageBoxes(
    const ProgramUnderTest& program, DWORD timeoutMs,
    const std::function<void(HWND box, const MessageBoxSeen& seen)>& onBox = nullptr);

// Real input, through the system's input queue. A move waits until the display reports the
// pointer there (real_input.h); each answers false when the pointer never got there.
[[nodiscard]] bool MoveMouseTo(POINT screen);
[[nodiscard]] bool ClickAt(POINT screen);
[[nodiscard]] bool DragFromTo(POINT from, POINT to);
void PressKey(WORD virtualKey);
// The id of the dialog's control that has the keyboard focus (0 for none), read from another
// process.
int FocusedControl(HWND dialog);
// The centre of a control of a dialog, in screen coordinates.
POINT ControlCentre(HWND dialog, int id);
// A control's rectangle in its dialog's client coordinates.
RECT ControlClientRect(HWND dialog, int id);

// Lets the Wine desktop process what was sent (input, painting).
void Settle(DWORD milliseconds = 300);

// Saves it into build/<preset>/e2e-screenshots/<name>.bmp.
void SaveScreenshotArtifact(const std::string& name);

// The program's bitmaps, read as data from the exe the tests start (ProgramPath).
class ProgramBitmaps {
public:
    ProgramBitmaps();
    ~ProgramBitmaps();
    ProgramBitmaps(const ProgramBitmaps&) = delete;
    ProgramBitmaps& operator=(const ProgramBitmaps&) = delete;

    bool Loaded() const { return m_module != nullptr; }
    SIZE Size(UINT id) const { return BitmapResourceSize(id, m_module); }
    // The whole bitmap, or its top-left width x height pixels.
    Pixels Get(UINT id) const;
    Pixels Get(UINT id, int width, int height) const { return BitmapPixels(id, width, height, m_module); }
    // The bitmap as the program draws it at that scale (96: the bitmap itself).
    Pixels Get(UINT id, UINT dpi) const;
    SIZE Size(UINT id, UINT dpi) const;

private:
    HMODULE m_module;
};

// The display scale the test runs at, in dots per inch (scripts/wine-run's ORVA_LOGPIXELS).
UINT DesktopDpi();
// The current desktop size of the primary display.
SIZE DesktopSize();
RECT WindowRect(HWND window);
// True when the whole window lies on the desktop.
bool WhollyOnDesktop(HWND window);
// The mode the system has stored for the next start, as "1920x1080"; read it while the program
// still runs (Wine may undo a process's display changes when it ends).
std::string StoredMode();

// The window's client object as another process reads it through oleacc (a screen reader's
// view), and, when it pressed the control, the answer of the default action; the caller has
// initialised COM. Empty, with role 0, when there is none.
struct AccessibleView {
    std::string name;
    long role = 0;
    long state = 0;
    std::string description;
    HRESULT pressed = E_FAIL;
};
AccessibleView ReadAccessible(HWND window, bool press = false);

// Waits until the condition holds or the time is up; the condition's last answer.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);
