#include "controls/key_runs.h"

std::vector<PixelRun> NonKeyRuns(const uint32_t* pixels, int width, int height, uint32_t key) {
    std::vector<PixelRun> runs;
    if (!pixels || width <= 0 || height <= 0) return runs;
    key &= 0xFFFFFF;
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = pixels + static_cast<size_t>(y) * width;
        int x = 0;
        while (x < width) {
            while (x < width && (row[x] & 0xFFFFFF) == key) ++x;
            const int start = x;
            while (x < width && (row[x] & 0xFFFFFF) != key) ++x;
            if (x > start) runs.push_back(PixelRun{start, x, y});  // a run ends at the row's end at the latest
        }
    }
    return runs;
}
