#include "display/tv_parameters.h"

namespace {

void StoreWord(TvParameterBlock& block, size_t index, uint32_t value) {
    uint8_t* at = block.bytes + index * 4;
    for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

void PrepareTvParameters(TvParameterBlock& block, uint32_t formatWord) {
    StoreWord(block, 2, formatWord);
    StoreWord(block, 0, kTvParameterWord0);
}

bool TvParameterBytes(uint32_t count, uint32_t* size) {
    if (count == 0 || count > UINT32_MAX / kTvParameterBlockSize) return false;
    *size = count * static_cast<uint32_t>(kTvParameterBlockSize);
    return true;
}
