// The 3D angle control's prepared image: the skin element's ball and strip
// cells of its three looks (disabled, normal, dragged) resized to the
// control's layout, in one 32-bit top-down DIB section.
#pragma once
#include <windows.h>

#include "controls/framework/skin.h"
#include "controls/value/angle3d_math.h"
#include "owners/win32_owners.h"

namespace kelmard {

// The element's numbers of the skin record.
angle3d::Element ElementOf(const SkinAngle& art);

// The image for `layout`: look k's ball at row k × ball size, its right
// strip beside it, its bottom strip at row 3 × ball size + k × strip height.
// Null when the layout has no room or the DIB section cannot be made; blank
// when the skin bitmap cannot be read or has fewer than 24 bits per pixel.
UniqueBitmap PrepareAngleImage(const SkinAngle& art, const angle3d::Layout& layout);

}  // namespace kelmard
