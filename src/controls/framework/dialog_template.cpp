// Dialog template conversion (see dialog_template.h). The template formats:
//
//   DIALOG    header 18 bytes: style at 0, item count (16 bits) at 8
//   DIALOGEX  header 26 bytes: 1, 0xFFFF, ..., style at 12, item count at 16
//   then      menu, class (0x0000: none; 0xFFFF and an ordinal; or a string),
//             title (a string), and with DS_SETFONT the font block: point
//             size (DIALOGEX: and weight, italic, character set), typeface
//   items     each on a 4-byte boundary: header (DIALOG 18 bytes, style at 0;
//             DIALOGEX 24 bytes, style at 8), class (0xFFFF and a predefined
//             atom, or a name), title (0xFFFF and an ordinal, or a string),
//             a creation-data word and that many bytes of creation data
//
// All multi-byte fields are little-endian and read byte by byte: a template
// may lie at any address.
#include "controls/framework/dialog_template.h"

#include <cstring>

#include "controls/framework/system_constants.h"

namespace kelmard {
namespace {

constexpr std::uint16_t kOrdinalMark = 0xFFFF;

// The predefined class atoms of dialog items.
constexpr std::uint16_t kButtonAtom = 0x0080, kEditAtom = 0x0081, kStaticAtom = 0x0082, kListBoxAtom = 0x0083,
                        kScrollBarAtom = 0x0084, kComboBoxAtom = 0x0085;

constexpr std::size_t kHeaderSize = 18, kHeaderSizeEx = 26;
constexpr std::size_t kItemHeaderSize = 18, kItemHeaderSizeEx = 24;

constexpr char kDialogClass[] = "WKDialog";

std::uint16_t ReadWord(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

std::uint32_t ReadDword(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(ReadWord(p)) | (static_cast<std::uint32_t>(ReadWord(p + 2)) << 16);
}

std::size_t RoundUp4(std::size_t n) { return (n + 3) & ~static_cast<std::size_t>(3); }

// True when `count` bytes from the current position lie inside the bound.
bool Has(const TemplateSource& s, std::size_t count) {
    return s.position <= s.size && s.size - s.position >= count;
}

const std::uint8_t* At(const TemplateSource& s, std::size_t offset = 0) { return s.base + s.position + offset; }

// Bytes of a NUL-terminated UTF-16 string at the position, terminator
// included; 0 when the terminator does not lie inside the bound.
std::size_t StringBytes(const TemplateSource& s) {
    for (std::size_t n = 0; Has(s, n + 2); n += 2)
        if (ReadWord(At(s, n)) == 0) return n + 2;
    return 0;
}

// Bytes of a field that is either 0xFFFF and an ordinal (4) or a string
// (0x0000 alone being the empty string); 0 when it runs past the bound.
std::size_t NameOrOrdinalBytes(const TemplateSource& s) {
    if (!Has(s, 2)) return 0;
    if (ReadWord(At(s)) == kOrdinalMark) return Has(s, 4) ? 4 : 0;
    return StringBytes(s);
}

// Writes into the destination (or only counts when it is null).
class Writer {
public:
    Writer(std::uint8_t* destination, std::size_t& offset) : out_(destination), offset_(offset) {}

    void Copy(const std::uint8_t* bytes, std::size_t count) {
        if (out_ && count) std::memcpy(out_ + offset_, bytes, count);
        offset_ += count;
    }
    // An ASCII class name as UTF-16 with its terminator (every library class
    // name is ASCII, so each character widens to one code unit).
    void Name(const char* ascii) {
        const std::size_t length = std::strlen(ascii) + 1;
        if (out_)
            for (std::size_t i = 0; i < length; ++i) {
                out_[offset_ + 2 * i] = static_cast<std::uint8_t>(ascii[i]);
                out_[offset_ + 2 * i + 1] = 0;
            }
        offset_ += 2 * length;
    }
    // Zero bytes up to the next multiple of 4 of the offset.
    void Pad() {
        const std::size_t padded = RoundUp4(offset_);
        if (out_) std::memset(out_ + offset_, 0, padded - offset_);
        offset_ = padded;
    }
    std::size_t offset() const { return offset_; }

private:
    std::uint8_t* out_;
    std::size_t& offset_;
};

// Copies `count` bytes from the source to the writer and moves past them;
// false (copying nothing) when they run past the bound.
bool CopyField(TemplateSource& source, Writer& writer, std::size_t count) {
    if (count == 0 || !Has(source, count)) return false;
    writer.Copy(At(source), count);
    source.position += count;
    return true;
}

// Moves the source to the next 4-byte boundary of its address.
void AlignSource(TemplateSource& source) {
    const auto address = reinterpret_cast<std::uintptr_t>(source.base) + source.position;
    source.position += static_cast<std::size_t>((4 - (address & 3)) & 3);
}

struct ClassRename {
    const char* from;
    const char* to;
};

constexpr ClassRename kNamedClasses[] = {
    {"msctls_trackbar32", "WKSlider"},
    {"SysTabControl32", "WKTab"},
    {"msctls_updown32", "WKSpin"},
    {"SysTreeView32", "WKTreeView"},
};

char FoldCase(std::uint16_t unit) {
    if (unit >= 'A' && unit <= 'Z') return static_cast<char>(unit - 'A' + 'a');
    return static_cast<char>(unit);
}

}  // namespace

const char* ReplacementForAtom(std::uint16_t atom, std::uint32_t style) {
    switch (atom) {
    case kButtonAtom: return (style & sys::kBsTypeMask) == sys::kBsOwnerDraw ? nullptr : "WKButton";
    case kEditAtom: return "WKEdit";
    case kStaticAtom: return "WKStatic";
    case kListBoxAtom: return "WKListBox";
    case kScrollBarAtom: return "WKScrollBar";
    case kComboBoxAtom: return "WKComboBox";
    default: return nullptr;
    }
}

const char* ReplacementForName(const std::uint8_t* name, std::size_t units) {
    for (const ClassRename& rename : kNamedClasses) {
        if (std::strlen(rename.from) != units) continue;
        std::size_t i = 0;
        for (; i < units; ++i) {
            const std::uint16_t unit = ReadWord(name + 2 * i);
            // Only ASCII can match an ASCII name, whatever the case.
            if (unit > 0x7F || FoldCase(unit) != FoldCase(static_cast<unsigned char>(rename.from[i]))) break;
        }
        if (i == units) return rename.to;
    }
    return nullptr;
}

std::size_t ConvertDialogItem(bool dialogEx, TemplateSource& source, std::uint8_t* destination,
                              std::size_t& destinationOffset, ClassAvailable available) {
    const std::size_t start = destinationOffset;
    Writer writer(destination, destinationOffset);

    // 1. The header, unchanged; the style from it.
    const std::size_t headerSize = dialogEx ? kItemHeaderSizeEx : kItemHeaderSize;
    if (!Has(source, headerSize)) return 0;
    const std::uint32_t style = ReadDword(At(source, dialogEx ? 8 : 0));
    CopyField(source, writer, headerSize);

    // 2. The class: a predefined atom or a name, replaced or copied.
    const std::size_t classBytes = NameOrOrdinalBytes(source);
    if (classBytes == 0) return 0;
    const char* replacement = nullptr;
    if (ReadWord(At(source)) == kOrdinalMark)
        replacement = ReplacementForAtom(ReadWord(At(source, 2)), style);
    else
        replacement = ReplacementForName(At(source), classBytes / 2 - 1);
    if (replacement && available && !available(replacement)) replacement = nullptr;
    if (replacement) {
        writer.Name(replacement);
        source.position += classBytes;
    } else {
        CopyField(source, writer, classBytes);
    }

    // 3. The title and the creation data, unchanged. The creation-data word
    // counts the bytes that follow it, in both formats: the dialog manager
    // skips the word and then that many bytes.
    if (!CopyField(source, writer, NameOrOrdinalBytes(source))) return 0;
    if (!Has(source, 2)) return 0;
    const std::size_t dataBytes = 2 + static_cast<std::size_t>(ReadWord(At(source)));
    if (!CopyField(source, writer, dataBytes)) return 0;

    // 4. Rounded up to a multiple of 4.
    writer.Pad();
    return destinationOffset - start;
}

std::size_t ConvertDialogTemplate(const void* sourceTemplate, std::size_t size, void* destinationTemplate,
                                  ClassAvailable available) {
    if (!sourceTemplate) return 0;
    TemplateSource source{static_cast<const std::uint8_t*>(sourceTemplate), size, 0};
    auto* destination = static_cast<std::uint8_t*>(destinationTemplate);
    std::size_t offset = 0;
    Writer writer(destination, offset);

    // 1. The format, the style and the item count (an unsigned 16-bit word).
    if (!Has(source, 4)) return 0;
    const bool dialogEx = ReadWord(At(source, 2)) == kOrdinalMark;
    const std::size_t headerSize = dialogEx ? kHeaderSizeEx : kHeaderSize;
    if (!Has(source, headerSize)) return 0;
    const std::uint32_t style = ReadDword(At(source, dialogEx ? 12 : 0));
    const unsigned itemCount = ReadWord(At(source, dialogEx ? 16 : 8));

    // 2. Header and menu, unchanged.
    if (!CopyField(source, writer, headerSize)) return 0;
    if (!CopyField(source, writer, NameOrOrdinalBytes(source))) return 0;

    // 3. The dialog class: none becomes "WKDialog"; a named class stays.
    if (!Has(source, 2)) return 0;
    if (ReadWord(At(source)) == 0) {
        writer.Name(kDialogClass);
        source.position += 2;
    } else if (!CopyField(source, writer, NameOrOrdinalBytes(source))) {
        return 0;
    }

    // 4. Title and font block, unchanged.
    if (!CopyField(source, writer, StringBytes(source))) return 0;
    if (style & sys::kDsSetFont) {
        if (!CopyField(source, writer, dialogEx ? 6 : 2)) return 0;
        if (!CopyField(source, writer, StringBytes(source))) return 0;
    }

    // 5. The items, each on a 4-byte boundary in both copies.
    for (unsigned i = 0; i < itemCount; ++i) {
        writer.Pad();
        AlignSource(source);
        if (ConvertDialogItem(dialogEx, source, destination, offset, available) == 0) return 0;
    }
    // 6. With no items the size is the header part's, not rounded.
    return offset;
}

}  // namespace kelmard
