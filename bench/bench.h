// Tiny timing helpers for the benchmarks: best-of-N wall time per operation.
#pragma once
#include <chrono>
#include <cstdio>

namespace bench {

// Nanoseconds per iteration of `body`, the best of `rounds` rounds of `n`.
template <typename F>
double NsPerOp(int rounds, int n, F body) {
    double best = 1e300;
    for (int r = 0; r < rounds; ++r) {
        const auto t0 = std::chrono::steady_clock::now();
        for (int i = 0; i < n; ++i) body();
        const auto t1 = std::chrono::steady_clock::now();
        const double ns = std::chrono::duration<double, std::nano>(t1 - t0).count() / n;
        if (ns < best) best = ns;
    }
    return best;
}

inline void Report(const char* what, double ns, const char* floorName, double floorNs) {
    std::printf("%-48s %12.0f ns/op   floor (%s) %10.0f ns/op   ratio %6.2f\n", what, ns,
                floorName, floorNs, ns / floorNs);
}

}  // namespace bench
