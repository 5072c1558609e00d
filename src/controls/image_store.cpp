#include "controls/image_store.h"

#include <cstddef>
#include <cstring>
#include <map>
#include <tuple>
#include <utility>

#include "controls/scaled_art.h"
#include "framework/afxmt.h"

namespace {

struct ImageStore {
    CCriticalSection lock;
    // Weak: an image lives as long as somebody holds it, and is decoded again when asked for
    // after that.
    std::map<std::tuple<HINSTANCE, UINT, UINT>, std::weak_ptr<const CBitmap>> images;
};

ImageStore& TheStore() {
    static ImageStore store;
    return store;
}

}  // namespace

BOOL LoadSkinBitmap(CBitmap& into, UINT id, UINT dpi, ArtEdges edges) {
    if (dpi == kDefaultDpi) return into.LoadBitmap(id);
    return into.Attach(LoadScaledArt(AfxFindResourceHandle(MAKEINTRESOURCEA(id), RT_BITMAP), id, dpi, edges));
}

std::shared_ptr<CBitmap> UnsharedBitmap(UINT id, UINT dpi) {
    auto bitmap = std::make_shared<CBitmap>();
    return LoadSkinBitmap(*bitmap, id, dpi) ? bitmap : nullptr;
}

std::shared_ptr<const CBitmap> StoredBitmap(UINT id, UINT dpi) {
    const auto key = std::make_tuple(AfxFindResourceHandle(MAKEINTRESOURCEA(id), RT_BITMAP), id, dpi);
    ImageStore& store = TheStore();
    CSingleLock hold(&store.lock, TRUE);
    if (auto image = store.images[key].lock()) return image;
    std::shared_ptr<const CBitmap> decoded = UnsharedBitmap(id, dpi);
    if (!decoded) {
        store.images.erase(key);
        return nullptr;
    }
    store.images[key] = decoded;
    return decoded;
}

namespace {

UINT SystemDpi() {
    using GetDpiForSystemFn = UINT(WINAPI*)();
    static const auto getDpiForSystem = reinterpret_cast<GetDpiForSystemFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("user32.dll"), "GetDpiForSystem")));
    return getDpiForSystem ? getDpiForSystem() : AfxGetWindowDpi(nullptr);
}

// The status font of the system's metrics for that dpi; where the system cannot give metrics
// for a dpi, its own scaled.
LOGFONTA MessageFontFor(UINT dpi) {
    using ParametersForDpiFn = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);
    static const auto parametersForDpi = reinterpret_cast<ParametersForDpiFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("user32.dll"), "SystemParametersInfoForDpi")));
    NONCLIENTMETRICSW wide{};
    wide.cbSize = sizeof wide;
    LOGFONTA font{};
    if (parametersForDpi && parametersForDpi(SPI_GETNONCLIENTMETRICS, sizeof wide, &wide, 0, dpi)) {
        // Every field up to the face name is laid out alike in both structures.
        std::memcpy(&font, &wide.lfStatusFont, offsetof(LOGFONTA, lfFaceName));
        ::WideCharToMultiByte(CP_ACP, 0, wide.lfStatusFont.lfFaceName, -1, font.lfFaceName, LF_FACESIZE, nullptr, nullptr);
        return font;
    }
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    font = metrics.lfStatusFont;
    font.lfHeight = ::MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(SystemDpi()));
    return font;
}

}  // namespace

std::shared_ptr<const CFont> StoredMessageFont(UINT dpi) {
    static CCriticalSection lock;
    static std::map<UINT, std::weak_ptr<const CFont>> fonts;
    CSingleLock hold(&lock, TRUE);
    if (auto font = fonts[dpi].lock()) return font;
    auto made = std::make_shared<CFont>();
    const LOGFONTA wanted = MessageFontFor(dpi);
    if (!made->CreateFontIndirect(&wanted)) return nullptr;
    fonts[dpi] = made;
    return made;
}

void SharedBitmap::Hold(std::shared_ptr<const CBitmap> image) {
    m_hObject = image ? image->GetSafeHandle() : nullptr;
    image_ = std::move(image);
}

BOOL SharedBitmap::DeleteObject() {
    const BOOL held = image_ != nullptr;
    Hold(nullptr);
    return held;
}
