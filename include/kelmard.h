/**
 * @file kelmard.h
 * @brief The public interface of KELMARD.DLL, for scenes and stages.
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
 *
 * Both need Windows 7 or later (they use SetThreadErrorMode and slim
 * reader/writer locks) and, in the 32-bit build, a processor with SSE2: the
 * library computes floating point in SSE2, as the 64-bit build does, so both
 * builds round alike. Exported functions and window procedures assume only
 * the 4-byte stack alignment that 32-bit Windows guarantees.
 *
 * Ownership: what an export hands out belongs to the caller until the caller
 * gives it back: the bitmaps of QVRLoadImage() and QVRRenderText() (freed
 * with DeleteObject), the help handle of FxHelp() (until #FXHELP_CLOSE), the
 * stage objects of QVRCreateStage() (until QVRDestroyStage()). What a caller
 * hands in is borrowed for the call: dialog templates, RTF texts, file names,
 * parameter blocks, pictures. Only the shutdown routine and argument of a
 * registration stay, in the system-wide record, until the next registration
 * or unregistration; and a QVRStageTarget's pixel buffer stays borrowed while
 * its stage object lives. Handles a program gives a skinned control (fonts,
 * bitmaps, image lists) are borrowed too: the control never frees them.
 *
 * Layouts: structures whose layout other modules rely on state it for both
 * builds. The 32-bit layouts are fixed; the 64-bit build keeps the same
 * fields with pointer-wide addresses and handles and natural alignment.
 * Any compiler for Windows (MinGW or an MSVC-compatible one) lays them out
 * alike with its default packing; do not change the packing around this
 * header.
 */
#ifndef KELMARD_H
#define KELMARD_H

#include <windows.h>
#include <commdlg.h> /* OPENFILENAMEA */

#ifdef __cplusplus
extern "C" {
#endif

/** @name Version
 * The version of this header, which is the version of the library it comes
 * with; the library's version resource (VERSIONINFO) holds the same numbers.
 * @{ */
#define KELMARD_VERSION_MAJOR 1       /**< major version: changes break compatibility */
#define KELMARD_VERSION_MINOR 0       /**< minor version: additions */
#define KELMARD_VERSION_PATCH 0       /**< patch version: fixes */
#define KELMARD_VERSION_STRING "1.0.0" /**< the three numbers as text */
/** The version as one number, major * 10000 + minor * 100 + patch (for \#if). */
#define KELMARD_VERSION (KELMARD_VERSION_MAJOR * 10000 + KELMARD_VERSION_MINOR * 100 + KELMARD_VERSION_PATCH)
/** @} */

#if defined(KELMARD_BUILDING)
#define KELMARD_API __declspec(dllexport)
#define KELMARD_DATA __declspec(dllexport)
#else
/** Declares an exported function: imported from KELMARD.DLL (exported while
 *  the library itself is built, with KELMARD_BUILDING defined). */
#define KELMARD_API __declspec(dllimport)
/** Declares exported data, imported like KELMARD_API. */
#define KELMARD_DATA __declspec(dllimport)
#endif

/** Calling convention of every export. */
#define QVRAPI __cdecl

/* ------------------------------------------------------------------------ */
/* Shared data                                                              */
/* ------------------------------------------------------------------------ */

/**
 * QVRUpdateID: a 32-bit word with one value common to every process that
 * loads the library. Scenes and stages may use it among themselves; the
 * library itself neither reads nor writes it.
 */
KELMARD_DATA extern volatile DWORD QVRUpdateID;

/* ------------------------------------------------------------------------ */
/* Intercom: the system-wide place of the active scene and of the stage     */
/* ------------------------------------------------------------------------ */

/**
 * The shutdown routine of a registration.
 *
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
 * locks while it runs); it may unregister and may destroy its stage objects
 * with QVRDestroyStage, even when the eviction came from a stage that is
 * being loaded on the same thread.
 *
 * A holder whose process no longer runs leaves its place free: the next
 * registration takes it without running anything.
 */
typedef DWORD (WINAPI *QVRShutdownRoutine)(LPVOID argument);

/* Flags of QVRRegisterScene and QVRRegisterStage (only bit 0 is read). */
#define QVR_UNREGISTER 0u /**< flag of QVRRegisterScene()/QVRRegisterStage(): leave the place */
#define QVR_REGISTER   1u /**< flag of QVRRegisterScene()/QVRRegisterStage(): take the place */

/**
 * QVRRegisterScene: take (QVR_REGISTER) or leave (QVR_UNREGISTER) the scene
 * place. Registering evicts a different scene holder first; if that holder
 * cannot be shut down the call answers 0 and the holder keeps the place.
 * Registering again with the same routine and argument from the same process
 * evicts nobody. Unregistering clears the place whoever holds it.
 * Answers 1 on success, 0 on failure (also when the intercom is unavailable).
 */
KELMARD_API int QVRAPI QVRRegisterScene(QVRShutdownRoutine routine, DWORD_PTR argument,
                                        DWORD flags);

/**
 * QVRRegisterStage: the same for the stage place. A registration against a
 * different stage holder first evicts the current scene (the scene place then
 * reads routine 0, argument 0 and the caller's process id), then the stage.
 * Stages receive this function's address in their init block.
 */
KELMARD_API int QVRAPI QVRRegisterStage(QVRShutdownRoutine routine, DWORD_PTR argument,
                                        DWORD flags);

/**
 * The registration record, as it lies at offset 0 of the named shared memory
 * of each place. A routine of 0 marks a free place.
 *
 * @verbatim
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
 * @endverbatim
 *
 * The semaphore of the stage place is the outer lock of every registration;
 * the scene semaphore guards the scene record only.
 */
typedef struct QVRIntercomRecord {
    QVRShutdownRoutine routine; /**< the holder's shutdown routine; 0: the place is free */
    DWORD_PTR argument;         /**< the argument the routine receives */
    DWORD processId;            /**< the holder's process */
} QVRIntercomRecord;

#if defined(_WIN64)
#define QVR_INTERCOM_SUFFIX "64"
#else
/** The suffix of the intercom's kernel object names: "" in the 32-bit build,
 *  "64" in the 64-bit build. */
#define QVR_INTERCOM_SUFFIX ""
#endif
/** Name of the scene place's shared memory (holds a QVRIntercomRecord). */
#define QVR_SCENE_INTERCOM_NAME "FxSceneIntercom" QVR_INTERCOM_SUFFIX
/** Name of the stage place's shared memory (holds a QVRIntercomRecord). */
#define QVR_STAGE_INTERCOM_NAME "FxStageIntercom" QVR_INTERCOM_SUFFIX
/** Name of the semaphore that guards the scene record. */
#define QVR_SCENE_SEMAPHORE_NAME "FxSceneSemaphore" QVR_INTERCOM_SUFFIX
/** Name of the stage lock, the outer lock of every registration. */
#define QVR_STAGE_SEMAPHORE_NAME "FxStageSemaphore" QVR_INTERCOM_SUFFIX

/* ------------------------------------------------------------------------ */
/* Settings                                                                 */
/* ------------------------------------------------------------------------ */

/**
 * The library keeps its settings below this key: installation values in
 * HKEY_LOCAL_MACHINE ("DestDir", the installation folder without a trailing
 * backslash) and the user's choices in HKEY_CURRENT_USER.
 */
#define QVR_SETTINGS_ROOT "SOFTWARE\\Quorvane\\Flarix Vortane"

/* ------------------------------------------------------------------------ */
/* Stage engines                                                            */
/* ------------------------------------------------------------------------ */

/**
 * @name Stage engines
 * A stage is a render engine in a library of its own, kept in the
 * installation's "Stages" folder as NAME.DLL. The library knows three, tried
 * in this order when it detects the stage that runs on the machine:
 * "D3D7CDI", "OPENGL", "D3D7UNI". The user's stage is the value "Stage"
 * (REG_SZ, at most 19 characters) below the settings root in
 * HKEY_CURRENT_USER; each stage's option block is the value of its name below
 * the key "StageData" (REG_BINARY, exactly 64 bytes). The option block belongs
 * to the stage: the library only fetches it, stores it and hands it over.
 *
 * Each process loads the user's stage library on its first QVRCreateStage
 * and keeps it until QVRUpdateStage is called in any process: the next
 * QVRCreateStage in every process then frees the library (under the stage
 * lock) and loads it afresh.
 */
/** @{ */
#define QVR_STAGE_OPTIONS_SIZE 64 /**< bytes of a stage's option block */
#define QVR_STAGE_NAME_SIZE 20 /**< "Stage" is read into 20 bytes */
/** @} */

/* Pixel formats of QVRStageTarget and QVRPicture. */
#define QVR_PIXELS_BGRA32 1u /**< pixel format: 32 bits per pixel, bytes B, G, R, A */

/**
 * A picture handed to a stage: 32-bit BGRA pixels, rows top-down, `stride`
 * bytes apart. Borrowed for the call.
 *
 * 16 bytes in the 32-bit build (bits at offset 12); 24 in the 64-bit build
 * (bits at offset 16).
 */
typedef struct QVRPicture {
    LONG width;       /**< pixels per row */
    LONG height;      /**< rows */
    LONG stride;      /**< bytes from one row to the next */
    const void* bits; /**< the top row's first pixel */
} QVRPicture;

/**
 * Where a stage object draws: the client area of `window`, `width` x
 * `height` pixels. When `pixels` is not null the stage also copies every
 * frame it draws there (format `pixelFormat`, rows top-down, `stride` bytes
 * apart); the buffer must stay valid while the object lives. `size` is
 * sizeof(QVRStageTarget), so that the structure can grow.
 *
 * 28 bytes in the 32-bit build; 48 in the 64-bit build (window at offset 8,
 * pixels at 32, stride at 40).
 */
typedef struct QVRStageTarget {
    DWORD size;        /**< sizeof(QVRStageTarget) */
    HWND window;       /**< the window whose client area the stage draws into */
    LONG width;        /**< the frame's width in pixels */
    LONG height;       /**< the frame's height in pixels */
    DWORD pixelFormat; /**< format of `pixels`: #QVR_PIXELS_BGRA32 */
    void* pixels;      /**< where every frame is copied too, or null (borrowed while the object lives) */
    LONG stride;       /**< bytes from one row of `pixels` to the next */
} QVRStageTarget;

/**
 * A stage object, made by QVRCreateStage and given back with QVRDestroyStage.
 * Every stage object starts with a pointer to its methods; the rest belongs
 * to the stage.
 */
typedef struct QVRStage QVRStage;
/** The methods of a stage object. */
typedef struct QVRStageMethods {
    DWORD size; /**< sizeof(QVRStageMethods) */
    /**
     * RenderTransition draws one frame of a transition from picture `from` to
     * picture `to` at `progress` (0: all `from`, 1: all `to`) into the object's
     * target. Answers 1 when the frame was drawn, else 0.
     */
    int (QVRAPI *RenderTransition)(QVRStage* stage, const QVRPicture* from,
                                   const QVRPicture* to, float progress);
} QVRStageMethods;
/** A stage object: its methods first, the stage's own state after them. */
struct QVRStage {
    const QVRStageMethods* methods; /**< the object's methods */
};

/** The address a stage receives to register and unregister itself. */
typedef int (QVRAPI *QVRRegisterStageFn)(QVRShutdownRoutine routine, DWORD_PTR argument,
                                         DWORD flags);

/**
 * The init block, handed to the stage's "QVRInitStage". Borrowed for the call.
 *
 * @verbatim
 *   32-bit build: 76 bytes, little-endian
 *     offset 0   size            (4)   76
 *     offset 4   options         (64)  the stage's option block
 *     offset 68  reserved        (4)   0
 *     offset 72  registerStage   (4)   the address of QVRRegisterStage
 *
 *   64-bit build: 88 bytes, natural alignment
 *     offset 0   size            (4)   88
 *     offset 4   options         (64), 4 bytes of padding
 *     offset 72  reserved        (8)   0
 *     offset 80  registerStage   (8)
 * @endverbatim
 */
typedef struct QVRStageInit {
    DWORD size;                           /**< sizeof(QVRStageInit): 76 or 88 */
    BYTE options[QVR_STAGE_OPTIONS_SIZE]; /**< the stage's option block */
    DWORD_PTR reserved;                   /**< 0 */
    QVRRegisterStageFn registerStage;     /**< the address of QVRRegisterStage() */
} QVRStageInit;

/**
 * @name The stage library interface
 * The entries a stage library exports by these undecorated names, all with
 * the C calling convention:
 *
 *   "QVRTestStage"()                    non-zero: the stage can run here
 *   "QVREnumOptions"(0, 0, options)     non-zero: the 64-byte block was filled
 *                                       with the stage's defaults
 *   "QVRInitStage"(init)                non-zero: the stage is ready
 *   "QVRCreateStage"(target, flags)     a new stage object, or null
 *   "QVRDestroyStage"(stage)            1 when the object was destroyed
 *
 * A library without "QVRInitStage", "QVRCreateStage" or "QVRDestroyStage" is
 * never used; one without "QVRTestStage" is never chosen by detection; one
 * without "QVREnumOptions" runs with an all-zero option block.
 *
 * The library calls "QVRInitStage" while it holds the stage lock and its own
 * per-process lock, and "QVRCreateStage" and "QVRDestroyStage" with no lock
 * held (the stage library stays loaded until such a call returns). "QVRInitStage"
 * may register through its init block; it must not call QVRCreateStage.
 *
 * A stage library does not need to import KELMARD.DLL: it registers through
 * the address in its init block. It defines QVR_STAGE_LIBRARY before
 * including this header, so that its own QVRCreateStage and QVRDestroyStage
 * are not taken for the library's.
 */
/** @{ */
/** "QVRTestStage": non-zero when the stage can run on this machine. */
typedef int (QVRAPI *QVRTestStageFn)(void);
/** "QVREnumOptions": fills the 64-byte block with the stage's defaults. */
typedef int (QVRAPI *QVREnumOptionsFn)(DWORD reserved1, DWORD reserved2, BYTE* options);
/** "QVRInitStage": readies the stage with its init block (borrowed for the call). */
typedef int (QVRAPI *QVRInitStageFn)(const QVRStageInit* init);
/** "QVRCreateStage": a new stage object for the target, or null. */
typedef QVRStage* (QVRAPI *QVRCreateStageFn)(const QVRStageTarget* target, DWORD flags);
/** "QVRDestroyStage": destroys one of the stage's objects; 1 when it did. */
typedef int (QVRAPI *QVRDestroyStageFn)(QVRStage* stage);
/** @} */

#if !defined(QVR_STAGE_LIBRARY)
/**
 * QVRDetectStage: finds the first known stage that runs on this machine
 * (loading each library in turn and asking its "QVRTestStage"), makes it the
 * user's stage, stores its default option block when it has none yet, and
 * answers 1 with the stage library's path in `path`. Answers 0 with an empty
 * path when no stage runs (or "DestDir" is missing). `path` is a buffer of at
 * least 256 characters, or null; at most 256 characters are written, the
 * terminating NUL included.
 */
KELMARD_API int QVRAPI QVRDetectStage(char* path);

/**
 * QVRCreateStage: loads the user's stage library if this process has none
 * (detecting one when no stage is chosen yet), then passes the call to the
 * stage's "QVRCreateStage" with these arguments untouched and answers its
 * result. Answers null when no stage library could be loaded; a failed load
 * is tried again on the next call.
 */
KELMARD_API QVRStage* QVRAPI QVRCreateStage(const QVRStageTarget* target, DWORD flags);

/**
 * QVRDestroyStage: passes the object to the loaded stage's "QVRDestroyStage"
 * and answers its result; 0 when no stage library is loaded.
 */
KELMARD_API int QVRAPI QVRDestroyStage(QVRStage* stage);

/**
 * QVRUpdateStage: after the user changed the stage or its options. Every
 * process frees and reloads its stage library on its next QVRCreateStage;
 * the current scene and stage holders are shut down in their own processes
 * and the stage place is left free. Answers the result of that registration
 * (1 on success).
 */
KELMARD_API int QVRAPI QVRUpdateStage(void);
#endif

/* ------------------------------------------------------------------------ */
/* TV formats                                                               */
/* ------------------------------------------------------------------------ */

/**
 * The installation's table of television frame formats, read once per
 * process from `DestDir\Presets\TvFormats.cfg` (a profile file; one section
 * per format, the section name is a label):
 *
 * @verbatim
 *   [PAL 4:3]
 *   Frame=720x576            width x height, lower-case x; 0x.. is hex, 0.. octal
 *   PAspect=1.0667           pixel aspect; missing or 0 means 1.0
 *   Underscan=36, 29, 684, 547   four numbers, handed back in this order
 * @endverbatim
 *
 * A section with a malformed Frame or Underscan is skipped.
 */

/** The frame size argument of QVRCheckVideoFormat: width low, height high. */
#define QVR_FRAME_SIZE(width, height) \
    ((DWORD)(((DWORD)(WORD)(height) << 16) | (DWORD)(WORD)(width)))

/**
 * QVRCheckVideoFormat: answers 1 when the frame size is in the table (the
 * first matching section wins) and writes its pixel aspect to *aspect and its
 * four underscan numbers to underscan[0..3]; answers 0 and writes nothing
 * when it is not (or when there is no table).
 */
KELMARD_API int QVRAPI QVRCheckVideoFormat(DWORD frameSize, float* aspect, short* underscan);

/* ------------------------------------------------------------------------ */
/* Pictures and file picking                                                */
/* ------------------------------------------------------------------------ */

/** QVRGetOpenFileName: GetOpenFileNameA with the block unchanged; its result.
 * A null block answers 0 without calling the system. The block is borrowed. */
KELMARD_API int QVRAPI QVRGetOpenFileName(OPENFILENAMEA* ofn);

/**
 * QVRLoadImage: decodes a picture file with the system picture decoder (BMP,
 * JPEG, GIF, ICO, WMF/EMF...) into a new 32-bit DIB section: the picture's
 * physical size at the screen's resolution (2540 HIMETRIC = LOGPIXELS
 * pixels), rows bottom-up, pixels the picture does not paint 0. Null on any
 * failure (missing, empty or undecodable file). The caller frees the bitmap
 * with DeleteObject.
 */
KELMARD_API HBITMAP QVRAPI QVRLoadImage(const char* fileName);

/* ------------------------------------------------------------------------ */
/* Rich text                                                                */
/* ------------------------------------------------------------------------ */

/**
 * The text render descriptor: 1044 bytes, the same layout in both builds.
 * @verbatim
 *   offset 0     reserved (not read)
 *   offset 4     rtf: the RTF text, read up to its NUL or its 1024 bytes
 *   offset 1028  layoutWidth: the page width in screen pixels (0: no render)
 *   offset 1030  layoutHeight: the page height in screen pixels; the page
 *                has one more inch below it
 *   offset 1032  background: COLORREF (0x00BBGGRR)
 *   offset 1036  reserved (not read)
 *   offset 1040  coverage: non-zero = the text colour with its coverage in
 *                the alpha byte (0, 64, 128, 191, 255); 0 = colours averaged
 *                over the background, alpha 0
 * @endverbatim
 */
typedef struct RichTextDesc {
    DWORD reserved0;     /**< not read */
    char rtf[1024];      /**< the RTF text, up to its NUL or its 1024 bytes */
    WORD layoutWidth;    /**< the page width in screen pixels (0: no render) */
    WORD layoutHeight;   /**< the page height in screen pixels */
    COLORREF background; /**< the background colour, 0x00BBGGRR */
    DWORD reserved1;     /**< not read */
    DWORD coverage;      /**< non-zero: the text colour with coverage alpha; 0: colours averaged */
} RichTextDesc;

/**
 * QVRGetRichText: the whole content of a RichEdit control as RTF in buffer,
 * NUL-terminated, never more than size bytes in all. Answers the length of
 * the text; 0 and an empty string when it does not fit or the transfer
 * failed (nothing at all is written when size is below 1).
 */
KELMARD_API int QVRAPI QVRGetRichText(HWND control, char* buffer, int size);

/** QVRSetRichText: replaces a RichEdit control's content with the RTF text;
 * answers the characters read (0 on failure). The text is borrowed. */
KELMARD_API int QVRAPI QVRSetRichText(HWND control, const char* rtf);

/**
 * QVRRenderText: lays the descriptor's text out on its page and renders it
 * into a new 32-bit DIB section of width x height pixels (rows bottom-up):
 * the page's width fills the bitmap's width, both directions scaled alike,
 * drawn at twice the size and reduced by 2 x 2 blocks. Null on failure. The
 * caller frees the bitmap with DeleteObject. Renders from several threads of
 * one process must not overlap.
 */
KELMARD_API HBITMAP QVRAPI QVRRenderText(const RichTextDesc* desc, int width, int height);

/* ------------------------------------------------------------------------ */
/* Help                                                                     */
/* ------------------------------------------------------------------------ */

/**
 * @name Help
 * FxHelp(operation, help, parameters): help topics from the installation's
 * help files, shown in a small borderless popup sized to the text, which
 * closes itself as soon as the user clicks elsewhere or presses a key.
 *
 *   FXHELP_OPEN       parameters: an FxHelpOpenBlock (or NULL). Opens
 *                     `DestDir\Help\FxHelp.RFH` and, for each name given,
 *                     `DestDir\Help\<name without blanks>.RFH`. Answers a help
 *                     handle, or 0 when any of them cannot be opened.
 *   FXHELP_CLOSE      closes a help handle (NULL is allowed). Answers 1.
 *                     Popups still open stay usable until they close.
 *   FXHELP_SHOW       parameters: an FxHelpShowBlock. Shows the topic in a
 *                     popup at (x, y) in screen coordinates (to the left of
 *                     x or above y when it would reach the screen's edge).
 *                     Answers 1 when the topic was found and shown, else 0.
 *                     The popup lives on the calling thread's message loop.
 *   FXHELP_HAS_TOPIC  parameters: the help ID itself (low 16 bits). Answers
 *                     1 when an open help file holds the topic, else 0.
 *
 * A topic found in a named file wins over the same topic in FxHelp.RFH, and
 * the second name's file over the first's. Help ID 0 means any topic. Any
 * other operation, and SHOW or HAS_TOPIC with a NULL handle, answer 0.
 * One thread should use a handle.
 */
/** @{ */
#define FXHELP_OPEN      0 /**< FxHelp() operation: open the help files, answer a help handle */
#define FXHELP_CLOSE     1 /**< FxHelp() operation: close a help handle */
#define FXHELP_SHOW      2 /**< FxHelp() operation: show a topic in a popup */
#define FXHELP_HAS_TOPIC 3 /**< FxHelp() operation: does an open file hold the topic */

/** The parameters of #FXHELP_OPEN (borrowed for the call). 12 bytes in the
 *  32-bit build, 24 in the 64-bit build. */
typedef struct FxHelpOpenBlock {
    void* reserved;          /**< not used */
    const char* firstName;   /**< the first additional help file, or NULL */
    const char* secondName;  /**< the second, or NULL */
} FxHelpOpenBlock;

/** The parameters of #FXHELP_SHOW (borrowed for the call). 16 bytes in the
 *  32-bit build, 32 in the 64-bit build. */
typedef struct FxHelpShowBlock {
    HWND parent;             /**< the popup's parent (owner) window */
    LONG_PTR x;              /**< screen position of the popup's left edge */
    LONG_PTR y;              /**< screen position of its top edge */
    WORD helpId;             /**< the topic */
} FxHelpShowBlock;

/** The help window: see the operations above. The help handle of
 *  #FXHELP_OPEN belongs to the caller until #FXHELP_CLOSE. */
KELMARD_API LONG_PTR QVRAPI FxHelp(int operation, void* help, void* parameters);
/** @} */

/* ------------------------------------------------------------------------ */
/* Skin colours                                                             */
/* ------------------------------------------------------------------------ */

/**
 * @name Skin colours
 * The skinned controls draw in one palette of 25 colours; other modules can
 * paint in the same colours. Indices 0-10 are the normal palette, 11-21 the
 * alternate one (the slate blue of buttons and thumbs), 22-24 caption and
 * tooltip:
 *
 *   0 field background   1 face              2 light edge       3 highlight edge
 *   4 shadow edge        5 dark shadow       6 grey text        7 pressed text
 *   8-10 text (variants 0, 1, 2)            11 highlight text  12 alternate face
 *   13 alternate light   14 alternate highlight                15 alternate shadow
 *   16 alternate dark    17 inactive caption title             18 alternate pressed text
 *   19-21 alternate text (variants 0, 1, 2; 19 is also the active caption title,
 *   21 the selection)    22 caption          23 tooltip background  24 tooltip text
 */

/** @{ */
/** WKGetColor: skin colour `index` (0-24); any other index answers colour 0. */
KELMARD_API COLORREF QVRAPI WKGetColor(int index);

/**
 * WKGetSysColor: GetSysColor with the skin's colours for the system colours
 * it replaces: COLOR_SCROLLBAR, COLOR_ACTIVECAPTION, COLOR_INACTIVECAPTION,
 * COLOR_CAPTIONTEXT, COLOR_ACTIVEBORDER, COLOR_INACTIVEBORDER and
 * COLOR_HIGHLIGHT up to COLOR_INFOBK (13-24); every other index answers
 * GetSysColor(index).
 */
KELMARD_API COLORREF QVRAPI WKGetSysColor(int index);
/** @} */

/* ------------------------------------------------------------------------ */
/* Skinned dialogs and the message box                                      */
/* ------------------------------------------------------------------------ */

/**
 * @name Skinned dialogs
 * The dialog entry points take the same arguments and give the same results
 * as the ANSI system calls whose names they echo, but they are exported with
 * the C calling convention (QVRAPI, __cdecl) like every other export; only
 * the dialog procedure they are given is WINAPI (__stdcall), as for the
 * system. A plug-in passes the template written for the system controls:
 * the library runs a converted copy in which
 *
 *   Button (except BS_OWNERDRAW)  -> "WKButton"    Edit      -> "WKEdit"
 *   Static                        -> "WKStatic"    ListBox   -> "WKListBox"
 *   ScrollBar                     -> "WKScrollBar" ComboBox  -> "WKComboBox"
 *   "msctls_trackbar32" -> "WKSlider"    "SysTabControl32" -> "WKTab"
 *   "msctls_updown32"   -> "WKSpin"      "SysTreeView32"   -> "WKTreeView"
 *
 * (class names compared without regard to case; the predefined classes are
 * replaced only when given as atoms, as resource compilers write them), and a
 * dialog that names no class of its own becomes a "WKDialog": a skinned frame
 * and caption, skin colours for the background and WM_CTLCOLOR answers. Any
 * other class, the library's own ("WKRange", "WKAngle3D", "WKBmpView"...)
 * included, is kept. The converted copy lives only for the call. When memory
 * for it runs out, the template is run as it is, with the system controls.
 *
 * WKDialogBox, WKDialogBoxParam: the RT_DIALOG resource `name` of `instance`;
 *   -1 when it is missing or runs past its resource size.
 * WKDialogBoxIndirect(Param): a template in memory.
 * WKCreateDialogIndirect(Param): a modeless dialog; its window, or NULL.
 */
/** @{ */
/** The modal dialog of resource `name` (as DialogBoxA). */
KELMARD_API INT_PTR QVRAPI WKDialogBox(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC procedure);
/** The modal dialog of resource `name`, `init` in WM_INITDIALOG (as DialogBoxParamA). */
KELMARD_API INT_PTR QVRAPI WKDialogBoxParam(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC procedure,
                                            LPARAM init);
/** The modal dialog of a template in memory (as DialogBoxIndirectA). */
KELMARD_API INT_PTR QVRAPI WKDialogBoxIndirect(HINSTANCE instance, LPCDLGTEMPLATEA source, HWND owner,
                                               DLGPROC procedure);
/** The modal dialog of a template in memory, with `init` (as DialogBoxIndirectParamA). */
KELMARD_API INT_PTR QVRAPI WKDialogBoxIndirectParam(HINSTANCE instance, LPCDLGTEMPLATEA source, HWND owner,
                                                    DLGPROC procedure, LPARAM init);
/** A modeless dialog of a template in memory (as CreateDialogIndirectA); the
 *  caller destroys the window. */
KELMARD_API HWND QVRAPI WKCreateDialogIndirect(HINSTANCE instance, LPCDLGTEMPLATEA source, HWND owner,
                                               DLGPROC procedure);
/** A modeless dialog of a template in memory, with `init` (as
 *  CreateDialogIndirectParamA); the caller destroys the window. */
KELMARD_API HWND QVRAPI WKCreateDialogIndirectParam(HINSTANCE instance, LPCDLGTEMPLATEA source, HWND owner,
                                                    DLGPROC procedure, LPARAM init);
/** @} */

/**
 * "WKDialog" inset panel: a sunken panel at the top left of the client area
 * of a skinned (captioned) dialog. wParam 0: lParam is MAKELONG(x, y) of the
 * panel's bottom-right corner in client coordinates (x 0 removes the panel);
 * wParam non-zero: the low word of lParam is a child window whose bottom-right
 * corner becomes the corner. Answers the previous corner as MAKELONG(x, y)
 * (0 for a dialog without a caption, which has no panel). Nothing is
 * repainted by the message.
 */
#define WKDIALOG_SETPANEL (WM_USER + 100)

/* ------------------------------------------------------------------------ */
/* The range control                                                        */
/* ------------------------------------------------------------------------ */

/**
 * @name The range control
 * "WKRange": a horizontal slider with two thumbs that selects a part (start
 * to end) of a value range, e.g. the part of an effect's duration in percent
 * an adjustment applies to. A new range has the range 0..100 with all of it
 * selected, page size 20, line size 1 and minimum length 0. Name the class in
 * a dialog template or CreateWindowEx; it has no system counterpart.
 *
 * The user drags the start thumb, the end thumb, or the bar between them
 * (the whole selection, its length kept); the thumbs stay at least the
 * minimum length apart and inside the range. Keys (the control wants the
 * arrows): Left/Up, Right/Down by the line size, Page Up/Page Down by the page
 * size, Home/End to the range's ends; they move the whole selection, or with
 * Shift held only the end.
 *
 * Messages (results 0 unless given). A non-zero wParam of a setter repaints
 * the control. The setters of the range, start and length keep the values
 * as given (the thumbs are drawn inside the range) and notify nobody.
 */
/** @{ */
#define RGM_GETSTART     (WM_USER + 1)  /**< -> start */
#define RGM_GETLENGTH    (WM_USER + 2)  /**< -> end - start */
#define RGM_GETRANGEMIN  (WM_USER + 3)  /**< -> minimum */
#define RGM_GETRANGEMAX  (WM_USER + 4)  /**< -> maximum */
#define RGM_SETSTART     (WM_USER + 5)  /**< lParam: the start (the end stays) */
#define RGM_SETLENGTH    (WM_USER + 6)  /**< lParam: the length; end := start + length */
#define RGM_SETRANGEMIN  (WM_USER + 7)  /**< lParam: the minimum; the page size becomes a tenth of the range (at least 1) */
#define RGM_SETRANGEMAX  (WM_USER + 8)  /**< lParam: the maximum; the page size as above */
#define RGM_SETPAGESIZE  (WM_USER + 9)  /**< lParam: the page size */
#define RGM_GETPAGESIZE  (WM_USER + 10) /**< -> page size */
#define RGM_SETLINESIZE  (WM_USER + 11) /**< lParam: the line size */
#define RGM_GETLINESIZE  (WM_USER + 12) /**< -> line size */
#define RGM_SETMINLENGTH (WM_USER + 13) /**< lParam: the minimum length, kept to 0..maximum - minimum; a shorter
                                           selection gets its end moved out; -> the length stored */
#define RGM_GETMINLENGTH (WM_USER + 14) /**< -> minimum length */

/**
 * Notifications: WM_HSCROLL to the parent, wParam MAKEWPARAM(code, start),
 * lParam the control's window (read the length with RGM_GETLENGTH):
 *   RGN_TRACKING  at every move of a drag
 *   RGN_CHANGED   after a key changed the selection, and when a drag ends
 *   RGN_ENDTRACK  when the mouse button goes up (or the drag is cancelled:
 *                 capture lost, WM_CANCELMODE), and at the key-up after a
 *                 key's RGN_CHANGED; its value word is 0
 */
#define RGN_ENDTRACK 0 /**< range notification: the drag or key ended */
#define RGN_CHANGED  1 /**< range notification: the selection changed */
#define RGN_TRACKING 2 /**< range notification: a drag moved */
/** @} */

/* ------------------------------------------------------------------------ */
/* The 3D angle control                                                     */
/* ------------------------------------------------------------------------ */

/* ------------------------------------------------------------------------ */
/* The bitmap view                                                          */
/* ------------------------------------------------------------------------ */

/// @defgroup bitmap_view The bitmap view ("WKBmpView")
/// A picture viewer: it shows a bitmap its owner gives it, fitted into the
/// client and centred, lets the user zoom (a left click zooms in 2x, a right
/// click out, about the clicked point, which stays under the pointer; Page
/// Down / Page Up) and pan (a drag or a press held 300 ms; the arrow keys move
/// one picture pixel) between the fitting scale and 32 times it, or in pick
/// mode reports the picture pixel under the pointer to the parent. Name the
/// class in a dialog template or CreateWindowEx; it has no system counterpart.
///
/// The bitmap, the mask and the pick cursor stay the caller's: the control
/// never frees them. Keep each alive while it is set, and free the previous
/// one the setter answers (after the view is destroyed, too). Handles travel
/// in lParam at the platform's full width.
/// @{

/// BVM_SETBITMAP: wParam non-zero repaints; lParam the bitmap (HBITMAP, or
/// NULL for none). The new picture is shown fitted, centred on its middle.
/// Answers the previous bitmap, which stays the caller's to free.
#define BVM_SETBITMAP   (WM_USER + 1)
/// BVM_GETBITMAP: answers the bitmap shown (still the caller's), or NULL.
#define BVM_GETBITMAP   (WM_USER + 2)
/// BVM_SETMASK: wParam non-zero repaints; lParam a monochrome mask (HBITMAP of
/// the picture's size, or NULL): where it is white the background colour
/// shows, where black the picture. Answers the previous mask, the caller's.
#define BVM_SETMASK     (WM_USER + 3)
/// BVM_GETMASK: answers the mask (still the caller's), or NULL.
#define BVM_GETMASK     (WM_USER + 4)
/// BVM_SETMODE: wParam a BVMODE_* value; lParam a cursor (HCURSOR) that becomes
/// the pick mode's cursor, or NULL to keep it (the system's cross at first).
/// The cursor stays the caller's. A wParam outside the modes changes nothing.
/// Answers the previous mode.
#define BVM_SETMODE     (WM_USER + 5)
/// BVM_GETMODE: answers the mode (BVMODE_*).
#define BVM_GETMODE     (WM_USER + 6)
/// BVM_ZOOM: wParam non-zero zooms in 2x, zero out 2x, about the view's centre,
/// within the limits; repaints. Answers 0.
#define BVM_ZOOM        (WM_USER + 7)
/// BVM_ENABLEPICKS: wParam non-zero makes pick mode report presses and drags
/// too (BVN_PICKING); releases are always reported. Answers 0.
#define BVM_ENABLEPICKS (WM_USER + 8)
/// BVM_SETBKCOLOR: wParam non-zero repaints; lParam the background colour
/// (COLORREF) around the picture and under the mask's white. Answers the
/// previous colour (the skin's face colour at first).
#define BVM_SETBKCOLOR  (WM_USER + 9)
/// BVM_GETBKCOLOR: answers the background colour.
#define BVM_GETBKCOLOR  (WM_USER + 10)

/// Zoom mode: clicks zoom, drags and held presses pan (the magnifier cursor).
#define BVMODE_ZOOM     0
/// Pan mode: drags pan (the hand cursor).
#define BVMODE_PAN      1
/// Pick mode: the left button reports picture pixels, a right drag pans.
#define BVMODE_PICK     2
/// Inactive: the mouse and the keys do nothing.
#define BVMODE_INACTIVE 3

/// Pick notifications, in pick mode: WM_COMMAND to the parent with wParam
/// MAKEWPARAM(control id, code) and lParam MAKELPARAM(picture x, picture y),
/// the picture pixel drawn under the pointer (lParam is no window handle).
/// BVN_PICKING: a left press or a drag over the picture (with BVM_ENABLEPICKS).
#define BVN_PICKING 0
/// BVN_PICKED: the left button released over the picture.
#define BVN_PICKED  1

/// @}

/*
 * "WKAngle3D": shows and edits a 3D orientation (the direction of a light,
 * the tilt of an object) as a skinned ball with a wire sphere that turns with
 * it, a strip at its right (tilt about the horizontal axis), a strip below it
 * (turn about the vertical axis) and a ring around it (roll about the viewing
 * axis). The user drags the ball as a trackball, a strip or the ring, or uses
 * the keys: the arrows turn the ball by the step (at least 5 degrees), Page
 * Up and Page Down roll it, Home returns to (0, 0, 0) and End turns it half
 * round, (0, pi, 0). Name the class in a dialog template or CreateWindowEx; it
 * has no system counterpart.
 *
 * The orientation is three angles x, y, z in radians, always whole degrees in
 * -pi..pi, snapped to the step and held within the tilt limits (the angle of
 * the front axis from the viewing axis). Messages answer 0.
 */
/// Sets the least tilt: lParam in whole degrees (a 32-bit integer); default 0.
#define ANM_SETMINTILT (WM_USER + 1)
/// Sets the greatest tilt: lParam in whole degrees (a 32-bit integer); default 180.
#define ANM_SETMAXTILT (WM_USER + 2)
/// Sets the step: lParam in whole degrees, at least 1 (smaller values set 1); default 1.
/// The angles a drag or key makes are snapped to multiples of it.
#define ANM_SETSTEP    (WM_USER + 3)
/// Reads the angles: lParam points to the caller's float[3], which receives x, y, z in
/// radians. A null lParam is ignored.
#define ANM_GETANGLES  (WM_USER + 4)
/// Sets the angles: lParam points to the caller's float[3] of x, y, z in radians, read
/// during the call only. They are kept to whole degrees (truncated), snapped and limited,
/// and the control repaints; the parent is not told. A null lParam or a value that is not
/// finite is ignored.
#define ANM_SETANGLES  (WM_USER + 5)
/// Sets the mode: lParam 0 shows the ball with its strips and ring, any other value the
/// ball alone (no strips, no ring, no tick marks). The control lays itself out again.
#define ANM_SETMODE    (WM_USER + 6)
/// ANM_SETMODE's lParam for the ball alone (0: the ball with its strips and ring).
#define ANM_BALLONLY   1

/// Notification code (the high word of WM_COMMAND's wParam; lParam the control's window):
/// a drag started, or a move of a drag changed the angles.
#define ANN_TRACKING 0
/// Notification code: a drag ended, or a key was handled (read the angles with ANM_GETANGLES).
#define ANN_CHANGED  1

/**
 * WKMessageBox: the skinned MessageBoxA, with its arguments (owner, text,
 * caption, MB_* type) and result: the command id of the button that closed
 * the box (IDOK..IDNO; Escape and the close box give IDCANCEL whatever the
 * buttons), or -1 when the box cannot be shown. C calling convention (QVRAPI).
 *
 *   buttons   MB_OK, MB_OKCANCEL, MB_ABORTRETRYIGNORE, MB_YESNOCANCEL,
 *             MB_YESNO, MB_RETRYCANCEL (any other set: OK), and MB_HELP adds
 *             Help, which sends WM_HELP to the owner and leaves the box open;
 *             captions from the library's string table, in the language of
 *             the library's resources (English, Japanese, Chinese Simplified)
 *   default   MB_DEFBUTTON1..4; a number beyond the buttons picks the first
 *   icons     MB_ICONHAND, MB_ICONQUESTION, MB_ICONEXCLAMATION, MB_ICONASTERISK
 *   owner     MB_APPLMODAL: the owner window (none without one);
 *             MB_TASKMODAL: the owner's last active popup, or the thread's
 *             top window's; MB_SYSTEMMODAL: none, and the box stays on top
 *             (as with MB_TOPMOST)
 *
 * A NULL caption shows "Error", a NULL text an empty text.
 */
KELMARD_API int QVRAPI WKMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* KELMARD_H */
