// kelmard-demo: the demo host. Run "kelmard-demo install" once (as an
// installer would) and then "kelmard-demo"; tools/demo.sh does both.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "demo.h"
#include "host.h"
#include "kelmard.h"

namespace demo {

void Say(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(stdout, format, args);
    va_end(args);
    std::fflush(stdout);
}

DWORD RunSelf(const Context& context, const std::string& arguments, DWORD timeoutMs) {
    const kelmard::UniqueHandle process =
        khost::StartProcess(context.exeFolder + "\\kelmard-demo.exe", arguments, nullptr, true);
    if (!process) return static_cast<DWORD>(-1);
    const DWORD code = khost::WaitForExit(process.get(), timeoutMs);
    if (code != STILL_ACTIVE) return code;
    TerminateProcess(process.get(), 1);
    return static_cast<DWORD>(-1);
}

QVRIntercomRecord ReadPlace(const char* mappingName) {
    QVRIntercomRecord record{};
    const kelmard::UniqueHandle mapping(OpenFileMappingA(FILE_MAP_READ, FALSE, mappingName));
    const kelmard::UniqueView view(mapping ? MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, sizeof record)
                                           : nullptr);
    if (view) record = *static_cast<const QVRIntercomRecord*>(view.get());
    return record;
}

namespace {

const Step kRoad[] = {
    {"Settings", StepSettings},
    {"Two scenes in two processes", StepIntercom},
    {"The stage: detect, create, render a transition, reload", StepStage},
    {"Help file: topics, titles by language, a committed change", StepHelp},
    {"Help window: a topic in a popup, placed at the screen's edge, closed by a key", StepHelpPopup},
    {"Media: TV format, picture, rich-text title", StepMedia},
    {"A scene plug-in (samples/scene): its whole road, with its own settings dialog", StepScene},
    {"Skin: every piece of the skin bitmap, drawn with the primitives", StepSkin},
    {"The effect's settings: a plug-in's dialog template with the skinned controls, a message box", StepDialog},
    {"Slider: every state, keys, a page and a drag", ShowSlider},
    {"The range: a two-thumb slider in each state, a drag and keys", ShowRange},
    {"Spin: a template written for the system's up-down control, every state", ShowSpin},
    {"Value controls: the tab in every state, clicked and keyed", ShowTab},
    {"List controls: scroll bars in every state and a frame window with both bars", ShowScrollBars},
    {"List controls: the tree view, enabled and disabled, scrolled by its skinned bar", ShowTreeView},
    {"List controls: the list box normal, focused with a selection, disabled, scrolled", ShowListBox},
    {"List controls: the combo box in its three kinds and states, and a drop-down opened", ShowComboBox},
    {"Views: the 3D angle control in each state, dragged and keyed", ShowAngle3D},
    {"Views: the bitmap view fitted, zoomed about a point, masked, and picking", ShowBitmapView},
};

// "install": what an installer does: record the installation folder.
int Install(const Context& context) {
    const bool written =
        khost::WriteRegString(HKEY_LOCAL_MACHINE, QVR_SETTINGS_ROOT, "DestDir", context.installFolder);
    Say("install: DestDir = %s%s\n", context.installFolder.c_str(), written ? "" : " (could not be written)");
    return written ? 0 : 1;
}

}  // namespace
}  // namespace demo

int main(int argc, char** argv) {
    using namespace demo;
    Context context;
    context.exeFolder = khost::ExeFolder();
    context.installFolder = context.exeFolder + "\\..\\demo-install";
    context.outputFolder = context.exeFolder + "\\..\\demo-out";
    char full[MAX_PATH];
    if (GetFullPathNameA(context.installFolder.c_str(), MAX_PATH, full, nullptr)) context.installFolder = full;
    if (GetFullPathNameA(context.outputFolder.c_str(), MAX_PATH, full, nullptr)) context.outputFolder = full;
    CreateDirectoryA(context.outputFolder.c_str(), nullptr);

    if (argc > 1 && std::strcmp(argv[1], "install") == 0) return Install(context);
    if (argc > 1 && std::strcmp(argv[1], "second-scene") == 0) return SecondSceneProcess(argc, argv);

    Say("KELMARD demo host, process %lu\n", GetCurrentProcessId());
    int failed = 0;
    for (const Step& step : kRoad) {
        Say("\n== %s ==\n", step.title);
        if (!step.run(context)) {
            Say("!! %s did not go as it should\n", step.title);
            ++failed;
        }
    }
    Say("\n%s\n", failed ? "The road had failures." : "The whole road went as it should.");
    return failed ? 1 : 0;
}
