#pragma once
// The arithmetic and texts of the message box that counts down: how long it has run, how many
// seconds are left, when the time is up and what the box shows. Portable: no window system.
//
// The box keeps its timeout as the number of milliseconds minus one ("dwTimeout" below), so
// that the tick at or after the last millisecond presses the button. All times are 32-bit tick
// counts in milliseconds, and the tick counter may wrap between the start and a tick.
#include <cstdint>

#include "framework/cstring.h"

// The timeout as the box keeps it: milliseconds minus one. A timeout of 0 counts as 1 ms, so
// that it cannot wrap into a wait of 49 days.
uint32_t CountdownTimeoutField(uint32_t timeoutMs);

// Milliseconds since the start, correct across a wrap of the tick counter.
uint32_t CountdownElapsed(uint32_t startTick, uint32_t nowTick);

// True once the button is due to be pressed.
bool CountdownExpired(uint32_t dwTimeout, uint32_t elapsed);

// The seconds the first text shows: the whole timeout (15 for 15000 ms).
uint32_t CountdownFirstSeconds(uint32_t dwTimeout);

// The seconds a tick shows while the time is not up, rounded so that a tick that comes a
// little early still shows the next lower whole second (14 one second after a 15 s start).
uint32_t CountdownSecondsLeft(uint32_t dwTimeout, uint32_t elapsed);

// True when the suffix format can be filled in safely with one unsigned long: at most one
// conversion, of an unsigned long (%lu, %ld, %li, %lo, %lx, %lX, with flags, width and
// precision but no '*'), and "%%" for a percent sign.
bool IsCountdownFormatUsable(const char* format);

// The text the box shows: the base text followed by the format filled in with the seconds.
// An empty format, or one that cannot be filled in safely, leaves the base text alone.
CString ComposeCountdownText(const CString& text, const CString& format, unsigned long seconds);
