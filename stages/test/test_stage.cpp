// The test stage library: one source, built under each known stage's name.
// It answers what the test set in the shared control block, for the stage
// whose name its file has, and records every call it gets there.
#define QVR_STAGE_LIBRARY 1
#include "test_stage_control.h"

namespace {

using teststage::Control;

HMODULE g_self = nullptr;
HANDLE g_mapping = nullptr;
Control* g_control = nullptr;
int g_stage = -1;  // index of the stage this file is, -1 when unknown
QVRStage g_object = {nullptr};

// Which stage this library is, from its own file name.
int StageIndexOf(HMODULE self) {
    static const char* const kNames[teststage::kStages] = {"D3D7CDI.DLL", "OPENGL.DLL",
                                                            "D3D7UNI.DLL"};
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(self, path, MAX_PATH);
    const char* base = path;
    for (DWORD i = 0; i < n; ++i)
        if (path[i] == '\\' || path[i] == '/') base = path + i + 1;
    for (int i = 0; i < teststage::kStages; ++i)
        if (lstrcmpiA(base, kNames[i]) == 0) return i;
    return -1;
}

bool Known() { return g_control && g_stage >= 0; }
teststage::Answers& Answers() { return g_control->answers[g_stage]; }
teststage::Calls& Calls() { return g_control->calls[g_stage]; }

// This process's slot, claimed on first use.
teststage::ProcessCalls* ThisProcess() {
    if (!g_control) return nullptr;
    const LONG pid = static_cast<LONG>(GetCurrentProcessId());
    for (auto& slot : g_control->processes) {
        if (slot.pid == pid) return &slot;
        if (InterlockedCompareExchange(&slot.pid, pid, 0) == 0) return &slot;
    }
    return nullptr;
}

void Count(LONG teststage::ProcessCalls::*field) {
    if (teststage::ProcessCalls* p = ThisProcess()) InterlockedIncrement(&(p->*field));
}

DWORD WINAPI StageShutdown(LPVOID) {
    if (teststage::ProcessCalls* p = ThisProcess()) {
        p->shutdownPriority = GetThreadPriority(GetCurrentThread());
        InterlockedIncrement(&p->shutdowns);
    }
    return 1;
}

int QVRAPI RenderNothing(QVRStage*, const QVRPicture*, const QVRPicture*, float) { return 1; }
const QVRStageMethods kMethods = {sizeof(QVRStageMethods), RenderNothing};

void Attach(HMODULE self) {
    g_self = self;
    g_stage = StageIndexOf(self);
    g_object.methods = &kMethods;
    g_mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, teststage::kMappingName);
    if (g_mapping)
        g_control = static_cast<Control*>(MapViewOfFile(g_mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (Known()) InterlockedIncrement(&Calls().attaches);
    Count(&teststage::ProcessCalls::attaches);
}

void Detach() {
    if (Known()) InterlockedIncrement(&Calls().detaches);
    Count(&teststage::ProcessCalls::detaches);
    if (g_control) UnmapViewOfFile(g_control);
    if (g_mapping) CloseHandle(g_mapping);
    g_control = nullptr;
    g_mapping = nullptr;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) Attach(module);
    if (reason == DLL_PROCESS_DETACH) Detach();
    return TRUE;
}

extern "C" int QVRAPI QVRTestStage(void) {
    if (!Known()) return 0;
    InterlockedIncrement(&Calls().tests);
    return Answers().test;
}

extern "C" int QVRAPI QVREnumOptions(DWORD, DWORD, BYTE* options) {
    if (!Known()) return 0;
    InterlockedIncrement(&Calls().enums);
    // A stage that declines may still have scribbled on the block.
    for (int i = 0; i < QVR_STAGE_OPTIONS_SIZE; ++i) options[i] = 0xEE;
    if (!Answers().offerOptions) return 0;
    CopyMemory(options, Answers().defaults, QVR_STAGE_OPTIONS_SIZE);
    return 1;
}

extern "C" int QVRAPI QVRInitStage(const QVRStageInit* init) {
    if (!Known()) return 0;
    Calls().lastInit = *init;
    if (Answers().initDelayMs) Sleep(static_cast<DWORD>(Answers().initDelayMs));
    if (Answers().registerInInit)
        Calls().registerResult = init->registerStage(StageShutdown, 0, QVR_REGISTER);
    InterlockedIncrement(&Calls().inits);
    Count(&teststage::ProcessCalls::inits);
    return Answers().init;
}

extern "C" QVRStage* QVRAPI QVRCreateStage(const QVRStageTarget* target, DWORD flags) {
    if (!Known()) return nullptr;
    Calls().lastTarget = target;
    Calls().lastFlags = flags;
    Calls().lastCreated = &g_object;
    InterlockedIncrement(&Calls().creates);
    return &g_object;
}

extern "C" int QVRAPI QVRDestroyStage(QVRStage* stage) {
    if (!Known()) return 0;
    Calls().lastDestroyed = stage;
    InterlockedIncrement(&Calls().destroys);
    return Answers().destroyResult;
}
