// The GIF block walker and frame cutter on GIFs built byte by byte, and on the shipped animation.
#include "controls/gif_blocks.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "gif_builder.h"

using namespace gif;

namespace {

struct Cut {
    uint32_t span;
    int delay, disposal, left, top, width, height;
    bool operator==(const Cut& o) const {
        return span == o.span && delay == o.delay && disposal == o.disposal && left == o.left && top == o.top &&
               width == o.width && height == o.height;
    }
};

std::ostream& operator<<(std::ostream& out, const Cut& c) {
    return out << "{span " << c.span << ", delay " << c.delay << ", disposal " << c.disposal << ", at " << c.left
               << "," << c.top << ", " << c.width << "x" << c.height << "}";
}

struct Walked {
    int passes = 0;
    std::vector<Cut> cuts;
    std::vector<Bytes> streams;
};

// Counts the frames as the loader does, then cuts them all.
Walked Walk(const Bytes& data) {
    Walked result;
    GifBlockWalker walker;
    walker.Begin(data.data(), static_cast<uint32_t>(data.size()));
    walker.RewindToFirstBlock();
    while (walker.PassGraphicBlock()) ++result.passes;
    walker.RewindToFirstBlock();
    GifFrameCut cut;
    while (walker.CutNextFrame(cut)) {
        result.cuts.push_back({cut.spanLength, cut.delay, cut.disposal, cut.left, cut.top, cut.width, cut.height});
        Bytes stream(cut.streamLength);
        walker.WriteFrameStream(cut, stream.data());
        result.streams.push_back(stream);
    }
    return result;
}

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) out = out + part;
    return out;
}

Bytes Truncated(Bytes bytes, size_t drop) {
    bytes.resize(bytes.size() - drop);
    return bytes;
}

}  // namespace

TEST(GifRecognition, TakesTheSignatureAndTwoVersionsOnly) {
    const struct {
        std::string bytes;
        bool gif;
    } cases[] = {{"GIF89a", true}, {"GIF87a", true}, {"GIF88a", false}, {"GIF89b", false},
                 {"gif89a", false}, {"GIF89", false}, {"\x89PNG\r\n", false}, {"", false}};
    for (const auto& c : cases)
        EXPECT_EQ(IsGif(reinterpret_cast<const uint8_t*>(c.bytes.data()), uint32_t(c.bytes.size())), c.gif) << c.bytes;
    EXPECT_FALSE(IsGif(nullptr, 6));
}

TEST(GifFrameCutter, CountsAndCutsFramesOfBuiltGifs) {
    const Bytes head = Header(4, 3);  // 13 + 12 palette bytes
    const Bytes image = SolidImage(1, 0, 2, 2, 1);
    const Bytes control = Control(7, 2);
    const Bytes comment = Comment("note");
    const Bytes unknownExtension = Bytes{0x21, 0x77} + SubBlocks({1, 2});
    const Bytes localTableImage = Image(0, 0, 1, 1, LzwData({0}), 2);
    const uint32_t c = uint32_t(control.size()), i = uint32_t(image.size());
    const Cut frame{c + i, 7, 2, 1, 0, 2, 2};
    const struct {
        const char* name;
        Bytes gif;
        int passes;
        std::vector<Cut> cuts;
    } cases[] = {
        {"control extension, comment and image: one span of all three",
         Cat({head, control, comment, image, Trailer()}), 1, {{c + uint32_t(comment.size()) + i, 7, 2, 1, 0, 2, 2}}},
        {"no control extension: delay -1, disposal 0, the image alone", Cat({head, image, Trailer()}), 1,
         {{i, -1, 0, 1, 0, 2, 2}}},
        {"bytes after the last frame that are not a trailer end the walk there",
         Cat({head, control, image, control, image, {0x00, 0x01}}), 2, {frame, frame}},
        {"an unknown extension ends the walk", Cat({head, control, image, unknownExtension, control, image}), 1,
         {frame}},
        {"a last image running past the end is not cut", Truncated(Cat({head, control, image, control, image}), 2), 1,
         {frame}},
        {"header, screen descriptor and trailer only", Cat({head, Trailer()}), 0, {}},
        {"a control extension with no graphic block after it", Cat({head, control, Trailer()}), 0, {}},
        {"application and comment blocks before and between frames stay out of the spans",
         Cat({head, Application(), comment, control, image, comment, Application(), control, image, Trailer()}), 2,
         {frame, frame}},
        {"a plain-text frame covers the logical screen from (0, 0)", Cat({head, control, PlainText(), Trailer()}), 1,
         {{c + uint32_t(PlainText().size()), 7, 2, 0, 0, 4, 3}}},
        {"a local colour table belongs to its image", Cat({head, localTableImage, Trailer()}), 1,
         {{uint32_t(localTableImage.size()), -1, 0, 0, 0, 1, 1}}},
        {"a global colour table claimed past the end of the data", Truncated(Cat({Header(4, 3, 8), image}), 700), 0,
         {}},
        {"an image descriptor cut short before its flags", Cat({head, {0x2C, 0, 0, 0, 0}}), 0, {}},
        {"a sub-block chain cut short before its terminator", Truncated(Cat({head, comment}), 1), 0, {}},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        const Walked walked = Walk(test.gif);
        EXPECT_EQ(walked.passes, test.passes);
        EXPECT_EQ(walked.cuts, test.cuts);
        // Every stream is the file's head, the frame's span and a trailer: no block before the
        // span (application, comment) reaches it.
        for (size_t n = 0; n < walked.streams.size(); ++n) {
            const Bytes& stream = walked.streams[n];
            ASSERT_EQ(stream.size(), head.size() + walked.cuts[n].span + 1);
            EXPECT_TRUE(std::equal(head.begin(), head.end(), stream.begin()));
            EXPECT_EQ(stream.back(), 0x3B);
            const size_t firstBlock = head.size();
            EXPECT_TRUE(stream[firstBlock] == 0x2C || stream[firstBlock + 1] == 0xF9) << "span starts at " << firstBlock;
        }
    }
}

TEST(GifFrameCutter, CutsTheShippedAnimationInto91Frames) {
    std::ifstream in(std::string(ORVA_ART_DIR) + "/anim.gif", std::ios::binary);
    const Bytes gif{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_TRUE(IsGif(gif.data(), uint32_t(gif.size())));
    GifBlockWalker walker;
    walker.Begin(gif.data(), uint32_t(gif.size()));
    EXPECT_EQ(walker.m_paletteBytes, 768);
    EXPECT_EQ(walker.ScreenWidth(), 42);
    EXPECT_EQ(walker.ScreenHeight(), 32);

    const Walked walked = Walk(gif);
    EXPECT_EQ(walked.passes, 91);
    ASSERT_EQ(walked.cuts.size(), 91u);
    for (const Cut& cut : walked.cuts) EXPECT_EQ(cut, (Cut{cut.span, 0, 1, 0, 0, 42, 32}));
    // The first stream: 14 + 768 palette bytes + its 8-byte control extension + its image block.
    const Bytes& first = walked.streams[0];
    const size_t image = 13 + 768 + 8;
    ASSERT_EQ(first[image], 0x2C);
    walker.m_cursor = uint32_t(13 + 768 + 19 + 8);  // past the application extension and the control
    ASSERT_EQ(walker.PeekBlockKind(), GifBlockKind::Image);
    EXPECT_EQ(first.size(), size_t(14 + 768 + 8 + walker.MeasureBlock()));
}

TEST(GifFrameWait, HundredMillisecondsBelowFiveTenTimesTheDelayFromFiveOn) {
    const struct {
        int32_t delay;
        uint32_t ms;
    } cases[] = {{0, 100}, {4, 100}, {5, 50}, {10, 100}, {300, 3000}, {65535, 655350}, {-1, 4294967286u}};
    for (const auto& c : cases) EXPECT_EQ(GifFrameWaitMilliseconds(c.delay), c.ms) << c.delay;
}
