#include "main_dialog/button_names.h"

#include <optional>

#include "main_dialog/main_window_buttons.h"
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

// ", 1280 x 720": the desktop size the button sets on this adapter; empty when it sets none.
std::string DesktopSize(const ButtonMode& mode, const TvDetectionResult& detection) {
    const char* name = mode.lines ? HdModeChoice(detection, *mode.lines) : mode.name;
    const std::optional<ModeRequest> request = name ? LookUpModeRequest(name, mode.variant, detection.vendor)
                                                    : std::nullopt;
    if (!request) return {};
    return ", " + std::to_string(request->width) + " x " + std::to_string(request->height);
}

std::string NameOf(const MainWindowButton& button, ConnectorView view, const TvDetectionResult& detection) {
    std::string name = button.label;
    if (button.row == ButtonRow::Pictures && Detected(view, button.control)) name += ", detected";
    if (IsHighDefinition(button.row) && OffersHighDefinition(view)) name += DesktopSize(button.mode, detection);
    return name;
}

}  // namespace

std::vector<ButtonName> MainWindowButtonNames(ConnectorView view, const TvDetectionResult& detection) {
    std::vector<ButtonName> names;
    for (const MainWindowButton& button : MainWindowButtons()) names.push_back({button.control, NameOf(button, view, detection)});
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
