// The skin and the drawing primitives, drawn into memory DCs and checked
// pixel by pixel where the result is exact.
#include <gtest/gtest.h>

#include <vector>

#include "canvas.h"
#include "controls/framework/draw.h"
#include "kelmard.h"

namespace {

using namespace kelmard;
using testing_support::Canvas;
using testing_support::SkinPixels;
using testing_support::TestSkin;

const COLORREF kGreen = RGB(0, 200, 0);
std::uint32_t Px(COLORREF c) { return kpicture::FromColorRef(c); }

TEST(Skin, ColoursThroughTheExports) {
    for (int i = 0; i < 25; ++i) EXPECT_EQ(WKGetColor(i), skin::kColors[i]) << i;
    EXPECT_EQ(WKGetColor(-1), 0xD4EAE6u);
    EXPECT_EQ(WKGetColor(25), 0xD4EAE6u);
    EXPECT_EQ(WKGetColor(20), 0xD3FFFFu);
    EXPECT_EQ(WKGetColor(0x7FFFFFFF), 0xD4EAE6u);
    EXPECT_EQ(WKGetSysColor(COLOR_BTNFACE), 0x809692u);
    EXPECT_EQ(WKGetSysColor(COLOR_HIGHLIGHT), 0x604E36u);
    EXPECT_EQ(WKGetSysColor(COLOR_ACTIVECAPTION), 0x566E6Cu);
    EXPECT_EQ(WKGetSysColor(COLOR_INFOBK), 0xDCFFFFu);
    EXPECT_EQ(WKGetSysColor(COLOR_3DDKSHADOW), 0x040000u);
    // The colours the skin leaves to the system.
    for (int i : {1, 4, 5, 6, 7, 8, 12, 25, 30, -1}) EXPECT_EQ(WKGetSysColor(i), GetSysColor(i)) << i;
}

TEST(Skin, LoadsItsArtFromTheLibraryAndFreesIt) {
    WKSkin skin{};
    LoadSkin(skin, GetModuleHandleA("KELMARD.DLL"));
    DIBSECTION ds{};
    ASSERT_EQ(GetObjectA(skin.frames[0].bitmap, sizeof ds, &ds), static_cast<int>(sizeof ds)) << "a DIB section";
    EXPECT_EQ(ds.dsBm.bmWidth, 252);
    EXPECT_EQ(ds.dsBm.bmHeight, 330);
    EXPECT_EQ(ds.dsBm.bmBitsPixel, 24);
    EXPECT_EQ(skin.styleFlags, 1u);
    // Every record points to the one bitmap, at the layout's places.
    for (const SkinSprite& s : skin.sprites) EXPECT_EQ(s.bitmap, skin.frames[0].bitmap);
    for (const SkinThumb& t : skin.thumbs) EXPECT_EQ(t.bitmap, skin.frames[0].bitmap);
    EXPECT_EQ(skin.angle.bitmap, skin.frames[0].bitmap);
    EXPECT_EQ(skin.frames[1].x, 120);
    EXPECT_EQ(skin.frames[1].y, 280);
    EXPECT_EQ(skin.frames[1].edge, 2);
    EXPECT_EQ(skin.sprites[4].y, 0);
    EXPECT_EQ(skin.sprites[2].columnStep, 44);
    EXPECT_EQ(skin.thumbs[3].thickness, 26);
    EXPECT_EQ(skin.angle.trackEnd, 74);
    // Brushes in list order, each of its colour.
    const int brushColours[17] = {0, 1, 2, 3, 4, 5, 7, 8, 9, 10, 12, 13, 14, 15, 16, 21, 22};
    for (int i = 0; i < 17; ++i) {
        LOGBRUSH lb{};
        ASSERT_TRUE(GetObjectA(skin.brushes[i], sizeof lb, &lb)) << i;
        EXPECT_EQ(lb.lbColor, skin.colors[brushColours[i]]) << "brush " << i;
    }
    for (HCURSOR c : skin.cursors) EXPECT_NE(c, nullptr);
    ASSERT_NE(skin.dialogIcon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(skin.dialogIcon, &info));
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    EXPECT_TRUE(info.fIcon);

    const HBITMAP bitmap = skin.frames[0].bitmap;
    const HBRUSH brush = skin.brushes[3];
    FreeSkin(skin);
    BITMAP bm{};
    EXPECT_EQ(GetObjectA(bitmap, sizeof bm, &bm), 0) << "the bitmap is deleted";
    LOGBRUSH lb{};
    EXPECT_EQ(GetObjectA(brush, sizeof lb, &lb), 0) << "the brushes are deleted";
    EXPECT_EQ(skin.frames[0].bitmap, nullptr);
    EXPECT_EQ(skin.dialogIcon, nullptr);
    EXPECT_EQ(skin.colors[20], 0xD3FFFFu) << "the colours stay readable";
    FreeSkin(skin);  // a second free finds nothing to free
}

// Expects the w x h block of the canvas at (x, y) to equal the skin bitmap's at (sx, sy).
void ExpectBlock(const Canvas& c, int x, int y, int sx, int sy, int w, int h, const char* what) {
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
            ASSERT_EQ(c.at(x + i, y + j), SkinPixels().rgb(sx + i, sy + j)) << what << " at " << i << "," << j;
}

// Expects the canvas band (x, y, w, h) to repeat the skin tile's cross-section.
void ExpectBand(const Canvas& c, int x, int y, int w, int h, int sx, int sy, bool horizontal, const char* what) {
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            const std::uint32_t want = horizontal ? SkinPixels().rgb(sx, sy + j) : SkinPixels().rgb(sx + i, sy);
            ASSERT_EQ(c.at(x + i, y + j), want) << what << " at " << i << "," << j;
        }
}

TEST(DrawSkinFrame, CopiesCornersOneToOneAndStretchesTheEdges) {
    const SkinFrame& f1 = TestSkin().frames[skin::kClientEdgeFrame];  // 120, 280, edge 2
    Canvas c(60, 40, kGreen);
    const RECT r{5, 5, 45, 35};
    EXPECT_EQ(DrawSkinFrame(c.dc(), &r, &f1, kAllSides), 1);
    ExpectBlock(c, 5, 5, 120, 280, 2, 2, "top-left");
    ExpectBlock(c, 43, 5, 122, 280, 2, 2, "top-right");
    ExpectBlock(c, 5, 33, 120, 282, 2, 2, "bottom-left");
    ExpectBlock(c, 43, 33, 122, 282, 2, 2, "bottom-right");
    ExpectBand(c, 7, 5, 36, 2, 124, 280, true, "top");
    ExpectBand(c, 7, 33, 36, 2, 124, 282, true, "bottom");
    ExpectBand(c, 5, 7, 2, 26, 126, 280, false, "left");
    ExpectBand(c, 43, 7, 2, 26, 126, 282, false, "right");
    EXPECT_EQ(c.at(25, 20), Px(kGreen)) << "the inside is not painted";
    EXPECT_EQ(c.at(4, 4), Px(kGreen));
    EXPECT_EQ(c.at(45, 35), Px(kGreen));
    EXPECT_EQ(GetStretchBltMode(c.dc()), BLACKONWHITE) << "the stretch mode is put back";

    // The 7-pixel dialog frame: corners 1:1.
    const SkinFrame& f2 = TestSkin().frames[skin::kThickFrame];  // 120, 200, edge 7
    Canvas d(60, 40, kGreen);
    DrawSkinFrame(d.dc(), &r, &f2, kAllSides);
    ExpectBlock(d, 5, 5, 120, 200, 7, 7, "F2 top-left");
    ExpectBlock(d, 38, 28, 127, 207, 7, 7, "F2 bottom-right");
}

TEST(DrawSkinFrame, TopOnlyDrawsTheTopEdgeAndItsCorners) {
    const SkinFrame& f1 = TestSkin().frames[skin::kClientEdgeFrame];
    Canvas c(60, 40, kGreen);
    const RECT r{5, 5, 45, 35};
    DrawSkinFrame(c.dc(), &r, &f1, kSideTop);
    ExpectBlock(c, 5, 5, 120, 280, 2, 2, "top-left");
    ExpectBlock(c, 43, 5, 122, 280, 2, 2, "top-right");
    ExpectBand(c, 7, 5, 36, 2, 124, 280, true, "top");
    for (int y = 7; y < 35; ++y)
        for (int x : {5, 6, 43, 44}) ASSERT_EQ(c.at(x, y), Px(kGreen)) << x << "," << y;
    for (int x = 5; x < 45; ++x) ASSERT_EQ(c.at(x, 34), Px(kGreen)) << x;
}

TEST(DrawSkinFrame, SidesWithoutRoomBetweenTheirCornersAreLeftOut) {
    // One pixel wide with 2-pixel corners: a top edge would need a width of
    // 1 - 4 = -3 and would come out mirrored beyond the corners.
    const SkinFrame& f1 = TestSkin().frames[skin::kClientEdgeFrame];
    Canvas c(40, 40, kGreen);
    const RECT r{10, 10, 11, 30};
    DrawSkinFrame(c.dc(), &r, &f1, kAllSides);
    for (int y = 0; y < 40; ++y) {
        ASSERT_EQ(c.at(12, y), Px(kGreen)) << "row " << y;
        ASSERT_EQ(c.at(8, y), Px(kGreen)) << "row " << y;
    }
    // The right corners (from x 9) cover the left ones but for column 11.
    ExpectBlock(c, 11, 10, 121, 280, 1, 2, "top-left");
    ExpectBlock(c, 9, 10, 122, 280, 2, 2, "top-right");
}

TEST(DrawSkinFace, DrawsTheCellOfTheLookAndVariant) {
    const WKSkin& skin = TestSkin();
    // Edge-0 glyph sprites: the cell 1:1 on a rectangle of its size.
    const SkinSprite& check = skin.sprites[skin::kCheckSprite];
    for (unsigned look = 0; look < 3; ++look)
        for (unsigned variant = 0; variant < 3; ++variant) {
            Canvas c(20, 20, kGreen);
            ASSERT_EQ(DrawSkinFace(c.dc(), &check, RECT{2, 3, 17, 18}, MakeState(look, variant)), 1);
            ExpectBlock(c, 2, 3, 120 + 15 * static_cast<int>(variant), 100 + 15 * static_cast<int>(look), 15, 15, "check cell");
            EXPECT_EQ(c.at(17, 18), Px(kGreen));
        }
    // A framed push face: the face fills the inside, the cell's frame goes round.
    const SkinSprite& push = skin.sprites[skin::kPushSprite];
    Canvas c(40, 24, kGreen);
    ASSERT_EQ(DrawSkinFace(c.dc(), &push, RECT{0, 0, 35, 19}, MakeState(2, 1)), 1);
    const int cellX = 120 + 44, cellY = 50 + 2 * 16;
    ExpectBlock(c, 3, 3, cellX + 12, cellY, 29, 13, "face");
    ExpectBlock(c, 0, 0, cellX, cellY, 3, 3, "top-left corner");
    ExpectBlock(c, 32, 16, cellX + 3, cellY + 3, 3, 3, "bottom-right corner");
    EXPECT_EQ(c.at(35, 10), Px(kGreen));
}

TEST(DrawSkinFace, RefusesWhatItCannotDraw) {
    const WKSkin& skin = TestSkin();
    Canvas c(20, 20, kGreen);
    // Two 3-pixel edges do not fit in 5 pixels.
    EXPECT_EQ(DrawSkinFace(c.dc(), &skin.sprites[skin::kArrowButtonSprite], RECT{0, 0, 5, 16}, 1), 0);
    EXPECT_EQ(DrawSkinFace(c.dc(), &skin.sprites[skin::kArrowButtonSprite], RECT{0, 0, 16, 5}, 1), 0);
    EXPECT_EQ(DrawSkinFace(c.dc(), nullptr, RECT{0, 0, 16, 16}, 1), 0);
    SkinSprite noBitmap = skin.sprites[skin::kPushSprite];
    noBitmap.bitmap = nullptr;
    EXPECT_EQ(DrawSkinFace(c.dc(), &noBitmap, RECT{0, 0, 16, 16}, 1), 0);
    EXPECT_EQ(c.Count(kGreen), 400) << "nothing drawn";
    // Edge-0 sprites draw on any rectangle, even a single pixel.
    EXPECT_EQ(DrawSkinFace(c.dc(), &skin.sprites[skin::kRadioSprite], RECT{4, 4, 5, 5}, 1), 1);
}

TEST(Draw3DFrame, RaisedAndPressedBevelsInBothPalettes) {
    const WKSkin& skin = TestSkin();
    struct Case {
        bool pressed, alternate;
        int outerTL, innerTL, innerBR, outerBR;
    } cases[] = {{false, false, 3, 2, 4, 5}, {true, false, 5, 4, 2, 3}, {false, true, 14, 13, 15, 16}, {true, true, 16, 15, 13, 14}};
    for (const Case& k : cases) {
        Canvas c(20, 12, kGreen);
        const RECT r{2, 2, 14, 10};
        Draw3DFrame(c.dc(), &skin, &r, k.pressed, k.alternate);
        const COLORREF* col = skin.colors;
        EXPECT_EQ(c.at(2, 9), Px(col[k.outerTL]));   // the left line starts at the bottom
        EXPECT_EQ(c.at(2, 5), Px(col[k.outerTL]));
        EXPECT_EQ(c.at(13, 2), Px(col[k.outerTL]));  // the top line reaches the right side
        EXPECT_EQ(c.at(3, 5), Px(col[k.innerTL]));
        EXPECT_EQ(c.at(12, 3), Px(col[k.innerTL]));
        EXPECT_EQ(c.at(4, 8), Px(col[k.innerBR]));
        EXPECT_EQ(c.at(12, 5), Px(col[k.innerBR]));
        EXPECT_EQ(c.at(3, 9), Px(col[k.outerBR]));
        EXPECT_EQ(c.at(13, 9), Px(col[k.outerBR]));
        EXPECT_EQ(c.at(13, 3), Px(col[k.outerBR]));
        EXPECT_EQ(c.at(8, 5), Px(kGreen)) << "inside";
        EXPECT_EQ(c.at(14, 5), Px(kGreen)) << "right of the rectangle";
        EXPECT_EQ(c.at(8, 10), Px(kGreen)) << "below the rectangle";
        EXPECT_EQ(GetCurrentObject(c.dc(), OBJ_PEN), GetStockObject(BLACK_PEN)) << "the pen is put back";
    }
}

TEST(FillFrameBands, FillsFourBandsAndLeavesTheInside) {
    Canvas c(20, 14, kGreen);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    const RECT r{2, 2, 18, 12};
    FillFrameBands(c.dc(), &r, 3, red);
    DeleteObject(red);
    EXPECT_EQ(c.Count(RGB(255, 0, 0)), 16 * 10 - 10 * 4);
    for (const POINT p : {POINT{2, 2}, POINT{17, 11}, POINT{2, 7}, POINT{17, 7}, POINT{9, 4}, POINT{9, 9}})
        EXPECT_EQ(c.at(p.x, p.y), Px(RGB(255, 0, 0))) << p.x << "," << p.y;
    EXPECT_EQ(c.at(5, 5), Px(kGreen));
    EXPECT_EQ(c.at(14, 8), Px(kGreen));
    EXPECT_EQ(c.at(1, 1), Px(kGreen));
}

// Text in a large, bold, unsmoothed font, so that stroke pixels have the exact colour.
class TextCanvas : public Canvas {
public:
    TextCanvas() : Canvas(80, 40, kGreen) {
        font_ = CreateFontA(-28, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0, "Tahoma");
        old_ = SelectObject(dc(), font_);
    }
    ~TextCanvas() {
        SelectObject(dc(), old_);
        DeleteObject(font_);
    }
    int Draw(ControlState state, bool alternate, const char* text = "MW") {
        return DrawSkinText(&TestSkin(), dc(), RECT{4, 2, 76, 38}, text, -1, DT_SINGLELINE | DT_CENTER | DT_VCENTER,
                            state, alternate);
    }

private:
    HFONT font_;
    HGDIOBJ old_;
};

TEST(DrawSkinText, ColoursByLookAndVariant) {
    const COLORREF* col = TestSkin().colors;
    {
        TextCanvas c;
        SetTextColor(c.dc(), RGB(1, 2, 3));
        SetBkMode(c.dc(), OPAQUE);
        EXPECT_EQ(c.Draw(MakeState(1, 0), false), 1);
        EXPECT_GT(c.Count(col[8]), 40);
        EXPECT_EQ(GetTextColor(c.dc()), RGB(1, 2, 3)) << "the text colour is put back";
        EXPECT_EQ(GetBkMode(c.dc()), OPAQUE) << "the background mode is put back";
    }
    // The alternate palette: variants 0, 1, 2 in colours 19, 20, 21.
    for (unsigned v = 0; v < 3; ++v) {
        TextCanvas c;
        c.Draw(MakeState(1, v), true);
        EXPECT_GT(c.Count(col[19 + v]), 40) << "variant " << v;
        EXPECT_EQ(c.Count(col[19 + v]) + c.Count(kGreen), 80 * 40) << "one colour only, transparent";
    }
    {
        TextCanvas pressed, pressedAlternate;
        pressed.Draw(MakeState(2, 1), false);
        pressedAlternate.Draw(MakeState(2, 1), true);
        EXPECT_GT(pressed.Count(col[7]), 40);
        EXPECT_GT(pressedAlternate.Count(col[18]), 40);
    }
    {
        // Look 3 draws as look 1.
        TextCanvas three, one;
        three.Draw(MakeState(3, 1), true);
        one.Draw(MakeState(1, 1), true);
        EXPECT_TRUE(three.SameAs(one));
    }
}

TEST(DrawSkinText, DisabledTextIsEmbossedWhateverThePalette) {
    const COLORREF* col = TestSkin().colors;
    TextCanvas normal, alternate;
    normal.Draw(MakeState(0, 2), false);
    alternate.Draw(MakeState(0, 2), true);
    EXPECT_GT(normal.Count(col[4]), 40) << "the shadow shape";
    EXPECT_GT(normal.Count(col[2]), 5) << "the light shape shows one pixel down and right";
    EXPECT_TRUE(normal.SameAs(alternate));
    // The light shape lies under the shadow shape, shifted by (1, 1).
    int below = 0;
    for (int y = 1; y < 40; ++y)
        for (int x = 1; x < 80; ++x)
            if (normal.at(x, y) == Px(col[2])) {
                EXPECT_NE(normal.at(x - 1, y - 1), Px(kGreen)) << x << "," << y;
                ++below;
            }
    EXPECT_GT(below, 0);
}

TEST(DrawSkinText, NullTextDrawsNothing) {
    TextCanvas c;
    EXPECT_EQ(c.Draw(1, false, nullptr), 0);
    EXPECT_EQ(c.Count(kGreen), 80 * 40);
}

// The coloured pixels' bounding box and the widths of its first and last rows
// and columns.
struct Shape {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1, count = 0;
};
Shape ShapeOf(const Canvas& c, COLORREF colour) {
    Shape s;
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x)
            if (c.at(x, y) == Px(colour)) {
                s.left = std::min(s.left, x), s.right = std::max(s.right, x);
                s.top = std::min(s.top, y), s.bottom = std::max(s.bottom, y);
                ++s.count;
            }
    return s;
}
int RowCount(const Canvas& c, int y, COLORREF colour) {
    int n = 0;
    for (int x = 0; x < c.width(); ++x) n += c.at(x, y) == Px(colour);
    return n;
}
int ColumnCount(const Canvas& c, int x, COLORREF colour) {
    int n = 0;
    for (int y = 0; y < c.height(); ++y) n += c.at(x, y) == Px(colour);
    return n;
}

TEST(Arrows, TrianglesPointTheirWayAndAreTintedByState) {
    const WKSkin& skin = TestSkin();
    const int s = GetSystemMetrics(SM_CXICON), m = (s - 1) / 2;
    const COLORREF tint = skin.colors[19];  // normal look, variant 0, alternate palette
    {
        // 4 x 100 pointing up: half-width 2, half-height 1, centred.
        HICON up = CreateArrowIcon(4, 100, kArrowUp);
        ASSERT_NE(up, nullptr);
        Canvas c(s, s, kGreen);
        EXPECT_EQ(DrawSkinIcon(&skin, c.dc(), RECT{0, 0, s, s}, up, MakeState(1, 0), true), 1);
        const Shape t = ShapeOf(c, tint);
        EXPECT_EQ(t.left, m - 2);
        EXPECT_EQ(t.right, m + 2);
        EXPECT_EQ(t.top, m - 1);
        EXPECT_EQ(t.bottom, m + 1);
        EXPECT_EQ(t.count + c.Count(kGreen), s * s) << "the rest is transparent";
        EXPECT_EQ(RowCount(c, m - 1, tint), 1) << "the tip";
        EXPECT_EQ(RowCount(c, m + 1, tint), 5) << "the base";
        DestroyIcon(up);
    }
    // 16 x 16: half-width 8, half-height 4, in each direction.
    for (int d = 0; d < 4; ++d) {
        HICON arrow = CreateArrowIcon(16, 16, d);
        ASSERT_NE(arrow, nullptr);
        Canvas c(s, s, kGreen);
        DrawSkinIcon(&skin, c.dc(), RECT{0, 0, s, s}, arrow, MakeState(1, 0), true);
        const Shape t = ShapeOf(c, tint);
        const bool vertical = d == kArrowUp || d == kArrowDown;
        EXPECT_EQ(t.right - t.left, vertical ? 16 : 8) << d;
        EXPECT_EQ(t.bottom - t.top, vertical ? 8 : 16) << d;
        const int tip = d == kArrowUp ? RowCount(c, t.top, tint)
                        : d == kArrowDown ? RowCount(c, t.bottom, tint)
                        : d == kArrowLeft ? ColumnCount(c, t.left, tint)
                                          : ColumnCount(c, t.right, tint);
        const int base = d == kArrowUp ? RowCount(c, t.bottom, tint)
                         : d == kArrowDown ? RowCount(c, t.top, tint)
                         : d == kArrowLeft ? ColumnCount(c, t.right, tint)
                                           : ColumnCount(c, t.left, tint);
        EXPECT_LE(tip, 3) << "direction " << d;
        EXPECT_EQ(base, 17) << "direction " << d;
        DestroyIcon(arrow);
    }
    EXPECT_EQ(CreateArrowIcon(16, 16, 4), nullptr);
}

TEST(Arrows, LooksAndPalettesOfAMonochromeIcon) {
    const WKSkin& skin = TestSkin();
    const int s = GetSystemMetrics(SM_CXICON);
    HICON arrow = CreateArrowIcon(16, 16, kArrowRight);
    auto draw = [&](ControlState state, bool alternate, Canvas& c) {
        return DrawSkinIcon(&skin, c.dc(), RECT{0, 0, s, s}, arrow, state, alternate);
    };
    Canvas normal(s, s, kGreen), variant2(s, s, kGreen), pressed(s, s, kGreen), pressedAlt(s, s, kGreen);
    draw(MakeState(1, 0), false, normal);
    draw(MakeState(3, 2), true, variant2);
    draw(MakeState(2, 0), false, pressed);
    draw(MakeState(2, 0), true, pressedAlt);
    const int area = ShapeOf(normal, skin.colors[8]).count;
    EXPECT_GT(area, 50);
    EXPECT_EQ(ShapeOf(variant2, skin.colors[21]).count, area) << "look 3 draws as 1, variant 2, alternate";
    EXPECT_EQ(ShapeOf(pressed, skin.colors[7]).count, area);
    EXPECT_EQ(ShapeOf(pressedAlt, skin.colors[18]).count, area);

    // Disabled: the light shape one pixel down and right, the shadow shape over it.
    Canvas disabled(s + 1, s + 1, kGreen);
    DrawSkinIcon(&skin, disabled.dc(), RECT{0, 0, s, s}, arrow, MakeState(0, 1), true);
    for (int y = 0; y < s; ++y) {
        for (int x = 0; x < s; ++x) {
            if (normal.at(x, y) == Px(skin.colors[8])) {
                ASSERT_EQ(disabled.at(x, y), Px(skin.colors[4])) << "shadow at " << x << "," << y;
            }
        }
    }
    EXPECT_EQ(ShapeOf(disabled, skin.colors[4]).count, area);
    EXPECT_GT(ShapeOf(disabled, skin.colors[2]).count, 0) << "the light shape shows below and right";
    DestroyIcon(arrow);
    Canvas c(s, s, kGreen);
    EXPECT_EQ(DrawSkinIcon(&skin, c.dc(), RECT{0, 0, s, s}, nullptr, 1, false), 0);
    EXPECT_EQ(c.Count(kGreen), s * s);
}

TEST(Arrows, ColourIconsDrawAsTheyAreUnlessDisabled) {
    const WKSkin& skin = TestSkin();
    const int s = GetSystemMetrics(SM_CXICON);
    // A red square icon with a transparent border of 4 pixels.
    HDC screen = GetDC(nullptr);
    HBITMAP colour = CreateCompatibleBitmap(screen, s, s);
    ReleaseDC(nullptr, screen);
    HBITMAP mask = CreateBitmap(s, s, 1, 1, nullptr);
    {
        Canvas scratch(1, 1, 0);
        HGDIOBJ old = SelectObject(scratch.dc(), colour);
        PatBlt(scratch.dc(), 0, 0, s, s, BLACKNESS);
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        RECT in{4, 4, s - 4, s - 4};
        FillRect(scratch.dc(), &in, red);
        DeleteObject(red);
        SelectObject(scratch.dc(), mask);
        PatBlt(scratch.dc(), 0, 0, s, s, WHITENESS);
        PatBlt(scratch.dc(), 4, 4, s - 8, s - 8, BLACKNESS);
        SelectObject(scratch.dc(), old);
    }
    ICONINFO info{TRUE, 0, 0, mask, colour};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(mask);
    DeleteObject(colour);
    ASSERT_NE(icon, nullptr);
    Canvas normal(s + 1, s + 1, kGreen), disabled(s + 1, s + 1, kGreen);
    EXPECT_EQ(DrawSkinIcon(&skin, normal.dc(), RECT{0, 0, s, s}, icon, MakeState(1, 0), false), 1);
    EXPECT_EQ(normal.Count(RGB(255, 0, 0)), (s - 8) * (s - 8));
    EXPECT_EQ(DrawSkinIcon(&skin, disabled.dc(), RECT{0, 0, s, s}, icon, MakeState(0, 0), false), 1);
    EXPECT_EQ(disabled.Count(RGB(255, 0, 0)), 0);
    EXPECT_EQ(disabled.Count(skin.colors[4]), (s - 8) * (s - 8));
    EXPECT_EQ(disabled.Count(skin.colors[2]), 2 * (s - 8) - 1) << "the light edge below and right";
    DestroyIcon(icon);
}

TEST(Bitmaps, CentredOneToOneAndTheirSizes) {
    // A 4 x 3 bitmap with a distinct colour in each corner.
    Canvas source(4, 3, RGB(10, 20, 30));
    SetPixel(source.dc(), 0, 0, RGB(255, 0, 0));
    SetPixel(source.dc(), 3, 2, RGB(0, 0, 255));
    HBITMAP bitmap = static_cast<HBITMAP>(GetCurrentObject(source.dc(), OBJ_BITMAP));
    SIZE size{};
    GetBitmapSize(bitmap, &size);
    EXPECT_EQ(size.cx, 4);
    EXPECT_EQ(size.cy, 3);
    GetBitmapSize(nullptr, &size);
    EXPECT_EQ(size.cx, 0);
    GetIconSize(nullptr, &size);
    EXPECT_EQ(size.cx, GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(size.cy, GetSystemMetrics(SM_CYICON));

    // Selected into another DC a bitmap cannot be drawn: take a copy.
    HBITMAP copy = static_cast<HBITMAP>(CopyImage(bitmap, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(copy, nullptr);
    Canvas c(12, 10, kGreen);
    EXPECT_EQ(DrawCentredBitmap(&TestSkin(), c.dc(), RECT{0, 0, 11, 10}, copy), 1);
    EXPECT_EQ(c.at(3, 3), Px(RGB(255, 0, 0)));  // ((0 - 4 + 11) / 2, (0 - 3 + 10) / 2)
    EXPECT_EQ(c.at(6, 5), Px(RGB(0, 0, 255)));
    EXPECT_EQ(c.at(2, 3), Px(kGreen));
    EXPECT_EQ(c.Count(kGreen), 120 - 12);
    // Halves truncate toward zero: (-3 - 4 + 6) / 2 is 0, not -1.
    Canvas d(12, 10, kGreen);
    DrawCentredBitmap(&TestSkin(), d.dc(), RECT{-3, 0, 6, 10}, copy);
    EXPECT_EQ(d.at(0, 3), Px(RGB(255, 0, 0)));
    EXPECT_EQ(DrawCentredBitmap(&TestSkin(), d.dc(), RECT{0, 0, 10, 10}, nullptr), 0);
    DeleteObject(copy);
}

TEST(FocusRect, DottedAndTheColoursPutBack) {
    Canvas c(20, 12, RGB(0, 0, 0));
    SetTextColor(c.dc(), RGB(1, 2, 3));
    const RECT r{2, 2, 18, 10};
    DrawSkinFocusRect(c.dc(), &r);
    EXPECT_EQ(GetTextColor(c.dc()), RGB(1, 2, 3));
    const int changed = 20 * 12 - c.Count(RGB(0, 0, 0));
    EXPECT_GT(changed, 10);
    EXPECT_LT(changed, 2 * (16 + 8)) << "dotted, along the border only";
    EXPECT_EQ(c.at(9, 6), 0u);
}

// GDI objects run out: every owner frees what it made before the failure.
class GdiExhaustion : public ::testing::Test {
protected:
    // Takes pens until none can be made; false if the limit is not reached.
    bool Exhaust() {
        for (int i = 0; i < 200000; ++i) {
            HPEN p = CreatePen(PS_SOLID, 0, RGB(i & 255, 0, 0));
            if (!p) return true;
            held_.push_back(p);
        }
        return false;
    }
    void Free(std::size_t n) {
        for (std::size_t i = 0; i < n && !held_.empty(); ++i) {
            DeleteObject(held_.back());
            held_.pop_back();
        }
    }
    // How many more pens can be made (up to `limit`); they are held too.
    int Room(int limit) {
        int n = 0;
        for (; n < limit; ++n) {
            HPEN p = CreatePen(PS_SOLID, 0, 0);
            if (!p) break;
            held_.push_back(p);
        }
        return n;
    }
    void TearDown() override { Free(held_.size()); }
    std::vector<HPEN> held_;
};

TEST_F(GdiExhaustion, Draw3DFrameFreesThePensItMadeBeforeOneFailed) {
    Canvas c(20, 12, kGreen);
    const RECT r{2, 2, 14, 10};
    if (!Exhaust()) GTEST_SKIP() << "no GDI object limit reached";
    Free(2);
    Draw3DFrame(c.dc(), &TestSkin(), &r, false, false);  // two pens made, the third fails
    EXPECT_EQ(c.Count(kGreen), 20 * 12) << "nothing drawn without all four pens";
    EXPECT_EQ(Room(3), 2) << "both pens were given back";
}

TEST_F(GdiExhaustion, CreateArrowIconFailsCleanly) {
    if (!Exhaust()) GTEST_SKIP() << "no GDI object limit reached";
    Free(2);
    EXPECT_EQ(CreateArrowIcon(16, 16, kArrowUp), nullptr);  // bitmap and DC made, the pen fails
    EXPECT_EQ(Room(3), 2) << "the bitmap and the DC were given back";
}

}  // namespace
