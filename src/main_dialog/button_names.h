#pragma once
// What a screen reader reads for each button of the main window: the words the button's picture
// shows, whether its connector was detected, and which row a high-definition button is in and
// what desktop size it sets on this adapter.
#include <string>
#include <vector>

#include "main_dialog/connector_view.h"

struct ButtonName {
    int control;
    std::string name;
};

// The names in the order a Tab walks the buttons: Close, the connector pictures, the standard
// row, then the upper and lower high-definition rows.
std::vector<ButtonName> MainWindowButtonNames(ConnectorView view, const TvDetectionResult& detection);
