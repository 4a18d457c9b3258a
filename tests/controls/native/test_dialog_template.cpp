// The dialog template converter, natively under AddressSanitizer and UBSan:
// each case builds a template as a resource compiler would and the converted
// template the dialog manager should then read, and compares the bytes.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "../template_builder.h"
#include "controls/framework/dialog_template.h"

namespace {

using kelmard::ConvertDialogTemplate;
using kelmard::kUnboundedTemplate;
using testing_support::TemplateBuilder;
using testing_support::kButtonAtom;
using testing_support::kComboBoxAtom;
using testing_support::kDsSetFont;
using testing_support::kEditAtom;
using testing_support::kListBoxAtom;
using testing_support::kScrollBarAtom;
using testing_support::kStaticAtom;
using testing_support::kWsChildVisible;

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

// The header part of a DIALOG template with no menu and no class of its own,
// titled "Settings", in 8-point "MS Shell Dlg".
TemplateBuilder DialogHead(std::uint16_t items, const char* dialogClass = nullptr) {
    TemplateBuilder b;
    b.Dialog(0x80C800C0 | kDsSetFont, items, 0, 0, 200, 100).Word(0);
    if (dialogClass) b.String(dialogClass);
    else b.Word(0);
    b.String("Settings").Font(8, "MS Shell Dlg");
    return b;
}

TemplateBuilder DialogExHead(std::uint16_t items, const char* dialogClass = nullptr) {
    TemplateBuilder b;
    b.DialogEx(0x80C800C0 | kDsSetFont, items, 0, 0, 200, 100, 0x400, 77).Word(0);
    if (dialogClass) b.String(dialogClass);
    else b.Word(0);
    b.String("Settings").Font(9, "Segoe UI", 700, 1, 0);
    return b;
}

// The head of DialogHead or DialogExHead as converted: the missing class became "WKDialog".
TemplateBuilder ConvertedHead(bool dialogEx, std::uint16_t items) {
    TemplateBuilder b;
    if (dialogEx) b.DialogEx(0x80C800C0 | kDsSetFont, items, 0, 0, 200, 100, 0x400, 77);
    else b.Dialog(0x80C800C0 | kDsSetFont, items, 0, 0, 200, 100);
    b.Word(0).String("WKDialog").String("Settings");
    if (dialogEx) b.Font(9, "Segoe UI", 700, 1, 0);
    else b.Font(8, "MS Shell Dlg");
    return b;
}

TEST(DialogTemplate, WithoutItemsTheDialogGetsTheLibraryClassAndNoPadding) {
    // DIALOG: header, no menu, no class, a title of odd length, the font.
    TemplateBuilder source;
    source.Dialog(0x80C80000 | kDsSetFont, 0, 10, 10, 120, 60).Word(0).Word(0).String("Tiny!").Font(8, "Tahoma");
    TemplateBuilder expected;
    expected.Dialog(0x80C80000 | kDsSetFont, 0, 10, 10, 120, 60).Word(0).String("WKDialog").String("Tiny!")
        .Font(8, "Tahoma");
    ASSERT_NE(expected.size() % 4, 0u);  // the case means something only when unrounded
    EXPECT_EQ(Convert(source.bytes()), expected.bytes());

    // DIALOGEX without DS_SETFONT: no font block is read or written.
    TemplateBuilder ex;
    ex.DialogEx(0x80C80000, 0, 0, 0, 50, 50).Word(0).Word(0).String("");
    TemplateBuilder exExpected;
    exExpected.DialogEx(0x80C80000, 0, 0, 0, 50, 50).Word(0).String("WKDialog").String("");
    EXPECT_EQ(Convert(ex.bytes()), exExpected.bytes());
}

TEST(DialogTemplate, MenusAndDialogClassesAsOrdinalsOrNamesAreKept) {
    for (bool dialogEx : {false, true}) {
        for (int variant = 0; variant < 2; ++variant) {
            TemplateBuilder b;
            if (dialogEx) b.DialogEx(0x80C80000, 0, 0, 0, 80, 40);
            else b.Dialog(0x80C80000, 0, 0, 0, 80, 40);
            if (variant == 0) b.Ordinal(101).Ordinal(0x8002);           // menu and class as ordinals
            else b.String("MAINMENU").String("PluginDialogClass");      // both as names
            b.String("Kept");
            SCOPED_TRACE(std::string(dialogEx ? "DIALOGEX" : "DIALOG") + (variant ? " names" : " ordinals"));
            EXPECT_EQ(Convert(b.bytes()), b.bytes());
        }
    }
    // A menu name with a missing class: only the class changes.
    TemplateBuilder source;
    source.Dialog(0x80C80000, 0, 0, 0, 80, 40).String("MENU").Word(0).String("T");
    TemplateBuilder expected;
    expected.Dialog(0x80C80000, 0, 0, 0, 80, 40).String("MENU").String("WKDialog").String("T");
    EXPECT_EQ(Convert(source.bytes()), expected.bytes());
}

// One item of each predefined class, in both formats: which become the
// library's classes and which stay (owner-draw buttons, unknown atoms).
TEST(DialogTemplate, PredefinedClassesAreReplacedExceptOwnerDrawButtons) {
    struct Case {
        std::uint16_t atom;
        std::uint32_t style;
        const char* becomes;  // null: unchanged
    };
    const Case cases[] = {
        {kButtonAtom, 0x0 /*BS_PUSHBUTTON*/, "WKButton"},   {kButtonAtom, 0x1 /*BS_DEFPUSHBUTTON*/, "WKButton"},
        {kButtonAtom, 0x3 /*BS_AUTOCHECKBOX*/, "WKButton"}, {kButtonAtom, 0x7 /*BS_GROUPBOX*/, "WKButton"},
        {kButtonAtom, 0x9 /*BS_AUTORADIOBUTTON*/, "WKButton"},
        {kButtonAtom, 0xB /*BS_OWNERDRAW*/, nullptr},       {kButtonAtom, 0x1000 | 0xB, nullptr},
        {kButtonAtom, 0xC, "WKButton"},                     {kEditAtom, 0x80, "WKEdit"},
        {kStaticAtom, 0xB /*SS_SIMPLE*/, "WKStatic"},       {kListBoxAtom, 0, "WKListBox"},
        {kScrollBarAtom, 0, "WKScrollBar"},                 {kComboBoxAtom, 3, "WKComboBox"},
        {0x86, 0, nullptr},                                 {0x7F, 0, nullptr},
    };
    for (bool dialogEx : {false, true}) {
        const std::uint16_t count = static_cast<std::uint16_t>(std::size(cases));
        TemplateBuilder source = dialogEx ? DialogExHead(count) : DialogHead(count);
        TemplateBuilder expected = ConvertedHead(dialogEx, count);
        std::uint32_t id = 100;
        for (const Case& c : cases) {
            // The help id of DIALOGEX items holds a button type too: the style
            // must be read at its own place.
            for (TemplateBuilder* b : {&source, &expected}) b->Item(kWsChildVisible | c.style, 1, 2, 30, 12, id, 0, 0xB);
            source.Ordinal(c.atom);
            if (c.becomes) expected.String(c.becomes);
            else expected.Ordinal(c.atom);
            for (TemplateBuilder* b : {&source, &expected}) b->String("Caption").NoData();
            ++id;
        }
        expected.Align4();
        SCOPED_TRACE(dialogEx ? "DIALOGEX" : "DIALOG");
        EXPECT_EQ(Convert(source.bytes()), expected.bytes());
    }
}

TEST(DialogTemplate, CommonControlNamesMatchWithoutRegardToCase) {
    struct Case {
        const char* name;
        const char* becomes;
    };
    const Case cases[] = {
        {"msctls_trackbar32", "WKSlider"}, {"MSCTLS_TRACKBAR32", "WKSlider"}, {"SysTabControl32", "WKTab"},
        {"systabcontrol32", "WKTab"},      {"msctls_UpDown32", "WKSpin"},     {"SysTreeView32", "WKTreeView"},
        {"Edit", nullptr},                 {"BUTTON", nullptr},               {"WKRange", nullptr},
        {"msctls_trackbar3", nullptr},     {"msctls_trackbar32x", nullptr},   {"", nullptr},
    };
    const std::uint16_t count = static_cast<std::uint16_t>(std::size(cases) + 1);
    TemplateBuilder source = DialogExHead(count);
    TemplateBuilder expected = ConvertedHead(true, count);
    for (const Case& c : cases) {
        for (TemplateBuilder* b : {&source, &expected}) b->Item(kWsChildVisible, 0, 0, 10, 10, 1);
        source.String(c.name);
        expected.String(c.becomes ? c.becomes : c.name);
        for (TemplateBuilder* b : {&source, &expected}) b->Ordinal(7).NoData();
    }
    // A non-ASCII letter whose case folding would give an ASCII one is no match:
    // KELVIN SIGN (U+212A) in place of the 'k' of trackbar.
    for (TemplateBuilder* b : {&source, &expected}) {
        b->Item(kWsChildVisible, 0, 0, 10, 10, 2);
        b->Units({'m', 's', 'c', 't', 'l', 's', '_', 't', 'r', 'a', 'c', 0x212A, 'b', 'a', 'r', '3', '2'});
        b->String("").NoData();
    }
    expected.Align4();
    EXPECT_EQ(Convert(source.bytes()), expected.bytes());
}

TEST(DialogTemplate, CreationDataIsCopiedWithItsCountWordInBothFormats) {
    const std::uint8_t data[6] = {0xDE, 0xAD, 0xBE, 0xEF, 0x01, 0x02};
    for (bool dialogEx : {false, true}) {
        TemplateBuilder source = dialogEx ? DialogExHead(2) : DialogHead(2);
        TemplateBuilder expected = ConvertedHead(dialogEx, 2);
        // A custom control with six bytes of creation data, then a button.
        for (TemplateBuilder* b : {&source, &expected}) {
            b->Item(kWsChildVisible, 0, 0, 40, 10, 300).String("PluginCurve").Ordinal(12);
            b->Word(6).Bytes(data, sizeof data);
            b->Item(kWsChildVisible, 0, 20, 40, 10, 301);
        }
        source.Ordinal(kButtonAtom);
        expected.String("WKButton");
        for (TemplateBuilder* b : {&source, &expected}) b->String("OK").NoData();
        expected.Align4();
        SCOPED_TRACE(dialogEx ? "DIALOGEX" : "DIALOG");
        EXPECT_EQ(Convert(source.bytes()), expected.bytes());
    }
}

TEST(DialogTemplate, ConvertingAgainChangesNothing) {
    TemplateBuilder source = DialogHead(4);
    source.Item(kWsChildVisible, 5, 5, 50, 14, 1).Ordinal(kButtonAtom).String("&OK").NoData();
    source.Item(kWsChildVisible, 5, 25, 50, 14, 2).Ordinal(kEditAtom).String("").NoData();
    source.Item(kWsChildVisible, 5, 45, 50, 14, 3).String("msctls_trackbar32").String("").NoData();
    source.Item(kWsChildVisible, 5, 65, 50, 14, 4).Ordinal(kStaticAtom).Ordinal(200).Word(2).Word(0xABCD);
    const Bytes once = Convert(source.bytes());
    EXPECT_EQ(Convert(once), once);
}

// The source may lie at any address: items start on 4-byte boundaries of the
// source's own addresses, while the copy is aligned from its start.
TEST(DialogTemplate, ItemsAlignByTheSourceAddresses) {
    TemplateBuilder aligned = DialogHead(2);
    aligned.Item(kWsChildVisible, 0, 0, 10, 10, 1).Ordinal(kStaticAtom).String("ab").NoData();
    aligned.Item(kWsChildVisible, 0, 0, 10, 10, 2).Ordinal(kStaticAtom).String("c").NoData();
    const Bytes expected = Convert(aligned.bytes());
    // The same template placed at an address two bytes past a boundary, with
    // its item padding laid out for that address, converts to the same bytes.
    TemplateBuilder head = DialogHead(2);
    Bytes shifted(2, 0xEE);
    Bytes body = head.bytes();
    auto item = [&](std::uint16_t id, const char* title) {
        while ((shifted.size() + body.size()) % 4) body.push_back(0);
        TemplateBuilder it;
        it.Dword(kWsChildVisible).Dword(0).Word(0).Word(0).Word(10).Word(10).Word(id).Ordinal(kStaticAtom)
            .String(title).NoData();
        body.insert(body.end(), it.bytes().begin(), it.bytes().end());
    };
    item(1, "ab");
    item(2, "c");
    shifted.insert(shifted.end(), body.begin(), body.end());
    // 4-byte aligned block, template at offset 2.
    std::unique_ptr<std::uint32_t[]> block(new std::uint32_t[(shifted.size() + 3) / 4]);
    std::memcpy(block.get(), shifted.data(), shifted.size());
    const auto* start = reinterpret_cast<const std::uint8_t*>(block.get()) + 2;
    const std::size_t size = ConvertDialogTemplate(start, body.size(), nullptr);
    ASSERT_EQ(size, expected.size());
    Bytes out(size);
    ConvertDialogTemplate(start, body.size(), out.data());
    EXPECT_EQ(out, expected);
}

// A count of 0x8000 or more is a count of items like any other.
TEST(DialogTemplate, ItemCountIsAnUnsignedWord) {
    const std::uint16_t count = 0x8001;
    TemplateBuilder source = DialogHead(count);
    for (unsigned i = 0; i < count; ++i)
        source.Item(kWsChildVisible, 0, 0, 4, 4, static_cast<std::uint16_t>(i)).Ordinal(kStaticAtom).Word(0).NoData();
    const Bytes out = Convert(source.bytes());
    // Head (converted) then each item: 18 + "WKStatic" (18) + 2 + 2 = 40 bytes.
    EXPECT_EQ(out.size(), ConvertedHead(false, count).Align4().size() + std::size_t{count} * 40);
    // Without the items the bound stops the converter.
    EXPECT_EQ(ConvertDialogTemplate(DialogHead(count).data(), DialogHead(count).size(), nullptr), 0u);
}

// Cut at every length, a template never converts and nothing past the cut is
// read (the bytes lie in a heap block of exactly that size).
TEST(DialogTemplate, TruncatedTemplatesAnswerZeroWithoutReadingPastTheBound) {
    for (bool dialogEx : {false, true}) {
        TemplateBuilder source = dialogEx ? DialogExHead(3, "Own") : DialogHead(3);
        source.Item(kWsChildVisible, 0, 0, 10, 10, 1).String("SysTabControl32").String("Tabs").NoData();
        source.Item(kWsChildVisible, 0, 0, 10, 10, 2).Ordinal(kComboBoxAtom).Ordinal(5).Word(4).Dword(0x12345678);
        source.Item(kWsChildVisible, 0, 0, 10, 10, 3).Ordinal(kButtonAtom).String("Last").NoData();
        const std::size_t full = ConvertDialogTemplate(source.data(), source.size(), nullptr);
        ASSERT_GT(full, 0u);
        // The last item needs its title's terminator and the data word: the
        // bytes after them (none) and the final padding are not needed.
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
