// Small raster toolkit of the skin art generator: colours, an RGBA canvas,
// signed-distance shapes with anti-aliased coverage, and bevelled boxes.
// Only + - * / and sqrt are used, so the same source gives the same bytes.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace skingen {

struct Colour {
    double r = 0, g = 0, b = 0;
};

inline Colour FromRef(std::uint32_t ref) {  // COLORREF 0x00BBGGRR
    return {double(ref & 0xFF), double((ref >> 8) & 0xFF), double((ref >> 16) & 0xFF)};
}
inline Colour Rgb(double r, double g, double b) { return {r, g, b}; }
inline Colour Mix(Colour a, Colour b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
inline Colour Scale(Colour a, double k) { return {a.r * k, a.g * k, a.b * k}; }
inline Colour Add(Colour a, Colour b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline double Clamp01(double v) { return v < 0 ? 0 : v > 1 ? 1 : v; }

// RGBA canvas, alpha 0..1 (the skin bitmap ignores it; cursors and icons keep it).
class Canvas {
public:
    Canvas(int w, int h, Colour fill, double alpha = 1.0)
        : w_(w), h_(h), c_(static_cast<std::size_t>(w) * h, fill), a_(static_cast<std::size_t>(w) * h, alpha) {}
    int width() const { return w_; }
    int height() const { return h_; }
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < w_ && y < h_; }
    Colour get(int x, int y) const { return c_[idx(x, y)]; }
    double alpha(int x, int y) const { return a_[idx(x, y)]; }
    void set(int x, int y, Colour c, double alpha = 1.0) {
        if (!inside(x, y)) return;
        c_[idx(x, y)] = c;
        a_[idx(x, y)] = alpha;
    }
    // Paints `c` over the pixel with coverage `k` (0..1).
    void blend(int x, int y, Colour c, double k) {
        if (!inside(x, y) || k <= 0) return;
        k = Clamp01(k);
        const std::size_t i = idx(x, y);
        const double a0 = a_[i], a = k + a0 * (1 - k);
        if (a <= 0) return;
        c_[i] = Add(Scale(c, k / a), Scale(c_[i], a0 * (1 - k) / a));
        a_[i] = a;
    }
    // Copies a rectangle of another canvas here.
    void paste(const Canvas& from, int sx, int sy, int w, int h, int dx, int dy) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) set(dx + x, dy + y, from.get(sx + x, sy + y), from.alpha(sx + x, sy + y));
    }
    std::uint8_t byte(int x, int y, int channel) const {  // 0 r, 1 g, 2 b, 3 a
        const Colour c = get(x, y);
        const double v = channel == 0 ? c.r : channel == 1 ? c.g : channel == 2 ? c.b : alpha(x, y) * 255.0;
        const double r = std::floor(v + 0.5);
        return static_cast<std::uint8_t>(r < 0 ? 0 : r > 255 ? 255 : r);
    }

private:
    std::size_t idx(int x, int y) const { return static_cast<std::size_t>(y) * w_ + x; }
    int w_, h_;
    std::vector<Colour> c_;
    std::vector<double> a_;
};

struct Point {
    double x, y;
};

// Signed distances (negative inside), in pixels.
inline double Length(double x, double y) { return std::sqrt(x * x + y * y); }

inline double RoundRect(Point p, double x0, double y0, double x1, double y1, double r) {
    const double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    const double qx = std::fabs(p.x - cx) - ((x1 - x0) / 2 - r);
    const double qy = std::fabs(p.y - cy) - ((y1 - y0) / 2 - r);
    return Length(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) - r;
}

inline double Circle(Point p, double cx, double cy, double r) { return Length(p.x - cx, p.y - cy) - r; }

// A stroke of half-width `hw` along the segment a-b (round ends).
inline double Segment(Point p, Point a, Point b, double hw) {
    const double px = p.x - a.x, py = p.y - a.y, bx = b.x - a.x, by = b.y - a.y;
    const double h = Clamp01((px * bx + py * by) / (bx * bx + by * by));
    return Length(px - bx * h, py - by * h) - hw;
}

// A convex or concave polygon (points in order).
inline double Polygon(Point p, const std::vector<Point>& v) {
    double d = (p.x - v[0].x) * (p.x - v[0].x) + (p.y - v[0].y) * (p.y - v[0].y);
    double s = 1.0;
    for (std::size_t i = 0, j = v.size() - 1; i < v.size(); j = i, ++i) {
        const double ex = v[j].x - v[i].x, ey = v[j].y - v[i].y;
        const double wx = p.x - v[i].x, wy = p.y - v[i].y;
        const double h = Clamp01((wx * ex + wy * ey) / (ex * ex + ey * ey));
        const double bx = wx - ex * h, by = wy - ey * h;
        d = std::min(d, bx * bx + by * by);
        const bool c1 = p.y >= v[i].y, c2 = p.y < v[j].y, c3 = ex * wy > ey * wx;
        if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) s = -s;
    }
    return s * std::sqrt(d);
}

// Coverage of a pixel by a shape whose distance at the pixel centre is d.
inline double Coverage(double d) { return Clamp01(0.5 - d); }

// Fills a shape given as a distance function over a region of the canvas.
template <typename Shape>
void Fill(Canvas& c, int x0, int y0, int x1, int y1, Colour colour, Shape shape) {
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) c.blend(x, y, colour, Coverage(shape(Point{x + 0.5, y + 0.5})));
}

// A bevelled box: layers of colour from the outside in, one list for the lit
// sides (top, left) and one for the shaded sides (bottom, right); inside the
// layers, the face colour (a function of the row within the box).
struct Bevel {
    std::vector<Colour> top, left, bottom, right;
    double radius = 0;
};

template <typename Face>
void PaintBox(Canvas& c, double x0, double y0, double x1, double y1, const Bevel& bevel, Face face) {
    const int ix0 = static_cast<int>(std::floor(x0)), iy0 = static_cast<int>(std::floor(y0));
    const int ix1 = static_cast<int>(std::ceil(x1)), iy1 = static_cast<int>(std::ceil(y1));
    for (int y = iy0; y < iy1; ++y) {
        for (int x = ix0; x < ix1; ++x) {
            const Point p{x + 0.5, y + 0.5};
            const double d = RoundRect(p, x0, y0, x1, y1, bevel.radius);
            const double k = Coverage(d);
            if (k <= 0) continue;
            const double depth = -d;
            // Which side the pixel belongs to: the nearest one; ties blend.
            const double dist[4] = {p.y - y0, p.x - x0, y1 - p.y, x1 - p.x};
            const std::vector<Colour>* lists[4] = {&bevel.top, &bevel.left, &bevel.bottom, &bevel.right};
            double best = dist[0];
            for (double v : dist) best = std::min(best, v);
            Colour sum{0, 0, 0};
            int n = 0;
            const int layer = depth < 0 ? 0 : static_cast<int>(std::floor(depth));
            for (int s = 0; s < 4; ++s) {
                if (dist[s] - best > 1e-9) continue;
                const std::vector<Colour>& list = *lists[s];
                sum = Add(sum, layer < static_cast<int>(list.size()) ? list[static_cast<std::size_t>(layer)]
                                                                     : face(p.y - y0, y1 - y0));
                ++n;
            }
            c.blend(x, y, Scale(sum, 1.0 / n), k);
        }
    }
}

}  // namespace skingen
