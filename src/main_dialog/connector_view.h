#pragma once
// Which look the main window takes once detection has answered: the connector picture that is
// lit and the row of resolution buttons that is offered.
#include <cstdint>

#include "main_dialog/tv_detection.h"

enum class ConnectorView {
    StartUp,  // nothing recognised: every picture unlit and lighting under the mouse, standard row
    SVideo,
    Composite,
    SVideoAndComposite,
    Component,
    Hdmi,
};

ConnectorView SelectConnectorView(const TvDetectionResult& detection);

// What a connector picture shows in a view: `image` whatever the mouse does (as its normal,
// pressed and hover image), `disabledId` when disabled (0: none of its own).
struct PictureLook {
    uint32_t image;
    uint32_t disabledId;
};

struct ConnectorViewLook {
    PictureLook sVideo;
    PictureLook composite;
    PictureLook component;
    PictureLook hdmi;
    bool highDefinitionRow;  // the six HD buttons replace 640x480, 800x600 and 1024x768
};

// The look of a recognised view; null for the start-up view, which stays as it was set up.
const ConnectorViewLook* LookOf(ConnectorView view);
