#include "display/nvapi_binding.h"

#include <windows.h>

#include "framework/system_library.h"
#include "display/vendor_call.h"

namespace {

// Positions of the functions in the table.
enum NvApiSlot { kSlotEnumNvidiaDisplayHandle, kSlotGetPhysicalGPUsFromDisplay, kSlotGPU_GetActiveOutputs,
                 kSlotQueryTvOutputInfo };

// The functions this program calls, in slot order; the driver's other functions are not used,
// so they have no entries.
NvApiTableEntry NvApiFunctionTable[] = {
    {nullptr, kNvIdEnumNvidiaDisplayHandle},
    {nullptr, kNvIdGetPhysicalGPUsFromDisplay},
    {nullptr, kNvIdGPU_GetActiveOutputs},
    {nullptr, kNvIdQueryTvOutputInfo},
    {nullptr, 0},
};

// What a function without a driver address answers.
NvAPI_Status s_notAvailableStatus = kNvStatusNotInitialised;

// The library once its initialise code ran: the table's addresses point into it, and the driver
// may have started threads, so it is never freed.
HMODULE s_library = nullptr;

// Continues at the driver's function in the slot with the caller's arguments.
template <typename Function, typename... Args>
NvAPI_Status Forward(NvApiSlot slot, Args... args) {
    void* address = NvApiFunctionTable[slot].address;
    if (!address) return s_notAvailableStatus;
    // The driver's functions are called so that either calling convention works.
    return CallVendorEntry<NvAPI_Status>(reinterpret_cast<Function>(address), args...);
}

// Calls the library's initialise function and hands back its lookup; null when the lookup or
// the initialise function is missing or initialising fails. driverRan says whether the driver's
// own initialise code ran, whatever it answered.
NvQueryInterfaceFn InitialiseDriver(HMODULE library, bool* driverRan) {
    *driverRan = false;
    const auto lookup = GetProcAddressAs<NvQueryInterfaceFn>(library, "nvapi_QueryInterface");
    if (!lookup) return nullptr;
    const auto initialise = reinterpret_cast<NvInitializeFn>(CallVendorEntry<void*>(lookup, kNvIdInitialize));
    if (!initialise) return nullptr;
    *driverRan = true;
    return CallVendorEntry<NvAPI_Status>(initialise) < 0 ? nullptr : lookup;
}

}  // namespace

NvAPI_Status __cdecl NvAPI_Initialize() {
    // A library initialised before is used again rather than loaded a second time.
    HMODULE library = s_library ? s_library : LoadSystemLibrary("nvapi.dll");
    if (!library) return kNvStatusLibraryMissing;
    bool driverRan = false;
    const NvQueryInterfaceFn lookup = InitialiseDriver(library, &driverRan);
    if (!lookup) {
        // A driver whose initialise code ran may have started threads of its own: it stays
        // loaded. A library whose code never ran goes again.
        if (driverRan) s_library = library;
        else if (library != s_library) ::FreeLibrary(library);
        return kNvStatusFailed;
    }
    s_library = library;
    s_notAvailableStatus = kNvStatusNotProvided;
    BindNvApiTable(NvApiFunctionTable, [lookup](uint32_t id) { return CallVendorEntry<void*>(lookup, id); });
    return kNvStatusOk;
}

NvAPI_Status __cdecl NvAPI_EnumNvidiaDisplayHandle(uint32_t index, NvDisplayHandle* display) {
    return Forward<NvEnumNvidiaDisplayHandleFn>(kSlotEnumNvidiaDisplayHandle, index, display);
}

NvAPI_Status __cdecl NvAPI_GetPhysicalGPUsFromDisplay(NvDisplayHandle display,
                                                      NvPhysicalGpuHandle gpus[kNvMaxPhysicalGpus],
                                                      uint32_t* count) {
    return Forward<NvGetPhysicalGPUsFromDisplayFn>(kSlotGetPhysicalGPUsFromDisplay, display, gpus, count);
}

NvAPI_Status __cdecl NvAPI_GPU_GetActiveOutputs(NvPhysicalGpuHandle gpu, uint32_t* outputMask) {
    return Forward<NvGPU_GetActiveOutputsFn>(kSlotGPU_GetActiveOutputs, gpu, outputMask);
}

NvAPI_Status __cdecl QueryTvOutputInfo(NvDisplayHandle display, uint32_t outputMask, NvTvOutputInfo* info) {
    return Forward<NvQueryTvOutputInfoFn>(kSlotQueryTvOutputInfo, display, outputMask, info);
}
