// Stand-in for ATI's display library "atipdlxx.dll", for the tests and for showing the program
// on a simulated ATI TV adapter.
//
// Scenario, read from the environment at each call:
//   ORVA_ATI_ANSWER   the value GetConfiguration writes into its answer (decimal, or hex with
//                     0x): 2 HDMI, 4 Component, anything else standard definition. Unset: the
//                     answer is left untouched.
//   ORVA_ATI_RESULT   what GetConfiguration returns (default 0); the program does not look at it.
//   ORVA_STANDIN_LOG  file to which each call is appended as one line (nothing when unset).
//   ORVA_FAULT_CALL=GetConfiguration with ORVA_FAULT=crash|delay:<ms>: that call crashes inside
//                     the library or answers late (see common/standin_env.h).
//
// Log lines:
//   atipdl attach <path of this copy>            when a process loads it
//   atipdl detach <path of this copy>            when it is unloaded
//   atipdl GetConfiguration <first> <second> <answer address> -> <result> answer=<value>|untouched
//   atipdl <name>                                for the other five entry points, which the
//                                                program only looks up and never calls
//
// The same source is built as atipdlxx.dll with all six exports and as variants that lack
// some, for the missing-entry-point paths: atipdl_first3.dll exports only the first three
// names, atipdl_no_<Name>.dll all but that one (see CMakeLists.txt). The 32-bit build also
// makes atipdl_stdcall.dll, whose GetConfiguration pops its own arguments (__stdcall) and is
// exported under the same plain name: a driver may use either convention.
#include <type_traits>

#include "common/standin_env.h"
#include "display/ati_pdl.h"

extern "C" {

int __cdecl EnumDisplays() { standin::Log("atipdl EnumDisplays"); return 0; }
int __cdecl GetConnectedDisplays() { standin::Log("atipdl GetConnectedDisplays"); return 0; }
int __cdecl ATIDL_GetAdapterID() { standin::Log("atipdl ATIDL_GetAdapterID"); return 0; }
int __cdecl ATIDL_DDCBlockAccess() { standin::Log("atipdl ATIDL_DDCBlockAccess"); return 0; }
int __cdecl ATIDL_DisplayGetDeviceConfig() { standin::Log("atipdl ATIDL_DisplayGetDeviceConfig"); return 0; }

#if defined(ORVA_ATI_STDCALL)
#define ORVA_ATI_CONVENTION __stdcall
#else
#define ORVA_ATI_CONVENTION __cdecl
#endif

int ORVA_ATI_CONVENTION GetConfiguration(int first, int second, int* answer) {
    standin::FaultIfAsked("GetConfiguration");
    const int result = static_cast<int>(standin::ReadNumber("ORVA_ATI_RESULT", 0));
    char value[64];
    if (answer && standin::ReadVariable("ORVA_ATI_ANSWER", value, sizeof value)) {
        *answer = static_cast<int>(std::strtoll(value, nullptr, 0));
        standin::Log("atipdl GetConfiguration %d %d %llX -> %d answer=%d", first, second,
                     standin::AddressValue(answer), result, *answer);
    } else {
        standin::Log("atipdl GetConfiguration %d %d %llX -> %d answer=untouched", first, second,
                     standin::AddressValue(answer), result);
    }
    return result;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    standin::LogLoading("atipdl", instance, reason);
    return TRUE;
}

}  // extern "C"

#if !defined(ORVA_ATI_STDCALL)
// The program declares the export with exactly this type.
static_assert(std::is_same_v<decltype(&GetConfiguration), AtiGetConfigurationFn>);
#endif
