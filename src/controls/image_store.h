#pragma once
// The skin's images, each bitmap resource decoded once per process. The store keeps a weak
// reference to every image it has decoded; whoever asks for a resource gets a shared reference
// to the one decoded bitmap, which is freed when its last holder lets go. Each bitmap has
// exactly one owner, the store's CBitmap; holders only borrow its handle.
#include <memory>

#include "controls/scaled_art.h"
#include "framework/afxwin.h"
#include "framework/window_scale.h"

// The decoded bitmap resource (from the module that holds it) drawn for that display scale (96
// dpi: the bitmap resource itself; see scaled_art.h for the others), shared with every other
// holder; null when it does not load.
std::shared_ptr<const CBitmap> StoredBitmap(UINT id, UINT dpi = kDefaultDpi);
// The same image as a bitmap of the caller's own, outside the store; null when it does not load.
std::shared_ptr<CBitmap> UnsharedBitmap(UINT id, UINT dpi = kDefaultDpi);
// Loads that image into the caller's bitmap, which lets go of the one it held; FALSE when it
// does not load (the bitmap then keeps what it held).
BOOL LoadSkinBitmap(CBitmap& into, UINT id, UINT dpi, ArtEdges edges = ArtEdges::Blended);

// The system's message font (tooltips, balloons) at that scale, shared; null when it cannot be
// made. At the system's own scale it is the font the system gives its tooltips itself.
std::shared_ptr<const CFont> StoredMessageFont(UINT dpi);

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
