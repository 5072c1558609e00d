#include "main_dialog/mode_names.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Choice(AdapterVendor vendor, int connector, uint32_t nvCode, HdLines lines) {
    TvDetectionResult d;
    d.vendor = vendor;
    d.connector = static_cast<TvConnector>(connector);
    d.nvInfo.connector = nvCode;
    const char* mode = HdModeChoice(d, lines);
    return mode ? mode : "(unchanged)";
}

}  // namespace

TEST(HdModeChoice, FollowsVendorAndConnector) {
    struct Row {
        AdapterVendor vendor;
        int connector;
        uint32_t nvCode;
        const char* for720;
        const char* for1080;
    };
    const Row rows[] = {
        {AdapterVendor::Nvidia, 0, 17, "800*600", "1024*768"},
        {AdapterVendor::Nvidia, 0, 16, "800*600", "1024*768"},
        {AdapterVendor::Nvidia, 0, 19, "720i/720p-C", "1080i/1080p-C"},
        {AdapterVendor::Nvidia, 0, 97, "720i/720p-H", "1080i/1080p-H"},
        {AdapterVendor::Nvidia, 0, 18, "(unchanged)", "(unchanged)"},
        // NVIDIA reads only its own code, never the ATI/Intel connector field.
        {AdapterVendor::Nvidia, 4, 0, "(unchanged)", "(unchanged)"},
        {AdapterVendor::Ati, 4, 0, "720i/720p-C", "1080i/1080p-C"},
        {AdapterVendor::Ati, 2, 0, "720i/720p-H", "1080i/1080p-H"},
        {AdapterVendor::Ati, 0, 97, "(unchanged)", "(unchanged)"},
        {AdapterVendor::Intel, 4, 0, "720i/720p-C", "1080i/1080p-C"},
        {AdapterVendor::Intel, 2, 0, "720i/720p-H", "1080i/1080p-H"},
        {AdapterVendor::Intel, 1, 0, "(unchanged)", "(unchanged)"},
        {AdapterVendor::Intel, 3, 0, "(unchanged)", "(unchanged)"},
        {static_cast<AdapterVendor>(7), 4, 19, "(unchanged)", "(unchanged)"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "vendor " << static_cast<int>(r.vendor) << " connector " << r.connector
                                        << " nv " << r.nvCode);
        EXPECT_EQ(Choice(r.vendor, r.connector, r.nvCode, HdLines::k720), r.for720);
        EXPECT_EQ(Choice(r.vendor, r.connector, r.nvCode, HdLines::k1080), r.for1080);
    }
}

TEST(TvDetection, StartsAsAtiWithNothingDetected) {
    const TvDetectionResult fresh;
    EXPECT_EQ(fresh.vendor, AdapterVendor::Ati);
    EXPECT_EQ(fresh.connector, TvConnector::None);
    EXPECT_EQ(fresh.nvInfo.connector, 0u);
}
