// kelmard-demo: the demo host. Run "kelmard-demo install" once (as an
// installer would) and then "kelmard-demo"; tools/demo.sh does both.
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

#include "demo.h"
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
    std::string command = "\"" + context.exeFolder + "\\kelmard-demo.exe\" " + arguments;
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi))
        return static_cast<DWORD>(-1);
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
    else TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

namespace {

const Step kRoad[] = {
    {"Settings", StepSettings},
    {"Two scenes in two processes", StepIntercom},
    {"The stage: detect, create, render a transition, reload", StepStage},
    {"Help file: topics, titles by language, a committed change", StepHelp},
    {"Help window: a topic in a popup, placed at the screen's edge, closed by a key", StepHelpPopup},
    {"Media: TV format, picture, rich-text title", StepMedia},
    {"Skin: every piece of the skin bitmap, drawn with the primitives", StepSkin},
    {"The effect's settings: a plug-in's dialog template with the skinned controls, a message box", StepDialog},
    {"Value controls: the tab in every state, clicked and keyed", ShowTab},
};

std::string ExeFolder() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p(path, n);
    return p.substr(0, p.find_last_of("\\/"));
}

// "install": what an installer does: record the installation folder.
int Install(const Context& context) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, QVR_SETTINGS_ROOT, 0, nullptr, 0, KEY_WRITE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        Say("install: cannot create the settings key\n");
        return 1;
    }
    LONG rc = RegSetValueExA(key, "DestDir", 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(context.installFolder.c_str()),
                             static_cast<DWORD>(context.installFolder.size() + 1));
    RegCloseKey(key);
    Say("install: DestDir = %s\n", context.installFolder.c_str());
    return rc == ERROR_SUCCESS ? 0 : 1;
}

}  // namespace
}  // namespace demo

int main(int argc, char** argv) {
    using namespace demo;
    Context context;
    context.exeFolder = ExeFolder();
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
