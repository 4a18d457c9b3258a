// The skinned static's text kinds and their DrawText flags.
#include "controls/lists/static_format.h"

namespace kelmard {
namespace statics {

TextFormat FormatForStyle(std::uint32_t style) {
    std::uint32_t format = 0;
    switch (style & kTypeMask) {
    case kLeft: format = kDtWordBreak; break;
    case kCenter: format = kDtWordBreak | kDtCenter; break;
    case kRight: format = kDtWordBreak | kDtRight; break;
    case kSimple:
    case kLeftNoWordWrap: format = 0; break;
    default: return {false, 0};
    }
    if (style & kCenterImage) format |= kDtVCenter | kDtSingleLine;
    if (style & kNoPrefix) format |= kDtNoPrefix;
    switch (style & kEllipsisMask) {
    case kEndEllipsis: format |= kDtEndEllipsis; break;
    case kPathEllipsis: format |= kDtPathEllipsis; break;
    case kWordEllipsis: format |= kDtWordEllipsis; break;
    default: break;
    }
    return {true, format};
}

}  // namespace statics
}  // namespace kelmard
