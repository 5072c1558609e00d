#include "framework/scoped_handles.h"

namespace {

// Makes the memory context compatible with a context that is only borrowed here.
BOOL CreateCompatibleWith(CDC& memory, HDC compatibleWith) {
    CDC borrowed;
    borrowed.Attach(compatibleWith);
    return memory.CreateCompatibleDC(&borrowed);
}

}  // namespace

CClientDC::CClientDC(HWND hWnd) : m_hWnd(hWnd) { Attach(::GetDC(hWnd)); }

CClientDC::~CClientDC() {
    if (HDC dc = Detach()) ::ReleaseDC(m_hWnd, dc);
}

ScopedSelection::ScopedSelection(HDC dc, HGDIOBJ object)
    : dc_(dc), previous_(dc && object ? ::SelectObject(dc, object) : nullptr) {
    if (previous_ == HGDI_ERROR) previous_ = nullptr;
}

ScopedSelection::~ScopedSelection() {
    if (previous_) ::SelectObject(dc_, previous_);
}

BitmapContext::BitmapContext(HDC compatibleWith, HGDIOBJ bitmap)
    : held_(CreateCompatibleWith(dc_, compatibleWith) ? dc_.GetSafeHdc() : nullptr, bitmap) {}

BOOL MemoryCanvas::Create(HDC compatibleWith, int width, int height) {
    Free();
    if (!CreateCompatibleWith(dc_, compatibleWith) ||
        !bitmap_.Attach(::CreateCompatibleBitmap(compatibleWith, width, height))) {
        Free();
        return FALSE;
    }
    selection_.emplace(dc_, bitmap_);
    return TRUE;
}

void MemoryCanvas::Free() {
    selection_.reset();
    bitmap_.DeleteObject();
    dc_.DeleteDC();
}

ResourceBytes FindResourceBytes(HINSTANCE module, LPCSTR name, LPCSTR type) {
    HRSRC found = ::FindResourceA(module, name, type);
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    return bytes ? ResourceBytes{bytes, ::SizeofResource(module, found)} : ResourceBytes{};
}
