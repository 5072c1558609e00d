// Window outlines cut from bitmaps: the fast builder and ShapedBitmap against hand-written
// outlines and against the two per-pixel reference builders, on small drawn bitmaps and on every
// bitmap of the program; ShapedBitmap's size, copy and ownership.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "controls/shaped_bitmap.h"
#include "region_oracle.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);

struct GdiDelete {
    void operator()(HGDIOBJ object) const { ::DeleteObject(object); }
};
using Region = std::unique_ptr<std::remove_pointer_t<HRGN>, GdiDelete>;

// Pictures are rows of letters: W white, B black, R red, G green, n a white one step off.
COLORREF ColourOf(char letter) {
    switch (letter) {
        case 'W': return kWhite;
        case 'B': return kBlack;
        case 'R': return kRed;
        case 'G': return RGB(0, 128, 0);
        default: return RGB(254, 255, 255);
    }
}

enum class BitmapKind { DeviceDependent, Dib24 };

// A bitmap holding the picture: device-dependent like a loaded resource, or a 24-bit DIB section
// (rows padded to four bytes). The caller owns it.
HBITMAP MakeBitmap(const std::vector<std::string>& rows, BitmapKind kind = BitmapKind::DeviceDependent) {
    const int w = static_cast<int>(rows[0].size()), h = static_cast<int>(rows.size());
    HBITMAP bitmap = nullptr;
    if (kind == BitmapKind::DeviceDependent) {
        HDC screen = ::GetDC(nullptr);
        bitmap = ::CreateCompatibleBitmap(screen, w, h);
        ::ReleaseDC(nullptr, screen);
    } else {
        BITMAPINFO info{};
        info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), w, -h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    }
    const SelectedBitmap target(bitmap);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) ::SetPixelV(target.dc(), x, y, ColourOf(rows[y][x]));
    return bitmap;
}

Region RegionOf(const std::vector<RECT>& rects) {
    Region region(::CreateRectRgn(0, 0, 0, 0));
    for (const RECT& rect : rects) {
        Region piece(::CreateRectRgnIndirect(&rect));
        ::CombineRgn(region.get(), region.get(), piece.get(), RGN_OR);
    }
    return region;
}

std::string Describe(HRGN region) {
    if (!region) return "no region";
    const DWORD bytes = ::GetRegionData(region, 0, nullptr);
    std::vector<BYTE> buffer(bytes);
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    if (!bytes || !::GetRegionData(region, bytes, data)) return "unreadable region";
    const RECT& box = data->rdh.rcBound;
    return std::to_string(data->rdh.nCount) + " rectangles within (" + std::to_string(box.left) + "," +
           std::to_string(box.top) + ")-(" + std::to_string(box.right) + "," + std::to_string(box.bottom) + ")";
}

testing::AssertionResult SameRegion(const char* actualText, const char* expectedText, const Region& actual,
                                    const Region& expected) {
    if (actual && expected && ::EqualRgn(actual.get(), expected.get())) return testing::AssertionSuccess();
    return testing::AssertionFailure() << actualText << " is " << Describe(actual.get()) << ", " << expectedText
                                       << " is " << Describe(expected.get());
}

// The colour the reference that takes only colours is given for a key.
COLORREF ResolvedKey(HBITMAP bitmap, COLORREF key) {
    if (key != KEY_TOP_LEFT) return key;
    const SelectedBitmap source(bitmap);
    return ::GetPixel(source.dc(), 0, 0);
}

// The fast builder equals both references on this bitmap and key.
void ExpectReferenceOutline(HBITMAP bitmap, COLORREF key) {
    const Region fast(BuildKeyRegion(bitmap, key));
    ASSERT_TRUE(fast);
    EXPECT_PRED_FORMAT2(SameRegion, fast, Region(SubtractKeyRunsRegion(bitmap, key)));
    EXPECT_PRED_FORMAT2(SameRegion, fast, Region(UniteNonKeyRunsRegion(bitmap, ResolvedKey(bitmap, key))));
}

RECT FullRect(HBITMAP bitmap) {
    BITMAP info{};
    ::GetObjectA(bitmap, sizeof(info), &info);
    return RECT{0, 0, info.bmWidth, info.bmHeight};
}

BOOL CALLBACK CollectIntegerId(HMODULE, LPCSTR, LPSTR name, LONG_PTR ids) {
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<int>*>(ids)->push_back(static_cast<int>(reinterpret_cast<ULONG_PTR>(name)));
    return TRUE;
}

// Every bitmap resource linked into this program.
std::vector<int> ProgramBitmapIds() {
    std::vector<int> ids;
    ::EnumResourceNamesA(nullptr, RT_BITMAP, CollectIntegerId, reinterpret_cast<LONG_PTR>(&ids));
    return ids;
}

HBITMAP LoadProgramBitmap(int id) { return ::LoadBitmapA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id)); }

}  // namespace

TEST(KeyRegion, DrawnBitmapsGiveTheirOutlineThroughEveryBuilder) {
    struct Case {
        const char* name;
        std::vector<std::string> picture;
        COLORREF key;
        std::vector<RECT> outline;
    };
    const Case cases[] = {
        {"no key pixel: the full rectangle", {"BRGB", "GBBR", "RRBB"}, kWhite, {{0, 0, 4, 3}}},
        {"key, other, key over a row without key", {"WBW", "BBB"}, KEY_TOP_LEFT, {{1, 0, 2, 1}, {0, 1, 3, 2}}},
        {"white, black, white over black, black, white", {"WBW", "BBW"}, kWhite, {{1, 0, 2, 1}, {0, 1, 2, 2}}},
        {"a one-pixel key frame", {"WWWWWW", "WBRGBW", "WGBBRW", "WRRBBW", "WWWWWW"}, KEY_TOP_LEFT, {{1, 1, 5, 4}}},
        {"all key: empty", {"WWW", "WWW", "WWW"}, KEY_TOP_LEFT, {}},
        {"a key run reaching the right edge does not go on into the next row",
         {"BWW", "WWB", "BBW"}, kWhite, {{0, 0, 1, 1}, {2, 1, 3, 2}, {0, 2, 2, 3}}},
        {"interior holes", {"BBBBB", "BWBWB", "BBWBB", "BBBBB"}, kWhite,
         {{0, 0, 5, 1}, {0, 1, 1, 2}, {2, 1, 3, 2}, {4, 1, 5, 2}, {0, 2, 2, 3}, {3, 2, 5, 3}, {0, 3, 5, 4}}},
        {"white in the rightmost column after black, black there after white",
         {"BBW", "WWB"}, kWhite, {{0, 0, 2, 1}, {2, 1, 3, 2}}},
        {"a colour one step off the key is kept", {"WnW", "nWn"}, kWhite, {{1, 0, 2, 1}, {0, 1, 1, 2}, {2, 1, 3, 2}}},
        {"a red top-left pixel keys out every red one", {"RWR", "BRW"}, KEY_TOP_LEFT, {{1, 0, 2, 1}, {0, 1, 1, 2}, {2, 1, 3, 2}}},
        {"an explicit key other than the top-left colour", {"RWR", "BRW"}, kBlack, {{0, 0, 3, 1}, {1, 1, 3, 2}}},
        {"one column", {"W", "B", "W", "B"}, kWhite, {{0, 1, 1, 2}, {0, 3, 1, 4}}},
        {"one pixel that is not the key", {"B"}, kWhite, {{0, 0, 1, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ShapedBitmap shaped;
        ASSERT_TRUE(shaped.Attach(MakeBitmap(c.picture)));
        const Region expected = RegionOf(c.outline);
        const COLORREF colour = ResolvedKey(shaped, c.key);
        EXPECT_PRED_FORMAT2(SameRegion, Region(BuildKeyRegion(shaped, c.key)), expected);
        EXPECT_PRED_FORMAT2(SameRegion, Region(BuildKeyRegion(shaped, colour)), expected);
        EXPECT_PRED_FORMAT2(SameRegion, Region(shaped.BuildRegion(c.key)), expected);
        EXPECT_PRED_FORMAT2(SameRegion, Region(SubtractKeyRunsRegion(shaped, c.key)), expected);
        EXPECT_PRED_FORMAT2(SameRegion, Region(SubtractKeyRunsRegion(shaped, colour)), expected);
        EXPECT_PRED_FORMAT2(SameRegion, Region(UniteNonKeyRunsRegion(shaped, colour)), expected);
    }
}

TEST(KeyRegion, NoisyBitmapsOfBothKindsMatchBothReferences) {
    // Mostly white with scattered colours: many short runs of both kinds in every row; the odd
    // width pads the DIB's rows.
    std::vector<std::string> picture(41, std::string(97, 'W'));
    unsigned seed = 12345;
    for (std::string& row : picture)
        for (char& pixel : row) {
            seed = seed * 1103515245u + 12345u;
            pixel = "WWWWBRGn"[(seed >> 16) % 8];
        }
    for (BitmapKind kind : {BitmapKind::DeviceDependent, BitmapKind::Dib24}) {
        SCOPED_TRACE(kind == BitmapKind::Dib24 ? "24-bit DIB section" : "device-dependent bitmap");
        ShapedBitmap shaped;
        ASSERT_TRUE(shaped.Attach(MakeBitmap(picture, kind)));
        for (COLORREF key : {kWhite, KEY_TOP_LEFT, kRed, RGB(254, 255, 255)}) ExpectReferenceOutline(shaped, key);
    }
}

TEST(ProgramBitmaps, EveryBitmapGivesTheReferenceOutline) {
    const std::vector<int> ids = ProgramBitmapIds();
    ASSERT_FALSE(ids.empty());
    for (int id : ids) {
        SCOPED_TRACE(testing::Message() << "bitmap " << id);
        ShapedBitmap shaped;
        ASSERT_TRUE(shaped.Attach(LoadProgramBitmap(id)));
        ExpectReferenceOutline(shaped, KEY_TOP_LEFT);
        ExpectReferenceOutline(shaped, kWhite);
    }
}

TEST(ProgramBitmaps, BackgroundLosesItsFrameMasksKeepTheirRectangleHintsLoseOnePixel) {
    ShapedBitmap background;
    ASSERT_TRUE(background.Attach(LoadProgramBitmap(198)));
    EXPECT_EQ(background.GetSize().cx, 494);
    EXPECT_EQ(background.GetSize().cy, 400);
    EXPECT_PRED_FORMAT2(SameRegion, Region(background.BuildRegion(KEY_TOP_LEFT)), RegionOf({{1, 1, 493, 399}}));

    for (int id : {132, 153, 156, 159, 162, 171, 174, 208}) {  // the buttons' masks
        SCOPED_TRACE(testing::Message() << "mask " << id);
        ShapedBitmap mask;
        ASSERT_TRUE(mask.Attach(LoadProgramBitmap(id)));
        const Region full = RegionOf({FullRect(mask)});
        EXPECT_PRED_FORMAT2(SameRegion, Region(BuildKeyRegion(mask, kWhite)), full);
        EXPECT_PRED_FORMAT2(SameRegion, Region(UniteNonKeyRunsRegion(mask, kWhite)), full);
    }

    for (int id : {177, 178}) {  // the hint pictures: their top-left colour occurs only there
        SCOPED_TRACE(testing::Message() << "hint picture " << id);
        ShapedBitmap hint;
        ASSERT_TRUE(hint.Attach(LoadProgramBitmap(id)));
        const RECT full = FullRect(hint);
        EXPECT_PRED_FORMAT2(SameRegion, Region(hint.BuildRegion(KEY_TOP_LEFT)),
                            RegionOf({{1, 0, full.right, 1}, {0, 1, full.right, full.bottom}}));
    }
}

TEST(ShapedBitmap, WithoutABitmapGivesNoRegionNoSizeAndDrawsNothing) {
    ShapedBitmap empty;
    EXPECT_EQ(empty.BuildRegion(KEY_TOP_LEFT), nullptr);
    EXPECT_EQ(empty.GetSize().cx, 0);
    EXPECT_EQ(empty.GetSize().cy, 0);
    CDC memory;
    ASSERT_TRUE(memory.CreateCompatibleDC(nullptr));
    EXPECT_EQ(empty.Draw(&memory, 0, 0), 0);
}

TEST(ShapedBitmap, DrawFailsWithoutAContextOrWhileAnotherContextHoldsTheBitmap) {
    ShapedBitmap shaped;
    ASSERT_TRUE(shaped.Attach(MakeBitmap({"BRG"})));
    CDC noHandle;
    EXPECT_EQ(shaped.Draw(nullptr, 0, 0), 0);
    EXPECT_EQ(shaped.Draw(&noHandle, 0, 0), 0);

    CDC target;
    ASSERT_TRUE(target.CreateCompatibleDC(nullptr));
    {
        const SelectedBitmap holder(shaped);  // a bitmap is selected into one context at a time
        EXPECT_EQ(shaped.Draw(&target, 0, 0), 0);
    }
    EXPECT_NE(shaped.Draw(&target, 0, 0), 0);
}

TEST(ShapedBitmap, DrawCopiesEveryPixelOneToOneAtTheOffset) {
    const std::vector<std::string> picture = {"BRGWn", "WBRGB", "GnWBR", "RGBWW"};
    ShapedBitmap shaped;
    ASSERT_TRUE(shaped.Attach(MakeBitmap(picture)));
    ASSERT_EQ(shaped.GetSize().cx, 5);
    ASSERT_EQ(shaped.GetSize().cy, 4);

    const int left = 7, top = 3;
    CBitmap canvasBitmap;
    ASSERT_TRUE(canvasBitmap.Attach(MakeBitmap(std::vector<std::string>(12, std::string(16, 'G')))));
    const SelectedBitmap canvas(canvasBitmap);
    CDC target;
    target.Attach(canvas.dc());  // borrowed: the canvas deletes it
    EXPECT_NE(shaped.Draw(&target, left, top), 0);
    target.Detach();

    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool inside = x >= left && x < left + 5 && y >= top && y < top + 4;
            const COLORREF want = inside ? ColourOf(picture[y - top][x - left]) : ColourOf('G');
            EXPECT_EQ(::GetPixel(canvas.dc(), x, y), want) << "at (" << x << "," << y << ")";
        }
}

TEST(ShapedBitmap, DeletesItsBitmapWhenDestroyed) {
    HBITMAP bitmap = MakeBitmap({"BW"});
    {
        ShapedBitmap shaped;
        ASSERT_TRUE(shaped.Attach(bitmap));
        EXPECT_EQ(::GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
    }
    EXPECT_EQ(::GetObjectType(bitmap), 0u);
}
