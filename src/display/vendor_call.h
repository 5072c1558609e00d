#pragma once
// Calls into a graphics driver's entry point whose calling convention nobody documents. On
// 32-bit x86 a driver may export it as __cdecl (the caller removes the arguments) or as
// __stdcall (the callee removes them); a caller that assumes the wrong one finds its stack off
// by the arguments' size afterwards and reads its locals from the wrong place. So the 32-bit
// build calls through a small thunk that keeps the stack pointer in a callee-saved register
// and puts it back after the call, which suits both. x86_64 has one convention: a plain call.
#include <cstddef>
#include <cstdint>
#include <type_traits>

#if defined(__i386__)
// The thunk (vendor_call.cpp): calls `function` with `count` argument words, args[0] first,
// and returns what it left in EAX.
extern "C" uint32_t OrvaCallKeepingStack(const void* function, const uint32_t* args, size_t count);
#endif

namespace vendor_call_detail {

template <typename Argument>
uint32_t AsWord(Argument argument) {
    static_assert(sizeof(Argument) <= sizeof(uint32_t), "only word-sized arguments are passed");
    if constexpr (std::is_pointer_v<Argument>) return reinterpret_cast<uintptr_t>(argument);
    else return static_cast<uint32_t>(argument);
}

template <typename Result>
Result FromWord(uint32_t word) {
    if constexpr (std::is_pointer_v<Result>) return reinterpret_cast<Result>(static_cast<uintptr_t>(word));
    else return static_cast<Result>(word);
}

}  // namespace vendor_call_detail

// Calls the driver's function at `function` with the arguments; Result is what it returns
// (a 32-bit integer or a pointer). Arguments must be integers or pointers.
template <typename Result, typename Function, typename... Args>
Result CallVendorEntry(Function function, Args... args) {
#if defined(__i386__)
    const uint32_t words[sizeof...(Args) + 1] = {vendor_call_detail::AsWord(args)..., 0};
    const void* address = reinterpret_cast<const void*>(function);
    return vendor_call_detail::FromWord<Result>(OrvaCallKeepingStack(address, words, sizeof...(Args)));
#else
    using Exact = Result(__cdecl*)(Args...);
    return reinterpret_cast<Exact>(reinterpret_cast<void (*)()>(function))(args...);
#endif
}
