#pragma once
// Reading dialog templates (DLGTEMPLATE and DLGTEMPLATEEX) by bytes, and the dialog-unit
// arithmetic the dialog manager uses. Portable: no window system needed.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "framework/scale.h"

struct DialogRect {
    int x = 0, y = 0, cx = 0, cy = 0;
};

struct DialogItemInfo {
    uint32_t id = 0;  // 0xFFFFFFFF for the usual "-1" of static controls
    uint32_t style = 0;
    uint32_t exStyle = 0;
    DialogRect rect;  // dialog units
    uint16_t classOrdinal = 0;  // 0x80 button, 0x82 static, ...; 0 when named
    std::u16string className;   // when named
};

struct DialogTemplateInfo {
    bool extended = false;
    uint32_t style = 0;
    uint32_t exStyle = 0;
    DialogRect rect;  // dialog units
    bool hasFont = false;
    uint16_t pointSize = 0;
    std::u16string fontFace;
    std::vector<DialogItemInfo> items;
};

// Parses a template; nothing when the bytes are short or malformed.
std::optional<DialogTemplateInfo> ParseDialogTemplate(const void* data, size_t size);

struct DialogBaseUnits {
    int x = 0, y = 0;
    bool operator==(const DialogBaseUnits& o) const { return x == o.x && y == o.y; }
    bool operator!=(const DialogBaseUnits& o) const { return !(*this == o); }
};

// The base units a template's font gives at 96 dpi, for the fonts our templates name and whose
// metrics are known; nothing for any other font (its dialogs are left as the system lays them out).
std::optional<DialogBaseUnits> KnownFontBaseUnits(const std::u16string& face, uint16_t pointSize);

// Dialog units to pixels, exactly as the dialog manager maps them.
DialogRect DialogUnitsToPixels(const DialogRect& dlu, DialogBaseUnits units);

// A rectangle at 100 % at that dpi (scale.h); its size is scaled from its edges, so that
// neighbouring rectangles stay neighbours.
DialogRect ScaleToDpi(const DialogRect& rect, unsigned dpi);
