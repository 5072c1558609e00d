#include "controls/shaped_bitmap.h"

#include "controls/image_store.h"

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
    CDC memory;
    if (!memory.CreateCompatibleDC(dc)) return FALSE;
    const HGDIOBJ previous = memory.SelectObject(m_hObject);
    if (!previous) return FALSE;  // selected into another context: nothing to copy from
    const BOOL copied = dc->BitBlt(x, y, size.cx, size.cy, &memory, 0, 0, SRCCOPY);
    memory.SelectObject(previous);
    return copied;  // the memory context is deleted with its owner
}

void PaintOffScreen(CDC& target, ShapedBitmap& bitmap) {
    const CSize size = bitmap.GetSize();
    if (size.cx == 0 || size.cy == 0) return;
    CDC memory;
    CBitmap canvas;
    if (!memory.CreateCompatibleDC(&target) || !canvas.Attach(::CreateCompatibleBitmap(target, size.cx, size.cy)))
        return;
    const HGDIOBJ previous = memory.SelectObject(canvas);
    bitmap.Draw(&memory, 0, 0);
    ::SelectClipRgn(memory, nullptr);
    target.BitBlt(0, 0, size.cx, size.cy, &memory, 0, 0, SRCCOPY);
    memory.SelectObject(previous);
}
