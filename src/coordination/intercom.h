// The intercom: the system-wide place of the active scene and of the active
// stage, each a record in named shared memory guarded by a named semaphore.
#pragma once
#include "kelmard.h"

namespace kelmard {

// At process attach: opens or creates both places (stage first). 1 when both
// are available, else 0.
int InitIntercom();
// At process detach, last: clears the records this process still holds and
// closes everything (stage first, then scene). Takes no lock.
void ReleaseIntercom();

// The stage lock: the outer semaphore of every registration, also taken while
// a stage library is unloaded. A wait that runs out (12000 ms) is not
// reported; the lock is given back whatever the wait answered. A thread that
// holds it takes it again without waiting.
class StageLock {
public:
    StageLock();
    ~StageLock();
    StageLock(const StageLock&) = delete;
    StageLock& operator=(const StageLock&) = delete;
};

// Clears the stage record when it is still the one this process wrote (used
// before a stage library that may have registered is freed). Call with the
// stage lock held.
void ForgetOwnStageRecord();

// Runs a holder's shutdown routine (directly when the holder is this
// process, otherwise on a time-critical thread created in the holder's
// process, waited for at most 6000 ms). Non-zero when the holder is taken to
// have shut down; a holder whose process no longer runs counts as shut down.
int IntercomShutdown(const QVRIntercomRecord& record);

}  // namespace kelmard
