#include "process_counts.h"

#include <psapi.h>
#include <winternl.h>

#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

// Where the PEB keeps the address of the GDI handle table (x64), its size and its entries:
// {object u64, owner u32, instance u16, type u8, flags u8, user pointer u64}. An entry in use
// has a type; the instance's low 7 bits are the full kind, bit 0x80 marks a stock object.
constexpr size_t kPebGdiTableOffset = 0xF8;
constexpr size_t kGdiTableEntries = 0x10000;
constexpr size_t kGdiEntrySize = 24;
constexpr uint16_t kStockFlag = 0x80;
constexpr ULONG kSystemHandleInformation = 16;
constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004);

template <typename Function>
Function NtdllEntry(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("ntdll.dll"), name)));
}

std::string KindName(uint16_t kind) {
    switch (kind) {
        case 0x01: return "DC";
        case 0x04: return "region";
        case 0x05:
        case 0x09: return "bitmap";
        case 0x08: return "palette";
        case 0x0A: return "font";
        case 0x10: return "brush";
        case 0x30:
        case 0x50: return "pen";
        default: {
            char name[16];
            std::snprintf(name, sizeof name, "type 0x%02X", kind);
            return name;
        }
    }
}

// The process's copy of the table; empty when it cannot be read.
std::vector<BYTE> ReadGdiTable(HANDLE process) {
    using Query = NTSTATUS(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    const auto query = NtdllEntry<Query>("NtQueryInformationProcess");
    PROCESS_BASIC_INFORMATION info{};
    if (!query || query(process, ProcessBasicInformation, &info, sizeof info, nullptr) != 0) return {};
    UINT64 tableAddress = 0;
    const BYTE* slot = reinterpret_cast<const BYTE*>(info.PebBaseAddress) + kPebGdiTableOffset;
    if (!::ReadProcessMemory(process, slot, &tableAddress, sizeof tableAddress, nullptr) || !tableAddress) return {};
    std::vector<BYTE> table(kGdiTableEntries * kGdiEntrySize);
    if (!::ReadProcessMemory(process, reinterpret_cast<const void*>(tableAddress), table.data(), table.size(), nullptr))
        return {};
    return table;
}

}  // namespace

std::map<std::string, size_t> GdiObjectsByKind(HANDLE process) {
    const std::vector<BYTE> table = ReadGdiTable(process);
    std::map<std::string, size_t> kinds;
    for (size_t offset = 0; offset < table.size(); offset += kGdiEntrySize) {
        const BYTE* entry = table.data() + offset;
        const uint16_t instance = static_cast<uint16_t>(entry[12] | (entry[13] << 8));
        if (entry[14] != 0 && !(instance & kStockFlag)) ++kinds[KindName(instance & 0x7F)];
    }
    return kinds;
}

size_t GdiObjectCount(HANDLE process) {
    size_t count = 0;
    for (const auto& kind : GdiObjectsByKind(process)) count += kind.second;
    return count;
}

size_t HandleCount(DWORD processId) {
    using Query = NTSTATUS(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    const auto query = NtdllEntry<Query>("NtQuerySystemInformation");
    struct Entry {  // one handle of the list
        ULONG ownerProcessId;
        UCHAR type, attributes;
        USHORT value;
        PVOID object;
        ULONG access;
    };
    if (!query) return 0;
    std::vector<BYTE> buffer(1 << 20);
    NTSTATUS status;
    while ((status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), nullptr)) ==
           kInfoLengthMismatch)
        buffer.resize(buffer.size() * 2);
    if (status != 0) return 0;
    const ULONG total = *reinterpret_cast<const ULONG*>(buffer.data());
    const auto* entries = reinterpret_cast<const Entry*>(buffer.data() + sizeof(ULONG_PTR));
    size_t count = 0;
    for (ULONG i = 0; i < total; ++i) count += entries[i].ownerProcessId == processId;
    return count;
}

size_t WorkingSetBytes(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    return ::GetProcessMemoryInfo(process, &counters, sizeof counters) ? counters.WorkingSetSize : 0;
}
