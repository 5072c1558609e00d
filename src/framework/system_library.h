#pragma once
// Loading of libraries from the system directory: the graphics drivers' libraries, which a
// driver installs there, and the system's own that the program loads when it first needs them
// (system_calls.h). A copy of the same name beside the program or in the working folder must
// never be picked up instead, so the usual search order is not used.
#include <windows.h>

// Loads the library of that file name from the system directory only; null when it is not
// there or cannot be loaded, and null for anything but a bare file name. The caller owns the
// handle and frees it with FreeLibrary.
HMODULE LoadSystemLibrary(const char* name);

// The same by the library's full path in the system directory: what LoadSystemLibrary falls
// back to on systems whose loader has no search flags.
HMODULE LoadSystemLibraryByPath(const char* name);

// A library's export as the function type the caller knows it by; null when it is missing.
template <typename Function>
Function GetProcAddressAs(HMODULE module, const char* name) {
    // Through the generic function type, which any function pointer may be converted to.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}
