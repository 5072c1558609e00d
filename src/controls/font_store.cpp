#include "controls/font_store.h"

#include <cstddef>
#include <cstring>
#include <map>

#include "framework/afxmt.h"
#include "framework/window_scale.h"

namespace {

// The status font of the system's metrics for that dpi; where the system cannot give metrics
// for a dpi, its own scaled.
LOGFONTA StatusFontFor(UINT dpi) {
    NONCLIENTMETRICSW wide{};
    wide.cbSize = sizeof wide;
    LOGFONTA font{};
    if (AfxSystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof wide, &wide, 0, dpi)) {
        // Every field up to the face name is laid out alike in both structures.
        std::memcpy(&font, &wide.lfStatusFont, offsetof(LOGFONTA, lfFaceName));
        ::WideCharToMultiByte(CP_ACP, 0, wide.lfStatusFont.lfFaceName, -1, font.lfFaceName, LF_FACESIZE, nullptr, nullptr);
        return font;
    }
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    font = metrics.lfStatusFont;
    font.lfHeight = ScaleBetweenDpi(font.lfHeight, AfxGetSystemDpi(), dpi);
    return font;
}

}  // namespace

std::shared_ptr<const CFont> StoredTooltipFont(UINT dpi) {
    static CCriticalSection lock;
    static std::map<UINT, std::weak_ptr<const CFont>> fonts;
    CSingleLock hold(&lock, TRUE);
    if (auto font = fonts[dpi].lock()) return font;
    auto made = std::make_shared<CFont>();
    const LOGFONTA wanted = StatusFontFor(dpi);
    if (!made->CreateFontIndirect(&wanted)) return nullptr;
    fonts[dpi] = made;
    return made;
}
