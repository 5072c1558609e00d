#include "main_dialog/main_window_buttons.h"

#include <algorithm>
#include <utility>

#include "resource.h"

namespace {

using R = ButtonRow;
constexpr ButtonMode kNoMode{nullptr, std::nullopt, nullptr};

// The connector pictures start unlit and light up under the mouse or while pressed.
constexpr ButtonArt Picture(uint32_t unlit, uint32_t lit, uint32_t disabled, uint32_t mask) {
    return {unlit, lit, lit, disabled, mask};
}
constexpr ButtonArt Face(uint32_t normal, uint32_t pressed, uint32_t hover, uint32_t mask) {
    return {normal, pressed, hover, 0, mask};
}
constexpr ButtonMode Standard(const char* name) { return {name, std::nullopt, nullptr}; }
constexpr ButtonMode Hd480(const char* variant) { return {ModeName::k480, std::nullopt, variant}; }
constexpr ButtonMode Hd(HdLines lines, const char* variant) { return {nullptr, lines, variant}; }

const char* const kSmall = ModeVariant::kSmall;
const char* const kLarge = ModeVariant::kLarge;

}  // namespace

const std::vector<MainWindowButton>& MainWindowButtons() {
    static const std::vector<MainWindowButton> buttons{
        {IDC_CLOSE, {IDB_CLOSE_NORMAL, IDB_CLOSE_PRESSED, IDB_CLOSE_HOVER, IDB_CLOSE_NORMAL, IDB_CLOSE_MASK}, nullptr,
         R::Close, 0, "Close", kNoMode},
        {IDC_SVIDEO, Picture(IDB_SVIDEO_UNLIT, IDB_SVIDEO_LIT, 0, IDB_SVIDEO_MASK), "S-Video", R::Pictures, 0,
         "S-Video", kNoMode},
        {IDC_COMPOSITE, Picture(IDB_COMPOSITE_UNLIT, IDB_COMPOSITE_LIT, 0, IDB_COMPOSITE_MASK), "Composite",
         R::Pictures, 1, "Composite", kNoMode},
        {IDC_COMPONENT, Picture(IDB_COMPONENT_UNLIT, IDB_COMPONENT_LIT, 0, IDB_COMPONENT_MASK), "Component",
         R::Pictures, 2, "Component", kNoMode},
        {IDC_HDMI, Picture(IDB_HDMI_UNLIT, IDB_HDMI_LIT, IDB_HDMI_UNLIT, IDB_HDMI_MASK), "HDMI", R::Pictures, 3,
         "HDMI", kNoMode},
        {IDC_640, Face(IDB_640_NORMAL, IDB_640_PRESSED, IDB_640_HOVER, IDB_SD_MASK), "640x480", R::Standard, 0,
         "640 x 480", Standard(ModeName::k640x480)},
        {IDC_800, Face(IDB_800_NORMAL, IDB_800_PRESSED, IDB_800_HOVER, IDB_SD_MASK), "800x600", R::Standard, 1,
         "800 x 600", Standard(ModeName::k800x600)},
        {IDC_1024, Face(IDB_1024_NORMAL, IDB_1024_PRESSED, IDB_1024_HOVER, IDB_SD_MASK), "1024x768", R::Standard, 2,
         "1024 x 768", Standard(ModeName::k1024x768)},
        {IDC_480_SMALL, Face(IDB_480_SMALL_NORMAL, IDB_480_SMALL_PRESSED, IDB_480_SMALL_HOVER, IDB_HD_MASK),
         "480i/480p", R::HighDefinitionFull, 0, "480i/480p FULL", Hd480(kSmall)},
        {IDC_720_SMALL, Face(IDB_720_SMALL_NORMAL, IDB_720_SMALL_PRESSED, IDB_720_SMALL_HOVER, IDB_HD_MASK),
         "720i/720p", R::HighDefinitionFull, 1, "720i/720p FULL", Hd(HdLines::k720, kSmall)},
        {IDC_1080_SMALL, Face(IDB_1080_SMALL_NORMAL, IDB_1080_SMALL_PRESSED, IDB_1080_SMALL_HOVER, IDB_HD_MASK),
         "1080i/1080p", R::HighDefinitionFull, 2, "1080i/1080p FULL", Hd(HdLines::k1080, kSmall)},
        {IDC_480_LARGE, Face(IDB_480_LARGE_NORMAL, IDB_480_LARGE_PRESSED, IDB_480_LARGE_HOVER, IDB_HD_MASK),
         "480i/480p", R::HighDefinitionFit, 0, "480i/480p FIT", Hd480(kLarge)},
        {IDC_720_LARGE, Face(IDB_720_LARGE_NORMAL, IDB_720_LARGE_PRESSED, IDB_720_LARGE_HOVER, IDB_HD_MASK),
         "720i/720p", R::HighDefinitionFit, 1, "720i/720p FIT", Hd(HdLines::k720, kLarge)},
        {IDC_1080_LARGE, Face(IDB_1080_LARGE_NORMAL, IDB_1080_LARGE_PRESSED, IDB_1080_LARGE_HOVER, IDB_HD_MASK),
         "1080i/1080p", R::HighDefinitionFit, 2, "1080i/1080p FIT", Hd(HdLines::k1080, kLarge)},
    };
    return buttons;
}

const MainWindowButton* FindMainWindowButton(int control) {
    for (const MainWindowButton& button : MainWindowButtons())
        if (button.control == control) return &button;
    return nullptr;
}

bool IsHighDefinition(ButtonRow row) { return row == R::HighDefinitionFull || row == R::HighDefinitionFit; }

std::vector<int> ResolutionButtons(bool highDefinition) {
    std::vector<int> controls;
    for (const MainWindowButton& button : MainWindowButtons())
        if (highDefinition ? IsHighDefinition(button.row) : button.row == R::Standard) controls.push_back(button.control);
    return controls;
}

std::vector<std::vector<int>> ArrowRows(const std::function<bool(int control)>& shown) {
    std::vector<std::vector<int>> rows;
    for (ButtonRow row : {R::Close, R::HighDefinitionFull, R::HighDefinitionFit, R::Standard}) {
        std::vector<const MainWindowButton*> inRow;
        for (const MainWindowButton& button : MainWindowButtons())
            if (button.row == row) inRow.push_back(&button);
        std::stable_sort(inRow.begin(), inRow.end(),
                         [](const MainWindowButton* a, const MainWindowButton* b) { return a->column < b->column; });
        std::vector<int> controls;
        controls.reserve(inRow.size());
        for (const MainWindowButton* button : inRow) controls.push_back(button->control);
        if (!controls.empty() && (row == R::Close || shown(controls.front()))) rows.push_back(std::move(controls));
    }
    return rows;
}
