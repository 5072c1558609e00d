#include "controls/skin_button.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <utility>
#include <vector>

#include "controls/accessible_button.h"
#include "controls/contrast_paint.h"
#include "controls/font_store.h"
#include "controls/key_region.h"
#include "controls/line_trace.h"
#include "framework/scale.h"
#include "framework/scoped_handles.h"
#include "framework/system_calls.h"
#include "framework/system_look.h"

namespace {

constexpr COLORREF kMaskOutside = RGB(255, 255, 255);

// True when the mask (the last id) is one of the images too: drawing selects the image and the
// mask into two contexts at once, and a bitmap can be selected into one context only.
bool MaskIsAlsoAnImage(const UINT (&ids)[6]) { return std::find(ids, ids + 5, ids[5]) != ids + 5; }

SIZE BitmapSize(const CBitmap& bitmap) {
    BITMAP info{};
    if (!bitmap.GetBitmap(&info)) return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight};
}

}  // namespace

BEGIN_MESSAGE_MAP(SkinButton, CButton)
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_KILLFOCUS()
    ON_WM_KEYDOWN()
    ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
    ON_MESSAGE(WM_SKIN_UNCHECK, OnSkinUncheck)
    ON_MESSAGE(BM_SETCHECK, OnSetCheck)
    ON_MESSAGE(BM_GETCHECK, OnGetCheck)
    ON_MESSAGE(WM_GETOBJECT, OnGetObject)
    ON_MESSAGE(WM_GETDLGCODE, OnGetDlgCode)
    ON_MESSAGE(WM_UPDATEUISTATE, OnUpdateUiState)
END_MESSAGE_MAP()

SkinButton::SkinButton() : textColour(::GetSysColor(COLOR_BTNTEXT)) {}

void SkinButton::PreSubclassWindow() {
    const UINT type = static_cast<UINT>(::GetWindowLongA(m_hWnd, GWL_STYLE)) & 0xFF;
    if ((type & 3) == 3) {
        behaviour = ButtonBehaviour::Toggle;
    } else if ((type & 9) == 9) {
        behaviour = ButtonBehaviour::Radio;
    } else {
        behaviour = ButtonBehaviour::Push;
    }
    CButton::PreSubclassWindow();
    // The type is replaced, not OR-ed: OR-ing the owner-draw bits into some types (a plain radio
    // button, a three-state box) would give a type that is not owner-drawn at all.
    ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW);
}

// ---- Images -------------------------------------------------------------------------------

bool SkinButton::SetBitmaps(UINT normalId, UINT pressedId, UINT hoverId, UINT disabledId, UINT focusId, UINT maskId,
                            short newDrawMode, short newDrawEdge, short newFocusInset) {
    // The mask is taken at once, for the window's outline and size; the faces are only named,
    // and a face the button keeps (a connector's picture, say) stays held. Without a disabled
    // image the normal one is shown.
    LazyBitmap* const faces[] = {&normalImage, &pressedImage, &hoverImage, &disabledImage, &focusImage};
    const UINT ids[] = {normalId, pressedId, hoverId, disabledId ? disabledId : normalId, focusId, maskId};
    const UINT dpi = AfxGetWindowDpi(m_hWnd);
    std::shared_ptr<const CBitmap> mask;
    if (maskId) mask = MaskIsAlsoAnImage(ids) ? UnsharedBitmap(maskId, dpi) : StoredBitmap(maskId, dpi);
    bool allThere = !maskId || mask;
    for (size_t i = 0; i < std::size(faces); ++i) {
        faces[i]->Name(ids[i], dpi);
        if (ids[i] && !SkinBitmapExists(ids[i])) allThere = false;
    }
    maskImage.Hold(std::move(mask));

    drawMode = newDrawMode >= 2 ? DrawMode::Tile : newDrawMode < 0 ? DrawMode::Copy : static_cast<DrawMode>(newDrawMode);
    drawEdge = newDrawEdge;
    focusInset = std::max<int16_t>(newFocusInset, 0);

    // Without a mask the window keeps whatever region and size it had.
    if (maskImage.GetSafeHandle()) ApplyMask();
    // Handing over a region the same as the window's repaints nothing on some systems.
    if (m_hWnd) Invalidate();
    return allThere;
}

HRGN SkinButton::BuildMaskRegion(const CBitmap& mask) {
    return BuildKeyRegion(mask, kMaskOutside);
}

void SkinButton::ApplyMask() {
    if (!m_hWnd) return;
    CRgn shape;
    // Once the window takes the region it owns it, and frees it when it replaces it or is destroyed.
    if (shape.Attach(BuildMaskRegion(maskImage.Bitmap())) && SetWindowRgn(shape, TRUE))
        region = static_cast<HRGN>(shape.Detach());
    if (drawMode == DrawMode::Copy) {
        const SIZE size = BitmapSize(maskImage.Bitmap());
        SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
    }
}

// ---- Painting -----------------------------------------------------------------------------

BOOL SkinButton::OnEraseBkgnd(CDC*) { return TRUE; }

void SkinButton::DrawItem(LPDRAWITEMSTRUCT item) {
    // While the mouse holds the button, its pushed look follows the cursor; a change of the
    // pushed state asks for another paint, which draws.
    POINT cursor;
    if (mouseDown && ::GetCapture() == m_hWnd && ::GetCursorPos(&cursor)) {
        const bool over = IsOverButton(cursor);
        const bool pushed = (SendMessage(BM_GETSTATE) & BST_PUSHED) != 0;
        if (over != pushed) {
            SendMessage(BM_SETSTATE, over);
            return;
        }
    }

    if (contrastLookSet && HighContrastOn()) {
        DrawContrast(item->hDC, item->rcItem, item->itemState);
        return;
    }
    CDC dc;
    dc.Attach(item->hDC);
    CString caption;
    GetWindowText(caption);
    dc.SetBkMode(TRANSPARENT);
    RECT rect = item->rcItem;
    RECT textRect = rect;
    textRect.left += focusInset + 2;
    textRect.right -= focusInset + 2;
    const UINT state = item->itemState;

    if (state & ODS_DISABLED) {
        DrawImageOrFace(dc, disabledImage.Get(), rect);
        if (drawEdge) ::DrawEdge(dc, &rect, EDGE_RAISED, BF_RECT);
        // Embossed: a light copy of the caption with a grey one a pixel up and left over it.
        dc.SetTextColor(::GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawCaption(dc, caption, textRect);
        ::OffsetRect(&textRect, -1, -1);
        dc.SetTextColor(::GetSysColor(COLOR_GRAYTEXT));
        DrawCaption(dc, caption, textRect);
        return;
    }

    if ((state & ODS_SELECTED) || checked) {
        DrawImageOrFace(dc, pressedImage.Get(), rect);
        ::OffsetRect(&textRect, 1, 1);
        if (drawEdge) ::DrawEdge(dc, &rect, EDGE_SUNKEN, BF_RECT);
    } else {
        DrawImageOrFace(dc, NormalStateFace(state), rect);
        if (drawEdge) ::DrawEdge(dc, &rect, EDGE_RAISED, BF_RECT);
    }
    if ((state & ODS_FOCUS) && ShowsFocusMarks()) {
        if (focusRing) DrawFocusRing(dc, rect, AfxGetWindowDpi(m_hWnd));
        if (focusInset > 0) {
            RECT focus = rect;
            ::InflateRect(&focus, -focusInset, -focusInset);
            ::DrawFocusRect(dc, &focus);
        }
    }
    dc.SetTextColor(textColour);
    DrawCaption(dc, caption, textRect);
}

void SkinButton::DrawCaption(CDC& dc, const CString& caption, RECT textRect) {
    dc.DrawText(caption, caption.GetLength(), &textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

const CBitmap* SkinButton::NormalStateFace(UINT state) {
    // Only the image chosen is taken: a focus image is not decoded while the button is hovered.
    const CBitmap* face = hover ? hoverImage.Get() : nullptr;
    if (!face && (state & ODS_FOCUS)) face = focusImage.Get();
    return face ? face : normalImage.Get();
}

void SkinButton::DrawImageOrFace(CDC& dc, const CBitmap* image, const RECT& rect) {
    if (image) {
        DrawImage(dc, *image, rect);
    } else {
        dc.FillSolidRect(&rect, ::GetSysColor(COLOR_BTNFACE));
    }
}

void SkinButton::DrawImage(HDC target, const CBitmap& image, const RECT& rect) {
    const SIZE imageSize = BitmapSize(image);
    if (imageSize.cx <= 0 || imageSize.cy <= 0) return;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    BitmapContext source(target, image.GetSafeHandle());

    if (drawMode == DrawMode::Tile) {
        for (int y = 0; y < height; y += imageSize.cy) {
            for (int x = 0; x < width; x += imageSize.cx) {
                ::BitBlt(target, rect.left + x, rect.top + y, std::min<int>(imageSize.cx, width - x),
                         std::min<int>(imageSize.cy, height - y), source, 0, 0, SRCCOPY);
            }
        }
        return;
    }

    // Copy places the image 1:1 from its top-left corner; Stretch fits the whole image to the
    // rectangle. A mask, if any, is placed the same way as its image.
    const bool stretch = drawMode == DrawMode::Stretch;
    const int copyWidth = std::min<int>(imageSize.cx, width);
    const int copyHeight = std::min<int>(imageSize.cy, height);
    auto place = [&](HDC to, int x, int y, HDC from, DWORD rop) {
        if (!stretch) {
            ::BitBlt(to, x, y, copyWidth, copyHeight, from, 0, 0, rop);
            return;
        }
        const int oldMode = ::SetStretchBltMode(to, COLORONCOLOR);
        ::StretchBlt(to, x, y, width, height, from, 0, 0, imageSize.cx, imageSize.cy, rop);
        ::SetStretchBltMode(to, oldMode);
    };

    if (!maskImage.GetSafeHandle()) {
        // A smaller image copied 1:1 leaves the rest of the button in the face colour.
        if (!stretch && (copyWidth < width || copyHeight < height)) {
            const HBRUSH face = ::GetSysColorBrush(COLOR_BTNFACE);
            ::FillRect(target, &rect, face);
        }
        place(target, rect.left, rect.top, source, SRCCOPY);
        return;
    }

    // Transparent drawing: over a copy of what the target shows, image XOR, mask AND, image
    // XOR leaves the image where the mask is black and the old content where it is white.
    BitmapContext mask(target, maskImage.GetSafeHandle());
    MemoryCanvas buffer;
    if (!buffer.Create(target, width, height)) return;
    ::BitBlt(buffer, 0, 0, width, height, target, rect.left, rect.top, SRCCOPY);
    place(buffer, 0, 0, source, SRCINVERT);
    place(buffer, 0, 0, mask, SRCAND);
    place(buffer, 0, 0, source, SRCINVERT);
    ::BitBlt(target, rect.left, rect.top, width, height, buffer, 0, 0, SRCCOPY);
}

// ---- Contrast theme -----------------------------------------------------------------------

void SkinButton::SetContrastLook(ContrastShape shape, const CString& words, UINT pictureId, int rows) {
    contrastLookSet = true;
    contrastShape = shape;
    contrastWords = words;
    if (pictureId != contrastPictureId || rows != contrastRows) contrastLines.DeleteObject();
    contrastPictureId = pictureId;
    contrastRows = rows;
    if (m_hWnd) Invalidate();
}

void SkinButton::SetContrastDetected(bool detected) {
    contrastDetected = detected;
    if (m_hWnd) Invalidate();
}

void SkinButton::DrawContrast(HDC dc, const RECT& rect, UINT state) {
    const ThemeColours theme = ReadThemeColours();
    const UINT dpi = AfxGetWindowDpi(m_hWnd);
    // The detected picture, a hovered and a pressed button stand on the highlight.
    const bool lit = contrastDetected || hover || (state & ODS_SELECTED) || checked;
    const COLORREF paper = lit ? theme.highlight : theme.buttonFace;
    const COLORREF ink = (state & ODS_DISABLED) ? theme.grayText : lit ? theme.highlightText : theme.buttonText;
    FillSolid(dc, rect, paper);
    auto font = StoredContrastFont(dpi);
    const HFONT face = font ? static_cast<HFONT>(*font) : nullptr;
    if (contrastShape == ContrastShape::Cross) {
        DrawCross(dc, rect, ink, ScaleToDpi(2, dpi));
    } else if (contrastShape == ContrastShape::Picture) {
        DrawContrastPicture(dc, rect, dpi, ink, paper, face);
    } else {
        DrawThemeText(dc, contrastWords, rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE, ink, face);
    }
    // Not by colour alone: the detected picture has a heavier border too.
    const int border = ScaleToDpi(contrastDetected ? 3 : 1, dpi);
    FillFrame(dc, rect, border, theme.windowText);
    // The focus is always shown in this theme, whether or not a key has been used.
    if (state & ODS_FOCUS) {
        RECT ring = rect;
        ::InflateRect(&ring, -border, -border);
        FillFrame(dc, ring, ScaleToDpi(2, dpi), lit ? theme.highlightText : theme.highlight);
    }
}

void SkinButton::DrawContrastPicture(HDC dc, const RECT& rect, UINT dpi, COLORREF ink, COLORREF paper, HFONT font) {
    if (!contrastLines.GetSafeHandle() || contrastLinesDpi != dpi) {
        auto art = StoredBitmap(contrastPictureId, dpi);
        if (art) MakeLineBitmap(contrastLines, *art, ScaleToDpi(contrastRows, dpi), dpi, kPictureEdgeStep);
        contrastLinesDpi = dpi;
    }
    if (contrastLines.GetSafeHandle()) DrawLineBitmap(dc, contrastLines, rect.left, rect.top, ink, paper);
    RECT name = rect;
    name.top += ScaleToDpi(contrastRows, dpi);
    name.bottom -= ScaleToDpi(4, dpi);
    DrawThemeText(dc, contrastWords, name, DT_CENTER | DT_VCENTER | DT_SINGLELINE, ink, font);
}

void SkinButton::DrawCross(HDC dc, const RECT& rect, COLORREF ink, int width) const {
    // Two strokes corner to corner, a quarter in from the edges, of squares stepping along the
    // diagonals: one colour, no smoothing.
    const int size = std::min(rect.right - rect.left, rect.bottom - rect.top);
    const int inset = size / 4;
    for (int step = 0; step + width <= size - 2 * inset; ++step) {
        const int y = rect.top + inset + step;
        FillSolid(dc, RECT{rect.left + inset + step, y, rect.left + inset + step + width, y + width}, ink);
        FillSolid(dc, RECT{rect.left + size - inset - step - width, y, rect.left + size - inset - step, y + width}, ink);
    }
}

// ---- Tooltip ------------------------------------------------------------------------------

void SkinButton::SetTooltipText(CString text) {
    if (tooltip.GetSafeHwnd()) {
        tooltip.UpdateTipText(text, this, 0);
        return;
    }
    pendingTipText = std::move(text);
}

void SkinButton::FitTooltipToScale() {
    if (!tooltip.GetSafeHwnd()) return;  // made later, at the scale of its time
    // The system's tooltip font for the window's scale; the one held before goes only once
    // the tooltip no longer draws with it.
    auto font = StoredTooltipFont(AfxGetWindowDpi(m_hWnd));
    if (!font) return;
    tooltip.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(static_cast<HFONT>(*font)));
    tipFont = std::move(font);
}

bool SkinButton::CreateTooltip() {
    if (pendingTipText.IsEmpty() || !tooltip.Create(this)) return false;
    if (!tooltip.AddTool(this, pendingTipText, nullptr, 0)) {
        // No tooltip without its tool: the next try starts from the beginning.
        tooltip.DestroyWindow();
        return false;
    }
    FitTooltipToScale();
    tooltip.SendMessage(TTM_ACTIVATE, TRUE);
    pendingTipText.Empty();
    return true;
}

void SkinButton::RelayToTooltip(UINT message, WPARAM wParam, LPARAM lParam) {
    // The tooltip does not watch the button's messages itself: it is fed the mouse messages.
    if (!tooltip.GetSafeHwnd() && !CreateTooltip()) return;
    MSG msg{m_hWnd, message, wParam, lParam, 0, {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}};
    tooltip.SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

// ---- Mouse and keyboard -------------------------------------------------------------------

bool SkinButton::IsOverButton(POINT screenPoint) const { return ::WindowFromPoint(screenPoint) == m_hWnd; }

bool SkinButton::IsPointerOverButton() const {
    // A move can arrive late, when the pointer has already gone on to another window. Tracking
    // the leave from there may never report it, and the button would stay lit.
    POINT pointer{};
    return ::GetCursorPos(&pointer) && IsOverButton(pointer);
}

void SkinButton::OnMouseMove(UINT nFlags, CPoint point) {
    RelayToTooltip(WM_MOUSEMOVE, nFlags, MAKELPARAM(point.x, point.y));
    if (mouseDown && ::GetCapture() == m_hWnd) {
        POINT screen = point;
        ClientToScreen(&screen);
        const bool over = IsOverButton(screen);
        const bool pushed = (SendMessage(BM_GETSTATE) & BST_PUSHED) != 0;
        if (pushed != over) {
            SendMessage(BM_SETSTATE, over);
            Invalidate();
        }
    } else if (!hover && IsPointerOverButton()) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, m_hWnd, 0};
        if (comctl32::TrackMouseEvent(&track)) {
            hover = true;
            Invalidate();
        }
    }
    Default();
}

LRESULT SkinButton::OnMouseLeave(WPARAM, LPARAM) {
    hover = false;
    Invalidate();
    return 0;
}

void SkinButton::OnLButtonDown(UINT nFlags, CPoint point) {
    RelayToTooltip(WM_LBUTTONDOWN, nFlags, MAKELPARAM(point.x, point.y));
    if (picture) focusBeforeClick = ::GetFocus();
    if (hover) {
        TRACKMOUSEEVENT track{sizeof(track), TME_CANCEL | TME_LEAVE, m_hWnd, 0};
        if (comctl32::TrackMouseEvent(&track)) hover = false;
    }
    Default();  // captures the mouse, shows the button pushed and takes the focus
    mouseDown = true;
}

void SkinButton::OnLButtonDblClk(UINT nFlags, CPoint point) {
    // A second press, so that two quick clicks give two clicks.
    SendMessage(WM_LBUTTONDOWN, nFlags, MAKELPARAM(point.x, point.y));
}

void SkinButton::OnLButtonUp(UINT nFlags, CPoint point) {
    // The check changes before the default processing notifies the parent of the click.
    if (behaviour != ButtonBehaviour::Push) {
        POINT screen = point;
        ClientToScreen(&screen);
        if (IsOverButton(screen)) CheckByUser();
    }
    RelayToTooltip(WM_LBUTTONUP, nFlags, MAKELPARAM(point.x, point.y));
    mouseDown = false;
    Default();
    // The press has shown; the focus goes back to the control that had it.
    if (picture && ::GetFocus() == m_hWnd && focusBeforeClick && ::IsWindow(focusBeforeClick)) ::SetFocus(focusBeforeClick);
    focusBeforeClick = nullptr;
}

void SkinButton::OnKillFocus(CWnd*) {
    if (::GetCapture() == m_hWnd) {
        ::ReleaseCapture();
        mouseDown = false;
    }
    Default();
}

void SkinButton::OnKeyDown(UINT nChar, UINT, UINT nFlags) {
    if (nChar == VK_RETURN && behaviour == ButtonBehaviour::Push) {
        if (!(nFlags & KF_REPEAT)) PressByEnter();  // held down, it presses once
        return;
    }
    if (nChar == VK_LEFT || nChar == VK_RIGHT || nChar == VK_UP || nChar == VK_DOWN) {
        HWND target = ArrowKeyTarget(nChar);
        if (target && target != m_hWnd)
            ::SendMessageA(::GetParent(m_hWnd), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
        if (target) return;
    }
    if (behaviour != ButtonBehaviour::Push && nChar == VK_SPACE) CheckByUser();
    Default();
}

// ---- Check state --------------------------------------------------------------------------

void SkinButton::CheckByUser() {
    SendMessage(BM_SETCHECK, behaviour == ButtonBehaviour::Toggle ? !checked : TRUE);
}

LRESULT SkinButton::OnSetCheck(WPARAM wParam, LPARAM) {
    // A push button never stays checked.
    checked = wParam != 0 && behaviour != ButtonBehaviour::Push;
    if (checked && behaviour == ButtonBehaviour::Radio) UncheckRadioSiblings();
    Invalidate();
    return 0;
}

LRESULT SkinButton::OnGetCheck(WPARAM, LPARAM) { return checked ? 1 : 0; }

LRESULT SkinButton::OnSkinUncheck(WPARAM, LPARAM) {
    if (checked) {
        checked = false;
        Invalidate();
    }
    return 0;
}

void SkinButton::UncheckRadioSiblings() {
    HWND parent = m_hWnd ? ::GetParent(m_hWnd) : nullptr;
    if (!::IsWindow(m_hWnd) || !parent) return;
    // The group's walk passes over hidden and disabled controls, so from a hidden or disabled
    // button it never comes back to the button: it also ends at a control already reached.
    std::vector<HWND> reached;
    for (HWND next = ::GetNextDlgGroupItem(parent, m_hWnd, FALSE);
         next && next != m_hWnd && std::find(reached.begin(), reached.end(), next) == reached.end();
         next = ::GetNextDlgGroupItem(parent, next, FALSE)) {
        reached.push_back(next);
        ::PostMessageA(next, WM_SKIN_UNCHECK, 0, 0);
    }
}

// ---- Keyboard and screen readers ----------------------------------------------------------

void SkinButton::SetAccessibleName(const CString& name) { accessibleName.Set(m_hWnd, name); }

LRESULT SkinButton::OnGetObject(WPARAM wParam, LPARAM lParam) {
    const LRESULT answer = accessibleName.Answer(m_hWnd, wParam, lParam);
    return answer ? answer : Default();
}

bool SkinButton::ShowsFocusMarks() const {
    return !focusMarksHidden && (SendMessage(WM_QUERYUISTATE) & UISF_HIDEFOCUS) == 0;
}

namespace {

BOOL CALLBACK TellUiState(HWND child, LPARAM update) {
    ::SendMessageA(child, WM_UPDATEUISTATE, static_cast<WPARAM>(update), 0);
    return TRUE;
}

}  // namespace

void SkinButton::SetFocusMarksHidden(HWND topLevel, bool hidden) {
    const WPARAM change = MAKEWPARAM(hidden ? UIS_SET : UIS_CLEAR, UISF_HIDEFOCUS);
    // The window passes the change down to its controls where the system keeps the state; it is
    // also told to each control directly, for systems that keep none.
    ::SendMessageA(topLevel, WM_CHANGEUISTATE, change, 0);
    ::EnumChildWindows(topLevel, &TellUiState, static_cast<LPARAM>(change));
}

LRESULT SkinButton::OnGetDlgCode(WPARAM, LPARAM lParam) {
    const LRESULT code = Default();
    const auto* key = reinterpret_cast<const MSG*>(lParam);
    if (!key || key->message != WM_KEYDOWN) return code;
    // The dialog asks before it moves the focus for a key. Windows shows the focus marks from the
    // first such key on; some systems do not, so the button asks for them itself.
    const bool navigation = key->wParam == VK_TAB || key->wParam == VK_LEFT || key->wParam == VK_RIGHT ||
                            key->wParam == VK_UP || key->wParam == VK_DOWN;
    if (focusMarksHidden && navigation) SetFocusMarksHidden(::GetAncestor(m_hWnd, GA_ROOT), false);
    // An owner-drawn button cannot be the dialog's default button, so Enter would go to the
    // dialog's default command whatever has the focus.
    if (key->wParam == VK_RETURN && behaviour == ButtonBehaviour::Push) return code | DLGC_WANTMESSAGE;
    if (navigation && key->wParam != VK_TAB && ArrowKeyTarget(static_cast<UINT>(key->wParam))) return code | DLGC_WANTARROWS;
    return code;
}

HWND SkinButton::ArrowKeyTarget(UINT key) const {
    HWND parent = ::GetParent(m_hWnd);
    return parent ? reinterpret_cast<HWND>(::SendMessageA(parent, WM_SKIN_ARROW_KEY, key, reinterpret_cast<LPARAM>(m_hWnd)))
                  : nullptr;
}

void SkinButton::PressByEnter() {
    if (picture || !::IsWindowEnabled(m_hWnd)) return;
    HWND parent = ::GetParent(m_hWnd);
    const int id = ::GetDlgCtrlID(m_hWnd);
    if (parent) ::SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(m_hWnd));
}

void SkinButton::ShowAsPicture() {
    picture = true;
    ModifyStyle(WS_TABSTOP, 0);
    accessibleName.SetRole(kRoleGraphic);
}

LRESULT SkinButton::OnUpdateUiState(WPARAM wParam, LPARAM) {
    if (HIWORD(wParam) & UISF_HIDEFOCUS) {
        if (LOWORD(wParam) == UIS_SET) focusMarksHidden = true;
        if (LOWORD(wParam) == UIS_CLEAR) focusMarksHidden = false;
    }
    const LRESULT result = Default();  // the system's own record, where it keeps one
    Invalidate();
    return result;
}

void SkinButton::DrawFocusRing(CDC& dc, const RECT& rect, UINT dpi) {
    constexpr COLORREF kDark = RGB(10, 16, 32);
    constexpr COLORREF kBright = RGB(255, 204, 0);
    // Small buttons (the close cross) get a thinner bright line, so their picture stays visible.
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    const int bright = ScaleToDpi(std::min(width, height) >= ScaleToDpi(20, dpi) ? 2 : 1, dpi);
    const int dark = ScaleToDpi(1, dpi);
    RECT ring = rect;
    for (const auto& [thickness, colour] : {std::pair{dark, kDark}, std::pair{bright, kBright}, std::pair{dark, kDark}}) {
        if (ring.right - ring.left <= 2 * thickness || ring.bottom - ring.top <= 2 * thickness) return;
        const RECT sides[] = {{ring.left, ring.top, ring.right, ring.top + thickness},
                              {ring.left, ring.bottom - thickness, ring.right, ring.bottom},
                              {ring.left, ring.top, ring.left + thickness, ring.bottom},
                              {ring.right - thickness, ring.top, ring.right, ring.bottom}};
        for (const RECT& side : sides) dc.FillSolidRect(&side, colour);
        ::InflateRect(&ring, -thickness, -thickness);
    }
}
