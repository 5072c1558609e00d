#include "controls/contrast_paint.h"

#include <vector>

#include "controls/dib_section.h"
#include "controls/font_store.h"
#include "controls/line_trace.h"
#include "framework/scale.h"
#include "framework/scoped_handles.h"
#include "framework/system_look.h"
#include "framework/window_scale.h"

ThemeColours ReadThemeColours() {
    const SystemLook& look = CurrentSystemLook();
    return ThemeColours{look.Colour(COLOR_WINDOW),    look.Colour(COLOR_WINDOWTEXT),    look.Colour(COLOR_BTNFACE),
                        look.Colour(COLOR_BTNTEXT),   look.Colour(COLOR_HIGHLIGHT),     look.Colour(COLOR_HIGHLIGHTTEXT),
                        look.Colour(COLOR_GRAYTEXT),  look.Colour(COLOR_INFOBK),        look.Colour(COLOR_INFOTEXT)};
}

ContrastCanvas BeginContrastPaint(HWND window, HDC dc) {
    const UINT dpi = AfxGetWindowDpi(window);
    ContrastCanvas canvas{dpi, ReadThemeColours(), RECT{}, StoredContrastFont(dpi)};
    ::GetClientRect(window, &canvas.client);
    FillSolid(dc, canvas.client, canvas.theme.window);
    return canvas;
}

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
    CDC borrowed;
    borrowed.Attach(dc);
    borrowed.FillSolidRect(&rect, colour);
}

void FillFrame(HDC dc, const RECT& rect, int thickness, COLORREF colour) {
    const RECT sides[] = {{rect.left, rect.top, rect.right, rect.top + thickness},
                          {rect.left, rect.bottom - thickness, rect.right, rect.bottom},
                          {rect.left, rect.top, rect.left + thickness, rect.bottom},
                          {rect.right - thickness, rect.top, rect.right, rect.bottom}};
    for (const RECT& side : sides) FillSolid(dc, side, colour);
}

void FrameWindowOutline(HWND window, HDC dc, int thickness, COLORREF colour) {
    RECT client{};
    ::GetClientRect(window, &client);
    // A region may reach past the window (a picture larger than it): what shows is both.
    CRgn outline, shown;
    CBrush ink;
    if (outline.Attach(::CreateRectRgn(0, 0, 0, 0)) && ::GetWindowRgn(window, outline) != ERROR &&
        shown.Attach(::CreateRectRgnIndirect(&client)) && ::CombineRgn(outline, outline, shown, RGN_AND) != ERROR &&
        ink.CreateSolidBrush(colour)) {
        ::FrameRgn(dc, outline, ink, thickness, thickness);
        return;
    }
    FillFrame(dc, client, thickness, colour);
}

int DrawThemeText(HDC dc, const char* text, RECT rect, UINT format, COLORREF colour, HFONT font) {
    ScopedSelection selected(dc, font);
    const int mode = ::SetBkMode(dc, TRANSPARENT);
    const COLORREF before = ::SetTextColor(dc, colour);
    const int height = ::DrawTextA(dc, text, -1, &rect, format | DT_NOPREFIX);
    ::SetTextColor(dc, before);
    ::SetBkMode(dc, mode);
    return height;
}

namespace {

// A one-bit bitmap, rows padded to 16 bits as such bitmaps are: set bits are paper, clear ink.
bool MakeMonochrome(CBitmap& lines, const LineDrawing& drawing) {
    const int stride = (drawing.width + 15) / 16 * 2;
    std::vector<uint8_t> bits(static_cast<size_t>(stride) * drawing.height, 0xFF);
    for (int y = 0; y < drawing.height; ++y)
        for (int x = 0; x < drawing.width; ++x)
            if (drawing.At(x, y)) bits[static_cast<size_t>(y) * stride + x / 8] &= static_cast<uint8_t>(~(0x80 >> (x % 8)));
    return lines.Attach(::CreateBitmap(drawing.width, drawing.height, 1, 1, bits.data()));
}

}  // namespace

bool MakeLineBitmap(CBitmap& lines, HBITMAP art, int rows, UINT dpi, int edgeStep) {
    lines.DeleteObject();
    const PixelImage image = ReadPixels(art);
    const LineDrawing drawing = TraceLines(image, rows, ScaleToDpi(1, dpi), edgeStep);
    if (drawing.width <= 0 || drawing.height <= 0) return false;
    return MakeMonochrome(lines, drawing);
}

void DrawLineBitmap(HDC target, const CBitmap& lines, int x, int y, COLORREF ink, COLORREF paper) {
    BITMAP info{};
    if (!lines.GetBitmap(&info)) return;
    BitmapContext source(target, lines.GetSafeHandle());
    if (!source) return;
    // A one-bit source takes the target's text colour for its clear bits, its background colour for the set.
    const COLORREF text = ::SetTextColor(target, ink);
    const COLORREF back = ::SetBkColor(target, paper);
    ::BitBlt(target, x, y, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
    ::SetTextColor(target, text);
    ::SetBkColor(target, back);
}
