// The shared skin: loaded once at library attach, freed at detach.
#include "controls/framework/skin.h"

#include "frame/trace.h"

namespace kelmard {
namespace {

WKSkin g_skin{};

// The skin colour standing for each system colour (COLOR_SCROLLBAR ..
// COLOR_INFOBK), kKeepSystem where the system colour stays.
constexpr int kKeepSystem = -1;
constexpr int kSystemColorCount = COLOR_INFOBK + 1;
constexpr int kSysToSkin[kSystemColorCount] = {
    skin::kTextColor,           // COLOR_SCROLLBAR
    kKeepSystem,                // COLOR_BACKGROUND
    skin::kCaptionColor,        // COLOR_ACTIVECAPTION
    skin::kCaptionColor,        // COLOR_INACTIVECAPTION
    kKeepSystem,                // COLOR_MENU
    kKeepSystem,                // COLOR_WINDOW
    kKeepSystem,                // COLOR_WINDOWFRAME
    kKeepSystem,                // COLOR_MENUTEXT
    kKeepSystem,                // COLOR_WINDOWTEXT
    skin::kTextColor,           // COLOR_CAPTIONTEXT
    skin::kAlternateFaceColor,  // COLOR_ACTIVEBORDER
    skin::kAlternateFaceColor,  // COLOR_INACTIVEBORDER
    kKeepSystem,                // COLOR_APPWORKSPACE
    skin::kAlternateTextVariant2Color,  // COLOR_HIGHLIGHT
    skin::kHighlightTextColor,  // COLOR_HIGHLIGHTTEXT
    skin::kFaceColor,           // COLOR_BTNFACE
    skin::kShadowColor,         // COLOR_BTNSHADOW
    skin::kGreyTextColor,       // COLOR_GRAYTEXT
    skin::kTextColor,           // COLOR_BTNTEXT
    skin::kGreyTextColor,       // COLOR_INACTIVECAPTIONTEXT
    skin::kHighlightColor,      // COLOR_BTNHIGHLIGHT
    skin::kDarkShadowColor,     // COLOR_3DDKSHADOW
    skin::kLightColor,          // COLOR_3DLIGHT
    skin::kTooltipTextColor,    // COLOR_INFOTEXT
    skin::kTooltipColor,        // COLOR_INFOBK
};
static_assert(kSystemColorCount == 25, "COLOR_SCROLLBAR to COLOR_INFOBK");

}  // namespace

void LoadSkin(WKSkin& skin, HINSTANCE module) {
    skin = WKSkin{};
    skin.styleFlags = kFilledCaption;
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
    for (int i = 0; i < skin::kCursorCount; ++i)
        skin.cursors[i] = LoadCursorA(module, MAKEINTRESOURCEA(skin::kCursorIds[i]));
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
    if (index >= 0 && index < kSystemColorCount && kSysToSkin[index] != kKeepSystem) return g_skin.colors[kSysToSkin[index]];
    return GetSysColor(index);
}

}  // namespace kelmard
