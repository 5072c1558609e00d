// Detection as a user meets it: the real program started on a machine with one vendor's driver
// interface (a stand-in installed into the prefix's system directory, the Intel object
// registered there), its start-up messages read and answered, and the stand-ins' log showing
// what the program asked and what it left alone.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "nvapi_failures.h"
#include "standin_install.h"

namespace {

constexpr DWORD kStartTimeoutMs = 20000;

std::vector<std::string> Texts(const std::vector<MessageBoxSeen>& boxes) {
    std::vector<std::string> texts;
    for (const MessageBoxSeen& box : boxes) texts.push_back(box.text);
    return texts;
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class StartUpDetection : public testing::Test {
protected:
    void Scenario(const std::string& name, const char* value) { m_drivers.Scenario(name, value); }

    // What a start showed: the boxes answered before the main window came, the main window, and
    // the stand-ins' log as it was when the window became visible.
    struct Start {
        std::vector<MessageBoxSeen> boxes;
        HWND window = nullptr;
        std::string log;
    };
    Start StartProgram(ProgramUnderTest& program,
                       const std::function<void(HWND, const MessageBoxSeen&)>& onBox = nullptr) {
        m_log.Clear();
        Start start;
        if (!program.Start()) {
            ADD_FAILURE() << "the program did not start";
            return start;
        }
        start.boxes = AnswerStartupMessageBoxes(program, kStartTimeoutMs, onBox);
        start.log = m_log.Text();
        start.window = program.WaitForWindow(kDialogClass, kMainTitle, 0);
        return start;
    }

    StandinDrivers m_drivers;
    StandinLog m_log;
};

TEST_F(StartUpDetection, WithoutAnyVendorInterfaceBothNvidiaFailuresShowThenTheMainWindow) {
    ProgramUnderTest program;
    bool shot = false;
    const Start start = StartProgram(program, [&shot](HWND, const MessageBoxSeen& box) {
        if (box.text != "NvAPI_Initialize fail") return;
        Settle(500);  // painted
        SaveScreenshotArtifact("nvidia_failure");
        shot = true;
    });
    EXPECT_EQ(Texts(start.boxes),
              (std::vector<std::string>{"NvAPI_Initialize fail", "NvAPI_EnumNvidiaDisplayHandle fail"}));
    for (const MessageBoxSeen& box : start.boxes) EXPECT_EQ(box.caption, "ORVA TV Setting");
    EXPECT_TRUE(shot);
    EXPECT_NE(start.window, nullptr) << "no main window after the messages";
    EXPECT_TRUE(program.IsRunning());
}

// The ATI library answers: no message, the answer read once, the library unloaded before the
// window shows, and neither the Intel object nor NvAPI asked although both are there.
TEST_F(StartUpDetection, AnAtiAdapterIsAskedAloneAndItsLibraryIsGoneBeforeTheWindowShows) {
    ASSERT_TRUE(m_drivers.InstallAti());
    ASSERT_TRUE(m_drivers.InstallNvapi());
    ASSERT_TRUE(m_drivers.RegisterIntel());
    Scenario("ORVA_IGFX_DISPLAY1_0", "7,4,0");
    Scenario("ORVA_IGFX_CONNECTOR_TYPE", "32");
    for (const char* answer : {"2", "4", "3", static_cast<const char*>(nullptr)}) {
        SCOPED_TRACE(answer ? answer : "untouched");
        Scenario("ORVA_ATI_ANSWER", answer);
        ProgramUnderTest program;
        const Start start = StartProgram(program);
        EXPECT_TRUE(start.boxes.empty()) << start.boxes[0].text;
        ASSERT_NE(start.window, nullptr);
        EXPECT_EQ(m_log.Count("atipdl attach"), 1u) << start.log;
        EXPECT_TRUE(Contains(start.log, std::string("answer=") + (answer ? answer : "untouched"))) << start.log;
        EXPECT_TRUE(Contains(start.log, "atipdl detach")) << start.log;
        EXPECT_FALSE(Contains(start.log, "nvapi ")) << start.log;
        EXPECT_FALSE(Contains(start.log, "CreateInstance")) << start.log;
    }
}

// Every Intel connector type, and a failing query, come without a message; NvAPI is not asked.
TEST_F(StartUpDetection, AnIntelAdapterIsAskedForItsTvsConnectorWithoutAMessage) {
    ASSERT_TRUE(m_drivers.InstallNvapi());
    ASSERT_TRUE(m_drivers.RegisterIntel());
    Scenario("ORVA_IGFX_DISPLAY2_3", "1234,4,0");
    struct Row {
        const char* type;
        const char* hresult;
    };
    for (const Row& row : {Row{"2", "0"}, Row{"4", "0"}, Row{"32", "0"}, Row{"8", "0"}, Row{"32", "0x80004005"}}) {
        SCOPED_TRACE(testing::Message() << "type " << row.type << " hr " << row.hresult);
        Scenario("ORVA_IGFX_CONNECTOR_TYPE", row.type);
        Scenario("ORVA_IGFX_CONNECTOR_HRESULT", row.hresult);
        ProgramUnderTest program;
        const Start start = StartProgram(program);
        EXPECT_TRUE(start.boxes.empty()) << start.boxes[0].text;
        EXPECT_NE(start.window, nullptr);
        EXPECT_TRUE(Contains(start.log, "QueryConnectorType uid=1234 -> ")) << start.log;
        EXPECT_FALSE(Contains(start.log, "nvapi ")) << start.log;
    }
}

// Without an Intel class, NvAPI answers; no code, known or not, nor a failing TV-output query,
// brings a message.
TEST_F(StartUpDetection, AnNvidiaAdapterIsAskedForItsConnectorWithoutAMessage) {
    ASSERT_TRUE(m_drivers.InstallNvapi());
    struct Row {
        const char* connector;
        const char* queryStatus;
    };
    for (const Row& row : {Row{"16", "0"}, Row{"17", "0"}, Row{"19", "0"}, Row{"97", "0"}, Row{"18", "0"},
                           Row{"19", "-1"}}) {
        SCOPED_TRACE(testing::Message() << "code " << row.connector << " status " << row.queryStatus);
        Scenario("ORVA_NV_CONNECTOR", row.connector);
        Scenario("ORVA_NV_STATUS_30C805D5", row.queryStatus);
        ProgramUnderTest program;
        const Start start = StartProgram(program);
        EXPECT_TRUE(start.boxes.empty()) << start.boxes[0].text;
        EXPECT_NE(start.window, nullptr);
        const bool answers = row.queryStatus == std::string("0");
        const std::string answered = answers ? std::string("-> 0 connector=") + row.connector
                                             : std::string("-> ") + row.queryStatus;
        EXPECT_TRUE(Contains(start.log, "nvapi QueryTvOutputInfo")) << start.log;
        EXPECT_TRUE(Contains(start.log, answered)) << start.log;
    }
}

TEST_F(StartUpDetection, AnAtiLibraryLackingAnEntryPointIsReportedThenIntelAnswers) {
    ASSERT_TRUE(m_drivers.InstallAti("atipdl_first3.dll"));
    ASSERT_TRUE(m_drivers.InstallNvapi());
    ASSERT_TRUE(m_drivers.RegisterIntel());
    Scenario("ORVA_IGFX_DISPLAY1_0", "7,4,0");
    Scenario("ORVA_IGFX_CONNECTOR_TYPE", "4");
    ProgramUnderTest program;
    const Start start = StartProgram(program);
    ASSERT_EQ(start.boxes.size(), 1u);
    EXPECT_EQ(start.boxes[0].caption, "PDL Calls");
    EXPECT_EQ(start.boxes[0].text, "Could not find ATIDL_DDCBlockAccess()!");
    EXPECT_NE(start.window, nullptr);
    EXPECT_LT(start.log.find("atipdl detach"), start.log.find("CreateInstance -> hr=0x00000000")) << start.log;
    EXPECT_TRUE(Contains(start.log, "QueryConnectorType uid=7")) << start.log;
    EXPECT_FALSE(Contains(start.log, "nvapi ")) << start.log;
}

TEST_F(StartUpDetection, AnIntelAdapterWithoutATvSaysSoTwiceThenShowsTheMainWindow) {
    ASSERT_TRUE(m_drivers.InstallNvapi());
    ASSERT_TRUE(m_drivers.RegisterIntel());
    ProgramUnderTest program;
    const Start start = StartProgram(program);
    EXPECT_EQ(Texts(start.boxes), (std::vector<std::string>{"Requested Device Not Attached", "Intel:No TV Connected"}));
    EXPECT_NE(start.window, nullptr);
    EXPECT_FALSE(Contains(start.log, "QueryConnectorType")) << start.log;
    EXPECT_FALSE(Contains(start.log, "nvapi ")) << start.log;
}

// The Intel class is registered but its object cannot be made: NVIDIA is still asked, and the
// program then ends by itself without waiting for the user, whether NVIDIA answers or fails
// with its messages. (The main window may flash up for a moment: its template makes it visible
// as soon as its initialisation returns, before the loop takes the quit request.)
TEST_F(StartUpDetection, WhenTheIntelObjectCannotBeCreatedNvidiaIsAskedAndTheProgramEnds) {
    ASSERT_TRUE(m_drivers.RegisterIntel());
    Scenario("ORVA_IGFX_CREATE_FAIL", "1");
    Scenario("ORVA_NV_CONNECTOR", "19");
    for (const bool nvapiThere : {true, false}) {
        SCOPED_TRACE(nvapiThere ? "NVIDIA answers" : "no NvAPI");
        if (nvapiThere) {
            ASSERT_TRUE(m_drivers.InstallNvapi());
        } else {
            m_drivers.RemoveNvapi();
        }
        m_log.Clear();
        ProgramUnderTest program;
        ASSERT_TRUE(program.Start());
        // Nothing is pressed: a box or window waiting for the user would keep the program alive.
        EXPECT_TRUE(program.WaitForExit(kStartTimeoutMs)) << "still running after " << kStartTimeoutMs << " ms";
        const std::string log = m_log.Text();
        const size_t createFailed = log.find("CreateInstance -> hr=0x80004005");
        EXPECT_NE(createFailed, std::string::npos) << log;
        if (nvapiThere) {
            EXPECT_LT(createFailed, log.find("nvapi Initialize -> 0")) << log;
            EXPECT_TRUE(Contains(log, "nvapi QueryTvOutputInfo")) << log;
        }
    }
}

// Each NVIDIA call after the initialisation that fails shows its message; the main window follows.
TEST_F(StartUpDetection, AFailingNvidiaCallShowsItsMessageThenTheMainWindow) {
    ASSERT_TRUE(m_drivers.InstallNvapi());
    for (const NvapiFailure& row : kNvapiFailures) {
        SCOPED_TRACE(row.message);
        const std::string status = std::string("ORVA_NV_STATUS_") + row.failingId;
        Scenario(status, "-6");
        ProgramUnderTest program;
        const Start start = StartProgram(program);
        EXPECT_EQ(Texts(start.boxes), std::vector<std::string>{row.message});
        EXPECT_NE(start.window, nullptr);
        EXPECT_FALSE(Contains(start.log, row.notAsked)) << start.log;
        Scenario(status, nullptr);
    }
}

}  // namespace
