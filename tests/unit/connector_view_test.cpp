#include "main_dialog/connector_view.h"

#include <gtest/gtest.h>

namespace {

ConnectorView ViewFor(AdapterVendor vendor, int connector, uint32_t nvCode) {
    TvDetectionResult d;
    d.vendor = vendor;
    d.connector = static_cast<TvConnector>(connector);
    d.nvInfo.connector = nvCode;
    return SelectConnectorView(d);
}

}  // namespace

// The answers the end-to-end tests cannot give through the stand-ins: a failed or odd answer,
// and a vendor that reads only its own field.
TEST(SelectConnectorView, OddAnswersKeepTheStartUpViewOrFallBackToTheTvOutput) {
    struct Row {
        AdapterVendor vendor;
        int connector;
        uint32_t nvCode;
        ConnectorView view;
    };
    using V = ConnectorView;
    const Row rows[] = {
        {AdapterVendor::Intel, 0, 97, V::StartUp},  // the query failed; NVIDIA's field is not read
        {AdapterVendor::Intel, 2, 17, V::Hdmi},
        // Anything ATI says but HDMI or Component is its TV output, 0 and odd values included.
        {AdapterVendor::Ati, 0, 97, V::SVideoAndComposite},
        {AdapterVendor::Ati, 3, 0, V::SVideoAndComposite},
        {AdapterVendor::Ati, -7, 0, V::SVideoAndComposite},
        {AdapterVendor::Nvidia, 4, 0, V::StartUp},  // the ATI/Intel field is not read
        {AdapterVendor::Nvidia, 2, 19, V::Component},
        {static_cast<AdapterVendor>(9), 2, 97, V::StartUp},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "vendor " << static_cast<int>(row.vendor) << " connector "
                                        << row.connector << " code " << row.nvCode);
        EXPECT_EQ(ViewFor(row.vendor, row.connector, row.nvCode), row.view);
    }
}
