// The stage engines: detection of the stage that runs on the machine, the
// user's stage and option block in the settings, and the stage library each
// process loads on its first QVRCreateStage.
#pragma once
#include "frame/frame.h"

namespace kelmard {

// The library path of stage `name` (DestDir\Stages\NAME.DLL); empty when
// DestDir cannot be read or the path does not fit. Answers `path`.
char* BuildStagePath(const char* name, char (&path)[kPathChars]);

// The detach step: frees this process's stage library under the stage lock.
// While the process exits it only forgets this process's stage record: the
// system frees the library, and nothing may wait for other processes then.
void ReleaseStage();

}  // namespace kelmard
