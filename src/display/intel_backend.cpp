// The Intel graphics object's TV device: finding it and rewriting its TV parameters.
#include "display/intel_backend.h"

#include "display/cui_external.h"
#include "display/tv_parameters.h"
#include "framework/system_calls.h"

namespace {

constexpr DWORD kDisplayIndices = 4;       // devices 0 to 3 are looked at on each display device
constexpr DWORD kDeviceStatusSkipped = 1;  // a device reporting this status is passed over
constexpr DWORD kStatusBadParameters = 9;  // WriteTvParameters' status for a refused block

// One display device name as a BSTR, freed when the look-up ends.
class DisplayName {
public:
    explicit DisplayName(const wchar_t* text) : m_bstr(oleaut32::SysAllocString(text)) {}
    ~DisplayName() { oleaut32::SysFreeString(m_bstr); }
    DisplayName(const DisplayName&) = delete;
    DisplayName& operator=(const DisplayName&) = delete;
    BSTR Get() const { return m_bstr; }

private:
    BSTR m_bstr;
};

// The first device of the wanted type on one display device whose status is not "skipped".
bool FindDevice(ICUIExternal* cui, const DisplayName& display, DWORD wantedType, DWORD* pUid) {
    if (!display.Get()) return false;  // out of memory: nothing can be asked
    for (DWORD index = 0; index < kDisplayIndices; ++index) {
        // The outputs alone tell whether a device is there; they start out as "no device" in case
        // the driver leaves them unwritten.
        DWORD uid = 0, type = 0, status = 0;
        cui->QueryDeviceAt(display.Get(), index, &uid, &type, &status);
        if (type == wantedType && status != kDeviceStatusSkipped) {
            *pUid = uid;
            return true;
        }
    }
    return false;
}

}  // namespace

BOOL FindMonitorUid(ICUIExternal* cui, DWORD wantedType, DWORD* pUid, const ShowMessage& show) {
    if (!cui || !pUid) return FALSE;
    const DisplayName display1(L"\\\\.\\Display1");
    const DisplayName display2(L"\\\\.\\Display2");
    if (FindDevice(cui, display1, wantedType, pUid) || FindDevice(cui, display2, wantedType, pUid)) return TRUE;
    // The uid stays 0, so the caller goes on to say that no TV is connected.
    show("Requested Device Not Attached");
    return TRUE;
}

HRESULT UpdateTvParameters(ICUIExternal* cui, DWORD count, TvParameterBlock* pBlock, uint32_t formatWord,
                           TvParametersAsRead& asRead, const ShowMessage& show) {
    uint32_t size = 0;
    if (!pBlock || !TvParameterBytes(count, &size)) return E_INVALIDARG;
    DWORD uid = 0;
    if (!FindMonitorUid(cui, kTvDeviceType, &uid, show)) {
        show("GetMonitorUid Fail");
        return S_OK;
    }
    if (uid == 0) {
        show("No TV Connected");
        return S_OK;
    }
    DWORD status = 0;
    const HRESULT read = cui->ReadTvParameters(uid, size, pBlock->bytes, &status);
    // Without the driver's current parameters, writing the block back would replace them with
    // whatever the caller's buffer held.
    if (FAILED(read)) return read;
    // Kept exactly as the driver gave it, for writing back when the new format is not kept.
    asRead.uid = uid;
    const auto* bytes = reinterpret_cast<const uint8_t*>(pBlock);
    asRead.bytes.assign(bytes, bytes + size);
    PrepareTvParameters(*pBlock, formatWord);
    status = 0;
    const HRESULT written = cui->WriteTvParameters(uid, size, pBlock->bytes, &status);
    if (FAILED(written) && status == kStatusBadParameters) show("Bad Get TV Parameter");
    return written;
}

void WriteTvParametersAsRead(ICUIExternal* cui, TvParametersAsRead& asRead) {
    DWORD status = 0;
    if (cui) cui->WriteTvParameters(asRead.uid, static_cast<DWORD>(asRead.bytes.size()), asRead.bytes.data(), &status);
    asRead.bytes.clear();
}
