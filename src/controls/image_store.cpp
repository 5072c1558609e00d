#include "controls/image_store.h"

#include <future>
#include <map>
#include <new>
#include <system_error>
#include <vector>
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

// The image decoded, as a bitmap the caller owns; null when it does not load.
HBITMAP DecodeSkinBitmap(UINT id, UINT dpi, ArtEdges edges) {
    if (dpi != kDefaultDpi)
        return LoadScaledArt(AfxFindResourceHandle(MAKEINTRESOURCEA(id), RT_BITMAP), id, dpi, edges);
    CBitmap bitmap;
    return bitmap.LoadBitmap(id) ? static_cast<HBITMAP>(bitmap.Detach()) : nullptr;
}

// Images a thread decodes while the window is being made: a picture for LoadSkinBitmap, claimed
// once, then images for the store, held until released. An unclaimed picture is deleted then.
class Prefetch {
public:
    ~Prefetch() { Release(); }
    void Start(UINT pictureId, ArtEdges pictureEdges, std::vector<UINT> storedIds, UINT dpi) {
        Release();
        pictureId_ = pictureId;
        pictureEdges_ = pictureEdges;
        dpi_ = dpi;
        auto picture = std::make_shared<std::promise<HBITMAP>>();
        try {
            auto decode = [picture, pictureId, pictureEdges, storedIds = std::move(storedIds), dpi] {
                return Decode(*picture, pictureId, pictureEdges, storedIds, dpi);
            };
            stored_ = std::async(std::launch::async, std::move(decode));
            picture_ = picture->get_future();
        } catch (const std::system_error&) {
            stored_ = {};  // no thread: each image is decoded when it is asked for
        }
    }
    // The picture once decoded, now the caller's; null when it is not the one prefetched.
    HBITMAP Claim(UINT id, UINT dpi, ArtEdges edges) {
        if (!picture_.valid() || id != pictureId_ || dpi != dpi_ || edges != pictureEdges_) return nullptr;
        return picture_.get();
    }
    void Release() {
        if (stored_.valid()) stored_.get();  // waits for the thread; lets go of the images
        if (picture_.valid()) {
            CBitmap unclaimed;
            unclaimed.Attach(picture_.get());
        }
    }

private:
    using Held = std::vector<std::shared_ptr<const CBitmap>>;
    // On the thread. Out of memory it stops: what it did not decode is decoded when asked for.
    static Held Decode(std::promise<HBITMAP>& picture, UINT pictureId, ArtEdges pictureEdges,
                       const std::vector<UINT>& storedIds, UINT dpi) {
        bool told = false;
        Held held;
        try {
            picture.set_value(DecodeSkinBitmap(pictureId, dpi, pictureEdges));
            told = true;
            for (UINT id : storedIds) held.push_back(StoredBitmap(id, dpi));
        } catch (const std::bad_alloc&) {
            if (!told) picture.set_value(nullptr);
        }
        return held;
    }

    UINT pictureId_ = 0;
    ArtEdges pictureEdges_ = ArtEdges::Blended;
    UINT dpi_ = 0;
    std::future<HBITMAP> picture_;
    std::future<Held> stored_;
};

Prefetch& ThePrefetch() {
    TheStore();  // made first, so that it outlives the prefetch at the end of the run
    static Prefetch prefetch;
    return prefetch;
}

}  // namespace

BOOL LoadSkinBitmap(CBitmap& into, UINT id, UINT dpi, ArtEdges edges) {
    if (HBITMAP prefetched = ThePrefetch().Claim(id, dpi, edges)) return into.Attach(prefetched);
    if (dpi == kDefaultDpi) return into.LoadBitmap(id);
    return into.Attach(DecodeSkinBitmap(id, dpi, edges));
}

void PrefetchSkinImages(UINT pictureId, ArtEdges pictureEdges, std::vector<UINT> storedIds, UINT dpi) {
    ThePrefetch().Start(pictureId, pictureEdges, std::move(storedIds), dpi);
}

void ReleasePrefetchedImages() { ThePrefetch().Release(); }

bool SkinBitmapExists(UINT id) {
    return ::FindResourceA(AfxFindResourceHandle(MAKEINTRESOURCEA(id), RT_BITMAP), MAKEINTRESOURCEA(id), RT_BITMAP);
}

std::shared_ptr<CBitmap> UnsharedBitmap(UINT id, UINT dpi) {
    auto bitmap = std::make_shared<CBitmap>();
    return LoadSkinBitmap(*bitmap, id, dpi) ? bitmap : nullptr;
}

namespace {

std::tuple<HINSTANCE, UINT, UINT> KeyOf(UINT id, UINT dpi) {
    return std::make_tuple(AfxFindResourceHandle(MAKEINTRESOURCEA(id), RT_BITMAP), id, dpi);
}

}  // namespace

bool IsImageStored(UINT id, UINT dpi) {
    ImageStore& store = TheStore();
    CSingleLock hold(&store.lock, TRUE);
    const auto found = store.images.find(KeyOf(id, dpi));
    return found != store.images.end() && !found->second.expired();
}

std::shared_ptr<const CBitmap> StoredBitmap(UINT id, UINT dpi) {
    const auto key = KeyOf(id, dpi);
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

void LazyBitmap::Name(UINT id, UINT dpi) {
    if (id == id_ && dpi == dpi_) return;
    id_ = id;
    dpi_ = dpi;
    taken_ = false;
    held_.Hold(nullptr);
}

const CBitmap* LazyBitmap::Get() {
    if (!id_) return nullptr;
    if (!taken_) held_.Hold(StoredBitmap(id_, dpi_));
    taken_ = true;
    return held_.GetSafeHandle() ? &held_.Bitmap() : nullptr;
}
