// Drawing primitives of the skinned controls. None changes what is selected
// into the DC beyond the call; stretch mode, text colour and background mode
// are put back too.
#pragma once
#include <windows.h>

#include "controls/framework/geometry.h"
#include "controls/framework/resample.h"
#include "controls/framework/skin.h"

namespace kelmard {

// The portable rectangle and the system's (laid out alike).
inline RECT ToRECT(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }
inline Rect FromRECT(const RECT& r) {
    return {static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right), static_cast<int>(r.bottom)};
}

// Bits of the sides mask of DrawSkinFrame.
constexpr int kSideLeft = 1, kSideRight = 2, kSideTop = 4, kSideBottom = 8, kAllSides = 15;

// Arrow directions of CreateArrowIcon.
enum ArrowDirection { kArrowUp = 0, kArrowDown = 1, kArrowLeft = 2, kArrowRight = 3 };

// Fills bands of `thickness` along the inside of `rect`: top, bottom, left, right.
void FillFrameBands(HDC dc, const RECT* rect, int thickness, HBRUSH brush);

// A two-pixel bevel: raised (light top-left, dark bottom-right) or pressed,
// in the normal or the alternate palette. Draws nothing if a pen cannot be made.
void Draw3DFrame(HDC dc, const WKSkin* skin, const RECT* rect, bool pressed, bool alternate);

// Draws the frame's pieces along the sides of `rect` chosen by `sides`:
// edge tiles stretched, corners copied 1:1. A side with no room between its
// corners is left out. Returns 1.
int DrawSkinFrame(HDC dc, const RECT* rect, const SkinFrame* frame, int sides);

// Draws the sprite cell for `state` over `rect`: the face stretched over the
// inside and the cell's frame around it. Returns 0 (drawing nothing) when
// there is no sprite or bitmap, or the rectangle is narrower or lower than
// the two edges.
int DrawSkinFace(HDC dc, const SkinSprite* sprite, RECT rect, ControlState state);

// DrawTextA in the colour of the look and variant (embossed when disabled),
// on a transparent background. Returns 0 for a null text, else 1.
int DrawSkinText(const WKSkin* skin, HDC dc, RECT rect, const char* text, int length, UINT format,
                 ControlState state, bool alternate);

// Draws an icon centred in `rect` (SM_CXICON square): a monochrome icon as its
// shape tinted by the look and variant, a colour icon as it is; disabled
// icons of either kind embossed. Returns 0 for a null or unreadable icon.
int DrawSkinIcon(const WKSkin* skin, HDC dc, RECT rect, HICON icon, ControlState state, bool alternate);

// Copies a bitmap 1:1 centred in `rect`. Returns 0 for a null or unreadable bitmap.
int DrawCentredBitmap(const WKSkin* skin, HDC dc, RECT rect, HBITMAP bitmap);

// A bitmap's width and height (0, 0 when it cannot be read).
void GetBitmapSize(HBITMAP bitmap, SIZE* size);
// The system icon size, whatever the icon.
void GetIconSize(HICON icon, SIZE* size);

// A monochrome SM_CXICON icon holding a triangle pointing in `direction`,
// half as wide as the smaller of width and height (at most half the icon).
// Null on failure; the caller destroys it.
HICON CreateArrowIcon(int width, int height, int direction);

// The dotted focus rectangle, white on black.
void DrawSkinFocusRect(HDC dc, const RECT* rect);

}  // namespace kelmard
