#include "framework/scale.h"

#include <gtest/gtest.h>

// Sizes drawn for one scale at another: the art's sizes, the layout's and the fonts' heights
// (negative), each rounded half away from zero as the system's MulDiv rounds.
TEST(Scale, ConvertsBetweenScalesRoundingAsTheSystem) {
    struct Case {
        int pixels;
        unsigned fromDpi, toDpi;
        int expected;
    };
    const Case cases[] = {
        {512, 96, 192, 1024},    // the main window at 200 %
        {401, 96, 144, 602},     // 601.5 rounds up
        {15, 96, 144, 23},       // 22.5 rounds away from zero, as the art's sizes do
        {1, 96, 120, 1},         // 1.25
        {2, 96, 120, 3},         // 2.5
        {100, 96, 96, 100},      // 100 % is the size itself
        {0, 96, 288, 0},
        {-12, 96, 144, -18},     // a font's height in pixels is negative
        {-9, 96, 144, -14},      // -13.5 rounds away from zero too
        {-11, 96, 120, -14},     // -13.75
        {1482, 288, 240, 1235},  // the 300 % art shrunk for 250 %
        {768, 192, 168, 672},    // the 200 % art shrunk for 175 %
        {13, 144, 96, 9},        // a larger scale down to 100 %: 8.67
        {5, 0, 192, 0},          // no scale to convert from: nothing
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ScaleBetweenDpi(c.pixels, c.fromDpi, c.toDpi), c.expected)
            << c.pixels << " px from " << c.fromDpi << " to " << c.toDpi << " dpi";
        if (c.fromDpi == kDefaultDpi) {
            EXPECT_EQ(ScaleToDpi(c.pixels, c.toDpi), c.expected) << c.pixels << " px";
        }
    }
}

// The main window is 512 x 401 at 100 %; a TV desktop at a large scale may be smaller than it.
TEST(Scale, TheLargestScaleThatFitsTheWorkArea) {
    struct Case {
        unsigned wanted;
        int areaWidth, areaHeight;
        unsigned expected;
    };
    const Case cases[] = {
        {192, 1920, 1080, 192},  // 1024 x 802 fits
        {192, 1280, 720, 168},   // 896 x 702
        {192, 1024, 768, 168},   // 896 x 702; 1024 x 802 is too tall
        {192, 800, 600, 120},    // 640 x 501; 768 x 602 is 2 px too tall
        {192, 640, 480, 96},     // 640 x 501 too tall: 100 %, which fits
        {144, 640, 480, 96},
        {144, 800, 600, 120},
        {144, 768, 602, 144},    // exactly the size of the window
        {240, 320, 200, 96},     // nothing fits: never below 100 %
        {200, 1920, 1080, 200},  // a scale between the steps is kept when it fits ...
        {200, 1100, 810, 192},   // ... else the steps below it
        {96, 320, 200, 96},
        {72, 320, 200, 72},      // 100 % or less is kept as the monitor has it
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LargestDpiThatFits(c.wanted, 512, 401, c.areaWidth, c.areaHeight), c.expected)
            << c.wanted << " dpi on " << c.areaWidth << " x " << c.areaHeight;
    }
}
