#include "framework/afxwin.h"

#include <optional>

#include "framework/packed_dib.h"
#include "framework/scoped_handles.h"

BOOL CGdiObject::Attach(HGDIOBJ hObject) {
    if (!hObject) return FALSE;
    if (hObject != m_hObject) DeleteObject();
    m_hObject = hObject;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
    HGDIOBJ h = m_hObject;
    m_hObject = nullptr;
    return h;
}

BOOL CGdiObject::DeleteObject() {
    if (!m_hObject) return FALSE;
    return ::DeleteObject(Detach());
}

namespace {

// A 32-bit section with the pixels of the given one, which is deleted; the given one when no
// copy can be made.
HBITMAP ToThirtyTwoBits(HBITMAP source) {
    BITMAP info{};
    if (!source || !::GetObjectA(source, sizeof info, &info) || info.bmBitsPixel == 32) return source;
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), info.bmWidth, info.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    CBitmap copy;
    if (!copy.Attach(::CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0))) return source;
    CDC memory;
    if (!memory.CreateCompatibleDC(nullptr) ||
        !::GetDIBits(memory, source, 0, static_cast<UINT>(info.bmHeight), bits, &format, DIB_RGB_COLORS))
        return source;  // the copy is deleted
    CBitmap replaced;
    replaced.Attach(source);  // deleted: the copy takes its place
    return static_cast<HBITMAP>(copy.Detach());
}

// A 32-bit section of a 24-bit bitmap resource, converted from the resource's bytes in one
// pass; null for a resource of another format, or when it cannot be made.
HBITMAP TrueColourSection(HINSTANCE module, UINT id) {
    const ResourceBytes resource = FindResourceBytes(module, MAKEINTRESOURCEA(id), RT_BITMAP);
    const std::optional<TrueColourDib> dib =
        ReadTrueColourDib(static_cast<const uint8_t*>(resource.bytes), resource.size);
    if (!dib) return nullptr;
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), dib->width, dib->height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP section = ::CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (section) ExpandToThirtyTwoBits(*dib, static_cast<uint32_t*>(bits));
    return section;
}

}  // namespace

BOOL CBitmap::LoadBitmap(UINT nIDResource) {
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEA(nIDResource), RT_BITMAP);
    // The resource's pixels as a 32-bit section: converted once, in memory, without the screen
    // device context a device-dependent bitmap needs (which makes each load slow on Wine), and
    // in the format the screen draws from fastest. A 24-bit resource (all of the skin's) is
    // converted from its bytes here; the system reads any other.
    if (HBITMAP section = TrueColourSection(module, nIDResource)) return Attach(section);
    return Attach(ToThirtyTwoBits(static_cast<HBITMAP>(
        ::LoadImageA(module, MAKEINTRESOURCEA(nIDResource), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))));
}

int CBitmap::GetBitmap(BITMAP* pBitMap) const {
    return m_hObject ? ::GetObjectA(m_hObject, sizeof(BITMAP), pBitMap) : 0;
}

BOOL CFont::CreateFontIndirect(const LOGFONTA* lpLogFont) { return Attach(::CreateFontIndirectA(lpLogFont)); }

CDC::~CDC() {
    if (m_bOwnsDC) DeleteDC();
}

void CDC::Attach(HDC hDC) {
    if (m_bOwnsDC && hDC != m_hDC) DeleteDC();
    m_hDC = hDC;
    m_bOwnsDC = false;
}

HDC CDC::Detach() {
    HDC h = m_hDC;
    m_hDC = nullptr;
    m_bOwnsDC = false;
    return h;
}

BOOL CDC::CreateCompatibleDC(CDC* pDC) {
    HDC h = ::CreateCompatibleDC(pDC ? pDC->m_hDC : nullptr);
    if (!h) return FALSE;
    if (m_bOwnsDC) DeleteDC();
    m_hDC = h;
    m_bOwnsDC = true;
    return TRUE;
}

BOOL CDC::DeleteDC() {
    if (!m_hDC) return FALSE;
    const bool owned = m_bOwnsDC;
    HDC h = Detach();
    return owned ? ::DeleteDC(h) : FALSE;
}

BOOL CDC::BitBlt(int x, int y, int cx, int cy, CDC* pSrc, int xSrc, int ySrc, DWORD rop) {
    return ::BitBlt(m_hDC, x, y, cx, cy, pSrc ? pSrc->m_hDC : nullptr, xSrc, ySrc, rop);
}

void CDC::FillSolidRect(const RECT* rect, COLORREF colour) {
    const COLORREF old = ::SetBkColor(m_hDC, colour);
    ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, rect, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
}

int CDC::DrawText(const char* text, int length, RECT* rect, UINT format) {
    return ::DrawTextA(m_hDC, text, length, rect, format);
}

CPaintDC::CPaintDC(HWND hWnd) : m_hWnd(hWnd) { Attach(::BeginPaint(hWnd, &m_ps)); }

CPaintDC::~CPaintDC() {
    ::EndPaint(m_hWnd, &m_ps);
    Detach();
}
