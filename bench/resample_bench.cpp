// Area-averaging resize benchmark: each size's resize against the floor of
// writing the same destination: a plain copy of the destination's bytes.
//   1. the 3D angle's case: a 90 x 90 skin cell to a 64 x 64 and a 150 x 150 ball;
//   2. a large reduction: 720 x 576 to 360 x 288 (every destination pixel
//      averages 2 x 2 source pixels) and to 256 x 205 (uneven overlaps).
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "bench.h"
#include "controls/framework/resample.h"

namespace {

void Measure(int sw, int sh, int dw, int dh, int bpp) {
    const int sstride = ((sw * bpp / 8) + 3) & ~3;
    std::vector<std::uint8_t> src(static_cast<std::size_t>(sstride) * sh);
    for (std::size_t i = 0; i < src.size(); ++i) src[i] = static_cast<std::uint8_t>(i * 7 + (i >> 9));
    std::vector<std::uint8_t> dst(static_cast<std::size_t>(dw) * dh * 4), copy(dst.size(), 1);
    const int n = static_cast<int>(2000000 / (static_cast<long>(sw) * sh + 1)) + 5;
    const double floor = bench::NsPerOp(5, n * 20, [&] {
        std::memcpy(dst.data(), copy.data(), dst.size());
        copy[dst.size() / 2] ^= dst[dst.size() / 3];  // keep the copy from being optimised away
    });
    const double ns = bench::NsPerOp(5, n, [&] {
        kelmard::ResampleAreaAverage(dst.data(), dw, dh, dw * 4, src.data(), sw, sh, sstride, bpp);
    });
    char what[96];
    std::snprintf(what, sizeof what, "resize %dx%d (%d bits) to %dx%d", sw, sh, bpp, dw, dh);
    bench::Report(what, ns, "copy of the destination", floor);
}

}  // namespace

int main() {
    std::printf("Area-averaging resize (best of 5 rounds)\n");
    Measure(90, 90, 64, 64, 24);
    Measure(90, 90, 150, 150, 24);
    Measure(720, 576, 360, 288, 32);
    Measure(720, 576, 256, 205, 24);
    return 0;
}
