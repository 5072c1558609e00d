#include "framework/system_library.h"

#include <cstring>
#include <string>

namespace {

// A bare file name: a path would lead the loader outside the system directory.
bool IsFileName(const char* name) { return name && *name && !std::strpbrk(name, "\\/:"); }

}  // namespace

HMODULE LoadSystemLibrary(const char* name) {
    if (!IsFileName(name)) return nullptr;
    HMODULE module = ::LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Loaders without the search flags reject them as an invalid parameter.
    if (module || ::GetLastError() != ERROR_INVALID_PARAMETER) return module;
    return LoadSystemLibraryByPath(name);
}

HMODULE LoadSystemLibraryByPath(const char* name) {
    if (!IsFileName(name)) return nullptr;
    char folder[MAX_PATH];
    const UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::string path = std::string(folder, length) + "\\" + name;
    return ::LoadLibraryA(path.c_str());
}
