#pragma once
// The owner-drawn bitmap button of the skin: up to six images (normal, pressed, hover,
// disabled, focus and a mask), chosen by the button's state on every paint, a window outline
// cut from the mask, a centred caption, hover and press tracking, its own check state with
// toggle and radio rules, and a tooltip.
#include <cstdint>

#include "controls/accessible_button.h"
#include "controls/image_store.h"
#include "framework/afxcmn.h"
#include "framework/afxwin.h"

// How a button treats clicks and checks; taken from its template's button type.
enum class ButtonBehaviour : int32_t { Push = 0, Toggle = 2, Radio = 4 };

// How an image is placed on the button.
enum class DrawMode : int16_t { Copy = 0, Stretch = 1, Tile = 2 };

// Tells a skin button to clear its check; a radio button posts it to the rest of its group.
constexpr UINT WM_SKIN_UNCHECK = WM_USER + 0x100;
// Asked of a skin button's parent when an arrow key reaches the button: wParam is the key,
// lParam the button. The parent answers the window the focus is to go to (the button itself
// when it stays), or 0 to leave the key to the dialog manager.
constexpr UINT WM_SKIN_ARROW_KEY = WM_USER + 0x101;

class SkinButton : public CButton {
public:
    SkinButton();
    ~SkinButton() override = default;

    // Replaces the whole image set. An id of 0 means no such image; a disabled id of 0 shows
    // the normal image. A mask shapes the window (its white pixels are outside) and, in Copy
    // mode, sizes it; without a mask the window keeps its region and size. The mask is decoded
    // at once, each other image when it is first drawn. True when the mask loaded and every
    // other image asked for is among the program's bitmaps.
    bool SetBitmaps(UINT normalId, UINT pressedId, UINT hoverId, UINT disabledId, UINT focusId, UINT maskId,
                    short drawMode, short drawEdge, short focusInset);
    // Sets the tooltip's text. The tooltip window itself is made when the pointer first comes
    // over the button, so that a window of many buttons opens without making a tooltip for each;
    // later calls change its text.
    void SetTooltipText(CString text);
    // The window now draws at another scale: a tooltip already made takes that scale's font.
    void FitTooltipToScale();

    // How the button draws while a contrast theme is on, in the theme's colours: a rectangle
    // with its words, a cross (a close button), or the line drawing of a picture's top `rows`
    // rows (at 100 %) with its words under it. A button given none draws its images.
    enum class ContrastShape { Words, Cross, Picture };
    void SetContrastLook(ContrastShape shape, const CString& words, UINT pictureId = 0, int rows = 0);
    // Marks the picture of the connector detected: on the highlight, with a heavier border.
    void SetContrastDetected(bool detected);

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

protected:
    DECLARE_MESSAGE_MAP()
    void PreSubclassWindow() override;

    BOOL OnEraseBkgnd(CDC* pDC);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnKillFocus(CWnd* pNewWnd);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    LRESULT OnSkinUncheck(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetCheck(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetCheck(WPARAM wParam, LPARAM lParam);

    bool checked = false;
    ButtonBehaviour behaviour = ButtonBehaviour::Push;
    bool hover = false;
    bool mouseDown = false;
    // Declared first, so that it outlives the tooltip drawn with it.
    std::shared_ptr<const CFont> tipFont;
    CToolTipCtrl tooltip;
    // Each image is held from the image store, shared with every button that shows it; the
    // faces are taken from it when first drawn, so that a state never shown costs nothing.
    LazyBitmap normalImage;
    LazyBitmap pressedImage;
    LazyBitmap disabledImage;
    SharedBitmap maskImage;
    LazyBitmap hoverImage;
    LazyBitmap focusImage;
    int16_t focusInset = 0;
    COLORREF textColour;
    // The region last handed to the window; the window owns it, this only records it.
    HRGN region = nullptr;
    int32_t drawEdge = 0;
    DrawMode drawMode = DrawMode::Stretch;

private:
    void RelayToTooltip(UINT message, WPARAM wParam, LPARAM lParam);
    // Makes the tooltip for the text given before; false when it cannot be made (the next
    // pointer message tries again).
    bool CreateTooltip();
    // The text for a tooltip not made yet; empty when none was asked for.
    CString pendingTipText;
    void DrawImage(HDC dc, const CBitmap& image, const RECT& rect);
    // The image, or the button face where there is none.
    void DrawImageOrFace(CDC& dc, const CBitmap* image, const RECT& rect);
    // The face of the normal state: the hover image under the pointer, the focus image while
    // focused, else the normal image; null when none of these loads.
    const CBitmap* NormalStateFace(UINT state);
    void DrawCaption(CDC& dc, const CString& caption, RECT textRect);
    // The contrast theme's drawing in place of the images.
    void DrawContrast(HDC dc, const RECT& rect, UINT state);
    void DrawContrastPicture(HDC dc, const RECT& rect, UINT dpi, COLORREF ink, COLORREF paper, HFONT font);
    void DrawCross(HDC dc, const RECT& rect, COLORREF ink, int width) const;
    bool contrastLookSet = false;
    ContrastShape contrastShape = ContrastShape::Words;
    CString contrastWords;
    UINT contrastPictureId = 0;
    int contrastRows = 0;
    bool contrastDetected = false;
    CBitmap contrastLines;        // the picture's line drawing, made when first drawn
    UINT contrastLinesDpi = 0;    // the scale it was made for
    // The region of the mask's non-white pixels, in button coordinates; null without a mask.
    static HRGN BuildMaskRegion(const CBitmap& mask);
    // Shapes the window from the mask; in Copy mode it also takes the mask's size.
    void ApplyMask();
    // True when the screen point lies on this button (nothing covers it there).
    bool IsOverButton(POINT screenPoint) const;
    // True when the pointer is on this button now.
    bool IsPointerOverButton() const;
    // The check a click or the space bar gives: the opposite for Toggle, set for Radio.
    void CheckByUser();
    void UncheckRadioSiblings();

    // ---- Keyboard and screen readers ----
public:
    // What a screen reader reads for this button (it has no window text of its own).
    void SetAccessibleName(const CString& name);
    // Draws a ring along the edge while the button has the focus and the window shows focus
    // marks; off until asked for, so a button otherwise shows focus only by its images.
    void SetFocusRing(bool show) { focusRing = show; }
    // Hides or shows the focus marks of every control of the top-level window.
    static void SetFocusMarksHidden(HWND topLevel, bool hidden);
    // A picture that does nothing when pressed: a graphic to screen readers, passed over by Tab
    // and the arrow keys, and the focus goes back where it was after a click on it.
    void ShowAsPicture();

protected:
    LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);
    // Sees the keys the dialog is about to act on: a navigation key reveals the focus marks, and
    // the button takes Enter (a push button is pressed by it, as by the space bar) and the arrow
    // keys its parent moves the focus for.
    LRESULT OnGetDlgCode(WPARAM wParam, LPARAM lParam);
    LRESULT OnUpdateUiState(WPARAM wParam, LPARAM lParam);

private:
    // False while the window hides focus marks (keyboard cues off and no key used yet).
    bool ShowsFocusMarks() const;
    // Where the parent moves the focus for that arrow key; null when it leaves the key alone.
    HWND ArrowKeyTarget(UINT key) const;
    // Enter: a push button tells its parent it was clicked; a picture does nothing.
    void PressByEnter();
    // A dark-light-dark ring along the button's edge, seen on light and on dark artwork.
    static void DrawFocusRing(CDC& dc, const RECT& rect, UINT dpi);
    AccessibleName accessibleName{kRolePushButton};
    // The focus-mark state last announced to this button; some systems keep none themselves.
    bool focusMarksHidden = false;
    bool focusRing = false;
    bool picture = false;
    // Where the focus was when the mouse pressed this picture.
    HWND focusBeforeClick = nullptr;
};
