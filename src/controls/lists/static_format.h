// Which statics the skinned static paints itself, and the DrawText flags of
// their text, from the window style. Portable: built in every build.
#pragma once
#include <cstdint>

#include "controls/framework/system_constants.h"

namespace kelmard {
namespace statics {

struct TextFormat {
    bool selfDrawn;        // a text static the skinned class paints
    std::uint32_t format;  // its DrawText flags (0 when not self-drawn)
};

TextFormat FormatForStyle(std::uint32_t style);

}  // namespace statics
}  // namespace kelmard
