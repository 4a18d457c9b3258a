// The shared skin: loaded once at library attach, freed at detach.
#include "controls/framework/skin.h"

#include "frame/trace.h"

namespace kelmard {
namespace {

WKSkin g_skin{};

// System colour index -> skin colour, -1 where the system colour stays.
constexpr int kSysToSkin[25] = {
    8,   // 0  COLOR_SCROLLBAR
    -1,  // 1  COLOR_BACKGROUND
    22,  // 2  COLOR_ACTIVECAPTION
    22,  // 3  COLOR_INACTIVECAPTION
    -1, -1, -1, -1, -1,  // 4 menu, 5 window, 6 window frame, 7 menu text, 8 window text
    8,   // 9  COLOR_CAPTIONTEXT
    12,  // 10 COLOR_ACTIVEBORDER
    12,  // 11 COLOR_INACTIVEBORDER
    -1,  // 12 COLOR_APPWORKSPACE
    21,  // 13 COLOR_HIGHLIGHT
    11,  // 14 COLOR_HIGHLIGHTTEXT
    1,   // 15 COLOR_BTNFACE
    4,   // 16 COLOR_BTNSHADOW
    6,   // 17 COLOR_GRAYTEXT
    8,   // 18 COLOR_BTNTEXT
    6,   // 19 COLOR_INACTIVECAPTIONTEXT
    3,   // 20 COLOR_BTNHIGHLIGHT
    5,   // 21 COLOR_3DDKSHADOW
    2,   // 22 COLOR_3DLIGHT
    24,  // 23 COLOR_INFOTEXT
    23,  // 24 COLOR_INFOBK
};

}  // namespace

void LoadSkin(WKSkin& skin, HINSTANCE module) {
    skin = WKSkin{};
    skin.styleFlags = 1;
    for (int i = 0; i < skin::kColorCount; ++i) skin.colors[i] = skin::kColors[i];
    for (int i = 0; i < skin::kBrushCount; ++i) skin.brushes[i] = CreateSolidBrush(skin.colors[skin::kBrushColors[i]]);
    const auto bitmap = static_cast<HBITMAP>(
        LoadImageA(module, MAKEINTRESOURCEA(skin::kBitmapId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    for (int i = 0; i < skin::kFrameCount; ++i) {
        const skin::FramePlace& f = skin::kFrames[i];
        skin.frames[i] = SkinFrame{bitmap, f.x, f.y, f.edge};
    }
    for (int i = 0; i < skin::kSpriteCount; ++i) {
        const skin::SpritePlace& s = skin::kSprites[i];
        skin.sprites[i] = SkinSprite{bitmap, s.x, s.y, s.columnStep, s.rowStep, s.faceWidth, s.faceHeight, s.edge};
    }
    const int* a = skin::kAngleNumbers;
    skin.angle = SkinAngle{bitmap, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8]};
    for (int i = 0; i < skin::kThumbCount; ++i) {
        const skin::ThumbPlace& t = skin::kThumbs[i];
        skin.thumbs[i] = SkinThumb{bitmap, t.x, t.y, t.thickness, t.length, t.endCap, t.middle, t.endMargin};
    }
    const int cursorIds[4] = {skin::kMagnifierCursorId, skin::kHandCursorId, skin::kTurnAcrossCursorId,
                              skin::kTiltCursorId};
    for (int i = 0; i < 4; ++i) skin.cursors[i] = LoadCursorA(module, MAKEINTRESOURCEA(cursorIds[i]));
    skin.dialogIcon = LoadIconA(module, MAKEINTRESOURCEA(skin::kDialogIconId));
    KTRACE("LoadSkin: bitmap " KTRACE_PTR ", icon " KTRACE_PTR "\n", KTRACE_PTR_ARG(bitmap),
           KTRACE_PTR_ARG(skin.dialogIcon));
}

void FreeSkin(WKSkin& skin) {
    // Every record points to the one bitmap: delete it once.
    if (skin.frames[0].bitmap) DeleteObject(skin.frames[0].bitmap);
    for (HBRUSH& brush : skin.brushes) {
        if (brush) DeleteObject(brush);
        brush = nullptr;
    }
    if (skin.dialogIcon) DestroyIcon(skin.dialogIcon);
    skin.dialogIcon = nullptr;
    // The colours stay: they are constants and WKGetColor may still read them.
    for (SkinFrame& f : skin.frames) f.bitmap = nullptr;
    for (SkinSprite& s : skin.sprites) s.bitmap = nullptr;
    for (SkinThumb& t : skin.thumbs) t.bitmap = nullptr;
    skin.angle.bitmap = nullptr;
    for (HCURSOR& c : skin.cursors) c = nullptr;  // shared cursors: not destroyed
}

WKSkin& SharedSkin() { return g_skin; }
void LoadSkin(HINSTANCE module) { LoadSkin(g_skin, module); }
void FreeSkin(HINSTANCE) { FreeSkin(g_skin); }

COLORREF SkinColorAt(int index) {
    if (index < 0 || index >= skin::kColorCount) index = 0;
    return g_skin.colors[index];
}

COLORREF SkinSysColor(int index) {
    if (index >= 0 && index < 25 && kSysToSkin[index] >= 0) return g_skin.colors[kSysToSkin[index]];
    return GetSysColor(index);
}

}  // namespace kelmard
