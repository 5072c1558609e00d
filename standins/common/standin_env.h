#pragma once
// What every stand-in driver library shares: its scenario comes from environment variables,
// read at each call so a test can change it between calls, and each call it receives is
// appended as one line to the log file named by ORVA_STANDIN_LOG (nothing is logged when that
// variable is unset).
//
// Faults, for the tests of a driver that misbehaves: any one call of any stand-in can be made
// to crash or to answer late.
//   ORVA_FAULT_CALL   the call, by the name its log line gives it (GetConfiguration,
//                     QueryTvOutputInfo, ReadTvParameters, ...)
//   ORVA_FAULT        what that call does before anything else: "crash" (an access violation
//                     inside the library) or "delay:<ms>" (it answers that much later)
// Log line, just before the fault: "fault <call> crash" or "fault <call> delay <ms>".
#include <windows.h>

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace standin {

// The variable's value into buffer; false when it is unset (or too long for the buffer).
inline bool ReadVariable(const char* name, char* buffer, DWORD size) {
    const DWORD length = ::GetEnvironmentVariableA(name, buffer, size);
    return length > 0 && length < size;
}

// The variable as a number (decimal, or hexadecimal with 0x), or fallback when it is unset.
inline long long ReadNumber(const char* name, long long fallback) {
    char value[64];
    return ReadVariable(name, value, sizeof value) ? std::strtoll(value, nullptr, 0) : fallback;
}

// Appends one line, formatted as by printf, to the log file.
// NOLINTNEXTLINE(cert-dcl50-cpp): printf's own formats are what the log lines are written in
inline void Log(const char* format, ...) {
    char path[MAX_PATH];
    if (!ReadVariable("ORVA_STANDIN_LOG", path, sizeof path)) return;
    char line[1024];
    va_list args;
    va_start(args, format);
    int length = std::vsnprintf(line, sizeof line - 1, format, args);  // room for the line end
    va_end(args);
    if (length < 0) return;
    if (length > static_cast<int>(sizeof line) - 2) length = sizeof line - 2;  // cut to fit
    line[length] = '\n';
    HANDLE file = ::CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(file, line, static_cast<DWORD>(length) + 1, &written, nullptr);
    ::CloseHandle(file);
}

// Crashes or waits when the scenario names this call (see the header comment).
inline void FaultIfAsked(const char* call) {
    char name[64], fault[64];
    if (!ReadVariable("ORVA_FAULT_CALL", name, sizeof name) || std::strcmp(name, call) != 0) return;
    if (!ReadVariable("ORVA_FAULT", fault, sizeof fault)) return;
    if (std::strncmp(fault, "delay:", 6) == 0) {
        const unsigned long milliseconds = std::strtoul(fault + 6, nullptr, 10);
        Log("fault %s delay %lu", call, milliseconds);
        ::Sleep(milliseconds);
    } else if (std::strcmp(fault, "crash") == 0) {
        Log("fault %s crash", call);
        // A store to an address the compiler cannot see, so that it really reaches the page at 0
        // (a null constant would be turned into a trap instruction instead).
        volatile uintptr_t address = 0x10;
        *reinterpret_cast<volatile int*>(address) = 0;
    }
}

// An address as a number, for log lines ("%llX"): the same text in every module.
inline unsigned long long AddressValue(const void* address) { return reinterpret_cast<uintptr_t>(address); }

// The full path of the given module (the stand-in's own copy), for the attach and detach lines
// that show which copy of a library was loaded.
inline const char* ModulePath(HMODULE module, char (&buffer)[MAX_PATH]) {
    if (!::GetModuleFileNameA(module, buffer, MAX_PATH)) buffer[0] = '\0';
    return buffer;
}

// Logs "<name> attach|detach <path of this copy>" when a process loads or unloads the stand-in,
// so a test can tell which copy was loaded and whether it was let go.
inline void LogLoading(const char* name, HMODULE module, DWORD reason) {
    if (reason != DLL_PROCESS_ATTACH && reason != DLL_PROCESS_DETACH) return;
    char path[MAX_PATH];
    Log("%s %s %s", name, reason == DLL_PROCESS_ATTACH ? "attach" : "detach", ModulePath(module, path));
}

}  // namespace standin
