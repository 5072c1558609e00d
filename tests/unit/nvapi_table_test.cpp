// The NvAPI function table walk over a lookup function.
#include <gtest/gtest.h>

#include <vector>

#include "display/nvapi_table.h"

namespace {

int g_functions[3];  // stand-ins for the driver's functions; only their addresses matter

// A driver that offers the ids in its list and records what it was asked for.
struct FakeDriver {
    std::vector<uint32_t> offered;
    std::vector<uint32_t> asked;

    NvApiLookup Lookup() {
        return [this](uint32_t id) -> void* {
            asked.push_back(id);
            for (size_t i = 0; i < offered.size(); ++i)
                if (offered[i] == id) return &g_functions[i];
            return nullptr;
        };
    }
};

TEST(NvApiTable, AsksForEachEntryInOrderAndStopsAtTheEndEntry) {
    NvApiTableEntry table[] = {{nullptr, kNvIdEnumNvidiaDisplayHandle},
                               {nullptr, kNvIdGetPhysicalGPUsFromDisplay},
                               {nullptr, kNvIdQueryTvOutputInfo},
                               {nullptr, 0},
                               {nullptr, kNvIdGPU_GetActiveOutputs}};  // beyond the end: never asked
    FakeDriver driver{{kNvIdQueryTvOutputInfo, kNvIdEnumNvidiaDisplayHandle, kNvIdGPU_GetActiveOutputs}, {}};
    BindNvApiTable(table, driver.Lookup());

    EXPECT_EQ(driver.asked, (std::vector<uint32_t>{kNvIdEnumNvidiaDisplayHandle, kNvIdGetPhysicalGPUsFromDisplay,
                                                   kNvIdQueryTvOutputInfo}));
    EXPECT_EQ(table[0].address, &g_functions[1]);
    EXPECT_EQ(table[1].address, nullptr);  // not offered: stays not available
    EXPECT_EQ(table[2].address, &g_functions[0]);
    EXPECT_EQ(table[3].address, nullptr);
    EXPECT_EQ(table[4].address, nullptr);
    // The ids are the table's own and stay as they were.
    EXPECT_EQ(table[0].id, kNvIdEnumNvidiaDisplayHandle);
    EXPECT_EQ(table[2].id, kNvIdQueryTvOutputInfo);
}

TEST(NvApiTable, BindingAgainKeepsOnlyWhatTheDriverOffersNow) {
    NvApiTableEntry table[] = {{nullptr, kNvIdEnumNvidiaDisplayHandle}, {nullptr, kNvIdQueryTvOutputInfo}, {nullptr, 0}};
    FakeDriver everything{{kNvIdEnumNvidiaDisplayHandle, kNvIdQueryTvOutputInfo}, {}};
    BindNvApiTable(table, everything.Lookup());
    ASSERT_NE(table[1].address, nullptr);

    FakeDriver less{{kNvIdEnumNvidiaDisplayHandle}, {}};
    BindNvApiTable(table, less.Lookup());
    EXPECT_EQ(table[0].address, &g_functions[0]);
    EXPECT_EQ(table[1].address, nullptr);
}

TEST(NvApiTable, NothingToWalkOrNoLookupLeavesTheTableAlone) {
    NvApiTableEntry table[] = {{&g_functions[2], kNvIdEnumNvidiaDisplayHandle}, {nullptr, 0}};
    BindNvApiTable(table, NvApiLookup{});
    EXPECT_EQ(table[0].address, &g_functions[2]);
    FakeDriver driver{{}, {}};
    BindNvApiTable(nullptr, driver.Lookup());
    NvApiTableEntry empty[] = {{nullptr, 0}};
    BindNvApiTable(empty, driver.Lookup());
    EXPECT_TRUE(driver.asked.empty());
}

}  // namespace
