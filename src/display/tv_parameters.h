#pragma once
// The Intel TV device's parameter block: 320 bytes, 80 little-endian 32-bit words. The driver
// fills it; before a 720-line or 1080-line Component mode we change words 0 and 2 only and hand
// the rest back exactly as the driver wrote it.
#include <cstddef>
#include <cstdint>

constexpr size_t kTvParameterBlockSize = 320;

struct TvParameterBlock {
    uint8_t bytes[kTvParameterBlockSize];
};
static_assert(sizeof(TvParameterBlock) == kTvParameterBlockSize, "the driver exchanges exactly 320 bytes per block");

// Word 2 of the block selects the TV format.
constexpr uint32_t kTvFormat720 = 0x08000000;
constexpr uint32_t kTvFormat1080 = 0x10000000;
// Word 0 is set to this before the block is written back.
constexpr uint32_t kTvParameterWord0 = 128;

// Sets word 2 to the format word and word 0 to 128, little-endian whatever the host; every other
// byte stays as it is.
void PrepareTvParameters(TvParameterBlock& block, uint32_t formatWord);

// The byte size of `count` blocks as the driver expects it (a 32-bit count of bytes); false when
// there is no block or the size does not fit in 32 bits.
bool TvParameterBytes(uint32_t count, uint32_t* size);
