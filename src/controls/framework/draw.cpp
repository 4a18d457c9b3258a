// Drawing primitives of the skinned controls.
#include "controls/framework/draw.h"

#include <algorithm>

#include "owners/win32_owners.h"

namespace kelmard {
namespace {

int Alternate(bool alternate) { return alternate ? skin::kAlternateColorOffset : 0; }

// The colour of text and icon shapes in the normal look and a variant.
COLORREF NormalColour(const WKSkin& skin, ControlState state, bool alternate) {
    return skin.colors[skin::kTextColor + static_cast<int>(VariantOf(state)) + Alternate(alternate)];
}

COLORREF PressedColour(const WKSkin& skin, bool alternate) {
    return skin.colors[alternate ? skin::kAlternatePressedTextColor : skin::kPressedTextColor];
}

// One bevel line in one pen: from `from` over the corner `via` to `to`.
void PenLine(HDC dc, HPEN pen, POINT from, POINT via, POINT to) {
    SelectGuard selected(dc, pen);
    MoveToEx(dc, from.x, from.y, nullptr);
    LineTo(dc, via.x, via.y);
    LineTo(dc, to.x, to.y);
}

}  // namespace

void FillFrameBands(HDC dc, const RECT* rect, int n, HBRUSH brush) {
    if (!dc || !rect || !brush) return;
    const RECT& r = *rect;
    const RECT top{r.left, r.top, r.right, r.top + n};
    const RECT bottom{r.left, r.bottom - n, r.right, r.bottom};
    const RECT left{r.left, r.top + n, r.left + n, r.bottom - n};
    const RECT right{r.right - n, r.top + n, r.right, r.bottom - n};
    FillRect(dc, &top, brush);
    FillRect(dc, &bottom, brush);
    FillRect(dc, &left, brush);
    FillRect(dc, &right, brush);
}

void Draw3DFrame(HDC dc, const WKSkin* skin, const RECT* rect, bool pressed, bool alternate) {
    if (!dc || !skin || !rect) return;
    const int o = Alternate(alternate);
    // Outer top-left, inner top-left, inner bottom-right, outer bottom-right.
    using namespace skin;
    const SkinColor raised[4] = {kHighlightColor, kLightColor, kShadowColor, kDarkShadowColor};
    const SkinColor sunken[4] = {kDarkShadowColor, kShadowColor, kLightColor, kHighlightColor};
    const SkinColor* order = pressed ? sunken : raised;
    UniquePen pens[4];
    for (int i = 0; i < 4; ++i) {
        pens[i].reset(CreatePen(PS_SOLID, 0, skin->colors[order[i] + o]));
        if (!pens[i]) return;  // the pens made so far are freed by their owners
    }
    const LONG l = rect->left, t = rect->top, r = rect->right, b = rect->bottom;
    PenLine(dc, pens[0].get(), {l, b - 1}, {l, t}, {r, t});
    PenLine(dc, pens[1].get(), {l + 1, b - 2}, {l + 1, t + 1}, {r - 1, t + 1});
    PenLine(dc, pens[2].get(), {l + 2, b - 2}, {r - 2, b - 2}, {r - 2, t + 1});
    PenLine(dc, pens[3].get(), {l + 1, b - 1}, {r - 1, b - 1}, {r - 1, t});
}

int DrawSkinFrame(HDC dc, const RECT* rect, const SkinFrame* frame, int sides) {
    if (!dc || !rect || !frame || !frame->bitmap) return 1;
    UniqueMemoryDC memory(CreateCompatibleDC(dc));
    if (!memory) return 1;
    SelectGuard bitmap(memory.get(), frame->bitmap);
    if (!bitmap) return 1;
    StretchModeGuard mode(dc, HALFTONE);
    HDC src = memory.get();
    const int e = frame->edge, x = frame->x, y = frame->y;
    const LONG l = rect->left, t = rect->top, r = rect->right, b = rect->bottom;
    const LONG across = r - l - 2 * e, down = b - t - 2 * e;
    // Edge tiles; a side whose corners leave it no room is skipped (a negative
    // extent would mirror the tile).
    if ((sides & kSideTop) && across > 0) StretchBlt(dc, l + e, t, across, e, src, x + 2 * e, y, e, e, SRCCOPY);
    if ((sides & kSideBottom) && across > 0)
        StretchBlt(dc, l + e, b - e, across, e, src, x + 2 * e, y + e, e, e, SRCCOPY);
    if ((sides & kSideLeft) && down > 0) StretchBlt(dc, l, t + e, e, down, src, x + 3 * e, y, e, e, SRCCOPY);
    if ((sides & kSideRight) && down > 0)
        StretchBlt(dc, r - e, t + e, e, down, src, x + 3 * e, y + e, e, e, SRCCOPY);
    // Corners, 1:1.
    if (sides & (kSideLeft | kSideTop)) BitBlt(dc, l, t, e, e, src, x, y, SRCCOPY);
    if (sides & (kSideRight | kSideTop)) BitBlt(dc, r - e, t, e, e, src, x + e, y, SRCCOPY);
    if (sides & (kSideLeft | kSideBottom)) BitBlt(dc, l, b - e, e, e, src, x, y + e, SRCCOPY);
    if (sides & (kSideRight | kSideBottom)) BitBlt(dc, r - e, b - e, e, e, src, x + e, y + e, SRCCOPY);
    return 1;
}

int DrawSkinFace(HDC dc, const SkinSprite* sprite, RECT rect, ControlState state) {
    if (!dc || !sprite || !sprite->bitmap) return 0;
    const int e = sprite->edge;
    if (2 * e > rect.right - rect.left || 2 * e > rect.bottom - rect.top) return 0;
    const int cellX = sprite->x + sprite->columnStep * static_cast<int>(VariantOf(state));
    const int cellY = sprite->y + sprite->rowStep * static_cast<int>(LookOf(state));
    {
        UniqueMemoryDC memory(CreateCompatibleDC(dc));
        if (!memory) return 0;
        SelectGuard bitmap(memory.get(), sprite->bitmap);
        if (!bitmap) return 0;
        StretchModeGuard mode(dc, HALFTONE);
        // The face reaches the right and bottom sides; the frame covers them next.
        StretchBlt(dc, rect.left + e, rect.top + e, rect.right - rect.left - e, rect.bottom - rect.top - e,
                   memory.get(), cellX + 4 * e, cellY, sprite->faceWidth, sprite->faceHeight, SRCCOPY);
    }
    if (e > 0) {
        const SkinFrame frame{sprite->bitmap, cellX, cellY, e};
        DrawSkinFrame(dc, &rect, &frame, kAllSides);
    }
    return 1;
}

int DrawSkinText(const WKSkin* skin, HDC dc, RECT rect, const char* text, int length, UINT format,
                 ControlState state, bool alternate) {
    if (!text || !skin || !dc) return 0;
    BkModeGuard mode(dc, TRANSPARENT);
    switch (LookOf(state)) {
    case kDisabledLook: {  // embossed, whatever the palette
        RECT moved = rect;
        OffsetRect(&moved, 1, 1);
        TextColorGuard colour(dc, skin->colors[skin::kLightColor]);
        DrawTextA(dc, text, length, &moved, format);
        SetTextColor(dc, skin->colors[skin::kShadowColor]);
        DrawTextA(dc, text, length, &rect, format);
        break;
    }
    case kPressedLook: {
        TextColorGuard colour(dc, PressedColour(*skin, alternate));
        DrawTextA(dc, text, length, &rect, format);
        break;
    }
    default: {
        TextColorGuard colour(dc, NormalColour(*skin, state, alternate));
        DrawTextA(dc, text, length, &rect, format);
        break;
    }
    }
    return 1;
}

int DrawSkinIcon(const WKSkin* skin, HDC dc, RECT rect, HICON icon, ControlState state, bool alternate) {
    if (!icon || !skin || !dc) return 0;
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return 0;
    const UniqueBitmap mask(info.hbmMask), colour(info.hbmColor);
    const int s = GetSystemMetrics(SM_CXICON);
    const int x = (rect.left - s + rect.right) / 2, y = (rect.top - s + rect.bottom) / 2;
    const ControlState look = LookOf(state);
    if (look != kDisabledLook && colour) {
        DrawIcon(dc, x, y, icon);
        return 1;
    }
    UniqueMemoryDC memory(CreateCompatibleDC(dc));
    if (!memory || !mask) return 1;
    SelectGuard selected(memory.get(), mask.get());
    TextColorGuard text(dc, RGB(0, 0, 0));
    BkColorGuard back(dc, RGB(255, 255, 255));
    // The shape of the mask (its AND half) in one colour: clear the shape,
    // then paint the colour into it.
    auto shape = [&](int atX, int atY, COLORREF colourRef) {
        SetBkColor(dc, RGB(255, 255, 255));
        SetTextColor(dc, RGB(0, 0, 0));
        BitBlt(dc, atX, atY, s, s, memory.get(), 0, 0, SRCAND);
        SetBkColor(dc, RGB(0, 0, 0));
        SetTextColor(dc, colourRef);
        BitBlt(dc, atX, atY, s, s, memory.get(), 0, 0, SRCPAINT);
    };
    if (look == kDisabledLook) {
        // Embossed like disabled text: the light shape one pixel down and
        // right, the shadow shape over it.
        shape(x + 1, y + 1, skin->colors[skin::kLightColor]);
        shape(x, y, skin->colors[skin::kShadowColor]);
    } else if (look == kPressedLook) {
        shape(x, y, PressedColour(*skin, alternate));
    } else {
        shape(x, y, NormalColour(*skin, state, alternate));
    }
    return 1;
}

int DrawCentredBitmap(const WKSkin*, HDC dc, RECT rect, HBITMAP bitmap) {
    if (!bitmap || !dc) return 0;
    BITMAP info{};
    if (!GetObjectA(bitmap, sizeof info, &info)) return 0;
    UniqueMemoryDC memory(CreateCompatibleDC(dc));
    if (!memory) return 0;
    SelectGuard selected(memory.get(), bitmap);
    if (!selected) return 0;
    BitBlt(dc, (rect.left - info.bmWidth + rect.right) / 2, (rect.top - info.bmHeight + rect.bottom) / 2,
           info.bmWidth, info.bmHeight, memory.get(), 0, 0, SRCCOPY);
    return 1;
}

void GetBitmapSize(HBITMAP bitmap, SIZE* size) {
    if (!size) return;
    BITMAP info{};
    if (bitmap && GetObjectA(bitmap, sizeof info, &info)) {
        size->cx = info.bmWidth;
        size->cy = info.bmHeight;
    } else {
        size->cx = size->cy = 0;
    }
}

void GetIconSize(HICON, SIZE* size) {
    if (!size) return;
    size->cx = GetSystemMetrics(SM_CXICON);
    size->cy = GetSystemMetrics(SM_CYICON);
}

HICON CreateArrowIcon(int width, int height, int direction) {
    if (direction < kArrowUp || direction > kArrowRight) return nullptr;
    const int s = GetSystemMetrics(SM_CXICON);
    const int m = (s - 1) / 2;
    int a = std::min(width, height) / 2;
    a = std::max(0, std::min(a, m));
    const int q = a / 2;
    POINT p[3];
    switch (direction) {
    case kArrowUp: p[0] = {m + a, m + q}; p[1] = {m, m - q}; p[2] = {m - a, m + q}; break;
    case kArrowDown: p[0] = {m + a, m - q}; p[1] = {m, m + q}; p[2] = {m - a, m - q}; break;
    case kArrowLeft: p[0] = {m + q, m + a}; p[1] = {m - q, m}; p[2] = {m + q, m - a}; break;
    default: p[0] = {m - q, m + a}; p[1] = {m + q, m}; p[2] = {m - q, m - a}; break;
    }
    UniqueBitmap mask(CreateBitmap(s, 2 * s, 1, 1, nullptr));
    UniqueMemoryDC memory(CreateCompatibleDC(nullptr));
    UniquePen pen(CreatePen(PS_SOLID, 0, RGB(0, 0, 0)));
    if (!mask || !memory || !pen) return nullptr;
    {
        SelectGuard bitmap(memory.get(), mask.get());
        if (!bitmap) return nullptr;
        // Upper half: the AND mask, white (transparent) with a black triangle;
        // lower half: the XOR mask, black.
        PatBlt(memory.get(), 0, 0, s, s, WHITENESS);
        PatBlt(memory.get(), 0, s, s, s, BLACKNESS);
        SelectGuard penIn(memory.get(), pen.get());
        SelectGuard brushIn(memory.get(), GetStockObject(BLACK_BRUSH));
        Polygon(memory.get(), p, 3);
    }
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmMask = mask.get();
    info.hbmColor = nullptr;
    return CreateIconIndirect(&info);
}

void DrawSkinFocusRect(HDC dc, const RECT* rect) {
    if (!dc || !rect) return;
    TextColorGuard text(dc, RGB(255, 255, 255));
    BkColorGuard back(dc, RGB(0, 0, 0));
    DrawFocusRect(dc, rect);
}

}  // namespace kelmard
