// The main window's button table and what is derived from it, with no window system: the Tab
// order, the arrow walk over the rows shown, the names a screen reader reads, the start-up art.
// The walks and names expected here are the ones the end-to-end tests see on the Wine desktop.
#include "main_dialog/main_window_buttons.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "main_dialog/arrow_moves.h"
#include "main_dialog/button_names.h"
#include "resource.h"

namespace {

constexpr int kHdRows[] = {IDC_480_SMALL, IDC_720_SMALL, IDC_1080_SMALL, IDC_480_LARGE, IDC_720_LARGE, IDC_1080_LARGE};
constexpr int kStandardRow[] = {IDC_640, IDC_800, IDC_1024};

bool IsIn(const int* first, const int* last, int control) { return std::find(first, last, control) != last; }

// The window as it is after detection: either the high-definition rows or the standard row shown.
std::vector<std::vector<int>> RowsShown(bool highDefinition) {
    return ArrowRows([highDefinition](int control) {
        return highDefinition ? IsIn(std::begin(kHdRows), std::end(kHdRows), control)
                              : IsIn(std::begin(kStandardRow), std::end(kStandardRow), control);
    });
}

// Where each key takes the focus, starting on Close with the column a new window remembers.
std::vector<int> Walk(bool highDefinition, const std::vector<ArrowKey>& keys, int from = IDC_CLOSE) {
    const ArrowMoves moves(RowsShown(highDefinition));
    size_t column = SIZE_MAX;
    std::vector<int> reached;
    for (ArrowKey key : keys) {
        from = moves.Target(from, key, column);
        reached.push_back(from);
    }
    return reached;
}

// The buttons Tab stops at with these rows shown: Close and the resolution buttons, in table
// order; the pictures do nothing when pressed and are passed over.
std::vector<int> TabStops(bool highDefinition) {
    std::vector<int> stops;
    for (const MainWindowButton& button : MainWindowButtons()) {
        if (button.row == ButtonRow::Pictures) continue;
        if (button.row == ButtonRow::Standard && highDefinition) continue;
        if (IsHighDefinition(button.row) && !highDefinition) continue;
        stops.push_back(button.control);
    }
    return stops;
}

std::vector<std::string> Names(ConnectorView view, AdapterVendor vendor, TvConnector connector, uint32_t nvCode) {
    TvDetectionResult detection;
    detection.vendor = vendor;
    detection.connector = connector;
    detection.nvInfo.connector = nvCode;
    std::vector<std::string> names;
    for (const ButtonName& button : MainWindowButtonNames(view, detection)) names.push_back(button.name);
    return names;
}

using K = ArrowKey;

}  // namespace

TEST(MainWindowButtons, EveryControlOnceInTabOrderWithItsArtIdsAndColumnsLeftToRight) {
    struct Expected {
        int control;
        ButtonArt art;
    };
    // The window's ids and images, as the resource script and the skin know them.
    const Expected expected[] = {
        {IDC_CLOSE, {164, 165, 167, 164, 171}},     {IDC_SVIDEO, {160, 161, 161, 0, 162}},
        {IDC_COMPOSITE, {154, 155, 155, 0, 156}},   {IDC_COMPONENT, {151, 152, 152, 0, 153}},
        {IDC_HDMI, {157, 158, 158, 157, 159}},      {IDC_640, {129, 130, 131, 0, 132}},
        {IDC_800, {147, 148, 149, 0, 132}},         {IDC_1024, {134, 135, 136, 0, 132}},
        {IDC_480_SMALL, {188, 186, 190, 0, 208}},   {IDC_720_SMALL, {194, 192, 196, 0, 208}},
        {IDC_1080_SMALL, {182, 180, 184, 0, 208}},  {IDC_480_LARGE, {189, 187, 191, 0, 208}},
        {IDC_720_LARGE, {195, 193, 197, 0, 208}},   {IDC_1080_LARGE, {183, 181, 185, 0, 208}},
    };
    const std::vector<MainWindowButton>& buttons = MainWindowButtons();
    ASSERT_EQ(buttons.size(), std::size(expected));
    for (size_t i = 0; i < buttons.size(); ++i) {
        const MainWindowButton& button = buttons[i];
        SCOPED_TRACE(button.label);
        EXPECT_EQ(button.control, expected[i].control);
        const ButtonArt& art = expected[i].art;
        EXPECT_EQ(std::vector<uint32_t>({button.art.normal, button.art.pressed, button.art.hover, button.art.disabled,
                                         button.art.mask}),
                  std::vector<uint32_t>({art.normal, art.pressed, art.hover, art.disabled, art.mask}));
        EXPECT_EQ(FindMainWindowButton(button.control), &button);
        // Within a row the table runs left to right from column 0, with no gaps.
        const auto before = std::count_if(buttons.begin(), buttons.begin() + static_cast<long>(i),
                                          [&](const MainWindowButton& b) { return b.row == button.row; });
        EXPECT_EQ(button.column, before);
    }
    EXPECT_EQ(FindMainWindowButton(IDC_ANIMATION), nullptr);
    EXPECT_EQ(FindMainWindowButton(kLogoControl), nullptr);
}

TEST(MainWindowButtons, TabStopsAtCloseThenTheRowShownAndEachButtonOnce) {
    EXPECT_EQ(TabStops(true), (std::vector<int>{IDC_CLOSE, IDC_480_SMALL, IDC_720_SMALL, IDC_1080_SMALL, IDC_480_LARGE,
                                                IDC_720_LARGE, IDC_1080_LARGE}));
    EXPECT_EQ(TabStops(false), (std::vector<int>{IDC_CLOSE, IDC_640, IDC_800, IDC_1024}));
    // The rows shown or hidden together when detection picks the view.
    EXPECT_EQ(ResolutionButtons(true), std::vector<int>(std::begin(kHdRows), std::end(kHdRows)));
    EXPECT_EQ(ResolutionButtons(false), std::vector<int>(std::begin(kStandardRow), std::end(kStandardRow)));
    // Each control once in the order Tab walks, pictures included (they keep their place, unstopped).
    std::set<int> seen;
    for (const MainWindowButton& button : MainWindowButtons())
        EXPECT_TRUE(seen.insert(button.control).second) << button.label;
}

TEST(ArrowRows, CloseAboveTheRowsShownWhichTheirFirstButtonStandsFor) {
    EXPECT_EQ(RowsShown(true), (std::vector<std::vector<int>>{{IDC_CLOSE},
                                                              {IDC_480_SMALL, IDC_720_SMALL, IDC_1080_SMALL},
                                                              {IDC_480_LARGE, IDC_720_LARGE, IDC_1080_LARGE}}));
    EXPECT_EQ(RowsShown(false), (std::vector<std::vector<int>>{{IDC_CLOSE}, {IDC_640, IDC_800, IDC_1024}}));
    // Close's row stays even when nothing answers as shown (a window being hidden).
    EXPECT_EQ(ArrowRows([](int) { return false; }), (std::vector<std::vector<int>>{{IDC_CLOSE}}));
}

TEST(ArrowMoves, WalksTheHighDefinitionRowsAsARemoteControlDoes) {
    EXPECT_EQ(Walk(true, {K::Down}), std::vector<int>{IDC_1080_SMALL}) << "Down from Close keeps its column, the last";
    EXPECT_EQ(Walk(true, {K::Down, K::Left, K::Left, K::Left, K::Down, K::Down, K::Right, K::Up, K::Up, K::Right,
                          K::Left, K::Up, K::Down, K::Down, K::Right, K::Right}),
              (std::vector<int>{IDC_1080_SMALL, IDC_720_SMALL, IDC_480_SMALL, IDC_480_SMALL, IDC_480_LARGE,
                                IDC_480_LARGE, IDC_720_LARGE, IDC_720_SMALL, IDC_CLOSE, IDC_CLOSE, IDC_CLOSE, IDC_CLOSE,
                                IDC_720_SMALL, IDC_720_LARGE, IDC_1080_LARGE, IDC_1080_LARGE}));
}

TEST(ArrowMoves, WalksTheStandardRowAndPassesOverThePictures) {
    EXPECT_EQ(Walk(false, {K::Down, K::Left, K::Left, K::Left, K::Down, K::Up, K::Down, K::Right, K::Right, K::Right}),
              (std::vector<int>{IDC_1024, IDC_800, IDC_640, IDC_640, IDC_640, IDC_CLOSE, IDC_640, IDC_800, IDC_1024,
                                IDC_1024}));
    // A picture, the animation or a hidden row is in no row: the key takes the focus nowhere.
    for (int control : {IDC_SVIDEO, IDC_HDMI, IDC_ANIMATION, IDC_480_SMALL})
        EXPECT_EQ(Walk(false, {K::Right}, control), std::vector<int>{0}) << control;
}

TEST(MainWindowButtonNames, NameEveryButtonOnceUniquelyWithTheDesktopSizeWhereHighDefinitionIsOffered) {
    EXPECT_EQ(Names(ConnectorView::Hdmi, AdapterVendor::Nvidia, TvConnector::None, kNvHdmi),
              (std::vector<std::string>{"Close", "S-Video", "Composite", "Component", "HDMI, detected", "640 x 480",
                                        "800 x 600", "1024 x 768", "480i/480p FULL, 640 x 480",
                                        "720i/720p FULL, 1280 x 720", "1080i/1080p FULL, 1920 x 1080",
                                        "480i/480p FIT, 640 x 480", "720i/720p FIT, 1152 x 648",
                                        "1080i/1080p FIT, 1776 x 1000"}));
    EXPECT_EQ(Names(ConnectorView::Component, AdapterVendor::Intel, TvConnector::Component, 0),
              (std::vector<std::string>{"Close", "S-Video", "Composite", "Component, detected", "HDMI", "640 x 480",
                                        "800 x 600", "1024 x 768", "480i/480p FULL, 640 x 480",
                                        "720i/720p FULL, 1280 x 720", "1080i/1080p FULL, 1920 x 1080",
                                        "480i/480p FIT, 640 x 480", "720i/720p FIT, 1064 x 600",
                                        "1080i/1080p FIT, 1704 x 960"}));
    EXPECT_EQ(Names(ConnectorView::SVideoAndComposite, AdapterVendor::Ati, TvConnector::SVideo, 0),
              (std::vector<std::string>{"Close", "S-Video, detected", "Composite, detected", "Component", "HDMI",
                                        "640 x 480", "800 x 600", "1024 x 768", "480i/480p FULL", "720i/720p FULL",
                                        "1080i/1080p FULL", "480i/480p FIT", "720i/720p FIT", "1080i/1080p FIT"}));
    // In the start-up view no row of high-definition buttons is offered, so none tells a size.
    const std::vector<std::string> startUp =
        Names(ConnectorView::StartUp, AdapterVendor::Nvidia, TvConnector::None, kNvHdmi);
    EXPECT_EQ(std::vector<std::string>(startUp.end() - 6, startUp.end()),
              (std::vector<std::string>{"480i/480p FULL", "720i/720p FULL", "1080i/1080p FULL", "480i/480p FIT",
                                        "720i/720p FIT", "1080i/1080p FIT"}));

    for (ConnectorView view : {ConnectorView::StartUp, ConnectorView::SVideo, ConnectorView::Composite,
                               ConnectorView::SVideoAndComposite, ConnectorView::Component, ConnectorView::Hdmi}) {
        TvDetectionResult detection;
        const std::vector<ButtonName> named = MainWindowButtonNames(view, detection);
        std::set<std::string> names;
        std::vector<int> controls;
        for (const ButtonName& button : named) {
            EXPECT_TRUE(names.insert(button.name).second) << button.name << " twice";
            controls.push_back(button.control);
        }
        std::vector<int> table;
        for (const MainWindowButton& button : MainWindowButtons()) table.push_back(button.control);
        EXPECT_EQ(controls, table) << "view " << static_cast<int>(view);
    }
}
