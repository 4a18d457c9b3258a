// The bitmap view's window-free rules where they are easy to get wrong: the
// zoom limits and centring, the part shown never leaving the picture,
// degenerate sizes, the client-to-picture mapping against a step-by-step
// model of the system's stretch, zooming about a point, panning.
#include <gtest/gtest.h>

#include <cmath>
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

TEST(BitmapViewLayout, FitsCentresAndLimitsTheZoom) {
    View v = Fitted({400, 300}, {200, 200});
    EXPECT_FLOAT_EQ(v.zoom, 0.5f);
    EXPECT_TRUE(Same(v.destination, {0, 25, 200, 175}));
    EXPECT_TRUE(Same(v.source, {0, 0, 400, 300}));
    ZoomAbout(v, {200, 200}, kClickZoomOut);  // at fit already: stays
    EXPECT_FLOAT_EQ(v.zoom, 0.5f);
    for (int i = 0; i < 8; ++i) ZoomAbout(v, {200, 200}, kClickZoomIn);
    EXPECT_FLOAT_EQ(v.zoom, 16.0f) << "32 x fit at most";

    v.zoom = 1.0f;
    Recalc(v, {200, 200});
    EXPECT_TRUE(Same(v.destination, {0, 0, 200, 200}));
    EXPECT_TRUE(Same(v.source, {100, 50, 300, 250})) << "200 x 200 around the centre (200, 150)";
    // Centres beyond any edge bring the part shown back inside; the centre follows on both sides.
    for (const Point far : {Point{1000, 1000}, Point{-1000, -1000}}) {
        v.centre = far;
        Recalc(v, {200, 200});
        MoveCentre(v, {200, 200}, far.x > 0 ? -1 : 1, 0);
        EXPECT_TRUE(Same(v.source, far.x > 0 ? Rect{199, 100, 399, 300} : Rect{1, 0, 201, 200}))
            << "one key press from beyond an edge moves the view at once";
    }
    // An odd room leaves a column of background, never a half-covered client.
    View odd = Fitted({10, 10}, {21, 10});
    EXPECT_TRUE(Same(odd.destination, {5, 0, 15, 10}));
}

TEST(BitmapViewLayout, DegenerateSizesShowNothingOrAtLeastOnePixel) {
    const Extent empty{0, 0};
    for (const auto& [picture, client] : {std::pair{Extent{0, 0}, Extent{100, 100}}, std::pair{Extent{64, 64}, empty},
                                          std::pair{Extent{64, -3}, Extent{100, 100}}, std::pair{Extent{5, 5}, Extent{0, 40}}}) {
        View v = Fitted(picture, client);
        EXPECT_EQ(v.destination.width(), 0);
        EXPECT_FALSE(ClientToPicture(v, {0, 0}));
        ZoomAbout(v, client, kClickZoomIn, Point{0, 0});
        PanTo(v, client, StartPan(v, {0, 0}), {50, 50});
        EXPECT_EQ(v.source.width(), 0);
    }
    // A 1 x N picture at the highest zoom, a 1 x 1 client, a picture far wider than the room.
    const struct {
        Extent picture, client;
    } cases[] = {{{1, 500}, {200, 200}}, {{640, 480}, {1, 1}}, {{100000, 3}, {7, 300}}, {{1, 1}, {256, 256}}};
    for (const auto& c : cases) {
        View v = Fitted(c.picture, c.client);
        for (int i = 0; i < 12; ++i) {
            ZoomAbout(v, c.client, kClickZoomIn, Point{c.client.cx / 2, c.client.cy / 2});
            ASSERT_GE(v.source.width(), 1);
            ASSERT_GE(v.source.height(), 1);
            ASSERT_GE(v.destination.width(), 1);
            EXPECT_LE(v.destination.width(), c.client.cx);
            EXPECT_TRUE(ClientToPicture(v, {v.destination.left, v.destination.top}));
        }
    }
}

TEST(BitmapViewLayout, StretchedPixelIsWhatTheSystemWasSeenToDraw) {
    // 3 -> 7 repeats 0 0 1 1 1 2 2; 7 -> 3 keeps 1 4 6 across and 0 2 5 down; 5 -> 1 across keeps 3.
    const int up[] = {0, 0, 1, 1, 1, 2, 2}, across[] = {1, 4, 6}, down[] = {0, 2, 5};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(StretchedPixel(i, 3, 7, false), up[i]);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(StretchedPixel(i, 7, 3, false), across[i]);
        EXPECT_EQ(StretchedPixel(i, 7, 3, true), down[i]);
    }
    EXPECT_EQ(StretchedPixel(0, 5, 1, false), 3);
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
            for (int y = 0; y < c.client.cy; ++y)
                for (int x = 0; x < c.client.cx; ++x) {
                    const std::optional<Point> got = ClientToPicture(v, {x, y});
                    const bool drawn = x >= v.destination.left && x < v.destination.right &&
                                       y >= v.destination.top && y < v.destination.bottom;
                    ASSERT_EQ(got.has_value(), drawn) << x << ',' << y << " zoom " << v.zoom;
                    if (!drawn) continue;
                    ASSERT_EQ(got->x, v.source.left + xs[x - v.destination.left]) << x << ',' << y << " zoom " << v.zoom;
                    ASSERT_EQ(got->y, v.source.top + ys[y - v.destination.top]) << x << ',' << y << " zoom " << v.zoom;
                }
            // Odd factors and an off-centre point give uneven scales and parts.
            ZoomAbout(v, c.client, step % 3 == 2 ? 0.61f : 1.37f, Point{c.client.cx / 3, c.client.cy * 2 / 3});
        }
    }
}

TEST(BitmapViewLayout, ZoomKeepsTheClickedPixelUnderThePointer) {
    const Extent client{256, 256};
    // Well inside the picture nothing holds it back: 2x, 4x, 8x from fit keep it on both axes.
    View v = Fitted({640, 480}, client);
    const Point q{150, 120};
    const Point pixel = *ClientToPicture(v, q);
    for (int i = 0; i < 3; ++i) {
        ZoomAbout(v, client, kClickZoomIn, q);
        EXPECT_EQ(ClientToPicture(v, q), pixel) << "zoom " << v.zoom;
    }
    EXPECT_FLOAT_EQ(v.zoom, 8.0f * 0.4f);
    // A point off the picture zooms about the centre.
    View w = Fitted({640, 480}, client);
    const Point centre = w.centre;
    ZoomAbout(w, client, kClickZoomIn, Point{5, 5});
    EXPECT_EQ(w.centre, centre);
}

TEST(BitmapViewLayout, PanFollowsThePointerAndReturnsToItsAnchor) {
    const Extent client{200, 200};
    View v = Fitted({400, 300}, client);
    v.zoom = 2.0f;
    Recalc(v, client);
    const Point centre = v.centre;
    const PanAnchor anchor = StartPan(v, {100, 100});
    PanTo(v, client, anchor, {140, 80});  // right 40, up 20: the picture follows, 20 and 10 picture pixels
    EXPECT_EQ(v.centre, (Point{centre.x - 20, centre.y + 10}));
    PanTo(v, client, anchor, {101, 100});
    PanTo(v, client, anchor, {100, 100});
    EXPECT_EQ(v.centre, centre) << "back at the press point";
    PanTo(v, client, anchor, {-30000, 30000});
    EXPECT_EQ(v.source.right, 400);
    EXPECT_EQ(v.source.top, 0);
    EXPECT_FALSE(PastPanThreshold({10, 10}, {11, 9}));
    EXPECT_TRUE(PastPanThreshold({10, 10}, {10, 12}));
    EXPECT_FALSE(ValidMode(7));
    EXPECT_FALSE(ValidMode(-1));
}

}  // namespace
