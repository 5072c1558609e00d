#pragma once
// Helpers for the tests of Win32 classes.
#include <functional>
#include <string>
#include <vector>

#include "framework/afxwin.h"
#include "standin_install.h"

using DialogStep = std::function<void(CDialog&)>;

// Runs the dialog modally. Once its window is visible the steps run one by one, on ticks of a
// thread timer 30 ms apart, inside the dialog's own modal loop, so the dialog is shown and
// painted in between. A dialog still open 20 s after the start ends with -2, so a broken test
// fails instead of hanging.
INT_PTR RunModalScript(CDialog& dialog, std::vector<DialogStep> steps);

// A dialog of a test template that binds nothing.
class PlainDialog : public CDialog {
public:
    using CDialog::CDialog;
};

// Posts a key press to the dialog's focused control, as the keyboard would.
void PressKey(CDialog& dialog, WPARAM key);

// Runs the thread's messages for a while (for timers and posted messages).
void PumpMessagesFor(DWORD milliseconds);

// A window of a test class whose procedure answers 77 to WM_APP + 3 to WM_APP + 9 and
// otherwise behaves as
// DefWindowProc.
HWND CreatePlainWindow(DWORD style = WS_OVERLAPPEDWINDOW, HWND parent = nullptr);

// A control's rectangle in its dialog's client coordinates.
RECT ControlRect(HWND dialog, int id);

