// The 2x2 reduction on this machine (native build), against a plain copy of
// the same bytes (the memory floor).
#include <cstdio>
#include <cstring>
#include <vector>

#include "bench.h"
#include "media/supersample.h"
#include "supersample_work.h"

int main() {
    const std::vector<std::uint32_t> work = bench::TitleWork();
    std::vector<std::uint32_t> result(static_cast<std::size_t>(bench::kFrameWidth) * bench::kFrameHeight);
    std::vector<std::uint32_t> copy(work.size());
    for (bool coverage : {true, false}) {
        const double reduceNs = bench::NsPerOp(5, 20, [&] {
            kelmard::media::ReduceSupersampled(work.data(), result.data(), bench::kFrameWidth,
                                               bench::kFrameHeight, bench::kBackground, coverage);
            asm volatile("" : : "r"(result.data()) : "memory");
        });
        const double copyNs = bench::NsPerOp(5, 20, [&] {
            std::memcpy(copy.data(), work.data(), work.size() * 4);
            asm volatile("" : : "r"(copy.data()) : "memory");
        });
        bench::Report(coverage ? "2x2 reduction 1440x1152 -> 720x576, coverage"
                               : "2x2 reduction 1440x1152 -> 720x576, averaged",
                      reduceNs, "memcpy same bytes", copyNs);
    }
    return 0;
}
