#include "main_dialog/mode_names.h"

namespace {

const char* ForConnectorKind(bool component, HdLines lines) {
    if (lines == HdLines::k720) return component ? ModeName::k720Component : ModeName::k720Hdmi;
    return component ? ModeName::k1080Component : ModeName::k1080Hdmi;
}

}  // namespace

const char* HdModeChoice(const TvDetectionResult& detection, HdLines lines) {
    if (detection.vendor == AdapterVendor::Nvidia) {
        switch (detection.nvInfo.connector) {
            case kNvSVideo:
            case kNvComposite:  // a standard-definition TV: the nearest desktop sizes instead
                return lines == HdLines::k720 ? ModeName::k800x600 : ModeName::k1024x768;
            case kNvComponent: return ForConnectorKind(true, lines);
            case kNvHdmi: return ForConnectorKind(false, lines);
            default: return nullptr;
        }
    }
    if (detection.vendor == AdapterVendor::Ati || detection.vendor == AdapterVendor::Intel) {
        if (detection.connector == TvConnector::Component) return ForConnectorKind(true, lines);
        if (detection.connector == TvConnector::Hdmi) return ForConnectorKind(false, lines);
    }
    return nullptr;
}
