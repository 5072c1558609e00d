// A stand-in for the Intel graphics driver's COM object "IgfxExt.CUIExternal", for tests and
// demonstrations on machines without that driver. It answers the four methods the program calls
// from a scenario in its environment and appends every call to a log.
//
// The object's method table is laid out here slot by slot, independently of the program's own
// declaration of the interface: a caller that uses the wrong slot reaches another method (or a
// placeholder that logs "Unused <position>"), and a test sees it in the log.
//
// Registration: regsvr32, or DllRegisterServer / DllUnregisterServer called directly, write and
// remove HKCR\IgfxExt.CUIExternal\CLSID and HKCR\CLSID\{5E0C3A51-7B2D-4C1E-9A44-0F7D2B61C9E3}
// with InprocServer32 = this DLL where it was loaded from, ThreadingModel = Apartment.
//
// Scenario, read from the environment at every call (numbers in decimal or 0x-hex; an empty
// variable counts as unset):
//   ORVA_STANDIN_LOG             file to which every call is appended as one line
//   ORVA_IGFX_CREATE_FAIL        1: the class factory refuses to create the object (E_FAIL), so
//                                CoCreateInstance fails while CLSIDFromProgID succeeds
//   ORVA_IGFX_<name>_<index>     "uid,type,status[,hresult]": what QueryDeviceAt answers for the
//                                display device whose name ends in <name> after its last
//                                backslash, e.g. ORVA_IGFX_DISPLAY2_3 for "\\.\Display2", index 3
//                                (missing fields are 0). Unset: E_FAIL, and nothing is written.
//   ORVA_IGFX_CONNECTOR_TYPE     the type QueryConnectorType writes; unset: nothing is written
//   ORVA_IGFX_CONNECTOR_STATUS   the status it writes (default 0); "unset": it writes none
//   ORVA_IGFX_CONNECTOR_HRESULT  its result (default 0)
//   ORVA_IGFX_READ_FILL          hex bytes that a successful ReadTvParameters repeats over the
//                                whole block, e.g. "0102A0FF"; unset: the block stays as it came
//   ORVA_IGFX_READ_STATUS, ORVA_IGFX_READ_HRESULT    its status and result (default 0)
//   ORVA_IGFX_WRITE_STATUS, ORVA_IGFX_WRITE_HRESULT  WriteTvParameters' status and result
//   ORVA_FAULT_CALL=<method> with ORVA_FAULT=crash|delay:<ms>: that method (QueryDeviceAt,
//                                QueryConnectorType, ReadTvParameters or WriteTvParameters)
//                                crashes inside the server or answers late (common/standin_env.h)
//
// Log lines: the call and its arguments, then " -> " and the answer.
//   CreateInstance -> hr=0x00000000
//   QueryDeviceAt name=\\.\Display1 index=0 bstr=ok -> hr=0x00000000 uid=7 type=4 status=0
//   QueryConnectorType uid=7 -> hr=0x00000000 type=32 status=0
//   ReadTvParameters uid=7 size=320 -> hr=0x00000000 status=0
//   WriteTvParameters uid=7 size=320 block=<every byte in hex> -> hr=0x00000000 status=0
//   Unused 14                    (a placeholder method was called)
//   Destroyed                    (the last reference was released)
// "bstr=ok" means the name is a BSTR whose stored length matches its text, "bstr=bad" that it
// is not; a null name is logged as "name=(null)".
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "common/standin_env.h"

namespace {

// {AFB6489F-4515-44AA-8DF7-ED28EA46283C}: the interface the program asks for.
const IID kInterfaceId = {0xAFB6489F, 0x4515, 0x44AA, {0x8D, 0xF7, 0xED, 0x28, 0xEA, 0x46, 0x28, 0x3C}};
// This stand-in's own class.
const CLSID kClassId = {0x5E0C3A51, 0x7B2D, 0x4C1E, {0x9A, 0x44, 0x0F, 0x7D, 0x2B, 0x61, 0xC9, 0xE3}};
const wchar_t kClassKey[] = L"CLSID\\{5E0C3A51-7B2D-4C1E-9A44-0F7D2B61C9E3}";
const wchar_t kClassIdText[] = L"{5E0C3A51-7B2D-4C1E-9A44-0F7D2B61C9E3}";
const wchar_t kProgId[] = L"IgfxExt.CUIExternal";

HMODULE g_module = nullptr;
LONG g_objects = 0;  // live objects
LONG g_locks = 0;    // IClassFactory::LockServer

// ---- Scenario and log ---------------------------------------------------------------------

bool Env(const std::string& name, std::string* value) {
    const DWORD needed = ::GetEnvironmentVariableA(name.c_str(), nullptr, 0);
    if (needed <= 1) return false;
    std::string text(needed, '\0');
    const DWORD length = ::GetEnvironmentVariableA(name.c_str(), &text[0], needed);
    if (length == 0 || length >= needed) return false;
    text.resize(length);
    *value = std::move(text);
    return true;
}

DWORD Number(const std::string& text) { return std::strtoul(text.c_str(), nullptr, 0); }

DWORD EnvNumber(const char* name, DWORD fallback) {
    std::string text;
    return Env(name, &text) ? Number(text) : fallback;
}

// "a,b,c" as numbers, padded with zeros to `count`.
std::vector<DWORD> Numbers(const std::string& text, size_t count) {
    std::vector<DWORD> numbers;
    size_t start = 0;
    while (numbers.size() < count && start <= text.size()) {
        const size_t comma = text.find(',', start);
        numbers.push_back(Number(text.substr(start, comma - start)));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    numbers.resize(count, 0);
    return numbers;
}

bool ParseHex(const std::string& text, std::vector<BYTE>* bytes) {
    auto digit = [](char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    if (text.size() % 2) return false;
    for (size_t i = 0; i < text.size(); i += 2) {
        const int high = digit(text[i]), low = digit(text[i + 1]);
        if (high < 0 || low < 0) return false;
        bytes->push_back(static_cast<BYTE>(high * 16 + low));
    }
    return !bytes->empty();
}

std::string HexBytes(const BYTE* bytes, DWORD size) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(std::size_t{size} * 2);
    for (DWORD i = 0; i < size; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 15];
    }
    return text;
}

std::string HexWord(HRESULT hr) {
    char text[16];
    (void)std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));  // 10 characters at most
    return text;
}

void Log(const std::string& line) {
    std::string path;
    if (!Env("ORVA_STANDIN_LOG", &path)) return;
    HANDLE file = ::CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    const std::string text = line + "\n";
    DWORD written = 0;
    ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    ::CloseHandle(file);
}

std::string Utf8(const wchar_t* text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return std::string();
    std::string result(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, &result[0], size, nullptr, nullptr);
    result.resize(static_cast<size_t>(size) - 1);
    return result;
}

// The scenario variable of a display device name: "\\.\Display2", index 3 -> ORVA_IGFX_Display2_3.
std::string DeviceVariable(const wchar_t* name, DWORD index) {
    const wchar_t* slash = std::wcsrchr(name, L'\\');
    std::string variable = "ORVA_IGFX_";
    for (const wchar_t* c = slash ? slash + 1 : name; *c && variable.size() < 80; ++c) {
        const bool plain = (*c >= L'0' && *c <= L'9') || (*c >= L'A' && *c <= L'Z') || (*c >= L'a' && *c <= L'z');
        variable += plain ? static_cast<char>(*c) : '_';
    }
    return variable + "_" + std::to_string(index);
}

// ---- The object, laid out as its callers see it: a method table and a reference count ------

struct CuiObject {
    const void* const* methods;
    LONG refs;
};

HRESULT STDMETHODCALLTYPE ObjectQueryInterface(CuiObject* self, REFIID iid, void** out);

ULONG STDMETHODCALLTYPE ObjectAddRef(CuiObject* self) { return static_cast<ULONG>(::InterlockedIncrement(&self->refs)); }

ULONG STDMETHODCALLTYPE ObjectRelease(CuiObject* self) {
    const LONG refs = ::InterlockedDecrement(&self->refs);
    if (refs == 0) {
        Log("Destroyed");
        delete self;
        ::InterlockedDecrement(&g_objects);
    }
    return static_cast<ULONG>(refs);
}

HRESULT STDMETHODCALLTYPE ObjectQueryInterface(CuiObject* self, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, kInterfaceId)) {
        *out = self;
        ObjectAddRef(self);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE QueryDeviceAt(CuiObject*, BSTR name, DWORD index, DWORD* uid, DWORD* type, DWORD* status) {
    standin::FaultIfAsked("QueryDeviceAt");
    std::string line = "QueryDeviceAt name=";
    if (name) {
        // Reads the length stored in front of the text: the caller is meant to pass a BSTR.
        const bool isBstr = ::SysStringLen(name) == std::wcslen(name);
        line += Utf8(name) + " index=" + std::to_string(index) + " bstr=" + (isBstr ? "ok" : "bad");
    } else {
        line += "(null) index=" + std::to_string(index);
    }
    std::string answer;
    HRESULT hr = E_FAIL;
    if (!uid || !type || !status) {
        hr = E_POINTER;
    } else if (name && Env(DeviceVariable(name, index), &answer)) {
        const std::vector<DWORD> fields = Numbers(answer, 4);
        *uid = fields[0];
        *type = fields[1];
        *status = fields[2];
        hr = static_cast<HRESULT>(fields[3]);
        Log(line + " -> hr=" + HexWord(hr) + " uid=" + std::to_string(*uid) + " type=" + std::to_string(*type) +
            " status=" + std::to_string(*status));
        return hr;
    }
    Log(line + " -> hr=" + HexWord(hr));
    return hr;
}

HRESULT STDMETHODCALLTYPE QueryConnectorType(CuiObject*, DWORD uid, DWORD* connectorType, DWORD* status) {
    standin::FaultIfAsked("QueryConnectorType");
    const std::string line = "QueryConnectorType uid=" + std::to_string(uid) + " -> hr=";
    if (!connectorType || !status) {
        Log(line + HexWord(E_POINTER));
        return E_POINTER;
    }
    const HRESULT hr = static_cast<HRESULT>(EnvNumber("ORVA_IGFX_CONNECTOR_HRESULT", 0));
    std::string type, typeText;
    if (Env("ORVA_IGFX_CONNECTOR_TYPE", &type)) {
        *connectorType = Number(type);
        typeText = " type=" + std::to_string(*connectorType);
    }
    std::string statusText;
    if (!Env("ORVA_IGFX_CONNECTOR_STATUS", &statusText) || statusText != "unset") {
        *status = EnvNumber("ORVA_IGFX_CONNECTOR_STATUS", 0);
        statusText = std::to_string(*status);
    }
    Log(line + HexWord(hr) + typeText + " status=" + statusText);
    return hr;
}

HRESULT STDMETHODCALLTYPE ReadTvParameters(CuiObject*, DWORD uid, DWORD size, BYTE* block, DWORD* status) {
    standin::FaultIfAsked("ReadTvParameters");
    const std::string line = "ReadTvParameters uid=" + std::to_string(uid) + " size=" + std::to_string(size) + " -> hr=";
    if (!block || !status) {
        Log(line + HexWord(E_POINTER));
        return E_POINTER;
    }
    const HRESULT hr = static_cast<HRESULT>(EnvNumber("ORVA_IGFX_READ_HRESULT", 0));
    std::string fill;
    std::vector<BYTE> pattern;
    if (SUCCEEDED(hr) && Env("ORVA_IGFX_READ_FILL", &fill) && ParseHex(fill, &pattern))
        for (DWORD i = 0; i < size; ++i) block[i] = pattern[i % pattern.size()];
    *status = EnvNumber("ORVA_IGFX_READ_STATUS", 0);
    Log(line + HexWord(hr) + " status=" + std::to_string(*status));
    return hr;
}

HRESULT STDMETHODCALLTYPE WriteTvParameters(CuiObject*, DWORD uid, DWORD size, BYTE* block, DWORD* status) {
    standin::FaultIfAsked("WriteTvParameters");
    std::string line = "WriteTvParameters uid=" + std::to_string(uid) + " size=" + std::to_string(size);
    if (!block || !status) {
        Log(line + " -> hr=" + HexWord(E_POINTER));
        return E_POINTER;
    }
    const HRESULT hr = static_cast<HRESULT>(EnvNumber("ORVA_IGFX_WRITE_HRESULT", 0));
    *status = EnvNumber("ORVA_IGFX_WRITE_STATUS", 0);
    Log(line + " block=" + HexBytes(block, size) + " -> hr=" + HexWord(hr) + " status=" + std::to_string(*status));
    return hr;
}

template <size_t Position>
HRESULT STDMETHODCALLTYPE Unused(CuiObject*) {
    Log("Unused " + std::to_string(Position));
    return E_NOTIMPL;
}

constexpr size_t kMethodCount = 37;

struct MethodTable {
    const void* slots[kMethodCount];
};

// Positions count from 1, IUnknown's three methods first.
template <typename Method>
void Put(MethodTable& table, size_t position, Method method) {
    table.slots[position - 1] = reinterpret_cast<const void*>(method);
}

template <size_t... Index>
void PutPlaceholders(MethodTable& table, std::index_sequence<Index...>) {
    (Put(table, Index + 1, &Unused<Index + 1>), ...);
}

MethodTable BuildMethodTable() {
    MethodTable table{};
    PutPlaceholders(table, std::make_index_sequence<kMethodCount>());
    Put(table, 1, &ObjectQueryInterface);
    Put(table, 2, &ObjectAddRef);
    Put(table, 3, &ObjectRelease);
    Put(table, 13, &QueryDeviceAt);
    Put(table, 33, &QueryConnectorType);
    Put(table, 36, &ReadTvParameters);
    Put(table, 37, &WriteTvParameters);
    return table;
}

const void* const* Methods() {
    static const MethodTable table = BuildMethodTable();
    return table.slots;
}

// ---- Class factory: one static instance that lives as long as the DLL ----------------------

class ClassFactory : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *out = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        if (EnvNumber("ORVA_IGFX_CREATE_FAIL", 0) == 1) {
            Log("CreateInstance -> hr=" + HexWord(E_FAIL));
            return E_FAIL;
        }
        CuiObject* object = new (std::nothrow) CuiObject{Methods(), 1};
        if (!object) return E_OUTOFMEMORY;
        ::InterlockedIncrement(&g_objects);
        const HRESULT hr = ObjectQueryInterface(object, iid, out);
        Log("CreateInstance -> hr=" + HexWord(hr));
        ObjectRelease(object);  // the caller's reference, if any, keeps it alive
        return hr;
    }

    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock)
            ::InterlockedIncrement(&g_locks);
        else
            ::InterlockedDecrement(&g_locks);
        return S_OK;
    }
};

ClassFactory g_factory;

// ---- Registration --------------------------------------------------------------------------

bool SetClassesValue(const std::wstring& keyPath, const wchar_t* valueName, const std::wstring& value) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CLASSES_ROOT, keyPath.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const LONG result = ::RegSetValueExW(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool DeleteClassesTree(const wchar_t* keyPath) {
    const LONG result = ::RegDeleteTreeW(HKEY_CLASSES_ROOT, keyPath);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        ::DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualCLSID(clsid, kClassId)) return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(iid, out);
}

STDAPI DllCanUnloadNow() { return g_objects == 0 && g_locks == 0 ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(g_module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return E_FAIL;
    const std::wstring classKey = kClassKey;
    const std::wstring serverKey = classKey + L"\\InprocServer32";
    const bool ok = SetClassesValue(kProgId, nullptr, L"Stand-in for the Intel graphics object") &&
                    SetClassesValue(std::wstring(kProgId) + L"\\CLSID", nullptr, kClassIdText) &&
                    SetClassesValue(classKey, nullptr, L"Stand-in for the Intel graphics object") &&
                    SetClassesValue(classKey + L"\\ProgID", nullptr, kProgId) &&
                    SetClassesValue(serverKey, nullptr, path) &&
                    SetClassesValue(serverKey, L"ThreadingModel", L"Apartment");
    return ok ? S_OK : E_FAIL;
}

STDAPI DllUnregisterServer() {
    const bool progId = DeleteClassesTree(kProgId);
    const bool classId = DeleteClassesTree(kClassKey);
    return progId && classId ? S_OK : E_FAIL;
}
