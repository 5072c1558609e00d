#include "framework/system_calls.h"

#include <oleauto.h>
#include <olectl.h>

#include "framework/system_library.h"

namespace {

constexpr HRESULT kCallMissing = HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);

// Each library is loaded on the first call into it; the process holds it for the rest of the run.
HMODULE Ole32() {
    static const HMODULE module = LoadSystemLibrary("ole32.dll");
    return module;
}

HMODULE OleAut32() {
    static const HMODULE module = LoadSystemLibrary("oleaut32.dll");
    return module;
}

HMODULE ComCtl32() {
    static const HMODULE module = LoadSystemLibrary("comctl32.dll");
    return module;
}

// The library's export as the system declares it; null when either is missing.
template <typename Function>
Function Export(HMODULE module, const char* name) {
    return module ? GetProcAddressAs<Function>(module, name) : nullptr;
}

}  // namespace

HRESULT ole32::CoInitialize(LPVOID reserved) {
    static const auto call = Export<decltype(&::CoInitialize)>(Ole32(), "CoInitialize");
    return call ? call(reserved) : kCallMissing;
}

HRESULT ole32::CoInitializeEx(LPVOID reserved, DWORD concurrency) {
    static const auto call = Export<decltype(&::CoInitializeEx)>(Ole32(), "CoInitializeEx");
    return call ? call(reserved, concurrency) : kCallMissing;
}

void ole32::CoUninitialize() {
    static const auto call = Export<decltype(&::CoUninitialize)>(Ole32(), "CoUninitialize");
    if (call) call();
}

HRESULT ole32::CoCreateInstance(REFCLSID clsid, LPUNKNOWN outer, DWORD context, REFIID iid, LPVOID* object) {
    static const auto call = Export<decltype(&::CoCreateInstance)>(Ole32(), "CoCreateInstance");
    if (call) return call(clsid, outer, context, iid, object);
    if (object) *object = nullptr;
    return kCallMissing;
}

HRESULT ole32::CLSIDFromProgID(LPCOLESTR progId, LPCLSID clsid) {
    static const auto call = Export<decltype(&::CLSIDFromProgID)>(Ole32(), "CLSIDFromProgID");
    return call ? call(progId, clsid) : kCallMissing;
}

HRESULT ole32::CreateStreamOnHGlobal(HGLOBAL block, BOOL deleteOnRelease, LPSTREAM* stream) {
    static const auto call = Export<decltype(&::CreateStreamOnHGlobal)>(Ole32(), "CreateStreamOnHGlobal");
    if (call) return call(block, deleteOnRelease, stream);
    if (stream) *stream = nullptr;
    return kCallMissing;
}

HRESULT oleaut32::OleLoadPicture(LPSTREAM stream, LONG size, BOOL runMode, REFIID iid, LPVOID* picture) {
    static const auto call = Export<decltype(&::OleLoadPicture)>(OleAut32(), "OleLoadPicture");
    if (call) return call(stream, size, runMode, iid, picture);
    if (picture) *picture = nullptr;
    return kCallMissing;
}

BSTR oleaut32::SysAllocString(const OLECHAR* text) {
    static const auto call = Export<decltype(&::SysAllocString)>(OleAut32(), "SysAllocString");
    return call ? call(text) : nullptr;
}

BSTR oleaut32::SysAllocStringLen(const OLECHAR* text, UINT length) {
    static const auto call = Export<decltype(&::SysAllocStringLen)>(OleAut32(), "SysAllocStringLen");
    return call ? call(text, length) : nullptr;
}

void oleaut32::SysFreeString(BSTR text) {
    static const auto call = Export<decltype(&::SysFreeString)>(OleAut32(), "SysFreeString");
    if (call) call(text);
}

BOOL comctl32::InitCommonControlsEx(const INITCOMMONCONTROLSEX* classes) {
    static const auto call = Export<decltype(&::InitCommonControlsEx)>(ComCtl32(), "InitCommonControlsEx");
    return call ? call(classes) : FALSE;
}

BOOL comctl32::TrackMouseEvent(LPTRACKMOUSEEVENT track) {
    static const auto call = Export<decltype(&::_TrackMouseEvent)>(ComCtl32(), "_TrackMouseEvent");
    return call ? call(track) : FALSE;
}
