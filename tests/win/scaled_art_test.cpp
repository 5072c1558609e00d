// The scaled art as the program decodes it, against the system's own PNG decoder (Windows
// Imaging Component, on Wine): every PNG of the three sets gives the same pixels, and the bitmap
// made for a scale holds exactly them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/png_image.h"
#include "controls/dib_section.h"
#include "controls/scaled_art.h"
#include "pixels.h"
#include "wic_png.h"

namespace {

struct ArtSet {
    const char* type;
    UINT dpi;
};
constexpr ArtSet kSets[] = {{"PNG150", 144}, {"PNG200", 192}, {"PNG300", 288}};

}  // namespace

TEST(ScaledArt, EveryPngDecodesToTheSystemDecodersPixelsAndItsBitmapHoldsThem) {
    HMODULE module = ::GetModuleHandleA(nullptr);
    size_t checked = 0;
    for (const ArtSet& set : kSets) {
        const std::vector<UINT> ids = ResourceIds(set.type);
        EXPECT_GE(ids.size(), 50u) << set.type;
        for (UINT id : ids) {
            SCOPED_TRACE(testing::Message() << set.type << " " << id);
            HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(id), set.type);
            const void* bytes = ::LockResource(::LoadResource(module, found));
            const DWORD size = ::SizeofResource(module, found);
            const PixelImage ours = DecodePng(bytes, size);
            const PixelImage system = DecodePngWithSystem(bytes, size);
            ASSERT_FALSE(ours.pixels.empty());
            EXPECT_EQ(ours.width, system.width);
            EXPECT_EQ(ours.height, system.height);
            EXPECT_TRUE(ours.pixels == system.pixels);
            HBITMAP made = LoadScaledArt(module, id, set.dpi);
            EXPECT_TRUE(ReadPixels(made).pixels == ours.pixels);
            ::DeleteObject(made);
            ++checked;
        }
    }
    EXPECT_GE(checked, 150u);
}
