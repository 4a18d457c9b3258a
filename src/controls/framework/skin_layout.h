// The skin's layout: resource ids, the palette and where every frame, sprite,
// thumb strip and the 3D angle element lie in the skin bitmap. Portable: the
// library reads it to cut pieces out of the bitmap, the skin art generator
// (tools/skingen) reads it to paint them there.
#pragma once
#include <cstdint>

namespace kelmard {
namespace skin {

// Resources of the library.
constexpr int kDialogIconId = 800;
constexpr int kBitmapId = 801;
constexpr int kMagnifierCursorId = 802;  // bitmap view, zoom mode
constexpr int kHandCursorId = 803;       // bitmap view, pan mode
constexpr int kTurnAcrossCursorId = 804; // 3D angle, bottom strip (turn about the vertical axis)
constexpr int kTiltCursorId = 805;       // 3D angle, right strip (tilt about the horizontal axis)

constexpr int kBitmapWidth = 252;
constexpr int kBitmapHeight = 330;

// Colours as COLORREF values (0x00BBGGRR).
constexpr int kColorCount = 25;
constexpr std::uint32_t kColors[kColorCount] = {
    0xD4EAE6,  // 0  background of edit and list fields
    0x809692,  // 1  face
    0x8EA29E,  // 2  light edge
    0xC4CECE,  // 3  highlight edge
    0x5C706E,  // 4  shadow edge
    0x040000,  // 5  dark shadow edge
    0x3E5854,  // 6  grey text
    0xFFFFFF,  // 7  text of the pressed look
    0x000000,  // 8  text, variant 0
    0x000000,  // 9  text, variant 1
    0x000000,  // 10 text, variant 2
    0xD4EAE6,  // 11 highlight text
    0x604E36,  // 12 face, alternate palette
    0x867A68,  // 13 light edge, alternate
    0xB4A89E,  // 14 highlight edge, alternate
    0x6A5442,  // 15 shadow edge, alternate
    0x2C2418,  // 16 dark shadow edge, alternate
    0x809692,  // 17 title of an inactive dialog caption
    0xFFFFFF,  // 18 text of the pressed look, alternate
    0xD4EAE6,  // 19 text, variant 0, alternate; title of an active caption
    0xD3FFFF,  // 20 text, variant 1, alternate
    0x604E36,  // 21 text, variant 2, alternate; selection
    0x566E6C,  // 22 caption
    0xDCFFFF,  // 23 tooltip background
    0x000000,  // 24 tooltip text
};

// The colour each brush is made from, in brush order.
constexpr int kBrushCount = 17;
constexpr int kBrushColors[kBrushCount] = {0, 1, 2, 3, 4, 5, 7, 8, 9, 10, 12, 13, 14, 15, 16, 21, 22};

// Colours and brushes of the alternate palette lie this far on.
constexpr int kAlternateColorOffset = 11;
constexpr int kAlternateBrushOffset = 9;

// A frame: a block 4e wide and 2e high at (x, y). Top row: top-left corner,
// top-right corner, top-edge tile, left-edge tile; bottom row: bottom-left
// corner, bottom-right corner, bottom-edge tile, right-edge tile; each e x e.
struct FramePlace {
    int x, y, edge;
};
enum FrameIndex { kGroupBoxFrame, kClientEdgeFrame, kThickFrame, kInsetPanelFrame, kCaptionFrame, kCaptionInnerFrame };
constexpr int kFrameCount = 6;
constexpr FramePlace kFrames[kFrameCount] = {
    {120, 260, 3},  // F0 group box
    {120, 280, 2},  // F1 client edge of controls and frame windows
    {120, 200, 7},  // F2 thick window frame
    {120, 240, 7},  // F3 dialog inset panel
    {120, 220, 7},  // F4 dialog caption frame
    {120, 270, 2},  // F5 dialog caption, thin inner frame
};

// A sprite: a sheet of cells; the cell of look k and variant v lies at
// (x + columnStep * v, y + rowStep * k). A cell holds the frame pieces of its
// edge (4 * edge columns, frame layout) and the face right after them.
struct SpritePlace {
    int x, y, columnStep, rowStep, faceWidth, faceHeight, edge;
    int variants;  // columns the art provides
};
enum SpriteIndex { kCheckSprite, kRadioSprite, kArrowButtonSprite, kPushSprite, kDefaultPushSprite, kCaptionButtonSprite, kHelpButtonSprite };
constexpr int kSpriteCount = 7;
constexpr int kLooks = 3;  // disabled, normal, pressed
constexpr SpritePlace kSprites[kSpriteCount] = {
    {120, 100, 15, 15, 15, 15, 0, 3},  // S0 check box: off, on, indeterminate
    {120, 150, 16, 16, 16, 16, 0, 3},  // S1 radio button: off, on
    {120, 50, 44, 16, 32, 16, 3, 3},   // S2 scroll-bar, spin and combo buttons
    {120, 50, 44, 16, 32, 16, 3, 3},   // S3 push button (off, on, indeterminate)
    {120, 0, 44, 16, 32, 16, 3, 3},    // S4 default push button
    {190, 100, 15, 15, 15, 15, 0, 4},  // S5 caption buttons: close, minimise, maximise, restore
    {170, 100, 15, 15, 15, 15, 0, 1},  // S6 context-help button
};

// A thumb strip: three thumb cells (disabled, normal, pressed), the first
// and second end caps of the channel and its stretchable middle piece, along
// the channel; the range strips have a second row (end thumbs, bar piece).
struct ThumbPlace {
    int x, y, thickness, length, endCap, middle, endMargin;
    bool vertical;
    bool twoRows;
};
constexpr int kThumbCount = 6;
constexpr ThumbPlace kThumbs[kThumbCount] = {
    {170, 150, 16, 22, 5, 1, 3, false, false},  // T0 horizontal slider, small
    {170, 170, 20, 22, 5, 1, 3, false, false},  // T1 horizontal slider, large
    {220, 270, 16, 10, 7, 1, 6, true, false},   // T2 vertical slider, small
    {220, 200, 26, 16, 7, 1, 6, true, false},   // T3 vertical slider, large
    {170, 250, 18, 10, 5, 1, 3, false, true},   // T4 range, small
    {170, 200, 24, 12, 5, 1, 3, false, true},   // T5 range, large
};

// The 3D angle element at the bitmap's top-left: element width and height,
// ball cell, ring half-width, ring mid-diameter, tick band start and end,
// strip track start and end.
constexpr int kAngleNumbers[9] = {110, 330, 90, 11, 75, 93, 101, 11, 74};

}  // namespace skin
}  // namespace kelmard
