#pragma once
// GIFs built block by block, for the tests of the frame cutter and of the picture control.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace gif {

using Bytes = std::vector<uint8_t>;

inline Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

inline void PutU16(Bytes& out, int value) {
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

// Header and logical screen descriptor; a global table of 2^(bits) colours when bits > 0,
// colour i being palette[i] (RGB) or black.
inline Bytes Header(int width, int height, int bits = 2, const std::vector<uint32_t>& palette = {},
                    const char* version = "89a") {
    Bytes out{'G', 'I', 'F', uint8_t(version[0]), uint8_t(version[1]), uint8_t(version[2])};
    PutU16(out, width);
    PutU16(out, height);
    out.push_back(bits > 0 ? static_cast<uint8_t>(0xF0 | (bits - 1)) : 0);
    out.push_back(0);
    out.push_back(0);
    for (int i = 0; bits > 0 && i < (1 << bits); ++i) {
        const uint32_t rgb = i < static_cast<int>(palette.size()) ? palette[i] : 0;
        out.insert(out.end(), {uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb)});
    }
    return out;
}

// A graphic control extension; transparent < 0 means no transparent colour.
inline Bytes Control(int delay, int disposal, int transparent = -1) {
    Bytes out{0x21, 0xF9, 4, static_cast<uint8_t>((disposal << 2) | (transparent >= 0 ? 1 : 0))};
    PutU16(out, delay);
    out.push_back(static_cast<uint8_t>(transparent >= 0 ? transparent : 0));
    out.push_back(0);
    return out;
}

// Data bytes cut into sub-blocks of up to 255 bytes, and the terminator.
inline Bytes SubBlocks(const Bytes& data) {
    Bytes out;
    for (size_t at = 0; at < data.size(); at += 255) {
        const size_t n = std::min<size_t>(255, data.size() - at);
        out.push_back(static_cast<uint8_t>(n));
        out.insert(out.end(), data.begin() + at, data.begin() + at + n);
    }
    out.push_back(0);
    return out;
}

// LZW image data that a decoder reads back as the given colour indices (each < 128): every
// index as a literal 8-bit-wide code, with a clear code often enough that the table never grows.
inline Bytes LzwData(const std::vector<uint8_t>& indices) {
    constexpr int kMinCodeSize = 7, kClear = 128, kEnd = 129;
    Bytes packed;
    uint32_t bits = 0;
    int count = 0;
    auto emit = [&](int code) {
        bits |= static_cast<uint32_t>(code) << count;
        for (count += 8; count >= 8; count -= 8, bits >>= 8) packed.push_back(static_cast<uint8_t>(bits));
    };
    for (size_t i = 0; i < indices.size(); ++i) {
        if (i % 100 == 0) emit(kClear);
        emit(indices[i]);
    }
    emit(kEnd);
    return Bytes{kMinCodeSize} + SubBlocks(packed);
}

// An image descriptor (with a local table of 2^localBits entries when localBits > 0) and its data.
inline Bytes Image(int left, int top, int width, int height, const Bytes& data, int localBits = 0) {
    Bytes out{0x2C};
    for (int v : {left, top, width, height}) PutU16(out, v);
    out.push_back(localBits > 0 ? static_cast<uint8_t>(0x80 | (localBits - 1)) : 0);
    out.insert(out.end(), localBits > 0 ? 3u << localBits : 0u, 0);
    return out + data;
}

// An image whose every pixel has one colour index.
inline Bytes SolidImage(int left, int top, int width, int height, uint8_t index) {
    return Image(left, top, width, height, LzwData(std::vector<uint8_t>(size_t(width) * height, index)));
}

inline Bytes Comment(const std::string& text) { return Bytes{0x21, 0xFE} + SubBlocks(Bytes(text.begin(), text.end())); }

// The looping application extension.
inline Bytes Application() {
    const std::string id = "NETSCAPE2.0";
    return Bytes{0x21, 0xFF, 11} + Bytes(id.begin(), id.end()) + Bytes{3, 1, 0, 0, 0};
}

// A plain-text extension with its 12-byte header and some text.
inline Bytes PlainText() {
    return Bytes{0x21, 0x01, 12, 0, 0, 0, 0, 8, 0, 8, 0, 4, 4, 1, 0} + SubBlocks(Bytes{'h', 'i'});
}

inline Bytes Trailer() { return Bytes{0x3B}; }

}  // namespace gif
