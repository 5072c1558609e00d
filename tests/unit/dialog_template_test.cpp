#include "framework/dialog_template.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Builds template bytes the way the resource compiler lays them out.
class TemplateBytes {
public:
    TemplateBytes& Word(uint16_t v) {
        bytes.push_back(static_cast<uint8_t>(v));
        bytes.push_back(static_cast<uint8_t>(v >> 8));
        return *this;
    }
    TemplateBytes& Dword(uint32_t v) { return Word(static_cast<uint16_t>(v)).Word(static_cast<uint16_t>(v >> 16)); }
    TemplateBytes& String(const std::u16string& s) {
        for (char16_t c : s) Word(static_cast<uint16_t>(c));
        return Word(0);
    }
    TemplateBytes& Align() {
        while (bytes.size() % 4) bytes.push_back(0);
        return *this;
    }
    TemplateBytes& Rect(int16_t x, int16_t y, int16_t cx, int16_t cy) {
        return Word(static_cast<uint16_t>(x)).Word(static_cast<uint16_t>(y)).Word(static_cast<uint16_t>(cx)).Word(
            static_cast<uint16_t>(cy));
    }
    std::vector<uint8_t> bytes;
};

const std::u16string kMingLiu = u"\u65B0\u7D30\u660E\u9AD4";

// An extended template with a font and two controls: a text-classed button and a static with
// an ordinal title (a bitmap) and id -1.
TemplateBytes MainDialogLike() {
    TemplateBytes t;
    t.Word(1).Word(0xFFFF).Dword(0).Dword(0x00040000).Dword(0x900000C0).Word(2).Rect(0, 0, 337, 263);
    t.Word(0).Word(0).String(u"");                    // no menu, no class, empty title
    t.Word(9).Word(0).Word(0x0100).String(kMingLiu);  // 9 pt, weight, italic/charset, face
    t.Align().Dword(0).Dword(0).Dword(0x50010000).Rect(256, 51, 44, 77).Dword(1006);
    t.Word(0xFFFF).Word(0x0080).String(u"").Word(0);  // button class by ordinal, no text
    t.Align().Dword(0).Dword(0).Dword(0x5000000E).Rect(35, 12, 45, 9).Dword(0xFFFFFFFF);
    t.String(u"Static").Word(0xFFFF).Word(172).Word(0);
    return t;
}

}  // namespace

TEST(DialogTemplate, ReadsExtendedTemplateWithFontAndControls) {
    const TemplateBytes t = MainDialogLike();
    const auto info = ParseDialogTemplate(t.bytes.data(), t.bytes.size());
    ASSERT_TRUE(info);
    EXPECT_TRUE(info->extended);
    EXPECT_EQ(info->style, 0x900000C0u);
    EXPECT_EQ(info->exStyle, 0x00040000u);
    EXPECT_EQ(info->rect.cx, 337);
    EXPECT_EQ(info->rect.cy, 263);
    EXPECT_TRUE(info->hasFont);
    EXPECT_EQ(info->pointSize, 9);
    EXPECT_EQ(info->fontFace, kMingLiu);
    ASSERT_EQ(info->items.size(), 2u);
    EXPECT_EQ(info->items[0].id, 1006u);
    EXPECT_EQ(info->items[0].rect.x, 256);
    EXPECT_EQ(info->items[0].rect.cy, 77);
    EXPECT_EQ(info->items[0].classOrdinal, 0x80);
    EXPECT_EQ(info->items[1].className, u"Static");
    EXPECT_EQ(info->items[1].id, 0xFFFFFFFFu);
    EXPECT_EQ(info->items[1].style, 0x5000000Eu);
}

TEST(DialogTemplate, RejectsEveryTruncationAndNothing) {
    const TemplateBytes t = MainDialogLike();
    for (size_t size = 0; size < t.bytes.size(); ++size)
        EXPECT_FALSE(ParseDialogTemplate(t.bytes.data(), size)) << "accepted " << size << " bytes";
    EXPECT_FALSE(ParseDialogTemplate(nullptr, 100));
}

TEST(DialogTemplate, ReadsClassicTemplateWithoutFont) {
    TemplateBytes t;
    t.Dword(0x80000000).Dword(0).Word(1).Rect(5, 6, 100, 50).Word(0).Word(0).String(u"Hi");
    t.Align().Dword(0x50000000).Dword(0).Rect(1, 2, 3, 4).Word(0xFFFF).Word(0xFFFF).Word(0x0082).String(u"x").Word(0);
    const auto info = ParseDialogTemplate(t.bytes.data(), t.bytes.size());
    ASSERT_TRUE(info);
    EXPECT_FALSE(info->extended);
    EXPECT_FALSE(info->hasFont);
    EXPECT_EQ(info->rect.x, 5);
    ASSERT_EQ(info->items.size(), 1u);
    EXPECT_EQ(info->items[0].id, 0xFFFFFFFFu);  // a classic template's -1 widens to the same id
    EXPECT_EQ(info->items[0].rect.cy, 4);
}

TEST(DialogUnits, RoundLikeTheDialogManager) {
    EXPECT_EQ(MulDivRound(51, 12, 8), 77);  // 76.5 rounds up
    EXPECT_EQ(MulDivRound(-51, 12, 8), -77);
    EXPECT_EQ(MulDivRound(337, 7, 4), 590);
    EXPECT_EQ(MulDivRound(5, 5, 0), 0);
    // The main dialog at the intended 6 x 12: client 506 x 395, HDMI picture at (384, 77).
    const DialogRect client = DialogUnitsToPixels({0, 0, 337, 263}, {6, 12});
    EXPECT_EQ(client.cx, 506);
    EXPECT_EQ(client.cy, 395);
    const DialogRect hdmi = DialogUnitsToPixels({256, 51, 44, 77}, {6, 12});
    EXPECT_EQ(hdmi.x, 384);
    EXPECT_EQ(hdmi.y, 77);
}

TEST(DialogUnits, KnowsOnlyTheFontsWeMeasured) {
    EXPECT_EQ(KnownFontBaseUnits(kMingLiu, 9), (DialogBaseUnits{6, 12}));
    EXPECT_EQ(KnownFontBaseUnits(u"System", 10), (DialogBaseUnits{8, 16}));
    EXPECT_FALSE(KnownFontBaseUnits(kMingLiu, 10));
    EXPECT_FALSE(KnownFontBaseUnits(u"System", 9));
    EXPECT_FALSE(KnownFontBaseUnits(u"Tahoma", 9));
}

TEST(DialogUnits, ScaleWithTheEdgesSoNeighboursStayNeighbours) {
    EXPECT_EQ(ScaleToDpi(512, 192), 1024);
    EXPECT_EQ(ScaleToDpi(15, 144), 23);  // 22.5 rounds away from zero, as the art's sizes do
    const DialogRect left = ScaleToDpi(DialogRect{1, 0, 1, 1}, 144), right = ScaleToDpi(DialogRect{2, 0, 1, 1}, 144);
    EXPECT_EQ(left.x + left.cx, right.x);
}
