#pragma once
// Keys and mouse buttons pressed as a user presses them, for tests of keys held down, and the
// pointer put where the display itself reports it.
//
// Through X: xdotool presses the key on the test display's X server, which repeats a key held
// down (after about 660 ms) as a real keyboard does; Wine runs the Unix program directly.
// Through the system's input queue: SendInput key-downs without a key-up, as a remote's driver
// may repeat a held key; Wine sets no repeat bit on those.
#include <windows.h>

// Presses (down) or releases a key on the test display's X server with xdotool ("Return" is the
// X name of VK_RETURN), and waits until Wine has taken it: false when that did not happen within
// 3 s. Wine gives no handle to wait on for a Unix program, so the key's state tells.
bool SendXKeyEvent(const char* xName, WORD virtualKey, bool up);

// One key-down or key-up through SendInput.
void SendKeyEvent(WORD virtualKey, bool up);

// One mouse event through SendInput at that point of the screen (absolute, so no acceleration):
// `flags` besides MOUSEEVENTF_ABSOLUTE, which this adds.
void SendMouseAt(DWORD flags, POINT screen);

// The left mouse button pressed or released at that point of the screen, through SendInput.
void SendLeftButton(bool down, POINT screen);

// The left mouse button pressed or released wherever the pointer is, through SendInput.
void SendLeftButtonInPlace(bool down);

// How a test moves the pointer: SetCursorPos, or a mouse's move through SendInput.
enum class PointerMove { SetCursorPos, SendInput };

// Puts the pointer at that point of the screen and waits until the display itself reports it
// there: false when that did not happen within 3 s. Wine may leave the display's pointer where it
// was while its own record moves on; once 100 ms have passed it believes the display again, and a
// press then lands wherever the display's pointer had stayed.
[[nodiscard]] bool PlacePointer(POINT screen, PointerMove move = PointerMove::SetCursorPos);

// Puts the pointer in the desktop's top-left corner, clear of every window, as PlacePointer does.
[[nodiscard]] bool ParkPointer();
