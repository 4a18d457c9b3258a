// The one shared skin of the controls: colours, brushes, the records that cut
// frames, faces and thumbs out of the skin bitmap, cursors and the dialog icon.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "controls/framework/skin_layout.h"

namespace kelmard {

// The state word given to the drawing primitives: bits 0-1 the look
// (3 draws as normal in text and icons), bits 2-3 the variant (0, 1, 2; for
// buttons the check state, for caption buttons the CaptionButton).
using ControlState = std::uint32_t;
enum Look : unsigned { kDisabledLook = 0, kNormalLook = 1, kPressedLook = 2 };
constexpr ControlState LookOf(ControlState state) { return state & 3u; }
constexpr ControlState VariantOf(ControlState state) { return (state >> 2) & 3u; }
constexpr ControlState MakeState(unsigned look, unsigned variant) { return (look & 3u) | ((variant & 3u) << 2); }

// Four 32-bit fields in the 32-bit build; the bitmap is pointer-wide in the 64-bit build.
struct SkinFrame {
    HBITMAP bitmap;
    std::int32_t x, y, edge;
};

struct SkinSprite {
    HBITMAP bitmap;
    std::int32_t x, y, columnStep, rowStep, faceWidth, faceHeight, edge;
};

struct SkinThumb {
    HBITMAP bitmap;
    std::int32_t x, y, thickness, length, endCap, middle, endMargin;
};

// The 3D angle element: the bitmap and nine numbers (element width and
// height, ball cell, ring half-width, ring mid-diameter, tick band start and
// end, strip track start and end).
struct SkinAngle {
    HBITMAP bitmap;
    std::int32_t elementWidth, elementHeight, ballCell, ringHalfWidth, ringDiameter, tickStart, tickEnd,
        trackStart, trackEnd;
};

// Bits of the skin's style flags (how the dialog caption is drawn).
enum SkinStyle : std::uint32_t {
    kFilledCaption = 1,  // caption filled and framed, smaller caption buttons
    kGripLines = 2,      // grip lines after the title
    kEmbossedTitle = 4,  // the title embossed
};

struct WKSkin {
    std::uint32_t styleFlags;  // SkinStyle bits
    COLORREF colors[skin::kColorCount];
    HBRUSH brushes[skin::kBrushCount];
    SkinFrame frames[skin::kFrameCount];
    SkinSprite sprites[skin::kSpriteCount];
    SkinAngle angle;
    SkinThumb thumbs[skin::kThumbCount];
    HCURSOR cursors[skin::kCursorCount];  // SkinCursor order: resources 802, 803, 804, 805
    HICON dialogIcon;    // resource 800
};

#if !defined(_WIN64)
static_assert(sizeof(SkinFrame) == 16, "frame record: four 32-bit fields");
static_assert(sizeof(SkinSprite) == 32, "sprite record: eight 32-bit fields");
static_assert(sizeof(SkinThumb) == 32, "thumb record: eight 32-bit fields");
static_assert(sizeof(SkinAngle) == 40, "angle record: bitmap and nine numbers");
static_assert(offsetof(WKSkin, colors) == 4 && offsetof(WKSkin, brushes) == 104 &&
                  offsetof(WKSkin, frames) == 172 && offsetof(WKSkin, sprites) == 268 &&
                  offsetof(WKSkin, angle) == 492 && offsetof(WKSkin, thumbs) == 532 &&
                  offsetof(WKSkin, cursors) == 724 && offsetof(WKSkin, dialogIcon) == 740 &&
                  sizeof(WKSkin) == 744,
              "the skin's field order and sizes");
#endif

// Fills `skin` from the resources of `module`. Handles that fail to load stay null.
void LoadSkin(WKSkin& skin, HINSTANCE module);
// Frees what LoadSkin made (the bitmap once, the brushes, the dialog icon;
// cursors are shared and not destroyed) and leaves null handles.
void FreeSkin(WKSkin& skin);

// The library's shared skin (filled at attach, read-only afterwards).
WKSkin& SharedSkin();
void LoadSkin(HINSTANCE module);
void FreeSkin(HINSTANCE module);

// Colour `index` of the shared skin, colour 0 for an index outside the colours.
COLORREF SkinColorAt(int index);
// The skin colour standing for system colour `index`, or GetSysColor(index)
// for the indices the skin does not replace.
COLORREF SkinSysColor(int index);

}  // namespace kelmard
