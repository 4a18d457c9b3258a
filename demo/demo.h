// kelmard-demo: a host that plays a scene's road through KELMARD.DLL, step by
// step, printing what happens and writing pictures into its output folder.
#pragma once
#include <windows.h>

#include <string>

#include "kelmard.h"

namespace demo {

struct Context {
    std::string exeFolder;     // where kelmard-demo.exe lives
    std::string installFolder; // the installation folder ("DestDir")
    std::string outputFolder;  // pictures and reports go here
};

// One step of the road. Answers true when it went as it should.
struct Step {
    const char* title;
    bool (*run)(Context& context);
};

// Printing: a line of the report, flushed at once (several processes print).
void Say(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Starts this program again with `arguments` and waits for it; its exit code.
DWORD RunSelf(const Context& context, const std::string& arguments, DWORD timeoutMs = 30000);

// The record of an intercom place, read from its named shared memory.
QVRIntercomRecord ReadPlace(const char* mappingName);

// Steps, one file each.
bool StepSettings(Context& context);
bool StepIntercom(Context& context);
bool StepStage(Context& context);
bool StepHelp(Context& context);
bool StepHelpPopup(Context& context);
bool StepMedia(Context& context);
bool StepSkin(Context& context);
bool StepDialog(Context& context);

// The sample scene plug-in, loaded and driven by the host.
bool StepScene(Context& context);

// Value controls, one file each.
bool ShowSlider(Context& context);
bool ShowRange(Context& context);
bool ShowSpin(Context& context);
bool ShowTab(Context& context);
// List controls, one file each.
bool ShowScrollBars(Context& context);
bool ShowTreeView(Context& context);
bool ShowListBox(Context& context);
bool ShowComboBox(Context& context);

// Views, one file each.
bool ShowAngle3D(Context& context);

// Views, one file each.
bool ShowBitmapView(Context& context);

// Other processes of the demo (first argument names the role).
int SecondSceneProcess(int argc, char** argv);

}  // namespace demo
