// The Intel backend against the stand-in COM object, installed into the prefix's
// system directory and registered under IgfxExt.CUIExternal, created as detection creates it.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "display/cui_external.h"
#include "display/tv_parameters.h"
#include "display/intel_backend.h"
#include "framework/afxwin.h"
#include "win_test_support.h"

namespace {

CWinApp g_app("IntelBackendTests");

constexpr const char* kStandin = "igfxstandin.dll";
constexpr DWORD kTvType = 4;

// The display layer's Intel backend, called as the main dialog calls it: messages in boxes, the
// block as read kept for writing back. No window is needed.
class IntelBackend {
public:
    explicit IntelBackend(ICUIExternal* cui) : m_cui(cui) {}
    BOOL GetMonitorUid(DWORD wantedType, DWORD* pUid) { return FindMonitorUid(m_cui, wantedType, pUid, Show); }
    HRESULT UpdateTvParameters720(DWORD count, TvParameterBlock* pBlock) {
        return UpdateTvParameters(m_cui, count, pBlock, kTvFormat720, m_asRead, Show);
    }
    HRESULT UpdateTvParameters1080(DWORD count, TvParameterBlock* pBlock) {
        return UpdateTvParameters(m_cui, count, pBlock, kTvFormat1080, m_asRead, Show);
    }

private:
    static void Show(const char* text) { AfxMessageBox(text); }
    ICUIExternal* m_cui;
    TvParametersAsRead m_asRead;
};

using UpdateFn = HRESULT (IntelBackend::*)(DWORD, TvParameterBlock*);

// Counts the task allocator's blocks (BSTRs live there) allocated and freed while it is registered.
class AllocationCounter : public IMallocSpy {
public:
    LONG Outstanding() const { return m_allocated - m_freed; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IMallocSpy)) {
            *out = static_cast<IMallocSpy*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T size) override { return size; }
    void* STDMETHODCALLTYPE PostAlloc(void* actual) override {
        if (actual) ++m_allocated;
        return actual;
    }
    void* STDMETHODCALLTYPE PreFree(void* request, BOOL spied) override {
        if (request && spied) ++m_freed;
        return request;
    }
    void STDMETHODCALLTYPE PostFree(BOOL) override {}
    SIZE_T STDMETHODCALLTYPE PreRealloc(void* request, SIZE_T size, void** newRequest, BOOL) override {
        *newRequest = request;
        return size;
    }
    void* STDMETHODCALLTYPE PostRealloc(void* actual, BOOL) override { return actual; }
    void* STDMETHODCALLTYPE PreGetSize(void* request, BOOL) override { return request; }
    SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T size, BOOL) override { return size; }
    void* STDMETHODCALLTYPE PreDidAlloc(void* request, BOOL) override { return request; }
    int STDMETHODCALLTYPE PostDidAlloc(void*, BOOL, int actual) override { return actual; }
    void STDMETHODCALLTYPE PreHeapMinimize() override {}
    void STDMETHODCALLTYPE PostHeapMinimize() override {}

private:
    LONG m_allocated = 0;
    LONG m_freed = 0;
};

std::string TempPath(const char* name) {
    char folder[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name;
}

// The object made as detection makes it.
HRESULT CreateIntelObject(ICUIExternal** cui) {
    CLSID clsid{};
    const HRESULT found = ::CLSIDFromProgID(kCuiExternalProgId, &clsid);
    if (FAILED(found)) return found;
    return ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_ICUIExternal,
                              reinterpret_cast<void**>(cui));
}

// What the driver "reads" into the block: no byte repeats at a distance of 4 or 8, so a word
// written to the wrong place shows.
std::vector<BYTE> DriverBytes() {
    std::vector<BYTE> bytes(kTvParameterBlockSize);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<BYTE>(i * 7 + 3);
    return bytes;
}

std::string Hex(const std::vector<BYTE>& bytes) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (BYTE b : bytes) {
        text += kDigits[b >> 4];
        text += kDigits[b & 15];
    }
    return text;
}

uint32_t Word(const BYTE* bytes, size_t index) {
    const BYTE* at = bytes + index * 4;
    return at[0] | at[1] << 8 | at[2] << 16 | static_cast<uint32_t>(at[3]) << 24;
}

bool StartsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }

std::string Device(int display, DWORD index) {
    return "QueryDeviceAt name=\\\\.\\Display" + std::to_string(display) + " index=" + std::to_string(index) +
           " bstr=ok";
}

class IntelBackendTest : public testing::Test {
protected:
    void SetUp() override {
        ::DeleteFileA(m_logPath.c_str());
        ::SetEnvironmentVariableA("ORVA_STANDIN_LOG", m_logPath.c_str());
        ASSERT_TRUE(InstallIntoSystemDirectory(StandinPath(kStandin), kStandin));
        ASSERT_EQ(CallInstalledEntry(kStandin, "DllRegisterServer"), S_OK);
        ASSERT_EQ(::CoInitialize(nullptr), S_OK);
        ASSERT_EQ(CreateIntelObject(&m_cui), S_OK);
        ASSERT_NE(m_cui, nullptr);
        ::DeleteFileA(m_logPath.c_str());  // creation's own lines are not what the cases look at
    }
    void TearDown() override {
        if (m_cui) m_cui->Release();  // the program holds it for the whole run; a test gives it back
        ::CoUninitialize();
        EXPECT_EQ(CallInstalledEntry(kStandin, "DllUnregisterServer"), S_OK);
        RemoveFromSystemDirectory(kStandin);
        for (const std::string& name : m_scenario) ::SetEnvironmentVariableA(name.c_str(), nullptr);
        ::SetEnvironmentVariableA("ORVA_STANDIN_LOG", nullptr);
        ::DeleteFileA(m_logPath.c_str());
    }

    void Scenario(const std::string& name, const std::string& value) {
        ::SetEnvironmentVariableA(name.c_str(), value.c_str());
        m_scenario.push_back(name);
    }
    // A TV (type 4) or another device at a display device's index.
    void PutDevice(int display, DWORD index, DWORD uid, DWORD type, DWORD status) {
        Scenario("ORVA_IGFX_DISPLAY" + std::to_string(display) + "_" + std::to_string(index),
                 std::to_string(uid) + "," + std::to_string(type) + "," + std::to_string(status));
    }
    void ClearLog() { ::DeleteFileA(m_logPath.c_str()); }

    std::vector<std::string> LogLines() const {
        std::ifstream file(m_logPath);
        std::vector<std::string> lines;
        for (std::string line; std::getline(file, line);) lines.push_back(line);
        return lines;
    }
    // The calls the stand-in received, without its answers.
    std::vector<std::string> Calls() const {
        std::vector<std::string> calls;
        for (const std::string& line : LogLines()) calls.push_back(line.substr(0, line.find(" -> ")));
        return calls;
    }

    ICUIExternal* m_cui = nullptr;
    MessageBoxWatcher m_boxes;  // every box a case causes is answered, so none can hang it

private:
    std::string m_logPath = TempPath("orva_igfx.log");
    std::vector<std::string> m_scenario;
};

std::vector<std::string> AllDevicesOf(int display) {
    std::vector<std::string> calls;
    for (DWORD index = 0; index < 4; ++index) calls.push_back(Device(display, index));
    return calls;
}

}  // namespace

TEST_F(IntelBackendTest, FindsTheTvAtDisplay2Index3AfterSearchingAllOfDisplay1) {
    PutDevice(1, 0, 11, 1, 0);
    PutDevice(1, 2, 12, 2, 0);
    PutDevice(2, 3, 0x2203, kTvType, 0);
    IntelBackend backend(m_cui);
    DWORD uid = 0;
    EXPECT_TRUE(backend.GetMonitorUid(kTvType, &uid));
    EXPECT_EQ(uid, 0x2203u);
    EXPECT_TRUE(m_boxes.TakeTexts().empty());
    std::vector<std::string> expected = AllDevicesOf(1);
    const std::vector<std::string> display2 = AllDevicesOf(2);
    expected.insert(expected.end(), display2.begin(), display2.end());
    EXPECT_EQ(Calls(), expected);  // also: every name arrived as a real BSTR
}

TEST_F(IntelBackendTest, TakesTheFirstTvWhoseStatusIsNotOne) {
    struct Placed {
        int display;
        DWORD index, uid, type, status;
    };
    struct Row {
        const char* name;
        std::vector<Placed> devices;
        DWORD uid;
        size_t queries;  // the search stops at the TV
    };
    const Row rows[] = {
        {"status 1 is skipped", {{1, 1, 21, 4, 1}, {1, 2, 22, 4, 0}}, 22, 3},
        {"lower index wins", {{1, 1, 31, 4, 0}, {1, 3, 33, 4, 0}}, 31, 2},
        {"any other status counts", {{1, 0, 41, 4, 2}}, 41, 1},
        {"Display1 before Display2", {{2, 0, 51, 4, 0}, {1, 3, 52, 4, 0}}, 52, 4},
        {"only skipped TVs on Display1", {{1, 0, 61, 4, 1}, {1, 3, 62, 4, 1}, {2, 1, 63, 4, 0}}, 63, 6},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        for (int display = 1; display <= 2; ++display)
            for (DWORD index = 0; index < 4; ++index) PutDevice(display, index, 0, 0, 0);
        for (const Placed& d : row.devices) PutDevice(d.display, d.index, d.uid, d.type, d.status);
        ClearLog();
        IntelBackend backend(m_cui);
        DWORD uid = 0;
        EXPECT_TRUE(backend.GetMonitorUid(kTvType, &uid));
        EXPECT_EQ(uid, row.uid);
        EXPECT_EQ(Calls().size(), row.queries);
        EXPECT_TRUE(m_boxes.TakeTexts().empty());
    }
}

TEST_F(IntelBackendTest, NoTvMeansNotAttachedThenNoTvConnectedAndNoParameterIsTouched) {
    PutDevice(1, 0, 11, 1, 0);
    PutDevice(2, 1, 12, kTvType, 1);
    IntelBackend backend(m_cui);
    {
        DWORD uid = 0;
        EXPECT_TRUE(backend.GetMonitorUid(kTvType, &uid));
        EXPECT_EQ(uid, 0u);
        EXPECT_EQ(m_boxes.TakeTexts(), std::vector<std::string>{"Requested Device Not Attached"});
    }
    for (UpdateFn update : {&IntelBackend::UpdateTvParameters720, &IntelBackend::UpdateTvParameters1080}) {
        ClearLog();
        TvParameterBlock block{};
        EXPECT_EQ((backend.*update)(1, &block), S_OK);
        EXPECT_EQ(m_boxes.TakeTexts(), (std::vector<std::string>{"Requested Device Not Attached", "No TV Connected"}));
        const std::vector<std::string> calls = Calls();
        EXPECT_EQ(calls.size(), 8u);
        for (const std::string& call : calls) EXPECT_TRUE(StartsWith(call, "QueryDeviceAt ")) << call;
        EXPECT_EQ(std::vector<BYTE>(block.bytes, block.bytes + sizeof block.bytes), std::vector<BYTE>(sizeof block.bytes));
    }
}

TEST_F(IntelBackendTest, WithoutTheObjectTheLookupFailsAndTheUpdatesSaySo) {
    IntelBackend backend(nullptr);
    DWORD uid = 0;
    EXPECT_FALSE(backend.GetMonitorUid(kTvType, &uid));
    EXPECT_TRUE(m_boxes.TakeTexts().empty());
    TvParameterBlock block{};
    block.bytes[5] = 0x55;
    const TvParameterBlock given = block;
    EXPECT_EQ(backend.UpdateTvParameters720(1, &block), S_OK);
    EXPECT_EQ(backend.UpdateTvParameters1080(1, &block), S_OK);
    EXPECT_EQ(m_boxes.TakeTexts(), (std::vector<std::string>{"GetMonitorUid Fail", "GetMonitorUid Fail"}));
    EXPECT_EQ(std::memcmp(block.bytes, given.bytes, sizeof block.bytes), 0);
    EXPECT_TRUE(LogLines().empty());
}

TEST_F(IntelBackendTest, WritesBackTheDriversBlockWithOnlyWordsZeroAndTwoChanged) {
    struct Row {
        const char* name;
        UpdateFn update;
        uint32_t format;
        DWORD count;
    };
    const Row rows[] = {
        {"720", &IntelBackend::UpdateTvParameters720, 0x08000000, 1},
        {"1080", &IntelBackend::UpdateTvParameters1080, 0x10000000, 1},
        {"720, two blocks", &IntelBackend::UpdateTvParameters720, 0x08000000, 2},
        {"1080, three blocks", &IntelBackend::UpdateTvParameters1080, 0x10000000, 3},
    };
    const std::vector<BYTE> driver = DriverBytes();
    Scenario("ORVA_IGFX_READ_FILL", Hex(driver));
    PutDevice(1, 2, 0x1234, kTvType, 0);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ClearLog();
        IntelBackend backend(m_cui);
        std::vector<TvParameterBlock> blocks(row.count, TvParameterBlock{});
        EXPECT_EQ((backend.*row.update)(row.count, blocks.data()), S_OK);
        EXPECT_TRUE(m_boxes.TakeTexts().empty());

        // In memory: the driver's bytes everywhere except words 0 and 2 of the first block.
        const BYTE* bytes = blocks[0].bytes;
        const size_t size = kTvParameterBlockSize * row.count;
        EXPECT_EQ(Word(bytes, 0), 128u);
        EXPECT_EQ(Word(bytes, 2), row.format);
        for (size_t i = 0; i < size; ++i) {
            const bool setByUs = i < 4 || (i >= 8 && i < 12);
            if (!setByUs) {
                ASSERT_EQ(bytes[i], driver[i % driver.size()]) << "byte " << i;
            }
        }

        // What reached the driver: the same uid and size for both calls, the block as it is now.
        const std::string sizeText = " size=" + std::to_string(size);
        const std::vector<std::string> calls = Calls();
        ASSERT_EQ(calls.size(), 5u);
        EXPECT_EQ(calls[3], "ReadTvParameters uid=4660" + sizeText);
        EXPECT_EQ(calls[4], "WriteTvParameters uid=4660" + sizeText + " block=" +
                                Hex(std::vector<BYTE>(bytes, bytes + size)));
    }
}

TEST_F(IntelBackendTest, AWriteRefusedWithStatus9IsToldOnce) {
    struct Row {
        const char* hresult;
        const char* status;
        HRESULT expected;
        bool told;
    };
    const Row rows[] = {
        {"0x80004005", "9", E_FAIL, true},
        {"0x80070057", "9", E_INVALIDARG, true},
        {"0x80004005", "8", E_FAIL, false},
        {"0x80004005", "0", E_FAIL, false},
        {"1", "9", S_FALSE, false},  // status 9 on a call that succeeded is no refusal
    };
    PutDevice(1, 0, 7, kTvType, 0);
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.hresult) + " status " + row.status);
        Scenario("ORVA_IGFX_WRITE_HRESULT", row.hresult);
        Scenario("ORVA_IGFX_WRITE_STATUS", row.status);
        IntelBackend backend(m_cui);
        TvParameterBlock block{};
        EXPECT_EQ(backend.UpdateTvParameters1080(1, &block), row.expected);
        EXPECT_EQ(m_boxes.TakeTexts(),
                  row.told ? std::vector<std::string>{"Bad Get TV Parameter"} : std::vector<std::string>{});
    }
}

TEST_F(IntelBackendTest, AFailedReadIsNotWrittenBack) {
    // Writing would hand the driver the caller's empty buffer in place of its parameters.
    PutDevice(1, 0, 7, kTvType, 0);
    Scenario("ORVA_IGFX_READ_HRESULT", "0x80004005");
    Scenario("ORVA_IGFX_READ_FILL", Hex(DriverBytes()));
    IntelBackend backend(m_cui);
    TvParameterBlock block{};
    EXPECT_EQ(backend.UpdateTvParameters720(1, &block), E_FAIL);
    EXPECT_TRUE(m_boxes.TakeTexts().empty());
    EXPECT_EQ(Calls(), (std::vector<std::string>{Device(1, 0), "ReadTvParameters uid=7 size=320"}));
    EXPECT_EQ(Word(block.bytes, 0), 0u);
    EXPECT_EQ(Word(block.bytes, 2), 0u);
}

TEST_F(IntelBackendTest, NoBlockOrACountWithoutASizeAsksTheDriverNothing) {
    PutDevice(1, 0, 7, kTvType, 0);
    IntelBackend backend(m_cui);
    TvParameterBlock block{};
    EXPECT_EQ(backend.UpdateTvParameters720(1, nullptr), E_INVALIDARG);
    EXPECT_EQ(backend.UpdateTvParameters1080(0, &block), E_INVALIDARG);
    EXPECT_EQ(backend.UpdateTvParameters720(0x01000000, &block), E_INVALIDARG);  // 320 x count overflows
    EXPECT_FALSE(backend.GetMonitorUid(kTvType, nullptr));
    EXPECT_TRUE(m_boxes.TakeTexts().empty());
    EXPECT_TRUE(LogLines().empty());
}

TEST_F(IntelBackendTest, TheDeviceNamesAreFreedAfterEachLookup) {
    PutDevice(2, 0, 9, kTvType, 0);  // both names are used
    ::SetEnvironmentVariableA("ORVA_STANDIN_LOG", nullptr);
    IntelBackend backend(m_cui);
    // Static: COM keeps a spy until every block it saw is freed, and the BSTR cache keeps some.
    static AllocationCounter counter;
    ASSERT_EQ(::CoRegisterMallocSpy(&counter), S_OK);
    // Wine's spy looks blocks up in its table before it has one; one spied block creates it.
    ::CoTaskMemFree(::CoTaskMemAlloc(1));
    const LONG before = counter.Outstanding();
    constexpr int kLookups = 200;
    for (int i = 0; i < kLookups; ++i) {
        DWORD uid = 0;
        backend.GetMonitorUid(kTvType, &uid);
    }
    const LONG afterLookups = counter.Outstanding() - before;
    // The counter sees BSTRs: as many kept as the lookups made would show.
    std::vector<BSTR> kept;
    for (int i = 0; i < 2 * kLookups; ++i) kept.push_back(::SysAllocString(L"\\\\.\\Display1"));
    const LONG withKept = counter.Outstanding() - before;
    for (BSTR name : kept) ::SysFreeString(name);
    ::CoRevokeMallocSpy();  // deferred while the cache holds spied blocks; harmless
    EXPECT_LT(afterLookups, 20);
    EXPECT_GT(withKept - afterLookups, kLookups);
}

TEST_F(IntelBackendTest, ObjectCreationCanFailWhileTheClassStaysRegistered) {
    Scenario("ORVA_IGFX_CREATE_FAIL", "1");
    CLSID clsid{};
    EXPECT_EQ(::CLSIDFromProgID(kCuiExternalProgId, &clsid), S_OK);
    ICUIExternal* cui = nullptr;
    EXPECT_TRUE(FAILED(CreateIntelObject(&cui)));
    EXPECT_EQ(cui, nullptr);
}

TEST_F(IntelBackendTest, TheConnectorQueryReachesItsSlot) {
    Scenario("ORVA_IGFX_CONNECTOR_TYPE", "32");
    Scenario("ORVA_IGFX_CONNECTOR_STATUS", "3");
    Scenario("ORVA_IGFX_CONNECTOR_HRESULT", "0x80004005");
    DWORD type = 0, status = 0;
    EXPECT_EQ(m_cui->QueryConnectorType(77, &type, &status), E_FAIL);
    EXPECT_EQ(type, 32u);
    EXPECT_EQ(status, 3u);
    EXPECT_EQ(LogLines(), std::vector<std::string>{"QueryConnectorType uid=77 -> hr=0x80004005 type=32 status=3"});
}
