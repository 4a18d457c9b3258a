// The skinned static's text kinds and their DrawText flags.
#include "controls/lists/static_format.h"

namespace kelmard {
namespace statics {

using namespace sys;

TextFormat FormatForStyle(std::uint32_t style) {
    std::uint32_t format = 0;
    switch (style & kSsTypeMask) {
    case kSsLeft: format = kDtWordBreak; break;
    case kSsCenter: format = kDtWordBreak | kDtCenter; break;
    case kSsRight: format = kDtWordBreak | kDtRight; break;
    case kSsSimple:
    case kSsLeftNoWordWrap: format = 0; break;
    default: return {false, 0};
    }
    if (style & kSsCenterImage) format |= kDtVCenter | kDtSingleLine;
    if (style & kSsNoPrefix) format |= kDtNoPrefix;
    switch (style & kSsEllipsisMask) {
    case kSsEndEllipsis: format |= kDtEndEllipsis; break;
    case kSsPathEllipsis: format |= kDtPathEllipsis; break;
    case kSsWordEllipsis: format |= kDtWordEllipsis; break;
    default: break;
    }
    return {true, format};
}

}  // namespace statics
}  // namespace kelmard
