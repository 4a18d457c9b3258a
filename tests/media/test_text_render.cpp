// Rich text: RTF in and out of RichEdit controls, and text rendered into
// bitmaps, checked by their pixels.
#include <gtest/gtest.h>
#include <richedit.h>

#include <string>
#include <vector>

#include "media/render.h"
#include "support/processes.h"

namespace {

const char kTitle[] =
    "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}}{\\colortbl;\\red255\\green32\\blue0;}"
    "\\f0\\fs48\\cf1\\b Kelmard Title\\par}";

TEST(RichText, TransfersRtfAndNeverWritesPastTheBuffer) {
    const kelmard::UniqueModule richEdit(LoadLibraryA("RichEd20"));
    const kelmard::UniqueWindow window(CreateWindowExA(0, "RichEdit20A", "", ES_MULTILINE, 0, 0, 200, 100,
                                                       nullptr, nullptr, nullptr, nullptr));
    const HWND control = window.get();
    ASSERT_GT(QVRSetRichText(control, kTitle), 0);
    char text[64] = "";
    GetWindowTextA(control, text, sizeof text);
    EXPECT_STREQ(text, "Kelmard Title") << "the RTF was read as RTF";

    char full[4096];
    const int length = QVRGetRichText(control, full, sizeof full);
    ASSERT_GT(length, 10);
    EXPECT_EQ(static_cast<size_t>(length), std::strlen(full));
    EXPECT_EQ(std::strncmp(full, "{\\rtf", 5), 0);
    EXPECT_NE(std::strstr(full, "Kelmard Title"), nullptr);

    // Exactly enough (text and NUL), one byte short, half, size 1, size 0.
    for (int size : {length + 1, length, length / 2, 1, 0}) {
        SCOPED_TRACE("size " + std::to_string(size));
        std::string buffer(static_cast<size_t>(length) + 64, '#');
        const bool fits = size == length + 1;
        EXPECT_EQ(QVRGetRichText(control, &buffer[0], size), fits ? length : 0);
        if (size > 0) { EXPECT_EQ(buffer.substr(0, fits ? size : 1), std::string(fits ? full : "") + '\0'); }
        EXPECT_EQ(buffer.find_first_not_of('#', static_cast<size_t>(size)), std::string::npos) << "written past";
    }
}

TEST(RenderText, TextInItsColourWithCoverageAtTheEdgesOrAveragedWithout) {
    RichTextDesc desc = ktest::MakeDesc(kTitle, 320, 60, RGB(0, 0, 64), true);
    const kpicture::Image image = ktest::Render(desc, 320, 120);
    ASSERT_EQ(image.width, 320);
    int counts[256] = {}, full = 0, fullInColour = 0;
    for (std::uint32_t p : image.pixels) {
        const unsigned a = p >> 24;
        ++counts[a];
        if (a == 0) { EXPECT_EQ(p, 0x00000040u) << "uncovered pixels keep the background"; }
        if (a == 255) { ++full; fullInColour += (p & 0xFFFFFF) == 0xFF2000u; }
    }
    const int edges = counts[64] + counts[128] + counts[191];
    EXPECT_EQ(counts[0] + edges + full, 320 * 120) << "coverage comes in quarters";
    EXPECT_GT(full, 200) << "the text is there";
    EXPECT_GT(edges, 50) << "its edges are partly covered";
    EXPECT_GT(fullInColour * 10, full * 9) << "in the colour of the text";
    const ktest::Box box = ktest::InkBox(image);  // the title sits at the top left
    EXPECT_LT(box.left, 20);
    EXPECT_LT(box.top, 30);
    EXPECT_LT(box.bottom, 100);

    // Without coverage: alpha 0, white over black averaged to greys.
    desc = ktest::MakeDesc("{\\rtf1\\ansi{\\colortbl;\\red255\\green255\\blue255;}\\fs40\\cf1 Mix}",
                           200, 50, RGB(0, 0, 0), false);
    const kpicture::Image mixed = ktest::Render(desc, 200, 100);
    ASSERT_FALSE(mixed.empty());
    int grey = 0;
    for (std::uint32_t p : mixed.pixels) {
        const unsigned r = p >> 16 & 0xFF;
        ASSERT_EQ(p, r << 16 | r << 8 | r) << std::hex << p;  // alpha 0; white over black stays grey
        grey += r > 0 && r < 255;
    }
    EXPECT_GT(kpicture::CountColour(mixed, 0xFFFFFF), 50);
    EXPECT_GT(grey, 50);
}

TEST(RenderText, TwiceTheWidthLaysOutTheSameTextAtTwiceTheScale) {
    const RichTextDesc desc = ktest::MakeDesc(
        "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\fs28 The same words wrap the same way "
        "at every size of the bitmap.\\par}",
        200, 80, RGB(255, 255, 255), true);
    const ktest::Box a = ktest::InkBox(ktest::Render(desc, 200, 120));
    const ktest::Box b = ktest::InkBox(ktest::Render(desc, 400, 240));
    ASSERT_GE(a.right, 0);
    EXPECT_GT(a.bottom - a.top, 25) << "the page width wraps the text";
    EXPECT_NEAR(b.left, 2 * a.left, 3);
    EXPECT_NEAR(b.right, 2 * a.right + 1, 4);
    EXPECT_NEAR(b.top, 2 * a.top, 3);
    EXPECT_NEAR(b.bottom, 2 * a.bottom + 1, 4);
}

TEST(RenderText, TheTextIsReadWithinItsThousandTwentyFourBytes) {
    // The RTF fills all 1024 bytes without a NUL; the layout size after it
    // would read as "X\x01X" if taken for text.
    RichTextDesc full = ktest::MakeDesc("", 0x0158, 0x0058, RGB(0, 0, 0), true);
    std::string rtf = "{\\rtf1\\ansi{\\colortbl;\\red255\\green255\\blue255;}\\cf1\\fs40 A{\\*\\pad ";
    rtf.resize(sizeof full.rtf - 1, ' ');
    std::memcpy(full.rtf, (rtf + '}').data(), sizeof full.rtf);
    const RichTextDesc plain = ktest::MakeDesc(
        "{\\rtf1\\ansi{\\colortbl;\\red255\\green255\\blue255;}\\cf1\\fs40 A}", 0x0158, 0x0058, 0, true);
    const kpicture::Image a = ktest::Render(full, 344, 120), b = ktest::Render(plain, 344, 120);
    ASSERT_GE(ktest::InkBox(b).right, 0);
    EXPECT_TRUE(a.pixels == b.pixels) << "only the A is drawn";
}

TEST(RenderText, RefusedArguments) {
    const RichTextDesc noPage = ktest::MakeDesc(kTitle, 0, 60, 0, true), page = ktest::MakeDesc(kTitle, 100, 60, 0, true),
                       narrow = ktest::MakeDesc(kTitle, 1, 60, 0, true);
    EXPECT_EQ(QVRRenderText(&noPage, 100, 50), nullptr) << "a page of width 0";
    EXPECT_EQ(QVRRenderText(&page, 0, 50), nullptr);
    EXPECT_EQ(QVRRenderText(&page, 100, -1), nullptr);
    EXPECT_EQ(QVRRenderText(nullptr, 100, 50), nullptr);
    EXPECT_EQ(QVRRenderText(&narrow, 1100000, 1), nullptr) << "a scale past the int range";
}

// The platform cannot count a process's GDI objects, so the test fails the
// same render more often than the GDI table has room: a leak exhausts it.
TEST(RenderText, AFailedRenderLeavesNoGdiObject) {
    std::vector<kelmard::UniqueBrush> brushes;
    for (kelmard::UniqueBrush b; brushes.size() <= 200000 && (b.reset(CreateSolidBrush(RGB(1, 2, 3))), b);)
        brushes.push_back(std::move(b));
    const size_t room = brushes.size();
    brushes.clear();
    ASSERT_GT(room, 1000u);

    // The result (1 GiB) can be made, the work bitmap (4 GiB) cannot.
    const RichTextDesc desc = ktest::MakeDesc(kTitle, 200, 60, RGB(0, 0, 0), true);
    size_t nulls = 0;
    for (size_t i = 0; i < room + 100; ++i) nulls += QVRRenderText(&desc, 16384, 16384) == nullptr;
    EXPECT_EQ(nulls, room + 100);
    EXPECT_TRUE(kelmard::UniqueBrush(CreateSolidBrush(RGB(1, 2, 3)))) << "GDI objects leaked";
    EXPECT_FALSE(ktest::Render(desc, 200, 100).empty()) << "the renderer still works";
}

// Renders from a thread that has ended, and from a second thread, draw text.
TEST(RenderText, RendersFromAnyThread) {
    EXPECT_EQ(ktest::Helper("media-render-threads").Wait(60000), 0u) << "the exit code names the failed render";
}

}  // namespace
