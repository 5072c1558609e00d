// Times the two decoders of the scaled art: the system's (Windows Imaging Component, whose first
// call also starts it) and the program's own compiled-in one, on the images that the first
// paint of the HDMI view decodes at 200 %, and on the whole 200 % set. Each set is decoded once
// cold (the first call of each decoder in this process) and then 5 times warm (the median).
// Prints the figures and whether both decoders gave the same pixels; fails only when an image
// does not decode, never on time.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "bench_clock.h"
#include "controls/png_image.h"
#include "pixels.h"
#include "wic_png.h"

namespace {

constexpr const char* kSetType = "PNG200";
constexpr int kWarmRuns = 5;
// What the HDMI view's first paint decodes at 200 %: the background, the logo, Close and its
// mask, the four pictures as the view shows them and their masks, the masks of both rows of
// resolution buttons and the six high-definition faces.
constexpr UINT kFirstPaint[] = {198, 172, 164, 171, 160, 162, 154, 156, 151, 153, 158,
                                159, 132, 208, 188, 194, 182, 189, 195, 183};

struct Png {
    const void* bytes;
    DWORD size;
};

Png FindPng(UINT id) {
    HRSRC found = ::FindResourceA(nullptr, MAKEINTRESOURCEA(id), kSetType);
    HGLOBAL loaded = found ? ::LoadResource(nullptr, found) : nullptr;
    return {loaded ? ::LockResource(loaded) : nullptr, found ? ::SizeofResource(nullptr, found) : 0};
}

std::vector<Png> WholeSet() {
    std::vector<Png> set;
    for (UINT id : ResourceIds(kSetType)) set.push_back(FindPng(id));
    return set;
}

using Decoder = std::function<PixelImage(const Png&)>;

// Milliseconds to decode the whole set; negative when an image did not decode.
double DecodeAll(const std::vector<Png>& set, const Decoder& decode, std::vector<PixelImage>* out = nullptr) {
    const double start = NowMs();
    for (const Png& png : set) {
        PixelImage image = decode(png);
        if (image.pixels.empty()) return -1;
        if (out) out->push_back(std::move(image));
    }
    return NowMs() - start;
}

double WarmMedian(const std::vector<Png>& set, const Decoder& decode) {
    std::vector<double> times;
    for (int i = 0; i < kWarmRuns; ++i) times.push_back(DecodeAll(set, decode));
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main() {
    std::vector<Png> firstPaint;
    for (UINT id : kFirstPaint) firstPaint.push_back(FindPng(id));
    const std::vector<Png> whole = WholeSet();
    const Decoder own = [](const Png& png) { return DecodePng(png.bytes, png.size); };
    const Decoder system = [](const Png& png) { return DecodePngWithSystem(png.bytes, png.size); };

    // The program's own first: it has no start of its own that the system's could warm up.
    std::vector<PixelImage> ownPixels, systemPixels;
    const double ownCold = DecodeAll(firstPaint, own, &ownPixels);
    const double systemCold = DecodeAll(firstPaint, system, &systemPixels);
    if (ownCold < 0 || systemCold < 0) {
        std::printf("an image of the first paint did not decode\n");
        return 1;
    }
    size_t differing = 0;
    for (size_t i = 0; i < ownPixels.size(); ++i) differing += ownPixels[i].pixels != systemPixels[i].pixels;

    std::printf("decoding the 200 %% art, ms: %zu images of the HDMI view's first paint, all %zu of the set\n",
                firstPaint.size(), whole.size());
    std::printf("%-34s %12s %12s %12s\n", "", "first, cold", "first, warm", "whole set");
    std::printf("%-34s %12.1f %12.1f %12.1f\n", "system's decoder (WIC)", systemCold, WarmMedian(firstPaint, system),
                WarmMedian(whole, system));
    std::printf("%-34s %12.1f %12.1f %12.1f\n", "compiled in (stb_image, PNG only)", ownCold, WarmMedian(firstPaint, own),
                WarmMedian(whole, own));
    std::printf("images whose pixels differ between the two: %zu of %zu\n", differing, ownPixels.size());
    return 0;
}
