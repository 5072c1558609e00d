#include "controls/gif_blocks.h"

#include <cstring>

namespace {

constexpr uint32_t kScreenDescriptorEnd = 13;  // header (6) + logical screen descriptor (7)
constexpr uint8_t kExtension = 0x21;
constexpr uint8_t kImage = 0x2C;
constexpr uint8_t kTrailer = 0x3B;

}  // namespace

bool IsGif(const uint8_t* data, uint32_t size) {
    if (!data || size < 6 || std::memcmp(data, "GIF", 3) != 0) return false;
    return std::memcmp(data + 3, "87a", 3) == 0 || std::memcmp(data + 3, "89a", 3) == 0;
}

int32_t GifColourTableBytes(uint8_t flags) {
    return (flags & 0x80) ? 3 * (1 << ((flags & 7) + 1)) : 0;
}

void GifBlockWalker::Begin(const uint8_t* data, uint32_t size) {
    m_data = data;
    m_bytesTotal = size;
    m_cursor = 0;
    m_paletteBytes = Readable(10, 1) ? GifColourTableBytes(data[10]) : 0;
}

void GifBlockWalker::End() {
    m_data = nullptr;
    m_bytesTotal = 0;
    m_cursor = 0;
}

bool GifBlockWalker::Readable(uint64_t offset, uint64_t count) const {
    return m_data && offset + count <= m_bytesTotal;
}

int32_t GifBlockWalker::ReadU16(uint64_t offset) const {
    if (!Readable(offset, 2)) return 0;
    return m_data[offset] | (m_data[offset + 1] << 8);
}

void GifBlockWalker::RewindToFirstBlock() {
    // A colour table that claims more bytes than there are leaves the cursor past the end,
    // where every block reads as unrecognised.
    m_cursor = kScreenDescriptorEnd + static_cast<uint32_t>(m_paletteBytes);
}

GifBlockKind GifBlockWalker::PeekBlockKind() const {
    if (!Readable(m_cursor, 1)) return GifBlockKind::Unknown;
    switch (m_data[m_cursor]) {
    case kImage: return GifBlockKind::Image;
    case kTrailer: return GifBlockKind::Trailer;
    case kExtension: break;
    default: return GifBlockKind::Unknown;
    }
    if (!Readable(m_cursor + 1, 1)) return GifBlockKind::Unknown;
    switch (m_data[m_cursor + 1]) {
    case 0xFF: return GifBlockKind::Application;
    case 0xFE: return GifBlockKind::Comment;
    case 0xF9: return GifBlockKind::GraphicControl;
    case 0x01: return GifBlockKind::PlainText;
    default: return GifBlockKind::Unknown;
    }
}

int64_t GifBlockWalker::MeasureSubBlocks(uint32_t start) const {
    uint64_t at = start;
    while (Readable(at, 1)) {
        const uint8_t size = m_data[at];
        at += 1 + size;
        if (size == 0) return static_cast<int64_t>(at - start);
    }
    return 0;
}

int64_t GifBlockWalker::MeasureBlock() const {
    // The length of the fixed part ahead of the block's sub-block chain.
    uint32_t head = 0;
    switch (PeekBlockKind()) {
    case GifBlockKind::Unknown: return -1;
    case GifBlockKind::Trailer: return 1;
    case GifBlockKind::GraphicControl: return 8;
    case GifBlockKind::Application: head = 14; break;
    case GifBlockKind::Comment: head = 2; break;
    case GifBlockKind::PlainText: head = 15; break;
    case GifBlockKind::Image:
        if (!Readable(uint64_t{m_cursor} + 9, 1)) return 0;
        head = 11 + static_cast<uint32_t>(GifColourTableBytes(m_data[m_cursor + 9]));
        break;
    }
    const uint64_t chainStart = uint64_t{m_cursor} + head;
    if (chainStart > m_bytesTotal) return 0;
    const int64_t chain = MeasureSubBlocks(static_cast<uint32_t>(chainStart));
    return chain <= 0 ? 0 : head + chain;
}

bool GifBlockWalker::AdvancePastBlock() {
    if (!m_data) return false;
    const int64_t length = MeasureBlock();
    if (length <= 0 || uint64_t{m_cursor} + static_cast<uint64_t>(length) > m_bytesTotal) return false;
    m_cursor += static_cast<uint32_t>(length);
    return true;
}

bool GifBlockWalker::SkipApplicationAndComments() {
    for (;;) {
        const GifBlockKind kind = PeekBlockKind();
        if (kind != GifBlockKind::Application && kind != GifBlockKind::Comment)
            return kind != GifBlockKind::Unknown && kind != GifBlockKind::Trailer && MeasureBlock() > 0;
        if (!AdvancePastBlock()) return false;
    }
}

bool GifBlockWalker::AdvanceToGraphicBlock() {
    if (!AdvancePastBlock()) return false;  // the control extension
    for (;;) {
        switch (PeekBlockKind()) {
        case GifBlockKind::Image:
        case GifBlockKind::PlainText: return true;
        case GifBlockKind::Unknown:
        case GifBlockKind::Trailer: return false;
        default:
            if (!AdvancePastBlock()) return false;
        }
    }
}

bool GifBlockWalker::PassGraphicBlock() {
    if (!m_data || !SkipApplicationAndComments()) return false;
    if (PeekBlockKind() == GifBlockKind::GraphicControl && !AdvanceToGraphicBlock()) return false;
    return AdvancePastBlock();
}

bool GifBlockWalker::CutNextFrame(GifFrameCut& cut) {
    cut = GifFrameCut{};
    if (!m_data || !SkipApplicationAndComments()) return false;
    cut.spanStart = m_cursor;
    if (PeekBlockKind() == GifBlockKind::GraphicControl) {
        if (!AdvanceToGraphicBlock()) return false;
        // The extension lies inside the data: AdvancePastBlock checked its 8 bytes.
        const uint8_t* control = m_data + cut.spanStart;
        cut.disposal = (control[3] >> 2) & 7;
        cut.delay = control[4] | (control[5] << 8);
    }
    if (PeekBlockKind() == GifBlockKind::Image) {
        // MeasureBlock has read the flags at offset 9 of the descriptor, so offsets 1-8 exist.
        if (MeasureBlock() <= 0) return false;
        cut.left = ReadU16(m_cursor + 1);
        cut.top = ReadU16(m_cursor + 3);
        cut.width = ReadU16(m_cursor + 5);
        cut.height = ReadU16(m_cursor + 7);
    } else {
        // A plain-text frame covers the logical screen.
        cut.width = ScreenWidth();
        cut.height = ScreenHeight();
    }
    if (!AdvancePastBlock()) return false;
    cut.spanLength = m_cursor - cut.spanStart;
    const uint64_t stream = uint64_t{kScreenDescriptorEnd} + static_cast<uint32_t>(m_paletteBytes) + cut.spanLength + 1;
    if (stream > UINT32_MAX) return false;  // only for data of nearly 4 GiB
    cut.streamLength = static_cast<uint32_t>(stream);
    return true;
}

void GifBlockWalker::WriteFrameStream(const GifFrameCut& cut, uint8_t* out) const {
    const uint32_t head = kScreenDescriptorEnd + static_cast<uint32_t>(m_paletteBytes);
    std::memcpy(out, m_data, head);
    std::memcpy(out + head, m_data + cut.spanStart, cut.spanLength);
    out[head + cut.spanLength] = kTrailer;
}

uint32_t GifFrameWaitMilliseconds(int32_t delay) {
    const uint32_t hundredths = static_cast<uint32_t>(delay);
    return hundredths < 5 ? 100u : hundredths * 10u;  // wraps for -1, as intended
}
