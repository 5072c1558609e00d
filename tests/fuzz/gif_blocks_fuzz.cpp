// libFuzzer target of the GIF block walker and frame cutter: any bytes, walked as the loader
// walks them. Beside the sanitizers' checks it traps when the frame count and the frames cut
// disagree, or when a cut lies outside the data or its stream has the wrong shape.
#include <cstdint>
#include <cstring>
#include <vector>

#include "controls/gif_blocks.h"

namespace {

void Require(bool condition) {
    if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > UINT32_MAX) return 0;
    (void)IsGif(data, static_cast<uint32_t>(size));
    GifBlockWalker walker;
    walker.Begin(data, static_cast<uint32_t>(size));
    const uint64_t head = 13 + static_cast<uint64_t>(walker.m_paletteBytes);

    walker.RewindToFirstBlock();
    int passes = 0;
    while (walker.PassGraphicBlock()) ++passes;

    walker.RewindToFirstBlock();
    int cuts = 0;
    GifFrameCut cut;
    std::vector<uint8_t> stream;
    while (walker.CutNextFrame(cut)) {
        ++cuts;
        Require(cut.spanStart >= head && uint64_t{cut.spanStart} + cut.spanLength <= size);
        Require(cut.streamLength == head + cut.spanLength + 1);
        Require(walker.m_cursor == cut.spanStart + cut.spanLength);
        Require(cut.disposal >= 0 && cut.disposal <= 7 && cut.delay >= -1 && cut.delay <= 0xFFFF);
        stream.assign(cut.streamLength, 0);
        walker.WriteFrameStream(cut, stream.data());
        Require(std::memcmp(stream.data(), data, head) == 0 && stream.back() == 0x3B);
    }
    Require(cuts == passes);
    walker.End();
    return 0;
}
