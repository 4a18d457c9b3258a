// sdk-consumer: a host program built against the installed SDK only. It
// checks the library it loaded (its version resource against the header and
// the package), calls a few exports, records the installation folder (as an
// installer does) and starts itself again: in that second process, which loads
// the library with the installation in place, the sample scene walks its road.
//   sdk-consumer INSTALL_FOLDER WORK_FOLDER
// Prints one line per check; the exit code counts the failed checks.
#include <windows.h>
#include <process.h>

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
    if (!VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || !value) return "";
    return value;
}

void CheckVersionResource() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(GetModuleHandleA("KELMARD.DLL"), path, MAX_PATH);
    DWORD ignored = 0;
    std::vector<char> block(GetFileVersionInfoSizeA(path, &ignored));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    Check(!block.empty() && GetFileVersionInfoA(path, 0, static_cast<DWORD>(block.size()), block.data()) &&
              VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) && fixed &&
              fixed->dwSignature == 0xFEEF04BD,
          "KELMARD.DLL has a version resource with its fixed file information");
    if (!fixed) return;
    Check(HIWORD(fixed->dwFileVersionMS) == KELMARD_VERSION_MAJOR &&
              LOWORD(fixed->dwFileVersionMS) == KELMARD_VERSION_MINOR &&
              HIWORD(fixed->dwFileVersionLS) == KELMARD_VERSION_PATCH && LOWORD(fixed->dwFileVersionLS) == 0 &&
              fixed->dwProductVersionMS == fixed->dwFileVersionMS && fixed->dwProductVersionLS == fixed->dwFileVersionLS,
          "the file and product versions are the header's KELMARD_VERSION_MAJOR.MINOR.PATCH");
    Check(VersionString(block, "FileVersion") == KELMARD_VERSION_STRING &&
              VersionString(block, "ProductVersion") == KELMARD_VERSION_STRING &&
              std::strcmp(KELMARD_PACKAGE_VERSION, KELMARD_VERSION_STRING) == 0,
          "the version strings and the package version (find_package) are KELMARD_VERSION_STRING");
    // Company and product: the two names below SOFTWARE in the settings root.
    const std::string root = QVR_SETTINGS_ROOT;
    const size_t first = root.find('\\'), second = root.find('\\', first + 1);
    Check(VersionString(block, "CompanyName") == root.substr(first + 1, second - first - 1) &&
              VersionString(block, "ProductName") == root.substr(second + 1) &&
              VersionString(block, "OriginalFilename") == "KELMARD.DLL",
          "company and product are the settings root's names, the original file name KELMARD.DLL");
}

// ---- A few exports through the MinGW import library --------------------------

void CheckExports() {
    Check(WKGetColor(99) == WKGetColor(0) && WKGetSysColor(COLOR_ACTIVECAPTION) == WKGetColor(22),
          "the skin colours answer through the import library");
    QVRUpdateID = 0x5EED;
    Check(QVRUpdateID == 0x5EED, "QVRUpdateID is imported as data");
}

// ---- The sample scene in an installation folder -------------------------------

// A 320 x 240 24-bit BMP: a blue-to-orange gradient.
bool WritePicture(const std::string& path) {
    constexpr int width = 320, height = 240, stride = width * 3;
    constexpr DWORD headers = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER), bytes = stride * height;
    const BITMAPINFOHEADER info{sizeof info, width, height, 1, 24, BI_RGB, bytes, 0, 0, 0, 0};
    const BITMAPFILEHEADER file{0x4D42, headers + bytes, 0, 0, headers};
    std::vector<BYTE> pixels(info.biSizeImage);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            BYTE* p = &pixels[static_cast<size_t>(y) * stride + 3 * x];
            p[0] = static_cast<BYTE>(200 - y / 2), p[1] = static_cast<BYTE>(60 + x / 3);
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

struct ModuleFree {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};

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
    SampleSceneRun run{sizeof run - 1, SAMPLE_SCENE_UNATTENDED, nullptr, picture.c_str(), Say, Keep, &pictures};
    Check(play(&run) == -1, "the scene refuses a run block that is too small");
    run.size = sizeof run;
    const int failed = play(&run);
    std::printf("  the scene's road: %d step(s) failed\n", failed);
    Check(failed == 0, "the sample scene walks its road");
    Check(pictures.names.size() == 2 && pictures.transitionVaries && pictures.titleSized,
          "it hands over the stage's transition and the title over the picture");
}

// DestDir in HKEY_LOCAL_MACHINE (an installer's job) while this program plays
// the scene in a second process; the previous value comes back after.
void PlaySceneInstalledIn(const std::string& installFolder, const std::string& workFolder) {
    char previous[256] = {};
    DWORD size = sizeof previous;
    const bool had = RegGetValueA(HKEY_LOCAL_MACHINE, QVR_SETTINGS_ROOT, "DestDir", RRF_RT_REG_SZ, nullptr, previous,
                                  &size) == ERROR_SUCCESS;
    auto setDestDir = [](const char* folder) {
        return RegSetKeyValueA(HKEY_LOCAL_MACHINE, QVR_SETTINGS_ROOT, "DestDir", REG_SZ, folder,
                               static_cast<DWORD>(std::strlen(folder) + 1)) == ERROR_SUCCESS;
    };
    Check(setDestDir(installFolder.c_str()), "DestDir recorded");
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string quotedSelf = "\"" + std::string(self) + "\"", quotedWork = "\"" + workFolder + "\"";
    const intptr_t scene = _spawnl(_P_WAIT, self, quotedSelf.c_str(), "--scene", quotedWork.c_str(), nullptr);
    std::printf("%s: the scene's process ended with %ld failed check(s)\n", scene == 0 ? "ok" : "FAILED",
                static_cast<long>(scene));
    if (scene != 0) ++g_failed;
    if (had) setDestDir(previous);
    else RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, QVR_SETTINGS_ROOT, "DestDir");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--scene") == 0) return PlayScene(argv[2]), g_failed;
    if (argc < 3) return std::printf("usage: sdk-consumer INSTALL_FOLDER WORK_FOLDER\n"), 2;
    std::printf("sdk-consumer, built against KELMARD %s\n", KELMARD_VERSION_STRING);
    CheckVersionResource();
    CheckExports();
    PlaySceneInstalledIn(argv[1], argv[2]);
    std::printf("%d check(s) failed\n", g_failed);
    return g_failed;
}
