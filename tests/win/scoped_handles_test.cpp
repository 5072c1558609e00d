#include "framework/scoped_handles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>

#include "process_counts.h"
#include "resource.h"

namespace {

// Stands in for a COM object: counts the references it is given back.
struct CountedObject {
    int releases = 0;
    unsigned long Release() { return static_cast<unsigned long>(++releases); }
};

// A context that no call ever handed out: every call on it fails.
HDC NoContext() { return reinterpret_cast<HDC>(static_cast<UINT_PTR>(0x7FFF1234)); }

HGDIOBJ SelectedBitmap(HDC dc) { return ::GetCurrentObject(dc, OBJ_BITMAP); }

// The process's GDI objects, once what the first use of a context makes for good (fonts,
// brushes, the screen's context) has been made.
size_t SettledGdiCount() {
    {
        const CClientDC screen(nullptr);
        MemoryCanvas canvas;
        canvas.Create(screen, 1, 1);
    }
    return GdiObjectCount();
}

SIZE SizeOf(HGDIOBJ bitmap) {
    BITMAP info{};
    ::GetObjectA(bitmap, sizeof info, &info);
    return SIZE{info.bmWidth, info.bmHeight};
}

}  // namespace

TEST(ScopedHandles, AClientContextIsReleasedOnceAndAFailedOneOwnsNothing) {
    const size_t before = SettledGdiCount();
    ASSERT_GT(before, 0u) << "the GDI table cannot be read";
    for (int i = 0; i < 50; ++i) {
        const CClientDC screen(nullptr);
        ASSERT_NE(screen.GetSafeHdc(), nullptr);
        EXPECT_GT(::GetDeviceCaps(screen, LOGPIXELSX), 0);
    }
    EXPECT_EQ(GdiObjectCount(), before);
    {
        const CClientDC none(reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x7FFF1234)));
        EXPECT_EQ(none.GetSafeHdc(), nullptr);
    }
    EXPECT_EQ(GdiObjectCount(), before);
}

TEST(ScopedHandles, ASelectionPutsBackWhatTheContextHeld) {
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.Attach(::CreateBitmap(3, 2, 1, 32, nullptr)));
    const HGDIOBJ original = SelectedBitmap(dc);
    {
        const ScopedSelection selected(dc, bitmap);
        EXPECT_TRUE(selected);
        EXPECT_EQ(SelectedBitmap(dc), bitmap.GetSafeHandle());
    }
    EXPECT_EQ(SelectedBitmap(dc), original);

    // Nothing to select, or nowhere to select it: nothing changes, then or at the end.
    for (const auto& [into, object] : {std::pair<HDC, HGDIOBJ>{dc, nullptr}, {nullptr, bitmap}}) {
        {
            const ScopedSelection none(into, object);
            EXPECT_FALSE(none);
        }
        EXPECT_EQ(SelectedBitmap(dc), original);
    }

    // A bitmap held by another context cannot be selected; the other context keeps it.
    CDC other;
    ASSERT_TRUE(other.CreateCompatibleDC(nullptr));
    const ScopedSelection held(other, bitmap);
    ASSERT_TRUE(held);
    {
        const ScopedSelection refused(dc, bitmap);
        EXPECT_FALSE(refused);
    }
    EXPECT_EQ(SelectedBitmap(other), bitmap.GetSafeHandle());
    EXPECT_EQ(SelectedBitmap(dc), original);
}

TEST(ScopedHandles, ABitmapContextDeletesItsContextAndLetsTheBitmapGo) {
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.Attach(::CreateBitmap(3, 2, 1, 32, nullptr)));
    const size_t before = SettledGdiCount();
    HDC made = nullptr;
    {
        const BitmapContext context(nullptr, bitmap);
        ASSERT_TRUE(context);
        made = context;
        EXPECT_EQ(::GetObjectType(made), static_cast<DWORD>(OBJ_MEMDC));
        EXPECT_EQ(SelectedBitmap(made), bitmap.GetSafeHandle());
    }
    EXPECT_EQ(::GetObjectType(made), 0u);
    EXPECT_EQ(::GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP)) << "the bitmap is only borrowed";
    EXPECT_EQ(GdiObjectCount(), before);
    {
        CDC other;  // the bitmap let go of: another context can take it
        ASSERT_TRUE(other.CreateCompatibleDC(nullptr));
        const ScopedSelection taken(other, bitmap);
        EXPECT_TRUE(taken);
    }
    {
        const BitmapContext failed(NoContext(), bitmap);
        EXPECT_FALSE(failed);
        EXPECT_EQ(static_cast<HDC>(failed), nullptr);
    }
    EXPECT_EQ(GdiObjectCount(), before);
}

TEST(ScopedHandles, AMemoryCanvasFreesItsContextAndBitmapTogether) {
    const size_t before = SettledGdiCount();
    HDC firstDc = nullptr;
    HGDIOBJ firstBitmap = nullptr;
    {
        MemoryCanvas canvas;
        ASSERT_TRUE(canvas.Create(CClientDC(nullptr), 5, 4));
        firstDc = canvas;
        firstBitmap = SelectedBitmap(canvas);
        EXPECT_EQ(SizeOf(firstBitmap).cx, 5);
        EXPECT_EQ(SizeOf(firstBitmap).cy, 4);
        EXPECT_EQ(GdiObjectCount(), before + 2);

        // Made again: the first pair goes before the second comes.
        ASSERT_TRUE(canvas.Create(CClientDC(nullptr), 7, 2));
        EXPECT_EQ(::GetObjectType(firstDc), 0u);
        EXPECT_EQ(::GetObjectType(firstBitmap), 0u);
        EXPECT_EQ(SizeOf(SelectedBitmap(canvas)).cx, 7);
        EXPECT_EQ(GdiObjectCount(), before + 2);

        canvas.Free();
        EXPECT_EQ(canvas.GetSafeHdc(), nullptr);
        EXPECT_EQ(GdiObjectCount(), before);
        canvas.Free();  // nothing left to free
        ASSERT_TRUE(canvas.Create(CClientDC(nullptr), 1, 1));
    }
    EXPECT_EQ(GdiObjectCount(), before);

    // A context that cannot be made, or a bitmap that cannot (after its context was made):
    // the canvas holds nothing, and nothing is left behind.
    MemoryCanvas failed;
    EXPECT_FALSE(failed.Create(NoContext(), 5, 4));
    EXPECT_EQ(failed.GetSafeHdc(), nullptr);
    EXPECT_FALSE(failed.Create(nullptr, 5, 4));  // a context of its own, but no screen to match
    EXPECT_EQ(failed.GetSafeHdc(), nullptr);
    EXPECT_EQ(GdiObjectCount(), before);
}

TEST(ScopedHandles, AComReferenceIsReleasedOnceAndMovesHandItOver) {
    CountedObject first, second;
    {
        ComRef<CountedObject> held(&first);
        ComRef<CountedObject> moved(std::move(held));
        EXPECT_FALSE(held);
        EXPECT_EQ(moved.Get(), &first);
        EXPECT_EQ(first.releases, 0);

        ComRef<CountedObject> other(&second);
        other = std::move(moved);  // the reference other held goes now
        EXPECT_EQ(second.releases, 1);
        EXPECT_EQ(other.Get(), &first);
        ComRef<CountedObject>& same = other;
        other = std::move(same);  // onto itself: kept
        EXPECT_EQ(first.releases, 0);
    }
    EXPECT_EQ(first.releases, 1);
    EXPECT_EQ(second.releases, 1);

    // A call that hands a reference back fills the slot; the reference held before goes first.
    ComRef<CountedObject> filled(&first);
    *filled.Receive() = &second;
    EXPECT_EQ(first.releases, 2);
    CountedObject* given = filled.Detach();  // given up: not released here
    EXPECT_EQ(given, &second);
    EXPECT_EQ(second.releases, 1);
    ComRef<CountedObject> none;
    none.Release();  // nothing held: nothing released
    EXPECT_FALSE(filled);
}

TEST(ScopedHandles, ResourceBytesAreTheResourcesOwnOrNone) {
    const ResourceBytes animation = FindResourceBytes(nullptr, MAKEINTRESOURCEA(IDR_ANIMATION), "GIF");
    ASSERT_TRUE(animation);
    ASSERT_GT(animation.size, 6u);
    EXPECT_EQ(std::memcmp(animation.bytes, "GIF89a", 6), 0);

    for (const auto& [name, type] : {std::pair<LPCSTR, LPCSTR>{MAKEINTRESOURCEA(IDR_ANIMATION), "PNG200"},
                                     {MAKEINTRESOURCEA(9999), "GIF"}}) {
        const ResourceBytes missing = FindResourceBytes(nullptr, name, type);
        EXPECT_FALSE(missing);
        EXPECT_EQ(missing.size, 0u);
    }
}
