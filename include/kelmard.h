/*
 * kelmard.h - public interface of KELMARD.DLL
 *
 * KELMARD.DLL is loaded by every scene (transition effect plug-in) and every
 * stage (render engine library) of the package, in whatever process of the
 * host editor they run. Everything here is a plain C function or datum,
 * exported by its undecorated name with the C calling convention (__cdecl).
 * Failures are results: host services answer 1 (or a handle or count) for
 * success and 0 for failure. The header is usable from C and C++.
 *
 * Two builds of the library exist:
 *
 *   - 32-bit (i686): the shipped library. Every layout below is the fixed
 *     layout that scenes, stages and other copies of the library rely on; the
 *     build pins each with static_assert.
 *   - 64-bit (x86_64): our own build, used by 64-bit hosts and by the test
 *     suite. Fields that hold an address or a handle are pointer-wide with
 *     natural alignment, and the named kernel objects carry the suffix "64",
 *     so 32-bit and 64-bit hosts on one machine never read each other's
 *     records (see the intercom section).
 */
#ifndef KELMARD_H
#define KELMARD_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(KELMARD_BUILDING)
#define KELMARD_API __declspec(dllexport)
#define KELMARD_DATA __declspec(dllexport)
#else
#define KELMARD_API __declspec(dllimport)
#define KELMARD_DATA __declspec(dllimport)
#endif

/* Calling convention of every export. */
#define QVRAPI __cdecl

/* ------------------------------------------------------------------------ */
/* Shared data                                                              */
/* ------------------------------------------------------------------------ */

/*
 * QVRUpdateID: a 32-bit word with one value common to every process that
 * loads the library. Scenes and stages may use it among themselves; the
 * library itself neither reads nor writes it.
 */
KELMARD_DATA extern volatile DWORD QVRUpdateID;

/* ------------------------------------------------------------------------ */
/* Intercom: the system-wide place of the active scene and of the stage     */
/* ------------------------------------------------------------------------ */

/*
 * There is one place for a scene and one for a stage, system-wide. A holder
 * registers a shutdown routine and an argument. When another registration
 * comes, the library makes the current holder's routine run in the holder's
 * own process (directly when it is the caller's process, otherwise on a new
 * thread created there at time-critical priority) and waits at most 6000 ms
 * for it to end before it records the newcomer.
 *
 * The routine has the shape of a thread start routine: it receives the
 * registered argument and answers non-zero when it has shut down. A routine
 * must not register anything itself (the registering process holds the
 * locks while it runs); it may unregister.
 *
 * A holder whose process no longer runs leaves its place free: the next
 * registration takes it without running anything.
 */
typedef DWORD (WINAPI *QVRShutdownRoutine)(LPVOID argument);

/* Flags of QVRRegisterScene and QVRRegisterStage (only bit 0 is read). */
#define QVR_UNREGISTER 0u
#define QVR_REGISTER   1u

/*
 * QVRRegisterScene: take (QVR_REGISTER) or leave (QVR_UNREGISTER) the scene
 * place. Registering evicts a different scene holder first; if that holder
 * cannot be shut down the call answers 0 and the holder keeps the place.
 * Registering again with the same routine and argument from the same process
 * evicts nobody. Unregistering clears the place whoever holds it.
 * Answers 1 on success, 0 on failure (also when the intercom is unavailable).
 */
KELMARD_API int QVRAPI QVRRegisterScene(QVRShutdownRoutine routine, DWORD_PTR argument,
                                        DWORD flags);

/*
 * QVRRegisterStage: the same for the stage place. A registration against a
 * different stage holder first evicts the current scene (the scene place then
 * reads routine 0, argument 0 and the caller's process id), then the stage.
 * Stages receive this function's address in their init block.
 */
KELMARD_API int QVRAPI QVRRegisterStage(QVRShutdownRoutine routine, DWORD_PTR argument,
                                        DWORD flags);

/*
 * The registration record, as it lies at offset 0 of the named shared memory
 * of each place. A routine of 0 marks a free place.
 *
 *   32-bit build: 12 bytes, little-endian
 *     offset 0  routine     (4)
 *     offset 4  argument    (4)
 *     offset 8  process id  (4)
 *     names: "FxSceneIntercom", "FxStageIntercom" (shared memory)
 *            "FxSceneSemaphore", "FxStageSemaphore" (semaphores)
 *
 *   64-bit build: 24 bytes, natural alignment
 *     offset 0  routine     (8)
 *     offset 8  argument    (8)
 *     offset 16 process id  (4), 4 bytes of padding
 *     names: "FxSceneIntercom64", "FxStageIntercom64",
 *            "FxSceneSemaphore64", "FxStageSemaphore64"
 *
 * The semaphore of the stage place is the outer lock of every registration;
 * the scene semaphore guards the scene record only.
 */
typedef struct QVRIntercomRecord {
    QVRShutdownRoutine routine;
    DWORD_PTR argument;
    DWORD processId;
} QVRIntercomRecord;

#if defined(_WIN64)
#define QVR_INTERCOM_SUFFIX "64"
#else
#define QVR_INTERCOM_SUFFIX ""
#endif
#define QVR_SCENE_INTERCOM_NAME "FxSceneIntercom" QVR_INTERCOM_SUFFIX
#define QVR_STAGE_INTERCOM_NAME "FxStageIntercom" QVR_INTERCOM_SUFFIX
#define QVR_SCENE_SEMAPHORE_NAME "FxSceneSemaphore" QVR_INTERCOM_SUFFIX
#define QVR_STAGE_SEMAPHORE_NAME "FxStageSemaphore" QVR_INTERCOM_SUFFIX

/* ------------------------------------------------------------------------ */
/* Settings                                                                 */
/* ------------------------------------------------------------------------ */

/*
 * The library keeps its settings below this key: installation values in
 * HKEY_LOCAL_MACHINE ("DestDir", the installation folder without a trailing
 * backslash) and the user's choices in HKEY_CURRENT_USER.
 */
#define QVR_SETTINGS_ROOT "SOFTWARE\\Quorvane\\Flarix Vortane"

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* KELMARD_H */
