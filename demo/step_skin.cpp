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
                     MakeState(1, 0), false);
    }

    // A push face with a caption, drawn as a button draws it.
    void Button(const SkinSprite& sprite, RECT r, ControlState state, const char* text) {
        DrawSkinFace(dc_, &sprite, r, state);
        if (LookOf(state) == 2 || VariantOf(state) != 0) OffsetRect(&r, 1, 1);
        SelectGuard f(dc_, font_.get());
        DrawSkinText(&skin_, dc_, r, text, -1, DT_CENTER | DT_VCENTER | DT_SINGLELINE, state, true);
    }

    void ArrowButton(RECT r, ControlState state, int direction) {
        DrawSkinFace(dc_, &skin_.sprites[skin::kArrowButtonSprite], r, state);
        if (LookOf(state) == 2) OffsetRect(&r, 1, 1);
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
        FillRect(dc_, &r, skin_.brushes[1]);
        DrawSkinFrame(dc_, &r, &skin_.frames[skin::kThickFrame], kAllSides);
        RECT cap{r.left, r.top, r.right, r.top + 2 * e + caption};
        DrawSkinFrame(dc_, &cap, &skin_.frames[skin::kCaptionFrame], kAllSides);
        RECT inner{cap.left + e, cap.top + e, cap.right - e, cap.bottom - e};
        FillRect(dc_, &inner, skin_.brushes[16]);
        DrawSkinFrame(dc_, &inner, &skin_.frames[skin::kCaptionInnerFrame], kAllSides);
        DrawIconEx(dc_, inner.left + 3, inner.top + 1, skin_.dialogIcon, 16, 16, 0, nullptr, DI_NORMAL);
        {
            SelectGuard f(dc_, bold_.get());
            SetBkMode(dc_, TRANSPARENT);
            SetTextColor(dc_, skin_.colors[19]);
            RECT t{inner.left + 24, inner.top, inner.right, inner.bottom};
            DrawTextA(dc_, title, -1, &t, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        }
        const int b = caption * 3 / 4;
        for (int i = 0; i < 3; ++i) {
            const int variant = i == 0 ? 0 : i == 1 ? 2 : 1;
            RECT button{inner.right - 4 - (i + 1) * (b + 2), inner.top + (caption - b) / 2, 0, 0};
            button.right = button.left + b;
            button.bottom = button.top + b;
            DrawSkinFace(dc_, &skin_.sprites[skin::kCaptionButtonSprite], button, MakeState(1, variant));
        }
        // The inset panel in the client's top-left corner.
        RECT panel{r.left, cap.bottom - e, r.left + e + 150, cap.bottom + 60};
        FillRect(dc_, &panel, skin_.brushes[10]);
        DrawSkinFrame(dc_, &panel, &skin_.frames[skin::kInsetPanelFrame], kAllSides);
        SelectGuard f(dc_, font_.get());
        RECT text{panel.left + e + 6, panel.top + e + 4, panel.right - e, panel.bottom - e};
        DrawSkinText(&skin_, dc_, text, "Inset panel", -1, DT_LEFT | DT_TOP | DT_SINGLELINE, MakeState(1, 0), true);
    }

    HDC dc() const { return dc_; }
    HFONT font() const { return font_.get(); }
    HDC memory() const { return memory_.get(); }

private:
    HDC dc_;
    WKSkin& skin_;
    UniqueMemoryDC memory_;
    UniqueFont font_, bold_;
};

}  // namespace

bool StepSkin(Context& context) {
    HMODULE library = GetModuleHandleA("KELMARD.DLL");
    LoadSkin(library);  // the demo's own copy, from the library's resources
    WKSkin& skin = SharedSkin();
    if (!skin.frames[0].bitmap) {
        Say("  the skin bitmap could not be loaded from KELMARD.DLL\n");
        return false;
    }
    Say("  skin colours through the exports: face %06lX, alternate face %06lX, field %06lX\n",
        static_cast<unsigned long>(WKGetColor(1)), static_cast<unsigned long>(WKGetColor(12)),
        static_cast<unsigned long>(WKGetColor(0)));
    Say("  WKGetSysColor(COLOR_BTNFACE) = %06lX, WKGetSysColor(COLOR_WINDOW) = %06lX (the system's)\n",
        static_cast<unsigned long>(WKGetSysColor(COLOR_BTNFACE)), static_cast<unsigned long>(WKGetSysColor(COLOR_WINDOW)));

    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = kWidth;
    bi.bmiHeader.biHeight = -kHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    UniqueBitmap canvas(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    UniqueMemoryDC dc(CreateCompatibleDC(nullptr));
    if (!canvas || !dc) return false;
    bool written = false;
    {
        SelectGuard selected(dc.get(), canvas.get());
        RECT all{0, 0, kWidth, kHeight};
        FillRect(dc.get(), &all, skin.brushes[1]);
        Gallery g(dc.get(), skin);

        // Push buttons: three looks by three variants, and the default button.
        g.Label(16, 10, "Push buttons (looks x variants) and the default button", true, 400);
        const char* variants[3] = {"Off", "On", "Mixed"};
        for (int look = 0; look < 3; ++look) {
            g.Label(16, 34 + look * 30, kLookNames[look]);
            for (int v = 0; v < 3; ++v)
                g.Button(skin.sprites[skin::kPushSprite], RECT{80 + v * 86, 30 + look * 30, 158 + v * 86, 54 + look * 30},
                         MakeState(look, v), variants[v]);
            g.Button(skin.sprites[skin::kDefaultPushSprite], RECT{350, 30 + look * 30, 428, 54 + look * 30},
                     MakeState(look, 0), "OK");
        }

        // Check boxes and radio buttons.
        g.Label(460, 10, "Check boxes and radio buttons", true, 250);
        for (int look = 0; look < 3; ++look) {
            for (int v = 0; v < 3; ++v)
                DrawSkinFace(dc.get(), &skin.sprites[skin::kCheckSprite],
                             RECT{460 + v * 22, 34 + look * 30, 475 + v * 22, 49 + look * 30}, MakeState(look, v));
            for (int v = 0; v < 2; ++v)
                DrawSkinFace(dc.get(), &skin.sprites[skin::kRadioSprite],
                             RECT{540 + v * 22, 34 + look * 30, 556 + v * 22, 50 + look * 30}, MakeState(look, v));
            g.Label(600, 34 + look * 30, kLookNames[look], false, 100);
        }

        // Arrow buttons (scroll bars, spins, combo boxes).
        g.Label(16, 128, "Arrow buttons", true);
        for (int look = 0; look < 3; ++look)
            for (int d = 0; d < 4; ++d)
                g.ArrowButton(RECT{16 + d * 24 + look * 104, 150, 36 + d * 24 + look * 104, 170}, MakeState(look, 0), d);
        // A scroll bar: track in the light edge colour, the thumb from the arrow sprite.
        RECT track{340, 150, 560, 170};
        FillRect(dc.get(), &track, skin.brushes[2]);
        g.ArrowButton(RECT{340, 150, 360, 170}, MakeState(1, 0), kArrowLeft);
        g.ArrowButton(RECT{540, 150, 560, 170}, MakeState(1, 0), kArrowRight);
        DrawSkinFace(dc.get(), &skin.sprites[skin::kArrowButtonSprite], RECT{410, 150, 470, 170}, MakeState(1, 0));
        g.Label(570, 152, "scroll bar", false, 120);

        // Sliders and the range.
        g.Label(16, 184, "Sliders (small, large), the range, a vertical slider", true, 400);
        g.Slider(skin.thumbs[0], 16, 208, 200, 20, 1);
        g.Slider(skin.thumbs[0], 230, 208, 200, 120, 2);
        g.Slider(skin.thumbs[1], 16, 232, 200, 150, 1);
        g.Slider(skin.thumbs[1], 230, 232, 200, 60, 0);
        g.Range(skin.thumbs[5], 16, 262, 414, 90, 260);
        g.Range(skin.thumbs[4], 16, 292, 414, 30, 120);
        g.VerticalSlider(skin.thumbs[3], 450, 200, 110, 30, 1);
        g.VerticalSlider(skin.thumbs[2], 484, 200, 110, 70, 2);

        // The 3D angle element: the ball of each look resized with the area
        // average, and the normal look's strips.
        g.Label(520, 184, "3D angle", true, 120);
        {
            SelectGuard b(g.memory(), skin.angle.bitmap);
            BitBlt(dc.get(), 520, 204, 110, 90, g.memory(), 0, 90, SRCCOPY);
            BitBlt(dc.get(), 520, 294, 90, 20, g.memory(), 0, 290, SRCCOPY);
        }
        DIBSECTION ds{};
        if (GetObjectA(skin.angle.bitmap, sizeof ds, &ds) == sizeof ds && ds.dsBm.bmBitsPixel >= 24) {
            // Rows of the skin DIB are bottom-up: start at the cell's last row and walk up.
            const auto* base = static_cast<const unsigned char*>(ds.dsBm.bmBits);
            const int stride = ds.dsBm.bmWidthBytes;
            auto* out = static_cast<unsigned char*>(bits);
            for (int look = 0; look < 3; ++look) {
                const unsigned char* cellTop = base + static_cast<std::ptrdiff_t>(ds.dsBm.bmHeight - 1 - look * 90) * stride;
                unsigned char* dst = out + (static_cast<std::ptrdiff_t>(216 + look * 40) * kWidth + 640) * 4;
                GdiFlush();
                ResampleAreaAverage(dst, 36, 36, kWidth * 4, cellTop, 90, 90, -stride, ds.dsBm.bmBitsPixel);
            }
        }

        // Frames: group box, client edge around a field, and a dialog.
        g.Label(16, 324, "Frames", true);
        RECT group{16, 352, 200, 450};
        DrawSkinFrame(dc.get(), &group, &skin.frames[skin::kGroupBoxFrame], kAllSides);
        {
            RECT caption{26, 344, 94, 360};
            FillRect(dc.get(), &caption, skin.brushes[1]);
            g.Label(30, 344, "Group box", false, 70);
        }
        RECT field{30, 376, 186, 398};
        FillRect(dc.get(), &field, skin.brushes[0]);
        DrawSkinFrame(dc.get(), &field, &skin.frames[skin::kClientEdgeFrame], kAllSides);
        g.Label(36, 379, "Edit field, client edge", false, 150);
        RECT tip{30, 408, 186, 436};
        FillRect(dc.get(), &tip, skin.brushes[0]);
        DrawSkinFrame(dc.get(), &tip, &skin.frames[skin::kClientEdgeFrame], kAllSides);
        const RECT focus{34, 412, 182, 432};
        DrawSkinFocusRect(dc.get(), &focus);
        g.Label(36, 414, "Focus rectangle", false, 140);
        g.Dialog(RECT{220, 330, 700, 460}, "Transition settings");
        {
            // Cursors and the dialog icon.
            for (int i = 0; i < 4; ++i)
                DrawIconEx(dc.get(), 450 + i * 40, 380, skin.cursors[i], 32, 32, 0, nullptr, DI_NORMAL);
            DrawIconEx(dc.get(), 620, 380, skin.dialogIcon, 32, 32, 0, nullptr, DI_NORMAL);
            g.Label(450, 414, "cursors 802-805, icon 800", false, 240);
        }
        GdiFlush();
        const kpicture::Image image = kpicture::CaptureDC(dc.get(), 0, 0, kWidth, kHeight);
        const std::string path = context.outputFolder + "\\skin-gallery.png";
        written = kpicture::WritePng(image, path);
        Say("  gallery of the skin's pieces: %s %s\n", path.c_str(), written ? "written" : "NOT written");
    }
    FreeSkin(library);
    return written;
}

}  // namespace demo
