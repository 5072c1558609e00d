// Times the load of the shipped animation (resource 163, 91 frames) against the load of the
// smallest animation (two 1 x 1 frames), and the processor time of 10 s of animation against
// 10 s of the same window idle, in the same run. Prints the figures; fails only when the
// animation cannot be loaded, never on time.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "bench_clock.h"
#include "controls/gif_picture_ctrl.h"
#include "gif_builder.h"
#include "process_counts.h"

namespace {

constexpr int kLoads = 15;
constexpr DWORD kSpanMs = 10000;

double MedianMs(const std::function<bool()>& load) {
    std::vector<double> times;
    for (int i = 0; i < kLoads; ++i) {
        const double start = NowMs();
        if (!load()) return -1;
        times.push_back(NowMs() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double ProcessCpuMs() {
    FILETIME created, exited, kernel, user;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto ms = [](const FILETIME& t) { return ((uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0; };
    return ms(kernel) + ms(user);
}

// Runs the thread's messages for the span, sleeping while there are none, and returns the
// share of one processor the process used meanwhile, in percent.
double CpuPercentWhilePumping(DWORD spanMs) {
    const double cpuStart = ProcessCpuMs();
    const DWORD start = ::GetTickCount();
    for (DWORD elapsed = 0; elapsed < spanMs; elapsed = ::GetTickCount() - start) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, spanMs - elapsed, QS_ALLINPUT);
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
    }
    return 100.0 * (ProcessCpuMs() - cpuStart) / spanMs;
}

}  // namespace

int main() {
    using gif::operator+;
    ::CoInitialize(nullptr);
    HWND parent = ::CreateWindowExA(0, "Static", "bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 200, 150,
                                    nullptr, nullptr, nullptr, nullptr);
    HWND child = ::CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE | SS_BLACKRECT, 10, 10, 54, 40, parent,
                                   nullptr, nullptr, nullptr);
    GifPictureCtrl control;
    control.SubclassWindow(child);

    const gif::Bytes tiny = gif::Header(1, 1) + gif::SolidImage(0, 0, 1, 1, 1) + gif::SolidImage(0, 0, 1, 1, 2) +
                            gif::Trailer();
    HGLOBAL tinyBlock = ::GlobalAlloc(GMEM_MOVEABLE, tiny.size());
    std::copy(tiny.begin(), tiny.end(), static_cast<uint8_t*>(::GlobalLock(tinyBlock)));
    ::GlobalUnlock(tinyBlock);
    const size_t gdiEmpty = GdiObjectCount();
    if (!control.LoadFromResource(MAKEINTRESOURCEA(163), "GIF")) return 1;
    std::printf("GDI objects the loaded animation holds: %zu after the load (canvas and first frame)",
                GdiObjectCount() - gdiEmpty);
    // The worker decodes the other frames while the first one shows.
    const DWORD playing = ::GetTickCount();
    control.Play();
    while (!control.FramesDecoded() && ::GetTickCount() - playing < 10000) ::Sleep(1);
    const DWORD decodeMs = ::GetTickCount() - playing;
    control.StopAnimation();
    std::printf(", %zu once the worker decoded the other 90 (%lu ms after Play)\n", GdiObjectCount() - gdiEmpty,
                static_cast<unsigned long>(decodeMs));
    const double baseLoad = MedianMs([&] { return control.LoadFromMemory(tinyBlock, DWORD(tiny.size())) != FALSE; });
    const double shippedLoad = MedianMs([&] { return control.LoadFromResource(MAKEINTRESOURCEA(163), "GIF") != FALSE; });
    ::GlobalFree(tinyBlock);
    if (baseLoad < 0 || shippedLoad < 0) {
        std::printf("the animations could not be loaded\n");
        return 1;
    }
    std::printf("load of resource 163 (91 frames): %.2f ms median of %d (goal <= 50 ms); "
                "smallest animation: %.2f ms; ratio %.1f\n",
                shippedLoad, kLoads, baseLoad, shippedLoad / baseLoad);

    const double idle = CpuPercentWhilePumping(kSpanMs);
    // Decoded once: what playing costs from then on.
    control.Play();
    while (!control.FramesDecoded()) ::Sleep(1);
    const double animating = CpuPercentWhilePumping(kSpanMs);
    control.StopAnimation();
    std::printf("processor use over %lu s once decoded: animating %.3f %% of one core, idle window %.3f %%, "
                "animation's own share %.3f %% (goal <= 0.5 %%)\n",
                kSpanMs / 1000, animating, idle, animating - idle);
    ::DestroyWindow(parent);
    return 0;
}
