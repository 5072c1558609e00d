#pragma once
// The skin's images, each bitmap resource decoded once per process. The store keeps a weak
// reference to every image it has decoded; whoever asks for a resource gets a shared reference
// to the one decoded bitmap, which is freed when its last holder lets go. Each bitmap has
// exactly one owner, the store's CBitmap; holders only borrow its handle.
#include <memory>
#include <vector>

#include "controls/scaled_art.h"
#include "framework/afxwin.h"
#include "framework/window_scale.h"

// The decoded bitmap resource (from the module that holds it) drawn for that display scale (96
// dpi: the bitmap resource itself; see scaled_art.h for the others), shared with every other
// holder; null when it does not load.
std::shared_ptr<const CBitmap> StoredBitmap(UINT id, UINT dpi = kDefaultDpi);
// True while the store holds that image decoded for that scale (somebody holds it).
bool IsImageStored(UINT id, UINT dpi = kDefaultDpi);
// The same image as a bitmap of the caller's own, outside the store; null when it does not load.
std::shared_ptr<CBitmap> UnsharedBitmap(UINT id, UINT dpi = kDefaultDpi);
// Loads that image into the caller's bitmap, which lets go of the one it held; FALSE when it
// does not load (the bitmap then keeps what it held). An image prefetched for that scale and
// those edges is taken (once its thread is done) instead of decoded again.
BOOL LoadSkinBitmap(CBitmap& into, UINT id, UINT dpi, ArtEdges edges = ArtEdges::Blended);
// Starts decoding, on a thread of its own, the picture `pictureId` (with those edges) for
// LoadSkinBitmap and then the images `storedIds` for the store, at that scale, so that they are
// ready when the window asks for them while it is still being made. The stored images are held
// until the prefetch is released; a picture not claimed by then is deleted. A later prefetch
// releases the one before.
void PrefetchSkinImages(UINT pictureId, ArtEdges pictureEdges, std::vector<UINT> storedIds, UINT dpi);
// Waits for the prefetch's thread and lets go of what it holds.
void ReleasePrefetchedImages();
// True when the program's resources hold that image (every image of the skin has a 100 %
// bitmap; the sets for other scales draw the same images again), without decoding it.
bool SkinBitmapExists(UINT id);

// A holder of a stored image that reads and draws as a CBitmap. It mirrors the store's handle
// and never deletes it; its own DeleteObject lets go of the reference instead. It is no CBitmap
// to its users (the inheritance is not public), so nothing can delete or replace the shared
// handle through a CBitmap pointer: the bitmap is lent out as const only.
class SharedBitmap : protected CBitmap {
public:
    SharedBitmap() = default;
    ~SharedBitmap() override { CGdiObject::Detach(); }
    SharedBitmap(const SharedBitmap&) = delete;
    SharedBitmap& operator=(const SharedBitmap&) = delete;

    using CGdiObject::GetSafeHandle;
    using CBitmap::operator HBITMAP;
    const CBitmap& Bitmap() const { return *this; }

    // Holds the image (null: none) and lets go of the one held before.
    void Hold(std::shared_ptr<const CBitmap> image);
    // Lets go of the image; FALSE when none was held.
    BOOL DeleteObject();

private:
    std::shared_ptr<const CBitmap> image_;
};

// An image named now and taken from the store when it is first drawn, so that an image that is
// never shown (a face of a state never reached) is never decoded. Once taken it is held like a
// SharedBitmap until another is named.
class LazyBitmap {
public:
    // Names the image (0: none) and the scale it is drawn at; lets go of the one held before,
    // unless it is that same image.
    void Name(UINT id, UINT dpi);
    // The image, taken from the store on the first call after it was named; null when none is
    // named or it does not load (a failed load is not tried again until it is named anew).
    const CBitmap* Get();
    // The handle taken so far; null until the image has been drawn.
    HGDIOBJ GetSafeHandle() const { return held_.GetSafeHandle(); }

private:
    UINT id_ = 0;
    UINT dpi_ = 0;
    bool taken_ = false;
    SharedBitmap held_;
};
