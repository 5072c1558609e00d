#pragma once
// What a screen reader reads for each button of the main window: the words the button's picture
// shows, whether its connector was detected, and what desktop size a high-definition button sets
// on this adapter; and what it reads for the window itself.
#include <string>
#include <vector>

#include "main_dialog/connector_view.h"

struct ButtonName {
    int control;
    std::string name;
};

// The names of the main window's buttons, in the order of their table (MainWindowButtons).
std::vector<ButtonName> MainWindowButtonNames(ConnectorView view, const TvDetectionResult& detection);

// The window's description, read when it opens: the connector detected ("TV connector: HDMI").
std::string WindowDescription(ConnectorView view);
