#pragma once
// Binding to ATI's display library "atipdlxx.dll". Detection loads it as the ATI probe (does
// it load with all six entry points?), asks it once for the active TV connector, and unloads
// it again.
#include <windows.h>

// The connector query: called with 0, 8 and the address of the answer (2 HDMI, 4 Component,
// anything else a standard-definition connector). Its result says nothing reliable and is not
// used. Drivers do not agree on the calling convention: call it through CallVendorEntry
// (vendor_call.h), which suits both.
using AtiGetConfigurationFn = int(__cdecl*)(int, int, int*);

// The loaded library and its entry points. Only GetConfiguration is called; the other five
// only have to exist for the probe to succeed.
struct AtiPdlBinding {
    HMODULE module = nullptr;
    FARPROC EnumDisplays = nullptr;
    FARPROC GetConnectedDisplays = nullptr;
    FARPROC ATIDL_GetAdapterID = nullptr;
    FARPROC ATIDL_DDCBlockAccess = nullptr;
    FARPROC ATIDL_DisplayGetDeviceConfig = nullptr;
    AtiGetConfigurationFn GetConfiguration = nullptr;
};

// The program's binding. The library is loaded only while the main dialog initialises.
extern AtiPdlBinding AtiPdl;

// Loads the library from the system directory and resolves the entry points in order, each
// stored as soon as it is looked up. True when all six were found. At the first missing one a
// topmost box names it and the result is false; the library then stays loaded until
// FreeAtiPdl. False without a message when the library is absent or the binding is null.
bool LoadAtiPdl(AtiPdlBinding* binding);

// Unloads the binding's library, if any; its entry-point addresses are left as they were and
// must not be used afterwards. Does nothing for a null binding.
void FreeAtiPdl(AtiPdlBinding* binding);
