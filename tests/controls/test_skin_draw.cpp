// The skin and the drawing primitives, drawn into memory DCs and checked
// against the skin art pixel by pixel where the result is exact. (The demo's
// skin step draws every piece into its gallery picture.)
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "controls/framework/draw.h"
#include "kelmard.h"
#include "owners/win32_owners.h"
#include "support.h"

namespace {

using namespace kelmard;
using ctl_test::CountIn;
using ctl_test::DiffersFromSkin;

const COLORREF kGreen = RGB(0, 200, 0);
std::uint32_t Px(COLORREF c) { return kpicture::FromColorRef(c); }

const WKSkin& TestSkin() {
    WKSkin& skin = SharedSkin();
    if (!skin.brushes[0]) LoadSkin(GetModuleHandleA("KELMARD.DLL"));
    return skin;
}
COLORREF Colour(skin::SkinColor c) { return TestSkin().colors[c]; }

// A 32-bit DIB section in a memory DC, filled with one colour.
class Surface {
public:
    Surface(int w, int h, COLORREF fill = kGreen, HFONT font = nullptr)
        : w_(w), h_(h), dc_(CreateCompatibleDC(nullptr)), bitmap_(Dib(w, h)), selected_(dc_.get(), bitmap_.get()),
          font_(dc_.get(), font) {
        const UniqueBrush brush(CreateSolidBrush(fill));
        const RECT all{0, 0, w, h};
        FillRect(dc_.get(), &all, brush.get());
    }
    HDC dc() const { return dc_.get(); }
    kpicture::Image Shot() const {
        GdiFlush();
        return kpicture::CaptureDC(dc_.get(), 0, 0, w_, h_);
    }
    int Count(COLORREF c) const { return kpicture::CountColour(Shot(), Px(c)); }

private:
    static HBITMAP Dib(int w, int h) {
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof bi.bmiHeader, w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        return CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    }
    int w_, h_;
    UniqueMemoryDC dc_;
    UniqueBitmap bitmap_;
    SelectGuard selected_, font_;
};

// The w x h block at (x, y) is the skin's at (sx, sy), or with `stretch` along
// x (1) or y (2) the skin's first column or row repeated.
void ExpectStretched(const kpicture::Image& p, int x, int y, int sx, int sy, int w, int h, const char* what, int stretch) {
    const kpicture::Image& art = ctl_test::SkinArt();
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
            ASSERT_EQ(p.rgb(x + i, y + j), art.rgb(sx + (stretch == 1 ? 0 : i), sy + (stretch == 2 ? 0 : j)))
                << what << " at " << i << "," << j;
}

TEST(Skin, ColoursThroughTheExports) {
    for (int outside : {-1, static_cast<int>(skin::kColorCount), 0x7FFFFFFF})
        EXPECT_EQ(WKGetColor(outside), skin::kColors[0]) << outside;
    EXPECT_EQ(WKGetSysColor(COLOR_BTNFACE), skin::kColors[skin::kFaceColor]);
    for (int i : {COLOR_WINDOWTEXT, COLOR_WINDOWFRAME, 25, -1}) EXPECT_EQ(WKGetSysColor(i), GetSysColor(i)) << i;
}

TEST(Skin, LoadsItsArtFromTheLibraryAndFreesIt) {
    WKSkin s{};
    LoadSkin(s, GetModuleHandleA("KELMARD.DLL"));
    ASSERT_NE(s.dialogIcon, nullptr);
    const HBITMAP bitmap = s.frames[0].bitmap;
    const HBRUSH brush = s.brushes[skin::kHighlightBrush];
    FreeSkin(s);
    BITMAP bm{};
    LOGBRUSH lb{};
    EXPECT_EQ(GetObjectA(bitmap, sizeof bm, &bm), 0) << "the bitmap is deleted";
    EXPECT_EQ(GetObjectA(brush, sizeof lb, &lb), 0) << "the brushes are deleted";
    EXPECT_EQ(s.dialogIcon, nullptr);
    FreeSkin(s);  // a second free finds nothing to free
}

TEST(DrawSkinFrame, CornersOneToOneEdgesStretchedSidesByMask) {
    const SkinFrame& f = TestSkin().frames[skin::kClientEdgeFrame];
    const int e = f.edge, fx = f.x, fy = f.y;
    const RECT r{5, 5, 45, 35};
    Surface all(60, 40), top(60, 40);
    EXPECT_EQ(DrawSkinFrame(all.dc(), &r, &f, kAllSides), 1);
    DrawSkinFrame(top.dc(), &r, &f, kSideTop);
    const kpicture::Image a = all.Shot(), t = top.Shot();
    for (const kpicture::Image* p : {&a, &t}) {
        EXPECT_EQ(DiffersFromSkin(*p, 5, 5, fx, fy, e, e), 0) << "top-left";
        EXPECT_EQ(DiffersFromSkin(*p, 45 - e, 5, fx + e, fy, e, e), 0) << "top-right";
        ExpectStretched(*p, 5 + e, 5, fx + 2 * e, fy, 40 - 2 * e, e, "top", 1);
    }
    ExpectStretched(a, 5, 5 + e, fx + 3 * e, fy, e, 30 - 2 * e, "left", 2);
    EXPECT_EQ(a.rgb(25, 20), Px(kGreen)) << "the inside is not painted";
    EXPECT_EQ(CountIn(t, kGreen, 0, 5 + e, 60, 40), 60 * (35 - e)) << "only the top side";

    // One pixel wide with 2-pixel corners: no room for the top and bottom
    // edges, which would otherwise come out mirrored beyond the corners.
    Surface thin(40, 40);
    const RECT one{10, 10, 11, 30};
    DrawSkinFrame(thin.dc(), &one, &f, kAllSides);
    const kpicture::Image p = thin.Shot();
    EXPECT_EQ(CountIn(p, kGreen, 0, 0, 9, 40) + CountIn(p, kGreen, 12, 0, 40, 40), 9 * 40 + 28 * 40);
    EXPECT_EQ(DiffersFromSkin(p, 9, 10, fx + e, fy, 2, 2), 0) << "top-right over top-left";
}

TEST(DrawSkinFace, TheCellOfTheLookAndVariantOrNothing) {
    const WKSkin& s = TestSkin();
    // A framed face: the cell's frame goes round, the face fills the inside.
    const skin::SpritePlace& pp = skin::kSprites[skin::kPushSprite];
    Surface push(40, 24);
    ASSERT_EQ(DrawSkinFace(push.dc(), &s.sprites[skin::kPushSprite], RECT{0, 0, 35, 19}, MakeState(kPressedLook, 1)), 1);
    const int cx = pp.x + pp.columnStep, cy = pp.y + 2 * pp.rowStep, e = pp.edge;
    EXPECT_EQ(DiffersFromSkin(push.Shot(), e, e, cx + 4 * e, cy, 35 - 2 * e, 19 - 2 * e), 0) << "face";
    EXPECT_EQ(DiffersFromSkin(push.Shot(), 35 - e, 19 - e, cx + e, cy + e, e, e), 0) << "bottom-right corner";

    // Two 3-pixel edges do not fit in 5 pixels; no sprite, no bitmap: nothing.
    Surface none(20, 20);
    SkinSprite noBitmap = s.sprites[skin::kPushSprite];
    noBitmap.bitmap = nullptr;
    EXPECT_EQ(DrawSkinFace(none.dc(), &s.sprites[skin::kArrowButtonSprite], RECT{0, 0, 5, 16}, kNormalLook), 0);
    EXPECT_EQ(DrawSkinFace(none.dc(), nullptr, RECT{0, 0, 16, 16}, kNormalLook), 0);
    EXPECT_EQ(DrawSkinFace(none.dc(), &noBitmap, RECT{0, 0, 16, 16}, kNormalLook), 0);
    EXPECT_EQ(none.Count(kGreen), 400);
}

TEST(Draw3DFrame, PressedSwapsTheLightAndDarkSidesAndBandsFillTheEdges) {
    const WKSkin& s = TestSkin();
    for (bool alternate : {false, true}) {
        std::uint32_t sides[2][4];  // raised, pressed: outer top-left, inner top-left, inner bottom-right, outer bottom-right
        for (bool pressed : {false, true}) {
            Surface c(20, 12);
            const RECT r{2, 2, 14, 10};
            Draw3DFrame(c.dc(), &s, &r, pressed, alternate);
            const kpicture::Image p = c.Shot();
            // The outer light line runs from the bottom left to the top right.
            EXPECT_EQ(p.rgb(2, 9), p.rgb(13, 2));
            const std::uint32_t got[4] = {p.rgb(2, 9), p.rgb(3, 5), p.rgb(12, 5), p.rgb(13, 9)};
            std::copy(got, got + 4, sides[pressed]);
            EXPECT_EQ(p.rgb(8, 5), Px(kGreen)) << "the inside is left";
            EXPECT_EQ(CountIn(p, kGreen, 14, 0, 20, 12) + CountIn(p, kGreen, 0, 10, 14, 12), 6 * 12 + 14 * 2);
        }
        const int o = alternate ? skin::kAlternateColorOffset : 0;
        EXPECT_EQ(sides[0][0], Px(s.colors[skin::kHighlightColor + o])) << "raised: light at the top left";
        EXPECT_EQ(sides[0][3], Px(s.colors[skin::kDarkShadowColor + o]));
        for (int i = 0; i < 4; ++i) EXPECT_EQ(sides[1][i], sides[0][3 - i]) << alternate << " line " << i;
    }
    Surface bands(20, 14);
    const UniqueBrush red(CreateSolidBrush(RGB(255, 0, 0)));
    const RECT r{2, 2, 18, 12};
    FillFrameBands(bands.dc(), &r, 3, red.get());
    const kpicture::Image p = bands.Shot();
    EXPECT_EQ(CountIn(p, RGB(255, 0, 0), 0, 0, 20, 14), 16 * 10 - 10 * 4);
    EXPECT_EQ(CountIn(p, kGreen, 5, 5, 15, 9), 40) << "the inside is left";
}

// Text in a large, bold, unsmoothed font, so that stroke pixels have the exact colour.
struct TextSurface : Surface {
    static HFONT Font() {
        static const UniqueFont f(
            CreateFontA(-28, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0, "Tahoma"));
        return f.get();
    }
    TextSurface() : Surface(80, 40, kGreen, Font()) {}
    int Draw(ControlState state, bool alternate, const char* text = "MW") {
        return DrawSkinText(&TestSkin(), dc(), RECT{4, 2, 76, 38}, text, -1, DT_SINGLELINE | DT_CENTER | DT_VCENTER,
                            state, alternate);
    }
};

TEST(DrawSkinText, ColoursByLookVariantAndPaletteOnATransparentBackground) {
    using namespace skin;
    struct Case {
        unsigned look, variant;
        bool alternate;
        SkinColor colour;
    } cases[] = {{kNormalLook, 2, true, kAlternateTextVariant2Color}, {kPressedLook, 1, false, kPressedTextColor},
                 {3, 1, true, kAlternateTextVariant1Color}};
    for (const Case& k : cases) {
        TextSurface c;
        SetBkMode(c.dc(), OPAQUE);
        EXPECT_EQ(c.Draw(MakeState(k.look, k.variant), k.alternate), 1);
        EXPECT_GT(c.Count(Colour(k.colour)), 40) << k.look << "," << k.variant << "," << k.alternate;
        EXPECT_EQ(c.Count(Colour(k.colour)) + c.Count(kGreen), 80 * 40) << "one colour only, transparent";
    }
    // Disabled: embossed in either palette, the light shape one pixel down and right.
    TextSurface normal, alternate, none;
    normal.Draw(MakeState(kDisabledLook, 2), false);
    alternate.Draw(MakeState(kDisabledLook, 2), true);
    const kpicture::Image p = normal.Shot();
    EXPECT_EQ(p.pixels, alternate.Shot().pixels);
    EXPECT_GT(normal.Count(Colour(kShadowColor)), 40) << "the shadow shape";
    int light = 0;
    for (int y = 1; y < 40; ++y)
        for (int x = 1; x < 80; ++x)
            if (p.rgb(x, y) == Px(Colour(kLightColor))) {
                EXPECT_NE(p.rgb(x - 1, y - 1), Px(kGreen)) << x << "," << y;
                ++light;
            }
    EXPECT_GT(light, 5);
    EXPECT_EQ(none.Draw(kNormalLook, false, nullptr), 0);
    EXPECT_EQ(none.Count(kGreen), 80 * 40);
}

TEST(Arrows, TrianglesPointTheirWayInTheColourOfTheLook) {
    const int n = GetSystemMetrics(SM_CXICON);
    const COLORREF tint = Colour(skin::kAlternateTextColor);  // normal look, variant 0, alternate palette
    for (int d = kArrowUp; d <= kArrowRight; ++d) {
        const UniqueIcon arrow(CreateArrowIcon(16, 16, d));
        ASSERT_TRUE(arrow);
        Surface c(n, n);
        EXPECT_EQ(DrawSkinIcon(&TestSkin(), c.dc(), RECT{0, 0, n, n}, arrow.get(), MakeState(kNormalLook, 0), true), 1);
        const kpicture::Image p = c.Shot();
        EXPECT_EQ(CountIn(p, tint, 0, 0, n, n) + CountIn(p, kGreen, 0, 0, n, n), n * n) << "the rest is transparent";
        // The base is 17 pixels long, the tip at most 3, on the side the arrow points to.
        const bool vertical = d == kArrowUp || d == kArrowDown;
        auto line = [&](int at) { return vertical ? CountIn(p, tint, 0, at, n, at + 1) : CountIn(p, tint, at, 0, at + 1, n); };
        std::vector<int> lines;
        for (int at = 0; at < n; ++at)
            if (line(at)) lines.push_back(line(at));
        ASSERT_EQ(lines.size(), 9u) << d;
        const bool towardStart = d == kArrowUp || d == kArrowLeft;
        EXPECT_LE(towardStart ? lines.front() : lines.back(), 3) << d;
        EXPECT_EQ(towardStart ? lines.back() : lines.front(), 17) << d;
    }
    EXPECT_EQ(CreateArrowIcon(16, 16, kArrowRight + 1), nullptr);
    Surface c(n, n);
    EXPECT_EQ(DrawSkinIcon(&TestSkin(), c.dc(), RECT{0, 0, n, n}, nullptr, kNormalLook, false), 0);
}

TEST(Bitmaps, CentredOneToOneTruncatingTowardZero) {
    // A 4 x 3 bitmap with a distinct colour in two corners.
    UniqueBitmap bitmap;
    {
        WindowDC screen(nullptr);
        bitmap.reset(CreateCompatibleBitmap(screen.get(), 4, 3));
        const UniqueMemoryDC dc(CreateCompatibleDC(nullptr));
        SelectGuard selected(dc.get(), bitmap.get());
        PatBlt(dc.get(), 0, 0, 4, 3, BLACKNESS);
        SetPixel(dc.get(), 0, 0, RGB(255, 0, 0));
        SetPixel(dc.get(), 3, 2, RGB(0, 0, 255));
    }
    Surface c(12, 10), d(12, 10);
    EXPECT_EQ(DrawCentredBitmap(&TestSkin(), c.dc(), RECT{0, 0, 11, 10}, bitmap.get()), 1);
    const kpicture::Image p = c.Shot();
    EXPECT_EQ(p.rgb(3, 3), Px(RGB(255, 0, 0)));  // ((0 - 4 + 11) / 2, (0 - 3 + 10) / 2)
    EXPECT_EQ(p.rgb(6, 5), Px(RGB(0, 0, 255)));
    EXPECT_EQ(c.Count(kGreen), 120 - 12);
    // (-3 - 4 + 6) / 2 is 0, not -1.
    DrawCentredBitmap(&TestSkin(), d.dc(), RECT{-3, 0, 6, 10}, bitmap.get());
    EXPECT_EQ(d.Shot().rgb(0, 3), Px(RGB(255, 0, 0)));
    EXPECT_EQ(DrawCentredBitmap(&TestSkin(), d.dc(), RECT{0, 0, 10, 10}, nullptr), 0);

    Surface f(20, 12, RGB(0, 0, 0));
    const RECT r{2, 2, 18, 10};
    DrawSkinFocusRect(f.dc(), &r);
    const int changed = 20 * 12 - f.Count(RGB(0, 0, 0));
    EXPECT_GT(changed, 10);
    EXPECT_LT(changed, 2 * (16 + 8)) << "dotted, along the border only";
}

// GDI objects run out: every owner frees what it made before the failure.
class GdiExhaustion : public ::testing::Test {
protected:
    // Takes pens until none can be made, then gives `back` of them back.
    bool Exhaust(std::size_t back) {
        for (int i = 0; i < 200000; ++i) {
            UniquePen p(CreatePen(PS_SOLID, 0, RGB(i & 255, 0, 0)));
            if (!p) {
                held_.resize(held_.size() - back);
                return true;
            }
            held_.push_back(std::move(p));
        }
        return false;
    }
    // How many more pens can be made (up to `limit`); they are held too.
    int Room(int limit) {
        int n = 0;
        for (UniquePen p; n < limit && (p = UniquePen(CreatePen(PS_SOLID, 0, 0))); ++n) held_.push_back(std::move(p));
        return n;
    }
    std::vector<UniquePen> held_;
};

TEST_F(GdiExhaustion, OwnersGiveBackWhatTheyMadeBeforeAFailure) {
    Surface c(20, 12);
    const RECT r{2, 2, 14, 10};
    if (!Exhaust(2)) GTEST_SKIP() << "no GDI object limit reached";
    Draw3DFrame(c.dc(), &TestSkin(), &r, false, false);  // two pens made, the third fails
    EXPECT_EQ(c.Count(kGreen), 20 * 12) << "nothing drawn without all four pens";
    EXPECT_EQ(Room(3), 2) << "both pens were given back";
    held_.resize(held_.size() - 2);
    EXPECT_EQ(CreateArrowIcon(16, 16, kArrowUp), nullptr);  // bitmap and DC made, the pen fails
    EXPECT_EQ(Room(3), 2) << "the bitmap and the DC were given back";
}

}  // namespace
