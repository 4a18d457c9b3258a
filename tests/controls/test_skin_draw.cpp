// The skin and the drawing primitives, drawn into memory DCs and checked
// against the skin art pixel by pixel where the result is exact.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "controls/framework/draw.h"
#include "kelmard.h"
#include "support.h"

namespace {

using namespace kelmard;
using ctl_test::CountIn;
using ctl_test::SkinArt;

const COLORREF kGreen = RGB(0, 200, 0);
std::uint32_t Px(COLORREF c) { return kpicture::FromColorRef(c); }

const WKSkin& TestSkin() {
    WKSkin& skin = SharedSkin();
    if (!skin.brushes[0]) LoadSkin(GetModuleHandleA("KELMARD.DLL"));
    return skin;
}

// A 32-bit DIB section in a memory DC, filled with one colour; pictures of it
// come from the picture tool.
class Surface {
public:
    Surface(int w, int h, COLORREF fill = kGreen, HFONT font = nullptr) : w_(w), h_(h) {
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof bi.bmiHeader, w, -h, 1, 32};
        void* bits = nullptr;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        if (font) SelectObject(dc_, font);
        HBRUSH b = CreateSolidBrush(fill);
        RECT all{0, 0, w, h};
        FillRect(dc_, &all, b);
        DeleteObject(b);
    }
    ~Surface() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    kpicture::Image Shot() const {
        GdiFlush();
        return kpicture::CaptureDC(dc_, 0, 0, w_, h_);
    }
    int Count(COLORREF c) const { return kpicture::CountColour(Shot(), Px(c)); }

private:
    int w_, h_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

// Expects the w x h block of the picture at (x, y) to be the skin's at (sx, sy);
// with `stretch` along x (1) or y (2), the skin's first column or row repeated.
void ExpectSkin(const kpicture::Image& p, int x, int y, int sx, int sy, int w, int h, const char* what,
                int stretch = 0) {
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
            ASSERT_EQ(p.rgb(x + i, y + j), SkinArt().rgb(sx + (stretch == 1 ? 0 : i), sy + (stretch == 2 ? 0 : j)))
                << what << " at " << i << "," << j;
}

TEST(Skin, ColoursThroughTheExports) {
    EXPECT_EQ(WKGetColor(20), skin::kColors[20]);
    for (int outside : {-1, static_cast<int>(skin::kColorCount), 0x7FFFFFFF}) EXPECT_EQ(WKGetColor(outside), skin::kColors[0]) << outside;
    EXPECT_EQ(WKGetSysColor(COLOR_BTNFACE), skin::kColors[1]);
    for (int i : {COLOR_WINDOWTEXT, COLOR_WINDOWFRAME, 25, -1}) EXPECT_EQ(WKGetSysColor(i), GetSysColor(i)) << i;
}

TEST(Skin, LoadsItsArtFromTheLibraryAndFreesIt) {
    WKSkin s{};
    LoadSkin(s, GetModuleHandleA("KELMARD.DLL"));
    DIBSECTION ds{};
    ASSERT_EQ(GetObjectA(s.frames[0].bitmap, sizeof ds, &ds), static_cast<int>(sizeof ds)) << "a DIB section";
    for (const SkinSprite& sp : s.sprites) EXPECT_EQ(sp.bitmap, s.frames[0].bitmap);
    ASSERT_NE(s.dialogIcon, nullptr);
    const HBITMAP bitmap = s.frames[0].bitmap;
    const HBRUSH brush = s.brushes[3];
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
        ExpectSkin(*p, 5, 5, fx, fy, e, e, "top-left");
        ExpectSkin(*p, 45 - e, 5, fx + e, fy, e, e, "top-right");
        ExpectSkin(*p, 5 + e, 5, fx + 2 * e, fy, 40 - 2 * e, e, "top", 1);
    }
    ExpectSkin(a, 45 - e, 35 - e, fx + e, fy + e, e, e, "bottom-right");
    ExpectSkin(a, 5, 5 + e, fx + 3 * e, fy, e, 30 - 2 * e, "left", 2);
    EXPECT_EQ(a.rgb(25, 20), Px(kGreen)) << "the inside is not painted";
    EXPECT_EQ(a.rgb(45, 35), Px(kGreen));
    EXPECT_EQ(CountIn(t, kGreen, 0, 5 + e, 60, 40), 60 * (35 - e)) << "only the top side";
    EXPECT_EQ(GetStretchBltMode(all.dc()), BLACKONWHITE) << "the stretch mode is put back";

    // One pixel wide with 2-pixel corners: no room for the top and bottom
    // edges, which would otherwise come out mirrored beyond the corners.
    Surface thin(40, 40);
    const RECT one{10, 10, 11, 30};
    DrawSkinFrame(thin.dc(), &one, &f, kAllSides);
    const kpicture::Image p = thin.Shot();
    EXPECT_EQ(CountIn(p, kGreen, 0, 0, 9, 40) + CountIn(p, kGreen, 12, 0, 40, 40), 9 * 40 + 28 * 40);
    ExpectSkin(p, 9, 10, fx + e, fy, 2, 2, "top-right over top-left");
}

TEST(DrawSkinFace, TheCellOfTheLookAndVariantOrNothing) {
    const WKSkin& s = TestSkin();
    const SkinSprite& check = s.sprites[skin::kCheckSprite];
    const skin::SpritePlace& cp = skin::kSprites[skin::kCheckSprite];
    for (unsigned look = 0; look < 3; ++look)
        for (unsigned variant = 0; variant < 3; ++variant) {
            Surface c(20, 20);
            ASSERT_EQ(DrawSkinFace(c.dc(), &check, RECT{2, 3, 17, 18}, MakeState(look, variant)), 1);
            ExpectSkin(c.Shot(), 2, 3, cp.x + cp.columnStep * int(variant), cp.y + cp.rowStep * int(look), 15, 15, "cell");
        }
    // A framed face: the cell's frame goes round, the face fills the inside.
    const skin::SpritePlace& pp = skin::kSprites[skin::kPushSprite];
    Surface push(40, 24);
    ASSERT_EQ(DrawSkinFace(push.dc(), &s.sprites[skin::kPushSprite], RECT{0, 0, 35, 19}, MakeState(2, 1)), 1);
    const int cx = pp.x + pp.columnStep, cy = pp.y + 2 * pp.rowStep, e = pp.edge;
    const kpicture::Image p = push.Shot();
    ExpectSkin(p, e, e, cx + 4 * e, cy, 35 - 2 * e, 19 - 2 * e, "face");
    ExpectSkin(p, 35 - e, 19 - e, cx + e, cy + e, e, e, "bottom-right corner");

    // Two 3-pixel edges do not fit in 5 pixels; no sprite, no bitmap: nothing.
    Surface none(20, 20);
    SkinSprite noBitmap = s.sprites[skin::kPushSprite];
    noBitmap.bitmap = nullptr;
    EXPECT_EQ(DrawSkinFace(none.dc(), &s.sprites[skin::kArrowButtonSprite], RECT{0, 0, 5, 16}, 1), 0);
    EXPECT_EQ(DrawSkinFace(none.dc(), nullptr, RECT{0, 0, 16, 16}, 1), 0);
    EXPECT_EQ(DrawSkinFace(none.dc(), &noBitmap, RECT{0, 0, 16, 16}, 1), 0);
    EXPECT_EQ(none.Count(kGreen), 400);
}

TEST(Draw3DFrame, BevelsAndBands) {
    const WKSkin& s = TestSkin();
    struct Case {
        bool pressed, alternate;
        int outerTL, innerTL, innerBR, outerBR;
    } cases[] = {{false, false, 3, 2, 4, 5}, {true, false, 5, 4, 2, 3}, {false, true, 14, 13, 15, 16}, {true, true, 16, 15, 13, 14}};
    for (const Case& k : cases) {
        Surface c(20, 12);
        const RECT r{2, 2, 14, 10};
        Draw3DFrame(c.dc(), &s, &r, k.pressed, k.alternate);
        const kpicture::Image p = c.Shot();
        const COLORREF* col = s.colors;
        // The outer light line runs from the bottom left to the top right.
        const std::uint32_t got[] = {p.rgb(2, 9), p.rgb(13, 2), p.rgb(3, 5), p.rgb(12, 5), p.rgb(13, 9), p.rgb(8, 5)};
        const COLORREF want[] = {col[k.outerTL], col[k.outerTL], col[k.innerTL], col[k.innerBR], col[k.outerBR], kGreen};
        for (int n = 0; n < 6; ++n) EXPECT_EQ(got[n], Px(want[n])) << "point " << n;
        EXPECT_EQ(CountIn(p, kGreen, 14, 0, 20, 12) + CountIn(p, kGreen, 0, 10, 14, 12), 6 * 12 + 14 * 2);
        EXPECT_EQ(GetCurrentObject(c.dc(), OBJ_PEN), GetStockObject(BLACK_PEN)) << "the pen is put back";
    }
    Surface bands(20, 14);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    const RECT r{2, 2, 18, 12};
    FillFrameBands(bands.dc(), &r, 3, red);
    DeleteObject(red);
    const kpicture::Image p = bands.Shot();
    EXPECT_EQ(CountIn(p, RGB(255, 0, 0), 0, 0, 20, 14), 16 * 10 - 10 * 4);
    EXPECT_EQ(CountIn(p, kGreen, 5, 5, 15, 9), 40) << "the inside is left";
}

// Text in a large, bold, unsmoothed font, so that stroke pixels have the exact colour.
struct TextSurface : Surface {
    static HFONT Font() {
        static const HFONT f =
            CreateFontA(-28, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0, "Tahoma");
        return f;
    }
    TextSurface() : Surface(80, 40, kGreen, Font()) {}
    int Draw(ControlState state, bool alternate, const char* text = "MW") {
        return DrawSkinText(&TestSkin(), dc(), RECT{4, 2, 76, 38}, text, -1, DT_SINGLELINE | DT_CENTER | DT_VCENTER,
                            state, alternate);
    }
};

TEST(DrawSkinText, ColoursByLookVariantAndPalette) {
    const COLORREF* col = TestSkin().colors;
    struct Case {
        unsigned look, variant;
        bool alternate;
        int colour;
    } cases[] = {{1, 0, false, 8}, {1, 0, true, 19}, {1, 1, true, 20}, {1, 2, true, 21},
                 {2, 1, false, 7}, {2, 1, true, 18}, {3, 1, true, 20}};
    for (const Case& k : cases) {
        TextSurface c;
        SetTextColor(c.dc(), RGB(1, 2, 3));
        SetBkMode(c.dc(), OPAQUE);
        EXPECT_EQ(c.Draw(MakeState(k.look, k.variant), k.alternate), 1);
        EXPECT_GT(c.Count(col[k.colour]), 40) << k.look << "," << k.variant << "," << k.alternate;
        EXPECT_EQ(c.Count(col[k.colour]) + c.Count(kGreen), 80 * 40) << "one colour only, transparent";
        EXPECT_EQ(GetTextColor(c.dc()), RGB(1, 2, 3)) << "the text colour is put back";
        EXPECT_EQ(GetBkMode(c.dc()), OPAQUE) << "the background mode is put back";
    }
    // Disabled: embossed in either palette, the light shape one pixel down and right.
    TextSurface normal, alternate, none;
    normal.Draw(MakeState(0, 2), false);
    alternate.Draw(MakeState(0, 2), true);
    const kpicture::Image p = normal.Shot();
    EXPECT_EQ(p.pixels, alternate.Shot().pixels);
    EXPECT_GT(normal.Count(col[4]), 40) << "the shadow shape";
    int light = 0;
    for (int y = 1; y < 40; ++y)
        for (int x = 1; x < 80; ++x)
            if (p.rgb(x, y) == Px(col[2])) {
                EXPECT_NE(p.rgb(x - 1, y - 1), Px(kGreen)) << x << "," << y;
                ++light;
            }
    EXPECT_GT(light, 5);
    EXPECT_EQ(none.Draw(1, false, nullptr), 0);
    EXPECT_EQ(none.Count(kGreen), 80 * 40);
}

// The bounding box of a colour's pixels and their count.
struct Shape {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1, count = 0;
};
Shape ShapeOf(const kpicture::Image& p, COLORREF colour) {
    Shape s;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (p.rgb(x, y) == Px(colour)) {
                s.left = std::min(s.left, x), s.right = std::max(s.right, x);
                s.top = std::min(s.top, y), s.bottom = std::max(s.bottom, y);
                ++s.count;
            }
    return s;
}

TEST(Arrows, TrianglesPointTheirWayInTheColoursOfTheLook) {
    const WKSkin& s = TestSkin();
    const int n = GetSystemMetrics(SM_CXICON);
    const COLORREF tint = s.colors[19];  // normal look, variant 0, alternate palette
    for (int d = 0; d < 4; ++d) {
        HICON arrow = CreateArrowIcon(16, 16, d);
        ASSERT_NE(arrow, nullptr);
        Surface c(n, n);
        EXPECT_EQ(DrawSkinIcon(&s, c.dc(), RECT{0, 0, n, n}, arrow, MakeState(1, 0), true), 1);
        const kpicture::Image p = c.Shot();
        const Shape t = ShapeOf(p, tint);
        const bool vertical = d == kArrowUp || d == kArrowDown;
        EXPECT_EQ(t.right - t.left, vertical ? 16 : 8) << d;
        EXPECT_EQ(t.bottom - t.top, vertical ? 8 : 16) << d;
        EXPECT_EQ(t.count + CountIn(p, kGreen, 0, 0, n, n), n * n) << "the rest is transparent";
        // The base is 17 pixels long, the tip at most 3, on the side the arrow points to.
        const int tip = d == kArrowUp ? t.top : d == kArrowDown ? t.bottom : d == kArrowLeft ? t.left : t.right;
        const int base = d == kArrowUp ? t.bottom : d == kArrowDown ? t.top : d == kArrowLeft ? t.right : t.left;
        auto line = [&](int at) { return vertical ? CountIn(p, tint, 0, at, n, at + 1) : CountIn(p, tint, at, 0, at + 1, n); };
        EXPECT_LE(line(tip), 3) << d;
        EXPECT_EQ(line(base), 17) << d;

        // Other looks: pressed in both palettes; disabled embossed with the shadow over the shape.
        const struct {
            unsigned look;
            bool alternate;
            int colour;
        } looks[] = {{2, false, 7}, {2, true, 18}, {0, true, 4}};
        for (const auto& l : looks) {
            Surface o(n + 1, n + 1);
            DrawSkinIcon(&s, o.dc(), RECT{0, 0, n, n}, arrow, MakeState(l.look, 0), l.alternate);
            EXPECT_EQ(ShapeOf(o.Shot(), s.colors[l.colour]).count, t.count) << d << " look " << l.look;
            if (l.look == 0) {
                EXPECT_GT(ShapeOf(o.Shot(), s.colors[2]).count, 0) << "the light shape below and right";
            }
        }
        DestroyIcon(arrow);
    }
    EXPECT_EQ(CreateArrowIcon(16, 16, 4), nullptr);
    Surface c(n, n);
    EXPECT_EQ(DrawSkinIcon(&s, c.dc(), RECT{0, 0, n, n}, nullptr, 1, false), 0);
}

TEST(Bitmaps, CentredOneToOneTruncatingTowardZero) {
    // A 4 x 3 bitmap with a distinct colour in two corners.
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 4, 3);
    ReleaseDC(nullptr, screen);
    {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, bitmap);
        PatBlt(dc, 0, 0, 4, 3, BLACKNESS);
        SetPixel(dc, 0, 0, RGB(255, 0, 0));
        SetPixel(dc, 3, 2, RGB(0, 0, 255));
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    SIZE size{};
    GetBitmapSize(bitmap, &size);
    EXPECT_EQ(size.cx, 4);
    EXPECT_EQ(size.cy, 3);
    GetBitmapSize(nullptr, &size);
    EXPECT_EQ(size.cx, 0) << "an unreadable bitmap measures 0";
    Surface c(12, 10), d(12, 10);
    EXPECT_EQ(DrawCentredBitmap(&TestSkin(), c.dc(), RECT{0, 0, 11, 10}, bitmap), 1);
    const kpicture::Image p = c.Shot();
    EXPECT_EQ(p.rgb(3, 3), Px(RGB(255, 0, 0)));  // ((0 - 4 + 11) / 2, (0 - 3 + 10) / 2)
    EXPECT_EQ(p.rgb(6, 5), Px(RGB(0, 0, 255)));
    EXPECT_EQ(c.Count(kGreen), 120 - 12);
    // (-3 - 4 + 6) / 2 is 0, not -1.
    DrawCentredBitmap(&TestSkin(), d.dc(), RECT{-3, 0, 6, 10}, bitmap);
    EXPECT_EQ(d.Shot().rgb(0, 3), Px(RGB(255, 0, 0)));
    EXPECT_EQ(DrawCentredBitmap(&TestSkin(), d.dc(), RECT{0, 0, 10, 10}, nullptr), 0);
    DeleteObject(bitmap);

    Surface f(20, 12, RGB(0, 0, 0));
    SetTextColor(f.dc(), RGB(1, 2, 3));
    const RECT r{2, 2, 18, 10};
    DrawSkinFocusRect(f.dc(), &r);
    EXPECT_EQ(GetTextColor(f.dc()), RGB(1, 2, 3)) << "the focus rectangle puts the colours back";
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
            HPEN p = CreatePen(PS_SOLID, 0, RGB(i & 255, 0, 0));
            if (!p) {
                for (std::size_t k = 0; k < back; ++k, held_.pop_back()) DeleteObject(held_.back());
                return true;
            }
            held_.push_back(p);
        }
        return false;
    }
    // How many more pens can be made (up to `limit`); they are held too.
    int Room(int limit) {
        int n = 0;
        for (HPEN p; n < limit && (p = CreatePen(PS_SOLID, 0, 0)); ++n) held_.push_back(p);
        return n;
    }
    void TearDown() override {
        for (HPEN p : held_) DeleteObject(p);
    }
    std::vector<HPEN> held_;
};

TEST_F(GdiExhaustion, OwnersGiveBackWhatTheyMadeBeforeAFailure) {
    Surface c(20, 12);
    const RECT r{2, 2, 14, 10};
    if (!Exhaust(2)) GTEST_SKIP() << "no GDI object limit reached";
    Draw3DFrame(c.dc(), &TestSkin(), &r, false, false);  // two pens made, the third fails
    EXPECT_EQ(c.Count(kGreen), 20 * 12) << "nothing drawn without all four pens";
    EXPECT_EQ(Room(3), 2) << "both pens were given back";
    for (int k = 0; k < 2; ++k, held_.pop_back()) DeleteObject(held_.back());
    EXPECT_EQ(CreateArrowIcon(16, 16, kArrowUp), nullptr);  // bitmap and DC made, the pen fails
    EXPECT_EQ(Room(3), 2) << "the bitmap and the DC were given back";
}

}  // namespace
