#pragma once
// What a screen reader learns about one of our controls. The skin's controls draw their words
// into pictures and have no window text, so the system's standard accessible object would read
// them as nameless. Our object wraps that standard one and answers the name, the role and the
// state itself; everything else (location, navigation, hit testing) is the standard object's.
#include "framework/afxwin.h"

// The MSAA roles our controls take.
constexpr long kRolePushButton = 0x2B;  // ROLE_SYSTEM_PUSHBUTTON
constexpr long kRoleGraphic = 0x28;     // ROLE_SYSTEM_GRAPHIC

// The name a screen reader reads for one control, and the control's answer to WM_GETOBJECT.
// A role of 0, or a name left empty, keeps what the system's standard object says (a window
// that only adds a description).
class AccessibleName {
public:
    explicit AccessibleName(long role) : m_role(role) {}
    // Keeps the name and tells screen readers it changed, so they ask again.
    void Set(HWND window, const CString& name);
    // Set before a screen reader first asks: no event tells it of a new role.
    void SetRole(long role) { m_role = role; }
    // What a screen reader reads after the name (for a window: when it opens).
    void SetDescription(HWND window, const CString& description);
    // The client object of the window: the result to return for WM_GETOBJECT, or 0 when the
    // request is not for the client object or the object cannot be made (the caller then lets
    // the default processing answer).
    LRESULT Answer(HWND window, WPARAM wParam, LPARAM lParam) const;

private:
    long m_role;  // one of the roles above, or 0
    CString m_name;
    CString m_description;
};

// A static picture with a name for screen readers (the logo).
class NamedPicture : public CStatic {
public:
    void SetAccessibleName(const CString& name);

protected:
    DECLARE_MESSAGE_MAP()
    LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);

private:
    AccessibleName accessibleName{kRoleGraphic};
};
