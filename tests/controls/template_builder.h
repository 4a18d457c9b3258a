// In-memory dialog templates (DIALOG and DIALOGEX, UTF-16 little-endian) as a
// resource compiler writes them, for the native converter tests and the tests
// under Wine. Portable.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace testing_support {

// Template style bits used by the tests (the platform's values).
constexpr std::uint32_t kDsSetFont = 0x40;
constexpr std::uint32_t kWsChildVisible = 0x50000000;

class TemplateBuilder {
public:
    // Header of a DIALOG template. Menu, class, title and font follow with the calls below.
    TemplateBuilder& Dialog(std::uint32_t style, std::uint16_t items, std::int16_t x, std::int16_t y,
                            std::int16_t cx, std::int16_t cy, std::uint32_t exStyle = 0) {
        dialogEx_ = false;
        Dword(style).Dword(exStyle).Word(items).Word(x).Word(y).Word(cx).Word(cy);
        return *this;
    }
    TemplateBuilder& DialogEx(std::uint32_t style, std::uint16_t items, std::int16_t x, std::int16_t y,
                              std::int16_t cx, std::int16_t cy, std::uint32_t exStyle = 0,
                              std::uint32_t helpId = 0) {
        dialogEx_ = true;
        Word(1).Word(0xFFFF).Dword(helpId).Dword(exStyle).Dword(style).Word(items);
        Word(x).Word(y).Word(cx).Word(cy);
        return *this;
    }
    // Font block (with DS_SETFONT in the style).
    TemplateBuilder& Font(std::uint16_t points, const char* face, std::uint16_t weight = 400,
                          std::uint8_t italic = 0, std::uint8_t charset = 1) {
        Word(points);
        if (dialogEx_) Word(weight).Byte(italic).Byte(charset);
        return String(face);
    }
    // An item header, aligned to 4 bytes first; class, title and data follow.
    TemplateBuilder& Item(std::uint32_t style, std::int16_t x, std::int16_t y, std::int16_t cx,
                          std::int16_t cy, std::uint32_t id, std::uint32_t exStyle = 0,
                          std::uint32_t helpId = 0) {
        Align4();
        if (dialogEx_)
            Dword(helpId).Dword(exStyle).Dword(style).Word(x).Word(y).Word(cx).Word(cy).Dword(id);
        else
            Dword(style).Dword(exStyle).Word(x).Word(y).Word(cx).Word(cy).Word(static_cast<std::uint16_t>(id));
        return *this;
    }
    TemplateBuilder& NoData() { return Word(0); }  // no creation data
    // Counts one more item in the header.
    TemplateBuilder& Count() {
        const std::size_t at = dialogEx_ ? 16 : 8;
        if (!++bytes_[at]) ++bytes_[at + 1];
        return *this;
    }
    // A whole visible child item named by class, without creation data, counted.
    TemplateBuilder& Add(const char* cls, const char* text, std::uint32_t id, std::uint32_t style, std::int16_t x,
                         std::int16_t y, std::int16_t cx, std::int16_t cy, std::uint32_t exStyle = 0) {
        return Count().Item(style | kWsChildVisible, x, y, cx, cy, id, exStyle).String(cls).String(text).NoData();
    }

    TemplateBuilder& Word(std::uint16_t w) {
        bytes_.push_back(static_cast<std::uint8_t>(w & 0xFF));
        bytes_.push_back(static_cast<std::uint8_t>(w >> 8));
        return *this;
    }
    TemplateBuilder& Dword(std::uint32_t d) { return Word(static_cast<std::uint16_t>(d)).Word(static_cast<std::uint16_t>(d >> 16)); }
    TemplateBuilder& Byte(std::uint8_t b) { return bytes_.push_back(b), *this; }
    TemplateBuilder& Bytes(const void* data, std::size_t n) {
        const auto* p = static_cast<const std::uint8_t*>(data);
        bytes_.insert(bytes_.end(), p, p + n);
        return *this;
    }
    // An ASCII (or Latin-1) string as UTF-16 with its terminator.
    TemplateBuilder& String(const char* s) {
        for (; *s; ++s) Word(static_cast<unsigned char>(*s));
        return Word(0);
    }
    // Any UTF-16 units, then the terminator.
    TemplateBuilder& Units(std::initializer_list<std::uint16_t> units) {
        for (std::uint16_t u : units) Word(u);
        return Word(0);
    }
    TemplateBuilder& Ordinal(std::uint16_t value) { return Word(0xFFFF).Word(value); }
    TemplateBuilder& Align4() {
        while (bytes_.size() % 4) bytes_.push_back(0);
        return *this;
    }

    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    std::size_t size() const { return bytes_.size(); }
    const std::uint8_t* data() const { return bytes_.data(); }

private:
    std::vector<std::uint8_t> bytes_;
    bool dialogEx_ = false;
};

// Predefined class atoms of dialog items.
constexpr std::uint16_t kButtonAtom = 0x80, kEditAtom = 0x81, kStaticAtom = 0x82, kListBoxAtom = 0x83,
                        kScrollBarAtom = 0x84, kComboBoxAtom = 0x85;

}  // namespace testing_support
