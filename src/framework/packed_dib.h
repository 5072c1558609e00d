#pragma once
// The pixels of a bitmap resource, which holds a packed device-independent bitmap: its header,
// then its rows from the bottom up, each padded to four bytes. Read here, in memory, so that a
// bitmap is made with one call instead of a round of conversions through the system.
// Portable: no window system needed.
#include <cstddef>
#include <cstdint>
#include <optional>

// A 24-bit uncompressed bitmap inside the bytes it was read from.
struct TrueColourDib {
    int width = 0;
    int height = 0;
    const uint8_t* rows = nullptr;  // the bottom row first
    size_t stride = 0;              // bytes per row, padding included
};

// The largest width and height read.
constexpr int kMaxDibSide = 32768;

// The bitmap when the bytes hold a 24-bit uncompressed bottom-up bitmap whole; none for any
// other format (the system then reads it), a size beyond kMaxDibSide, or too few bytes.
std::optional<TrueColourDib> ReadTrueColourDib(const uint8_t* bytes, size_t size);

// Its pixels as 0x00RRGGBB into width x height values, rows in the same order (bottom first).
void ExpandToThirtyTwoBits(const TrueColourDib& dib, uint32_t* pixels);
