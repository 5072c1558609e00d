#pragma once
// Synchronisation objects of the framework: a critical section and a guard that holds one
// for the length of a scope.
#include <windows.h>

class CCriticalSection {
public:
    CCriticalSection() { ::InitializeCriticalSection(&m_sect); }
    ~CCriticalSection() { ::DeleteCriticalSection(&m_sect); }
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    // Waits until no other thread holds the section. The owning thread may enter again; each
    // Lock needs its own Unlock.
    BOOL Lock() {
        ::EnterCriticalSection(&m_sect);
        return TRUE;
    }
    BOOL Unlock() {
        ::LeaveCriticalSection(&m_sect);
        return TRUE;
    }
    operator CRITICAL_SECTION*() { return &m_sect; }  // NOLINT: as the framework offers it

private:
    CRITICAL_SECTION m_sect;
};

// Holds a critical section from construction (or Lock) until Unlock or the end of the scope.
class CSingleLock {
public:
    explicit CSingleLock(CCriticalSection* pObject, BOOL bInitialLock = FALSE) : m_pObject(pObject) {
        if (bInitialLock) Lock();
    }
    ~CSingleLock() { Unlock(); }
    CSingleLock(const CSingleLock&) = delete;
    CSingleLock& operator=(const CSingleLock&) = delete;

    BOOL Lock() {
        if (!m_pObject || m_bAcquired) return m_bAcquired;
        m_bAcquired = m_pObject->Lock();
        return m_bAcquired;
    }
    BOOL Unlock() {
        if (m_pObject && m_bAcquired) m_bAcquired = !m_pObject->Unlock();
        return !m_bAcquired;
    }
    BOOL IsLocked() const { return m_bAcquired; }

private:
    CCriticalSection* m_pObject;
    BOOL m_bAcquired = FALSE;
};
