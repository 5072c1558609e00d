#pragma once
// What the vendor interfaces report about the adapter and its TV output, as the program keeps it.
#include <cstddef>
#include <cstdint>

enum class AdapterVendor : int32_t {
    Nvidia = 0,  // neither ATI nor Intel answered; also what remains when NVIDIA failed too
    Ati = 1,     // the value before detection
    Intel = 2,
};

// One encoding for ATI and Intel. ATI's answer is stored unchanged, so any value may occur.
enum class TvConnector : int32_t {
    None = 0,
    SVideo = 1,
    Hdmi = 2,
    Composite = 3,
    Component = 4,
};

// NVIDIA's connector codes, as its TV-output query reports them.
enum NvConnectorCode : uint32_t {
    kNvComposite = 16,
    kNvSVideo = 17,
    kNvComponent = 19,
    kNvHdmi = 97,
};

// The record NVIDIA's TV-output query fills: 16 bytes on every build.
struct NvTvOutputInfo {
    uint32_t version;    // record size 16 in the low half, version 1 in the high half
    uint32_t unused1;
    uint32_t unused2;
    uint32_t connector;  // an NvConnectorCode, or anything else the driver says
};
static_assert(sizeof(NvTvOutputInfo) == 16, "the driver writes exactly 16 bytes");
static_assert(offsetof(NvTvOutputInfo, connector) == 12, "the driver writes the connector at offset 12");

constexpr uint32_t kNvTvOutputInfoVersion = 0x00010010;
