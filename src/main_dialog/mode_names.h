#pragma once
// The names the resolution buttons store for the apply flow, and the choice the 720-line and
// 1080-line buttons make from the detected adapter and connector.
#include "main_dialog/tv_detection.h"

namespace ModeName {
constexpr const char* k640x480 = "640*480";
constexpr const char* k800x600 = "800*600";
constexpr const char* k1024x768 = "1024*768";
constexpr const char* k480 = "480i/480p";
constexpr const char* k720Component = "720i/720p-C";
constexpr const char* k720Hdmi = "720i/720p-H";
constexpr const char* k1080Component = "1080i/1080p-C";
constexpr const char* k1080Hdmi = "1080i/1080p-H";
}  // namespace ModeName

namespace ModeVariant {
constexpr const char* kSmall = "Small";  // the nominal desktop size of the TV format
constexpr const char* kLarge = "Large";  // a smaller desktop of the vendor's and connector's choice
}  // namespace ModeVariant

enum class HdLines { k720, k1080 };

// The mode name a 720-line or 1080-line button stores on this adapter and connector; null when
// the button leaves the pending mode name as it is.
const char* HdModeChoice(const TvDetectionResult& detection, HdLines lines);
