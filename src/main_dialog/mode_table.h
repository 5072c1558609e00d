#pragma once
// What each mode name asks of the desktop on each vendor's adapter, and the refresh rate of the
// way back when nobody confirms it.
#include <cstdint>
#include <optional>

#include "main_dialog/tv_detection.h"

// The Intel TV parameter update that comes before a mode, with its pause.
enum class TvFormatUpdate { None, Format720, Format1080 };

struct ModeRequest {
    uint32_t width;
    uint32_t height;
    uint32_t frequency;  // Hz
    TvFormatUpdate tvUpdate;
};

// The request for a mode name (and, for the high-definition names, its variant) on the vendor's
// adapter; none for an unknown name, or a high-definition name without "Small" or "Large".
std::optional<ModeRequest> LookUpModeRequest(const char* mode, const char* variant, AdapterVendor vendor);

// The rate at which the saved size comes back: 30 Hz after a standard-definition choice or from a
// desktop wider than 1280 pixels, 60 Hz otherwise.
uint32_t RevertFrequency(const char* mode, uint32_t savedWidth);
