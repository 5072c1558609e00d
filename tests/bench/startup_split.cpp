// The split of the program's start-up, as scripts/bench prints it, on the default simulated
// adapter (NVIDIA, HDMI) at 100 %, 150 % and 200 %, each figure the median of 7 cold starts of a
// child process of this program:
//   - the main window's start phase by phase from DoModal (made from the template, controls
//     bound, the rest of its initialisation, shown, painted), and the same for a plain dialog of
//     its template on the same framework;
//   - the main window's own calls before it shows and for its first paint, each timed on its own
//     in the program's order, against a hidden dialog of the template.
// The process start itself is in neither: both dialogs pay it in a process of this size.
// Prints figures; never fails on time.
//
// Usage: startup_split             the tables
//        startup_split calls DPI   one child: a "milliseconds name" line per call
//        startup_split program     one child: the main window's phases, at the prefix's scale
//        startup_split template    one child: the plain dialog's phases
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "bench_clock.h"
#include "controls/image_store.h"
#include "controls/key_region.h"
#include "controls/shaped_bitmap.h"
#include "display/nvapi_binding.h"
#include "main_dialog/tv_setting_dlg.h"
#include "framework/system_calls.h"
#include "framework/system_library.h"
#include "pixels.h"
#include "resource.h"
#include "scenarios.h"

namespace {

CWinApp g_app("StartupSplit");
constexpr UINT kScales[] = {96, 144, 192};
constexpr int kChildren = 7;
constexpr wchar_t kIntelProgId[] = L"IgfxExt.CUIExternal";

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

void Timed(const char* name, const std::function<void()>& call) {
    const double start = NowMs();
    call();
    std::printf("%.3f %s\n", NowMs() - start, name);
}

// Marks the moments of a dialog's start, from the beginning of DoModal: when its controls are
// bound, when its initialisation ends, when it shows and when its first paint is done. Each
// phase's duration is printed as a line.
class Timeline {
public:
    void Begin() { last_ = NowMs(); }
    void Mark(const char* phase) {
        const double now = NowMs();
        std::printf("%.3f %s\n", now - last_, phase);
        last_ = now;
    }

private:
    double last_ = 0;
};
Timeline g_timeline;

// Both dialogs end once painted.
template <typename Dialog>
class TimedDialog : public Dialog {
public:
    using Dialog::Dialog;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        g_timeline.Mark("dialog: window and controls made");
        Dialog::DoDataExchange(pDX);
        g_timeline.Mark("dialog: controls bound");
    }
    BOOL OnInitDialog() override {
        const BOOL result = Dialog::OnInitDialog();
        g_timeline.Mark("dialog: the rest of its initialisation");
        return result;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_WINDOWPOSCHANGED && (reinterpret_cast<WINDOWPOS*>(lParam)->flags & SWP_SHOWWINDOW))
            g_timeline.Mark("dialog: shown");
        if (message == WM_PAINT) ++paints_;
        // Painted: the window and its controls have nothing left to paint.
        if (paints_ && !painted_ && NothingLeftToPaint(this->m_hWnd)) {
            painted_ = true;
            g_timeline.Mark("dialog: painted");
            ::PostMessageA(this->m_hWnd, WM_COMMAND, IDCANCEL, 0);
        }
        return Dialog::WindowProc(message, wParam, lParam);
    }

private:
    int paints_ = 0;
    bool painted_ = false;
};

class TemplateDialog : public CDialog {
public:
    TemplateDialog() : CDialog(IDD_TVSETTING) {}
};

// The whole start of one dialog at the scale the process runs at (the prefix's), timed phase by
// phase: the program's main window, or the plain dialog of its template on the same framework.
int RunDialogChild(bool program) {
    StandinDrivers drivers;
    if (!SimulateAdapter(drivers, *FindScenario("nvidia-hdmi"))) return 1;
    g_timeline.Begin();
    if (program) {
        TimedDialog<TvSettingDlg> dialog;  // its construction starts the background's prefetch
        g_app.m_pMainWnd = &dialog;
        dialog.DoModal();
    } else {
        TimedDialog<TemplateDialog> dialog;
        dialog.DoModal();
    }
    return 0;
}

// The calls of a start at that scale, each timed.
int RunChild(UINT dpi) {
    StandinDrivers drivers;
    if (!SimulateAdapter(drivers, *FindScenario("nvidia-hdmi"))) return 1;
    // The main window's template made first, as the program's dialog is before its initialisation:
    // what the system loads for it is no cost of ours. Meanwhile, at a scale, the background and
    // the masks of the dressing decode, as in the program; their lines below are what is left.
    if (dpi != kDefaultDpi)
        PrefetchSkinImages(IDB_BACKGROUND, kShapeEdges,
                           {IDB_CLOSE_MASK, IDB_SVIDEO_MASK, IDB_COMPOSITE_MASK, IDB_COMPONENT_MASK, IDB_HDMI_MASK,
                            IDB_SD_MASK},
                           dpi);
    HWND window = ::CreateDialogParamA(nullptr, MAKEINTRESOURCEA(IDD_TVSETTING), nullptr, &PlainDialogProc, 0);
    ::ShowWindow(window, SW_HIDE);  // the program dresses its window before it shows
    ShapedBitmap background;
    HRGN outline = nullptr;
    CBitmap logo;
    std::vector<std::shared_ptr<const CBitmap>> held;
    Timed("background: decoded (the rest of its prefetch)", [&] { background.LoadArt(IDB_BACKGROUND, dpi); });
    Timed("background: outline cut", [&] { outline = background.BuildRegion(KEY_TOP_LEFT); });
    if (dpi != kDefaultDpi) Timed("logo: decoded", [&] { LoadSkinBitmap(logo, IDB_LOGO, dpi); });
    const UINT masks[] = {IDB_CLOSE_MASK, IDB_SVIDEO_MASK, IDB_COMPOSITE_MASK, IDB_COMPONENT_MASK,
                          IDB_HDMI_MASK,  IDB_SD_MASK,     IDB_HD_MASK};
    Timed("masks: 7 decoded", [&] {
        for (UINT id : masks) held.push_back(StoredBitmap(id, dpi));
    });
    // The buttons dressed and the masks they are cut from, in the program's order: Close, the four
    // pictures and the standard row (before detection), then the pictures of the view and the
    // six HD buttons.
    const std::pair<int, size_t> dressed[] = {
        {IDC_CLOSE, 0},     {IDC_SVIDEO, 1},    {IDC_COMPOSITE, 2},  {IDC_COMPONENT, 3},   {IDC_HDMI, 4},
        {IDC_640, 5},       {IDC_800, 5},       {IDC_1024, 5},       {IDC_SVIDEO, 1},      {IDC_COMPOSITE, 2},
        {IDC_COMPONENT, 3}, {IDC_HDMI, 4},      {IDC_480_SMALL, 6},  {IDC_720_SMALL, 6},   {IDC_1080_SMALL, 6},
        {IDC_480_LARGE, 6}, {IDC_720_LARGE, 6}, {IDC_1080_LARGE, 6}};
    std::vector<HRGN> outlines;
    Timed("button outlines: 18 cut", [&] {
        for (const auto& button : dressed) outlines.push_back(BuildKeyRegion(*held[button.second], RGB(255, 255, 255)));
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
    Timed("window: icons set", [&] {
        HICON icon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
        ::SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        ::SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    });
    Timed("window: extended style and frame", [&] {
        ::SetWindowLongA(window, GWL_EXSTYLE, 0x10000000);
        ::SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    });
    Timed("window: outline handed over", [&] {
        ::SetWindowRgn(window, outline, TRUE);  // the window owns it from here on
        outline = nullptr;
    });
    const int buttons[] = {IDC_CLOSE, IDC_SVIDEO, IDC_COMPOSITE, IDC_COMPONENT, IDC_HDMI, IDC_640, IDC_800,
                           IDC_1024, IDC_480_SMALL, IDC_720_SMALL, IDC_1080_SMALL, IDC_480_LARGE, IDC_720_LARGE,
                           IDC_1080_LARGE};
    Timed("buttons: 18 outlines handed over, 18 sized", [&] {
        for (size_t i = 0; i < std::size(dressed); ++i) {
            HWND button = ::GetDlgItem(window, dressed[i].first);
            ::SetWindowRgn(button, outlines[i], TRUE);  // the window owns it from here on
            ::SetWindowPos(button, nullptr, 0, 0, 40, 20, SWP_NOMOVE | SWP_NOZORDER);
        }
        outlines.clear();
    });
    Timed("buttons: 14 moved into the Tab order", [&] {
        HWND previous = nullptr;
        for (int id : buttons) {
            HWND button = ::GetDlgItem(window, id);
            if (previous)
                ::SetWindowPos(button, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
            previous = button;
        }
    });
    Timed("buttons: 9 hidden or shown", [&] {
        for (size_t i = 5; i < std::size(buttons); ++i) ::ShowWindow(::GetDlgItem(window, buttons[i]), i < 8 ? SW_HIDE : SW_SHOW);
    });
    Timed("screen readers: 30 name events", [&] {
        for (int round = 0; round < 2; ++round)
            for (int id : buttons) ::NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, ::GetDlgItem(window, id), OBJID_CLIENT, CHILDID_SELF);
        ::NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, window, OBJID_CLIENT, CHILDID_SELF);
        ::NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, window, OBJID_CLIENT, CHILDID_SELF);
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
std::vector<std::pair<std::string, double>> RunChildProcess(const std::string& arguments) {
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
    std::string command = "\"" + std::string(self) + "\" " + arguments;
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

// The display scale of the processes started from now on: each reads it as it starts.
void SetStartScale(DWORD dpi) {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                          nullptr))
        return;
    ::RegSetValueExA(key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
    ::RegCloseKey(key);
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Table {
    std::vector<std::string> order;
    std::map<std::string, std::map<UINT, std::vector<double>>> times;
    void Add(const std::string& prefix, UINT dpi, const std::vector<std::pair<std::string, double>>& lines) {
        for (const auto& [name, ms] : lines) {
            const std::string row = prefix + name;
            if (times.find(row) == times.end()) order.push_back(row);
            times[row][dpi].push_back(ms);
        }
    }
    // Prints the rows that begin with the prefix, and their sum.
    void Print(const std::string& prefix) {
        std::map<UINT, double> total;
        for (const std::string& row : order) {
            if (row.compare(0, prefix.size(), prefix) != 0) continue;
            std::printf("  %-52s", row.c_str() + prefix.size());
            for (UINT dpi : kScales) {
                const double ms = Median(times[row][dpi]);
                total[dpi] += ms;
                std::printf(" %8.2f", ms);
            }
            std::printf("\n");
        }
        std::printf("  %-52s %8.2f %8.2f %8.2f\n", "sum", total[96], total[144], total[192]);
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::string(argv[1]) == "calls") return RunChild(static_cast<UINT>(std::atoi(argv[2])));
    if (argc >= 2) return RunDialogChild(std::string(argv[1]) == "program");
    Table table;
    for (int child = 0; child < kChildren; ++child) {
        for (UINT dpi : kScales) {
            SetStartScale(dpi);
            table.Add("calls|", dpi, RunChildProcess("calls " + std::to_string(dpi)));
            table.Add("template|", dpi, RunChildProcess("template"));
            table.Add("program|", dpi, RunChildProcess("program"));
        }
    }
    SetStartScale(96);
    std::printf("the start-up split on the nvidia-hdmi adapter, ms (median of %d cold starts)\n  %-52s %8s %8s %8s\n",
                kChildren, "", "100 %", "150 %", "200 %");
    std::printf("the main window, phase by phase from DoModal, in a process of this size:\n");
    table.Print("program|");
    std::printf("the same for a plain dialog of its template, on the same framework:\n");
    table.Print("template|");
    std::printf("the main window's own calls before it shows and for its first paint, each on its own:\n");
    table.Print("calls|");
    return 0;
}
