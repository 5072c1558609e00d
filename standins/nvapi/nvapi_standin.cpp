// Stand-in for NVIDIA's driver library "nvapi.dll", for the tests and for showing the program
// on a simulated NVIDIA TV adapter. It exports the lookup function "nvapi_QueryInterface",
// which hands out the functions the program uses by their interface ids:
//   0150E828 initialise, 9ABDD40D display enumeration, 34EF9506 GPUs of a display,
//   E3E89B6F active outputs of a GPU, 30C805D5 TV-output query.
//
// Scenario, read from the environment at each call:
//   ORVA_NV_OFFER          the ids the lookup hands out, hex, comma-separated (default: all five;
//                          "none": nothing). Any other id is never offered.
//   ORVA_NV_STATUS_<ID>    the status (decimal) the function with that id returns, <ID> as
//                          8 upper-case hex digits, e.g. ORVA_NV_STATUS_0150E828=-1 makes
//                          initialising fail. Default 0. A function that fails writes nothing.
//   ORVA_NV_OUTPUT_MASK    the active-output mask of the GPU (default 0x00000100).
//   ORVA_NV_CONNECTOR      the connector code the TV-output query writes at offset 12 of the
//                          record (16 Composite, 17 S-Video, 19 Component, 97 HDMI). Unset:
//                          the record is left untouched.
//   ORVA_NV_GPU_COUNT      the GPU count GetPhysicalGPUsFromDisplay reports (default 1); it
//                          writes one handle whatever the count says, as a driver that answers
//                          garbage would.
//   ORVA_NV_UNSET=1        every function that succeeds leaves its outputs as they came.
//   ORVA_NV_FAILED_WRITES=1  a TV-output query that fails writes its connector all the same.
//   ORVA_STANDIN_LOG       file to which each call is appended as one line (nothing when unset).
//   ORVA_FAULT_CALL=<name> with ORVA_FAULT=crash|delay:<ms>: the function of that name (as the
//                          log lines give it: Initialize, EnumNvidiaDisplayHandle, ...) crashes
//                          inside the library or answers late (see common/standin_env.h).
//
// It checks what it is given, as a driver would, and answers with a status of its own:
//   -5 a null output address, -7 a display index other than 0 (there is one display),
//   -8 a display or GPU handle it did not hand out, -9 a TV-output record whose version is
//   not 0x00010010.
// The handles it hands out use the upper half of a 64-bit pointer, so a caller that cut them
// to 32 bits is caught.
//
// Log lines (handles and masks in hex):
//   nvapi attach <path of this copy> / nvapi detach <path of this copy>
//   nvapi QueryInterface <ID> -> offered|none
//   nvapi Initialize -> <status>
//   nvapi EnumNvidiaDisplayHandle index=<n> -> <status>
//   nvapi GetPhysicalGPUsFromDisplay display=<handle> -> <status>
//   nvapi GPU_GetActiveOutputs gpu=<handle> -> <status> mask=<mask>
//   nvapi QueryTvOutputInfo display=<handle> mask=<mask> version=<version> -> <status> connector=<code>|untouched
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "common/standin_env.h"
#include "display/nvapi_binding.h"

namespace {

constexpr NvAPI_Status kInvalidArgument = -5;
constexpr NvAPI_Status kEndOfEnumeration = -7;
constexpr NvAPI_Status kInvalidHandle = -8;
constexpr NvAPI_Status kIncompatibleVersion = -9;

const NvDisplayHandle kDisplay = reinterpret_cast<NvDisplayHandle>(static_cast<uintptr_t>(0xD15A7E0000000D15ull));
const NvPhysicalGpuHandle kGpu = reinterpret_cast<NvPhysicalGpuHandle>(static_cast<uintptr_t>(0x6E0C0DE00000C0DEull));

// Whether a function that succeeds is to leave its outputs alone.
bool LeavesOutputsUnset() { return standin::ReadNumber("ORVA_NV_UNSET", 0) == 1; }

// The scenario's status for the function with that id.
NvAPI_Status StatusOf(uint32_t id) {
    char name[40];
    (void)std::snprintf(name, sizeof name, "ORVA_NV_STATUS_%08X", static_cast<unsigned>(id));  // 23 characters
    return static_cast<NvAPI_Status>(standin::ReadNumber(name, 0));
}

bool IsOffered(uint32_t id) {
    char offer[512];
    if (!standin::ReadVariable("ORVA_NV_OFFER", offer, sizeof offer)) return true;
    for (const char* token = offer; *token;) {
        char* end = nullptr;
        const unsigned long offered = std::strtoul(token, &end, 16);
        if (end != token && offered == id) return true;
        const char* comma = std::strchr(token, ',');
        if (!comma) break;
        token = comma + 1;
    }
    return false;
}

NvAPI_Status __cdecl Initialize() {
    standin::FaultIfAsked("Initialize");
    const NvAPI_Status status = StatusOf(kNvIdInitialize);
    standin::Log("nvapi Initialize -> %d", status);
    return status;
}

NvAPI_Status __cdecl EnumNvidiaDisplayHandle(uint32_t index, NvDisplayHandle* display) {
    standin::FaultIfAsked("EnumNvidiaDisplayHandle");
    NvAPI_Status status = StatusOf(kNvIdEnumNvidiaDisplayHandle);
    if (status == 0 && !display) status = kInvalidArgument;
    if (status == 0 && index != 0) status = kEndOfEnumeration;
    if (status == 0 && !LeavesOutputsUnset()) *display = kDisplay;
    standin::Log("nvapi EnumNvidiaDisplayHandle index=%u -> %d", index, status);
    return status;
}

NvAPI_Status __cdecl GetPhysicalGPUsFromDisplay(NvDisplayHandle display, NvPhysicalGpuHandle gpus[kNvMaxPhysicalGpus],
                                                uint32_t* count) {
    standin::FaultIfAsked("GetPhysicalGPUsFromDisplay");
    NvAPI_Status status = StatusOf(kNvIdGetPhysicalGPUsFromDisplay);
    if (status == 0 && (!gpus || !count)) status = kInvalidArgument;
    if (status == 0 && display != kDisplay) status = kInvalidHandle;
    if (status == 0 && !LeavesOutputsUnset()) {
        gpus[0] = kGpu;
        *count = static_cast<uint32_t>(standin::ReadNumber("ORVA_NV_GPU_COUNT", 1));
    }
    standin::Log("nvapi GetPhysicalGPUsFromDisplay display=%llX -> %d", standin::AddressValue(display), status);
    return status;
}

NvAPI_Status __cdecl GPU_GetActiveOutputs(NvPhysicalGpuHandle gpu, uint32_t* outputMask) {
    standin::FaultIfAsked("GPU_GetActiveOutputs");
    NvAPI_Status status = StatusOf(kNvIdGPU_GetActiveOutputs);
    if (status == 0 && !outputMask) status = kInvalidArgument;
    if (status == 0 && gpu != kGpu) status = kInvalidHandle;
    const uint32_t mask = static_cast<uint32_t>(standin::ReadNumber("ORVA_NV_OUTPUT_MASK", 0x100));
    if (status == 0 && !LeavesOutputsUnset()) *outputMask = mask;
    standin::Log("nvapi GPU_GetActiveOutputs gpu=%llX -> %d mask=%08X", standin::AddressValue(gpu), status,
                 static_cast<unsigned>(mask));
    return status;
}

NvAPI_Status __cdecl TvOutputInfo(NvDisplayHandle display, uint32_t outputMask, NvTvOutputInfo* info) {
    standin::FaultIfAsked("QueryTvOutputInfo");
    NvAPI_Status status = StatusOf(kNvIdQueryTvOutputInfo);
    if (status == 0 && !info) status = kInvalidArgument;
    if (status == 0 && display != kDisplay) status = kInvalidHandle;
    if (status == 0 && info->version != kNvTvOutputInfoVersion) status = kIncompatibleVersion;
    const long long connector = standin::ReadNumber("ORVA_NV_CONNECTOR", -1);
    const bool answers = status == 0 || (info && standin::ReadNumber("ORVA_NV_FAILED_WRITES", 0) == 1);
    const bool writes = answers && connector >= 0 && !LeavesOutputsUnset();
    if (writes) info->connector = static_cast<uint32_t>(connector);
    char written[32] = "untouched";
    if (writes) (void)std::snprintf(written, sizeof written, "%lld", connector);  // 20 characters at most
    standin::Log("nvapi QueryTvOutputInfo display=%llX mask=%08X version=%08X -> %d connector=%s",
                 standin::AddressValue(display), static_cast<unsigned>(outputMask),
                 info ? static_cast<unsigned>(info->version) : 0u, status, written);
    return status;
}

// The program calls each function through exactly these types.
static_assert(std::is_same_v<decltype(&Initialize), NvInitializeFn>);
static_assert(std::is_same_v<decltype(&EnumNvidiaDisplayHandle), NvEnumNvidiaDisplayHandleFn>);
static_assert(std::is_same_v<decltype(&GetPhysicalGPUsFromDisplay), NvGetPhysicalGPUsFromDisplayFn>);
static_assert(std::is_same_v<decltype(&GPU_GetActiveOutputs), NvGPU_GetActiveOutputsFn>);
static_assert(std::is_same_v<decltype(&TvOutputInfo), NvQueryTvOutputInfoFn>);

void* AddressOf(uint32_t id) {
    switch (id) {
        case kNvIdInitialize: return reinterpret_cast<void*>(&Initialize);
        case kNvIdEnumNvidiaDisplayHandle: return reinterpret_cast<void*>(&EnumNvidiaDisplayHandle);
        case kNvIdGetPhysicalGPUsFromDisplay: return reinterpret_cast<void*>(&GetPhysicalGPUsFromDisplay);
        case kNvIdGPU_GetActiveOutputs: return reinterpret_cast<void*>(&GPU_GetActiveOutputs);
        case kNvIdQueryTvOutputInfo: return reinterpret_cast<void*>(&TvOutputInfo);
        default: return nullptr;
    }
}

}  // namespace

extern "C" {

void* __cdecl nvapi_QueryInterface(uint32_t id) {
    void* address = IsOffered(id) ? AddressOf(id) : nullptr;
    standin::Log("nvapi QueryInterface %08X -> %s", static_cast<unsigned>(id), address ? "offered" : "none");
    return address;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    standin::LogLoading("nvapi", instance, reason);
    return TRUE;
}

}  // extern "C"

static_assert(std::is_same_v<decltype(&nvapi_QueryInterface), NvQueryInterfaceFn>);
