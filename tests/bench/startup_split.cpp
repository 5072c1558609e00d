// The split of the program's own start-up work, call by call, as scripts/bench prints it: what
// the main window does before it shows and for its first paint on the default simulated adapter
// (NVIDIA, HDMI), at 100 %, 150 % and 200 %. Each child process makes the calls once, in the
// program's order and cold, as a start does; the table gives the median of 7 children per scale.
// The process start and the dialog's own creation are not in it: the template dialog pays them
// too. Prints figures; never fails on time.
//
// Usage: startup_split        the table
//        startup_split DPI    one child: a "milliseconds name" line per call
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "controls/image_store.h"
#include "controls/key_region.h"
#include "controls/shaped_bitmap.h"
#include "display/nvapi_binding.h"
#include "framework/system_calls.h"
#include "framework/system_library.h"
#include "resource.h"
#include "scenarios.h"

namespace {

constexpr UINT kScales[] = {96, 144, 192};
constexpr int kChildren = 7;
constexpr wchar_t kIntelProgId[] = L"IgfxExt.CUIExternal";

double NowMs() {
    LARGE_INTEGER frequency, now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

void Timed(const char* name, const std::function<void()>& call) {
    const double start = NowMs();
    call();
    std::printf("%.3f %s\n", NowMs() - start, name);
}

// The calls of a start at that scale, each timed.
int RunChild(UINT dpi) {
    StandinDrivers drivers;
    if (!SimulateAdapter(drivers, *FindScenario("nvidia-hdmi"))) return 1;
    // The main window's template made first, as the program's dialog is before its initialisation:
    // what the system loads for it is no cost of ours.
    HWND window = ::CreateDialogParamA(nullptr, MAKEINTRESOURCEA(IDD_TVSETTING), nullptr, &PlainDialogProc, 0);
    ShapedBitmap background;
    HRGN outline = nullptr;
    CBitmap logo;
    std::vector<std::shared_ptr<const CBitmap>> held;
    Timed("background: decoded", [&] { LoadSkinBitmap(background, IDB_BACKGROUND, dpi); });
    Timed("background: outline cut", [&] { outline = background.BuildRegion(KEY_TOP_LEFT); });
    if (dpi != kDefaultDpi) Timed("logo: decoded", [&] { LoadSkinBitmap(logo, IDB_LOGO, dpi); });
    const UINT masks[] = {IDB_CLOSE_MASK, IDB_SVIDEO_MASK, IDB_COMPOSITE_MASK, IDB_COMPONENT_MASK,
                          IDB_HDMI_MASK,  IDB_SD_MASK,     IDB_HD_MASK};
    Timed("masks: 7 decoded", [&] {
        for (UINT id : masks) held.push_back(StoredBitmap(id, dpi));
    });
    // Close, the four pictures, the standard row (dressed before detection) and the six HD buttons.
    const size_t cutFrom[] = {0, 1, 2, 3, 4, 5, 5, 5, 6, 6, 6, 6, 6, 6};
    std::vector<HRGN> outlines;
    Timed("button outlines: 14 cut", [&] {
        for (size_t mask : cutFrom) outlines.push_back(BuildKeyRegion(*held[mask], RGB(255, 255, 255)));
    });
    Timed("detection: ATI library looked for", [] { ::FreeLibrary(LoadSystemLibrary("atipdlxx.dll")); });
    Timed("detection: COM started (Intel step)", [] { ole32::CoInitialize(nullptr); });
    CLSID clsid{};
    Timed("detection: Intel object looked up", [&] { ole32::CLSIDFromProgID(kIntelProgId, &clsid); });
    Timed("detection: NvAPI loaded and initialised", [] { NvAPI_Initialize(); });
    Timed("detection: NvAPI asked for the connector", [] {
        NvDisplayHandle display = nullptr;
        NvPhysicalGpuHandle gpus[kNvMaxPhysicalGpus] = {};
        uint32_t count = 0, outputs = 0;
        NvAPI_EnumNvidiaDisplayHandle(0, &display);
        NvAPI_GetPhysicalGPUsFromDisplay(display, gpus, &count);
        NvAPI_GPU_GetActiveOutputs(gpus[0], &outputs);
        NvTvOutputInfo info{};
        info.version = kNvTvOutputInfoVersion;
        QueryTvOutputInfo(display, outputs, &info);
    });
    // What the first paint of the HDMI view draws: Close, the pictures and the HD row's faces.
    const UINT faces[] = {IDB_CLOSE_NORMAL, IDB_SVIDEO_UNLIT, IDB_COMPOSITE_UNLIT, IDB_COMPONENT_UNLIT,
                          IDB_HDMI_LIT,     188, 194, 182, 189, 195, 183};
    Timed("first paint: 11 faces decoded", [&] {
        for (UINT id : faces) held.push_back(StoredBitmap(id, dpi));
    });
    for (HRGN region : outlines) ::DeleteObject(region);
    if (outline) ::DeleteObject(outline);
    ::DestroyWindow(window);
    return 0;
}

// The child's lines, from a file it wrote: Wine's services may hold a pipe open.
std::vector<std::pair<std::string, double>> RunChildProcess(UINT dpi) {
    char folder[MAX_PATH], file[MAX_PATH], self[MAX_PATH];
    ::GetTempPathA(MAX_PATH, folder);
    ::GetTempFileNameA(folder, "spl", 0, file);
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE out = ::CreateFileA(file, GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out;
    PROCESS_INFORMATION process{};
    std::string command = "\"" + std::string(self) + "\" " + std::to_string(dpi);
    std::vector<std::pair<std::string, double>> lines;
    if (::CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        ::WaitForSingleObject(process.hProcess, 60000);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    ::CloseHandle(out);
    if (FILE* in = std::fopen(file, "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, in)) {
            char* name = nullptr;
            const double ms = std::strtod(line, &name);
            std::string text = name && *name ? name + 1 : "";
            while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
            lines.emplace_back(text, ms);
        }
        std::fclose(in);
    }
    ::DeleteFileA(file);
    return lines;
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2) return RunChild(static_cast<UINT>(std::atoi(argv[1])));
    std::vector<std::string> order;
    std::map<std::string, std::map<UINT, std::vector<double>>> times;
    for (int child = 0; child < kChildren; ++child) {
        for (UINT dpi : kScales) {
            for (const auto& [name, ms] : RunChildProcess(dpi)) {
                if (times.find(name) == times.end()) order.push_back(name);
                times[name][dpi].push_back(ms);
            }
        }
    }
    std::printf("the program's own start-up work on the nvidia-hdmi adapter, call by call, ms (median of %d cold "
                "starts)\n%-44s %8s %8s %8s\n",
                kChildren, "", "100 %", "150 %", "200 %");
    std::map<UINT, double> total;
    for (const std::string& name : order) {
        std::printf("%-44s", name.c_str());
        for (UINT dpi : kScales) {
            const auto found = times[name].find(dpi);
            const double ms = found == times[name].end() ? 0 : Median(found->second);
            total[dpi] += ms;
            std::printf(" %8.2f", ms);
        }
        std::printf("\n");
    }
    std::printf("%-44s %8.2f %8.2f %8.2f\n", "sum", total[96], total[144], total[192]);
    return 0;
}
