// Skin art generator: paints the library's skin bitmap, its four cursors and
// the dialog icon from code, at the places the skin layout gives, and writes
// them as BMP, CUR and ICO files for the resource compiler.
//
//   kelmard-skingen <output folder>
//
// The design: dialog faces in the palette's olive grey, every control that
// can be pushed or dragged (buttons, thumbs, arrow buttons, the 3D ball) in
// the slate blue of the alternate palette, edit fields in the pale field
// colour, and the pale yellow of the "on" text as the only highlight.
// The output is committed in res/; a native test checks that it matches.
#include <cstdio>
#include <string>
#include <vector>

#include "art.h"
#include "controls/framework/skin_layout.h"

namespace skingen {
namespace {

namespace sk = kelmard::skin;

// The palette.
const Colour kField = FromRef(sk::kColors[sk::kFieldColor]);
const Colour kFace = FromRef(sk::kColors[sk::kFaceColor]);
const Colour kLight = FromRef(sk::kColors[sk::kLightColor]);
const Colour kHigh = FromRef(sk::kColors[sk::kHighlightColor]);
const Colour kShadow = FromRef(sk::kColors[sk::kShadowColor]);
const Colour kDark = FromRef(sk::kColors[sk::kDarkShadowColor]);
const Colour kAltFace = FromRef(sk::kColors[sk::kAlternateFaceColor]);
const Colour kAltLight = FromRef(sk::kColors[sk::kAlternateLightColor]);
const Colour kAltHigh = FromRef(sk::kColors[sk::kAlternateHighlightColor]);
const Colour kAltDark = FromRef(sk::kColors[sk::kAlternateDarkShadowColor]);
const Colour kCaption = FromRef(sk::kColors[sk::kCaptionColor]);
const Colour kAccent = FromRef(sk::kColors[sk::kAlternateTextVariant1Color]);  // pale yellow
const Colour kWhite = Rgb(255, 255, 255);
const Colour kBlack = Rgb(0, 0, 0);

// ---------------------------------------------------------------- frames

// Cuts a frame block (4e x 2e) out of a box painted 3e x 3e.
void PutFrame(Canvas& skin, int x, int y, int e, const Bevel& bevel, Colour outside, Colour inside) {
    Canvas box(3 * e, 3 * e, outside);
    PaintBox(box, 0, 0, 3 * e, 3 * e, bevel, [&](double, double) { return inside; });
    skin.paste(box, 0, 0, e, e, x, y);                    // top-left
    skin.paste(box, 2 * e, 0, e, e, x + e, y);            // top-right
    skin.paste(box, e, 0, e, e, x + 2 * e, y);            // top edge
    skin.paste(box, 0, e, e, e, x + 3 * e, y);            // left edge
    skin.paste(box, 0, 2 * e, e, e, x, y + e);            // bottom-left
    skin.paste(box, 2 * e, 2 * e, e, e, x + e, y + e);    // bottom-right
    skin.paste(box, e, 2 * e, e, e, x + 2 * e, y + e);    // bottom edge
    skin.paste(box, 2 * e, e, e, e, x + 3 * e, y + e);    // right edge
}

Bevel Sides(std::vector<Colour> lit, std::vector<Colour> shade, double radius = 0) {
    Bevel b;
    b.top = lit;
    b.left = lit;
    b.bottom = shade;
    b.right = shade;
    b.radius = radius;
    return b;
}

void PaintFrames(Canvas& skin) {
    const auto& f = sk::kFrames;
    // F0 group box: an etched line, dark then light, on the face.
    {
        const Colour etchDark = Mix(kFace, kShadow, 0.85), etchLight = Mix(kFace, kHigh, 0.8);
        PutFrame(skin, f[0].x, f[0].y, f[0].edge, Sides({etchDark, etchLight, kFace}, {etchLight, etchDark, kFace}),
                 kFace, kFace);
    }
    // F1 client edge: a sunken 2-pixel border around fields.
    PutFrame(skin, f[1].x, f[1].y, f[1].edge,
             Sides({kShadow, Mix(kShadow, kAltDark, 0.55)}, {Mix(kFace, kHigh, 0.75), Mix(kField, kLight, 0.5)}),
             kFace, kField);
    // F2 thick window frame and F4 caption frame: a dark outline, the caption
    // colour with a soft lit line, and a sunken step down to the client.
    const Colour frameLit = Mix(kCaption, kHigh, 0.32), frameShade = Mix(kCaption, kDark, 0.28);
    PutFrame(skin, f[2].x, f[2].y, f[2].edge,
             Sides({kAltDark, frameLit, kCaption, kCaption, kCaption, Mix(kCaption, kDark, 0.35), kShadow},
                   {kAltDark, frameShade, kCaption, kCaption, kCaption, Mix(kCaption, kHigh, 0.25), kLight}),
             kCaption, kFace);
    PutFrame(skin, f[4].x, f[4].y, f[4].edge,
             Sides({kAltDark, frameLit, kCaption, kCaption, kCaption, kCaption, kCaption},
                   {kAltDark, frameShade, kCaption, kCaption, kCaption, kCaption, kCaption}),
             kCaption, kCaption);
    // F3 inset panel: the frame's colours outside, a sunken step into the
    // slate panel; its right and bottom sides stand in the dialog's face.
    PutFrame(skin, f[3].x, f[3].y, f[3].edge,
             Sides({kAltDark, frameLit, kCaption, kCaption, kCaption, Mix(kCaption, kDark, 0.45), kAltDark},
                   {kFace, kFace, kFace, kFace, Mix(kFace, kShadow, 0.5), Mix(kFace, kHigh, 0.7), kAltHigh}),
             kCaption, kAltFace);
    // F5 caption, inner thin frame: a faint groove around the title area.
    PutFrame(skin, f[5].x, f[5].y, f[5].edge,
             Sides({Mix(kCaption, kDark, 0.3), Mix(kCaption, kDark, 0.1)},
                   {Mix(kCaption, kHigh, 0.3), Mix(kCaption, kHigh, 0.1)}),
             kCaption, kCaption);
}

// ---------------------------------------------------------------- push faces

struct Look {
    Colour outline, lit, shade, face, faceTop, faceBottom;
};

// Looks of the push face: k = 0 disabled, 1 normal, 2 pressed; v = 0 off,
// 1 on (latched), 2 indeterminate; ring for the default button.
Look PushLook(int k, int v) {
    Look l;
    if (k == 0) {
        l.outline = Mix(kShadow, kFace, 0.15);
        l.lit = Mix(kFace, kHigh, 0.35);
        l.shade = Mix(kFace, kShadow, 0.45);
        l.face = kFace;
        if (v == 1) std::swap(l.lit, l.shade);
        if (v != 0) l.face = Mix(kFace, kShadow, v == 1 ? 0.22 : 0.11);
    } else {
        l.outline = kAltDark;
        if (k == 1 && v == 0) {
            l.face = kAltFace;
            l.lit = Mix(kAltFace, kAltHigh, 0.5);
            l.shade = Mix(kAltFace, kAltDark, 0.5);
        } else if (v == 2) {  // indeterminate: a pale face, so the variant's dark text reads
            l.face = k == 2 ? Mix(kAltHigh, kAltLight, 0.35) : Mix(kAltHigh, kField, 0.3);
            l.lit = k == 2 ? Mix(l.face, kAltDark, 0.35) : Mix(l.face, kWhite, 0.45);
            l.shade = k == 2 ? Mix(l.face, kWhite, 0.3) : Mix(l.face, kAltDark, 0.3);
        } else if (k == 1) {  // latched: sunken, deeper, with a pale line below
            l.face = Mix(kAltFace, kAltDark, 0.35);
            l.lit = Mix(kAltFace, kAltDark, 0.7);
            l.shade = Mix(kAltFace, kAccent, 0.55);
        } else {  // pressed
            l.face = Mix(kAltFace, kAltDark, v == 1 ? 0.5 : 0.3);
            l.lit = Mix(kAltFace, kAltDark, 0.8);
            l.shade = Mix(kAltFace, kAltLight, 0.35);
        }
    }
    const bool sunken = k == 2 || v == 1;
    const double g = k == 0 ? 3 : 7;
    l.faceTop = Add(l.face, sunken ? Rgb(-g / 2, -g / 2, -g / 2) : Rgb(g, g, g));
    l.faceBottom = Add(l.face, sunken ? Rgb(g / 2, g / 2, g / 2) : Rgb(-g / 2, -g / 2, -g / 2));
    return l;
}

void PaintPushSprite(Canvas& skin, const sk::SpritePlace& s, bool defaultRing) {
    const int e = s.edge;
    for (int k = 0; k < sk::kLooks; ++k) {
        for (int v = 0; v < s.variants; ++v) {
            const int cx = s.x + s.columnStep * v, cy = s.y + s.rowStep * k;
            const Look l = PushLook(k, v);
            Colour ring = l.lit, ringShade = l.shade;
            if (defaultRing) {
                ring = k == 0 ? Mix(kShadow, kFace, 0.35) : k == 2 ? Mix(kAltHigh, kAltFace, 0.3) : kAltHigh;
                ringShade = ring;
            }
            Bevel b = Sides({l.outline, ring, defaultRing ? l.lit : l.face},
                            {l.outline, ringShade, defaultRing ? l.shade : l.face}, 2.6);
            // The frame pieces: corners rounded over the dialog face.
            PutFrame(skin, cx, cy, e, b, kFace, l.face);
            // Whatever the frame block leaves below it in the cell: face colour.
            for (int y = 2 * e; y < s.rowStep; ++y)
                for (int x = 0; x < 4 * e; ++x) skin.set(cx + x, cy + y, kFace);
            // The face: a soft vertical gradient.
            for (int y = 0; y < s.faceHeight; ++y) {
                const Colour c = Mix(l.faceTop, l.faceBottom, (y + 0.5) / s.faceHeight);
                for (int x = 0; x < s.faceWidth; ++x) skin.set(cx + 4 * e + x, cy + y, c);
            }
        }
    }
}

// ---------------------------------------------------------------- check, radio

void PaintCheckSprite(Canvas& skin, const sk::SpritePlace& s) {
    for (int k = 0; k < sk::kLooks; ++k) {
        for (int v = 0; v < s.variants; ++v) {
            const int cx = s.x + s.columnStep * v, cy = s.y + s.rowStep * k;
            Canvas cell(s.faceWidth, s.faceHeight, kFace);
            const Colour fill = k == 0 ? Mix(kFace, kField, 0.3) : k == 2 ? Mix(kField, kAltHigh, 0.45) : kField;
            const Colour outline = k == 0 ? Mix(kShadow, kFace, 0.2) : Mix(kShadow, kAltDark, 0.6);
            const Colour mark = k == 0 ? kShadow : k == 2 ? kAltDark : kAltFace;
            Bevel b = Sides({outline, Mix(fill, kShadow, 0.3)}, {outline, fill}, 2.2);
            PaintBox(cell, 1, 1, 14, 14, b, [&](double y, double h) {
                return Mix(Add(fill, Rgb(-6, -6, -6)), Add(fill, Rgb(4, 4, 4)), y / h);
            });
            if (v == 1) {
                Fill(cell, 0, 0, 15, 15, mark, [](Point p) {
                    return std::min(Segment(p, {4.2, 7.6}, {6.6, 10.1}, 1.05), Segment(p, {6.6, 10.1}, {10.9, 4.6}, 1.05));
                });
            } else if (v == 2) {
                Fill(cell, 0, 0, 15, 15, Mix(mark, fill, 0.25), [](Point p) { return RoundRect(p, 4.5, 4.5, 10.5, 10.5, 1.2); });
            }
            skin.paste(cell, 0, 0, s.faceWidth, s.faceHeight, cx, cy);
        }
    }
}

void PaintRadioSprite(Canvas& skin, const sk::SpritePlace& s) {
    for (int k = 0; k < sk::kLooks; ++k) {
        for (int v = 0; v < s.variants; ++v) {
            const int cx = s.x + s.columnStep * v, cy = s.y + s.rowStep * k;
            Canvas cell(s.faceWidth, s.faceHeight, kFace);
            const Colour fill = k == 0 ? Mix(kFace, kField, 0.3) : k == 2 ? Mix(kField, kAltHigh, 0.45) : kField;
            const Colour outline = k == 0 ? Mix(kShadow, kFace, 0.2) : Mix(kShadow, kAltDark, 0.6);
            const Colour mark = k == 0 ? kShadow : k == 2 ? kAltDark : kAltFace;
            const double c = 8.0;
            Fill(cell, 0, 0, 16, 16, outline, [&](Point p) { return Circle(p, c, c, 6.6); });
            // A sunken well: darker at the top.
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x) {
                    const Point p{x + 0.5, y + 0.5};
                    const Colour well = Mix(Mix(fill, kShadow, 0.3), fill, Clamp01((p.y - 3.0) / 4.0));
                    cell.blend(x, y, well, Coverage(Circle(p, c, c, 5.6)));
                }
            if (v == 1) Fill(cell, 0, 0, 16, 16, mark, [&](Point p) { return Circle(p, c, c, 2.7); });
            if (v == 2) Fill(cell, 0, 0, 16, 16, Mix(mark, fill, 0.45), [&](Point p) { return Circle(p, c, c, 2.7); });
            skin.paste(cell, 0, 0, 16, 16, cx, cy);
        }
    }
}

// ---------------------------------------------------------------- caption buttons

// Glyph of caption button variant v (S5: 0 close, 1 minimise, 2 maximise,
// 3 restore; S6: 4 help) as a distance function in a 15 x 15 cell.
double CaptionGlyph(int v, Point p) {
    switch (v) {
    case 0:
        return std::min(Segment(p, {4.6, 4.6}, {10.4, 10.4}, 0.95), Segment(p, {10.4, 4.6}, {4.6, 10.4}, 0.95));
    case 1:
        return Segment(p, {4.5, 10.0}, {10.5, 10.0}, 1.0);
    case 2: {
        const double outer = RoundRect(p, 3.5, 3.5, 11.5, 11.5, 0.5);
        const double inner = RoundRect(p, 4.7, 6.0, 10.3, 10.3, 0.2);
        return std::max(outer, -inner);
    }
    case 3: {
        const double back = std::max(RoundRect(p, 5.5, 3.0, 12.0, 9.5, 0.4), -RoundRect(p, 6.6, 5.0, 10.9, 8.4, 0.1));
        const double frontOuter = RoundRect(p, 3.0, 5.5, 9.5, 12.0, 0.4);
        const double front = std::max(frontOuter, -RoundRect(p, 4.1, 7.5, 8.4, 10.9, 0.1));
        return std::min(std::max(back, -frontOuter), front);
    }
    default: {  // help: a question mark
        const double cx = 7.5, cy = 5.6, r = 2.6;
        double arc = std::fabs(Length(p.x - cx, p.y - cy) - r) - 0.95;
        if (p.y > cy + 0.3 && p.x < cx) arc = 1e9;  // open at the lower left
        const double stem = Segment(p, {cx + 1.4, cy + 2.4}, {cx, cy + 3.8}, 0.95);
        const double stem2 = Segment(p, {cx, cy + 3.8}, {cx, cy + 4.6}, 0.95);
        const double dot = Circle(p, cx, 11.9, 1.05);
        return std::min(std::min(arc, stem), std::min(stem2, dot));
    }
    }
}

void PaintCaptionButtons(Canvas& skin, const sk::SpritePlace& s, int firstGlyph) {
    for (int k = 0; k < sk::kLooks; ++k) {
        for (int v = 0; v < s.variants; ++v) {
            const int cx = s.x + s.columnStep * v, cy = s.y + s.rowStep * k;
            Canvas cell(15, 15, kCaption);
            const Look l = PushLook(k, 0);
            const Colour face = k == 0 ? Mix(kCaption, kFace, 0.35) : l.face;
            const Colour outline = k == 0 ? Mix(kCaption, kDark, 0.3) : kAltDark;
            const Colour lit = k == 0 ? Mix(face, kHigh, 0.25) : l.lit;
            const Colour shade = k == 0 ? Mix(face, kDark, 0.15) : l.shade;
            PaintBox(cell, 0.5, 0.5, 14.5, 14.5, Sides({outline, lit}, {outline, shade}, 2.4),
                     [&](double y, double h) { return Mix(Add(face, Rgb(6, 6, 6)), Add(face, Rgb(-4, -4, -4)), y / h); });
            const Colour glyph = k == 0 ? Mix(kShadow, kCaption, 0.2) : k == 2 ? kWhite : kField;
            const int g = firstGlyph + v;
            const double shift = k == 2 ? 0.6 : 0.0;
            Fill(cell, 0, 0, 15, 15, glyph, [&](Point p) { return CaptionGlyph(g, {p.x - shift, p.y - shift}); });
            skin.paste(cell, 0, 0, 15, 15, cx, cy);
        }
    }
}

// ---------------------------------------------------------------- thumbs

// Paints a thumb strip: along the channel (horizontal strips left to right,
// vertical ones top to bottom). Everything is drawn in "along, across"
// coordinates and transposed for vertical strips.
class StripPainter {
public:
    StripPainter(Canvas& skin, const sk::ThumbPlace& t) : skin_(skin), t_(t) {}
    // A piece of `along` x thickness, painted by `paint` into a canvas laid
    // out horizontally, then placed at `offset` along the strip, row `row`.
    template <typename Paint>
    void piece(int offset, int along, int row, Paint paint) {
        Canvas c(along, t_.thickness, kFace);
        paint(c);
        for (int a = 0; a < along; ++a)
            for (int b = 0; b < t_.thickness; ++b) {
                const int x = t_.vertical ? t_.x + b : t_.x + offset + a;
                const int y = t_.vertical ? t_.y + offset + a : t_.y + row * t_.thickness + b;
                skin_.set(x, y, c.get(a, b));
            }
    }

private:
    Canvas& skin_;
    const sk::ThumbPlace& t_;
};

// The channel: a dark slate slot across the middle of the thickness.
struct Slot {
    double top, bottom;  // across
};
Slot SlotFor(int thickness) {
    const double mid = thickness / 2.0, half = thickness >= 20 ? 3.0 : 2.5;
    return {mid - half, mid + half};
}

void PaintChannel(Canvas& c, double a0, double a1, Slot slot, Colour inside) {
    Bevel b = Sides({Mix(kShadow, kDark, 0.25), Mix(inside, kDark, 0.35)}, {Mix(kFace, kHigh, 0.8), inside}, 2.0);
    PaintBox(c, a0, slot.top, a1, slot.bottom, b, [&](double, double) { return inside; });
}

// A knob across the whole thickness; `point` is 0 for a plain knob, +1 for a
// range start thumb (a notch pointing along the channel), -1 for an end thumb.
void PaintKnob(Canvas& c, int k, int point) {
    const double len = c.width(), th = c.height();
    const Look l = PushLook(k, 0);
    Colour face = k == 2 ? Mix(kAltFace, kAltLight, 0.35) : l.face;
    Colour lit = k == 2 ? Mix(kAltFace, kAltHigh, 0.7) : l.lit;
    Colour shade = k == 2 ? Mix(kAltFace, kAltDark, 0.4) : l.shade;
    PaintBox(c, 0.5, 0.5, len - 0.5, th - 0.5, Sides({l.outline, lit}, {l.outline, shade}, len >= 16 ? 3.0 : 2.2),
             [&](double y, double h) { return Mix(Add(face, Rgb(8, 8, 8)), Add(face, Rgb(-6, -6, -6)), y / h); });
    const Colour grip = k == 0 ? Mix(kShadow, kFace, 0.3) : k == 2 ? kAccent : Mix(kAltHigh, kField, 0.3);
    const Colour groove = k == 0 ? Mix(kFace, kHigh, 0.4) : kAltDark;
    const double mid = len / 2.0, m = th / 2.0;
    if (point == 0) {
        // Three engraved grip lines across the knob.
        const int lines = len >= 16 ? 3 : 2;
        for (int i = 0; i < lines; ++i) {
            const double x = mid + (i - (lines - 1) / 2.0) * 3.0;
            Fill(c, 0, 0, c.width(), c.height(), groove, [&](Point p) { return Segment(p, {x - 0.5, m - th * 0.22}, {x - 0.5, m + th * 0.22}, 0.5); });
            Fill(c, 0, 0, c.width(), c.height(), grip, [&](Point p) { return Segment(p, {x + 0.5, m - th * 0.22}, {x + 0.5, m + th * 0.22}, 0.5); });
        }
    } else {
        // A small triangle pointing into the selection.
        const double tip = point > 0 ? len - 3.2 : 3.2, base = point > 0 ? 3.6 : len - 3.6, h = th * 0.2;
        Fill(c, 0, 0, c.width(), c.height(), grip, [&](Point p) {
            return Polygon(p, {{base, m - h}, {tip, m}, {base, m + h}});
        });
    }
}

void PaintThumbStrip(Canvas& skin, const sk::ThumbPlace& t) {
    StripPainter strip(skin, t);
    const Slot slot = SlotFor(t.thickness);
    const Colour slotInside = Mix(kAltFace, kAltDark, 0.35);
    // Row 1 (and the only row of slider strips).
    for (int k = 0; k < 3; ++k)
        strip.piece(k * t.length, t.length, 0, [&](Canvas& c) { PaintKnob(c, k, t.twoRows ? 1 : 0); });
    // The caps and the middle: one channel painted 2 caps + 1 long, cut up.
    const int capsAt = 3 * t.length;
    Canvas channel(2 * t.endCap + t.middle, t.thickness, kFace);
    PaintChannel(channel, 1.0, channel.width() - 1.0, slot, slotInside);
    strip.piece(capsAt, t.endCap, 0, [&](Canvas& c) { c.paste(channel, 0, 0, t.endCap, t.thickness, 0, 0); });
    strip.piece(capsAt + t.endCap, t.endCap, 0,
                [&](Canvas& c) { c.paste(channel, t.endCap + t.middle, 0, t.endCap, t.thickness, 0, 0); });
    strip.piece(capsAt + 2 * t.endCap, t.middle, 0,
                [&](Canvas& c) { c.paste(channel, t.endCap, 0, t.middle, t.thickness, 0, 0); });
    if (!t.twoRows) return;
    // Row 2: end thumbs, and the bar piece at the middle's place: the slot lit
    // with the accent where the selection lies.
    for (int k = 0; k < 3; ++k)
        strip.piece(k * t.length, t.length, 1, [&](Canvas& c) { PaintKnob(c, k, -1); });
    strip.piece(capsAt, 2 * t.endCap, 1, [](Canvas&) {});
    Canvas bar(2 * t.endCap + t.middle, t.thickness, kFace);
    PaintChannel(bar, -4.0, bar.width() + 4.0, {slot.top - 1, slot.bottom + 1}, Mix(kAltLight, kAccent, 0.45));
    strip.piece(capsAt + 2 * t.endCap, t.middle, 1,
                [&](Canvas& c) { c.paste(bar, t.endCap, 0, t.middle, t.thickness, 0, 0); });
}

// ---------------------------------------------------------------- 3D angle element

// The colours of one look of the ball (0 disabled, 1 normal, 2 pressed).
struct BallLook {
    int k;
    Colour base, deep, sheen, ringBase;
};

BallLook BallLookOf(int k) {
    return {k, k == 0 ? Mix(kFace, kShadow, 0.45) : k == 2 ? Mix(kAltFace, kAltLight, 0.3) : kAltFace,
            k == 0 ? Mix(kShadow, kDark, 0.2) : kAltDark, k == 0 ? Mix(kFace, kHigh, 0.5) : k == 2 ? kAccent : kAltHigh,
            k == 0 ? Mix(kFace, kShadow, 0.2) : k == 2 ? Mix(kCaption, kAltLight, 0.5) : kCaption};
}

// Light from the upper left, a little in front.
constexpr double kLightX = -0.46, kLightY = -0.58, kLightZ = 0.67;

// The ball of one look: a sphere inside a rounded ring between ri and ro
// about the centre pixel c, lit from kLight.
Canvas PaintBall(const BallLook& look, int cell, double ri, double ro, double c) {
    const double lx = kLightX, ly = kLightY, lz = kLightZ;
    Canvas ball(cell, cell, kFace);
    for (int y = 0; y < cell; ++y) {
        for (int x = 0; x < cell; ++x) {
            const double px = x + 0.5 - c, py = y + 0.5 - c, r = Length(px, py);
            // The ring: a rounded band between ri and ro.
            const double ringD = std::fabs(r - (ri + ro) / 2.0) - (ro - ri) / 2.0;
            if (Coverage(ringD) > 0 && r > ri - 1) {
                const double across = Clamp01((r - ri) / (ro - ri)) * 2.0 - 1.0;  // -1 inner .. 1 outer
                const double nz = std::sqrt(std::max(0.0, 1.0 - across * across * 0.7));
                const double nx = r > 0 ? px / r * across * 0.84 : 0, ny = r > 0 ? py / r * across * 0.84 : 0;
                const double lit = Clamp01(nx * lx + ny * ly + nz * lz);
                Colour col = Mix(Mix(look.ringBase, kDark, 0.35), Mix(look.ringBase, kHigh, 0.45), lit);
                // A fine outline at both borders.
                const double edge = std::min(std::fabs(r - ri), std::fabs(r - ro));
                col = Mix(col, kAltDark, Clamp01(1.0 - edge) * 0.7);
                ball.blend(x, y, col, Coverage(ringD));
            }
            // The sphere.
            const double sd = r - (ri - 0.5);
            if (Coverage(sd) > 0) {
                const double rr = ri - 0.5;
                const double nx = px / rr, ny = py / rr, nz2 = 1.0 - nx * nx - ny * ny;
                const double nz = nz2 > 0 ? std::sqrt(nz2) : 0.0;
                const double diff = Clamp01(nx * lx + ny * ly + nz * lz);
                // Half vector of the light and the viewer (0, 0, 1).
                double hx = lx, hy = ly, hz = lz + 1.0;
                const double hl = Length(Length(hx, hy), hz);
                hx /= hl, hy /= hl, hz /= hl;
                double s = Clamp01(nx * hx + ny * hy + nz * hz);
                for (int i = 0; i < 5; ++i) s *= s;  // s^32
                Colour col = Mix(look.deep, Mix(look.base, kAltHigh, look.k == 0 ? 0.0 : 0.25), 0.25 + 0.75 * diff);
                col = Mix(col, look.sheen, s * 0.8);
                // A soft rim towards the ring.
                col = Mix(col, look.deep, Clamp01((r - (rr - 2.5)) / 2.5) * 0.5);
                ball.blend(x, y, col, Coverage(sd));
            }
        }
    }
    return ball;
}

// The right strip (strip x cell) and the bottom strip (cell x strip) of look
// k: a sunken slot over the tick band and along the track.
void PaintAngleStrips(Canvas& skin, int k, int cell, int strip, int tick0, int tick1, int track0, int track1) {
    const int top = k * cell;
    const Colour slotInside = k == 0 ? Mix(kFace, kShadow, 0.35) : k == 2 ? Mix(kAltFace, kAltLight, 0.25) : Mix(kAltFace, kAltDark, 0.3);
    Canvas right(strip, cell, kFace);
    Bevel b = Sides({Mix(kShadow, kDark, 0.25), Mix(slotInside, kDark, 0.3)}, {Mix(kFace, kHigh, 0.8), slotInside}, 2.0);
    PaintBox(right, tick0 - 1, track0 - 3, tick1 + 1, track1 + 3, b, [&](double, double) { return slotInside; });
    skin.paste(right, 0, 0, strip, cell, cell, top);
    Canvas bottom(cell, strip, kFace);
    PaintBox(bottom, track0 - 3, tick0 - 1, track1 + 3, tick1 + 1, b, [&](double, double) { return slotInside; });
    skin.paste(bottom, 0, 0, cell, strip, 0, 3 * cell + k * strip);
}

void PaintAngleElement(Canvas& skin) {
    const int* n = sk::kAngleNumbers;
    const int cell = n[2];                       // 90
    const int strip = n[0] - n[2];              // 20
    const double ro = (n[4] + n[3]) / 2.0;       // 43
    const double ri = (n[4] - n[3]) / 2.0;       // 32
    const double c = ro + 0.5;                   // centre pixel 43
    const int tick0 = n[5] - n[2], tick1 = n[6] - n[2];  // 3..11 across the strips
    const int track0 = n[7], track1 = n[8];               // 11..74 along them
    for (int k = 0; k < sk::kLooks; ++k) {
        skin.paste(PaintBall(BallLookOf(k), cell, ri, ro, c), 0, 0, cell, cell, 0, k * cell);
        PaintAngleStrips(skin, k, cell, strip, tick0, tick1, track0, track1);
    }
}

// ---------------------------------------------------------------- files

void Put16(std::vector<unsigned char>& b, unsigned v) {
    b.push_back(static_cast<unsigned char>(v & 0xFF));
    b.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
}
void Put32(std::vector<unsigned char>& b, unsigned v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

bool WriteFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

// 24-bit bottom-up BMP file.
std::vector<unsigned char> Bmp24(const Canvas& c) {
    const unsigned row = (static_cast<unsigned>(c.width()) * 3 + 3) & ~3u;
    const unsigned image = row * static_cast<unsigned>(c.height());
    std::vector<unsigned char> b;
    b.push_back('B');
    b.push_back('M');
    Put32(b, 14 + 40 + image);
    Put32(b, 0);
    Put32(b, 14 + 40);
    Put32(b, 40);
    Put32(b, static_cast<unsigned>(c.width()));
    Put32(b, static_cast<unsigned>(c.height()));
    Put16(b, 1);
    Put16(b, 24);
    Put32(b, 0);  // BI_RGB
    Put32(b, image);
    Put32(b, 2835);
    Put32(b, 2835);
    Put32(b, 0);
    Put32(b, 0);
    for (int y = c.height() - 1; y >= 0; --y) {
        unsigned n = 0;
        for (int x = 0; x < c.width(); ++x, n += 3) {
            b.push_back(c.byte(x, y, 2));
            b.push_back(c.byte(x, y, 1));
            b.push_back(c.byte(x, y, 0));
        }
        for (; n < row; ++n) b.push_back(0);
    }
    return b;
}

// The image part of an icon or cursor entry: 32-bit colour with alpha and
// the 1-bit AND mask (set where the pixel is transparent).
std::vector<unsigned char> IconImage(const Canvas& c) {
    std::vector<unsigned char> b;
    const unsigned w = static_cast<unsigned>(c.width()), h = static_cast<unsigned>(c.height());
    const unsigned maskRow = ((w + 31) / 32) * 4;
    Put32(b, 40);
    Put32(b, w);
    Put32(b, h * 2);
    Put16(b, 1);
    Put16(b, 32);
    Put32(b, 0);
    Put32(b, w * h * 4 + maskRow * h);
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, 0);
    for (int y = c.height() - 1; y >= 0; --y)
        for (int x = 0; x < c.width(); ++x) {
            const unsigned char a = c.byte(x, y, 3);
            // Colour premultiplied by nothing: straight alpha, zero where invisible.
            b.push_back(a ? c.byte(x, y, 2) : 0);
            b.push_back(a ? c.byte(x, y, 1) : 0);
            b.push_back(a ? c.byte(x, y, 0) : 0);
            b.push_back(a);
        }
    for (int y = c.height() - 1; y >= 0; --y) {
        std::vector<unsigned char> row(maskRow, 0);
        for (int x = 0; x < c.width(); ++x)
            if (c.byte(x, y, 3) < 128) row[static_cast<std::size_t>(x / 8)] |= static_cast<unsigned char>(0x80 >> (x % 8));
        b.insert(b.end(), row.begin(), row.end());
    }
    return b;
}

// ICO (type 1) or CUR (type 2) file with the given images.
std::vector<unsigned char> IconFile(int type, const std::vector<const Canvas*>& images, int hotX = 0, int hotY = 0) {
    std::vector<unsigned char> b;
    Put16(b, 0);
    Put16(b, static_cast<unsigned>(type));
    Put16(b, static_cast<unsigned>(images.size()));
    std::vector<std::vector<unsigned char>> data;
    for (const Canvas* c : images) data.push_back(IconImage(*c));
    unsigned offset = 6 + 16 * static_cast<unsigned>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        b.push_back(static_cast<unsigned char>(images[i]->width() & 0xFF));
        b.push_back(static_cast<unsigned char>(images[i]->height() & 0xFF));
        b.push_back(0);
        b.push_back(0);
        Put16(b, type == 1 ? 1 : static_cast<unsigned>(hotX));
        Put16(b, type == 1 ? 32 : static_cast<unsigned>(hotY));
        Put32(b, static_cast<unsigned>(data[i].size()));
        Put32(b, offset);
        offset += static_cast<unsigned>(data[i].size());
    }
    for (const auto& d : data) b.insert(b.end(), d.begin(), d.end());
    return b;
}

// ---------------------------------------------------------------- cursors, icon

// A cursor shape: white inside, a black outline of 1.3 pixels, transparent outside.
template <typename Shape>
Canvas CursorOf(Shape shape) {
    Canvas c(32, 32, kBlack, 0.0);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const double d = shape(Point{x + 0.5, y + 0.5});
            c.blend(x, y, kBlack, Coverage(d - 1.3));
            c.blend(x, y, kWhite, Coverage(d));
        }
    return c;
}

Canvas MagnifierCursor() {
    Canvas c = CursorOf([](Point p) {
        const double ring = std::fabs(Circle(p, 11.5, 11.5, 7.2)) - 1.3;
        const double handle = Segment(p, {17.2, 17.2}, {26.5, 26.5}, 2.1);
        return std::min(ring, handle);
    });
    // A faint glass in the lens, and the plus of zooming in.
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const Point p{x + 0.5, y + 0.5};
            c.blend(x, y, Mix(kField, kAltHigh, 0.5), Coverage(Circle(p, 11.5, 11.5, 5.9)) * 0.45);
            const double plus = std::min(Segment(p, {8.5, 11.5}, {14.5, 11.5}, 0.8), Segment(p, {11.5, 8.5}, {11.5, 14.5}, 0.8));
            c.blend(x, y, kAltDark, Coverage(plus));
        }
    return c;
}

Canvas HandCursor() {
    return CursorOf([](Point p) {
        double d = RoundRect(p, 9.0, 14.0, 23.5, 27.0, 4.0);  // palm
        const double fingers[4][3] = {{11.0, 7.5, 1.6}, {14.6, 5.0, 1.7}, {18.2, 5.5, 1.7}, {21.6, 8.5, 1.6}};
        for (const auto& f : fingers) d = std::min(d, Segment(p, {f[0], 15.5}, {f[0], f[1]}, f[2]));
        d = std::min(d, Segment(p, {10.0, 21.5}, {5.0, 15.5}, 1.7));  // thumb
        return d;
    });
}

// A double arrow, horizontal (across) or vertical, with a shallow curve that
// hints at turning.
Canvas TurnCursor(bool vertical) {
    return CursorOf([vertical](Point q) {
        const Point p = vertical ? Point{q.y, q.x} : q;
        // Shaft: a gentle arc, y rises towards the middle.
        const double bend = (p.x - 16.0) * (p.x - 16.0) / 80.0;
        const Point s{p.x, p.y - bend};
        const double shaft = Segment(s, {8.0, 16.0}, {24.0, 16.0}, 1.6);
        const double left = Polygon(s, {{2.5, 16.0}, {9.5, 9.5}, {9.5, 22.5}});
        const double right = Polygon(s, {{29.5, 16.0}, {22.5, 22.5}, {22.5, 9.5}});
        return std::min(shaft, std::min(left, right));
    });
}

Canvas DialogIcon(int size) {
    Canvas c(size, size, kBlack, 0.0);
    const double k = size / 32.0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const Point p{(x + 0.5) / k, (y + 0.5) / k};
            // A rounded tile in slate blue, lit from the top.
            const double tile = RoundRect(p, 1.0, 1.0, 31.0, 31.0, 6.0);
            const Colour face = Mix(Mix(kAltFace, kAltHigh, 0.35), Mix(kAltFace, kAltDark, 0.4), p.y / 32.0);
            c.blend(x, y, kAltDark, Coverage(tile * k));
            c.blend(x, y, face, Coverage((tile + 1.2) * k));
            // A picture frame, wiped diagonally from one scene to the next.
            const double frame = RoundRect(p, 6.5, 8.5, 25.5, 23.5, 1.5);
            const bool after = (p.x - 6.5) + (23.5 - p.y) * 1.2 > 15.0;
            c.blend(x, y, after ? kAccent : kField, Coverage(frame * k));
            const double wipe = std::fabs(((p.x - 6.5) + (23.5 - p.y) * 1.2 - 15.0) / 1.56) - 0.9;
            c.blend(x, y, kAltDark, Coverage(std::max(wipe, frame) * k));
        }
    return c;
}

// ---------------------------------------------------------------- self-check

// An edge tile is stretched along its length: its pixels (as written) must be
// the same all along it, or the stretched edge shows seams.
bool TileUniform(const Canvas& c, int x, int y, int e, bool alongX) {
    for (int i = 0; i < e; ++i)
        for (int k = 1; k < e; ++k)
            for (int channel = 0; channel < 3; ++channel) {
                const int ax = alongX ? x : x + i, ay = alongX ? y + i : y;
                const int bx = alongX ? x + k : x + i, by = alongX ? y + i : y + k;
                if (c.byte(ax, ay, channel) != c.byte(bx, by, channel)) return false;
            }
    return true;
}

// A frame's four edge tiles at (x, y), edge e (frame layout).
bool FrameSeamless(const Canvas& c, int x, int y, int e) {
    return TileUniform(c, x + 2 * e, y, e, true) && TileUniform(c, x + 2 * e, y + e, e, true) &&
           TileUniform(c, x + 3 * e, y, e, false) && TileUniform(c, x + 3 * e, y + e, e, false);
}

// Names the first frame or framed sprite cell whose edges would show seams; null when none.
std::string FirstSeam(const Canvas& skin) {
    namespace sk = kelmard::skin;
    for (int i = 0; i < sk::kFrameCount; ++i)
        if (!FrameSeamless(skin, sk::kFrames[i].x, sk::kFrames[i].y, sk::kFrames[i].edge)) return "F" + std::to_string(i);
    for (int i = 0; i < sk::kSpriteCount; ++i) {
        const sk::SpritePlace& s = sk::kSprites[i];
        for (int look = 0; s.edge && look < sk::kLooks; ++look)
            for (int v = 0; v < s.variants; ++v)
                if (!FrameSeamless(skin, s.x + s.columnStep * v, s.y + s.rowStep * look, s.edge))
                    return "S" + std::to_string(i) + " cell " + std::to_string(look) + "," + std::to_string(v);
    }
    return std::string();
}

}  // namespace
}  // namespace skingen

int main(int argc, char** argv) {
    using namespace skingen;
    namespace sk = kelmard::skin;
    if (argc != 2) {
        std::fprintf(stderr, "usage: kelmard-skingen <output folder>\n");
        return 2;
    }
    const std::string out = argv[1];

    Canvas skin(sk::kBitmapWidth, sk::kBitmapHeight, kFace);
    PaintAngleElement(skin);
    PaintPushSprite(skin, sk::kSprites[sk::kDefaultPushSprite], true);
    PaintPushSprite(skin, sk::kSprites[sk::kPushSprite], false);  // also the arrow buttons (same place)
    PaintCheckSprite(skin, sk::kSprites[sk::kCheckSprite]);
    PaintRadioSprite(skin, sk::kSprites[sk::kRadioSprite]);
    PaintCaptionButtons(skin, sk::kSprites[sk::kCaptionButtonSprite], 0);
    PaintCaptionButtons(skin, sk::kSprites[sk::kHelpButtonSprite], 4);
    for (const sk::ThumbPlace& t : sk::kThumbs) PaintThumbStrip(skin, t);
    PaintFrames(skin);
    const std::string seam = FirstSeam(skin);
    if (!seam.empty()) {
        std::fprintf(stderr, "kelmard-skingen: the edge tiles of %s would show seams when stretched\n", seam.c_str());
        return 1;
    }

    const Canvas magnifier = MagnifierCursor(), hand = HandCursor();
    const Canvas across = TurnCursor(false), tilt = TurnCursor(true);
    const Canvas icon32 = DialogIcon(32), icon16 = DialogIcon(16);

    bool ok = WriteFile(out + "/skin.bmp", Bmp24(skin));
    ok = WriteFile(out + "/magnifier.cur", IconFile(2, {&magnifier}, 11, 11)) && ok;
    ok = WriteFile(out + "/hand.cur", IconFile(2, {&hand}, 16, 18)) && ok;
    ok = WriteFile(out + "/turn-across.cur", IconFile(2, {&across}, 16, 16)) && ok;
    ok = WriteFile(out + "/tilt.cur", IconFile(2, {&tilt}, 16, 16)) && ok;
    ok = WriteFile(out + "/dialog.ico", IconFile(1, {&icon32, &icon16})) && ok;
    if (!ok) {
        std::fprintf(stderr, "kelmard-skingen: cannot write into %s\n", out.c_str());
        return 1;
    }
    return 0;
}
