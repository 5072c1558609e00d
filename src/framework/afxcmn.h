#pragma once
// Wrappers of the common controls that the program uses.
#include "framework/afxwin.h"

#include <commctrl.h>  // after <windows.h>, which it needs

// A tooltip window. Its window is destroyed with the object (or earlier, with its owner).
class CToolTipCtrl : public CWnd {
public:
    CToolTipCtrl() = default;
    ~CToolTipCtrl() override;

    // Creates the tooltip as a popup owned by the parent's top-level window; false on failure.
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = 0);
    // Registers a tool. Tool id 0 names the window itself (its parent receives the
    // notifications); another id is an area of the window, given by the rectangle.
    BOOL AddTool(CWnd* pWnd, const char* lpszText, LPCRECT lpRectTool = nullptr, UINT_PTR nIDTool = 0);
    void UpdateTipText(const char* lpszText, CWnd* pWnd, UINT_PTR nIDTool = 0);

private:
    static TOOLINFOA ToolInfo(CWnd* pWnd, UINT_PTR nIDTool);
};
