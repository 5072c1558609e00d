#pragma once
// The NvAPI function table: the driver hands out each function's address for a 32-bit
// interface id through its lookup function, and the table keeps what it handed out.
#include <cstdint>
#include <functional>

// Interface ids of the NvAPI functions this program calls.
constexpr uint32_t kNvIdInitialize = 0x0150E828;  // looked up directly, not through the table
constexpr uint32_t kNvIdEnumNvidiaDisplayHandle = 0x9ABDD40D;
constexpr uint32_t kNvIdGetPhysicalGPUsFromDisplay = 0x34EF9506;
constexpr uint32_t kNvIdGPU_GetActiveOutputs = 0xE3E89B6F;
constexpr uint32_t kNvIdQueryTvOutputInfo = 0x30C805D5;

// One function: the driver's address, or null while the driver has not provided it (a call
// then answers with the not-available status instead of reaching the driver).
struct NvApiTableEntry {
    void* address;
    uint32_t id;  // 0 marks the end entry
};

// The driver's lookup: the address of the function with that id, or null.
using NvApiLookup = std::function<void*(uint32_t id)>;

// Asks the lookup for the id of each entry from the first one up to the end entry and stores
// its answer, so an entry the driver does not offer (any longer) has no address.
void BindNvApiTable(NvApiTableEntry* table, const NvApiLookup& lookup);
