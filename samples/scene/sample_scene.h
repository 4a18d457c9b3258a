/*
 * sample_scene.h - the entry of the sample scene, SampleScene.DLL.
 *
 * A host video editor loads scenes through a plug-in interface of its own.
 * This sample adds one small entry of its own beside that interface, so that
 * a test host (the demo) can make the scene walk its whole road once:
 *
 *     HMODULE scene = LoadLibraryA("SampleScene.DLL");
 *     SampleScenePlayFn play =
 *         (SampleScenePlayFn)GetProcAddress(scene, SAMPLE_SCENE_ENTRY);
 *     SampleSceneRun run = {sizeof run, SAMPLE_SCENE_UNATTENDED, owner,
 *                           "C:\\Pictures\\backdrop.bmp", Say, Keep, host};
 *     int failed = play(&run);     // 0: every step went as it should
 *     FreeLibrary(scene);
 *
 * The road: register with a shutdown routine; check the frame format; create
 * a stage and render a transition through it; load a picture; render a title
 * over it; open the settings dialog (with a help topic); unregister.
 */
#ifndef SAMPLE_SCENE_H
#define SAMPLE_SCENE_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Flags of SampleSceneRun. */
#define SAMPLE_SCENE_UNATTENDED 1u /* the settings dialog presses its own buttons */

/* A line of the scene's report, NUL-terminated, without a line feed. */
typedef void (__cdecl *SampleSceneSay)(void* host, const char* line);

/* A picture the scene made: `width` x `height` pixels, 32-bit BGRA, rows
 * top-down and 4 * width bytes apart. The pixels are borrowed for the call. */
typedef void (__cdecl *SampleScenePicture)(void* host, const char* name, int width, int height,
                                           const void* pixels);

/* What the host hands the scene; borrowed for the call. */
typedef struct SampleSceneRun {
    DWORD size;                 /* sizeof(SampleSceneRun) */
    DWORD flags;                /* SAMPLE_SCENE_UNATTENDED or 0 */
    HWND owner;                 /* the owner of the settings dialog, or NULL */
    const char* picturePath;    /* the picture the title is laid over */
    SampleSceneSay say;         /* the report, or NULL */
    SampleScenePicture picture; /* the pictures, or NULL */
    void* host;                 /* handed back to say and picture */
} SampleSceneRun;

/* The entry: walks the road; answers the number of steps that failed
 * (0: all went), or -1 for a run block it cannot read. */
typedef int (__cdecl *SampleScenePlayFn)(const SampleSceneRun* run);

/* The entry's exported name. */
#define SAMPLE_SCENE_ENTRY "SampleScenePlay"

#ifdef SAMPLE_SCENE_BUILDING
__declspec(dllexport) int __cdecl SampleScenePlay(const SampleSceneRun* run);
#endif

#ifdef __cplusplus
}
#endif

#endif /* SAMPLE_SCENE_H */
