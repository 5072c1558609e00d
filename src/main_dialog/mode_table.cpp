#include "main_dialog/mode_table.h"

#include <cstring>

#include "main_dialog/mode_names.h"

namespace {

struct Size {
    uint32_t width, height, frequency;
};

struct ModeRow {
    const char* mode;
    const char* variant;  // null: the variant is not read
    Size nvidia, ati, intel;
    TvFormatUpdate intelUpdate;
};

constexpr TvFormatUpdate None = TvFormatUpdate::None;
constexpr TvFormatUpdate Format720 = TvFormatUpdate::Format720;
constexpr TvFormatUpdate Format1080 = TvFormatUpdate::Format1080;
using namespace ModeName;
using namespace ModeVariant;

const ModeRow kModeTable[] = {
    {k640x480, nullptr, {640, 480, 60}, {640, 480, 30}, {640, 480, 60}, None},
    {k800x600, nullptr, {800, 600, 60}, {800, 600, 30}, {800, 600, 60}, None},
    {k1024x768, nullptr, {1024, 768, 60}, {1024, 768, 30}, {1024, 768, 60}, None},
    {k480, nullptr, {640, 480, 60}, {640, 480, 60}, {640, 480, 60}, None},
    {k720Component, kSmall, {1280, 720, 60}, {1280, 720, 60}, {1280, 720, 60}, Format720},
    {k720Component, kLarge, {1176, 664, 60}, {1152, 648, 60}, {1064, 600, 60}, Format720},
    {k720Hdmi, kSmall, {1280, 720, 60}, {1280, 720, 60}, {1280, 720, 60}, None},
    {k720Hdmi, kLarge, {1152, 648, 60}, {1152, 648, 60}, {1152, 648, 60}, None},
    {k1080Component, kSmall, {1920, 1080, 30}, {1920, 1080, 30}, {1920, 1080, 60}, Format1080},
    {k1080Component, kLarge, {1768, 992, 30}, {1776, 1000, 30}, {1704, 960, 60}, Format1080},
    {k1080Hdmi, kSmall, {1920, 1080, 30}, {1920, 1080, 30}, {1920, 1080, 30}, None},
    {k1080Hdmi, kLarge, {1776, 1000, 30}, {1776, 1000, 30}, {1776, 1000, 30}, None},
};

bool Same(const char* a, const char* b) { return a && b && std::strcmp(a, b) == 0; }

bool IsStandardDefinition(const char* mode) {
    return Same(mode, k640x480) || Same(mode, k800x600) || Same(mode, k1024x768);
}

}  // namespace

std::optional<ModeRequest> LookUpModeRequest(const char* mode, const char* variant, AdapterVendor vendor) {
    for (const ModeRow& row : kModeTable) {
        if (!Same(mode, row.mode) || (row.variant && !Same(variant, row.variant))) continue;
        switch (vendor) {
            case AdapterVendor::Nvidia: return ModeRequest{row.nvidia.width, row.nvidia.height, row.nvidia.frequency, None};
            case AdapterVendor::Ati: return ModeRequest{row.ati.width, row.ati.height, row.ati.frequency, None};
            case AdapterVendor::Intel:
                return ModeRequest{row.intel.width, row.intel.height, row.intel.frequency, row.intelUpdate};
        }
        return std::nullopt;  // a vendor value nobody writes
    }
    return std::nullopt;
}

uint32_t RevertFrequency(const char* mode, uint32_t savedWidth) {
    return IsStandardDefinition(mode) || savedWidth > 1280 ? 30 : 60;
}
