// Step: media services. The scene checks its frame size against the TV
// format table, loads a backdrop picture, renders its title as rich text with
// coverage in the alpha byte and lays the title over the picture.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "demo.h"
#include "kelmard.h"
#include "owners/win32_owners.h"
#include "picture.h"

namespace demo {
namespace {

constexpr int kWidth = 720;
constexpr int kHeight = 576;

// A backdrop as a scene's user would pick one: a 24-bit BMP of an evening
// sky over hills, written once into the output folder.
bool WriteBackdrop(const std::string& path) {
    const int stride = kWidth * 3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = kWidth;
    info.biHeight = kHeight;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = stride * kHeight;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + info.biSizeImage;
    std::vector<BYTE> pixels(info.biSizeImage);
    for (int y = 0; y < kHeight; ++y) {       // y from the top
        BYTE* row = pixels.data() + static_cast<size_t>(kHeight - 1 - y) * stride;
        for (int x = 0; x < kWidth; ++x) {
            const int hill = 400 + static_cast<int>(40.0 * __builtin_sin(x / 90.0) + 25.0 * __builtin_sin(x / 37.0));
            int r, g, b;
            if (y > hill) {
                r = 20 + (y - hill) / 8; g = 60 + (y - hill) / 5; b = 30;
            } else {
                const int t = y * 255 / hill;  // deep blue at the top, orange at the horizon
                r = 30 + t * 200 / 255; g = 40 + t * 90 / 255; b = 120 - t * 80 / 255;
            }
            row[3 * x] = static_cast<BYTE>(b);
            row[3 * x + 1] = static_cast<BYTE>(g);
            row[3 * x + 2] = static_cast<BYTE>(r);
        }
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(&file, sizeof file, 1, f) == 1 && std::fwrite(&info, sizeof info, 1, f) == 1 &&
              std::fwrite(pixels.data(), 1, pixels.size(), f) == pixels.size();
    return std::fclose(f) == 0 && ok;
}

bool CheckFrame() {
    float aspect = 0;
    short underscan[4] = {};
    if (!QVRCheckVideoFormat(QVR_FRAME_SIZE(kWidth, kHeight), &aspect, underscan)) {
        Say("QVRCheckVideoFormat(%dx%d): not a TV format (is Presets\\TvFormats.cfg installed?)\n",
            kWidth, kHeight);
        return false;
    }
    Say("QVRCheckVideoFormat(%dx%d): pixel aspect %.4f, underscan (%d,%d - %d,%d)\n", kWidth,
        kHeight, aspect, underscan[0], underscan[1], underscan[2], underscan[3]);
    const bool hd = QVRCheckVideoFormat(QVR_FRAME_SIZE(1920, 1080), &aspect, underscan) != 0;
    Say("QVRCheckVideoFormat(1920x1080): %s\n", hd ? "a TV format" : "unknown");
    const bool odd = QVRCheckVideoFormat(QVR_FRAME_SIZE(700, 500), &aspect, underscan) != 0;
    Say("QVRCheckVideoFormat(700x500): %s\n", odd ? "a TV format" : "not a TV format");
    return hd && !odd;
}

const char kTitle[] =
    "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times New Roman;}}"
    "{\\colortbl;\\red255\\green240\\blue200;\\red255\\green200\\blue60;}"
    "\\qc\\f0\\fs72\\cf1\\b Flarix Vortane\\b0\\par"
    "\\f1\\fs36\\cf2\\i a title in rich text, laid over the picture\\i0\\par}";

}  // namespace

bool StepMedia(Context& context) {
    const bool formatsOk = CheckFrame();

    const std::string backdrop = context.outputFolder + "\\backdrop.bmp";
    if (!WriteBackdrop(backdrop)) {
        Say("cannot write %s\n", backdrop.c_str());
        return false;
    }
    const kelmard::UniqueBitmap picture(QVRLoadImage(backdrop.c_str()));
    kpicture::Image background = kpicture::FromBitmap(picture.get());
    Say("QVRLoadImage(backdrop.bmp): %s, %dx%d\n", picture ? "loaded" : "failed", background.width,
        background.height);
    if (background.empty()) return false;

    // The title's page: the frame's width in layout pixels, rendered at the
    // frame's size; black background, coverage in the alpha byte.
    RichTextDesc desc{};
    std::snprintf(desc.rtf, sizeof desc.rtf, "%s", kTitle);
    desc.layoutWidth = kWidth;
    desc.layoutHeight = kHeight;
    desc.background = RGB(0, 0, 0);
    desc.coverage = 1;
    const kpicture::Image text = kpicture::FromBitmap(kelmard::UniqueBitmap(QVRRenderText(&desc, kWidth, kHeight)).get());
    if (text.empty()) {
        Say("QVRRenderText: failed\n");
        return false;
    }
    int counts[5] = {};
    kpicture::Image coverage = text;
    for (std::uint32_t& p : coverage.pixels) {
        const std::uint32_t a = p >> 24;
        p = (a << 16) | (a << 8) | a;  // the alpha byte as grey
        counts[a == 0 ? 0 : a == 64 ? 1 : a == 128 ? 2 : a == 191 ? 3 : 4]++;
    }
    Say("QVRRenderText(%dx%d): coverage 0: %d, 1/4: %d, 1/2: %d, 3/4: %d, full: %d pixels\n",
        kWidth, kHeight, counts[0], counts[1], counts[2], counts[3], counts[4]);

    // Lay the title over the picture with its coverage, moved down into the
    // title-safe area (which starts 58 lines down in a 720 x 576 frame).
    kpicture::Image composed = background;
    const int shift = 58;
    for (int y = 0; y + shift < composed.height && y < text.height; ++y)
        for (int x = 0; x < composed.width && x < text.width; ++x) {
            const std::uint32_t t = text.at(x, y), b = composed.at(x, y + shift);
            const std::uint32_t a = t >> 24;
            std::uint32_t out = 0;
            for (int s : {0, 8, 16}) {
                const std::uint32_t c = (((t >> s) & 0xFF) * a + ((b >> s) & 0xFF) * (255 - a) + 127) / 255;
                out |= c << s;
            }
            composed.at(x, y + shift) = out;
        }

    bool written = true;
    for (const auto& [name, image] : {std::pair<const char*, const kpicture::Image*>{"media-backdrop.png", &background},
                                      {"media-title-coverage.png", &coverage},
                                      {"media-title-over-picture.png", &composed}}) {
        const std::string path = context.outputFolder + "\\" + name;
        const bool ok = kpicture::WritePng(*image, path);
        Say("  %s %s\n", ok ? "wrote" : "could not write", path.c_str());
        written = written && ok;
    }
    return formatsOk && counts[4] > 0 && counts[1] + counts[2] + counts[3] > 0 && written;
}

}  // namespace demo
