// Checks the committed artwork in res/art/ that tools/make_art.py draws:
// the format and sizes the window code relies on, solid masks, the
// background's transparent frame, the hint pictures' key pixel, and that
// pictures drawn over the background blend into it at their edges.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifndef ORVA_ART_DIR
#error "ORVA_ART_DIR must name the folder holding the art, as a string"
#endif

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Rgb {
  std::uint8_t r, g, b;
  bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};
constexpr Rgb kKey{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};

Bytes ReadFile(const std::string& name) {
  std::ifstream in(std::string(ORVA_ART_DIR) + "/" + name, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint32_t LittleEndian(const Bytes& bytes, std::size_t at, int count) {
  std::uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes[at + i];
  return value;
}

// A BMP as the resource compiler embeds it: BITMAPFILEHEADER, then
// BITMAPINFOHEADER, then rows padded to 4 bytes, the bottom row first.
struct Bitmap {
  Bytes bytes;
  int width = 0, height = 0, bits = 0, compression = -1;
  std::size_t pixels = 0, stride = 0;

  bool Complete() const { return height > 0 && pixels + stride * height <= bytes.size(); }
  Rgb At(int x, int y) const {
    const std::size_t at = pixels + stride * (height - 1 - y) + 3 * x;
    return {bytes[at + 2], bytes[at + 1], bytes[at]};  // stored as B, G, R
  }
};

Bitmap LoadBitmap(int id) {
  Bitmap bmp;
  bmp.bytes = ReadFile("bmp_" + std::to_string(id) + ".bmp");
  if (bmp.bytes.size() < 54 || bmp.bytes[0] != 'B' || bmp.bytes[1] != 'M') return Bitmap{};
  bmp.pixels = LittleEndian(bmp.bytes, 10, 4);
  bmp.width = static_cast<std::int32_t>(LittleEndian(bmp.bytes, 18, 4));
  bmp.height = static_cast<std::int32_t>(LittleEndian(bmp.bytes, 22, 4));
  bmp.bits = static_cast<int>(LittleEndian(bmp.bytes, 28, 2));
  bmp.compression = static_cast<int>(LittleEndian(bmp.bytes, 30, 4));
  bmp.stride = (static_cast<std::size_t>(std::abs(bmp.width)) * 3 + 3) / 4 * 4;
  return bmp;
}

bool OnBorder(const Bitmap& bmp, int x, int y) {
  return x == 0 || y == 0 || x == bmp.width - 1 || y == bmp.height - 1;
}

struct SizeGroup {
  int width, height;
  std::vector<int> ids;
};

const std::vector<SizeGroup> kSizes = {
    {494, 400, {198}},  // window background
    {494, 351, {133}},
    {494, 270, {177, 178}},  // hint pictures
    {67, 14, {172}},         // logo
    {16, 16, {164, 165, 167, 171, 168, 169, 170}},
    {15, 15, {173, 174, 175, 176}},
    {82, 191, {160, 161, 162, 154, 155, 156}},  // S-Video, Composite
    {154, 191, {151, 152, 153}},                // Component
    {105, 191, {157, 158, 159}},                // HDMI
    {120, 26, {129, 130, 131, 132, 134, 135, 136, 147, 148, 149,  //
               137, 138, 139, 140, 141, 142, 144, 145, 146}},
    {146, 23, {180, 181, 182, 183, 184, 185, 186, 187, 188, 189,  //
               190, 191, 192, 193, 194, 195, 196, 197, 208}},
};

TEST(ArtFiles, EveryResourceIsListedAndEveryBitmapHasItsFormatAndSize) {
  const Bytes rc = ReadFile("art.rc");
  const std::string script(rc.begin(), rc.end());
  EXPECT_NE(script.find("128 ICON \"art/orva.ico\""), std::string::npos);
  EXPECT_NE(script.find("163 GIF \"art/anim.gif\""), std::string::npos);
  for (const auto& group : kSizes) {
    for (int id : group.ids) {
      SCOPED_TRACE("bitmap " + std::to_string(id));
      const Bitmap bmp = LoadBitmap(id);
      ASSERT_FALSE(bmp.bytes.empty()) << "missing or not a BMP";
      EXPECT_EQ(bmp.bits, 24);
      EXPECT_EQ(bmp.compression, 0);  // BI_RGB
      EXPECT_EQ(bmp.width, group.width);
      EXPECT_EQ(bmp.height, group.height);  // positive: bottom-up
      EXPECT_TRUE(bmp.Complete()) << "file shorter than its pixel rows";
      const std::string line = std::to_string(id) + " BITMAP \"art/bmp_" + std::to_string(id) + ".bmp\"";
      EXPECT_NE(script.find(line), std::string::npos) << "art.rc lacks: " << line;
    }
  }
}

TEST(ArtMasks, EveryMaskIsSolidBlack) {
  for (int id : {132, 153, 156, 159, 162, 171, 174, 208}) {
    SCOPED_TRACE("mask " + std::to_string(id));
    const Bitmap bmp = LoadBitmap(id);
    ASSERT_TRUE(bmp.Complete());
    int coloured = 0;
    for (int y = 0; y < bmp.height; ++y)
      for (int x = 0; x < bmp.width; ++x) coloured += !(bmp.At(x, y) == kBlack);
    EXPECT_EQ(coloured, 0) << "pixels that would turn transparent";
  }
}

TEST(ArtBackground, KeyColourFramesTheWindowAndNeverAppearsInside) {
  const Bitmap bmp = LoadBitmap(198);
  ASSERT_TRUE(bmp.Complete());
  int frame_not_key = 0, inside_key = 0;
  for (int y = 0; y < bmp.height; ++y) {
    for (int x = 0; x < bmp.width; ++x) {
      const bool key = bmp.At(x, y) == kKey;
      if (OnBorder(bmp, x, y)) frame_not_key += !key;
      else inside_key += key;
    }
  }
  EXPECT_EQ(frame_not_key, 0);
  EXPECT_EQ(inside_key, 0) << "holes would appear in the window";
}

TEST(ArtHints, TopLeftColourAppearsNowhereElse) {
  for (int id : {177, 178}) {
    SCOPED_TRACE("hint picture " + std::to_string(id));
    const Bitmap bmp = LoadBitmap(id);
    ASSERT_TRUE(bmp.Complete());
    const Rgb key = bmp.At(0, 0);
    int same = 0;
    for (int y = 0; y < bmp.height; ++y)
      for (int x = 0; x < bmp.width; ++x) same += bmp.At(x, y) == key;
    EXPECT_EQ(same, 1);
  }
}

// Pictures are drawn opaque over the background; their edges must equal
// what lies beneath, or a seam shows round them.
TEST(ArtBackground, PicturesDrawnOverItMatchItAlongTheirEdges) {
  struct Placement { int id, x, y; };
  const Placement placements[] = {
      {172, 53, 18},  {160, 21, 71},  {161, 21, 71},  {154, 110, 71}, {155, 110, 71},
      {151, 215, 75}, {152, 215, 75}, {157, 384, 77}, {158, 384, 77}};
  const Bitmap background = LoadBitmap(198);
  ASSERT_TRUE(background.Complete());
  for (const auto& place : placements) {
    SCOPED_TRACE("bitmap " + std::to_string(place.id));
    const Bitmap bmp = LoadBitmap(place.id);
    ASSERT_TRUE(bmp.Complete());
    int seams = 0;
    for (int y = 0; y < bmp.height; ++y)
      for (int x = 0; x < bmp.width; ++x)
        if (OnBorder(bmp, x, y)) seams += !(bmp.At(x, y) == background.At(place.x + x, place.y + y));
    EXPECT_EQ(seams, 0);
  }
}

double Luminance(const Rgb& c) {
  auto linear = [](std::uint8_t v) {
    const double x = v / 255.0;
    return x <= 0.03928 ? x / 12.92 : std::pow((x + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(c.r) + 0.7152 * linear(c.g) + 0.0722 * linear(c.b);
}

double Contrast(const Rgb& a, const Rgb& b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Each text lies inside its box and off the box's outline. The text's colour is the pixel that
// stands out most from the whole outline; it must stand out 4.5:1 from every outline pixel.
TEST(ArtText, EveryTextStandsOutFromWhatIsBehindIt) {
  struct TextBox { std::vector<int> ids; int x0, y0, x1, y1; };
  const TextBox boxes[] = {
      {{198}, 54, 33, 321, 47},     {{198}, 21, 58, 122, 70},   {{198}, 11, 283, 114, 295},  // header, labels
      {{160, 161}, 16, 166, 66, 181}, {{154, 155}, 7, 166, 75, 183},                         // captions
      {{151, 152}, 40, 163, 114, 179}, {{157, 158}, 34, 161, 71, 174},
      {{129, 130, 131, 147, 148, 149, 134, 135, 136}, 8, 3, 112, 23},                       // SD faces
      {{180, 181, 182, 183, 184, 185, 186, 187, 188, 189, 190, 191, 192, 193, 194, 195, 196, 197}, 23, 2, 141, 20},
  };
  for (const auto& box : boxes) {
    for (int id : box.ids) {
      SCOPED_TRACE("bitmap " + std::to_string(id) + " at x " + std::to_string(box.x0));
      const Bitmap bmp = LoadBitmap(id);
      ASSERT_TRUE(bmp.Complete());
      std::vector<Rgb> outline;
      for (int x = box.x0; x <= box.x1; ++x) outline.insert(outline.end(), {bmp.At(x, box.y0), bmp.At(x, box.y1)});
      for (int y = box.y0; y <= box.y1; ++y) outline.insert(outline.end(), {bmp.At(box.x0, y), bmp.At(box.x1, y)});
      double best = 0;
      for (int y = box.y0 + 1; y < box.y1; ++y) {
        for (int x = box.x0 + 1; x < box.x1; ++x) {
          double weakest = 1e9;
          for (const Rgb& behind : outline) weakest = std::min(weakest, Contrast(bmp.At(x, y), behind));
          best = std::max(best, weakest);
        }
      }
      EXPECT_GE(best, 4.5);
    }
  }
}

TEST(ArtAnimation, IsGif89aWithA42By32Screen) {
  const Bytes gif = ReadFile("anim.gif");
  ASSERT_GE(gif.size(), 13u);
  EXPECT_EQ(std::string(gif.begin(), gif.begin() + 6), "GIF89a");
  EXPECT_EQ(LittleEndian(gif, 6, 2), 42u);
  EXPECT_EQ(LittleEndian(gif, 8, 2), 32u);
}

TEST(ArtIcon, HoldsThe16To256PixelSizes) {
  const Bytes ico = ReadFile("orva.ico");
  ASSERT_GE(ico.size(), 6u + 4 * 16);
  EXPECT_EQ(LittleEndian(ico, 2, 2), 1u);  // an icon, not a cursor
  ASSERT_EQ(LittleEndian(ico, 4, 2), 4u);
  std::vector<int> widths;
  for (std::size_t entry = 6; entry < 6 + 4 * 16; entry += 16)
    widths.push_back(ico[entry] == 0 ? 256 : ico[entry]);  // 0 stands for 256
  EXPECT_EQ(widths, (std::vector<int>{16, 32, 48, 256}));
}

}  // namespace
