// Rich text: RTF in and out of RichEdit controls, and text rendered into
// bitmaps, checked by their pixels.
#include <gtest/gtest.h>
#include <richedit.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <thread>

#include "kelmard.h"
#include "media/text_pixels.h"
#include "support/processes.h"

namespace {

using ktest::TextImage;

const char kTitle[] =
    "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}}{\\colortbl;\\red255\\green32\\blue0;}"
    "\\f0\\fs48\\cf1\\b Kelmard Title\\par}";

// A RichEdit control of the test's own, as a scene keeps one.
class RichEditControl {
public:
    RichEditControl() {
        LoadLibraryA("RichEd20");
        window_ = CreateWindowExA(0, "RichEdit20A", "", ES_MULTILINE, 0, 0, 200, 100, nullptr,
                                  nullptr, nullptr, nullptr);
    }
    ~RichEditControl() { if (window_) DestroyWindow(window_); }
    HWND get() const { return window_; }

private:
    HWND window_;
};

TEST(RichText, RoundTripsThroughTheControl) {
    RichEditControl a, b;
    ASSERT_NE(a.get(), nullptr);
    EXPECT_GT(QVRSetRichText(a.get(), kTitle), 0);
    char text[64] = "";
    GetWindowTextA(a.get(), text, sizeof text);
    EXPECT_STREQ(text, "Kelmard Title") << "the RTF was read as RTF";

    char rtf[4096];
    std::memset(rtf, 'Z', sizeof rtf);
    const int length = QVRGetRichText(a.get(), rtf, sizeof rtf);
    ASSERT_GT(length, 0);
    EXPECT_EQ(static_cast<size_t>(length), std::strlen(rtf));
    EXPECT_EQ(std::strncmp(rtf, "{\\rtf", 5), 0);
    EXPECT_NE(std::strstr(rtf, "Kelmard Title"), nullptr);

    EXPECT_GT(QVRSetRichText(b.get(), rtf), 0);
    char again[4096];
    EXPECT_EQ(QVRGetRichText(b.get(), again, sizeof again), length);
    EXPECT_STREQ(again, rtf);
}

TEST(RichText, NeverWritesPastTheBuffer) {
    RichEditControl control;
    ASSERT_GT(QVRSetRichText(control.get(), kTitle), 0);
    char full[4096];
    const int length = QVRGetRichText(control.get(), full, sizeof full);
    ASSERT_GT(length, 10);

    // Exactly enough (text and NUL), one byte short, size 1, size 0.
    for (int size : {length + 1, length, length / 2, 1, 0}) {
        std::string buffer(static_cast<size_t>(length) + 64, '#');
        const int got = QVRGetRichText(control.get(), &buffer[0], size);
        if (size == length + 1) {
            EXPECT_EQ(got, length);
            EXPECT_EQ(buffer.compare(0, static_cast<size_t>(length), full), 0);
            EXPECT_EQ(buffer[static_cast<size_t>(length)], '\0');
        } else {
            EXPECT_EQ(got, 0) << "size " << size;
            if (size > 0) { EXPECT_EQ(buffer[0], '\0') << "size " << size; }
        }
        for (size_t i = static_cast<size_t>(size); i < buffer.size(); ++i)
            ASSERT_EQ(buffer[i], '#') << "size " << size << ": wrote at " << i;
    }
}

TEST(RenderText, TextAppearsInItsColourWithCoverageAtTheEdges) {
    const RichTextDesc desc = ktest::MakeDesc(kTitle, 320, 60, RGB(0, 0, 64), true);
    TextImage image;
    ASSERT_TRUE(ktest::TakeBitmap(QVRRenderText(&desc, 320, 120), image));
    ASSERT_EQ(image.width, 320);
    ASSERT_EQ(image.height, 120);

    int counts[256] = {};
    int fullInColour = 0, full = 0;
    for (std::uint32_t p : image.px) {
        const unsigned a = p >> 24;
        ++counts[a];
        if (a == 0) { EXPECT_EQ(p, 0x00000040u) << "uncovered pixels keep the background"; }
        if (a == 255) {
            ++full;
            if ((p & 0xFFFFFF) == 0xFF2000u) ++fullInColour;
        }
    }
    int other = 0;
    for (int a = 0; a < 256; ++a)
        if (a != 0 && a != 64 && a != 128 && a != 191 && a != 255) other += counts[a];
    EXPECT_EQ(other, 0) << "coverage comes in quarters";
    EXPECT_GT(full, 200) << "the text is there";
    EXPECT_GT(counts[64] + counts[128] + counts[191], 50) << "its edges are partly covered";
    EXPECT_GT(fullInColour * 10, full * 9) << "in the colour of the text";
    // The title sits at the top left of the page.
    const ktest::Box box = ktest::InkBox(image, [](std::uint32_t p) { return (p >> 24) != 0; });
    EXPECT_LT(box.left, 20);
    EXPECT_LT(box.top, 30);
    EXPECT_LT(box.bottom, 100);
}

TEST(RenderText, WithoutCoverageColoursAreAveraged) {
    const char rtf[] = "{\\rtf1\\ansi{\\colortbl;\\red255\\green255\\blue255;}\\fs40\\cf1 Mix}";
    const RichTextDesc desc = ktest::MakeDesc(rtf, 200, 50, RGB(0, 0, 0), false);
    TextImage image;
    ASSERT_TRUE(ktest::TakeBitmap(QVRRenderText(&desc, 200, 100), image));
    int white = 0, grey = 0;
    for (std::uint32_t p : image.px) {
        ASSERT_EQ(p >> 24, 0u);
        const unsigned r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        EXPECT_TRUE(r == g && g == b) << std::hex << p;  // white over black stays grey
        if (r == 255) ++white;
        else if (r > 0) ++grey;
    }
    EXPECT_GT(white, 50);
    EXPECT_GT(grey, 50);
}

// The half-size picture of a render: 2x2 blocks averaged (alpha and colour).
TextImage HalfSize(const TextImage& big) {
    TextImage small;
    small.width = big.width / 2;
    small.height = big.height / 2;
    small.px.resize(static_cast<size_t>(small.width) * small.height);
    for (int y = 0; y < small.height; ++y)
        for (int x = 0; x < small.width; ++x) {
            unsigned sum = 0;
            for (int dy = 0; dy < 2; ++dy)
                for (int dx = 0; dx < 2; ++dx) sum += big.alpha(2 * x + dx, 2 * y + dy);
            small.px[static_cast<size_t>(y) * small.width + x] = ((sum + 2) / 4) << 24;
        }
    return small;
}

TEST(RenderText, TwiceTheWidthLaysOutTheSameTextAtTwiceTheScale) {
    const char rtf[] =
        "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\fs28 The same words wrap the same way "
        "at every size of the bitmap.\\par}";
    const RichTextDesc desc = ktest::MakeDesc(rtf, 200, 80, RGB(255, 255, 255), true);
    TextImage small, big;
    ASSERT_TRUE(ktest::TakeBitmap(QVRRenderText(&desc, 200, 120), small));
    ASSERT_TRUE(ktest::TakeBitmap(QVRRenderText(&desc, 400, 240), big));
    const auto covered = [](std::uint32_t p) { return (p >> 24) != 0; };
    const ktest::Box a = ktest::InkBox(small, covered), b = ktest::InkBox(big, covered);
    ASSERT_FALSE(a.empty());
    // More than one line: the page width wraps the text.
    EXPECT_GT(a.bottom - a.top, 25);
    EXPECT_NEAR(b.left, 2 * a.left, 3);
    EXPECT_NEAR(b.right, 2 * a.right + 1, 4);
    EXPECT_NEAR(b.top, 2 * a.top, 3);
    EXPECT_NEAR(b.bottom, 2 * a.bottom + 1, 4);

    const TextImage reduced = HalfSize(big);
    long long diff = 0, ink = 0;
    for (int y = 0; y < small.height; ++y)
        for (int x = 0; x < small.width; ++x) {
            diff += std::abs(static_cast<int>(reduced.alpha(x, y)) - static_cast<int>(small.alpha(x, y)));
            ink += small.alpha(x, y);
        }
    EXPECT_LT(diff * 100, ink * 35) << "the reduced large render matches the small one";
}

TEST(RenderText, TheTextIsReadWithinItsThousandTwentyFourBytes) {
    // The RTF fills all 1024 bytes without a NUL; the bytes after it (the
    // layout size) must not be read as text: here they would spell "X\x01X".
    RichTextDesc full = ktest::MakeDesc("", 0x0158, 0x0058, RGB(0, 0, 0), true);
    std::string rtf = "{\\rtf1\\ansi{\\colortbl;\\red255\\green255\\blue255;}\\cf1\\fs40 A{\\*\\pad ";
    rtf.resize(sizeof full.rtf - 1, ' ');
    rtf += '}';
    std::memcpy(full.rtf, rtf.data(), sizeof full.rtf);
    const RichTextDesc plain = ktest::MakeDesc(
        "{\\rtf1\\ansi{\\colortbl;\\red255\\green255\\blue255;}\\cf1\\fs40 A}", 0x0158, 0x0058,
        RGB(0, 0, 0), true);
    TextImage a, b;
    ASSERT_TRUE(ktest::TakeBitmap(QVRRenderText(&full, 344, 120), a));
    ASSERT_TRUE(ktest::TakeBitmap(QVRRenderText(&plain, 344, 120), b));
    const auto covered = [](std::uint32_t p) { return (p >> 24) != 0; };
    const ktest::Box boxA = ktest::InkBox(a, covered), boxB = ktest::InkBox(b, covered);
    ASSERT_FALSE(boxB.empty());
    EXPECT_EQ(boxA.right, boxB.right) << "only the A is drawn";
    EXPECT_TRUE(a.px == b.px);
}

TEST(RenderText, RefusedArguments) {
    const RichTextDesc desc = ktest::MakeDesc(kTitle, 0, 60, RGB(0, 0, 0), true);
    EXPECT_EQ(QVRRenderText(&desc, 100, 50), nullptr) << "a page of width 0";
    RichTextDesc ok = desc;
    ok.layoutWidth = 100;
    EXPECT_EQ(QVRRenderText(&ok, 0, 50), nullptr);
    EXPECT_EQ(QVRRenderText(&ok, 100, -1), nullptr);
    EXPECT_EQ(QVRRenderText(nullptr, 100, 50), nullptr);
}

// A failure must not leave a GDI object behind. The platform cannot count a
// process's objects, so the test fails the same render more often than the
// GDI table has room: any leak on that path exhausts the table.
TEST(RenderText, AFailedRenderLeavesNoGdiObject) {
    std::vector<HBRUSH> brushes;
    for (;;) {
        HBRUSH b = CreateSolidBrush(RGB(1, 2, 3));
        if (!b || brushes.size() > 200000) break;
        brushes.push_back(b);
    }
    const size_t room = brushes.size();
    for (HBRUSH b : brushes) DeleteObject(b);
    ASSERT_GT(room, 1000u);

    // The result (1 GiB) can be made, the work bitmap (4 GiB) cannot.
    const RichTextDesc desc = ktest::MakeDesc(kTitle, 200, 60, RGB(0, 0, 0), true);
    int nulls = 0;
    for (size_t i = 0; i < room + 100; ++i) nulls += QVRRenderText(&desc, 16384, 16384) == nullptr;
    EXPECT_EQ(nulls, static_cast<int>(room + 100));
    HBRUSH after = CreateSolidBrush(RGB(1, 2, 3));
    EXPECT_NE(after, nullptr) << "GDI objects leaked";
    DeleteObject(after);
    // And the renderer still works.
    TextImage image;
    EXPECT_TRUE(ktest::TakeBitmap(QVRRenderText(&desc, 200, 100), image));
}

// Renders from a thread that has ended, and from a second thread, draw text.
TEST(RenderText, RendersFromAnyThread) {
    ktest::Helper helper("media-render-threads");
    ASSERT_TRUE(helper.started());
    EXPECT_EQ(helper.Wait(60000), 0u) << "the helper's exit code names the failed render";
}

}  // namespace
