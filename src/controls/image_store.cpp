#include "controls/image_store.h"

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

BOOL LoadSkinBitmap(CBitmap& into, UINT id, UINT dpi) {
    if (dpi == kDefaultDpi) return into.LoadBitmap(id);
    return into.Attach(LoadScaledArt(AfxFindResourceHandle(MAKEINTRESOURCEA(id), RT_BITMAP), id, dpi));
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

void SharedBitmap::Hold(std::shared_ptr<const CBitmap> image) {
    m_hObject = image ? image->GetSafeHandle() : nullptr;
    image_ = std::move(image);
}

BOOL SharedBitmap::DeleteObject() {
    const BOOL held = image_ != nullptr;
    Hold(nullptr);
    return held;
}
