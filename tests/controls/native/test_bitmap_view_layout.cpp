// The bitmap view's window-free rules where they are easy to get wrong: the
// zoom limits and centring, the part shown never leaving the picture,
// degenerate sizes, the client-to-picture mapping against a step-by-step
// model of the system's stretch, zooming about a point, panning.
#include <gtest/gtest.h>

#include <vector>

#include "controls/lists/bitmap_view_layout.h"

namespace {

using namespace kelmard;
using namespace kelmard::bmpview;

View Fitted(Extent picture, Extent client) {
    View v;
    SetPicture(v, picture, client);
    return v;
}
bool Same(const Rect& a, const Rect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The stretch as the system steps through it (an error term per pixel, as a
// line is drawn): for each destination pixel, the source pixel it shows.
std::vector<int> SteppedStretch(int S, int D, bool vertical) {
    std::vector<int> shown(D, -1);
    if (D >= S) {  // one destination pixel per step; the source advances when the error says so
        long long err = 3LL * S - 2LL * D;
        for (int i = 0, s = 0; i < D; ++i) {
            shown[i] = s;
            if (err > 0) ++s, err += 2LL * S - 2LL * D;
            else err += 2LL * S;
        }
        return shown;
    }
    long long err = 3LL * D - 2LL * S;  // one source pixel per step
    for (int s = 0, i = 0; s < S && i < D; ++s) {
        if (!vertical || shown[i] < 0) shown[i] = s;  // across the last one stays, down the first
        if (err > 0) ++i, err += 2LL * D - 2LL * S;
        else err += 2LL * D;
    }
    if (!vertical && D == 1 && S >= 2) shown[0] = S - 2;  // a one-pixel-wide reduction stops one short
    return shown;
}

TEST(BitmapViewLayout, FitsCentresAndLimitsTheZoomAndKeepsThePartShownInside) {
    const Extent client{200, 200};
    View v = Fitted({400, 300}, client);
    EXPECT_TRUE(Same(v.destination, {0, 25, 200, 175}) && Same(v.source, {0, 0, 400, 300}));
    ZoomAbout(v, client, kClickZoomOut);
    EXPECT_FLOAT_EQ(v.zoom, 0.5f) << "at fit already: stays";
    for (int i = 0; i < 8; ++i) ZoomAbout(v, client, kClickZoomIn);
    EXPECT_FLOAT_EQ(v.zoom, 16.0f) << "32 x fit at most";
    v.zoom = 1.0f;
    Recalc(v, client);
    EXPECT_TRUE(Same(v.source, {100, 50, 300, 250})) << "200 x 200 around the centre (200, 150)";
    // One key press from centres beyond any edge moves the view at once, the part shown back inside.
    for (const Point far : {Point{1000, 1000}, Point{-1000, -1000}}) {
        v.centre = far;
        Recalc(v, client);
        MoveCentre(v, client, far.x > 0 ? -1 : 1, 0);
        EXPECT_TRUE(Same(v.source, far.x > 0 ? Rect{199, 100, 399, 300} : Rect{1, 0, 201, 200}));
    }
    EXPECT_TRUE(Same(Fitted({10, 10}, {21, 10}).destination, {5, 0, 15, 10})) << "an odd room: a column of background";
}

TEST(BitmapViewLayout, DegenerateSizesShowNothingOrAtLeastOnePixel) {
    const struct {
        Extent picture, client;
        bool shown;
    } cases[] = {{{0, 0}, {100, 100}, false}, {{64, 64}, {0, 0}, false},     {{64, -3}, {100, 100}, false},
                 {{5, 5}, {0, 40}, false},    {{1, 500}, {200, 200}, true}, {{640, 480}, {1, 1}, true},
                 {{100000, 3}, {7, 300}, true}, {{1, 1}, {256, 256}, true}};
    for (const auto& c : cases) {
        View v = Fitted(c.picture, c.client);
        for (int i = 0; i < 12; ++i) {  // up to the highest zoom, panned as far as it goes
            ZoomAbout(v, c.client, kClickZoomIn, Point{c.client.cx / 2, c.client.cy / 2});
            PanTo(v, c.client, StartPan(v, {0, 0}), {50, 50});
            ASSERT_EQ(v.source.width() >= 1 && v.source.height() >= 1 && v.destination.width() >= 1, c.shown) << i;
            EXPECT_LE(v.destination.width(), std::max(c.client.cx, 0));
            EXPECT_EQ(ClientToPicture(v, {v.destination.left, v.destination.top}).has_value(), c.shown);
        }
    }
}

TEST(BitmapViewLayout, TheStretchIsWhatTheSystemWasSeenToDraw) {
    const struct {
        int source, destination;
        bool vertical;
        std::vector<int> shown;
    } seen[] = {{3, 7, false, {0, 0, 1, 1, 1, 2, 2}}, {7, 3, false, {1, 4, 6}}, {7, 3, true, {0, 2, 5}}, {5, 1, false, {3}}};
    for (const auto& s : seen) {
        EXPECT_EQ(SteppedStretch(s.source, s.destination, s.vertical), s.shown) << "the model";
        for (int i = 0; i < s.destination; ++i) EXPECT_EQ(StretchedPixel(i, s.source, s.destination, s.vertical), s.shown[i]);
    }
}

// Every client pixel of the view, as the stretch draws it, against the mapping.
TEST(BitmapViewLayout, APickAtAnyZoomNamesThePixelDrawnUnderThePointerOnBothAxes) {
    const struct {
        Extent picture, client;
    } cases[] = {{{640, 480}, {256, 256}}, {{37, 53}, {97, 61}}, {{200, 150}, {150, 200}}, {{3, 900}, {40, 41}}};
    for (const auto& c : cases) {
        View v = Fitted(c.picture, c.client);
        for (int step = 0; step < 14; ++step) {
            const std::vector<int> xs = SteppedStretch(v.source.width(), v.destination.width(), false);
            const std::vector<int> ys = SteppedStretch(v.source.height(), v.destination.height(), true);
            const Rect& d = v.destination;
            for (int y = 0; y < c.client.cy; ++y)
                for (int x = 0; x < c.client.cx; ++x) {
                    const std::optional<Point> got = ClientToPicture(v, {x, y});
                    const bool drawn = x >= d.left && x < d.right && y >= d.top && y < d.bottom;
                    ASSERT_EQ(got.has_value(), drawn) << x << ',' << y << " zoom " << v.zoom;
                    ASSERT_TRUE(!drawn || (got->x == v.source.left + xs[x - d.left] && got->y == v.source.top + ys[y - d.top]))
                        << x << ',' << y << " zoom " << v.zoom;
                }
            // Odd factors and an off-centre point give uneven scales and parts.
            ZoomAbout(v, c.client, step % 3 == 2 ? 0.61f : 1.37f, Point{c.client.cx / 3, c.client.cy * 2 / 3});
        }
    }
}

TEST(BitmapViewLayout, ZoomKeepsTheClickedPixelUnderThePointerAndPanFollowsIt) {
    const Extent client{256, 256};
    View v = Fitted({640, 480}, client), offPicture = v;
    const Point q{150, 120}, pixel = *ClientToPicture(v, q);
    for (int i = 0; i < 3; ++i) {  // 2x, 4x, 8x from fit: nothing at the edges holds it back
        ZoomAbout(v, client, kClickZoomIn, q);
        EXPECT_EQ(ClientToPicture(v, q), pixel) << "zoom " << v.zoom;
    }
    ZoomAbout(offPicture, client, kClickZoomIn, Point{5, 5});
    EXPECT_EQ(offPicture.centre, Fitted({640, 480}, client).centre) << "a point off the picture zooms about the centre";
    // At 2x: right 40, up 20 client pixels move the picture 20 and 10 picture pixels with the pointer.
    View p = Fitted({400, 300}, client);
    p.zoom = 2.0f;
    Recalc(p, client);
    const Point centre = p.centre;
    const PanAnchor anchor = StartPan(p, {100, 100});
    PanTo(p, client, anchor, {140, 80});
    EXPECT_EQ(p.centre, (Point{centre.x - 20, centre.y + 10}));
    PanTo(p, client, anchor, {101, 100});
    PanTo(p, client, anchor, {100, 100});
    EXPECT_EQ(p.centre, centre) << "back at the press point";
    PanTo(p, client, anchor, {-30000, 30000});
    EXPECT_TRUE(p.source.right == 400 && p.source.top == 0) << "held at the picture's corner";
}

}  // namespace
