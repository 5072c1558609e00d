#include "framework/afxwin.h"

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

BOOL CBitmap::LoadBitmap(UINT nIDResource) {
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEA(nIDResource), RT_BITMAP);
    return Attach(::LoadBitmapA(module, MAKEINTRESOURCEA(nIDResource)));
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
