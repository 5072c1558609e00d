#include "framework/scale.h"

#include <cstdlib>

int MulDivRound(int a, int b, int c) {
    if (c == 0) return 0;
    const long long product = static_cast<long long>(a) * b;
    const long long half = std::llabs(static_cast<long long>(c)) / 2;
    const bool negative = (product < 0) != (c < 0);
    const long long q = (std::llabs(product) + half) / std::llabs(static_cast<long long>(c));
    return static_cast<int>(negative ? -q : q);
}

int ScaleToDpi(int pixels, unsigned dpi) { return ScaleBetweenDpi(pixels, kDefaultDpi, dpi); }

int ScaleBetweenDpi(int pixels, unsigned fromDpi, unsigned toDpi) {
    return MulDivRound(pixels, static_cast<int>(toDpi), static_cast<int>(fromDpi));
}

unsigned LargestDpiThatFits(unsigned wantedDpi, int width, int height, int areaWidth, int areaHeight) {
    const auto fits = [&](unsigned dpi) {
        return ScaleToDpi(width, dpi) <= areaWidth && ScaleToDpi(height, dpi) <= areaHeight;
    };
    constexpr unsigned kStep = kDefaultDpi / 4;  // the system's steps of 25 %
    if (wantedDpi <= kDefaultDpi || fits(wantedDpi)) return wantedDpi;
    for (unsigned dpi = (wantedDpi - 1) / kStep * kStep; dpi > kDefaultDpi; dpi -= kStep) {
        if (fits(dpi)) return dpi;
    }
    return kDefaultDpi;
}
