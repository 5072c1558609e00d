#include "framework/afxcoll.h"

CMapPtrToPtr::CMapPtrToPtr(std::ptrdiff_t nBlockSize)
    : m_nBlockSize(nBlockSize > 0 ? static_cast<std::size_t>(nBlockSize) : 1) {}

bool CMapPtrToPtr::Lookup(void* key, void*& rValue) const {
    const auto it = m_map.find(key);
    if (it == m_map.end()) return false;
    rValue = it->second;
    return true;
}

void CMapPtrToPtr::SetAt(void* key, void* newValue) {
    // The first entry makes room for a block of them; later growth is the table's own.
    if (m_map.empty()) m_map.reserve(m_nBlockSize);
    m_map[key] = newValue;
}

bool CMapPtrToPtr::RemoveKey(void* key) { return m_map.erase(key) != 0; }
