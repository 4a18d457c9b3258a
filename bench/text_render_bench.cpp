// Text rendering: QVRRenderText for a 720 x 576 title, the share of it spent
// in the 2x2 reduction, and the reduction against a plain copy of the same
// bytes (the memory floor).
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "bench.h"
#include "kelmard.h"
#include "media/supersample.h"
#include "owners/win32_owners.h"
#include "supersample_work.h"

int main() {
    RichTextDesc desc{};
    std::snprintf(desc.rtf, sizeof desc.rtf, "%s",
                  "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}}{\\colortbl;\\red255\\green240\\blue200;}"
                  "\\qc\\f0\\fs72\\cf1\\b Flarix Vortane\\b0\\par\\fs36 a title in rich text\\par}");
    desc.layoutWidth = bench::kFrameWidth;
    desc.layoutHeight = bench::kFrameHeight;
    desc.background = RGB(0, 0, 0);
    desc.coverage = 1;
    bool rendered = true;
    const double renderNs = bench::NsPerOp(5, 10, [&] {
        const kelmard::UniqueBitmap b(QVRRenderText(&desc, bench::kFrameWidth, bench::kFrameHeight));
        rendered = rendered && b;
    });
    if (!rendered) {
        std::printf("QVRRenderText failed\n");
        return 1;
    }

    const std::vector<std::uint32_t> work = bench::TitleWork();
    std::vector<std::uint32_t> result(static_cast<std::size_t>(bench::kFrameWidth) * bench::kFrameHeight);
    std::vector<std::uint32_t> copy(work.size());
    const double reduceNs = bench::NsPerOp(5, 20, [&] {
        kelmard::media::ReduceSupersampled(work.data(), result.data(), bench::kFrameWidth,
                                           bench::kFrameHeight, bench::kBackground, true);
    });
    const double averageNs = bench::NsPerOp(5, 20, [&] {
        kelmard::media::ReduceSupersampled(work.data(), result.data(), bench::kFrameWidth,
                                           bench::kFrameHeight, bench::kBackground, false);
    });
    const double copyNs = bench::NsPerOp(5, 20, [&] {
        std::memcpy(copy.data(), work.data(), work.size() * 4);
        asm volatile("" : : "r"(copy.data()) : "memory");
    });

    bench::Report("QVRRenderText 720x576 title", renderNs, "2x2 reduction", reduceNs);
    std::printf("%-48s %11.1f %%\n", "share of the render spent in the reduction", 100.0 * reduceNs / renderNs);
    bench::Report("2x2 reduction, coverage (work 1440x1152)", reduceNs, "memcpy same bytes", copyNs);
    bench::Report("2x2 reduction, averaged (work 1440x1152)", averageNs, "memcpy same bytes", copyNs);
    const double mb = static_cast<double>(work.size()) * 4 / 1e6;
    std::printf("%-48s %8.0f MB/s   memcpy %8.0f MB/s\n", "reduction throughput (work bytes read)",
                mb / (reduceNs / 1e9), mb / (copyNs / 1e9));
    return 0;
}
