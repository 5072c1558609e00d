#pragma once
// The system's fonts the skinned controls draw text with, made once per scale and shared.
#include <memory>

#include "framework/afxwin.h"

// The system's status font, which it draws its tooltips with (the tooltips and balloons here
// use it), at that scale, shared; null when it cannot be made. At the system's own scale it is
// the font the system gives its tooltips itself.
std::shared_ptr<const CFont> StoredTooltipFont(UINT dpi);

// The system's message font at that scale, drawn without anti-aliasing, shared: what the windows
// write with while a contrast theme is on. Null when it cannot be made.
std::shared_ptr<const CFont> StoredContrastFont(UINT dpi);
