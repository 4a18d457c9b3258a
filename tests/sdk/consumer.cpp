// sdk-consumer: a host program built against the installed SDK only. It
// checks the library it loaded (its version resource against the header and
// the package), calls a few exports, records the installation folder (as an
// installer does) and starts itself again: in that second process, which
// loads the library with the installation in place, the sample scene, built
// from the SDK's sources, walks its road.
//   sdk-consumer INSTALL_FOLDER WORK_FOLDER
// Prints one line per check; the exit code counts the failed checks.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "kelmard.h"
#include "sample_scene.h"

namespace {

int g_failed = 0;

void Check(bool ok, const char* what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    std::fflush(stdout);
    if (!ok) ++g_failed;
}

// ---- The version resource of the KELMARD.DLL this program loaded ----------

std::string VersionString(const std::vector<char>& block, const char* name) {
    char* value = nullptr;
    UINT length = 0;
    const std::string path = std::string("\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || !value)
        return "";
    return std::string(value);
}

void CheckVersionResource() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(GetModuleHandleA("KELMARD.DLL"), path, MAX_PATH);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    std::vector<char> block(size);
    Check(size > 0 && GetFileVersionInfoA(path, 0, size, block.data()), "KELMARD.DLL has a version resource");
    if (size == 0) return;

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    Check(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) && fixed &&
              fixed->dwSignature == 0xFEEF04BD,
          "its fixed file information reads back");
    if (!fixed) return;
    std::printf("  file version %u.%u.%u.%u, product version %u.%u.%u\n", HIWORD(fixed->dwFileVersionMS),
                LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS),
                HIWORD(fixed->dwProductVersionMS), LOWORD(fixed->dwProductVersionMS),
                HIWORD(fixed->dwProductVersionLS));
    Check(HIWORD(fixed->dwFileVersionMS) == KELMARD_VERSION_MAJOR &&
              LOWORD(fixed->dwFileVersionMS) == KELMARD_VERSION_MINOR &&
              HIWORD(fixed->dwFileVersionLS) == KELMARD_VERSION_PATCH && LOWORD(fixed->dwFileVersionLS) == 0,
          "the file version is the header's KELMARD_VERSION_MAJOR.MINOR.PATCH");
    Check(fixed->dwProductVersionMS == fixed->dwFileVersionMS && fixed->dwProductVersionLS == fixed->dwFileVersionLS,
          "the product version is the file version");
    Check(VersionString(block, "FileVersion") == KELMARD_VERSION_STRING &&
              VersionString(block, "ProductVersion") == KELMARD_VERSION_STRING,
          "the version strings are KELMARD_VERSION_STRING");
    Check(std::strcmp(KELMARD_PACKAGE_VERSION, KELMARD_VERSION_STRING) == 0,
          "the package version (find_package) is the header's");

    // Company and product: the two names below SOFTWARE in the settings root.
    const std::string root = QVR_SETTINGS_ROOT;
    const size_t first = root.find('\\'), second = root.find('\\', first + 1);
    const std::string company = root.substr(first + 1, second - first - 1), product = root.substr(second + 1);
    std::printf("  company \"%s\", product \"%s\", original file \"%s\"\n",
                VersionString(block, "CompanyName").c_str(), VersionString(block, "ProductName").c_str(),
                VersionString(block, "OriginalFilename").c_str());
    Check(VersionString(block, "CompanyName") == company && VersionString(block, "ProductName") == product,
          "company and product are the settings root's names");
    Check(VersionString(block, "OriginalFilename") == "KELMARD.DLL", "the original file name is KELMARD.DLL");
}

// ---- A few exports through the MinGW import library --------------------------

void CheckExports() {
    Check(WKGetColor(99) == WKGetColor(0) && WKGetSysColor(COLOR_ACTIVECAPTION) == WKGetColor(22),
          "the skin colours answer through the import library");
    QVRUpdateID = 0x5EED;
    Check(QVRUpdateID == 0x5EED, "QVRUpdateID is imported as data");
}

// ---- The sample scene in an installation folder -------------------------------

// DestDir in HKEY_LOCAL_MACHINE for the scope (an installer's job); the
// previous value comes back after.
class DestDirScope {
public:
    explicit DestDirScope(const std::string& folder) {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, QVR_SETTINGS_ROOT, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key,
                            nullptr) != ERROR_SUCCESS)
            return;
        key_.reset(key);
        DWORD size = sizeof previous_;
        hadPrevious_ = RegQueryValueExA(key, "DestDir", nullptr, nullptr, reinterpret_cast<BYTE*>(previous_), &size) ==
                       ERROR_SUCCESS;
        written_ = RegSetValueExA(key, "DestDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                                  static_cast<DWORD>(folder.size() + 1)) == ERROR_SUCCESS;
    }
    ~DestDirScope() {
        if (!written_) return;
        if (hadPrevious_)
            RegSetValueExA(key_.get(), "DestDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(previous_),
                           static_cast<DWORD>(std::strlen(previous_) + 1));
        else
            RegDeleteValueA(key_.get(), "DestDir");
    }
    DestDirScope(const DestDirScope&) = delete;
    DestDirScope& operator=(const DestDirScope&) = delete;
    bool written() const { return written_; }

private:
    struct KeyClose {
        void operator()(HKEY key) const { RegCloseKey(key); }
    };
    std::unique_ptr<std::remove_pointer_t<HKEY>, KeyClose> key_;
    char previous_[256] = {};
    bool hadPrevious_ = false;
    bool written_ = false;
};

struct ModuleFree {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};

// A 320 x 240 24-bit BMP: a blue-to-orange gradient.
bool WritePicture(const std::string& path) {
    const int width = 320, height = 240, stride = width * 3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biSizeImage = stride * height;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + info.biSizeImage;
    std::vector<BYTE> pixels(info.biSizeImage);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            BYTE* p = &pixels[static_cast<size_t>(y) * stride + 3 * x];
            p[0] = static_cast<BYTE>(200 - y / 2);
            p[1] = static_cast<BYTE>(60 + x / 3);
            p[2] = static_cast<BYTE>(40 + y * 3 / 4);
        }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(&file, sizeof file, 1, f) == 1 && std::fwrite(&info, sizeof info, 1, f) == 1 &&
                    std::fwrite(pixels.data(), 1, pixels.size(), f) == pixels.size();
    return std::fclose(f) == 0 && ok;
}

struct Pictures {
    std::vector<std::string> names;
    bool transitionVaries = false;  // the stage drew more than one colour
    bool titleSized = false;        // the title came back at the picture's size
};

void __cdecl Say(void*, const char* line) { std::printf("  [scene] %s\n", line); }

void __cdecl Keep(void* host, const char* name, int width, int height, const void* pixels) {
    Pictures& pictures = *static_cast<Pictures*>(host);
    pictures.names.push_back(name);
    const DWORD* p = static_cast<const DWORD*>(pixels);
    const size_t count = static_cast<size_t>(width) * height;
    if (std::strcmp(name, "scene-transition") == 0)
        for (size_t i = 1; i < count; ++i) pictures.transitionVaries = pictures.transitionVaries || p[i] != p[0];
    if (std::strcmp(name, "scene-title") == 0) pictures.titleSized = width == 320 && height == 240;
}

// The second process: the scene's road.
void PlayScene(const std::string& workFolder) {
    const std::string picture = workFolder + "\\picture.bmp";
    Check(WritePicture(picture), "a picture written for the scene");

    const std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleFree> scene(LoadLibraryA("SampleScene.DLL"));
    const auto play = scene ? reinterpret_cast<SampleScenePlayFn>(
                                  reinterpret_cast<void*>(GetProcAddress(scene.get(), SAMPLE_SCENE_ENTRY)))
                            : nullptr;
    Check(play != nullptr, "SampleScene.DLL loads and exports " SAMPLE_SCENE_ENTRY);
    if (!play) return;

    Pictures pictures;
    SampleSceneRun run{sizeof run, SAMPLE_SCENE_UNATTENDED, nullptr, picture.c_str(), Say, Keep, &pictures};
    run.size = sizeof run - 1;
    Check(play(&run) == -1, "the scene refuses a run block that is too small");
    run.size = sizeof run;
    const int failed = play(&run);
    std::printf("  the scene's road: %d step(s) failed\n", failed);
    Check(failed == 0, "the sample scene walks its road");
    Check(pictures.names.size() == 2 && pictures.transitionVaries && pictures.titleSized,
          "it hands over the stage's transition and the title over the picture");
}

struct HandleClose {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using Handle = std::unique_ptr<void, HandleClose>;

// Starts this program with `arguments`, its output on ours; its exit code.
DWORD RunSelf(const std::string& arguments) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string commandLine = "\"" + std::string(self) + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION started{};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &started))
        return static_cast<DWORD>(-1);
    const Handle process(started.hProcess), thread(started.hThread);
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.get(), 120000) == WAIT_OBJECT_0) GetExitCodeProcess(process.get(), &code);
    return code;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--scene") == 0) {
        PlayScene(argv[2]);
        return g_failed;
    }
    if (argc < 3) {
        std::printf("usage: sdk-consumer INSTALL_FOLDER WORK_FOLDER\n");
        return 2;
    }
    std::printf("sdk-consumer, built against KELMARD %s\n", KELMARD_VERSION_STRING);
    CheckVersionResource();
    CheckExports();
    {
        const DestDirScope destDir(argv[1]);
        Check(destDir.written(), "DestDir recorded");
        std::fflush(stdout);
        const DWORD scene = RunSelf(std::string("--scene \"") + argv[2] + "\"");
        std::printf("%s: the scene's process ended with %lu failed check(s)\n", scene == 0 ? "ok" : "FAILED",
                    static_cast<unsigned long>(scene));
        if (scene != 0) ++g_failed;
    }
    std::printf("%d check(s) failed\n", g_failed);
    return g_failed;
}
