#include "display/ati_pdl.h"

#include <string>

#include "framework/system_library.h"

AtiPdlBinding AtiPdl;

namespace {

void ReportMissingEntryPoint(const char* name) {
    const std::string text = std::string("Could not find ") + name + "()!";
    ::MessageBoxA(nullptr, text.c_str(), "PDL Calls", MB_TOPMOST);
}

// Looks the name up and stores the address in the field at once; reports it when missing.
template <typename Function>
bool Resolve(HMODULE module, const char* name, Function* field) {
    *field = GetProcAddressAs<Function>(module, name);
    if (!*field) ReportMissingEntryPoint(name);
    return *field != nullptr;
}

}  // namespace

bool LoadAtiPdl(AtiPdlBinding* binding) {
    if (!binding) return false;
    // A binding still holding a library lets go of it first, so each load has one owner.
    FreeAtiPdl(binding);
    *binding = AtiPdlBinding{};
    binding->module = LoadSystemLibrary("atipdlxx.dll");
    HMODULE module = binding->module;
    if (!module) return false;
    // In this order, stopping at the first missing name.
    return Resolve(module, "EnumDisplays", &binding->EnumDisplays) &&
           Resolve(module, "GetConnectedDisplays", &binding->GetConnectedDisplays) &&
           Resolve(module, "ATIDL_GetAdapterID", &binding->ATIDL_GetAdapterID) &&
           Resolve(module, "ATIDL_DDCBlockAccess", &binding->ATIDL_DDCBlockAccess) &&
           Resolve(module, "ATIDL_DisplayGetDeviceConfig", &binding->ATIDL_DisplayGetDeviceConfig) &&
           Resolve(module, "GetConfiguration", &binding->GetConfiguration);
}

void FreeAtiPdl(AtiPdlBinding* binding) {
    if (!binding || !binding->module) return;
    ::FreeLibrary(binding->module);
    // Forgotten at once, so a second call cannot free a library someone else holds.
    binding->module = nullptr;
}
