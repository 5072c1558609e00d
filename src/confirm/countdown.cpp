#include "confirm/countdown.h"

#include <cstring>

uint32_t CountdownTimeoutField(uint32_t timeoutMs) { return timeoutMs == 0 ? 0 : timeoutMs - 1; }

uint32_t CountdownElapsed(uint32_t startTick, uint32_t nowTick) { return nowTick - startTick; }

bool CountdownExpired(uint32_t dwTimeout, uint32_t elapsed) { return elapsed >= dwTimeout; }

uint32_t CountdownFirstSeconds(uint32_t dwTimeout) {
    return static_cast<uint32_t>((static_cast<uint64_t>(dwTimeout) + 1) / 1000);
}

uint32_t CountdownSecondsLeft(uint32_t dwTimeout, uint32_t elapsed) {
    // Wide enough that a timeout near the top of the range cannot wrap to a small count.
    const uint64_t left = static_cast<uint64_t>(dwTimeout - elapsed) + 100;
    return static_cast<uint32_t>(left / 1000);
}

namespace {

// Skips a conversion's flags, width and precision; false when the width or precision would
// take an argument of its own.
bool SkipFlagsWidthPrecision(const char*& p) {
    p += std::strspn(p, "-+ #0");
    p += std::strspn(p, "0123456789");
    if (*p == '.') {
        ++p;
        p += std::strspn(p, "0123456789");
    }
    return *p != '*';
}

}  // namespace

bool IsCountdownFormatUsable(const char* format) {
    if (!format) return false;
    int conversions = 0;
    for (const char* p = std::strchr(format, '%'); p; p = std::strchr(p, '%')) {
        ++p;
        if (*p == '%') {
            ++p;
            continue;
        }
        if (!SkipFlagsWidthPrecision(p) || p[0] != 'l' || !p[1] || !std::strchr("udioxX", p[1])) return false;
        if (++conversions > 1) return false;
        p += 2;
    }
    return true;
}

CString ComposeCountdownText(const CString& text, const CString& format, unsigned long seconds) {
    if (format.IsEmpty() || !IsCountdownFormatUsable(format)) return text;
    CString suffix;
    suffix.Format(format, seconds);
    CString shown;
    shown.Format("%s%s", static_cast<const char*>(text), static_cast<const char*>(suffix));
    return shown;
}
