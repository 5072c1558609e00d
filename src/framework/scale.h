#pragma once
// Display scales in dots per inch, and sizes drawn for one scale converted to another. The
// window's art and layout are made for 100 %; every other scale is reached from there.
// Portable: no window system needed.

// 100 %: the scale the art, the templates' layouts and the fonts' base units are made for.
constexpr unsigned kDefaultDpi = 96;

// a * b / c rounded half away from zero, as the platform's MulDiv; 0 when c is 0.
int MulDivRound(int a, int b, int c);

// Pixels at 100 % to pixels at that dpi, rounded as MulDiv.
int ScaleToDpi(int pixels, unsigned dpi);
// Pixels drawn for one dpi to pixels at another, rounded as MulDiv; 0 when fromDpi is 0.
int ScaleBetweenDpi(int pixels, unsigned fromDpi, unsigned toDpi);

// The largest scale, no larger than the wanted one, at which a window of width x height pixels
// at 100 % fits an area of areaWidth x areaHeight: the wanted scale itself, else the largest of
// the system's steps of 25 % below it that fits; 100 % when none does, since the art has nothing
// smaller. A scale of 100 % or below is kept as it is.
unsigned LargestDpiThatFits(unsigned wantedDpi, int width, int height, int areaWidth, int areaHeight);
