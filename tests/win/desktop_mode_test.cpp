// The main dialog's desktop mode changes against a fake display driver: what it switches to,
// stores and reverts, on every vendor's path, and what the user is told when the driver refuses.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "display/cui_external.h"
#include "display/tv_parameters.h"
#include "fake_display_settings.h"
#include "main_dialog/tv_setting_dlg.h"
#include "resource.h"
#include "win_test_support.h"

namespace {

CWinApp g_app("DesktopModeTests");

// Detection finds a quiet adapter: the ATI stand-in, which answers without any message. Each case
// then says which adapter the dialog has.
const bool g_quietAdapter = InstallIntoSystemDirectory(StandinPath("atipdlxx.dll"), "atipdlxx.dll");

constexpr const char* kNotStored =
    "The new resolution stays for now, but Windows did not store it: the previous resolution comes back at the next "
    "log-on.";
constexpr const char* kTvFormatMayStay = "\nThe TV format set for it may stay: choose the resolution again after the log-on.";

std::string NotReverted(const char* onScreen) {
    return std::string("The previous resolution could not be brought back: the screen stays at ") + onScreen +
           ".\nChoose another resolution here, or in the display settings of Windows.";
}

#define ORVA_UNUSED(position) \
    HRESULT STDMETHODCALLTYPE Unused##position() override { return E_NOTIMPL; }

// The Intel graphics object with a TV at the first place of "\\.\Display1"; it logs the reads and
// writes of its TV parameters, a write by the word 2 it sets or as "as read" when it hands back
// exactly what the driver read.
class FakeIntelObject : public ICUIExternal {
public:
    std::vector<std::string> calls;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE QueryDeviceAt(BSTR, DWORD index, DWORD* uid, DWORD* type, DWORD* status) override {
        if (index != 0) return S_OK;
        *uid = 7;
        *type = 4;  // a TV
        *status = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE QueryConnectorType(DWORD, DWORD* type, DWORD* status) override {
        *type = 32;  // Component
        *status = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ReadTvParameters(DWORD uid, DWORD size, BYTE* block, DWORD*) override {
        calls.push_back("read " + std::to_string(uid));
        for (DWORD i = 0; i < size; ++i) block[i] = DriverByte(i);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE WriteTvParameters(DWORD uid, DWORD size, BYTE* block, DWORD*) override {
        bool asRead = size == kTvParameterBlockSize;
        for (DWORD i = 0; i < size && asRead; ++i) asRead = block[i] == DriverByte(i);
        uint32_t word2 = 0;
        if (size >= 12) std::memcpy(&word2, block + 8, 4);
        char text[40];
        std::snprintf(text, sizeof text, asRead ? "write %lu as read" : "write %lu word2=%08X",
                      static_cast<unsigned long>(uid), word2);
        calls.push_back(text);
        return S_OK;
    }

private:
    static BYTE DriverByte(DWORD i) { return static_cast<BYTE>(i * 7 + 3); }

    ORVA_UNUSED(4) ORVA_UNUSED(5) ORVA_UNUSED(6) ORVA_UNUSED(7) ORVA_UNUSED(8) ORVA_UNUSED(9) ORVA_UNUSED(10)
    ORVA_UNUSED(11) ORVA_UNUSED(12) ORVA_UNUSED(14) ORVA_UNUSED(15) ORVA_UNUSED(16) ORVA_UNUSED(17)
    ORVA_UNUSED(18) ORVA_UNUSED(19) ORVA_UNUSED(20) ORVA_UNUSED(21) ORVA_UNUSED(22) ORVA_UNUSED(23)
    ORVA_UNUSED(24) ORVA_UNUSED(25) ORVA_UNUSED(26) ORVA_UNUSED(27) ORVA_UNUSED(28) ORVA_UNUSED(29)
    ORVA_UNUSED(30) ORVA_UNUSED(31) ORVA_UNUSED(32) ORVA_UNUSED(34) ORVA_UNUSED(35)
};
#undef ORVA_UNUSED

// The main dialog on a fake display driver and, for the Intel path, a fake Intel object.
class FakeDriverDialog : public TvSettingDlg {
public:
    FakeDriverDialog(DisplaySettings& settings, ICUIExternal* intel) {
        UseDisplaySettings(settings);
        m_pCUIExternal = intel;
    }
};

// The hint popup: a visible dialog of this thread named as the hint names itself when it shows a
// picture, or not named at all (message boxes and the main window have names of their own).
BOOL CALLBACK MatchHint(HWND window, LPARAM found) {
    char name[16] = {};
    ::GetClassNameA(window, name, sizeof name);
    char title[64] = {};
    ::GetWindowTextA(window, title, sizeof title);
    const bool hintTitle = !title[0] || std::strcmp(title, "Your TV can show HD formats") == 0;
    if (!::IsWindowVisible(window) || std::strcmp(name, "#32770") != 0 || !hintTitle) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// While it exists, closes the hint popup as soon as it shows, and remembers that it did.
class HintCloser {
public:
    HintCloser() : m_timer(::SetTimer(nullptr, 0, 30, OnTick)) { s_seen = false; }
    ~HintCloser() { ::KillTimer(nullptr, m_timer); }
    HintCloser(const HintCloser&) = delete;
    HintCloser& operator=(const HintCloser&) = delete;
    bool Seen() const { return s_seen; }

private:
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) {
        HWND hint = nullptr;
        ::EnumThreadWindows(::GetCurrentThreadId(), MatchHint, reinterpret_cast<LPARAM>(&hint));
        if (!hint) return;
        s_seen = true;
        ::PostMessageA(hint, WM_COMMAND, IDCANCEL, 0);
    }
    static inline bool s_seen = false;
    UINT_PTR m_timer;
};

void Command(CDialog& d, int id) { ::SendMessageA(d.m_hWnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

// One press of a resolution button on an adapter.
struct Press {
    TvDetectionResult adapter;
    bool intelObject;
    int button;
};

// What a press did: the driver's calls, the Intel object's, the boxes' texts, and whether the
// hint popup was shown (and closed by the test).
struct Outcome {
    std::vector<std::string> settingsCalls;
    std::vector<std::string> intelCalls;
    std::vector<std::string> told;  // the texts of the boxes other than the question
    bool asked = false;             // the question was answered within its time
    bool hintShown = false;
};

Outcome RunPress(FakeDisplaySettings& settings, const Press& press, const char* leaveAlone = "") {
    EXPECT_TRUE(g_quietAdapter);
    FakeIntelObject intel;
    MessageBoxWatcher watcher(leaveAlone);
    const HintCloser hints;
    FakeDriverDialog dialog(settings, press.intelObject ? &intel : nullptr);
    Outcome outcome;
    g_app.m_pMainWnd = &dialog;
    RunModalScript(dialog, {[&](CDialog& d) {
        TvDetection = press.adapter;
        Command(d, press.button);
        d.EndDialog(IDCANCEL);
    }});
    g_app.m_pMainWnd = nullptr;
    TvDetection = TvDetectionResult{};
    PumpMessagesFor(200);
    outcome.settingsCalls = settings.calls;
    outcome.intelCalls = intel.calls;
    outcome.hintShown = hints.Seen();
    for (const BoxSeen& box : watcher.Boxes()) {
        if (box.caption == "Accept Now ?") outcome.asked = true;
        else outcome.told.push_back(box.text);
    }
    return outcome;
}

using Calls = std::vector<std::string>;

TvDetectionResult Adapter(AdapterVendor vendor, TvConnector connector, uint32_t nvConnector = 0) {
    TvDetectionResult adapter;
    adapter.vendor = vendor;
    adapter.connector = connector;
    adapter.nvInfo.connector = nvConnector;
    return adapter;
}

// ---- Refused store and refused revert on every vendor's path -------------------------------------

// One vendor's path: the button pressed on its adapter and the mode its table switches to.
struct VendorPath {
    const char* name;
    Press press;
    DisplayMode chosen;
    const char* chosenText;  // the chosen mode as a message describes it
};

const VendorPath kVendorPaths[] = {
    {"Ati640", {Adapter(AdapterVendor::Ati, TvConnector::None), false, IDC_640}, {32, 640, 480, 30}, "640 x 480 at 30 Hz"},
    {"AtiHdmi720", {Adapter(AdapterVendor::Ati, TvConnector::Hdmi), false, IDC_720_SMALL}, {32, 1280, 720, 60},
     "1280 x 720 at 60 Hz"},
    // The TV format is rewritten before the switch, written back before the revert, and written
    // again when the revert fails and the unconfirmed mode stays.
    {"IntelComponent720", {Adapter(AdapterVendor::Intel, TvConnector::Component), true, IDC_720_SMALL},
     {32, 1280, 720, 60}, "1280 x 720 at 60 Hz"},
    {"NvidiaComponent1080", {Adapter(AdapterVendor::Nvidia, TvConnector::None, kNvComponent), false, IDC_1080_LARGE},
     {32, 1768, 992, 30}, "1768 x 992 at 30 Hz"},
    // No vendor interface answered: what remains is NVIDIA's table with no connector.
    {"NoVendor800", {Adapter(AdapterVendor::Nvidia, TvConnector::None), false, IDC_800}, {32, 800, 600, 60},
     "800 x 600 at 60 Hz"},
};

void PrintTo(const VendorPath& path, std::ostream* out) { *out << path.name; }

class RefusedOnEveryPath : public testing::TestWithParam<VendorPath> {};

INSTANTIATE_TEST_SUITE_P(Vendors, RefusedOnEveryPath, testing::ValuesIn(kVendorPaths),
                         [](const testing::TestParamInfo<VendorPath>& info) { return info.param.name; });

const Calls kIntelUpdate = {"read 7", "write 7 word2=08000000"};

// Accepted, but the system will not store it: the user is told it will not last, and on the
// Intel path that the TV format may stay. Nothing is reverted.
TEST_P(RefusedOnEveryPath, ARefusedStoreIsToldAndNothingIsReverted) {
    const VendorPath& path = GetParam();
    FakeDisplaySettings settings({path.chosen});
    settings.refuseStore = true;
    const Outcome outcome = RunPress(settings, path.press);  // the watcher accepts the question
    const std::string chosen = FakeDisplaySettings::Describe(path.chosen);
    EXPECT_EQ(outcome.settingsCalls, (Calls{"switch " + chosen, "store " + chosen}));
    EXPECT_TRUE(outcome.asked);
    EXPECT_EQ(outcome.told, Calls{std::string(kNotStored) + (path.press.intelObject ? kTvFormatMayStay : "")});
    EXPECT_EQ(outcome.intelCalls, path.press.intelObject ? kIntelUpdate : Calls{});
    EXPECT_FALSE(outcome.hintShown);
}

// Nobody answers, and the driver refuses the saved mode and the stored one: the user is told
// which mode stays. On the Intel path the TV gets the format of the mode that stays.
TEST_P(RefusedOnEveryPath, ARefusedRevertIsToldWithTheModeThatStays) {
    const VendorPath& path = GetParam();
    FakeDisplaySettings settings({path.chosen});
    settings.switchesAllowed = 1;
    settings.refuseStoredMode = true;
    const Outcome outcome = RunPress(settings, path.press, "Accept Now ?");
    EXPECT_EQ(outcome.settingsCalls,
              (Calls{"switch " + FakeDisplaySettings::Describe(path.chosen), "switch 1920x1080x32@60", "stored mode"}));
    EXPECT_EQ(outcome.told, Calls{NotReverted(path.chosenText)});
    const Calls intelAll = {"read 7", "write 7 word2=08000000", "write 7 as read", "read 7", "write 7 word2=08000000"};
    EXPECT_EQ(outcome.intelCalls, path.press.intelObject ? intelAll : Calls{});
}

// A revert the driver refuses for the saved mode but makes to the stored one tells nothing; the
// TV keeps the format it had.
TEST(DesktopMode, ARevertToTheStoredModeIsSilent) {
    const VendorPath& intel = kVendorPaths[2];
    FakeDisplaySettings settings({intel.chosen});
    settings.switchesAllowed = 1;
    const Outcome outcome = RunPress(settings, intel.press, "Accept Now ?");
    EXPECT_EQ(outcome.settingsCalls, (Calls{"switch 1280x720x32@60", "switch 1920x1080x32@60", "stored mode"}));
    EXPECT_TRUE(outcome.told.empty());
    EXPECT_EQ(outcome.intelCalls, (Calls{"read 7", "write 7 word2=08000000", "write 7 as read"}));
}

// ---- Modes the driver lists only at another rate or depth --------------------------------------

// The exact mode is not listed: nothing is switched for good and nothing asked. The ATI path
// tries it for now and shows the hint when that is refused; the Intel path leaves the TV alone.
TEST(DesktopMode, AModeListedOnlyAtAnotherRateOrDepthIsNotSwitchedTo) {
    const TvDetectionResult atiHdmi = Adapter(AdapterVendor::Ati, TvConnector::Hdmi);
    const TvDetectionResult intelComponent = Adapter(AdapterVendor::Intel, TvConnector::Component);
    const TvDetectionResult nvHdmi = Adapter(AdapterVendor::Nvidia, TvConnector::None, kNvHdmi);
    struct Row {
        const char* name;
        Press press;
        DisplayMode listedInstead;
        bool refuseTemporary;
        Calls settingsCalls;
        bool hintShown;
    };
    const Row rows[] = {
        {"ATI, 59 Hz, the temporary try made", {atiHdmi, false, IDC_720_SMALL}, {32, 1280, 720, 59}, false,
         {"temporary 1280x720x32@60"}, false},
        {"ATI, 16 bits, the temporary try refused", {atiHdmi, false, IDC_720_SMALL}, {16, 1280, 720, 60}, true,
         {"temporary 1280x720x32@60"}, true},
        {"Intel, 59 Hz", {intelComponent, true, IDC_720_SMALL}, {32, 1280, 720, 59}, false, {}, false},
        {"NVIDIA, 16 bits", {nvHdmi, false, IDC_720_SMALL}, {16, 1280, 720, 60}, false, {}, false},
        {"NVIDIA, 24 bits at 30 Hz", {nvHdmi, false, IDC_1080_SMALL}, {24, 1920, 1080, 30}, false, {}, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FakeDisplaySettings settings({row.listedInstead});
        settings.refuseTemporary = row.refuseTemporary;
        const Outcome outcome = RunPress(settings, row.press);
        EXPECT_EQ(outcome.settingsCalls, row.settingsCalls);
        EXPECT_EQ(outcome.hintShown, row.hintShown);
        EXPECT_FALSE(outcome.asked);
        EXPECT_TRUE(outcome.told.empty()) << "a refusal is told beside the button, not in a box";
        EXPECT_TRUE(outcome.intelCalls.empty());
    }
}

// A listed mode the driver refuses switches nothing, asks nothing and leaves the TV as it was.
TEST(DesktopMode, AListedModeTheDriverRefusesAsksNothingAndPutsTheTvBack) {
    const VendorPath& intel = kVendorPaths[2];
    FakeDisplaySettings settings({intel.chosen});
    settings.switchesAllowed = 0;
    const Outcome outcome = RunPress(settings, intel.press);
    EXPECT_EQ(outcome.settingsCalls, Calls{"switch 1280x720x32@60"});
    EXPECT_FALSE(outcome.asked);
    EXPECT_EQ(outcome.intelCalls, (Calls{"read 7", "write 7 word2=08000000", "write 7 as read"}));
}

}  // namespace
