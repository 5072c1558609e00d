#include "framework/afxcoll.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

void* Key(std::uintptr_t n) { return reinterpret_cast<void*>(n); }

}  // namespace

TEST(CMapPtrToPtr, AddsReplacesFindsAndRemovesByAddress) {
    CMapPtrToPtr map(10);
    EXPECT_TRUE(map.IsEmpty());
    int a = 0, b = 0;
    map.SetAt(Key(7), &a);
    map.SetAt(Key(0), &b);  // a null key is a key like any other
    EXPECT_EQ(map.GetCount(), 2);

    void* value = nullptr;
    ASSERT_TRUE(map.Lookup(Key(7), value));
    EXPECT_EQ(value, &a);
    ASSERT_TRUE(map.Lookup(Key(0), value));
    EXPECT_EQ(value, &b);

    map.SetAt(Key(7), &b);  // replaces, never duplicates
    EXPECT_EQ(map.GetCount(), 2);
    ASSERT_TRUE(map.Lookup(Key(7), value));
    EXPECT_EQ(value, &b);

    EXPECT_TRUE(map.RemoveKey(Key(7)));
    EXPECT_FALSE(map.RemoveKey(Key(7)));
    EXPECT_EQ(map.GetCount(), 1);
    EXPECT_FALSE(map.Lookup(Key(7), value));
    EXPECT_EQ(value, &b) << "a missing key leaves the value alone";
}

TEST(CMapPtrToPtr, GrowsPastManyBlocksAndEmptiesAgain) {
    for (std::ptrdiff_t blockSize : {10, 1, 0, -5}) {  // a block size below 1 is only a hint
        CMapPtrToPtr map(blockSize);
        for (std::uintptr_t n = 1; n <= 1000; ++n) map.SetAt(Key(n), Key(n * 3));
        ASSERT_EQ(map.GetCount(), 1000) << blockSize;
        void* value = nullptr;
        ASSERT_TRUE(map.Lookup(Key(999), value));
        EXPECT_EQ(value, Key(2997));
        map.RemoveAll();
        EXPECT_TRUE(map.IsEmpty());
        EXPECT_FALSE(map.Lookup(Key(999), value));
        map.SetAt(Key(5), Key(6));  // usable again after emptying
        EXPECT_EQ(map.GetCount(), 1);
    }
}
