#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/display_mode.h"
#include "main_dialog/mode_table.h"

namespace {

// A record with the display settings' member names, and one member the search must ignore.
struct FakeDevMode {
    uint32_t dmSize, dmFields, dmBitsPerPel, dmPelsWidth, dmPelsHeight, dmDisplayFlags, dmDisplayFrequency;
};

FakeDevMode Listed(uint32_t bits, uint32_t w, uint32_t h, uint32_t hz, uint32_t flags = 0) {
    return FakeDevMode{sizeof(FakeDevMode), 0, bits, w, h, flags, hz};
}

// The mode number of the match, or -1.
int Find(const std::vector<FakeDevMode>& list, uint32_t w, uint32_t h, uint32_t hz) {
    const FakeDevMode* m = FindListedMode(list.data(), list.size(), w, h, hz);
    return m ? static_cast<int>(m - list.data()) : -1;
}

std::string Describe(const std::optional<ModeRequest>& r) {
    if (!r) return "none";
    const char* update[] = {"", " +720", " +1080"};
    return std::to_string(r->width) + "x" + std::to_string(r->height) + "@" + std::to_string(r->frequency) +
           update[static_cast<int>(r->tvUpdate)];
}

}  // namespace

TEST(ModeTable, EveryNameAndVariantOnEachVendor) {
    struct Row {
        const char* mode;
        const char* variant;
        const char* nvidia;
        const char* ati;
        const char* intel;
    };
    const Row rows[] = {
        {"640*480", "Large", "640x480@60", "640x480@30", "640x480@60"},  // the variant is not read
        {"800*600", "", "800x600@60", "800x600@30", "800x600@60"},
        {"1024*768", "", "1024x768@60", "1024x768@30", "1024x768@60"},
        {"480i/480p", "Small", "640x480@60", "640x480@60", "640x480@60"},
        {"720i/720p-C", "Small", "1280x720@60", "1280x720@60", "1280x720@60 +720"},
        {"720i/720p-C", "Large", "1176x664@60", "1152x648@60", "1064x600@60 +720"},
        {"720i/720p-H", "Small", "1280x720@60", "1280x720@60", "1280x720@60"},
        {"720i/720p-H", "Large", "1152x648@60", "1152x648@60", "1152x648@60"},
        {"1080i/1080p-C", "Small", "1920x1080@30", "1920x1080@30", "1920x1080@60 +1080"},
        {"1080i/1080p-C", "Large", "1768x992@30", "1776x1000@30", "1704x960@60 +1080"},
        {"1080i/1080p-H", "Small", "1920x1080@30", "1920x1080@30", "1920x1080@30"},
        {"1080i/1080p-H", "Large", "1776x1000@30", "1776x1000@30", "1776x1000@30"},
        // Nothing chosen yet, a high-definition name without a known variant, names compared exactly.
        {"", "Small", "none", "none", "none"},
        {"720i/720p-H", "", "none", "none", "none"},
        {"720i/720p-H", "small", "none", "none", "none"},
        {"640X480", "", "none", "none", "none"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.mode) + " / " + r.variant);
        EXPECT_EQ(Describe(LookUpModeRequest(r.mode, r.variant, AdapterVendor::Nvidia)), r.nvidia);
        EXPECT_EQ(Describe(LookUpModeRequest(r.mode, r.variant, AdapterVendor::Ati)), r.ati);
        EXPECT_EQ(Describe(LookUpModeRequest(r.mode, r.variant, AdapterVendor::Intel)), r.intel);
    }
    EXPECT_EQ(Describe(LookUpModeRequest(nullptr, nullptr, AdapterVendor::Intel)), "none");
    EXPECT_EQ(Describe(LookUpModeRequest("640*480", "", static_cast<AdapterVendor>(7))), "none");
}

TEST(ListedModeSearch, ExactSizeDepthAndRateLowestModeNumberFirst) {
    const std::vector<FakeDevMode> list = {
        Listed(16, 1280, 720, 60), Listed(24, 1280, 720, 60),                   // 0, 1: wrong depth
        Listed(32, 1280, 720, 60, 2), Listed(32, 1280, 720, 60),                // 2, 3: both match
        Listed(32, 1920, 1080, 60), Listed(32, 640, 480, 30), Listed(32, 720, 1280, 60),
    };
    EXPECT_EQ(Find(list, 1280, 720, 60), 2);
    EXPECT_EQ(Find(list, 1920, 1080, 30), -1) << "60 Hz never answers 30 Hz";
    EXPECT_EQ(Find(list, 640, 480, 60), -1) << "30 Hz never answers 60 Hz";
    EXPECT_EQ(Find(list, 640, 480, 30), 5);
    EXPECT_EQ(Find(list, 1024, 768, 60), -1);
    EXPECT_EQ(Find({}, 1280, 720, 60), -1);
    EXPECT_EQ(FindListedMode<FakeDevMode>(nullptr, 0, 1280, 720, 60), nullptr);
}

TEST(RevertRule, PreferredRateThenTheOldRateThenAnyListedRateOfTheSize) {
    EXPECT_EQ(RevertFrequency("640*480", 1280), 30u);
    EXPECT_EQ(RevertFrequency("1024*768", 800), 30u);
    EXPECT_EQ(RevertFrequency("720i/720p-H", 1280), 60u);
    EXPECT_EQ(RevertFrequency("720i/720p-H", 1281), 30u);
    EXPECT_EQ(RevertFrequency("480i/480p", 1920), 30u);

    // The records tried, by their place in the list, for a saved mode of 1920 x 1080.
    struct Case {
        std::vector<FakeDevMode> list;
        uint32_t savedBits, savedHz, preferred;
        std::vector<int> tried;
    };
    const Case cases[] = {
        {{Listed(32, 1920, 1080, 60), Listed(32, 1920, 1080, 30)}, 32, 60, 30, {0, 1}},  // the rate it had first
        {{Listed(32, 1920, 1080, 60), Listed(32, 1920, 1080, 30)}, 32, 75, 30, {1, 0}},  // else the preferred rate
        {{Listed(32, 1920, 1080, 60), Listed(32, 1920, 1080, 75)}, 32, 75, 30, {1, 0}},
        {{Listed(16, 1920, 1080, 50), Listed(32, 1920, 1080, 60), Listed(32, 1920, 1080, 50)}, 32, 75, 30, {1, 2}},
        // The depth it had comes back too, before any 32-bit mode.
        {{Listed(32, 1920, 1080, 60), Listed(16, 1920, 1080, 60)}, 16, 60, 30, {1, 0}},
        {{Listed(32, 1920, 1200, 30), Listed(16, 1920, 1080, 30)}, 32, 75, 30, {}},  // size not listed: nothing
        {{}, 32, 75, 60, {}},
    };
    for (const Case& c : cases) {
        const DisplayMode saved{c.savedBits, 1920, 1080, c.savedHz};
        std::vector<int> tried;
        for (const FakeDevMode* mode : RevertCandidates(c.list.data(), c.list.size(), saved, c.preferred))
            tried.push_back(static_cast<int>(mode - c.list.data()));
        EXPECT_EQ(tried, c.tried) << "saved " << c.savedBits << " bits at " << c.savedHz << " Hz";
    }
    EXPECT_EQ(DescribeMode(1280, 720, 60), "1280 x 720 at 60 Hz");
    EXPECT_EQ(DescribeMode(640, 480, 0), "640 x 480");
}

TEST(RevertRule, TheSavedModeIsThePhysicalOneWhenTheSettingsCanSay) {
    const DisplayMode physical{32, 1920, 1080, 60}, scaled{32, 1280, 720, 60}, sizeless{32, 0, 0, 60};
    DisplayMode saved;
    EXPECT_TRUE(ChooseSavedMode(&physical, &scaled, saved) && saved.width == 1920);  // 150 %: the caps are scaled
    EXPECT_TRUE(ChooseSavedMode(&sizeless, &scaled, saved) && saved.height == 720);
    EXPECT_TRUE(ChooseSavedMode(nullptr, &scaled, saved) && saved.width == 1280);
    EXPECT_FALSE(ChooseSavedMode(&sizeless, nullptr, saved));
}

TEST(BuildDevMode, AZeroValueLeavesItsMemberAndFlagUnset) {
    FakeDevMode request;
    std::memset(&request, 0xAB, sizeof request);
    BuildDevMode(request, 32, 0, 720, 0);
    EXPECT_EQ(request.dmSize, sizeof(FakeDevMode));
    EXPECT_EQ(request.dmFields, kFieldBitsPerPel | kFieldPelsHeight);
    EXPECT_EQ(request.dmBitsPerPel, 32u);
    EXPECT_EQ(request.dmPelsWidth, 0u);
    EXPECT_EQ(request.dmPelsHeight, 720u);
    EXPECT_EQ(request.dmDisplayFrequency, 0u);
    EXPECT_EQ(request.dmDisplayFlags, 0u);
    BuildDevMode(request, 32, 1280, 720, 60);
    EXPECT_EQ(request.dmFields, 0x005C0000u);
}
