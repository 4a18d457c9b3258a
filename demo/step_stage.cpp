// Step: the stage. The host detects the stage that runs here, creates a stage
// object on a window, has it draw one frame of a transition, writes that
// frame as a picture, destroys the object, and finally tells every process to
// reload the stage (as a settings dialog does after the user changed it).
#include <cmath>
#include <cstdint>
#include <vector>

#include "demo.h"
#include "kelmard.h"
#include "owners/win32_owners.h"
#include "picture.h"

namespace demo {
namespace {

constexpr int kWidth = 480, kHeight = 270;
constexpr float kProgress = 0.35f;

std::uint32_t Pixel(double r, double g, double b) {
    auto channel = [](double v) { return static_cast<std::uint32_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
    return 0xFF000000u | channel(r) << 16 | channel(g) << 8 | channel(b);
}

// The two pictures of the transition: warm rings, then a cool checkerboard.
std::vector<std::uint32_t> Rings() {
    std::vector<std::uint32_t> p(kWidth * kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const double d = std::hypot(x - kWidth / 2.0, y - kHeight / 2.0);
            const double ring = 0.5 + 0.5 * std::cos(d / 9.0);
            p[y * kWidth + x] = Pixel(230, 90 + 110 * ring, 40 + 40 * ring);
        }
    return p;
}

std::vector<std::uint32_t> Checks() {
    std::vector<std::uint32_t> p(kWidth * kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const bool dark = ((x / 30) + (y / 30)) % 2 != 0;
            const double shade = 1.0 - 0.4 * y / kHeight;
            p[y * kWidth + x] = dark ? Pixel(20, 70 * shade, 140 * shade)
                                     : Pixel(90, 200 * shade, 230 * shade);
        }
    return p;
}

const char* StageHolder() {
    const QVRIntercomRecord record = ReadPlace(QVR_STAGE_INTERCOM_NAME);
    if (!record.routine) return "free";
    return record.processId == GetCurrentProcessId() ? "held by the stage in this process"
                                                      : "held by another process";
}

// Draws the frame through the stage object and writes it as a PNG file.
bool RenderFrame(QVRStage* stage, std::vector<std::uint32_t>& frame, const std::string& file) {
    const std::vector<std::uint32_t> from = Rings(), to = Checks();
    const QVRPicture a{kWidth, kHeight, kWidth * 4, from.data()};
    const QVRPicture b{kWidth, kHeight, kWidth * 4, to.data()};
    if (!stage->methods->RenderTransition(stage, &a, &b, kProgress)) return false;
    kpicture::Image image;
    image.width = kWidth;
    image.height = kHeight;
    image.pixels = frame;
    return kpicture::WritePng(image, file);
}

}  // namespace

bool StepStage(Context& context) {
    char path[256];
    if (!QVRDetectStage(path)) {
        Say("  no stage runs here (is Stages\\OPENGL.DLL installed?)\n");
        return false;
    }
    Say("  QVRDetectStage: %s\n", path);

    const kelmard::UniqueWindow window(CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "stage", WS_POPUP | WS_VISIBLE,
                                                       0, 0, kWidth, kHeight, nullptr, nullptr, nullptr, nullptr));
    std::vector<std::uint32_t> frame(kWidth * kHeight);
    QVRStageTarget target{sizeof target, window.get(), kWidth, kHeight, QVR_PIXELS_BGRA32,
                          frame.data(), kWidth * 4};
    QVRStage* stage = window ? QVRCreateStage(&target, 0) : nullptr;
    Say("  QVRCreateStage on a %dx%d window: %s\n", kWidth, kHeight, stage ? "a stage object" : "null");
    Say("  stage place: %s\n", StageHolder());

    bool ok = false;
    if (stage) {
        const std::string file = context.outputFolder + "\\stage-transition.png";
        ok = RenderFrame(stage, frame, file);
        Say("  RenderTransition at progress %.2f: %s\n", kProgress,
            ok ? ("written to " + file).c_str() : "failed");
        Say("  QVRDestroyStage: %d\n", QVRDestroyStage(stage));
    }

    const int updated = QVRUpdateStage();
    Say("  QVRUpdateStage: %d; stage place: %s; every process reloads at its next creation\n",
        updated, StageHolder());
    return ok && updated == 1;
}

}  // namespace demo
