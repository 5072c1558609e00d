#include "framework/dialog_template.h"

namespace {

// A bounds-checked little-endian reader over the template bytes.
class TemplateReader {
public:
    TemplateReader(const void* data, size_t size) : m_bytes(static_cast<const uint8_t*>(data)), m_size(data ? size : 0) {}

    bool ok() const { return m_ok; }
    uint16_t Word() {
        if (!Need(2)) return 0;
        const uint16_t v = static_cast<uint16_t>(m_bytes[m_pos] | (m_bytes[m_pos + 1] << 8));
        m_pos += 2;
        return v;
    }
    uint32_t Dword() {
        const uint32_t lo = Word();
        return lo | (static_cast<uint32_t>(Word()) << 16);
    }
    int16_t Short() { return static_cast<int16_t>(Word()); }
    // A NUL-terminated UTF-16 string.
    std::u16string String() {
        std::u16string s;
        for (uint16_t c = Word(); m_ok && c != 0; c = Word()) s.push_back(static_cast<char16_t>(c));
        return s;
    }
    // A string, an ordinal (0xFFFF then a word) or nothing (a single 0); returns the ordinal
    // (0 for a string or nothing) and stores a string in text.
    uint16_t StringOrOrdinal(std::u16string* text = nullptr) {
        const uint16_t first = Word();
        if (first == 0xFFFF) return Word();
        std::u16string s;
        for (uint16_t c = first; m_ok && c != 0; c = Word()) s.push_back(static_cast<char16_t>(c));
        if (text) *text = s;
        return 0;
    }
    void AlignDword() {
        m_pos = (m_pos + 3) & ~size_t{3};
        if (m_pos > m_size) m_ok = false;
    }
    void Skip(size_t n) {
        if (Need(n)) m_pos += n;
    }

private:
    bool Need(size_t n) {
        if (!m_ok || m_size - m_pos < n) m_ok = false;
        return m_ok;
    }
    const uint8_t* m_bytes;
    size_t m_size;
    size_t m_pos = 0;
    bool m_ok = true;
};

constexpr uint32_t kDsSetFont = 0x40;
constexpr uint32_t kDsShellFont = 0x48;

DialogRect ReadRect(TemplateReader& r) {
    DialogRect rect;
    rect.x = r.Short();
    rect.y = r.Short();
    rect.cx = r.Short();
    rect.cy = r.Short();
    return rect;
}

DialogItemInfo ReadItem(TemplateReader& r, bool extended) {
    DialogItemInfo item;
    r.AlignDword();
    if (extended) {
        r.Dword();  // help id
        item.exStyle = r.Dword();
        item.style = r.Dword();
    } else {
        item.style = r.Dword();
        item.exStyle = r.Dword();
    }
    item.rect = ReadRect(r);
    item.id = extended ? r.Dword() : static_cast<uint32_t>(static_cast<int32_t>(r.Short()));
    item.classOrdinal = r.StringOrOrdinal(&item.className);
    r.StringOrOrdinal();  // title
    r.Skip(r.Word());     // creation data
    return item;
}

}  // namespace

std::optional<DialogTemplateInfo> ParseDialogTemplate(const void* data, size_t size) {
    TemplateReader r(data, size);
    DialogTemplateInfo t;
    const uint16_t version = r.Word();
    const uint16_t signature = r.Word();
    t.extended = version == 1 && signature == 0xFFFF;
    uint16_t count = 0;
    if (t.extended) {
        r.Dword();  // help id
        t.exStyle = r.Dword();
        t.style = r.Dword();
    } else {
        t.style = version | (static_cast<uint32_t>(signature) << 16);
        t.exStyle = r.Dword();
    }
    count = r.Word();
    t.rect = ReadRect(r);
    r.StringOrOrdinal();  // menu
    r.StringOrOrdinal();  // class
    r.String();               // title
    t.hasFont = (t.style & kDsSetFont) != 0 || (t.style & kDsShellFont) == kDsShellFont;
    if (t.hasFont) {
        t.pointSize = r.Word();
        if (t.extended) {
            r.Word();  // weight
            r.Word();  // italic, charset
        }
        t.fontFace = r.String();
    }
    for (uint16_t i = 0; i < count && r.ok(); ++i) t.items.push_back(ReadItem(r, t.extended));
    if (!r.ok()) return std::nullopt;
    return t;
}

std::optional<DialogBaseUnits> KnownFontBaseUnits(const std::u16string& face, uint16_t pointSize) {
    // The Traditional Chinese UI font at 9 pt: 6 x 12 at 96 dpi.
    if (face == u"\u65B0\u7D30\u660E\u9AD4" && pointSize == 9) return DialogBaseUnits{6, 12};
    // "System" at 10 pt asks for a 13-pixel character height, which is exactly the system raster
    // font (cell 16, internal leading 3); the dialog manager then takes the same 8 x 16 that
    // GetDialogBaseUnits gives for the system font. Machines without that font substitute one
    // (Wine: a scalable face at 8 x 15), which would move the hint popup's close button.
    if (face == u"System" && pointSize == 10) return DialogBaseUnits{8, 16};
    return std::nullopt;
}

DialogRect DialogUnitsToPixels(const DialogRect& dlu, DialogBaseUnits units) {
    return DialogRect{MulDivRound(dlu.x, units.x, 4), MulDivRound(dlu.y, units.y, 8), MulDivRound(dlu.cx, units.x, 4),
                      MulDivRound(dlu.cy, units.y, 8)};
}

DialogRect ScaleToDpi(const DialogRect& rect, unsigned dpi) {
    const int left = ScaleToDpi(rect.x, dpi), top = ScaleToDpi(rect.y, dpi);
    return DialogRect{left, top, ScaleToDpi(rect.x + rect.cx, dpi) - left, ScaleToDpi(rect.y + rect.cy, dpi) - top};
}
