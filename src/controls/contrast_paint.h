#pragma once
// Drawing in a high-contrast theme: only the theme's colours, text in the system's message font
// without anti-aliasing (so that no pixel of a mixed colour appears), and the skin's pictures as
// line drawings in one of the theme's colours.
#include <memory>

#include "framework/afxwin.h"

// The theme's colours, read once for a paint from the current system look.
struct ThemeColours {
    COLORREF window;
    COLORREF windowText;
    COLORREF buttonFace;
    COLORREF buttonText;
    COLORREF highlight;
    COLORREF highlightText;
    COLORREF grayText;
    COLORREF infoBack;
    COLORREF infoText;
};
ThemeColours ReadThemeColours();

// What a window's paint in a contrast theme starts from: its scale, the theme's colours, its
// client area (already filled with the window colour) and the font to write with, held for the
// paint (Face() is null when it cannot be made: the device context's own font then).
struct ContrastCanvas {
    UINT dpi;
    ThemeColours theme;
    RECT client;
    std::shared_ptr<const CFont> font;
    HFONT Face() const { return font ? static_cast<HFONT>(*font) : nullptr; }
};
ContrastCanvas BeginContrastPaint(HWND window, HDC dc);

// Fills the rectangle with one colour.
void FillSolid(HDC dc, const RECT& rect, COLORREF colour);
// Fills a frame `thickness` pixels wide along the inside of the rectangle.
void FillFrame(HDC dc, const RECT& rect, int thickness, COLORREF colour);

// Draws the window's outline as a border `thickness` pixels wide along the inside of its
// region, or of its client area when it has no region.
void FrameWindowOutline(HWND window, HDC dc, int thickness, COLORREF colour);

// Draws the text in that colour and font, transparently, with DrawText's format; gives back the
// height of what it wrote.
int DrawThemeText(HDC dc, const char* text, RECT rect, UINT format, COLORREF colour, HFONT font);

// The line drawing of a bitmap's top `rows` rows (in its own pixels) as a one-bit bitmap whose
// clear bits are the lines: edges of brightness steps above `edgeStep`, as wide as one pixel of
// 100 % at that dpi. False, with `lines` empty, when the bitmap cannot be read.
bool MakeLineBitmap(CBitmap& lines, HBITMAP art, int rows, UINT dpi, int edgeStep);

// Draws a one-bit line bitmap at (x, y): `ink` for its lines, `paper` around them.
void DrawLineBitmap(HDC target, const CBitmap& lines, int x, int y, COLORREF ink, COLORREF paper);
