#include "controls/font_store.h"

#include <cstddef>
#include <cstring>
#include <map>

#include "framework/afxmt.h"
#include "framework/window_scale.h"

namespace {

// One font of the system's metrics for that dpi (its status or its message font); where the
// system cannot give metrics for a dpi, its own scaled.
LOGFONTA MetricsFontFor(UINT dpi, LOGFONTW NONCLIENTMETRICSW::*wideFont, LOGFONTA NONCLIENTMETRICSA::*narrowFont) {
    NONCLIENTMETRICSW wide{};
    wide.cbSize = sizeof wide;
    LOGFONTA font{};
    if (AfxSystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof wide, &wide, 0, dpi)) {
        // Every field up to the face name is laid out alike in both structures.
        std::memcpy(&font, &(wide.*wideFont), offsetof(LOGFONTA, lfFaceName));
        ::WideCharToMultiByte(CP_ACP, 0, (wide.*wideFont).lfFaceName, -1, font.lfFaceName, LF_FACESIZE, nullptr, nullptr);
        return font;
    }
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    font = metrics.*narrowFont;
    font.lfHeight = ScaleBetweenDpi(font.lfHeight, AfxGetSystemDpi(), dpi);
    return font;
}

// The font made from that description, shared while anyone holds it.
std::shared_ptr<const CFont> StoredFont(std::map<UINT, std::weak_ptr<const CFont>>& fonts, UINT dpi,
                                        const LOGFONTA& wanted) {
    if (auto font = fonts[dpi].lock()) return font;
    auto made = std::make_shared<CFont>();
    if (!made->CreateFontIndirect(&wanted)) return nullptr;
    fonts[dpi] = made;
    return made;
}

CCriticalSection fontLock;

}  // namespace

std::shared_ptr<const CFont> StoredTooltipFont(UINT dpi) {
    static std::map<UINT, std::weak_ptr<const CFont>> fonts;
    CSingleLock hold(&fontLock, TRUE);
    return StoredFont(fonts, dpi, MetricsFontFor(dpi, &NONCLIENTMETRICSW::lfStatusFont, &NONCLIENTMETRICSA::lfStatusFont));
}

std::shared_ptr<const CFont> StoredContrastFont(UINT dpi) {
    static std::map<UINT, std::weak_ptr<const CFont>> fonts;
    CSingleLock hold(&fontLock, TRUE);
    LOGFONTA wanted = MetricsFontFor(dpi, &NONCLIENTMETRICSW::lfMessageFont, &NONCLIENTMETRICSA::lfMessageFont);
    // Without anti-aliasing every pixel of the text is the text's colour or the paper's.
    wanted.lfQuality = NONANTIALIASED_QUALITY;
    return StoredFont(fonts, dpi, wanted);
}
