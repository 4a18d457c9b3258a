// The TV format table, as a scene sees it: the library reads
// DestDir\Presets\TvFormats.cfg when it is loaded, and QVRCheckVideoFormat
// answers from it. This program does not link the library: each case writes
// its file, then loads and frees KELMARD.DLL so that it reads that file.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "kelmard.h"
#include "support/processes.h"

namespace {

// The library's traces, read as a debug monitor reads them (the DBWIN_BUFFER
// shared memory and its two events) on a thread that runs before the library
// is loaded: a new thread would wait for the loader lock.
struct DebugCapture {
    kelmard::UniqueHandle ready{CreateEventA(nullptr, FALSE, TRUE, "DBWIN_BUFFER_READY")},
        data{CreateEventA(nullptr, FALSE, FALSE, "DBWIN_DATA_READY")},
        mapping{CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, "DBWIN_BUFFER")};
    kelmard::UniqueView view{mapping ? MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0) : nullptr};
    std::atomic<bool> running{false}, stop{false};
    std::mutex mutex;
    std::string text;  // every trace so far
    std::thread reader{[this] {
        running = true;
        while (view && WaitForSingleObject(data.get(), INFINITE) == WAIT_OBJECT_0 && !stop) {
            const std::lock_guard<std::mutex> lock(mutex);
            text += static_cast<const char*>(view.get()) + sizeof(DWORD);
            SetEvent(ready.get());
        }
    }};
    DebugCapture() { while (!running) Sleep(1); }
    ~DebugCapture() {
        stop = true;
        SetEvent(data.get());
        reader.join();
    }
    std::string Text() {
        const std::lock_guard<std::mutex> lock(mutex);
        return text;
    }
};

// What QVRCheckVideoFormat answers for a size; result 0 means the outputs
// must keep their pattern (-7 and -1s).
struct Expected { int width, height, result; float aspect; short underscan[4]; };

void CheckAll(const std::vector<Expected>& cases) {
    const kelmard::UniqueModule module(LoadLibraryA("KELMARD.DLL"));
    const auto check = reinterpret_cast<int(QVRAPI*)(DWORD, float*, short*)>(
        reinterpret_cast<void*>(GetProcAddress(module.get(), "QVRCheckVideoFormat")));
    ASSERT_NE(check, nullptr);
    for (const Expected& e : cases) {
        float aspect = -7.0f;
        short u[4] = {-1, -1, -1, -1};
        SCOPED_TRACE(std::to_string(e.width) + "x" + std::to_string(e.height));
        EXPECT_EQ(check(QVR_FRAME_SIZE(e.width, e.height), &aspect, u), e.result);
        EXPECT_FLOAT_EQ(aspect, e.result ? e.aspect : -7.0f);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(u[i], e.result ? e.underscan[i] : -1);
    }
}

const char kTable[] =
    "[PAL]\r\nFrame=720x576\r\nUnderscan=36, 29, 684, 547\r\n"
    "[Zero aspect]\r\nFrame=640x480\r\nPAspect=0\r\nUnderscan=32,24,608,456\r\n"
    "[Three numbers]\r\nFrame=800x600\r\nPAspect=1.5\r\nUnderscan=1, 2, 3\r\n"
    "[Upper-case X]\r\nFrame=1024X768\r\nUnderscan=1, 2, 3, 4\r\n"
    "[NTSC]\r\nFrame=720x480\r\nPAspect=0.9091\r\nUnderscan=36, 24, 684, 456\r\n"
    "[PAL again]\r\nFrame=720x576\r\nPAspect=1.4545\r\nUnderscan=9, 9, 9, 9\r\n"
    "[Hex width]\r\nFrame=0x2D0x486\r\nPAspect=2.5\r\nUnderscan=0x10, 010, -5, 7\r\n"
    "[Octal width]\r\nFrame=01000x100\r\nPAspect=not a number\r\nUnderscan=1,2,3,4\r\n"
    "[Negative width]\r\nFrame=-1x2\r\nUnderscan=5,6,7,8\r\n";

TEST(TvFormats, EachLoadReadsTheTableAsWritten) {
    const ktest::Installation install("media");
    ASSERT_TRUE(install.recorded());
    CreateDirectoryA(install.File("Presets").c_str(), nullptr);
    const std::string cfg = install.File("Presets\\TvFormats.cfg");
    auto writeCfg = [&](const std::string& text) { return !!(std::ofstream(cfg, std::ios::binary) << text); };
    ASSERT_TRUE(writeCfg(kTable));
    DebugCapture traces;
    CheckAll({
        {720, 576, 1, 1.0f, {36, 29, 684, 547}},  // no aspect; the first of two equal sizes
        {640, 480, 1, 1.0f, {32, 24, 608, 456}},  // aspect 0
        {512, 100, 1, 1.0f, {1, 2, 3, 4}},        // octal width, aspect not a number
        {720, 486, 1, 2.5f, {16, 8, -5, 7}},      // hexadecimal width and underscan
        {720, 480, 1, 0.9091f, {36, 24, 684, 456}},
        {65535, 2, 1, 1.0f, {5, 6, 7, 8}},        // sizes compare as 16 bits
        {800, 600, 0}, {1024, 768, 0}, {1024, 0, 0},  // three numbers, upper-case X
        {576, 720, 0},                                  // width and height kept apart
        {0, 0, 0},                                      // no empty record for a skipped section
    });
    // The skipped sections keep the others numbered without gaps.
    const std::string text = traces.Text();
    for (const char* line : {"Failed reading underscan area: 1, 2, 3", "Failed reading frame size: 1024X768",
                             "TV Format( 1) = (640,480), 1.000, ( 32, 24 - 608,456)",
                             "TV Format( 2) = (720,480), 0.909, ( 36, 24 - 684,456)",
                             "TV Format( 5) = (512,100), 1.000, (  1,  2 -   3,  4)", "Read 7 TV formats"})
        EXPECT_NE(text.find(line), std::string::npos) << line;

    // The next load reads the file again: none, no sections, or broken ones.
    for (const char* file : {"", "; no sections\r\nFrame=720x576\r\n", "[Broken]\r\nFrame=720\r\nUnderscan=1,2,3,4\r\n"}) {
        if (*file) { ASSERT_TRUE(writeCfg(file)); } else { DeleteFileA(cfg.c_str()); }
        CheckAll({{720, 576, 0}, {720, 0, 0}, {0, 0, 0}});
    }
}

}  // namespace
