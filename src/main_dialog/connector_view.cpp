#include "main_dialog/connector_view.h"

#include "resource.h"

namespace {

ConnectorView IntelView(TvConnector connector) {
    switch (connector) {
        case TvConnector::SVideo: return ConnectorView::SVideo;
        case TvConnector::Composite: return ConnectorView::Composite;
        case TvConnector::Component: return ConnectorView::Component;
        case TvConnector::Hdmi: return ConnectorView::Hdmi;
        default: return ConnectorView::StartUp;  // the query failed
    }
}

// ATI's answer is stored as the driver gave it: anything but HDMI or Component means its TV
// output, which carries S-Video and Composite alike.
ConnectorView AtiView(TvConnector connector) {
    if (connector == TvConnector::Hdmi) return ConnectorView::Hdmi;
    if (connector == TvConnector::Component) return ConnectorView::Component;
    return ConnectorView::SVideoAndComposite;
}

ConnectorView NvidiaView(uint32_t code) {
    switch (code) {
        case kNvSVideo: return ConnectorView::SVideo;
        case kNvComposite: return ConnectorView::Composite;
        case kNvComponent: return ConnectorView::Component;
        case kNvHdmi: return ConnectorView::Hdmi;
        default: return ConnectorView::StartUp;  // an unknown code, or the query failed
    }
}

constexpr PictureLook kSVideoUnlit{IDB_SVIDEO_UNLIT, 0}, kSVideoLit{IDB_SVIDEO_LIT, 0};
constexpr PictureLook kCompositeUnlit{IDB_COMPOSITE_UNLIT, 0}, kCompositeLit{IDB_COMPOSITE_LIT, 0};
constexpr PictureLook kComponentUnlit{IDB_COMPONENT_UNLIT, 0};
constexpr PictureLook kHdmiUnlit{IDB_HDMI_UNLIT, 0}, kHdmiLit{IDB_HDMI_LIT, 0};

constexpr ConnectorViewLook kSVideoLook{kSVideoLit, kCompositeUnlit, kComponentUnlit, kHdmiUnlit, false};
constexpr ConnectorViewLook kCompositeLook{kSVideoUnlit, kCompositeLit, kComponentUnlit, kHdmiUnlit, false};
constexpr ConnectorViewLook kBothLook{kSVideoLit, kCompositeLit, kComponentUnlit, kHdmiUnlit, false};
// The Component view alone names disabled images: the unlit pictures, and the lit Component
// picture falls back to its unlit one.
constexpr ConnectorViewLook kComponentLook{{IDB_SVIDEO_UNLIT, IDB_SVIDEO_UNLIT},
                                           {IDB_COMPOSITE_UNLIT, IDB_COMPOSITE_UNLIT},
                                           {IDB_COMPONENT_LIT, IDB_COMPONENT_UNLIT},
                                           {IDB_HDMI_UNLIT, IDB_HDMI_UNLIT},
                                           true};
constexpr ConnectorViewLook kHdmiLook{kSVideoUnlit, kCompositeUnlit, kComponentUnlit, kHdmiLit, true};

}  // namespace

ConnectorView SelectConnectorView(const TvDetectionResult& detection) {
    switch (detection.vendor) {
        case AdapterVendor::Intel: return IntelView(detection.connector);
        case AdapterVendor::Ati: return AtiView(detection.connector);
        case AdapterVendor::Nvidia: return NvidiaView(detection.nvInfo.connector);
    }
    return ConnectorView::StartUp;  // a vendor value nobody writes
}

const ConnectorViewLook* LookOf(ConnectorView view) {
    switch (view) {
        case ConnectorView::SVideo: return &kSVideoLook;
        case ConnectorView::Composite: return &kCompositeLook;
        case ConnectorView::SVideoAndComposite: return &kBothLook;
        case ConnectorView::Component: return &kComponentLook;
        case ConnectorView::Hdmi: return &kHdmiLook;
        case ConnectorView::StartUp: break;
    }
    return nullptr;
}
