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

TEST(SelectConnectorView, FollowsTheVendorsOwnAnswer) {
    struct Row {
        AdapterVendor vendor;
        int connector;
        uint32_t nvCode;
        ConnectorView view;
    };
    using V = ConnectorView;
    const Row rows[] = {
        {AdapterVendor::Intel, 1, 0, V::SVideo},
        {AdapterVendor::Intel, 3, 0, V::Composite},
        {AdapterVendor::Intel, 4, 0, V::Component},
        {AdapterVendor::Intel, 2, 97, V::Hdmi},
        {AdapterVendor::Intel, 0, 97, V::StartUp},  // the query failed; NVIDIA's field is not read
        {AdapterVendor::Ati, 2, 0, V::Hdmi},
        {AdapterVendor::Ati, 4, 0, V::Component},
        // Anything else ATI says, 0 and values outside the connector codes included.
        {AdapterVendor::Ati, 0, 0, V::SVideoAndComposite},
        {AdapterVendor::Ati, 1, 0, V::SVideoAndComposite},
        {AdapterVendor::Ati, 3, 0, V::SVideoAndComposite},
        {AdapterVendor::Ati, -7, 0, V::SVideoAndComposite},
        {AdapterVendor::Nvidia, 0, 17, V::SVideo},
        {AdapterVendor::Nvidia, 0, 16, V::Composite},
        {AdapterVendor::Nvidia, 0, 19, V::Component},
        {AdapterVendor::Nvidia, 0, 97, V::Hdmi},
        {AdapterVendor::Nvidia, 4, 18, V::StartUp},  // an unknown code; the ATI/Intel field is not read
        {AdapterVendor::Nvidia, 2, 0, V::StartUp},
        {static_cast<AdapterVendor>(9), 2, 97, V::StartUp},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "vendor " << static_cast<int>(row.vendor) << " connector "
                                        << row.connector << " code " << row.nvCode);
        EXPECT_EQ(ViewFor(row.vendor, row.connector, row.nvCode), row.view);
    }
}
