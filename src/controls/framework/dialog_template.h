// Dialog template conversion: a copy of an ordinary DIALOG or DIALOGEX
// template (UTF-16, as the system dialog manager reads it) in which the
// standard control classes name the library's skinned classes and a dialog
// without a class of its own becomes a "WKDialog". Portable: no platform call.
//
// Every read is bounded: the converter never reads past the `size` bytes it is
// given. Callers that do not know a template's size (the Indirect entry points)
// pass kUnboundedTemplate.
#pragma once
#include <cstddef>
#include <cstdint>

namespace kelmard {

constexpr std::size_t kUnboundedTemplate = static_cast<std::size_t>(-1);

// A template being read: its first byte, how many bytes may be read, and the
// offset reached.
struct TemplateSource {
    const std::uint8_t* base;
    std::size_t size;
    std::size_t position;
};

// Whether a library class may stand in for a system class. A library class
// that is not registered (its control is not part of this build) must not
// replace the system one, or the dialog manager could not create the item;
// the item then keeps its system class. Null: every replacement is taken.
using ClassAvailable = bool (*)(const char* libraryClass);

// Converts the template at `source` (at most `size` bytes) into `destination`
// (4-byte aligned, at least the measured size), or only measures it when
// `destination` is null. Answers the converted size in bytes, the same when
// measuring and converting; 0 when the template runs past `size` (what was
// already written to the destination is then of no use).
std::size_t ConvertDialogTemplate(const void* source, std::size_t size, void* destination,
                                  ClassAvailable available = nullptr);

// Converts one item whose header starts at `source.position` (already on its
// 4-byte boundary) to `destination + destinationOffset` (null: measure).
// Answers the item's converted size rounded up to a multiple of 4 (0 when the
// item runs past the source's bound); advances `source.position` past the item
// and `destinationOffset` by the answer.
std::size_t ConvertDialogItem(bool dialogEx, TemplateSource& source, std::uint8_t* destination,
                              std::size_t& destinationOffset, ClassAvailable available = nullptr);

// The replacement class of an item, or null to keep the item's class: for a
// predefined class atom (0x0080 Button ... 0x0085 ComboBox; owner-draw
// buttons stay system buttons) ...
const char* ReplacementForAtom(std::uint16_t atom, std::uint32_t style);
// ... and for a class name given as `units` little-endian UTF-16 code units
// (without the terminator), compared without regard to case.
const char* ReplacementForName(const std::uint8_t* name, std::size_t units);

}  // namespace kelmard
