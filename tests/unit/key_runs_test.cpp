#include "controls/key_runs.h"

#include <gtest/gtest.h>

namespace {
constexpr uint32_t K = 0xFFFFFF;  // the key
constexpr uint32_t o = 0x000000;  // any other colour
}  // namespace

TEST(NonKeyRuns, CutsEveryRunAtTheKeyAndAtTheRowEnd) {
    struct Case {
        const char* name;
        int width, height;
        std::vector<uint32_t> pixels;
        std::vector<PixelRun> runs;
    };
    const Case cases[] = {
        {"no key pixel: the full rectangle", 3, 2, {o, o, o, o, o, o}, {{0, 3, 0}, {0, 3, 1}}},
        {"key, other, key over a row without key", 3, 2, {K, o, K, o, o, o}, {{1, 2, 0}, {0, 3, 1}}},
        {"all key: nothing", 2, 2, {K, K, K, K}, {}},
        {"runs end at the row's end, never continue", 3, 2, {K, o, o, o, K, K}, {{1, 3, 0}, {0, 1, 1}}},
        {"white in the rightmost column after black", 3, 1, {o, o, K}, {{0, 2, 0}}},
        {"a single pixel in the rightmost column after white", 3, 1, {K, K, o}, {{2, 3, 0}}},
        {"interior holes", 5, 1, {o, K, o, K, o}, {{0, 1, 0}, {2, 3, 0}, {4, 5, 0}}},
        {"a mask of white, black, white over black, black, white", 3, 2, {K, o, K, o, o, K}, {{1, 2, 0}, {0, 2, 1}}},
    };
    for (const Case& c : cases) EXPECT_EQ(NonKeyRuns(c.pixels.data(), c.width, c.height, K), c.runs) << c.name;
}

TEST(NonKeyRuns, AOnePixelFrameLeavesTheInnerRectangle) {
    const int w = 6, h = 4;
    std::vector<uint32_t> pixels(w * h, K);
    for (int y = 1; y < h - 1; ++y)
        for (int x = 1; x < w - 1; ++x) pixels[y * w + x] = 0x123456;
    const std::vector<PixelRun> expected = {{1, w - 1, 1}, {1, w - 1, 2}};
    EXPECT_EQ(NonKeyRuns(pixels.data(), w, h, K), expected);
}

TEST(NonKeyRuns, ComparesTheColourOnlyAndNothingForNoPixels) {
    const std::vector<uint32_t> pixels = {0xFF000000 | K, 0x01000000};  // high bytes are not colour
    const std::vector<PixelRun> expected = {{1, 2, 0}};
    EXPECT_EQ(NonKeyRuns(pixels.data(), 2, 1, K), expected);
    EXPECT_TRUE(NonKeyRuns(nullptr, 2, 2, K).empty());
    EXPECT_TRUE(NonKeyRuns(pixels.data(), 0, 1, K).empty());
}
