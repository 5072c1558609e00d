#pragma once
// What a screen reader learns about one of our controls. The skin's controls draw their words
// into pictures and have no window text, so the system's standard accessible object would read
// them as nameless. Our object wraps that standard one and answers the name, the role and the
// state itself; everything else (location, navigation, hit testing) is the standard object's.
#include "framework/afxwin.h"

// The MSAA roles our controls take.
constexpr long kRolePushButton = 0x2B;  // ROLE_SYSTEM_PUSHBUTTON
constexpr long kRoleGraphic = 0x28;     // ROLE_SYSTEM_GRAPHIC

// The client object of the window, answered to WM_GETOBJECT: the result to return for it, or
// 0 when the request is not for the client object or the object cannot be made (the caller then
// lets the default processing answer). `role` is one of the roles above.
LRESULT AnswerAccessibleObject(HWND window, WPARAM wParam, LPARAM lParam, const CString& name, long role);

// Tells screen readers that the window's accessible name changed, so they ask again.
void NotifyAccessibleNameChange(HWND window);

// A static picture with a name for screen readers (the logo).
class NamedPicture : public CStatic {
public:
    void SetAccessibleName(const CString& name);

protected:
    DECLARE_MESSAGE_MAP()
    LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);

private:
    CString accessibleName;
};
