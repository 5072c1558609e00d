#pragma once
// The main window's buttons, one row each: its control, its start-up images and tooltip, where
// it sits for the arrow keys, what it is called, and what it switches to. The Tab order, the
// arrow rows, the names a screen reader reads and the start-up looks all come from this table.
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "main_dialog/mode_names.h"

// The logo is the window's only control without an id of its own.
constexpr int kLogoControl = -1;

// The rows of the window, in the order the arrow keys walk them from the top. The pictures are
// no row of the walk: they do nothing when pressed. Only one of the resolution rows' kinds is
// ever shown: the standard row or the two high-definition rows in its place.
enum class ButtonRow { Close, Pictures, HighDefinitionFull, HighDefinitionFit, Standard };

// The images of a button at start-up, as SetBitmaps takes them (0: none); no focus image.
struct ButtonArt {
    uint32_t normal;
    uint32_t pressed;
    uint32_t hover;
    uint32_t disabled;
    uint32_t mask;
};

// The mode a resolution button asks for: a fixed name, or the name HdModeChoice picks on this
// adapter for `lines`; and its variant.
struct ButtonMode {
    const char* name;              // null: chosen from `lines`, or no mode at all
    std::optional<HdLines> lines;  // the 720- and 1080-line buttons
    const char* variant;           // null: none
};

struct MainWindowButton {
    int control;
    ButtonArt art;
    const char* tooltip;  // null: none
    ButtonRow row;
    int column;         // left to right, from 0
    const char* label;  // the words its picture shows, the start of what a screen reader reads
    ButtonMode mode;
};

// Every button of the main window, in Tab order: Close, the pictures, then the resolution rows
// top to bottom, each left to right. The same order is the one they are dressed in.
const std::vector<MainWindowButton>& MainWindowButtons();

// The row of that control; null for a control that is no button of the table.
const MainWindowButton* FindMainWindowButton(int control);

bool IsHighDefinition(ButtonRow row);

// The buttons of both high-definition rows, or of the standard row, in Tab order.
std::vector<int> ResolutionButtons(bool highDefinition);

// The rows the arrow keys walk, top to bottom and each left to right: Close's row always, and
// every other row whose first button is shown.
std::vector<std::vector<int>> ArrowRows(const std::function<bool(int control)>& shown);
