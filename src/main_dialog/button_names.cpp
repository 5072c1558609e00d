#include "main_dialog/button_names.h"

#include <optional>
#include <utility>

#include "main_dialog/mode_names.h"
#include "main_dialog/mode_table.h"
#include "resource.h"

namespace {

bool Detected(ConnectorView view, int picture) {
    switch (picture) {
        case IDC_SVIDEO:
            return view == ConnectorView::SVideo || view == ConnectorView::SVideoAndComposite;
        case IDC_COMPOSITE:
            return view == ConnectorView::Composite || view == ConnectorView::SVideoAndComposite;
        case IDC_COMPONENT: return view == ConnectorView::Component;
        case IDC_HDMI: return view == ConnectorView::Hdmi;
        default: return false;
    }
}

bool OffersHighDefinition(ConnectorView view) { return view == ConnectorView::Component || view == ConnectorView::Hdmi; }

struct HdButton {
    int control;
    const char* label;
    std::optional<HdLines> lines;  // none: the 480-line buttons, one mode for both rows
    const char* variant;
    const char* rowWord;  // what the face shows after the format: FULL on the upper row, FIT on the lower
};

constexpr HdButton kHdButtons[] = {
    {IDC_480_SMALL, "480i/480p", std::nullopt, ModeVariant::kSmall, "FULL"},
    {IDC_720_SMALL, "720i/720p", HdLines::k720, ModeVariant::kSmall, "FULL"},
    {IDC_1080_SMALL, "1080i/1080p", HdLines::k1080, ModeVariant::kSmall, "FULL"},
    {IDC_480_LARGE, "480i/480p", std::nullopt, ModeVariant::kLarge, "FIT"},
    {IDC_720_LARGE, "720i/720p", HdLines::k720, ModeVariant::kLarge, "FIT"},
    {IDC_1080_LARGE, "1080i/1080p", HdLines::k1080, ModeVariant::kLarge, "FIT"},
};

// ", 1280 x 720": the desktop size the button sets on this adapter; empty when it sets none.
std::string DesktopSize(const HdButton& button, const TvDetectionResult& detection) {
    const char* mode = button.lines ? HdModeChoice(detection, *button.lines) : ModeName::k480;
    const std::optional<ModeRequest> request = mode ? LookUpModeRequest(mode, button.variant, detection.vendor)
                                                    : std::nullopt;
    if (!request) return {};
    return ", " + std::to_string(request->width) + " x " + std::to_string(request->height);
}

}  // namespace

std::vector<ButtonName> MainWindowButtonNames(ConnectorView view, const TvDetectionResult& detection) {
    std::vector<ButtonName> names{{IDC_CLOSE, "Close"}};
    const std::pair<int, const char*> pictures[] = {
        {IDC_SVIDEO, "S-Video"}, {IDC_COMPOSITE, "Composite"}, {IDC_COMPONENT, "Component"}, {IDC_HDMI, "HDMI"}};
    for (const auto& [control, connector] : pictures)
        names.push_back({control, std::string(connector) + (Detected(view, control) ? ", detected" : "")});
    names.push_back({IDC_640, "640 x 480"});
    names.push_back({IDC_800, "800 x 600"});
    names.push_back({IDC_1024, "1024 x 768"});
    for (const HdButton& button : kHdButtons) {
        const std::string size = OffersHighDefinition(view) ? DesktopSize(button, detection) : std::string();
        names.push_back({button.control, std::string(button.label) + " " + button.rowWord + size});
    }
    return names;
}

std::string WindowDescription(ConnectorView view) {
    switch (view) {
        case ConnectorView::SVideo: return "TV connector: S-Video";
        case ConnectorView::Composite: return "TV connector: Composite";
        case ConnectorView::SVideoAndComposite: return "TV connector: S-Video and Composite";
        case ConnectorView::Component: return "TV connector: Component";
        case ConnectorView::Hdmi: return "TV connector: HDMI";
        case ConnectorView::StartUp: break;
    }
    return "No TV connector detected";
}
