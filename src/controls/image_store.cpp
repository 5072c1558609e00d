#include "controls/image_store.h"

#include <map>
#include <utility>

#include "framework/afxmt.h"

namespace {

struct ImageStore {
    CCriticalSection lock;
    // Weak: an image lives as long as somebody holds it, and is decoded again when asked for
    // after that.
    std::map<std::pair<HINSTANCE, UINT>, std::weak_ptr<const CBitmap>> images;
};

ImageStore& TheStore() {
    static ImageStore store;
    return store;
}

}  // namespace

std::shared_ptr<const CBitmap> StoredBitmap(UINT id) {
    const auto key = std::make_pair(AfxFindResourceHandle(MAKEINTRESOURCEA(id), RT_BITMAP), id);
    ImageStore& store = TheStore();
    CSingleLock hold(&store.lock, TRUE);
    if (auto image = store.images[key].lock()) return image;
    auto decoded = std::make_shared<CBitmap>();
    if (!decoded->LoadBitmap(id)) {
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
