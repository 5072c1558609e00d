#pragma once
// Walking the blocks of a GIF and cutting it into standalone one-frame GIF streams, which the
// picture decoder turns into one still picture each. Byte logic only: no window system.
//
// Every read stays inside the data. A block whose bytes (kind, label, fixed fields, sub-block
// sizes) would lie past the end is treated like an unrecognised block: walking stops there.
#include <cstdint>

// The kind of block at the cursor, from the byte there and, for extensions, the label after it.
enum class GifBlockKind : int32_t {
    Unknown = 0,
    Application = 1,     // 0x21 0xFF
    Comment = 2,         // 0x21 0xFE
    GraphicControl = 3,  // 0x21 0xF9
    PlainText = 4,       // 0x21 0x01
    Image = 5,           // 0x2C
    Trailer = 6,         // 0x3B
};

// True when the data starts with "GIF" and the version "87a" or "89a".
bool IsGif(const uint8_t* data, uint32_t size);

// One frame as CutNextFrame finds it: where its span lies in the file, how long its standalone
// stream is (header, screen descriptor and colour table + span + trailer), and its geometry,
// delay (hundredths of a second) and disposal method.
struct GifFrameCut {
    uint32_t spanStart = 0;
    uint32_t spanLength = 0;
    uint32_t streamLength = 0;
    int32_t delay = -1;  // -1: the frame has no control extension
    int32_t disposal = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t left = 0;
    int32_t top = 0;
};

class GifBlockWalker {
public:
    // Starts on data that IsGif recognised; the data must stay readable until End.
    void Begin(const uint8_t* data, uint32_t size);
    void End();

    // The logical screen's size in pixels (0 where the descriptor is cut short).
    int32_t ScreenWidth() const { return ReadU16(6); }
    int32_t ScreenHeight() const { return ReadU16(8); }

    // Puts the cursor on the block after the header, screen descriptor and global colour table.
    void RewindToFirstBlock();
    GifBlockKind PeekBlockKind() const;
    // Length of the sub-block chain that starts there, terminator included; 0 when the chain
    // runs past the end of the data.
    int64_t MeasureSubBlocks(uint32_t start) const;
    // Length of the block at the cursor; -1 when unrecognised, 0 when it cannot be measured.
    int64_t MeasureBlock() const;
    // Moves the cursor past the block; false (cursor unmoved) when the block cannot be measured
    // or would end past the data.
    bool AdvancePastBlock();
    // Moves the cursor past the next frame; used to count frames.
    bool PassGraphicBlock();
    // Finds the next frame, moves the cursor past it and describes it; false when there is no
    // further frame that lies wholly inside the data.
    bool CutNextFrame(GifFrameCut& cut);
    // Writes the frame's standalone stream: cut.streamLength bytes.
    void WriteFrameStream(const GifFrameCut& cut, uint8_t* out) const;

    const uint8_t* m_data = nullptr;
    uint32_t m_bytesTotal = 0;
    uint32_t m_cursor = 0;
    int32_t m_paletteBytes = 0;  // size of the global colour table; 0 without one

private:
    bool Readable(uint64_t offset, uint64_t count) const;
    int32_t ReadU16(uint64_t offset) const;
    // Advances past application and comment extensions; false on anything else unusable.
    bool SkipApplicationAndComments();
    // From a control extension, advances to the frame's graphic block (image or plain text).
    bool AdvanceToGraphicBlock();
};

// Bytes of a colour table whose size is given by flag byte F: 3 x 2^((F & 7) + 1) when bit 7
// is set, 0 otherwise.
int32_t GifColourTableBytes(uint8_t flags);

// How long a frame stays, from its delay in hundredths of a second taken as unsigned: 100 ms
// for 0 to 4, delay x 10 ms from 5 on. A frame without a control extension (-1) thus waits
// 4,294,967,286 ms: until the animation is stopped.
uint32_t GifFrameWaitMilliseconds(int32_t delay);
