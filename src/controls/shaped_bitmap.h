#pragma once
// A window's background bitmap, which also gives the window its outline.
#include "controls/key_region.h"
#include "controls/scaled_art.h"
#include "framework/afxwin.h"

// How the art of a window's outline is shrunk or enlarged for a scale: no key colour is mixed
// into the shape's edge.
constexpr ArtEdges kShapeEdges = ArtEdges::KeyOutline;

// Holds one bitmap (attached by its owner, deleted by the inherited destructor) and offers the
// window outline cut from it, its size and a 1:1 copy onto a device context.
class ShapedBitmap : public CBitmap {
public:
    // The region of every pixel whose colour differs from the key (KEY_TOP_LEFT: the top-left
    // pixel's colour), in bitmap coordinates; null without a bitmap. The caller owns it.
    HRGN BuildRegion(COLORREF key);
    // Loads the art of that bitmap resource for that scale in place of the bitmap held, with no
    // key colour mixed into the shape's edge; FALSE when it does not load (the old one stays).
    BOOL LoadArt(UINT id, UINT dpi);
    // Width and height in pixels; (0, 0) without a bitmap.
    CSize GetSize() const;
    // Copies the whole bitmap unscaled with its top-left corner at (x, y); the BitBlt result, or
    // 0 without a device context or without a bitmap.
    BOOL Draw(CDC* dc, int x, int y);
};

// Paints the whole bitmap at (0, 0) of the target through an off-screen copy, so that it never
// flickers; the target's own clipping limits the copy. Nothing without a bitmap.
void PaintOffScreen(CDC& target, ShapedBitmap& bitmap);
