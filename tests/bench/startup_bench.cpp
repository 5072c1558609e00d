// The Windows side of scripts/bench, run inside the Wine desktop. Two measures:
//   - start-up: CreateProcess until the main window is visible with its view applied (the view
//     is applied in the dialog's initialisation, before it shows), on the default simulated
//     adapter, against a dialog made from the main window's template and the manifest alone,
//     15 rounds, each at 100 %, 150 % and 200 % (the scale each new process reads as it starts);
//     the median of the pairwise ratios and their range, and at 150 % and 200 % also the ratio
//     to the program's own start at 100 % in the same round; and the same until the window and
//     its controls are painted; and the program with a contrast theme reported on (a copy built
//     for the bench) against the program in the skin's look, in the same round, until the
//     window and its controls are painted: what the first paint in that look costs;
//   - the table: the real exe on each simulated adapter, a bare dialog of the same template with
//     all the program's resources and the template dialog alone, one after the other in every
//     round: start-up, the cost of one forced repaint, and GDI objects, handles and working set
//     once the window is at rest.
// It prints figures and judges them against the goals; it never fails on time.
//
// Usage: startup_bench ROUNDS [LABEL=EXE ...]
//   ROUNDS of the table; 0 gives the start-up measure alone
//   each LABEL=EXE is another build of the program (a full Windows path), run on every adapter
//   in the same rounds: a build from before a change, say.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <iterator>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "e2e_support.h"
#include "pixels.h"
#include "process_counts.h"
#include "scenarios.h"

namespace {

// The adapters the program is timed on; "none" shows NVIDIA's two messages, answered at once.
const char* const kScenarioNames[] = {"nvidia-hdmi", "intel-component", "ati-hdmi", "none"};
constexpr DWORD kStartTimeoutMs = 20000;
constexpr DWORD kRestMs = 1500;  // the window settles: first paints done, animation running
constexpr int kRepaints = 20;    // forced repaints timed per start
constexpr double kStartGoal = 1.2, kRepaintGoal = 2.0;
constexpr int kInsideStarts = 15;
constexpr DWORD kPauseBetweenStartsMs = 200;  // the previous process's end settles

struct Contender {
    std::string label;
    std::string exe;
    const AdapterScenario* scenario;  // null: no stand-in driver
};

struct Sample {
    bool ok = false;
    double startMs = 0;
    double repaintMs = 0;
    std::map<std::string, size_t> gdiKinds;
    size_t handles = 0;
    size_t workingSet = 0;
};

bool IsDialog(HWND window) {
    char className[16] = {};
    ::GetClassNameA(window, className, sizeof className);
    return lstrcmpA(className, kDialogClass) == 0;
}

// The program's main window, shown or not yet; null before it has its title.
HWND FindMainWindow(DWORD processId) {
    struct Search {
        DWORD processId;
        HWND found;
    } search{processId, nullptr};
    ::EnumWindows(
        [](HWND window, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner != s->processId || !IsDialog(window) || WindowText(window) != kMainTitle) return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Presses OK on every visible message box of the main window's thread.
void AnswerBoxes(HWND main) {
    ::EnumThreadWindows(
        ::GetWindowThreadProcessId(main, nullptr),
        [](HWND window, LPARAM lp) -> BOOL {
            if (window != reinterpret_cast<HWND>(lp) && IsDialog(window) && ::IsWindowVisible(window))
                ::PostMessageA(window, WM_COMMAND, IDOK, 0);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(main));
}

// The main window once it is visible, answering start-up messages on the way; null on time out.
HWND WaitUntilShown(const ProgramUnderTest& program) {
    const double start = NowMs();
    HWND main = nullptr;
    while (NowMs() - start < kStartTimeoutMs && program.IsRunning()) {
        if (!main) main = FindMainWindow(program.ProcessId());
        if (main && ::IsWindowVisible(main)) return main;
        if (main) AnswerBoxes(main);
        ::Sleep(1);
    }
    return nullptr;
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double Quantile(std::vector<double> values, double q) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(q * static_cast<double>(values.size() - 1) + 0.5)];
}

double RepaintMs(HWND window) {
    std::vector<double> times;
    for (int i = 0; i < kRepaints; ++i) {
        const double start = NowMs();
        ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        times.push_back(NowMs() - start);
    }
    return Median(times);
}

Sample StartOnce(const Contender& contender) {
    Sample sample;
    StandinDrivers drivers;
    if (contender.scenario && !SimulateAdapter(drivers, *contender.scenario)) return sample;
    ProgramUnderTest program;
    const double start = NowMs();
    if (!program.Start(contender.exe)) return sample;
    HWND main = WaitUntilShown(program);
    sample.startMs = NowMs() - start;
    if (!main) return sample;
    Settle(kRestMs);
    sample.gdiKinds = GdiObjectsByKind(program.Process());
    sample.handles = HandleCount(program.ProcessId());
    sample.workingSet = WorkingSetBytes(program.Process());
    sample.repaintMs = RepaintMs(main);
    ::PostMessageA(main, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    sample.ok = program.WaitForExit(5000);
    return sample;
}

size_t Total(const std::map<std::string, size_t>& kinds) {
    size_t total = 0;
    for (const auto& kind : kinds) total += kind.second;
    return total;
}

std::string KindsText(const std::map<std::string, size_t>& kinds) {
    std::string text;
    for (const auto& kind : kinds) text += (text.empty() ? "" : ", ") + std::to_string(kind.second) + " " + kind.first;
    return text;
}

void PrintTable(const std::vector<Contender>& contenders, const std::vector<std::vector<Sample>>& samples) {
    const std::vector<Sample>& bare = samples[0];
    std::printf("\n%-28s %8s %17s %8s %17s %9s %9s %6s %8s\n", "start -> window shown, ms", "median", "p25-p75",
                "ratio", "ratio p25-p75", "repaint", "ratio", "GDI", "WS MiB");
    for (size_t c = 0; c < contenders.size(); ++c) {
        std::vector<double> starts, ratios, repaints, repaintRatios, workingSets;
        for (size_t r = 0; r < samples[c].size(); ++r) {
            const Sample& s = samples[c][r];
            if (!s.ok || !bare[r].ok) continue;
            starts.push_back(s.startMs);
            ratios.push_back(s.startMs / bare[r].startMs);
            repaints.push_back(s.repaintMs);
            repaintRatios.push_back(s.repaintMs / bare[r].repaintMs);
            workingSets.push_back(static_cast<double>(s.workingSet) / (1024.0 * 1024.0));
        }
        std::printf("%-28s %8.1f %8.1f-%-8.1f %8.2f %8.2f-%-8.2f %9.2f %9.2f %6zu %8.1f\n", contenders[c].label.c_str(),
                    Median(starts), Quantile(starts, 0.25), Quantile(starts, 0.75), Median(ratios),
                    Quantile(ratios, 0.25), Quantile(ratios, 0.75), Median(repaints), Median(repaintRatios),
                    Total(samples[c].back().gdiKinds), Median(workingSets));
    }
    std::printf("\nGDI objects and handles at rest (last start of each):\n");
    for (size_t c = 0; c < contenders.size(); ++c)
        std::printf("  %-28s %zu handles; %s\n", contenders[c].label.c_str(), samples[c].back().handles,
                    KindsText(samples[c].back().gdiKinds).c_str());
    std::printf("\ngoals: start-up <= %.1fx the bare dialog, a repaint <= %.1fx (median of the pairwise ratios)\n",
                kStartGoal, kRepaintGoal);
}

// Milliseconds from CreateProcess until the main window is visible, and until it and its
// controls have been painted; negative when the program did not show its window or did not end
// cleanly after it.
struct StartTimes {
    double shown = -1;
    double painted = -1;
};

StartTimes TimeToWindowShown(const Contender& contender) {
    StandinDrivers drivers;
    if (contender.scenario && !SimulateAdapter(drivers, *contender.scenario)) return {};
    ProgramUnderTest program;
    const double start = NowMs();
    if (!program.Start(contender.exe)) return {};
    HWND main = WaitUntilShown(program);
    StartTimes times{NowMs() - start, -1};
    if (!main) return {};
    while (NowMs() - start < kStartTimeoutMs && !NothingLeftToPaint(main)) ::Sleep(1);
    times.painted = NowMs() - start;
    ::PostMessageA(main, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return program.WaitForExit(5000) ? times : StartTimes{};
}

// The scales the start-up measure runs at, in dots per inch; the first is the base of the others.
constexpr DWORD kScales[] = {96, 144, 192};
constexpr double kScaledStartGoal = 1.3;  // at 200 %, of the program's own start-up at 100 %
constexpr const char* kDesktopKey = "Control Panel\\Desktop";

// The display scale of the programs started from now on: each process reads it as it starts.
bool SetStartScale(DWORD dpi) {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr))
        return false;
    const bool set = ::RegSetValueExA(key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi) ==
                     ERROR_SUCCESS;
    ::RegCloseKey(key);
    return set;
}

// The scale the prefix had before the measure; 96 when it names none.
DWORD StartScale() {
    DWORD dpi = 96, size = sizeof dpi;
    ::RegGetValueA(HKEY_CURRENT_USER, kDesktopKey, "LogPixels", RRF_RT_REG_DWORD, nullptr, &dpi, &size);
    return dpi;
}

struct Ratios {
    std::vector<double> shown, ratios;
};

// Each value of the contender against the base's value in the same round; failed rounds left out.
Ratios PairWith(const std::vector<double>& times, const std::vector<double>& base) {
    Ratios r;
    for (size_t i = 0; i < times.size(); ++i) {
        if (times[i] < 0 || base[i] < 0) continue;
        r.shown.push_back(times[i]);
        r.ratios.push_back(times[i] / base[i]);
    }
    return r;
}

std::string RatioText(const std::vector<double>& ratios) {
    if (ratios.empty()) return "-";
    const auto range = std::minmax_element(ratios.begin(), ratios.end());
    char text[64];
    std::snprintf(text, sizeof text, "%.2f (%.2f-%.2f)", Median(ratios), *range.first, *range.second);
    return text;
}

using RoundTimes = std::vector<std::vector<std::vector<StartTimes>>>;  // [scale][contender][round]

// One table of the start-up measure: each contender at each scale, against the template at that
// scale and against its own start at 100 %.
void PrintStartUp(const std::vector<Contender>& contenders, const RoundTimes& times, double StartTimes::*until) {
    auto series = [&](size_t s, size_t c) {
        std::vector<double> values;
        for (const StartTimes& t : times[s][c]) values.push_back(t.*until);
        return values;
    };
    std::printf("%-24s %6s %9s %24s %24s %6s\n", "", "scale", "median ms", "to the template", "to its own 100 %", "fails");
    for (size_t c = 0; c < contenders.size(); ++c) {
        for (size_t s = 0; s < std::size(kScales); ++s) {
            const Ratios toTemplate = PairWith(series(s, c), series(s, 0));
            const Ratios toOwn = PairWith(series(s, c), series(0, c));
            std::printf("%-24s %5lu%% %9.1f %24s %24s %6zu\n", contenders[c].label.c_str(), kScales[s] * 100 / 96,
                        Median(toTemplate.shown), c == 0 ? "" : RatioText(toTemplate.ratios).c_str(),
                        s == 0 ? "" : RatioText(toOwn.ratios).c_str(), times[s][c].size() - toTemplate.shown.size());
        }
    }
}

// The contrast look's start against the program's in the skin's look (contender 1), at each scale.
void PrintContrastAgainstSkin(const RoundTimes& times, size_t contrast) {
    std::printf("%-24s %6s %24s %24s\n", "contrast on / skin", "scale", "window shown", "window painted");
    for (size_t s = 0; s < std::size(kScales); ++s) {
        auto ratios = [&](double StartTimes::*until) {
            std::vector<double> mine, skin;
            for (const StartTimes& t : times[s][contrast]) mine.push_back(t.*until);
            for (const StartTimes& t : times[s][1]) skin.push_back(t.*until);
            return RatioText(PairWith(mine, skin).ratios);
        };
        std::printf("%-24s %5lu%% %24s %24s\n", "", kScales[s] * 100 / 96, ratios(&StartTimes::shown).c_str(),
                    ratios(&StartTimes::painted).c_str());
    }
}

// The start-up measure: at each scale in turn, the template dialog and then each build, in every
// round; each build against the template started just before it, and at the other scales also
// against its own start at 100 % in the same round. Last in each round the program with a
// contrast theme reported on, also against the program in the skin's look.
void MeasureStartUp(const std::vector<std::pair<std::string, std::string>>& builds) {
    const AdapterScenario* scenario = FindScenario(kScenarioNames[0]);
    std::vector<Contender> contenders{{"template + manifest", BuildFolder() + "\\template_dialog.exe", nullptr}};
    for (const auto& build : builds)
        contenders.push_back({build.first.empty() ? "program" : build.first + "program", build.second, scenario});
    const size_t contrast = contenders.size();
    contenders.push_back({"program, contrast on", BuildFolder() + "\\program_contrast_on.exe", scenario});
    const DWORD scaleBefore = StartScale();
    RoundTimes times(std::size(kScales), std::vector<std::vector<StartTimes>>(contenders.size()));
    for (int start = 0; start < kInsideStarts; ++start) {
        for (size_t s = 0; s < std::size(kScales); ++s) {
            if (!SetStartScale(kScales[s])) std::printf("the scale %lu could not be set\n", kScales[s]);
            for (size_t c = 0; c < contenders.size(); ++c) {
                times[s][c].push_back(TimeToWindowShown(contenders[c]));
                ::Sleep(kPauseBetweenStartsMs);
            }
        }
    }
    SetStartScale(scaleBefore);
    std::printf("start-up inside Wine on the %s adapter, %d rounds; each round starts every contender at 100 %%, "
                "150 %% and 200 %%.\nRatios: median (range) of the pairs in the same round.\n\n",
                kScenarioNames[0], kInsideStarts);
    std::printf("CreateProcess -> main window visible with its view applied (the goals' measure)\n");
    PrintStartUp(contenders, times, &StartTimes::shown);
    std::printf("goals: at 100 %% start-up <= %.1fx the template dialog; at 200 %% <= %.1fx the program's own at 100 %%\n\n",
                kStartGoal, kScaledStartGoal);
    std::printf("CreateProcess -> main window and its controls painted\n");
    PrintStartUp(contenders, times, &StartTimes::painted);
    std::printf("\nThe first paint in a contrast theme's look: the program with contrast reported on against the "
                "program in the skin's look, same round\n");
    PrintContrastAgainstSkin(times, contrast);
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc >= 2 ? std::max(0, std::atoi(argv[1])) : 20;
    std::vector<std::pair<std::string, std::string>> builds{{"", BuildFolder() + "\\OrvaTvSetting.exe"}};
    for (int i = 2; i < argc; ++i) {
        const std::string argument = argv[i];
        const size_t equals = argument.find('=');
        if (equals == std::string::npos) {
            std::fprintf(stderr, "usage: startup_bench ROUNDS [LABEL=EXE ...]\n");
            return 1;
        }
        builds.emplace_back(argument.substr(0, equals) + " ", argument.substr(equals + 1));
    }
    MeasureStartUp(builds);
    if (rounds == 0) return 0;
    // The bare dialog is the table's base; the template alone shows what the window itself costs at rest.
    std::vector<Contender> contenders{{"bare dialog", BuildFolder() + "\\bare_dialog.exe", nullptr},
                                      {"template + manifest", BuildFolder() + "\\template_dialog.exe", nullptr}};
    for (const auto& build : builds)
        for (const char* name : kScenarioNames) contenders.push_back({build.first + name, build.second, FindScenario(name)});

    std::vector<std::vector<Sample>> samples(contenders.size());
    for (int round = 0; round < rounds; ++round) {
        for (size_t c = 0; c < contenders.size(); ++c) {
            samples[c].push_back(StartOnce(contenders[c]));
            if (!samples[c].back().ok) std::printf("round %d: %s did not start and end cleanly\n", round + 1,
                                                   contenders[c].label.c_str());
        }
        std::printf("round %d of %d done\n", round + 1, rounds);
    }
    PrintTable(contenders, samples);
    return 0;
}
