// The dialog template converter, natively under AddressSanitizer and UBSan:
// each case builds a template as a resource compiler would and the converted
// template the dialog manager should then read, and compares the bytes.
// (That converting a converted template changes nothing is the fuzz target's rule.)
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "../template_builder.h"
#include "controls/framework/dialog_template.h"

namespace {

using kelmard::ConvertDialogTemplate;
using kelmard::kUnboundedTemplate;
using namespace testing_support;
using Bytes = std::vector<std::uint8_t>;

// Measures, converts into a buffer of exactly the measured size (ASan sees a
// write past it) and checks that both answers agree. The source lies in a
// heap block of exactly its size, so a read past it is seen too.
Bytes Convert(const Bytes& source) {
    std::unique_ptr<std::uint8_t[]> exact(new std::uint8_t[source.size()]);
    std::memcpy(exact.get(), source.data(), source.size());
    const std::size_t measured = ConvertDialogTemplate(exact.get(), source.size(), nullptr);
    EXPECT_GT(measured, 0u);
    Bytes out(measured);
    EXPECT_EQ(ConvertDialogTemplate(exact.get(), source.size(), out.data()), measured);
    return out;
}

// The head of a template titled "Settings"; menu and class null: the empty
// field, "#": an ordinal; `converted`: as the converter writes it.
TemplateBuilder Head(bool dialogEx, std::uint16_t items, bool converted, const char* dialogClass = nullptr,
                     const char* menu = nullptr, bool setFont = true) {
    TemplateBuilder b;
    const std::uint32_t style = 0x80C80080 | (setFont ? kDsSetFont : 0);
    if (dialogEx) b.DialogEx(style, items, 0, 0, 200, 100, 0x400, 77);
    else b.Dialog(style, items, 0, 0, 200, 100);
    for (const char* name : {menu, dialogClass ? dialogClass : converted ? "WKDialog" : nullptr}) {
        if (!name) b.Word(0);
        else if (*name == '#') b.Ordinal(0x8002);
        else b.String(name);
    }
    b.String("Settings");
    if (setFont && dialogEx) b.Font(9, "Segoe UI", 700, 1, 0);
    else if (setFont) b.Font(8, "MS Shell Dlg");
    return b;
}

// The dialog's own part: a missing class becomes "WKDialog" (no padding after
// the head when there are no items; no font block read without DS_SETFONT);
// menus and classes given as ordinals or names are kept.
TEST(DialogTemplate, OnlyAMissingDialogClassIsReplaced) {
    struct Case {
        bool dialogEx, setFont;
        const char *menu, *dialogClass;
    } cases[] = {{false, true, nullptr, nullptr}, {true, false, nullptr, nullptr}, {false, false, "MENU", nullptr},
                 {false, false, "#", "#"},        {true, false, "#", "#"},        {false, false, "MAINMENU", "Own"},
                 {true, false, "MAINMENU", "Own"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.dialogEx ? "DIALOGEX" : "DIALOG") + " menu " + (c.menu ? c.menu : "none") +
                     " class " + (c.dialogClass ? c.dialogClass : "none"));
        EXPECT_EQ(Convert(Head(c.dialogEx, 0, false, c.dialogClass, c.menu, c.setFont).bytes()),
                  Head(c.dialogEx, 0, true, c.dialogClass, c.menu, c.setFont).bytes());
    }
}

// One item of each predefined class and of named classes, in both formats:
// which become the library's classes and which stay (owner-draw buttons,
// unknown atoms and names; names match without regard to ASCII case), and a
// custom control's creation data copied with its count word.
TEST(DialogTemplate, ItemClassesAreReplacedAndCreationDataCopied) {
    struct Case {
        std::uint16_t atom;  // 0: by name
        const char* name;
        std::uint32_t style;
        const char* becomes;  // null: unchanged
    } cases[] = {
        {kButtonAtom, nullptr, 0x0 /*BS_PUSHBUTTON*/, "WKButton"}, {kButtonAtom, nullptr, 0x7 /*BS_GROUPBOX*/, "WKButton"},
        {kButtonAtom, nullptr, 0x9 /*BS_AUTORADIOBUTTON*/, "WKButton"},
        {kButtonAtom, nullptr, 0xB /*BS_OWNERDRAW*/, nullptr},     {kButtonAtom, nullptr, 0x1000 | 0xB, nullptr},
        {kButtonAtom, nullptr, 0xC, "WKButton"},                   {kEditAtom, nullptr, 0x80, "WKEdit"},
        {kStaticAtom, nullptr, 0xB /*SS_SIMPLE*/, "WKStatic"},     {kListBoxAtom, nullptr, 0, "WKListBox"},
        {kScrollBarAtom, nullptr, 0, "WKScrollBar"},               {kComboBoxAtom, nullptr, 3, "WKComboBox"},
        {0x86, nullptr, 0, nullptr},                               {0x7F, nullptr, 0, nullptr},
        {0, "msctls_trackbar32", 0, "WKSlider"},                   {0, "MSCTLS_TRACKBAR32", 0, "WKSlider"},
        {0, "systabcontrol32", 0, "WKTab"},                        {0, "msctls_UpDown32", 0, "WKSpin"},
        {0, "SysTreeView32", 0, "WKTreeView"},                     {0, "Edit", 0, nullptr},
        {0, "WKRange", 0, nullptr},                                {0, "msctls_trackbar3", 0, nullptr},
        {0, "msctls_trackbar32x", 0, nullptr},                     {0, "", 0, nullptr},
    };
    const std::uint8_t data[6] = {0xDE, 0xAD, 0xBE, 0xEF, 0x01, 0x02};
    for (bool dialogEx : {false, true}) {
        const auto count = static_cast<std::uint16_t>(std::size(cases) + 2);
        TemplateBuilder source = Head(dialogEx, count, false), expected = Head(dialogEx, count, true);
        std::uint32_t id = 100;
        for (const Case& c : cases) {
            // The help id of DIALOGEX items holds a button type too: the style
            // must be read at its own place.
            for (TemplateBuilder* b : {&source, &expected}) b->Item(kWsChildVisible | c.style, 1, 2, 30, 12, id, 0, 0xB);
            ++id;
            if (c.atom) source.Ordinal(c.atom);
            else source.String(c.name);
            if (c.becomes) expected.String(c.becomes);
            else if (c.atom) expected.Ordinal(c.atom);
            else expected.String(c.name);
            for (TemplateBuilder* b : {&source, &expected}) b->String("Caption").NoData();
        }
        for (TemplateBuilder* b : {&source, &expected}) {
            // A non-ASCII letter whose case folding would give an ASCII one is
            // no match: KELVIN SIGN (U+212A) in place of the 'k' of trackbar.
            b->Item(kWsChildVisible, 0, 0, 10, 10, 2);
            b->Units({'m', 's', 'c', 't', 'l', 's', '_', 't', 'r', 'a', 'c', 0x212A, 'b', 'a', 'r', '3', '2'});
            b->String("").NoData();
            b->Item(kWsChildVisible, 0, 0, 40, 10, 300).String("PluginCurve").Ordinal(12).Word(6).Bytes(data, sizeof data);
        }
        expected.Align4();
        SCOPED_TRACE(dialogEx ? "DIALOGEX" : "DIALOG");
        EXPECT_EQ(Convert(source.bytes()), expected.bytes());
    }
}

// The source may lie at any address: items start on 4-byte boundaries of the
// source's own addresses, while the copy is aligned from its start. The same
// template at a boundary and two bytes past one (a builder pads items from its
// own start: two leading bytes lay them out for that address).
TEST(DialogTemplate, ItemsAlignByTheSourceAddresses) {
    Bytes aligned;
    for (std::size_t shift : {0, 2}) {
        TemplateBuilder b;
        if (shift) b.Word(0xEEEE);
        b.Dialog(0x80C800C0 | kDsSetFont, 2, 0, 0, 200, 100).Word(0).Word(0).String("Settings").Font(8, "MS Shell Dlg");
        b.Item(kWsChildVisible, 0, 0, 10, 10, 1).Ordinal(kStaticAtom).String("ab").NoData();
        b.Item(kWsChildVisible, 0, 0, 10, 10, 2).Ordinal(kStaticAtom).String("c").NoData();
        std::unique_ptr<std::uint32_t[]> block(new std::uint32_t[(b.size() + 3) / 4]);
        std::memcpy(block.get(), b.data(), b.size());
        const auto* start = reinterpret_cast<const std::uint8_t*>(block.get()) + shift;
        Bytes out(ConvertDialogTemplate(start, b.size() - shift, nullptr));
        ASSERT_GT(out.size(), 0u);
        ASSERT_EQ(ConvertDialogTemplate(start, b.size() - shift, out.data()), out.size());
        if (shift) EXPECT_EQ(out, aligned);
        aligned = out;
    }
}

// A count of 0x8000 or more is a count of items like any other.
TEST(DialogTemplate, ItemCountIsAnUnsignedWord) {
    const std::uint16_t count = 0x8001;
    TemplateBuilder source = Head(false, count, false);
    for (unsigned i = 0; i < count; ++i)
        source.Item(kWsChildVisible, 0, 0, 4, 4, static_cast<std::uint16_t>(i)).Ordinal(kStaticAtom).Word(0).NoData();
    // Head (converted) then each item: 18 + "WKStatic" (18) + 2 + 2 = 40 bytes.
    EXPECT_EQ(Convert(source.bytes()).size(), Head(false, count, true).Align4().size() + std::size_t{count} * 40);
    // Without the items the bound stops the converter.
    EXPECT_EQ(ConvertDialogTemplate(Head(false, count, false).data(), Head(false, count, false).size(), nullptr), 0u);
}

// Cut at every length, a template never converts and nothing past the cut is
// read (the bytes lie in a heap block of exactly that size).
TEST(DialogTemplate, TruncatedTemplatesAnswerZeroWithoutReadingPastTheBound) {
    for (bool dialogEx : {false, true}) {
        TemplateBuilder source = Head(dialogEx, 3, false, dialogEx ? "Own" : nullptr);
        source.Item(kWsChildVisible, 0, 0, 10, 10, 1).String("SysTabControl32").String("Tabs").NoData();
        source.Item(kWsChildVisible, 0, 0, 10, 10, 2).Ordinal(kComboBoxAtom).Ordinal(5).Word(4).Dword(0x12345678);
        source.Item(kWsChildVisible, 0, 0, 10, 10, 3).Ordinal(kButtonAtom).String("Last").NoData();
        const std::size_t full = ConvertDialogTemplate(source.data(), source.size(), nullptr);
        ASSERT_GT(full, 0u);
        for (std::size_t n = 0; n < source.size(); ++n) {
            std::unique_ptr<std::uint8_t[]> cut(new std::uint8_t[n ? n : 1]);
            std::memcpy(cut.get(), source.data(), n);
            EXPECT_EQ(ConvertDialogTemplate(cut.get(), n, nullptr), 0u) << "cut at " << n;
            Bytes out(full);
            EXPECT_EQ(ConvertDialogTemplate(cut.get(), n, out.data()), 0u) << "cut at " << n;
        }
        EXPECT_EQ(ConvertDialogTemplate(source.data(), kUnboundedTemplate, nullptr), full);
    }
    EXPECT_EQ(ConvertDialogTemplate(nullptr, 100, nullptr), 0u);
}

}  // namespace
