#include "main_dialog/tv_detection.h"

TvDetectionResult TvDetection;

TvConnector TvConnectorFromIntelType(uint32_t type) {
    switch (type) {
        case 2: return TvConnector::SVideo;
        case 4: return TvConnector::Composite;
        case 32: return TvConnector::Component;
        default: return TvConnector::Hdmi;
    }
}
