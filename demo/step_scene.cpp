// Step: a scene plug-in. The host loads SampleScene.DLL (samples/scene, built
// against the SDK's header alone) and calls its entry: the scene takes the
// scene place, checks the frame format, renders a transition through the
// stage, lays a title over the picture the media step wrote, runs its own
// settings dialog (with a help topic) and unregisters. The host prints the
// scene's report and writes the pictures it hands over.
#include <cstring>
#include <string>

#include "demo.h"
#include "owners/win32_owners.h"
#include "picture.h"
#include "sample_scene.h"

namespace demo {
namespace {

struct SceneHost {
    const Context* context;
    int pictures = 0;
    bool written = true;
};

void __cdecl SceneSays(void*, const char* line) { Say("  [scene] %s\n", line); }

void __cdecl SceneHandsPicture(void* host, const char* name, int width, int height, const void* pixels) {
    SceneHost& self = *static_cast<SceneHost*>(host);
    kpicture::Image image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<size_t>(width) * height);
    std::memcpy(image.pixels.data(), pixels, image.pixels.size() * 4);
    const std::string file = self.context->outputFolder + "\\" + name + ".png";
    const bool ok = kpicture::WritePng(image, file);
    Say("  wrote %s%s\n", file.c_str(), ok ? "" : " (FAILED)");
    ++self.pictures;
    self.written = self.written && ok;
}

}  // namespace

bool StepScene(Context& context) {
    const std::string path = context.exeFolder + "\\SampleScene.DLL";
    const kelmard::UniqueModule scene(LoadLibraryA(path.c_str()));
    const auto play = scene ? reinterpret_cast<SampleScenePlayFn>(
                                  reinterpret_cast<void*>(GetProcAddress(scene.get(), SAMPLE_SCENE_ENTRY)))
                            : nullptr;
    Say("loaded %s: %s\n", path.c_str(), play ? "its entry " SAMPLE_SCENE_ENTRY " is there" : "FAILED");
    if (!play) return false;

    SceneHost host{&context};
    const std::string picture = context.outputFolder + "\\backdrop.bmp";  // written by the media step
    const SampleSceneRun run{sizeof run, SAMPLE_SCENE_UNATTENDED, nullptr, picture.c_str(),
                             SceneSays, SceneHandsPicture, &host};
    const int failed = play(&run);
    Say("the scene's road: %d step(s) failed, %d picture(s) handed over\n", failed, host.pictures);
    return failed == 0 && host.pictures == 2 && host.written;
}

}  // namespace demo
