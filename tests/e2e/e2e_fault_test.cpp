// Vendor drivers that misbehave: a call that crashes inside the driver, answers garbage, or
// answers only after 10 s. The real program on a Wine desktop of 1920 x 1080 with stand-in
// drivers; whatever happens, the desktop keeps the mode the user last accepted.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "e2e_support.h"
#include "resource.h"
#include "standin_install.h"

namespace {

constexpr DWORD kStartTimeoutMs = 20000;
constexpr const char* kQuestion = "Accept Now ?";
constexpr DWORD kAccessViolation = 0xC0000005;

using Scenario = std::vector<std::pair<const char*, const char*>>;

bool DesktopIsUnchanged() {
    const SIZE size = DesktopSize();
    return size.cx == 1920 && size.cy == 1080;
}

class DriverFaults : public testing::Test {
protected:
    void Apply(const Scenario& scenario) {
        for (const auto& [name, value] : scenario) m_drivers.Scenario(name, value);
    }
    void Clear(const Scenario& scenario) {
        for (const auto& entry : scenario) m_drivers.Scenario(entry.first, nullptr);
    }
    // An Intel adapter with a Component TV, and NvAPI beside it, which must not be asked.
    bool InstallIntelComponent() {
        if (!m_drivers.RegisterIntel() || !m_drivers.InstallNvapi()) return false;
        m_drivers.Scenario("ORVA_IGFX_DISPLAY1_0", "7,4,0");
        m_drivers.Scenario("ORVA_IGFX_CONNECTOR_TYPE", "32");
        return true;
    }
    static void Choose(HWND window, int id) { ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

    StandinDrivers m_drivers;
    StandinLog m_log;
};

// A crash inside the driver ends the program, as any crash does: nothing is caught. Every
// vendor call comes before the desktop is switched (at start-up, and the Intel TV parameters
// before the switch they prepare), so the desktop keeps its mode; and a new start works.
TEST_F(DriverFaults, ACrashInsideAVendorCallEndsTheProgramAndTheDesktopKeepsItsMode) {
    struct Row {
        const char* vendor;
        const char* call;
        bool whenApplying;  // the crash comes with the 720-line choice, not at start-up
    };
    // In this order: a registered Intel object hides NvAPI, and the ATI library hides both.
    const Row rows[] = {{"nvidia", "QueryTvOutputInfo", false},
                        {"intel", "QueryConnectorType", false},
                        {"intel", "ReadTvParameters", true},
                        {"ati", "GetConfiguration", false}};
    std::string installed;
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.vendor) + " " + row.call);
        const std::string vendor = row.vendor;
        if (vendor != installed) {
            ASSERT_TRUE(vendor == "intel" ? InstallIntelComponent()
                                          : vendor == "ati" ? m_drivers.InstallAti() : m_drivers.InstallNvapi());
            installed = vendor;
        }
        m_drivers.Scenario("ORVA_NV_CONNECTOR", "97");
        m_drivers.Scenario("ORVA_ATI_ANSWER", "2");
        m_drivers.Scenario("ORVA_FAULT_CALL", row.call);
        m_drivers.Scenario("ORVA_FAULT", "crash");
        m_log.Clear();
        ProgramUnderTest program;
        ASSERT_TRUE(program.Start());
        if (row.whenApplying) {
            HWND window = program.WaitForWindow(kDialogClass, kMainTitle, kStartTimeoutMs);
            ASSERT_NE(window, nullptr);
            Choose(window, IDC_720_SMALL);
        }
        const DWORD faulted = ::GetTickCount();
        ASSERT_TRUE(WaitUntil([this, &row] { return m_log.Count(std::string("fault ") + row.call + " crash") == 1; },
                              kStartTimeoutMs))
            << m_log.Text();
        EXPECT_TRUE(program.WaitForExit(kStartTimeoutMs));
        std::printf("%s %s: the program ended %lu ms after the crash, exit code %08lX\n", row.vendor, row.call,
                    static_cast<unsigned long>(::GetTickCount() - faulted), static_cast<unsigned long>(program.ExitCode()));
        EXPECT_EQ(program.ExitCode(), kAccessViolation);
        EXPECT_TRUE(DesktopIsUnchanged());
        EXPECT_EQ(::FindWindowA(kDialogClass, kMainTitle), nullptr) << "no window is left behind";
        if (row.whenApplying) {
            Settle(500);  // the desktop repaints where the window was
            SaveScreenshotArtifact("fault_after_crash_while_applying");
        }
        EXPECT_EQ(m_log.Count("WriteTvParameters"), 0u) << m_log.Text();
    }
    // The crashed copies took their single-instance name with them.
    m_drivers.Scenario("ORVA_FAULT", nullptr);
    ProgramUnderTest next;
    ASSERT_TRUE(next.Start());
    EXPECT_NE(next.WaitForWindow(kDialogClass, kMainTitle, kStartTimeoutMs), nullptr);
}

// Answers out of every range, counts far beyond the GPU array, outputs left as they came: the
// program shows the failure the answer amounts to, or nothing, keeps running, and a 720-line
// command changes nothing where no high-definition connector was recognised.
TEST_F(DriverFaults, GarbageAnswersGiveTheirDocumentedOutcomeAndChangeNothing) {
    struct Row {
        const char* name;
        Scenario scenario;
        std::vector<std::string> boxes;
        bool highDefinition;  // a high-definition connector was recognised
    };
    const Row rows[] = {
        {"ATI answer far out of range", {{"ORVA_ATI_ANSWER", "0x7FFFFFFF"}}, {}, false},
        {"ATI answer negative", {{"ORVA_ATI_ANSWER", "-1"}}, {}, false},
        {"NVIDIA code far out of range", {{"ORVA_NV_CONNECTOR", "0xFFFFFFFF"}}, {}, false},
        {"NVIDIA GPU count beyond the array", {{"ORVA_NV_CONNECTOR", "97"}, {"ORVA_NV_GPU_COUNT", "0xFFFFFFFF"}}, {},
         true},
        {"NVIDIA query fails but writes a code",
         {{"ORVA_NV_CONNECTOR", "97"}, {"ORVA_NV_STATUS_30C805D5", "-1"}, {"ORVA_NV_FAILED_WRITES", "1"}}, {}, false},
        {"NVIDIA outputs left unset", {{"ORVA_NV_CONNECTOR", "97"}, {"ORVA_NV_UNSET", "1"}},
         {"NvAPI_GetPhysicalGPUsFromDisplay fail"}, false},
        {"Intel connector query writes nothing", {{"ORVA_IGFX_CONNECTOR_STATUS", "unset"}}, {}, false},
        {"Intel connector type far out of range", {{"ORVA_IGFX_CONNECTOR_TYPE", "0xFFFFFFFF"}}, {}, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const bool intel = std::string(row.name).rfind("Intel", 0) == 0;
        const bool ati = std::string(row.name).rfind("ATI", 0) == 0;
        ASSERT_TRUE(!intel || m_drivers.RegisterIntel());
        ASSERT_TRUE(!ati || m_drivers.InstallAti());
        ASSERT_TRUE(m_drivers.InstallNvapi());
        m_drivers.Scenario("ORVA_IGFX_DISPLAY1_0", "7,4,0");
        Apply(row.scenario);
        m_log.Clear();
        ProgramUnderTest program;
        ASSERT_TRUE(program.Start());
        std::vector<std::string> texts;
        for (const MessageBoxSeen& box : AnswerStartupMessageBoxes(program, kStartTimeoutMs)) texts.push_back(box.text);
        EXPECT_EQ(texts, row.boxes);
        HWND window = program.WaitForWindow(kDialogClass, kMainTitle, kStartTimeoutMs);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(program.TopLevelWindows().size(), 1u);
        if (row.highDefinition) {
            EXPECT_GT(m_log.Count(intel ? "QueryConnectorType" : "nvapi QueryTvOutputInfo"), 0u) << m_log.Text();
        } else {
            Choose(window, IDC_720_SMALL);
            EXPECT_EQ(program.WaitForWindow(kDialogClass, kQuestion, 2500), nullptr) << m_log.Text();
        }
        EXPECT_TRUE(program.IsRunning());
        EXPECT_TRUE(DesktopIsUnchanged());
        Clear(row.scenario);
        if (intel) m_drivers.UnregisterIntel();
        if (ati) RemoveFromSystemDirectory("atipdlxx.dll");
    }
}

// The Intel driver takes 10 s to write the TV parameters: the switch waits for it (and the
// usual pause), then asks as always. A copy started meanwhile does not wait for the busy one.
TEST_F(DriverFaults, ASlowDriverDelaysTheSwitchAndASecondCopyStillEndsAtOnce) {
    ASSERT_TRUE(InstallIntelComponent());
    m_drivers.Scenario("ORVA_FAULT_CALL", "WriteTvParameters");
    m_drivers.Scenario("ORVA_FAULT", "delay:10000");
    ProgramUnderTest program;
    HWND window = StartAndWaitForMainWindow(program);
    ASSERT_NE(window, nullptr);
    const DWORD chosen = ::GetTickCount();
    Choose(window, IDC_720_SMALL);
    ASSERT_TRUE(WaitUntil([this] { return m_log.Count("fault WriteTvParameters delay") == 1; }, 5000)) << m_log.Text();

    EXPECT_LT(RunAnotherCopy(2000), 2000u) << "the second copy waits for the busy first one";
    SaveScreenshotArtifact("fault_second_copy_while_driver_is_slow");

    HWND box = program.WaitForWindow(kDialogClass, kQuestion, kStartTimeoutMs);
    ASSERT_NE(box, nullptr);
    std::printf("question %lu ms after the choice\n", static_cast<unsigned long>(::GetTickCount() - chosen));
    EXPECT_GE(::GetTickCount() - chosen, 13000u);
    EXPECT_EQ(DesktopSize().cx, 1280);
    ::SetForegroundWindow(box);
    Settle(200);
    PressKey(VK_RETURN);
    EXPECT_TRUE(WaitUntil([box] { return !::IsWindowVisible(box); }, 3000));
    EXPECT_EQ(m_log.Count("WriteTvParameters uid=7 size=320"), 1u) << m_log.Text();
}

}  // namespace
