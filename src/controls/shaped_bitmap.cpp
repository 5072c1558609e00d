#include "controls/shaped_bitmap.h"

#include "controls/image_store.h"
#include "framework/scoped_handles.h"

BOOL ShapedBitmap::LoadArt(UINT id, UINT dpi) { return LoadSkinBitmap(*this, id, dpi, kShapeEdges); }

HRGN ShapedBitmap::BuildRegion(COLORREF key) {
    return m_hObject ? BuildKeyRegion(*this, key) : nullptr;
}

CSize ShapedBitmap::GetSize() const {
    BITMAP info{};
    if (!GetBitmap(&info)) return CSize(0, 0);
    return CSize(info.bmWidth, info.bmHeight);
}

BOOL ShapedBitmap::Draw(CDC* dc, int x, int y) {
    if (!dc || !dc->GetSafeHdc() || !m_hObject) return FALSE;
    const CSize size = GetSize();
    const BitmapContext memory(*dc, m_hObject);
    if (!memory) return FALSE;  // selected into another context: nothing to copy from
    return ::BitBlt(*dc, x, y, size.cx, size.cy, memory, 0, 0, SRCCOPY);
}

void PaintOffScreen(CDC& target, ShapedBitmap& bitmap) {
    const CSize size = bitmap.GetSize();
    if (size.cx == 0 || size.cy == 0) return;
    MemoryCanvas canvas;
    if (!canvas.Create(target, size.cx, size.cy)) return;
    CDC memory;
    memory.Attach(canvas);  // borrowed: the canvas owns it
    bitmap.Draw(&memory, 0, 0);
    ::SelectClipRgn(memory, nullptr);
    target.BitBlt(0, 0, size.cx, size.cy, &memory, 0, 0, SRCCOPY);
}
