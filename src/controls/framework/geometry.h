// The rectangle and size of the controls' portable rules (laid out as the
// platform's RECT and SIZE; the window code converts with ToRECT/FromRECT of
// draw.h).
#pragma once

namespace kelmard {

struct Rect {
    int left, top, right, bottom;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

struct Extent {
    int cx, cy;
};

}  // namespace kelmard
