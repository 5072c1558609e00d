// The ATI display library and NvAPI bindings against the stand-in driver libraries, installed
// into the prefix's system directory where the drivers install theirs.
//
// NvAPI keeps process-wide state (initialised or not, the bound table, the loaded library).
// ctest runs every case in a process of its own; when the whole program runs at once, the
// cases before initialising come first in this file and expect nothing to be initialised,
// and the initialised cases after them each initialise again with their own scenario.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "display/ati_pdl.h"
#include "display/nvapi_binding.h"
#include "framework/system_library.h"
#include "win_test_support.h"

namespace {

const char* const kAtiNames[] = {"EnumDisplays",         "GetConnectedDisplays",         "ATIDL_GetAdapterID",
                                 "ATIDL_DDCBlockAccess", "ATIDL_DisplayGetDeviceConfig", "GetConfiguration"};

std::string SystemDirectoryPath(const char* name) {
    char folder[MAX_PATH] = {};
    ::GetSystemDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\" + name;
}

std::string TempPath(const char* name) {
    char folder[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name;
}

bool SameText(const std::string& a, const std::string& b) { return ::lstrcmpiA(a.c_str(), b.c_str()) == 0; }

bool StartsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }

// Every case gets an empty stand-in log and no scenario variables of an earlier case.
class StandinTest : public testing::Test {
protected:
    void SetUp() override {
        ::DeleteFileA(logPath_.c_str());
        ::SetEnvironmentVariableA("ORVA_STANDIN_LOG", logPath_.c_str());
    }
    void TearDown() override {
        for (const std::string& name : scenario_) ::SetEnvironmentVariableA(name.c_str(), nullptr);
        ::SetEnvironmentVariableA("ORVA_STANDIN_LOG", nullptr);
        ::DeleteFileA(logPath_.c_str());
    }

    void SetScenario(const std::string& name, const std::string& value) {
        ::SetEnvironmentVariableA(name.c_str(), value.c_str());
        scenario_.push_back(name);
    }
    void ClearScenario(const std::string& name) { ::SetEnvironmentVariableA(name.c_str(), nullptr); }
    void ClearLog() { ::DeleteFileA(logPath_.c_str()); }

    std::vector<std::string> LogLines() const {
        std::ifstream file(logPath_);
        std::vector<std::string> lines;
        for (std::string line; std::getline(file, line);) lines.push_back(line);
        return lines;
    }
    size_t LogCount(const std::string& start) const {
        size_t count = 0;
        for (const std::string& line : LogLines()) count += StartsWith(line, start);
        return count;
    }
    std::string LogText() const {
        std::string text;
        for (const std::string& line : LogLines()) text += line + "\n";
        return text;
    }

private:
    std::string logPath_ = TempPath("orva_standin.log");
    std::vector<std::string> scenario_;
};

// Copies of a library under its driver name beside the test program and in a temporary
// working folder, which becomes the current directory until the copies go again.
class PlantedCopies {
public:
    PlantedCopies(const std::string& source, const char* name)
        : besideProgram_(ModuleFolder() + "\\" + name), folder_(TempPath("orva_working_folder")),
          inFolder_(folder_ + "\\" + name) {
        ::GetCurrentDirectoryA(MAX_PATH, previous_);
        ::CreateDirectoryA(folder_.c_str(), nullptr);
        planted_ = ::CopyFileA(source.c_str(), besideProgram_.c_str(), FALSE) &&
                   ::CopyFileA(source.c_str(), inFolder_.c_str(), FALSE) && ::SetCurrentDirectoryA(folder_.c_str());
    }
    ~PlantedCopies() {
        ::SetCurrentDirectoryA(previous_);
        ::DeleteFileA(besideProgram_.c_str());
        ::DeleteFileA(inFolder_.c_str());
        ::RemoveDirectoryA(folder_.c_str());
    }
    bool planted() const { return planted_; }

private:
    std::string besideProgram_, folder_, inFolder_;
    char previous_[MAX_PATH] = {};
    bool planted_ = false;
};

// The slot of the test program's import table through which it calls user32's MessageBoxA.
ULONG_PTR* MessageBoxImportSlot() {
    auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleA(nullptr));
    const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); dll->Name; ++dll) {
        if (::lstrcmpiA(reinterpret_cast<char*>(base + dll->Name), "user32.dll") != 0) continue;
        auto* name = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->OriginalFirstThunk);
        auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
        for (; name->u1.AddressOfData; ++name, ++slot) {
            if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal)) continue;
            const auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData);
            if (std::string(reinterpret_cast<const char*>(byName->Name)) == "MessageBoxA")
                return reinterpret_cast<ULONG_PTR*>(&slot->u1.Function);
        }
    }
    return nullptr;
}

// Records the style of each MessageBoxA call of this program as it is made: Wine's boxes do not
// show MB_TOPMOST in their window style, so the shown box cannot tell.
class MessageBoxStyles {
public:
    MessageBoxStyles() : slot_(MessageBoxImportSlot()) {
        s_styles.clear();
        if (slot_) s_real = reinterpret_cast<decltype(&::MessageBoxA)>(*slot_);
        if (slot_) WriteSlot(reinterpret_cast<ULONG_PTR>(&Recording));
    }
    ~MessageBoxStyles() {
        if (slot_) WriteSlot(reinterpret_cast<ULONG_PTR>(s_real));
    }
    bool hooked() const { return slot_ != nullptr; }
    const std::vector<UINT>& styles() const { return s_styles; }

private:
    void WriteSlot(ULONG_PTR value) {
        DWORD previous = 0;
        ::VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &previous);
        *slot_ = value;
        ::VirtualProtect(slot_, sizeof *slot_, previous, &previous);
    }
    static int WINAPI Recording(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
        s_styles.push_back(style);
        return s_real(owner, text, caption, style);
    }

    ULONG_PTR* slot_;
    static inline decltype(&::MessageBoxA) s_real = nullptr;
    static inline std::vector<UINT> s_styles;
};

// ---- ATI display library -------------------------------------------------------------------

class AtiPdlTest : public StandinTest {
protected:
    void TearDown() override {
        FreeAtiPdl(&binding_);
        RemoveFromSystemDirectory("atipdlxx.dll");
        StandinTest::TearDown();
    }
    // Installs a build of the stand-in under the driver's name.
    bool Install(const char* variant) { return InstallIntoSystemDirectory(StandinPath(variant), "atipdlxx.dll"); }
    static bool Loaded() { return ::GetModuleHandleA("atipdlxx.dll") != nullptr; }
    // The six entry-point fields in lookup order, and a library's export, as plain addresses.
    static std::vector<void*> Fields(const AtiPdlBinding& b) {
        return {reinterpret_cast<void*>(b.EnumDisplays),         reinterpret_cast<void*>(b.GetConnectedDisplays),
                reinterpret_cast<void*>(b.ATIDL_GetAdapterID),   reinterpret_cast<void*>(b.ATIDL_DDCBlockAccess),
                reinterpret_cast<void*>(b.ATIDL_DisplayGetDeviceConfig), reinterpret_cast<void*>(b.GetConfiguration)};
    }
    static void* Export(HMODULE module, const char* name) {
        return reinterpret_cast<void*>(::GetProcAddress(module, name));
    }

    AtiPdlBinding binding_;
};

TEST_F(AtiPdlTest, WithoutTheLibraryFailsSilently) {
    MessageBoxWatcher watcher;
    EXPECT_FALSE(LoadAtiPdl(&binding_));
    EXPECT_EQ(binding_.module, nullptr);
    EXPECT_FALSE(LoadAtiPdl(nullptr));
    FreeAtiPdl(nullptr);
    FreeAtiPdl(&binding_);
    PumpMessagesFor(300);
    EXPECT_TRUE(watcher.Boxes().empty());
}

TEST_F(AtiPdlTest, LoadsAllSixEntryPointsReadsTheAnswerAndUnloads) {
    ASSERT_TRUE(Install("atipdlxx.dll"));
    SetScenario("ORVA_ATI_ANSWER", "4");
    MessageBoxWatcher watcher;
    ASSERT_TRUE(LoadAtiPdl(&binding_));
    EXPECT_TRUE(watcher.Boxes().empty());
    ASSERT_NE(binding_.module, nullptr);
    const std::vector<void*> fields = Fields(binding_);
    for (size_t i = 0; i < std::size(kAtiNames); ++i)
        EXPECT_EQ(fields[i], Export(binding_.module, kAtiNames[i])) << kAtiNames[i];

    int answer = 0;
    binding_.GetConfiguration(0, 8, &answer);
    EXPECT_EQ(answer, 4);
    ClearScenario("ORVA_ATI_ANSWER");
    int untouched = 0;
    binding_.GetConfiguration(0, 8, &untouched);
    EXPECT_EQ(untouched, 0);

    // Loading again lets go of the first load, so one unload is enough.
    ASSERT_TRUE(LoadAtiPdl(&binding_));
    FreeAtiPdl(&binding_);
    EXPECT_EQ(binding_.module, nullptr);
    EXPECT_FALSE(Loaded());
    FreeAtiPdl(&binding_);  // a second unload has nothing left to free

    char expectedCall[128];
    std::snprintf(expectedCall, sizeof expectedCall, "atipdl GetConfiguration 0 8 %llX -> 0 answer=4",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(&answer)));
    const std::vector<std::string> log = LogLines();
    ASSERT_EQ(log.size(), 6u) << LogText();
    EXPECT_TRUE(SameText(log[0], "atipdl attach " + SystemDirectoryPath("atipdlxx.dll"))) << log[0];
    EXPECT_EQ(log[1], expectedCall);
    EXPECT_TRUE(StartsWith(log[2], "atipdl GetConfiguration 0 8 ")) << log[2];
    EXPECT_NE(log[2].find("answer=untouched"), std::string::npos) << log[2];
    // The probe only looks the other entry points up; loading again unloaded the first load.
    EXPECT_TRUE(StartsWith(log[3], "atipdl detach ")) << LogText();
    EXPECT_TRUE(StartsWith(log[4], "atipdl attach ")) << LogText();
    EXPECT_TRUE(StartsWith(log[5], "atipdl detach ")) << LogText();
}

// A build of the stand-in that lacks exports, and the first name it lacks.
struct MissingExport {
    const char* variant;
    size_t firstMissing;
};

void PrintTo(const MissingExport& missing, std::ostream* out) { *out << missing.variant; }

class AtiPdlMissingExportTest : public AtiPdlTest, public testing::WithParamInterface<MissingExport> {};

TEST_P(AtiPdlMissingExportTest, OneTopmostBoxNamesTheFirstMissingEntryPoint) {
    const MissingExport missing = GetParam();
    ASSERT_TRUE(Install(missing.variant));
    MessageBoxWatcher watcher;
    MessageBoxStyles styles;
    ASSERT_TRUE(styles.hooked());
    EXPECT_FALSE(LoadAtiPdl(&binding_));

    ASSERT_EQ(watcher.Boxes().size(), 1u);
    const BoxSeen& box = watcher.Boxes()[0];
    EXPECT_EQ(box.text, std::string("Could not find ") + kAtiNames[missing.firstMissing] + "()!");
    EXPECT_EQ(box.caption, "PDL Calls");
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(styles.styles(), std::vector<UINT>{MB_TOPMOST});

    // Filled up to the missing name; the names after it were not looked up.
    ASSERT_NE(binding_.module, nullptr);
    const std::vector<void*> fields = Fields(binding_);
    for (size_t i = 0; i < std::size(fields); ++i) {
        void* expected = i < missing.firstMissing ? Export(binding_.module, kAtiNames[i]) : nullptr;
        EXPECT_EQ(fields[i], expected) << kAtiNames[i];
    }

    // The library stays loaded until the caller frees it.
    EXPECT_TRUE(Loaded());
    EXPECT_EQ(LogCount("atipdl detach"), 0u);
    FreeAtiPdl(&binding_);
    EXPECT_FALSE(Loaded());
    EXPECT_EQ(LogCount("atipdl detach"), 1u);
}

INSTANTIATE_TEST_SUITE_P(Variants, AtiPdlMissingExportTest,
                         testing::Values(MissingExport{"atipdl_first3.dll", 3},
                                         MissingExport{"atipdl_no_EnumDisplays.dll", 0},
                                         MissingExport{"atipdl_no_GetConnectedDisplays.dll", 1},
                                         MissingExport{"atipdl_no_ATIDL_GetAdapterID.dll", 2},
                                         MissingExport{"atipdl_no_ATIDL_DDCBlockAccess.dll", 3},
                                         MissingExport{"atipdl_no_ATIDL_DisplayGetDeviceConfig.dll", 4},
                                         MissingExport{"atipdl_no_GetConfiguration.dll", 5}),
                         [](const testing::TestParamInfo<MissingExport>& info) {
                             std::string name = info.param.variant;
                             return name.substr(0, name.find('.'));
                         });

// A copy beside the program or in the working folder, here one whose lacking exports would
// show a box, is never taken for the driver's library.
TEST_F(AtiPdlTest, NeverLoadsACopyBesideTheProgramOrInTheWorkingFolder) {
    PlantedCopies planted(StandinPath("atipdl_first3.dll"), "atipdlxx.dll");
    ASSERT_TRUE(planted.planted());
    MessageBoxWatcher watcher;
    EXPECT_FALSE(LoadAtiPdl(&binding_));
    EXPECT_EQ(LogCount("atipdl attach"), 0u) << LogText();

    ASSERT_TRUE(Install("atipdlxx.dll"));
    EXPECT_TRUE(LoadAtiPdl(&binding_));
    FreeAtiPdl(&binding_);
    PumpMessagesFor(300);
    EXPECT_TRUE(watcher.Boxes().empty());
    const std::vector<std::string> log = LogLines();
    ASSERT_EQ(log.size(), 2u) << LogText();
    EXPECT_TRUE(SameText(log[0], "atipdl attach " + SystemDirectoryPath("atipdlxx.dll"))) << log[0];
}

// ---- The system directory loader -------------------------------------------------------------

class SystemLibraryTest : public StandinTest {};

TEST_F(SystemLibraryTest, IsLoadedFromTheSystemDirectoryOnly) {
    const char* name = "orva_probe.dll";
    PlantedCopies planted(StandinPath("nvapi.dll"), name);
    ASSERT_TRUE(planted.planted());
    EXPECT_EQ(LoadSystemLibrary(name), nullptr);
    EXPECT_EQ(LoadSystemLibraryByPath(name), nullptr);
    EXPECT_EQ(LogCount("nvapi attach"), 0u) << LogText();

    ASSERT_TRUE(InstallIntoSystemDirectory(StandinPath("nvapi.dll"), name));
    for (HMODULE (*load)(const char*) : {LoadSystemLibrary, LoadSystemLibraryByPath}) {
        HMODULE module = load(name);
        ASSERT_NE(module, nullptr);
        char path[MAX_PATH] = {};
        ::GetModuleFileNameA(module, path, MAX_PATH);
        EXPECT_TRUE(SameText(path, SystemDirectoryPath(name))) << path;
        ::FreeLibrary(module);
    }
    RemoveFromSystemDirectory(name);

    // Only a bare file name: anything with a path could leave the system directory.
    for (const char* notAName : {static_cast<const char*>(nullptr), "", "..\\orva_probe.dll", "C:orva_probe.dll",
                                 "system32/orva_probe.dll"}) {
        EXPECT_EQ(LoadSystemLibrary(notAName), nullptr) << (notAName ? notAName : "null");
        EXPECT_EQ(LoadSystemLibraryByPath(notAName), nullptr) << (notAName ? notAName : "null");
    }
}

// ---- NvAPI before initialising ---------------------------------------------------------------

class NvApiTest : public StandinTest {
protected:
    void TearDown() override {
        RemoveFromSystemDirectory("nvapi.dll");
        StandinTest::TearDown();
    }
    // Installs the stand-in (or another library) as the driver's library. A library that an
    // earlier case in this process initialised stays loaded and is used as it is.
    static bool Install(const char* standin = "nvapi.dll") {
        return ::GetModuleHandleA("nvapi.dll") || InstallIntoSystemDirectory(StandinPath(standin), "nvapi.dll");
    }

    // Every forwarding entry once, with outputs preset so that a write would show.
    struct CallResults {
        NvAPI_Status enumDisplay, gpus, outputs, tvOutput;
        bool anyOutputWritten;
    };
    static CallResults CallEach() {
        NvDisplayHandle display = nullptr;
        NvPhysicalGpuHandle gpus[kNvMaxPhysicalGpus] = {};
        uint32_t count = 77, mask = 77;
        NvTvOutputInfo info{kNvTvOutputInfoVersion, 0, 0, 77};
        const auto fakeDisplay = reinterpret_cast<NvDisplayHandle>(uintptr_t{0x10});
        CallResults r{};
        r.enumDisplay = NvAPI_EnumNvidiaDisplayHandle(0, &display);
        r.gpus = NvAPI_GetPhysicalGPUsFromDisplay(fakeDisplay, gpus, &count);
        r.outputs = NvAPI_GPU_GetActiveOutputs(reinterpret_cast<NvPhysicalGpuHandle>(uintptr_t{0x20}), &mask);
        r.tvOutput = QueryTvOutputInfo(fakeDisplay, mask, &info);
        r.anyOutputWritten = display || gpus[0] || count != 77 || mask != 77 || info.connector != 77;
        return r;
    }
    static void ExpectAllCallsSay(NvAPI_Status status) {
        const CallResults r = CallEach();
        EXPECT_EQ(r.enumDisplay, status);
        EXPECT_EQ(r.gpus, status);
        EXPECT_EQ(r.outputs, status);
        EXPECT_EQ(r.tvOutput, status);
        EXPECT_FALSE(r.anyOutputWritten);
    }
};

// A copy beside the program or in the working folder is never taken for the driver's library.
TEST_F(NvApiTest, BeforeInitialisingWithoutTheLibraryEveryCallSaysNotInitialised) {
    PlantedCopies planted(StandinPath("nvapi.dll"), "nvapi.dll");
    ASSERT_TRUE(planted.planted());
    ExpectAllCallsSay(kNvStatusNotInitialised);
    EXPECT_EQ(NvAPI_Initialize(), kNvStatusLibraryMissing);
    ExpectAllCallsSay(kNvStatusNotInitialised);
    EXPECT_EQ(::GetModuleHandleA("nvapi.dll"), nullptr);
    EXPECT_TRUE(LogLines().empty()) << LogText();
}

// A library without the lookup, a lookup without the initialise function, and an initialise
// function that fails: -1 each time, the table is not asked for and every call still says "not
// initialised". A library whose initialise code never ran is let go; one whose code ran stays
// loaded, since the driver may have started threads.
TEST_F(NvApiTest, BeforeInitialisingAFailedInitialisationLeavesEverythingUninitialised) {
    struct Case {
        const char* standin;
        const char* offer;
        const char* initialiseStatus;
    };
    const Case cases[] = {
        {"atipdlxx.dll", nullptr, nullptr},           // a library without the lookup function
        {"nvapi.dll", "9ABDD40D,34EF9506,E3E89B6F,30C805D5", nullptr},  // no initialise function
        {"nvapi.dll", nullptr, "-1"},
        {"nvapi.dll", nullptr, "-2147483648"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.standin << " offer=" << (c.offer ? c.offer : "all")
                                        << " initialise=" << (c.initialiseStatus ? c.initialiseStatus : "0"));
        // A driver kept loaded by the case before is the same stand-in, and a loaded file stays.
        if (!::GetModuleHandleA("nvapi.dll")) {
            ASSERT_TRUE(InstallIntoSystemDirectory(StandinPath(c.standin), "nvapi.dll"));
        }
        if (c.offer) SetScenario("ORVA_NV_OFFER", c.offer);
        if (c.initialiseStatus) SetScenario("ORVA_NV_STATUS_0150E828", c.initialiseStatus);
        ClearLog();

        EXPECT_EQ(NvAPI_Initialize(), kNvStatusFailed);
        ExpectAllCallsSay(kNvStatusNotInitialised);
        EXPECT_EQ(::GetModuleHandleA("nvapi.dll") != nullptr, c.initialiseStatus != nullptr);
        EXPECT_EQ(LogCount("nvapi QueryInterface"), std::string(c.standin) == "nvapi.dll" ? 1u : 0u) << LogText();
        EXPECT_EQ(LogCount("nvapi QueryInterface 0150E828"), LogCount("nvapi QueryInterface")) << LogText();

        ClearScenario("ORVA_NV_OFFER");
        ClearScenario("ORVA_NV_STATUS_0150E828");
        RemoveFromSystemDirectory("nvapi.dll");
    }
}

// ---- NvAPI initialised -------------------------------------------------------------------------

TEST_F(NvApiTest, InitialisedTheCallsReachTheDriverWithTheirArgumentsAndResults) {
    ASSERT_TRUE(Install());
    SetScenario("ORVA_NV_OUTPUT_MASK", "0x00020000");
    SetScenario("ORVA_NV_CONNECTOR", "97");
    ASSERT_EQ(NvAPI_Initialize(), kNvStatusOk);

    // The initialise function first, then the table in its order.
    const std::vector<std::string> expectedStart = {
        "nvapi QueryInterface 0150E828 -> offered", "nvapi Initialize -> 0",
        "nvapi QueryInterface 9ABDD40D -> offered", "nvapi QueryInterface 34EF9506 -> offered",
        "nvapi QueryInterface E3E89B6F -> offered", "nvapi QueryInterface 30C805D5 -> offered"};
    std::vector<std::string> log = LogLines();
    if (!log.empty() && StartsWith(log[0], "nvapi attach")) {
        EXPECT_TRUE(SameText(log[0], "nvapi attach " + SystemDirectoryPath("nvapi.dll"))) << log[0];
        log.erase(log.begin());
    }
    EXPECT_EQ(log, expectedStart) << LogText();

    // The detection's sequence: each output is what the driver handed out, full-width.
    NvDisplayHandle display = nullptr;
    ASSERT_EQ(NvAPI_EnumNvidiaDisplayHandle(0, &display), kNvStatusOk);
    NvPhysicalGpuHandle gpus[kNvMaxPhysicalGpus] = {};
    uint32_t count = 0;
    ASSERT_EQ(NvAPI_GetPhysicalGPUsFromDisplay(display, gpus, &count), kNvStatusOk);
    EXPECT_EQ(count, 1u);
    uint32_t mask = 0;
    ASSERT_EQ(NvAPI_GPU_GetActiveOutputs(gpus[0], &mask), kNvStatusOk);
    EXPECT_EQ(mask, 0x00020000u);
    NvTvOutputInfo info{kNvTvOutputInfoVersion, 0x11111111, 0x22222222, 0};
    ASSERT_EQ(QueryTvOutputInfo(display, mask, &info), kNvStatusOk);
    EXPECT_EQ(info.connector, 97u);
    EXPECT_EQ(info.unused1, 0x11111111u);
    EXPECT_EQ(info.unused2, 0x22222222u);
    char expectedQuery[160];
    std::snprintf(expectedQuery, sizeof expectedQuery,
                  "nvapi QueryTvOutputInfo display=%llX mask=00020000 version=00010010 -> 0 connector=97",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(display)));
    EXPECT_EQ(LogLines().back(), expectedQuery);

    // Connector codes come back as the driver wrote them, known or not.
    for (const char* code : {"16", "17", "19", "18", "4294967295"}) {
        SetScenario("ORVA_NV_CONNECTOR", code);
        info.connector = 0;
        EXPECT_EQ(QueryTvOutputInfo(display, mask, &info), kNvStatusOk);
        EXPECT_EQ(std::to_string(info.connector), code);
    }
    // A record without the expected version is refused by the driver, and the refusal comes back.
    info.version = 0x00010014;
    EXPECT_EQ(QueryTvOutputInfo(display, mask, &info), -9);

    // Each status comes back unchanged.
    const char* const ids[] = {"9ABDD40D", "34EF9506", "E3E89B6F", "30C805D5"};
    for (size_t i = 0; i < std::size(ids); ++i) {
        for (const NvAPI_Status status : {-1, -6, 3}) {
            SCOPED_TRACE(testing::Message() << ids[i] << " status " << status);
            SetScenario(std::string("ORVA_NV_STATUS_") + ids[i], std::to_string(status));
            const CallResults r = CallEach();
            const NvAPI_Status got[] = {r.enumDisplay, r.gpus, r.outputs, r.tvOutput};
            EXPECT_EQ(got[i], status);
            ClearScenario(std::string("ORVA_NV_STATUS_") + ids[i]);
        }
    }

    // The library stays loaded.
    EXPECT_NE(::GetModuleHandleA("nvapi.dll"), nullptr);
    EXPECT_EQ(LogCount("nvapi detach"), 0u);
}

// The driver offers the initialise function but not the TV-output query: the query says "not
// provided" without reaching the driver, the other calls reach it.
TEST_F(NvApiTest, InitialisedAFunctionTheDriverDoesNotOfferSaysNotProvided) {
    ASSERT_TRUE(Install());
    SetScenario("ORVA_NV_OFFER", "0150E828,9ABDD40D,34EF9506,E3E89B6F");
    SetScenario("ORVA_NV_STATUS_0150E828", "1");  // only a negative status is a failure
    SetScenario("ORVA_NV_CONNECTOR", "19");
    ASSERT_EQ(NvAPI_Initialize(), kNvStatusOk);

    NvDisplayHandle display = nullptr;
    NvPhysicalGpuHandle gpus[kNvMaxPhysicalGpus] = {};
    uint32_t count = 0, mask = 0;
    EXPECT_EQ(NvAPI_EnumNvidiaDisplayHandle(0, &display), kNvStatusOk);
    EXPECT_EQ(NvAPI_GetPhysicalGPUsFromDisplay(display, gpus, &count), kNvStatusOk);
    EXPECT_EQ(NvAPI_GPU_GetActiveOutputs(gpus[0], &mask), kNvStatusOk);
    NvTvOutputInfo info{kNvTvOutputInfoVersion, 0, 0, 0};
    EXPECT_EQ(QueryTvOutputInfo(display, mask, &info), kNvStatusNotProvided);
    EXPECT_EQ(info.connector, 0u);
    EXPECT_EQ(LogCount("nvapi QueryInterface 30C805D5 -> none"), 1u) << LogText();
    EXPECT_EQ(LogCount("nvapi QueryTvOutputInfo"), 0u) << LogText();
    EXPECT_EQ(LogCount("nvapi EnumNvidiaDisplayHandle index=0 -> 0"), 1u) << LogText();
    EXPECT_EQ(LogCount("nvapi GPU_GetActiveOutputs"), 1u) << LogText();

    // A later failing initialisation leaves the bound table as it was.
    SetScenario("ORVA_NV_STATUS_0150E828", "-1");
    EXPECT_EQ(NvAPI_Initialize(), kNvStatusFailed);
    EXPECT_EQ(NvAPI_EnumNvidiaDisplayHandle(0, &display), kNvStatusOk);
    EXPECT_EQ(QueryTvOutputInfo(display, mask, &info), kNvStatusNotProvided);
    EXPECT_NE(::GetModuleHandleA("nvapi.dll"), nullptr);
}

}  // namespace
