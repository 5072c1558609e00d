#pragma once
// Helpers for the tests of Win32 classes.
#include <functional>
#include <string>
#include <vector>

#include "framework/afxwin.h"
#include "framework/dialog_template.h"
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

// The program's dialog template of that id in language 1028, parsed; none when it is missing.
std::optional<DialogTemplateInfo> TaiwanDialogTemplate(UINT id);

// A message box as the user saw it.
struct BoxSeen {
    std::string caption;
    std::string text;
    HWND owner;
};

// While it exists, answers every message box this thread shows: records its caption, text and
// owner in the order the boxes appeared, and presses OK. It works from a thread timer, which
// fires inside a box's own modal loop (or while the thread pumps messages). The program's own
// dialogs are left alone, and so are boxes of the caption given to leave alone. One watcher at a
// time.
class MessageBoxWatcher {
public:
    explicit MessageBoxWatcher(std::string leaveAlone = "");
    ~MessageBoxWatcher();
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

    const std::vector<BoxSeen>& Boxes() const { return m_boxes; }
    std::vector<std::string> Texts() const;
    // The texts seen since the last call.
    std::vector<std::string> TakeTexts();

private:
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD);
    static BOOL CALLBACK AnswerBox(HWND window, LPARAM);

    static MessageBoxWatcher* s_current;
    UINT_PTR m_timer = 0;
    std::vector<BoxSeen> m_boxes;
    size_t m_taken = 0;
    std::string m_leaveAlone;
    std::vector<HWND> m_answered;  // boxes already pressed, which may stay visible for a moment
};

