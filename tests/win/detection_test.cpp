// Detection of the vendor interface and the TV connector, run in process against the stand-in
// drivers: ATI's library and NvAPI installed into the prefix's system directory, the Intel
// object registered there. The stand-ins' log shows what detection asked and what it left alone.
//
// COM, an initialised NvAPI and the Intel object's library stay for the whole process. ctest
// runs every case in a process of its own; run all at once, the cases come in an order in
// which each finds what it needs: ATI and the multithreaded COM before COM is initialised,
// NVIDIA's failed initialisation before it succeeds, Intel before NvAPI is loaded.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "nvapi_failures.h"
#include "display/cui_external.h"
#include "main_dialog/tv_setting_dlg.h"
#include "win_test_support.h"

namespace {

CWinApp g_app("DetectionTests");

// The dialog's detection, reachable from a test; no window is needed for it.
class DetectingDialog : public TvSettingDlg {
public:
    using TvSettingDlg::DetectTvOutput;
    ICUIExternal* IntelObject() const { return m_pCUIExternal; }
    // The program holds the Intel object for its whole run; a test gives it back.
    ~DetectingDialog() override {
        if (m_pCUIExternal) m_pCUIExternal->Release();
    }
};

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class DetectionTest : public testing::Test {
protected:
    void SetUp() override { TvDetection = TvDetectionResult{}; }
    void TearDown() override {
        // Only the case about the Intel object's failure expects a quit request, and takes it.
        MSG quit;
        EXPECT_FALSE(::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "an unexpected quit request";
        TvDetection = TvDetectionResult{};
    }

    void Scenario(const std::string& name, const char* value) { m_drivers.Scenario(name, value); }
    // The Intel TV device, as the first device of "\\.\Display1".
    void PutIntelTv(const char* uid) { Scenario("ORVA_IGFX_DISPLAY1_0", (std::string(uid) + ",4,0").c_str()); }

    // Runs the dialog's detection with an empty log; the boxes it shows are read and answered.
    bool Detect(DetectingDialog& dialog) {
        m_log.Clear();
        m_boxes.reset();  // one watcher at a time
        m_boxes = std::make_unique<MessageBoxWatcher>();
        return dialog.DetectTvOutput();
    }
    std::vector<std::string> Texts() const { return m_boxes->Texts(); }
    bool NvidiaAsked() const { return m_log.Count("nvapi ") > 0; }

    StandinDrivers m_drivers;
    StandinLog m_log;
    std::unique_ptr<MessageBoxWatcher> m_boxes;
};

// ---- ATI -----------------------------------------------------------------------------------------

// Whatever the library answers is kept as it is, its result is not looked at, and it is unloaded
// again; neither COM nor NvAPI is touched, although both are there.
TEST_F(DetectionTest, TheAtiAnswerIsKeptUnchangedAndNothingElseIsAsked) {
    ASSERT_TRUE(m_drivers.InstallAti());
    ASSERT_TRUE(m_drivers.InstallNvapi());
    ASSERT_TRUE(m_drivers.RegisterIntel());
    PutIntelTv("7");
    struct Row {
        const char* answer;  // null: the library leaves the answer alone
        const char* result;
        int stored;
    };
    const Row rows[] = {{"2", "0", 2}, {"4", "0", 4}, {nullptr, "0", 0}, {"1", "0", 1},
                        {"3", "0", 3}, {"7", "0", 7}, {"2", "-1", 2}};
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "answer " << (row.answer ? row.answer : "untouched") << " result "
                                        << row.result);
        if (row.answer) Scenario("ORVA_ATI_ANSWER", row.answer);
        Scenario("ORVA_ATI_RESULT", row.result);
        TvDetection = TvDetectionResult{};
        DetectingDialog dialog;
        EXPECT_TRUE(Detect(dialog));
        EXPECT_TRUE(Texts().empty());
        EXPECT_EQ(TvDetection.vendor, AdapterVendor::Ati);
        EXPECT_EQ(static_cast<int>(TvDetection.connector), row.stored);
        EXPECT_EQ(dialog.IntelObject(), nullptr);

        const std::vector<std::string> log = m_log.Lines();
        ASSERT_EQ(log.size(), 3u) << m_log.Text();
        EXPECT_TRUE(Contains(log[0], "atipdl attach ")) << log[0];
        EXPECT_TRUE(Contains(log[1], "atipdl GetConfiguration 0 8 ")) << log[1];
        EXPECT_TRUE(Contains(log[1], row.answer ? std::string("answer=") + row.answer : "answer=untouched")) << log[1];
        EXPECT_TRUE(Contains(log[2], "atipdl detach ")) << log[2];
        EXPECT_EQ(::GetModuleHandleA("atipdlxx.dll"), nullptr);
        Scenario("ORVA_ATI_ANSWER", nullptr);
    }
    EXPECT_EQ(::GetModuleHandleA("nvapi.dll"), nullptr);
    EXPECT_EQ(::GetModuleHandleA("igfxstandin.dll"), nullptr);
    // COM was never initialised on this thread: the first initialisation is this one.
    EXPECT_EQ(::CoInitialize(nullptr), S_OK);
    ::CoUninitialize();
}

// ---- COM that cannot be initialised ------------------------------------------------------------

// COM already runs in the multithreaded model on this thread, so it cannot be initialised for
// the Intel object: the object, although registered, is passed over without a word.
TEST_F(DetectionTest, WhenComCannotBeInitialisedTheIntelObjectIsPassedOverSilently) {
    ASSERT_TRUE(m_drivers.RegisterIntel());
    PutIntelTv("7");
    ASSERT_EQ(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    DetectingDialog dialog;
    EXPECT_FALSE(Detect(dialog));
    ::CoUninitialize();
    EXPECT_EQ(Texts(), (std::vector<std::string>{"NvAPI_Initialize fail", "NvAPI_EnumNvidiaDisplayHandle fail"}));
    EXPECT_EQ(TvDetection.vendor, AdapterVendor::Nvidia);
    EXPECT_EQ(dialog.IntelObject(), nullptr);
    EXPECT_EQ(m_log.Count("CreateInstance"), 0u) << m_log.Text();
}

// ---- NvAPI never initialised -----------------------------------------------------------------

// Without nvapi.dll, and with one whose initialise function fails, every NvAPI call says "not
// initialised": the user sees both failures in order, and detection stops.
TEST_F(DetectionTest, WithoutAnyVendorInterfaceBothNvidiaFailuresShowAndDetectionStops) {
    for (const bool nvapiThere : {false, true}) {
        SCOPED_TRACE(nvapiThere ? "nvapi.dll whose initialise fails" : "no driver library at all");
        if (nvapiThere) {
            ASSERT_TRUE(m_drivers.InstallNvapi());
            Scenario("ORVA_NV_STATUS_0150E828", "-1");
        }
        TvDetection = TvDetectionResult{};
        DetectingDialog dialog;
        EXPECT_FALSE(Detect(dialog));
        EXPECT_EQ(Texts(), (std::vector<std::string>{"NvAPI_Initialize fail", "NvAPI_EnumNvidiaDisplayHandle fail"}));
        for (const BoxSeen& box : m_boxes->Boxes()) EXPECT_EQ(box.owner, nullptr) << box.text;
        EXPECT_EQ(TvDetection.vendor, AdapterVendor::Nvidia);
        EXPECT_EQ(TvDetection.connector, TvConnector::None);
        EXPECT_EQ(TvDetection.nvInfo.connector, 0u);
        EXPECT_EQ(dialog.IntelObject(), nullptr);
        // The driver was asked to initialise and nothing after that reached it.
        EXPECT_EQ(m_log.Count("nvapi Initialize -> -1"), nvapiThere ? 1u : 0u) << m_log.Text();
        EXPECT_EQ(m_log.Count("nvapi EnumNvidiaDisplayHandle"), 0u) << m_log.Text();
    }
}

// ---- Intel ---------------------------------------------------------------------------------------

// The connector type of the TV device found: 2, 4 and 32 are named, every other type is HDMI, and
// a query that fails or reports an error leaves the connector undetermined. NVIDIA is not asked.
TEST_F(DetectionTest, TheIntelConnectorTypeGivesTheConnector) {
    ASSERT_TRUE(m_drivers.InstallNvapi());
    ASSERT_TRUE(m_drivers.RegisterIntel());
    Scenario("ORVA_IGFX_DISPLAY1_0", "11,1,0");    // not a TV
    Scenario("ORVA_IGFX_DISPLAY2_1", "1234,4,0");  // the TV
    struct Row {
        const char* type;
        const char* status;
        const char* hresult;
        TvConnector stored;
    };
    const Row rows[] = {
        {"2", "0", "0", TvConnector::SVideo},
        {"4", "0", "0", TvConnector::Composite},
        {"32", "0", "0", TvConnector::Component},
        {"8", "0", "0", TvConnector::Hdmi},
        {"0", "0", "0", TvConnector::Hdmi},
        {"4", "0", "1", TvConnector::Composite},       // S_FALSE still succeeds
        {"32", "0", "0x80004005", TvConnector::None},  // the query failed
        {"32", "3", "0", TvConnector::None},           // it reported an error
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "type " << row.type << " status " << row.status << " hr " << row.hresult);
        Scenario("ORVA_IGFX_CONNECTOR_TYPE", row.type);
        Scenario("ORVA_IGFX_CONNECTOR_STATUS", row.status);
        Scenario("ORVA_IGFX_CONNECTOR_HRESULT", row.hresult);
        TvDetection = TvDetectionResult{};
        DetectingDialog dialog;
        EXPECT_TRUE(Detect(dialog));
        EXPECT_TRUE(Texts().empty()) << Texts()[0];
        EXPECT_EQ(TvDetection.vendor, AdapterVendor::Intel);
        EXPECT_EQ(TvDetection.connector, row.stored);
        EXPECT_NE(dialog.IntelObject(), nullptr);
        // The query went to the TV that was found, once.
        EXPECT_EQ(m_log.Count("QueryConnectorType uid=1234 -> "), 1u) << m_log.Text();
        EXPECT_EQ(m_log.Count("QueryConnectorType"), 1u) << m_log.Text();
        EXPECT_FALSE(NvidiaAsked()) << m_log.Text();
    }
    EXPECT_EQ(::GetModuleHandleA("nvapi.dll"), nullptr);
}

TEST_F(DetectionTest, AnIntelAdapterWithoutATvSaysSoTwiceAndDetectionStops) {
    ASSERT_TRUE(m_drivers.InstallNvapi());
    ASSERT_TRUE(m_drivers.RegisterIntel());
    Scenario("ORVA_IGFX_DISPLAY1_0", "11,1,0");
    Scenario("ORVA_IGFX_DISPLAY2_0", "12,4,1");  // a TV that is to be passed over
    Scenario("ORVA_IGFX_CONNECTOR_TYPE", "32");
    DetectingDialog dialog;
    EXPECT_FALSE(Detect(dialog));
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Requested Device Not Attached", "Intel:No TV Connected"}));
    EXPECT_EQ(TvDetection.vendor, AdapterVendor::Intel);
    EXPECT_EQ(TvDetection.connector, TvConnector::None);
    EXPECT_EQ(m_log.Count("QueryDeviceAt"), 8u) << m_log.Text();
    EXPECT_EQ(m_log.Count("QueryConnectorType"), 0u) << m_log.Text();
    EXPECT_FALSE(NvidiaAsked()) << m_log.Text();
}

// The class is registered but its object cannot be made: the program is to end, but NVIDIA is
// asked all the same, and its answer is kept.
TEST_F(DetectionTest, AnIntelObjectThatCannotBeCreatedPostsAQuitAndNvidiaIsStillAsked) {
    ASSERT_TRUE(m_drivers.InstallNvapi());
    ASSERT_TRUE(m_drivers.RegisterIntel());
    Scenario("ORVA_IGFX_CREATE_FAIL", "1");
    Scenario("ORVA_NV_CONNECTOR", "97");
    DetectingDialog dialog;
    EXPECT_TRUE(Detect(dialog));
    EXPECT_TRUE(Texts().empty());
    MSG quit{};
    ASSERT_TRUE(::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "no quit request";
    EXPECT_EQ(quit.wParam, 0u);
    EXPECT_EQ(dialog.IntelObject(), nullptr);
    EXPECT_EQ(TvDetection.vendor, AdapterVendor::Nvidia);
    EXPECT_EQ(TvDetection.nvInfo.connector, 97u);
    EXPECT_LT(m_log.Find("CreateInstance -> hr=0x80004005"), m_log.Find("nvapi Initialize -> 0")) << m_log.Text();
    EXPECT_EQ(m_log.Count("QueryDeviceAt"), 0u) << m_log.Text();
}

// ---- ATI, then the others ----------------------------------------------------------------------

// A library that lacks an entry point is reported, unloaded, and passed over: the Intel object
// answers; without it, NVIDIA does.
TEST_F(DetectionTest, AnAtiLibraryLackingAnEntryPointIsReportedFreedAndIntelThenNvidiaAsked) {
    ASSERT_TRUE(m_drivers.InstallAti("atipdl_first3.dll"));
    ASSERT_TRUE(m_drivers.InstallNvapi());
    ASSERT_TRUE(m_drivers.RegisterIntel());
    PutIntelTv("7");
    Scenario("ORVA_IGFX_CONNECTOR_TYPE", "32");
    Scenario("ORVA_NV_CONNECTOR", "19");
    {
        DetectingDialog dialog;
        EXPECT_TRUE(Detect(dialog));
        ASSERT_EQ(m_boxes->Boxes().size(), 1u);
        EXPECT_EQ(m_boxes->Boxes()[0].caption, "PDL Calls");
        EXPECT_EQ(m_boxes->Boxes()[0].text, "Could not find ATIDL_DDCBlockAccess()!");
        EXPECT_EQ(TvDetection.vendor, AdapterVendor::Intel);
        EXPECT_EQ(TvDetection.connector, TvConnector::Component);
        EXPECT_EQ(::GetModuleHandleA("atipdlxx.dll"), nullptr);
        EXPECT_EQ(m_log.Count("atipdl GetConfiguration"), 0u) << m_log.Text();
        EXPECT_LT(m_log.Find("atipdl detach"), m_log.Find("CreateInstance -> hr=0x00000000")) << m_log.Text();
        EXPECT_FALSE(NvidiaAsked()) << m_log.Text();
    }
    EXPECT_TRUE(m_drivers.UnregisterIntel());
    TvDetection = TvDetectionResult{};
    DetectingDialog dialog;
    EXPECT_TRUE(Detect(dialog));
    EXPECT_EQ(Texts(), std::vector<std::string>{"Could not find ATIDL_DDCBlockAccess()!"});
    EXPECT_EQ(TvDetection.vendor, AdapterVendor::Nvidia);
    EXPECT_EQ(TvDetection.nvInfo.connector, 19u);
    EXPECT_EQ(m_log.Count("CreateInstance"), 0u) << m_log.Text();
    EXPECT_LT(m_log.Find("atipdl detach"), m_log.Find("nvapi Initialize")) << m_log.Text();
}

// ---- NVIDIA --------------------------------------------------------------------------------------

// With no Intel class registered, NVIDIA answers. Its connector code is kept as reported, known
// or not; a failing TV-output query is no error and leaves the code alone.
TEST_F(DetectionTest, TheNvidiaConnectorCodeIsKeptAsReported) {
    ASSERT_TRUE(m_drivers.InstallNvapi());
    Scenario("ORVA_NV_OUTPUT_MASK", "0x00020000");
    struct Row {
        const char* name;
        const char* connector;
        const char* queryStatus;
        const char* offer;  // null: everything
        uint32_t stored;
    };
    const Row rows[] = {
        {"Composite", "16", "0", nullptr, 16},
        {"S-Video", "17", "0", nullptr, 17},
        {"Component", "19", "0", nullptr, 19},
        {"HDMI", "97", "0", nullptr, 97},
        {"an unknown code", "18", "0", nullptr, 18},
        {"the query fails", "19", "-1", nullptr, 0},
        {"the driver lacks the query", "19", "0", "0150E828,9ABDD40D,34EF9506,E3E89B6F", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Scenario("ORVA_NV_CONNECTOR", row.connector);
        Scenario("ORVA_NV_STATUS_30C805D5", row.queryStatus);
        if (row.offer) Scenario("ORVA_NV_OFFER", row.offer);
        TvDetection = TvDetectionResult{};
        DetectingDialog dialog;
        EXPECT_TRUE(Detect(dialog));
        EXPECT_TRUE(Texts().empty()) << Texts()[0];
        EXPECT_EQ(TvDetection.vendor, AdapterVendor::Nvidia);
        EXPECT_EQ(TvDetection.connector, TvConnector::None);
        EXPECT_EQ(TvDetection.nvInfo.connector, row.stored);
        EXPECT_EQ(TvDetection.nvInfo.version, kNvTvOutputInfoVersion);
        // The query got the first GPU's output mask (the stand-in refuses handles it did not hand
        // out, and a record of another version).
        EXPECT_EQ(m_log.Count("nvapi QueryTvOutputInfo"), row.offer ? 0u : 1u) << m_log.Text();
        if (!row.offer) {
            EXPECT_TRUE(Contains(m_log.Text(), "mask=00020000 version=00010010 -> " + std::string(row.queryStatus)))
                << m_log.Text();
        }
        Scenario("ORVA_NV_OFFER", nullptr);
    }
    // Detection initialised COM on this thread, in the single-threaded model.
    EXPECT_EQ(::CoInitialize(nullptr), S_FALSE);
    ::CoUninitialize();
}

// Each failing call after the initialisation shows its message, and nothing after it is asked.
TEST_F(DetectionTest, AFailingNvidiaCallShowsItsMessageAndDetectionStops) {
    ASSERT_TRUE(m_drivers.InstallNvapi());
    Scenario("ORVA_NV_CONNECTOR", "19");
    for (const NvapiFailure& row : kNvapiFailures) {
        SCOPED_TRACE(row.message);
        const std::string status = std::string("ORVA_NV_STATUS_") + row.failingId;
        Scenario(status, "-6");
        TvDetection = TvDetectionResult{};
        DetectingDialog dialog;
        EXPECT_FALSE(Detect(dialog));
        EXPECT_EQ(Texts(), std::vector<std::string>{row.message});
        EXPECT_EQ(TvDetection.vendor, AdapterVendor::Nvidia);
        EXPECT_EQ(TvDetection.nvInfo.connector, 0u);
        EXPECT_EQ(m_log.Count("nvapi Initialize -> 0"), 1u) << m_log.Text();
        EXPECT_EQ(m_log.Count(row.notAsked), 0u) << m_log.Text();
        Scenario(status, nullptr);
    }
}

}  // namespace
