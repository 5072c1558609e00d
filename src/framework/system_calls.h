#pragma once
// The calls the program makes into the system's COM, OLE and common-controls libraries. The
// program does not import those libraries: each is loaded from the system directory when one of
// its calls is first made, so that a start that needs none of them does not wait for them (the
// window's first paint needs none). A library stays loaded for the rest of the run, since the
// objects it hands out live in it. Each call answers as the system's does; when its library or
// the call itself cannot be found, it answers as a failure of that call.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <ocidl.h>

namespace ole32 {
HRESULT CoInitialize(LPVOID reserved);
HRESULT CoInitializeEx(LPVOID reserved, DWORD concurrency);
void CoUninitialize();
HRESULT CoCreateInstance(REFCLSID clsid, LPUNKNOWN outer, DWORD context, REFIID iid, LPVOID* object);
HRESULT CLSIDFromProgID(LPCOLESTR progId, LPCLSID clsid);
HRESULT CreateStreamOnHGlobal(HGLOBAL block, BOOL deleteOnRelease, LPSTREAM* stream);
}  // namespace ole32

namespace oleaut32 {
HRESULT OleLoadPicture(LPSTREAM stream, LONG size, BOOL runMode, REFIID iid, LPVOID* picture);
// Null when the string cannot be made.
BSTR SysAllocString(const OLECHAR* text);
BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
void SysFreeString(BSTR text);
}  // namespace oleaut32

namespace comctl32 {
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* classes);
BOOL TrackMouseEvent(LPTRACKMOUSEEVENT track);  // the library's _TrackMouseEvent
}  // namespace comctl32
