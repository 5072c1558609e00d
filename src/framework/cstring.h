#pragma once
// CString: the framework's byte string (multibyte text in the ANSI code page).
// Portable: no window system needed, so string logic can be unit-tested natively.
#include <cstdarg>
#include <string>

class CString {
public:
    CString() = default;
    CString(const char* text) : m_text(text ? text : "") {}  // NOLINT: implicit like MFC
    CString(const std::string& text) : m_text(text) {}        // NOLINT

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    operator const char*() const { return m_text.c_str(); }  // NOLINT: LPCTSTR conversion
    const std::string& str() const { return m_text; }

    // printf-style formatting; the result replaces the current text.
    void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void FormatV(const char* format, va_list args);

    // Exact byte comparison, as the multibyte compare does for these texts.
    int Compare(const char* other) const;
    // Case-insensitive for ASCII letters only; other bytes compare as they are.
    int CompareNoCase(const char* other) const;

    // A writable buffer of at least minLength characters; ReleaseBuffer fixes the length
    // (to the first NUL when newLength is -1).
    char* GetBuffer(int minLength);
    void ReleaseBuffer(int newLength = -1);

    CString& operator=(const char* text) { m_text = text ? text : ""; return *this; }
    CString& operator+=(const char* text) { m_text += text ? text : ""; return *this; }
    friend CString operator+(const CString& a, const char* b) { CString r(a); r += b; return r; }
    friend bool operator==(const CString& a, const char* b) { return a.Compare(b) == 0; }
    friend bool operator!=(const CString& a, const char* b) { return a.Compare(b) != 0; }

private:
    std::string m_text;
};
