// Which vendor interface answers and which TV connector it reports: ATI's display library
// first, then Intel's graphics object, then NVIDIA's NvAPI; the first that answers decides.
#include <objbase.h>

#include "display/ati_pdl.h"
#include "display/cui_external.h"
#include "display/nvapi_binding.h"
#include "display/vendor_call.h"
#include "framework/system_calls.h"
#include "main_dialog/tv_setting_dlg.h"

namespace {

constexpr DWORD kErrorNotWritten = 0xFFFFFFFF;  // any error code but 0 would do

// ATI: the library's answer, kept unchanged (0 when it wrote nothing); then the library goes.
void QueryAtiConnector() {
    int answer = static_cast<int>(TvDetection.connector);
    // Drivers export it in either calling convention (see vendor_call.h).
    CallVendorEntry<int>(AtiPdl.GetConfiguration, 0, 8, &answer);
    TvDetection.connector = static_cast<TvConnector>(answer);
    FreeAtiPdl(&AtiPdl);
}

// NVIDIA: false after an error message, when initialisation is to stop.
bool DetectNvidia() {
    if (NvAPI_Initialize() != kNvStatusOk) AfxMessageBox("NvAPI_Initialize fail");  // the next call fails too
    NvDisplayHandle display = nullptr;
    if (NvAPI_EnumNvidiaDisplayHandle(0, &display) != kNvStatusOk) {
        AfxMessageBox("NvAPI_EnumNvidiaDisplayHandle fail");
        return false;
    }
    NvPhysicalGpuHandle gpus[kNvMaxPhysicalGpus] = {};
    uint32_t gpuCount = 0;
    if (NvAPI_GetPhysicalGPUsFromDisplay(display, gpus, &gpuCount) != kNvStatusOk) {
        AfxMessageBox("NvAPI_GetPhysicalGPUsFromDisplay fail");
        return false;
    }
    uint32_t outputMask = 0;
    if (NvAPI_GPU_GetActiveOutputs(gpus[0], &outputMask) != kNvStatusOk) {
        AfxMessageBox("NvAPI_GPU_GetActiveOutputs fail");
        return false;
    }
    // A failing TV-output query lights nothing; it is not an error worth a message. Whatever
    // the driver left in the record then is no answer.
    TvDetection.nvInfo.version = kNvTvOutputInfoVersion;
    if (QueryTvOutputInfo(display, outputMask, &TvDetection.nvInfo) != kNvStatusOk) TvDetection.nvInfo.connector = 0;
    return true;
}

}  // namespace

bool TvSettingDlg::CreateIntelObject() {
    if (FAILED(ole32::CoInitialize(nullptr))) return false;
    CLSID clsid{};
    if (FAILED(ole32::CLSIDFromProgID(kCuiExternalProgId, &clsid))) return false;  // no Intel driver here
    const HRESULT created = ole32::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                               IID_ICUIExternal, reinterpret_cast<void**>(&m_pCUIExternal));
    if (FAILED(created)) {
        // The driver is there but its object is not: the program ends once its loop runs.
        m_pCUIExternal = nullptr;
        ::PostQuitMessage(0);
        return false;
    }
    TvDetection.vendor = AdapterVendor::Intel;
    return true;
}

bool TvSettingDlg::DetectIntelConnector() {
    DWORD uid = 0;
    if (!GetMonitorUid(kTvDeviceType, &uid)) {
        AfxMessageBox("Intel:GetMonitorUid Fail");
        return false;
    }
    if (uid == 0) {
        AfxMessageBox("Intel:No TV Connected");
        return false;
    }
    // The error code starts as "not written": a driver that reports success but leaves its
    // outputs alone has answered nothing, which must not read as error 0 with type 0 (HDMI).
    DWORD type = 0, error = kErrorNotWritten;
    if (m_pCUIExternal && SUCCEEDED(m_pCUIExternal->QueryConnectorType(uid, &type, &error)) && error == 0)
        TvDetection.connector = TvConnectorFromIntelType(type);
    return true;
}

bool TvSettingDlg::DetectTvOutput() {
    if (LoadAtiPdl(&AtiPdl)) {
        QueryAtiConnector();
        return true;
    }
    FreeAtiPdl(&AtiPdl);
    TvDetection.vendor = AdapterVendor::Nvidia;
    if (CreateIntelObject()) return DetectIntelConnector();
    return DetectNvidia();
}
