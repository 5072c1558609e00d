#pragma once
// What a process holds, counted the way that works on Wine too: Wine answers 0 to
// GetGuiResources and GetProcessHandleCount, so GDI objects are read from the process's GDI
// handle table and kernel handles from the system's handle list.
#include <windows.h>

#include <cstddef>
#include <map>
#include <string>

// GDI objects of the process (not the stock objects every process shares), by kind: "DC",
// "bitmap", "region", "brush", "font", "pen", "palette" or "type N". Empty when the table cannot
// be read.
std::map<std::string, size_t> GdiObjectsByKind(HANDLE process);
size_t GdiObjectCount(HANDLE process = ::GetCurrentProcess());
// Kernel handles the process holds; 0 when the list cannot be read.
size_t HandleCount(DWORD processId = ::GetCurrentProcessId());
// The process's working set in bytes.
size_t WorkingSetBytes(HANDLE process);
