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

// The skin's colours, by role.
enum SkinColor : int {
    kFieldColor,                   // 0  background of edit and list fields
    kFaceColor,                    // 1  face
    kLightColor,                   // 2  light edge
    kHighlightColor,               // 3  highlight edge
    kShadowColor,                  // 4  shadow edge
    kDarkShadowColor,              // 5  dark shadow edge
    kGreyTextColor,                // 6  grey text
    kPressedTextColor,             // 7  text of the pressed look
    kTextColor,                    // 8  text, variant 0 (variants 1 and 2 follow)
    kTextVariant1Color,            // 9
    kTextVariant2Color,            // 10
    kHighlightTextColor,           // 11 highlight text
    kAlternateFaceColor,           // 12 the alternate palette: face ...
    kAlternateLightColor,          // 13
    kAlternateHighlightColor,      // 14
    kAlternateShadowColor,         // 15
    kAlternateDarkShadowColor,     // 16 ... dark shadow edge
    kInactiveTitleColor,           // 17 title of an inactive dialog caption
    kAlternatePressedTextColor,    // 18 text of the pressed look, alternate
    kAlternateTextColor,           // 19 text, variant 0, alternate; title of an active caption
    kAlternateTextVariant1Color,   // 20
    kAlternateTextVariant2Color,   // 21 text, variant 2, alternate; selection
    kCaptionColor,                 // 22 caption
    kTooltipColor,                 // 23 tooltip background
    kTooltipTextColor,             // 24 tooltip text
    kColorCount
};

// Colours as COLORREF values (0x00BBGGRR), in SkinColor order.
constexpr std::uint32_t kColors[kColorCount] = {
    0xD4EAE6, 0x809692, 0x8EA29E, 0xC4CECE, 0x5C706E, 0x040000, 0x3E5854, 0xFFFFFF, 0x000000,
    0x000000, 0x000000, 0xD4EAE6, 0x604E36, 0x867A68, 0xB4A89E, 0x6A5442, 0x2C2418, 0x809692,
    0xFFFFFF, 0xD4EAE6, 0xD3FFFF, 0x604E36, 0x566E6C, 0xDCFFFF, 0x000000,
};

// The skin's brushes, each made from one colour.
enum SkinBrush : int {
    kFieldBrush,                // kFieldColor
    kFaceBrush,                 // kFaceColor
    kLightBrush,                // kLightColor
    kHighlightBrush,            // kHighlightColor
    kShadowBrush,               // kShadowColor
    kDarkShadowBrush,           // kDarkShadowColor
    kPressedTextBrush,          // kPressedTextColor
    kTextBrush,                 // kTextColor
    kTextVariant1Brush,         // kTextVariant1Color
    kTextVariant2Brush,         // kTextVariant2Color
    kAlternateFaceBrush,        // kAlternateFaceColor
    kAlternateLightBrush,       // kAlternateLightColor
    kAlternateHighlightBrush,   // kAlternateHighlightColor
    kAlternateShadowBrush,      // kAlternateShadowColor
    kAlternateDarkShadowBrush,  // kAlternateDarkShadowColor
    kSelectionBrush,            // kAlternateTextVariant2Color
    kCaptionBrush,              // kCaptionColor
    kBrushCount
};

// The colour each brush is made from, in SkinBrush order.
constexpr SkinColor kBrushColors[kBrushCount] = {
    kFieldColor,          kFaceColor,           kLightColor,         kHighlightColor,
    kShadowColor,         kDarkShadowColor,     kPressedTextColor,   kTextColor,
    kTextVariant1Color,   kTextVariant2Color,   kAlternateFaceColor, kAlternateLightColor,
    kAlternateHighlightColor, kAlternateShadowColor, kAlternateDarkShadowColor, kAlternateTextVariant2Color,
    kCaptionColor,
};

// Colours and brushes of the alternate palette lie this far on.
constexpr int kAlternateColorOffset = kAlternateFaceColor - kFaceColor;
constexpr int kAlternateBrushOffset = kAlternateFaceBrush - kFaceBrush;
static_assert(kAlternateColorOffset == 11 && kAlternateBrushOffset == 9, "the alternate palette's place");

// The skin's cursors, in the order of their resources.
enum SkinCursor : int { kMagnifierCursor, kHandCursor, kTurnAcrossCursor, kTiltCursor, kCursorCount };
constexpr int kCursorIds[kCursorCount] = {kMagnifierCursorId, kHandCursorId, kTurnAcrossCursorId, kTiltCursorId};

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
// The range's strips among the thumb records.
enum RangeThumbIndex : int { kRangeSmallThumb = 4, kRangeLargeThumb = 5 };

// The 3D angle element at the bitmap's top-left: element width and height,
// ball cell, ring half-width, ring mid-diameter, tick band start and end,
// strip track start and end.
constexpr int kAngleNumbers[9] = {110, 330, 90, 11, 75, 93, 101, 11, 74};

// Every piece lies inside the bitmap and apart from the others (the arrow
// buttons share the push button's cells); the thumb strips' middle pieces are
// one pixel long, so they stretch without seams.
struct Area {
    int x, y, w, h;
};
constexpr bool Apart(const Area& a, const Area& b) {
    return a.x + a.w <= b.x || b.x + b.w <= a.x || a.y + a.h <= b.y || b.y + b.h <= a.y;
}
constexpr bool PiecesFitApart() {
    Area all[1 + kFrameCount + kSpriteCount + kThumbCount] = {};
    int n = 0;
    all[n++] = {0, 0, kAngleNumbers[0], kAngleNumbers[1]};
    for (const FramePlace& f : kFrames) all[n++] = {f.x, f.y, 4 * f.edge, 2 * f.edge};
    for (int i = 0; i < kSpriteCount; ++i) {
        const SpritePlace& s = kSprites[i];
        if (i != kArrowButtonSprite)
            all[n++] = {s.x, s.y, s.columnStep * (s.variants - 1) + 4 * s.edge + s.faceWidth,
                        s.rowStep * (kLooks - 1) + s.faceHeight};
    }
    for (const ThumbPlace& t : kThumbs) {
        if (t.middle != 1) return false;
        const int along = 3 * t.length + 2 * t.endCap + t.middle, across = t.thickness * (t.twoRows ? 2 : 1);
        all[n++] = {t.x, t.y, t.vertical ? across : along, t.vertical ? along : across};
    }
    for (int i = 0; i < n; ++i) {
        const Area& a = all[i];
        if (a.x < 0 || a.y < 0 || a.x + a.w > kBitmapWidth || a.y + a.h > kBitmapHeight) return false;
        for (int j = i + 1; j < n; ++j)
            if (!Apart(a, all[j])) return false;
    }
    return true;
}
static_assert(PiecesFitApart(), "the skin's pieces lie inside the bitmap, apart, with one-pixel middles");

}  // namespace skin
}  // namespace kelmard
