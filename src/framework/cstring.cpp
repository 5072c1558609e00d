#include "framework/cstring.h"

#include <cstdio>
#include <cstring>
#include <vector>

// The framework's printf-style formatting is variadic by its nature.
void CString::Format(const char* format, ...) {  // NOLINT(cert-dcl50-cpp)
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::FormatV(const char* format, va_list args) {
    va_list measure;
    va_copy(measure, args);
    // The analyser loses track of a va_list that arrives as a parameter and is copied.
    // NOLINTNEXTLINE(clang-analyzer-valist.Uninitialized)
    const int length = std::vsnprintf(nullptr, 0, format ? format : "", measure);
    va_end(measure);
    if (length < 0) {  // an encoding error leaves an empty text, never garbage
        m_text.clear();
        return;
    }
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    (void)std::vsnprintf(buffer.data(), buffer.size(), format ? format : "", args);  // measured above
    m_text.assign(buffer.data(), static_cast<size_t>(length));
}

int CString::Compare(const char* other) const {
    const int r = std::strcmp(m_text.c_str(), other ? other : "");
    return (r > 0) - (r < 0);
}

static unsigned char FoldAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

int CString::CompareNoCase(const char* other) const {
    const unsigned char* a = reinterpret_cast<const unsigned char*>(m_text.c_str());
    const unsigned char* b = reinterpret_cast<const unsigned char*>(other ? other : "");
    for (;; ++a, ++b) {
        const unsigned char fa = FoldAscii(*a), fb = FoldAscii(*b);
        if (fa != fb) return fa < fb ? -1 : 1;
        if (fa == 0) return 0;
    }
}

char* CString::GetBuffer(int minLength) {
    if (minLength > GetLength()) m_text.resize(static_cast<size_t>(minLength));
    return &m_text[0];
}

void CString::ReleaseBuffer(int newLength) {
    if (newLength < 0) newLength = static_cast<int>(std::strlen(m_text.c_str()));
    if (newLength <= GetLength()) m_text.resize(static_cast<size_t>(newLength));
}
