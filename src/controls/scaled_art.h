#pragma once
// The skin's art for display scales above 100 %. The art is drawn for 150 %, 200 % and 300 %
// and stored as PNG resources of the types "PNG150", "PNG200" and "PNG300" under the ids of the
// 100 % bitmaps; a scale in between takes the next larger set, shrunk once. Nothing here is
// used at 100 %. The PNGs are decoded by the program itself (png_image.h), not by the system.
#include <windows.h>

// How art shrunk or enlarged for a scale treats its edges.
enum class ArtEdges {
    Blended,  // every pixel averages what it covers
    KeyOutline,  // the top-left pixel's colour lies outside a window's outline: none is mixed in
};

// The bitmap resource drawn for that dpi (above 100 %), as a 32-bit section the caller owns; null
// when neither its art nor its 100 % bitmap loads. A bitmap without art of its own for the
// scale is its 100 % bitmap enlarged.
HBITMAP LoadScaledArt(HINSTANCE module, UINT id, UINT dpi, ArtEdges edges = ArtEdges::Blended);
