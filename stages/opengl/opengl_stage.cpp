// OPENGL.DLL, the sample stage: a render engine on OpenGL 1.1 through the
// system's opengl32. Start your own stage from this file.
//
// A stage library exports five entries by undecorated name (see the .def
// file) and does not need to import KELMARD.DLL: it registers itself through
// the address it receives in its init block. Its stage objects draw one frame
// of a transition: the first picture swings away like a door, hinged on its
// left edge, and uncovers the second picture behind it.
#define QVR_STAGE_LIBRARY 1
#include <windows.h>

#include <GL/gl.h>

#include <new>

#include "kelmard.h"

#ifndef GL_BGRA
#define GL_BGRA 0x80E1
#endif
#ifndef GL_CLAMP_TO_EDGE
#define GL_CLAMP_TO_EDGE 0x812F
#endif

namespace {

// This stage's option block. The library stores 64 bytes for us in the
// user's settings and hands them back in the init block; unused bytes are 0.
struct Options {
    DWORD version;  // 1
    DWORD smooth;   // non-zero: filter the pictures linearly
    DWORD shade;    // non-zero: the door darkens as it turns from the light
};
static_assert(sizeof(Options) <= QVR_STAGE_OPTIONS_SIZE, "the options fit the block");
constexpr Options kDefaults = {1, 1, 1};

Options g_options = kDefaults;
volatile LONG g_shutDown = 0;  // set when another stage took the place

// Runs when another stage registers, or after QVRUpdateStage: in this
// process, possibly on a thread of its own. Objects stop drawing; the host
// destroys them and creates new ones.
DWORD WINAPI StageShutdown(LPVOID) {
    InterlockedExchange(&g_shutDown, 1);
    return 1;
}

// An OpenGL rendering context on a window's device context.
class GLContext {
public:
    GLContext() = default;
    GLContext(const GLContext&) = delete;
    GLContext& operator=(const GLContext&) = delete;
    ~GLContext() {
        if (rc_) {
            if (wglGetCurrentContext() == rc_) wglMakeCurrent(nullptr, nullptr);
            wglDeleteContext(rc_);
        }
        if (dc_) ReleaseDC(window_, dc_);
    }

    bool Open(HWND window) {
        window_ = window;
        dc_ = GetDC(window);
        if (!dc_ || !ChoosePixels()) return false;
        rc_ = wglCreateContext(dc_);
        return rc_ && wglMakeCurrent(dc_, rc_);
    }
    bool MakeCurrent() const { return wglMakeCurrent(dc_, rc_) != FALSE; }
    void Present() const { SwapBuffers(dc_); }

private:
    // A window keeps the pixel format it was given first.
    bool ChoosePixels() {
        if (GetPixelFormat(dc_)) return true;
        PIXELFORMATDESCRIPTOR pfd{};
        pfd.nSize = sizeof pfd;
        pfd.nVersion = 1;
        pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
        pfd.iPixelType = PFD_TYPE_RGBA;
        pfd.cColorBits = 32;
        pfd.cAlphaBits = 8;
        const int format = ChoosePixelFormat(dc_, &pfd);
        return format && SetPixelFormat(dc_, format, &pfd);
    }

    HWND window_ = nullptr;
    HDC dc_ = nullptr;
    HGLRC rc_ = nullptr;
};

// A stage object. The library and the host see only the QVRStage at its start.
struct GLStage {
    QVRStage base;
    QVRStageTarget target;
    GLContext gl;
    GLuint textures[2] = {0, 0};

    ~GLStage() {
        if (textures[0] && gl.MakeCurrent()) glDeleteTextures(2, textures);
    }
};

void Upload(GLuint texture, const QVRPicture& picture) {
    glBindTexture(GL_TEXTURE_2D, texture);
    const GLint filter = g_options.smooth ? GL_LINEAR : GL_NEAREST;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, picture.stride / 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, picture.width, picture.height, 0, GL_BGRA,
                 GL_UNSIGNED_BYTE, picture.bits);
}

// A textured rectangle from (left, bottom) to (right, top) at depth z. The
// pictures' rows run top-down, so the texture's first row goes on top.
void Quad(GLuint texture, float left, float bottom, float right, float top, float z) {
    glBindTexture(GL_TEXTURE_2D, texture);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 1); glVertex3f(left, bottom, z);
    glTexCoord2f(1, 1); glVertex3f(right, bottom, z);
    glTexCoord2f(1, 0); glVertex3f(right, top, z);
    glTexCoord2f(0, 0); glVertex3f(left, top, z);
    glEnd();
}

// The camera looks down -z; a picture at depth kNear * 2 fills the frame.
constexpr float kNear = 1.0f, kDoor = 2.0f, kBack = 6.0f, kFar = 10.0f;

void DrawDoor(const GLStage& stage, float progress) {
    const float aspect = static_cast<float>(stage.target.width) / stage.target.height;
    glViewport(0, 0, stage.target.width, stage.target.height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-aspect * kNear / kDoor, aspect * kNear / kDoor, -kNear / kDoor, kNear / kDoor,
              kNear, kFar);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_TEXTURE_2D);

    // The second picture, far enough behind the door that it is never in
    // front of it, and as large as it must be to fill the frame there.
    const float scale = kBack / kDoor;
    glColor3f(1, 1, 1);
    Quad(stage.textures[1], -aspect * scale, -scale, aspect * scale, scale, -kBack);

    // The first picture turns about its left edge, away from the viewer.
    const float shade = g_options.shade ? 1.0f - 0.6f * progress : 1.0f;
    glColor3f(shade, shade, shade);
    glTranslatef(-aspect, 0, -kDoor);
    glRotatef(90.0f * progress, 0, 1, 0);
    Quad(stage.textures[0], 0, -1, 2 * aspect, 1, 0);
    glFinish();
}

// Copies the drawn frame to the target's pixels, rows top-down.
void ReadBack(const QVRStageTarget& target) {
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    for (LONG row = 0; row < target.height; ++row) {
        BYTE* line = static_cast<BYTE*>(target.pixels) + row * target.stride;
        glReadPixels(0, target.height - 1 - row, target.width, 1, GL_BGRA, GL_UNSIGNED_BYTE, line);
    }
}

int QVRAPI RenderTransition(QVRStage* object, const QVRPicture* from, const QVRPicture* to,
                            float progress) {
    GLStage& stage = *reinterpret_cast<GLStage*>(object);
    if (g_shutDown || !from || !to || !stage.gl.MakeCurrent()) return 0;
    if (progress < 0) progress = 0;
    if (progress > 1) progress = 1;
    Upload(stage.textures[0], *from);
    Upload(stage.textures[1], *to);
    DrawDoor(stage, progress);
    if (stage.target.pixels) ReadBack(stage.target);
    stage.gl.Present();
    return glGetError() == GL_NO_ERROR ? 1 : 0;
}

const QVRStageMethods kMethods = {sizeof(QVRStageMethods), RenderTransition};

}  // namespace

// Can this stage run here? It can when it gets an OpenGL context on a window.
extern "C" int QVRAPI QVRTestStage(void) {
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 16, 16, nullptr, nullptr,
                                  nullptr, nullptr);
    if (!window) return 0;
    int runs = 0;
    {
        GLContext gl;
        runs = gl.Open(window) && glGetString(GL_VERSION) != nullptr;
    }
    DestroyWindow(window);
    return runs;
}

extern "C" int QVRAPI QVREnumOptions(DWORD, DWORD, BYTE* options) {
    ZeroMemory(options, QVR_STAGE_OPTIONS_SIZE);
    CopyMemory(options, &kDefaults, sizeof kDefaults);
    return 1;
}

// The stage takes its options and registers itself; it is ready when it
// holds the stage place.
extern "C" int QVRAPI QVRInitStage(const QVRStageInit* init) {
    if (init->size < sizeof(QVRStageInit)) return 0;
    CopyMemory(&g_options, init->options, sizeof g_options);
    if (g_options.version != kDefaults.version) g_options = kDefaults;
    InterlockedExchange(&g_shutDown, 0);
    return init->registerStage(StageShutdown, 0, QVR_REGISTER);
}

extern "C" QVRStage* QVRAPI QVRCreateStage(const QVRStageTarget* target, DWORD) {
    if (!target || target->size < sizeof(QVRStageTarget) || !target->window ||
        target->width <= 0 || target->height <= 0 || target->pixelFormat != QVR_PIXELS_BGRA32)
        return nullptr;
    GLStage* stage = new (std::nothrow) GLStage;
    if (!stage) return nullptr;
    stage->base.methods = &kMethods;
    stage->target = *target;
    if (!stage->gl.Open(target->window)) {
        delete stage;
        return nullptr;
    }
    glGenTextures(2, stage->textures);
    return &stage->base;
}

extern "C" int QVRAPI QVRDestroyStage(QVRStage* object) {
    if (!object) return 0;
    delete reinterpret_cast<GLStage*>(object);
    return 1;
}
