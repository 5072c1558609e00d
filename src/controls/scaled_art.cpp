#include "controls/scaled_art.h"

#include <wincodec.h>

#include <cstring>

#include "framework/dialog_template.h"

namespace {

// Spelled out: a static mingw link does not carry these identifiers reliably.
constexpr GUID kClsidWicImagingFactory = {0xcacaf262, 0x9370, 0x4615, {0xa1, 0x3b, 0x9f, 0x55, 0x39, 0xda, 0x4c, 0x0a}};
constexpr GUID kIidWicImagingFactory = {0xec5ec8a9, 0xc395, 0x4314, {0x9c, 0x77, 0x54, 0xd7, 0xa9, 0x35, 0xff, 0x70}};
constexpr GUID kPixelFormat32bppBgra = {0x6fddc324, 0x4e03, 0x4bfe, {0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x0f}};
constexpr GUID kContainerFormatPng = {0x1b7cfaf4, 0x713f, 0x473c, {0xbb, 0xcd, 0x61, 0x37, 0x42, 0x5f, 0xae, 0xaf}};
constexpr GUID kPixelFormat24bppBgr = {0x6fddc324, 0x4e03, 0x4bfe, {0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x0c}};

struct ArtSet {
    UINT dpi;
    const char* type;
};
constexpr ArtSet kArtSets[] = {{144, "PNG150"}, {192, "PNG200"}, {288, "PNG300"}};

// The set drawn for that dpi or the next larger one; the largest above 300 %.
const ArtSet& ArtSetFor(UINT dpi) {
    for (const ArtSet& set : kArtSets) {
        if (set.dpi >= dpi) return set;
    }
    return kArtSets[std::size(kArtSets) - 1];
}

// Releases a COM interface when it goes.
template <typename T>
struct ComRef {
    T* p = nullptr;
    ~ComRef() {
        if (p) p->Release();
    }
    T* operator->() const { return p; }
    T** operator&() { return &p; }
};

// The imaging factory for the user-interface thread, made on first use and kept for the run,
// with the COM apartment it lives in.
class ImagingFactory {
public:
    ImagingFactory() {
        const HRESULT com = ::CoInitialize(nullptr);
        startedCom_ = SUCCEEDED(com);
        if (FAILED(::CoCreateInstance(kClsidWicImagingFactory, nullptr, CLSCTX_INPROC_SERVER, kIidWicImagingFactory,
                                      reinterpret_cast<void**>(&factory_)))) {
            factory_ = nullptr;
        }
    }
    ~ImagingFactory() {
        if (factory_) factory_->Release();
        if (startedCom_) ::CoUninitialize();
    }
    ImagingFactory(const ImagingFactory&) = delete;
    ImagingFactory& operator=(const ImagingFactory&) = delete;
    IWICImagingFactory* Get() const { return factory_; }

private:
    bool startedCom_ = false;
    IWICImagingFactory* factory_ = nullptr;
};

// The decoded pixels as 0x00RRGGBB, from the decoder's own 24-bit rows where it gives them
// (every PNG of the art), else through the system's format converter, which is slower.
PixelImage CopyFrame(IWICImagingFactory* wic, IWICBitmapSource* frame, UINT width, UINT height) {
    PixelImage image{static_cast<int>(width), static_cast<int>(height), std::vector<uint32_t>(size_t{width} * height)};
    WICPixelFormatGUID format{};
    if (SUCCEEDED(frame->GetPixelFormat(&format)) && format == kPixelFormat24bppBgr) {
        const UINT stride = (width * 3 + 3) & ~3u;
        std::vector<BYTE> rows(size_t{stride} * height);
        if (FAILED(frame->CopyPixels(nullptr, stride, static_cast<UINT>(rows.size()), rows.data()))) return {};
        for (UINT y = 0; y < height; ++y) {
            const BYTE* in = &rows[size_t{y} * stride];
            for (UINT x = 0; x < width; ++x, in += 3) image.pixels[size_t{y} * width + x] = in[0] | in[1] << 8 | in[2] << 16;
        }
        return image;
    }
    ComRef<IWICFormatConverter> converter;
    if (FAILED(wic->CreateFormatConverter(&converter)) ||
        FAILED(converter->Initialize(frame, kPixelFormat32bppBgra, WICBitmapDitherTypeNone, nullptr, 0,
                                     WICBitmapPaletteTypeCustom)) ||
        FAILED(converter->CopyPixels(nullptr, width * 4, width * height * 4, reinterpret_cast<BYTE*>(image.pixels.data())))) {
        return {};
    }
    // The 100 % bitmaps carry no alpha; these carry none either.
    for (uint32_t& pixel : image.pixels) pixel &= 0xFFFFFF;
    return image;
}

PixelImage DecodePng(const void* bytes, DWORD size) {
    static ImagingFactory factory;
    IWICImagingFactory* wic = factory.Get();
    ComRef<IWICStream> stream;
    ComRef<IWICBitmapDecoder> decoder;
    ComRef<IWICBitmapFrameDecode> frame;
    UINT width = 0, height = 0;
    if (!wic || FAILED(wic->CreateStream(&stream)) ||
        FAILED(stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(bytes)), size)) ||
        // Named, the PNG decoder is made at once; asked to find one, the factory tries each it knows.
        FAILED(wic->CreateDecoder(kContainerFormatPng, nullptr, &decoder)) ||
        FAILED(decoder->Initialize(stream.p, WICDecodeMetadataCacheOnDemand)) ||
        FAILED(decoder->GetFrame(0, &frame)) || FAILED(frame->GetSize(&width, &height)) || width == 0 || height == 0 ||
        width > 8192 || height > 8192) {
        return {};
    }
    return CopyFrame(wic, frame.p, width, height);
}

PixelImage ArtOfSet(HINSTANCE module, UINT id, const ArtSet& set) {
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(id), set.type);
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    return bytes ? DecodePng(bytes, ::SizeofResource(module, found)) : PixelImage{};
}

BITMAPINFO TopDownFormat(int width, int height) {
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    return format;
}

}  // namespace

PixelImage ReadPixels(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || !::GetObjectA(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0) return {};
    PixelImage image{info.bmWidth, info.bmHeight, std::vector<uint32_t>(size_t(info.bmWidth) * info.bmHeight)};
    BITMAPINFO format = TopDownFormat(image.width, image.height);
    HDC memory = ::CreateCompatibleDC(nullptr);
    const int read = memory ? ::GetDIBits(memory, bitmap, 0, static_cast<UINT>(image.height), image.pixels.data(),
                                          &format, DIB_RGB_COLORS)
                            : 0;
    if (memory) ::DeleteDC(memory);
    return read == image.height ? image : PixelImage{};
}

HBITMAP MakeSection(const PixelImage& image) {
    if (image.width <= 0 || image.height <= 0) return nullptr;
    BITMAPINFO format = TopDownFormat(image.width, image.height);
    void* bits = nullptr;
    HBITMAP section = ::CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (section) std::memcpy(bits, image.pixels.data(), image.pixels.size() * sizeof(uint32_t));
    return section;
}

HBITMAP LoadScaledArt(HINSTANCE module, UINT id, UINT dpi, ArtEdges edges) {
    const ArtSet& set = ArtSetFor(dpi);
    PixelImage art = ArtOfSet(module, id, set);
    UINT drawnFor = set.dpi;
    if (art.pixels.empty()) {
        HBITMAP original = static_cast<HBITMAP>(
            ::LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        art = ReadPixels(original);
        if (original) ::DeleteObject(original);
        drawnFor = 96;
    }
    if (art.pixels.empty()) return nullptr;
    if (drawnFor == dpi) return MakeSection(art);
    const int width = MulDivRound(art.width, static_cast<int>(dpi), static_cast<int>(drawnFor));
    const int height = MulDivRound(art.height, static_cast<int>(dpi), static_cast<int>(drawnFor));
    return MakeSection(edges == ArtEdges::KeyOutline ? ResampleKeyed(art, width, height, art.pixels[0])
                                                     : ResampleArea(art, width, height));
}

BOOL PaintScaled(HDC target, HDC source, int width, int height, UINT dpi) {
    if (width <= 0 || height <= 0) return FALSE;
    PixelImage frame{width, height, std::vector<uint32_t>(size_t(width) * height)};
    HBITMAP copy = MakeSection(frame);
    HDC memory = copy ? ::CreateCompatibleDC(target) : nullptr;
    BOOL read = FALSE;
    if (memory) {
        const HGDIOBJ previous = ::SelectObject(memory, copy);
        read = ::BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
        ::SelectObject(memory, previous);
        ::DeleteDC(memory);
    }
    if (read) frame = ReadPixels(copy);
    if (copy) ::DeleteObject(copy);
    const PixelImage scaled = read ? ResampleArea(frame, ScaleToDpi(width, dpi), ScaleToDpi(height, dpi)) : PixelImage{};
    if (scaled.pixels.empty()) return FALSE;
    const BITMAPINFO format = TopDownFormat(scaled.width, scaled.height);
    return ::SetDIBitsToDevice(target, 0, 0, static_cast<DWORD>(scaled.width), static_cast<DWORD>(scaled.height), 0, 0,
                               0, static_cast<UINT>(scaled.height), scaled.pixels.data(), &format, DIB_RGB_COLORS) != 0;
}
