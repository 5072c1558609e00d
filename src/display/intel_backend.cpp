// The main dialog's use of the Intel graphics object: finding the TV device and rewriting its
// TV parameters before a 720-line or 1080-line Component mode is set.
#include "display/cui_external.h"
#include "display/tv_parameters.h"
#include "framework/system_calls.h"
#include "main_dialog/tv_setting_dlg.h"

namespace {

constexpr DWORD kTvDeviceType = 4;
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

BOOL TvSettingDlg::GetMonitorUid(DWORD wantedType, DWORD* pUid) {
    if (!m_pCUIExternal || !pUid) return FALSE;
    const DisplayName display1(L"\\\\.\\Display1");
    const DisplayName display2(L"\\\\.\\Display2");
    if (FindDevice(m_pCUIExternal, display1, wantedType, pUid) ||
        FindDevice(m_pCUIExternal, display2, wantedType, pUid))
        return TRUE;
    // The uid stays 0, so the caller goes on to say that no TV is connected.
    AfxMessageBox("Requested Device Not Attached");
    return TRUE;
}

HRESULT TvSettingDlg::UpdateTvParameters720(DWORD count, TvParameterBlock* pBlock) {
    return UpdateTvParameters(count, pBlock, kTvFormat720);
}

HRESULT TvSettingDlg::UpdateTvParameters1080(DWORD count, TvParameterBlock* pBlock) {
    return UpdateTvParameters(count, pBlock, kTvFormat1080);
}

HRESULT TvSettingDlg::UpdateTvParameters(DWORD count, TvParameterBlock* pBlock, DWORD formatWord) {
    uint32_t size = 0;
    if (!pBlock || !TvParameterBytes(count, &size)) return E_INVALIDARG;
    DWORD uid = 0;
    if (!GetMonitorUid(kTvDeviceType, &uid)) {
        AfxMessageBox("GetMonitorUid Fail");
        return S_OK;
    }
    if (uid == 0) {
        AfxMessageBox("No TV Connected");
        return S_OK;
    }
    DWORD status = 0;
    const HRESULT read = m_pCUIExternal->ReadTvParameters(uid, size, pBlock->bytes, &status);
    // Without the driver's current parameters, writing the block back would replace them with
    // whatever the caller's buffer held.
    if (FAILED(read)) return read;
    // Kept exactly as the driver gave it, for writing back when the new format is not kept.
    m_tvUid = uid;
    const auto* asRead = reinterpret_cast<const uint8_t*>(pBlock);
    m_tvParametersAsRead.assign(asRead, asRead + size);
    PrepareTvParameters(*pBlock, formatWord);
    status = 0;
    const HRESULT written = m_pCUIExternal->WriteTvParameters(uid, size, pBlock->bytes, &status);
    if (FAILED(written) && status == kStatusBadParameters) AfxMessageBox("Bad Get TV Parameter");
    return written;
}

void TvSettingDlg::WriteTvParametersAsRead() {
    DWORD status = 0;
    if (m_pCUIExternal)
        m_pCUIExternal->WriteTvParameters(m_tvUid, static_cast<DWORD>(m_tvParametersAsRead.size()),
                                          m_tvParametersAsRead.data(), &status);
    m_tvParametersAsRead.clear();
}
