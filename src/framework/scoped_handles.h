#pragma once
// Scoped owners of the system's handles: each frees what it holds exactly once, when it ends.
// The MFC-named owners (CGdiObject and its kinds for GDI objects, CDC for a memory context,
// CPaintDC) come from afxgdi.h; this header adds the ones MFC leaves to hand-written code. A
// failed acquisition owns nothing and frees nothing.
#include <windows.h>

#include <optional>
#include <utility>

#include "framework/afxgdi.h"

// A window's context from GetDC (the screen's for a null window), released when it ends.
class CClientDC : public CDC {
public:
    explicit CClientDC(HWND hWnd);
    ~CClientDC() override;
    CClientDC(const CClientDC&) = delete;
    CClientDC& operator=(const CClientDC&) = delete;

private:
    HWND m_hWnd;
};

// An object selected into a context; what the context held before is put back when it ends.
// With a null context or object, or when the selection fails, nothing is selected or put back.
class ScopedSelection {
public:
    ScopedSelection(HDC dc, HGDIOBJ object);
    ~ScopedSelection();
    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;
    explicit operator bool() const { return previous_ != nullptr; }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A memory context, compatible with the given one, holding someone else's bitmap for the
// length of one drawing step; the bitmap is let go of before the context is deleted.
class BitmapContext {
public:
    BitmapContext(HDC compatibleWith, HGDIOBJ bitmap);
    operator HDC() const { return dc_; }
    // False when the bitmap could not be selected (one that is selected into another context).
    explicit operator bool() const { return static_cast<bool>(held_); }

private:
    CDC dc_;  // made first, deleted last
    ScopedSelection held_;
};

// A memory context with a bitmap of its own selected into it, both compatible with the context
// they were made for; freed together (the bitmap let go of, deleted, then the context).
class MemoryCanvas {
public:
    // Makes both, freeing what it held (so compatibleWith is another context than its own);
    // FALSE, holding nothing, when either cannot be made.
    BOOL Create(HDC compatibleWith, int width, int height);
    void Free();
    HDC GetSafeHdc() const { return dc_.GetSafeHdc(); }
    operator HDC() const { return dc_; }

private:
    CDC dc_;
    CBitmap bitmap_;
    std::optional<ScopedSelection> selection_;
};

// One counted reference to a COM object, released when it ends; moving it hands it over.
template <class Interface>
class ComRef {
public:
    ComRef() = default;
    // Takes over a reference the caller holds (null: none).
    explicit ComRef(Interface* taken) : p_(taken) {}
    ~ComRef() { Release(); }
    ComRef(ComRef&& other) noexcept : p_(other.Detach()) {}
    ComRef& operator=(ComRef&& other) noexcept {
        if (this != &other) {
            Release();
            p_ = other.Detach();
        }
        return *this;
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;

    Interface* Get() const { return p_; }
    Interface* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For a call that hands back a reference: releases the one held and lends out the slot.
    Interface** Receive() {
        Release();
        return &p_;
    }
    // Gives the reference up to the caller, who releases it.
    Interface* Detach() { return std::exchange(p_, nullptr); }
    void Release() {
        if (Interface* held = Detach()) held->Release();
    }

private:
    Interface* p_ = nullptr;
};

// The bytes of a resource. They live as long as the module that holds them, so there is
// nothing to free; an empty span when the resource is missing or cannot be loaded.
struct ResourceBytes {
    const void* bytes = nullptr;
    DWORD size = 0;
    explicit operator bool() const { return bytes != nullptr; }
};
ResourceBytes FindResourceBytes(HINSTANCE module, LPCSTR name, LPCSTR type);
