#pragma once
// CMapPtrToPtr: the framework's hash map from one pointer to another.
// Portable: no window system needed. Keys are compared by address only.
#include <cstddef>
#include <unordered_map>

class CMapPtrToPtr {
public:
    // The block size is how many entries the map makes room for when the first one arrives;
    // it is only a hint, and a size below 1 counts as 1.
    explicit CMapPtrToPtr(std::ptrdiff_t nBlockSize = 10);
    CMapPtrToPtr(const CMapPtrToPtr&) = delete;
    CMapPtrToPtr& operator=(const CMapPtrToPtr&) = delete;

    std::ptrdiff_t GetCount() const { return static_cast<std::ptrdiff_t>(m_map.size()); }
    bool IsEmpty() const { return m_map.empty(); }

    // True and the value when the key is present; rValue is left alone otherwise.
    bool Lookup(void* key, void*& rValue) const;
    // Adds the key, or replaces its value when it is present already.
    void SetAt(void* key, void* newValue);
    // False when the key was not present.
    bool RemoveKey(void* key);
    void RemoveAll() { m_map.clear(); }

private:
    std::unordered_map<void*, void*> m_map;
    std::size_t m_nBlockSize;
};
