// The TV format table, as a scene sees it: the library reads
// DestDir\Presets\TvFormats.cfg when it is loaded, and QVRCheckVideoFormat
// answers from it. This program does not link the library: each case writes
// its file, then loads and frees KELMARD.DLL so that it reads that file.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "kelmard.h"
#include "media/debug_capture.h"
#include "media/install_folder.h"

namespace {

using CheckFn = int(QVRAPI*)(DWORD, float*, short*);

// The library loaded for one case; the table is read at load.
class Library {
public:
    Library() : module_(LoadLibraryA("KELMARD.DLL")) {
        if (module_) check_ = reinterpret_cast<CheckFn>(
                reinterpret_cast<void*>(GetProcAddress(module_, "QVRCheckVideoFormat")));
    }
    ~Library() { if (module_) FreeLibrary(module_); }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    bool loaded() const { return check_ != nullptr; }

    struct Answer {
        int result;
        float aspect;
        short underscan[4];
    };
    // Outputs start as a pattern the library must not touch on a miss.
    Answer Check(int width, int height) const {
        Answer a{-1, -7.0f, {-1, -1, -1, -1}};
        a.result = check_(QVR_FRAME_SIZE(width, height), &a.aspect, a.underscan);
        return a;
    }

private:
    HMODULE module_;
    CheckFn check_ = nullptr;
};

void ExpectFormat(const Library& lib, int w, int h, float aspect, short l, short t, short r, short b) {
    const Library::Answer a = lib.Check(w, h);
    ASSERT_EQ(a.result, 1) << w << "x" << h;
    EXPECT_FLOAT_EQ(a.aspect, aspect) << w << "x" << h;
    EXPECT_EQ(a.underscan[0], l);
    EXPECT_EQ(a.underscan[1], t);
    EXPECT_EQ(a.underscan[2], r);
    EXPECT_EQ(a.underscan[3], b);
}

void ExpectMissing(const Library& lib, int w, int h) {
    const Library::Answer a = lib.Check(w, h);
    EXPECT_EQ(a.result, 0) << w << "x" << h;
    EXPECT_EQ(a.aspect, -7.0f);
    for (short u : a.underscan) EXPECT_EQ(u, -1);
}

const char kTable[] =
    "[PAL]\r\n"
    "Frame=720x576\r\n"
    "Underscan=36, 29, 684, 547\r\n"
    "\r\n"
    "[Zero aspect]\r\n"
    "Frame=640x480\r\n"
    "PAspect=0\r\n"
    "Underscan=32,24,608,456\r\n"
    "\r\n"
    "[Three numbers]\r\n"
    "Frame=800x600\r\n"
    "PAspect=1.5\r\n"
    "Underscan=1, 2, 3\r\n"
    "\r\n"
    "[Upper-case X]\r\n"
    "Frame=1024X768\r\n"
    "Underscan=1, 2, 3, 4\r\n"
    "\r\n"
    "[NTSC]\r\n"
    "Frame=720x480\r\n"
    "PAspect=0.9091\r\n"
    "Underscan=36, 24, 684, 456\r\n"
    "\r\n"
    "[PAL again]\r\n"
    "Frame=720x576\r\n"
    "PAspect=1.4545\r\n"
    "Underscan=9, 9, 9, 9\r\n"
    "\r\n"
    "[Hex width]\r\n"
    "Frame=0x2D0x486\r\n"
    "PAspect=2.5\r\n"
    "Underscan=0x10, 010, -5, 7\r\n"
    "\r\n"
    "[Octal width]\r\n"
    "Frame=01000x100\r\n"
    "PAspect=not a number\r\n"
    "Underscan=1,2,3,4\r\n";

class TvFormats : public ::testing::Test {
protected:
    ktest::InstallFolder folder;
};

TEST_F(TvFormats, ReadsTheTableAsWritten) {
    ASSERT_TRUE(folder.recorded());
    ASSERT_TRUE(folder.WriteCfg(kTable));
    ktest::DebugCapture traces;
    Library lib;
    ASSERT_TRUE(lib.loaded());

    // No aspect, or an aspect of 0 or not a number: 1.0.
    ExpectFormat(lib, 720, 576, 1.0f, 36, 29, 684, 547);
    ExpectFormat(lib, 640, 480, 1.0f, 32, 24, 608, 456);
    ExpectFormat(lib, 512, 100, 1.0f, 1, 2, 3, 4);
    // Hexadecimal and octal numbers, and a negative one, read as C reads them.
    ExpectFormat(lib, 720, 486, 2.5f, 16, 8, -5, 7);
    ExpectFormat(lib, 720, 480, 0.9091f, 36, 24, 684, 456);
    // A three-number underscan and an upper-case X are not formats.
    ExpectMissing(lib, 800, 600);
    ExpectMissing(lib, 1024, 768);
    ExpectMissing(lib, 1024, 0);
    // Width and height are not interchangeable.
    ExpectMissing(lib, 576, 720);

    if (!traces.working()) GTEST_SKIP() << "no debug monitor objects: traces not checked";
    // The skipped sections keep the accepted ones numbered without gaps.
    EXPECT_TRUE(traces.Saw("Failed reading underscan area: 1, 2, 3"));
    EXPECT_TRUE(traces.Saw("Failed reading frame size: 1024X768"));
    EXPECT_TRUE(traces.Saw("TV Format( 1) = (640,480), 1.000, ( 32, 24 - 608,456)"));
    EXPECT_TRUE(traces.Saw("TV Format( 2) = (720,480), 0.909, ( 36, 24 - 684,456)"));
    EXPECT_TRUE(traces.Saw("TV Format( 5) = (512,100), 1.000, (  1,  2 -   3,  4)"));
    EXPECT_TRUE(traces.Saw("Read 6 TV formats"));
}

TEST_F(TvFormats, NoFileOrNoFolderMeansNoFormats) {
    ASSERT_TRUE(folder.recorded());
    {
        Library lib;  // the Presets folder is empty
        ASSERT_TRUE(lib.loaded());
        ExpectMissing(lib, 720, 576);
        ExpectMissing(lib, 0, 0);
    }
    ASSERT_TRUE(folder.WriteCfg("; no sections at all\r\nFrame=720x576\r\n"));
    {
        Library lib;
        ExpectMissing(lib, 720, 576);
    }
    ASSERT_TRUE(folder.WriteCfg("[Broken]\r\nFrame=720\r\nUnderscan=1,2,3,4\r\n"));
    {
        Library lib;
        ExpectMissing(lib, 720, 0);
        ExpectMissing(lib, 720, 576);
    }
}

TEST_F(TvFormats, EachLoadReadsTheFileAgain) {
    ASSERT_TRUE(folder.WriteCfg("[A]\r\nFrame=100x50\r\nUnderscan=1,1,99,49\r\n"));
    {
        Library lib;
        ExpectFormat(lib, 100, 50, 1.0f, 1, 1, 99, 49);
    }
    ASSERT_TRUE(folder.WriteCfg("[B]\r\nFrame=200x50\r\nPAspect=2\r\nUnderscan=2,2,198,48\r\n"));
    Library lib;
    ExpectMissing(lib, 100, 50);
    ExpectFormat(lib, 200, 50, 2.0f, 2, 2, 198, 48);
}

// The table the installation ships (copied next to this program).
TEST_F(TvFormats, TheShippedTable) {
    char exe[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string shipped(exe, n);
    shipped = shipped.substr(0, shipped.find_last_of('\\') + 1) + "TvFormats.cfg";
    ASSERT_TRUE(CopyFileA(shipped.c_str(), folder.Cfg().c_str(), FALSE)) << shipped;
    Library lib;
    ExpectFormat(lib, 720, 576, 1.0909f, 36, 29, 684, 547);   // PAL 4:3 comes first
    ExpectFormat(lib, 720, 480, 0.9091f, 36, 24, 684, 456);   // NTSC 4:3 comes first
    ExpectFormat(lib, 720, 486, 0.9091f, 36, 24, 684, 462);
    ExpectFormat(lib, 1920, 1080, 1.0f, 96, 54, 1824, 1026);
    ExpectFormat(lib, 1280, 720, 1.0f, 64, 36, 1216, 684);
    ExpectFormat(lib, 1440, 1080, 1.3333f, 72, 54, 1368, 1026);
    ExpectFormat(lib, 1024, 576, 1.0f, 51, 29, 973, 547);
    ExpectMissing(lib, 721, 576);
}

}  // namespace
