// What the tests tell the test stage libraries and what those record, in the
// named shared memory "KelmardTest.Stages": made (and zeroed) by the test
// program, opened by every test stage library in every process.
#pragma once
#include <windows.h>

#include "kelmard.h"

namespace teststage {

constexpr char kMappingName[] = "KelmardTest.Stages";
constexpr int kStages = 3;      // by index: "D3D7CDI", "OPENGL", "D3D7UNI"
constexpr int kProcesses = 16;  // processes that record their own counts

// Set by the test, per stage.
struct Answers {
    LONG test;            // what "QVRTestStage" answers
    LONG offerOptions;    // what "QVREnumOptions" answers; it fills `defaults` when non-zero
    LONG init;            // what "QVRInitStage" answers
    LONG registerInInit;  // "QVRInitStage" registers through the init block's address
    LONG initDelayMs;     // "QVRInitStage" takes this long
    LONG destroyResult;   // what "QVRDestroyStage" answers
    BYTE defaults[QVR_STAGE_OPTIONS_SIZE];
};

// Recorded by the stage, per stage (in every process together).
struct Calls {
    LONG attaches;  // the library was loaded into a process
    LONG detaches;  // ... and freed
    LONG tests;
    LONG enums;
    LONG inits;
    LONG creates;
    LONG destroys;
    QVRStageInit lastInit;            // the last init block, as received
    LONG registerResult;              // what the registration in init answered
    const QVRStageTarget* lastTarget; // the last arguments of "QVRCreateStage"
    DWORD lastFlags;
    QVRStage* lastCreated;            // what it answered
    QVRStage* lastDestroyed;          // the argument of "QVRDestroyStage"
};

// Recorded per process, whichever stage it loaded.
struct ProcessCalls {
    LONG pid;
    LONG attaches;
    LONG detaches;
    LONG inits;
    LONG shutdowns;         // the stage's shutdown routine ran in this process
    LONG shutdownPriority;  // at this thread priority
};

struct Control {
    Answers answers[kStages];
    Calls calls[kStages];
    ProcessCalls processes[kProcesses];
};

}  // namespace teststage
