#pragma once
// Binding to NVIDIA's driver interface NvAPI in "nvapi.dll". The library exports one lookup
// function, "nvapi_QueryInterface", that hands out each function by its interface id.
// Every function here answers with a status until NvAPI_Initialize has succeeded: "not
// initialised" before, and "not provided" afterwards for a function the driver did not offer.
// They use the C calling convention themselves; the driver's functions, whose convention is
// not documented, are called so that either convention works (vendor_call.h).
#include <cstddef>
#include <cstdint>

#include "display/nvapi_table.h"
#include "display/tv_output.h"

using NvAPI_Status = int32_t;
constexpr NvAPI_Status kNvStatusOk = 0;
constexpr NvAPI_Status kNvStatusFailed = -1;          // lookup or initialise missing, or initialising failed
constexpr NvAPI_Status kNvStatusLibraryMissing = -2;  // "nvapi.dll" could not be loaded
constexpr NvAPI_Status kNvStatusNotProvided = -3;     // the driver does not offer the function
constexpr NvAPI_Status kNvStatusNotInitialised = -4;

// Opaque handles the driver hands out and takes back; pointer-sized.
struct NvDisplay;
struct NvPhysicalGpu;
using NvDisplayHandle = NvDisplay*;
using NvPhysicalGpuHandle = NvPhysicalGpu*;
constexpr size_t kNvMaxPhysicalGpus = 64;

// The driver's functions as it hands them out.
using NvQueryInterfaceFn = void*(__cdecl*)(uint32_t id);
using NvInitializeFn = NvAPI_Status(__cdecl*)();
using NvEnumNvidiaDisplayHandleFn = NvAPI_Status(__cdecl*)(uint32_t index, NvDisplayHandle* display);
using NvGetPhysicalGPUsFromDisplayFn = NvAPI_Status(__cdecl*)(NvDisplayHandle display,
                                                             NvPhysicalGpuHandle gpus[kNvMaxPhysicalGpus],
                                                             uint32_t* count);
using NvGPU_GetActiveOutputsFn = NvAPI_Status(__cdecl*)(NvPhysicalGpuHandle gpu, uint32_t* outputMask);
// Fills the TV-output record, whose version the caller sets to kNvTvOutputInfoVersion.
using NvQueryTvOutputInfoFn = NvAPI_Status(__cdecl*)(NvDisplayHandle display, uint32_t outputMask,
                                                    NvTvOutputInfo* info);

// Loads "nvapi.dll" from the system directory, initialises the driver and binds the function
// table: kNvStatusOk, kNvStatusFailed or kNvStatusLibraryMissing. A failed initialisation leaves
// the table as it was. Once initialised, the library stays loaded for the rest of the run.
NvAPI_Status __cdecl NvAPI_Initialize();

// The display with that index; 0 is the first.
NvAPI_Status __cdecl NvAPI_EnumNvidiaDisplayHandle(uint32_t index, NvDisplayHandle* display);
// The GPUs that drive the display, into an array of kNvMaxPhysicalGpus, and their count.
NvAPI_Status __cdecl NvAPI_GetPhysicalGPUsFromDisplay(NvDisplayHandle display,
                                                      NvPhysicalGpuHandle gpus[kNvMaxPhysicalGpus],
                                                      uint32_t* count);
// The mask of the GPU's active outputs.
NvAPI_Status __cdecl NvAPI_GPU_GetActiveOutputs(NvPhysicalGpuHandle gpu, uint32_t* outputMask);
// The TV output's record; its connector field holds the driver's connector code.
NvAPI_Status __cdecl QueryTvOutputInfo(NvDisplayHandle display, uint32_t outputMask, NvTvOutputInfo* info);
