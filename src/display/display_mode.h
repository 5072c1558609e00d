#pragma once
// Desktop display modes: the record the program keeps, the request it builds, and the choices
// it makes over the modes the display driver lists. Written over any record with the display
// settings' member names, so the logic is the same for the system's records and for tests.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

struct DisplayMode {
    uint32_t bitsPerPixel = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t frequency = 0;  // Hz

    void Clear() { *this = DisplayMode{}; }
    void Set(uint32_t bits, uint32_t w, uint32_t h, uint32_t hz) { *this = DisplayMode{bits, w, h, hz}; }
};

// Every desktop this program sets has 32 bits per pixel.
constexpr uint32_t kDesktopBitsPerPixel = 32;

// The display settings' field flags of a mode-change request.
constexpr uint32_t kFieldBitsPerPel = 0x00040000;
constexpr uint32_t kFieldPelsWidth = 0x00080000;
constexpr uint32_t kFieldPelsHeight = 0x00100000;
constexpr uint32_t kFieldDisplayFrequency = 0x00400000;

// A mode-change request: the record zeroed and sized, and each value that is not zero stored with
// its flag. A zero value leaves both the member and its flag unset, so the driver keeps it.
template <class DevMode>
void BuildDevMode(DevMode& request, uint32_t bitsPerPixel, uint32_t width, uint32_t height, uint32_t frequency) {
    std::memset(&request, 0, sizeof request);
    request.dmSize = sizeof request;
    auto store = [&request](auto& member, uint32_t value, uint32_t flag) {
        if (!value) return;
        member = value;
        request.dmFields |= flag;
    };
    store(request.dmBitsPerPel, bitsPerPixel, kFieldBitsPerPel);
    store(request.dmPelsWidth, width, kFieldPelsWidth);
    store(request.dmPelsHeight, height, kFieldPelsHeight);
    store(request.dmDisplayFrequency, frequency, kFieldDisplayFrequency);
}

// A listed desktop mode of that size at 32 bits per pixel, whatever its refresh rate.
template <class DevMode>
bool IsDesktopModeOfSize(const DevMode& m, uint32_t width, uint32_t height) {
    return m.dmPelsWidth == width && m.dmPelsHeight == height && m.dmBitsPerPel == kDesktopBitsPerPixel;
}

// The listed 32-bit mode of that size and refresh rate with the lowest mode number, or null.
// All four tests are exact; nothing else of a record is looked at.
template <class DevMode>
const DevMode* FindListedMode(const DevMode* modes, size_t count, uint32_t width, uint32_t height,
                              uint32_t frequency) {
    for (size_t n = 0; n < count; ++n) {
        if (IsDesktopModeOfSize(modes[n], width, height) && modes[n].dmDisplayFrequency == frequency) return &modes[n];
    }
    return nullptr;
}

// The listed modes that bring the saved mode back, best first: the saved mode exactly (its depth,
// size and rate); then the 32-bit modes of its size at the rate it had, at the preferred rate,
// and at every other listed rate in mode-number order. Each listed record comes once; none when
// the driver does not list the size.
template <class DevMode>
std::vector<const DevMode*> RevertCandidates(const DevMode* modes, size_t count, const DisplayMode& saved,
                                             uint32_t preferred) {
    std::vector<const DevMode*> chosen;
    auto add = [&chosen](const DevMode* mode) {
        if (mode && std::find(chosen.begin(), chosen.end(), mode) == chosen.end()) chosen.push_back(mode);
    };
    for (size_t n = 0; n < count; ++n) {
        const DevMode& m = modes[n];
        if (m.dmBitsPerPel == saved.bitsPerPixel && m.dmPelsWidth == saved.width && m.dmPelsHeight == saved.height &&
            m.dmDisplayFrequency == saved.frequency) {
            add(&m);
            break;
        }
    }
    add(FindListedMode(modes, count, saved.width, saved.height, saved.frequency));
    add(FindListedMode(modes, count, saved.width, saved.height, preferred));
    for (size_t n = 0; n < count; ++n) {
        if (IsDesktopModeOfSize(modes[n], saved.width, saved.height)) add(&modes[n]);
    }
    return chosen;
}

// How a mode reads in the program's messages: "1280 x 720 at 60 Hz"; a rate of 0 is left out.
inline std::string DescribeMode(uint32_t width, uint32_t height, uint32_t frequency) {
    std::string text = std::to_string(width) + " x " + std::to_string(height);
    if (frequency) text += " at " + std::to_string(frequency) + " Hz";
    return text;
}

// The mode to come back to, from the display settings' reading of the current mode (physical
// pixels) and the screen's device caps (scaled by the system for a program that is not DPI-aware,
// so a 1920 x 1080 desktop at 150 % reads 1280 x 720). Either may be missing (null); a reading
// without a size is no reading. False when neither can say.
inline bool ChooseSavedMode(const DisplayMode* settings, const DisplayMode* deviceCaps, DisplayMode& saved) {
    for (const DisplayMode* reading : {settings, deviceCaps}) {
        if (reading && reading->width && reading->height) {
            saved = *reading;
            return true;
        }
    }
    return false;
}
