#include "display/tv_parameters.h"

#include <gtest/gtest.h>

namespace {

TvParameterBlock Patterned() {
    TvParameterBlock block;
    for (size_t i = 0; i < kTvParameterBlockSize; ++i) block.bytes[i] = static_cast<uint8_t>(i * 7 + 3);
    return block;
}

}  // namespace

TEST(TvParameters, PreparationSetsWordsZeroAndTwoLittleEndianAndNothingElse) {
    struct Row {
        uint32_t format;
        uint8_t word2[4];
    };
    const Row rows[] = {{kTvFormat720, {0x00, 0x00, 0x00, 0x08}}, {kTvFormat1080, {0x00, 0x00, 0x00, 0x10}}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.format);
        const TvParameterBlock before = Patterned();
        TvParameterBlock block = before;
        PrepareTvParameters(block, row.format);
        const uint8_t word0[4] = {0x80, 0x00, 0x00, 0x00};
        for (size_t i = 0; i < kTvParameterBlockSize; ++i) {
            SCOPED_TRACE(i);
            if (i < 4)
                EXPECT_EQ(block.bytes[i], word0[i]);
            else if (i >= 8 && i < 12)
                EXPECT_EQ(block.bytes[i], row.word2[i - 8]);
            else
                EXPECT_EQ(block.bytes[i], before.bytes[i]);
        }
    }
}

TEST(TvParameters, ByteSizeIs320PerBlockAndRefusesWhatDoesNotFit) {
    struct Row {
        uint32_t count;
        bool ok;
        uint32_t size;
    };
    const Row rows[] = {
        {1, true, 320},
        {2, true, 640},
        {13421772, true, 4294967040u},  // the most blocks whose size fits in 32 bits
        {0, false, 0},
        {13421773, false, 0},
        {UINT32_MAX, false, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.count);
        uint32_t size = 12345;
        EXPECT_EQ(TvParameterBytes(row.count, &size), row.ok);
        EXPECT_EQ(size, row.ok ? row.size : 12345u);
    }
}
