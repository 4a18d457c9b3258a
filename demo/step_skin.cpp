// Step: the skin. Every piece of the skin bitmap drawn with the library's own
// primitives (the demo builds the framework's drawing code in and loads the
// skin from KELMARD.DLL's resources) into one gallery picture.
#include <cstdio>
#include <string>

#include "controls/framework/draw.h"
#include "demo.h"
#include "owners/win32_owners.h"
#include "kelmard.h"
#include "picture.h"

namespace demo {
namespace {

using namespace kelmard;

constexpr int kWidth = 720, kHeight = 470;

const char* const kLookNames[3] = {"disabled", "normal", "pressed"};

class Gallery {
public:
    Gallery(HDC dc, WKSkin& skin) : dc_(dc), skin_(skin), memory_(CreateCompatibleDC(dc)) {
        font_.reset(CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, CLEARTYPE_QUALITY, 0, "Tahoma"));
        bold_.reset(CreateFontA(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, CLEARTYPE_QUALITY, 0, "Tahoma"));
    }

    void Label(int x, int y, const char* text, bool heading = false, int width = 200) {
        SelectGuard f(dc_, heading ? bold_.get() : font_.get());
        DrawSkinText(&skin_, dc_, RECT{x, y, x + width, y + 16}, text, -1, DT_LEFT | DT_SINGLELINE | DT_VCENTER,
                     MakeState(kNormalLook, 0), false);
    }

    // A push face with a caption, drawn as a button draws it.
    void Button(const SkinSprite& sprite, RECT r, ControlState state, const char* text) {
        DrawSkinFace(dc_, &sprite, r, state);
        if (LookOf(state) == kPressedLook || VariantOf(state) != 0) OffsetRect(&r, 1, 1);
        SelectGuard f(dc_, font_.get());
        DrawSkinText(&skin_, dc_, r, text, -1, DT_CENTER | DT_VCENTER | DT_SINGLELINE, state, true);
    }

    void ArrowButton(RECT r, ControlState state, int direction) {
        DrawSkinFace(dc_, &skin_.sprites[skin::kArrowButtonSprite], r, state);
        if (LookOf(state) == kPressedLook) OffsetRect(&r, 1, 1);
        UniqueIcon arrow(CreateArrowIcon(r.right - r.left - 8, r.bottom - r.top - 8, direction));
        DrawSkinIcon(&skin_, dc_, r, arrow.get(), state, true);
    }

    // A horizontal channel and its thumb, cut from a thumb strip as the slider does.
    void Slider(const SkinThumb& t, int x, int y, int length, int thumbAt, int look) {
        SelectGuard b(memory_.get(), t.bitmap);
        StretchModeGuard m(dc_, HALFTONE);
        const int caps = t.x + 3 * t.length;
        StretchBlt(dc_, x + t.endCap, y, length - 2 * t.endCap, t.thickness, memory_.get(), caps + 2 * t.endCap, t.y,
                   t.middle, t.thickness, SRCCOPY);
        BitBlt(dc_, x, y, t.endCap, t.thickness, memory_.get(), caps, t.y, SRCCOPY);
        BitBlt(dc_, x + length - t.endCap, y, t.endCap, t.thickness, memory_.get(), caps + t.endCap, t.y, SRCCOPY);
        BitBlt(dc_, x + thumbAt, y, t.length, t.thickness, memory_.get(), t.x + look * t.length, t.y, SRCCOPY);
    }

    void VerticalSlider(const SkinThumb& t, int x, int y, int length, int thumbAt, int look) {
        SelectGuard b(memory_.get(), t.bitmap);
        StretchModeGuard m(dc_, HALFTONE);
        const int caps = t.y + 3 * t.length;
        StretchBlt(dc_, x, y + t.endCap, t.thickness, length - 2 * t.endCap, memory_.get(), t.x, caps + 2 * t.endCap,
                   t.thickness, t.middle, SRCCOPY);
        BitBlt(dc_, x, y, t.thickness, t.endCap, memory_.get(), t.x, caps, SRCCOPY);
        BitBlt(dc_, x, y + length - t.endCap, t.thickness, t.endCap, memory_.get(), t.x, caps + t.endCap, SRCCOPY);
        BitBlt(dc_, x, y + thumbAt, t.thickness, t.length, memory_.get(), t.x, t.y + look * t.length, SRCCOPY);
    }

    // The range: channel, the bar between the thumbs, start and end thumbs.
    void Range(const SkinThumb& t, int x, int y, int length, int start, int end) {
        SelectGuard b(memory_.get(), t.bitmap);
        StretchModeGuard m(dc_, HALFTONE);
        const int caps = t.x + 3 * t.length, k = t.endCap, L = t.length;
        const int s = x + start, e = x + end;
        StretchBlt(dc_, x + k, y, s - x - k, t.thickness, memory_.get(), caps + 2 * k, t.y, t.middle, t.thickness, SRCCOPY);
        StretchBlt(dc_, e + 2 * L, y, x + length - k - e - 2 * L, t.thickness, memory_.get(), caps + 2 * k, t.y, t.middle,
                   t.thickness, SRCCOPY);
        StretchBlt(dc_, s + L, y, e - s, t.thickness, memory_.get(), caps + 2 * k, t.y + t.thickness, t.middle,
                   t.thickness, SRCCOPY);
        BitBlt(dc_, x, y, k, t.thickness, memory_.get(), caps, t.y, SRCCOPY);
        BitBlt(dc_, x + length - k, y, k, t.thickness, memory_.get(), caps + k, t.y, SRCCOPY);
        BitBlt(dc_, s, y, L, t.thickness, memory_.get(), t.x + L, t.y, SRCCOPY);
        BitBlt(dc_, e + L, y, L, t.thickness, memory_.get(), t.x + 2 * L, t.y + t.thickness, SRCCOPY);
    }

    // A skinned dialog frame: thick frame, caption frame with its fill, inner
    // frame, title, caption buttons, and an inset panel.
    void Dialog(RECT r, const char* title) {
        const int e = skin_.frames[skin::kThickFrame].edge;
        const int caption = 18;
        FillRect(dc_, &r, skin_.brushes[skin::kFaceBrush]);
        DrawSkinFrame(dc_, &r, &skin_.frames[skin::kThickFrame], kAllSides);
        RECT cap{r.left, r.top, r.right, r.top + 2 * e + caption};
        DrawSkinFrame(dc_, &cap, &skin_.frames[skin::kCaptionFrame], kAllSides);
        RECT inner{cap.left + e, cap.top + e, cap.right - e, cap.bottom - e};
        FillRect(dc_, &inner, skin_.brushes[skin::kCaptionBrush]);
        DrawSkinFrame(dc_, &inner, &skin_.frames[skin::kCaptionInnerFrame], kAllSides);
        DrawIconEx(dc_, inner.left + 3, inner.top + 1, skin_.dialogIcon, 16, 16, 0, nullptr, DI_NORMAL);
        {
            SelectGuard f(dc_, bold_.get());
            BkModeGuard mode(dc_, TRANSPARENT);
            TextColorGuard colour(dc_, skin_.colors[skin::kAlternateTextColor]);
            RECT t{inner.left + 24, inner.top, inner.right, inner.bottom};
            DrawTextA(dc_, title, -1, &t, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        }
        const int b = caption * 3 / 4;
        for (int i = 0; i < 3; ++i) {
            const int variant = i == 0 ? 0 : i == 1 ? 2 : 1;
            RECT button{inner.right - 4 - (i + 1) * (b + 2), inner.top + (caption - b) / 2, 0, 0};
            button.right = button.left + b;
            button.bottom = button.top + b;
            DrawSkinFace(dc_, &skin_.sprites[skin::kCaptionButtonSprite], button, MakeState(kNormalLook, variant));
        }
        // The inset panel in the client's top-left corner.
        RECT panel{r.left, cap.bottom - e, r.left + e + 150, cap.bottom + 60};
        FillRect(dc_, &panel, skin_.brushes[skin::kAlternateFaceBrush]);
        DrawSkinFrame(dc_, &panel, &skin_.frames[skin::kInsetPanelFrame], kAllSides);
        SelectGuard f(dc_, font_.get());
        RECT text{panel.left + e + 6, panel.top + e + 4, panel.right - e, panel.bottom - e};
        DrawSkinText(&skin_, dc_, text, "Inset panel", -1, DT_LEFT | DT_TOP | DT_SINGLELINE, MakeState(kNormalLook, 0),
                     true);
    }

    // The gallery's sections, top to bottom.
    void PushButtons();
    void ChecksAndRadios();
    void ArrowsAndScrollBar();
    void SlidersAndRange();
    void Angle(void* canvasBits);
    void Frames();
    void CursorsAndIcon();

private:
    HDC dc_;
    WKSkin& skin_;
    UniqueMemoryDC memory_;
    UniqueFont font_, bold_;
};

void Gallery::PushButtons() {
    // Three looks by three variants, and the default button.
    Label(16, 10, "Push buttons (looks x variants) and the default button", true, 400);
    const char* variants[3] = {"Off", "On", "Mixed"};
    for (unsigned look = 0; look < skin::kLooks; ++look) {
        Label(16, 34 + static_cast<int>(look) * 30, kLookNames[look]);
        const int top = 30 + static_cast<int>(look) * 30;
        for (unsigned v = 0; v < 3; ++v)
            Button(skin_.sprites[skin::kPushSprite], RECT{80 + static_cast<int>(v) * 86, top, 158 + static_cast<int>(v) * 86, top + 24},
                   MakeState(look, v), variants[v]);
        Button(skin_.sprites[skin::kDefaultPushSprite], RECT{350, top, 428, top + 24}, MakeState(look, 0), "OK");
    }
}

void Gallery::ChecksAndRadios() {
    Label(460, 10, "Check boxes and radio buttons", true, 250);
    for (unsigned look = 0; look < skin::kLooks; ++look) {
        const int top = 34 + static_cast<int>(look) * 30;
        for (unsigned v = 0; v < 3; ++v)
            DrawSkinFace(dc_, &skin_.sprites[skin::kCheckSprite],
                         RECT{460 + static_cast<int>(v) * 22, top, 475 + static_cast<int>(v) * 22, top + 15}, MakeState(look, v));
        for (unsigned v = 0; v < 2; ++v)
            DrawSkinFace(dc_, &skin_.sprites[skin::kRadioSprite],
                         RECT{540 + static_cast<int>(v) * 22, top, 556 + static_cast<int>(v) * 22, top + 16}, MakeState(look, v));
        Label(600, top, kLookNames[look], false, 100);
    }
}

void Gallery::ArrowsAndScrollBar() {
    // Arrow buttons (scroll bars, spins, combo boxes).
    Label(16, 128, "Arrow buttons", true);
    for (unsigned look = 0; look < skin::kLooks; ++look)
        for (int d = kArrowUp; d <= kArrowRight; ++d) {
            const int left = 16 + d * 24 + static_cast<int>(look) * 104;
            ArrowButton(RECT{left, 150, left + 20, 170}, MakeState(look, 0), d);
        }
    // A scroll bar: track in the light edge colour, the thumb from the arrow sprite.
    RECT track{340, 150, 560, 170};
    FillRect(dc_, &track, skin_.brushes[skin::kLightBrush]);
    ArrowButton(RECT{340, 150, 360, 170}, MakeState(kNormalLook, 0), kArrowLeft);
    ArrowButton(RECT{540, 150, 560, 170}, MakeState(kNormalLook, 0), kArrowRight);
    DrawSkinFace(dc_, &skin_.sprites[skin::kArrowButtonSprite], RECT{410, 150, 470, 170}, MakeState(kNormalLook, 0));
    Label(570, 152, "scroll bar", false, 120);
}

void Gallery::SlidersAndRange() {
    // The thumb strips: T0/T1 horizontal small and large, T2/T3 vertical, T4/T5 the range.
    Label(16, 184, "Sliders (small, large), the range, a vertical slider", true, 400);
    Slider(skin_.thumbs[0], 16, 208, 200, 20, kNormalLook);
    Slider(skin_.thumbs[0], 230, 208, 200, 120, kPressedLook);
    Slider(skin_.thumbs[1], 16, 232, 200, 150, kNormalLook);
    Slider(skin_.thumbs[1], 230, 232, 200, 60, kDisabledLook);
    Range(skin_.thumbs[5], 16, 262, 414, 90, 260);
    Range(skin_.thumbs[4], 16, 292, 414, 30, 120);
    VerticalSlider(skin_.thumbs[3], 450, 200, 110, 30, kNormalLook);
    VerticalSlider(skin_.thumbs[2], 484, 200, 110, 70, kPressedLook);
}

// The 3D angle element: the normal look's ball and strips 1:1, and the ball
// of each look resized with the area average straight into the canvas bits.
void Gallery::Angle(void* canvasBits) {
    Label(520, 184, "3D angle", true, 120);
    {
        SelectGuard b(memory_.get(), skin_.angle.bitmap);
        BitBlt(dc_, 520, 204, 110, 90, memory_.get(), 0, 90, SRCCOPY);
        BitBlt(dc_, 520, 294, 90, 20, memory_.get(), 0, 290, SRCCOPY);
    }
    DIBSECTION ds{};
    if (GetObjectA(skin_.angle.bitmap, sizeof ds, &ds) != sizeof ds || ds.dsBm.bmBitsPixel < 24) return;
    // Rows of the skin DIB are bottom-up: start at the cell's last row and walk up.
    const auto* base = static_cast<const unsigned char*>(ds.dsBm.bmBits);
    const int stride = ds.dsBm.bmWidthBytes, cell = skin_.angle.ballCell;
    auto* out = static_cast<unsigned char*>(canvasBits);
    for (int look = 0; look < skin::kLooks; ++look) {
        const unsigned char* cellTop = base + static_cast<std::ptrdiff_t>(ds.dsBm.bmHeight - 1 - look * cell) * stride;
        unsigned char* dst = out + (static_cast<std::ptrdiff_t>(216 + look * 40) * kWidth + 640) * 4;
        GdiFlush();
        ResampleAreaAverage(dst, 36, 36, kWidth * 4, cellTop, cell, cell, -stride, ds.dsBm.bmBitsPixel);
    }
}

void Gallery::Frames() {
    // Group box, client edge around a field, a focus rectangle, and a dialog.
    Label(16, 324, "Frames", true);
    RECT group{16, 352, 200, 450};
    DrawSkinFrame(dc_, &group, &skin_.frames[skin::kGroupBoxFrame], kAllSides);
    RECT caption{26, 344, 94, 360};
    FillRect(dc_, &caption, skin_.brushes[skin::kFaceBrush]);
    Label(30, 344, "Group box", false, 70);
    RECT field{30, 376, 186, 398};
    FillRect(dc_, &field, skin_.brushes[skin::kFieldBrush]);
    DrawSkinFrame(dc_, &field, &skin_.frames[skin::kClientEdgeFrame], kAllSides);
    Label(36, 379, "Edit field, client edge", false, 150);
    RECT tip{30, 408, 186, 436};
    FillRect(dc_, &tip, skin_.brushes[skin::kFieldBrush]);
    DrawSkinFrame(dc_, &tip, &skin_.frames[skin::kClientEdgeFrame], kAllSides);
    const RECT focus{34, 412, 182, 432};
    DrawSkinFocusRect(dc_, &focus);
    Label(36, 414, "Focus rectangle", false, 140);
    Dialog(RECT{220, 330, 700, 460}, "Transition settings");
}

void Gallery::CursorsAndIcon() {
    for (int i = 0; i < skin::kCursorCount; ++i)
        DrawIconEx(dc_, 450 + i * 40, 380, skin_.cursors[i], 32, 32, 0, nullptr, DI_NORMAL);
    DrawIconEx(dc_, 620, 380, skin_.dialogIcon, 32, 32, 0, nullptr, DI_NORMAL);
    Label(450, 414, "cursors 802-805, icon 800", false, 240);
}

void SayColours() {
    Say("  skin colours through the exports: face %06lX, alternate face %06lX, field %06lX\n",
        static_cast<unsigned long>(WKGetColor(skin::kFaceColor)),
        static_cast<unsigned long>(WKGetColor(skin::kAlternateFaceColor)),
        static_cast<unsigned long>(WKGetColor(skin::kFieldColor)));
    Say("  WKGetSysColor(COLOR_BTNFACE) = %06lX, WKGetSysColor(COLOR_WINDOW) = %06lX (the system's)\n",
        static_cast<unsigned long>(WKGetSysColor(COLOR_BTNFACE)), static_cast<unsigned long>(WKGetSysColor(COLOR_WINDOW)));
}

// Draws the whole gallery into a 32-bit canvas and writes it as a PNG.
bool WriteGallery(WKSkin& skin, const std::string& path) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof bi.bmiHeader, kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    UniqueBitmap canvas(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    UniqueMemoryDC dc(CreateCompatibleDC(nullptr));
    if (!canvas || !dc) return false;
    SelectGuard selected(dc.get(), canvas.get());
    RECT all{0, 0, kWidth, kHeight};
    FillRect(dc.get(), &all, skin.brushes[skin::kFaceBrush]);
    Gallery g(dc.get(), skin);
    g.PushButtons();
    g.ChecksAndRadios();
    g.ArrowsAndScrollBar();
    g.SlidersAndRange();
    g.Angle(bits);
    g.Frames();
    g.CursorsAndIcon();
    GdiFlush();
    return kpicture::WritePng(kpicture::CaptureDC(dc.get(), 0, 0, kWidth, kHeight), path);
}

}  // namespace

bool StepSkin(Context& context) {
    HMODULE library = GetModuleHandleA("KELMARD.DLL");
    LoadSkin(library);  // the demo's own copy, from the library's resources
    WKSkin& skin = SharedSkin();
    if (!skin.frames[0].bitmap) {
        Say("  the skin bitmap could not be loaded from KELMARD.DLL\n");
        return false;
    }
    SayColours();
    const std::string path = context.outputFolder + "\\skin-gallery.png";
    const bool written = WriteGallery(skin, path);
    Say("  gallery of the skin's pieces: %s %s\n", path.c_str(), written ? "written" : "NOT written");
    FreeSkin(library);
    return written;
}

}  // namespace demo
