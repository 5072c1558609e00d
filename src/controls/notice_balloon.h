#pragma once
// A short message in a balloon that points at a control and goes by itself after a few seconds.
// It takes no focus and needs no click; a screen reader reads it when it shows, as any tooltip.
#include <memory>

#include "framework/afxcmn.h"

class NoticeBalloon : public CToolTipCtrl {
public:
    // Shows the text pointing at the middle of the control's lower edge, for that long; a notice
    // still shown is replaced. False when the balloon cannot be made.
    bool Show(HWND control, const CString& text, UINT milliseconds);
    void Hide();

protected:
    DECLARE_MESSAGE_MAP()
    LRESULT OnTimer(WPARAM wParam, LPARAM lParam);

private:
    bool Make(HWND control);
    TOOLINFOA Tool(const CString* text) const;
    HWND m_owner = nullptr;
    std::shared_ptr<const CFont> m_font;  // the font store's, while the balloon uses it
};
