#pragma once
// Where the windows learn how the user wants them to look: whether a high-contrast theme is on,
// and the system's colours. The system answers unless a replacement has been put in its place
// (tests do, since some systems cannot turn contrast on).
#include <windows.h>

class SystemLook {
public:
    virtual ~SystemLook() = default;
    // True while the user asks for a high-contrast theme.
    virtual bool HighContrast() const = 0;
    // The system's colour of that index (COLOR_WINDOW, COLOR_HIGHLIGHT, ...).
    virtual COLORREF Colour(int index) const = 0;
};

// The look in force: the system's, or the one put in its place.
const SystemLook& CurrentSystemLook();
// Puts that look in place of the current one (null: the system's again) and gives back the one
// it replaced (null: the system's). The look given must outlive its use.
const SystemLook* UseSystemLook(const SystemLook* look);
// Shorthand for CurrentSystemLook().HighContrast().
bool HighContrastOn();
