// Timing, the log-log fit and the report lines of the scaling benchmark.
#include "Scaling.h"

#include <chrono>
#include <cmath>
#include <cstdio>

namespace scaling {

double now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

double logLogSlope(const std::vector<int>& sizes, const std::vector<double>& times) {
    const size_t n = sizes.size();
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (size_t i = 0; i < n; ++i) {
        const double x = std::log(double(sizes[i])), y = std::log(std::max(times[i], 1e-9));
        sx += x;
        sy += y;
        sxx += x * x;
        sxy += x * y;
    }
    const double d = n * sxx - sx * sx;
    return d == 0 ? 0 : (n * sxy - sx * sy) / d;
}

double measure(const Path& path, int sizes, int repeats) {
    std::vector<int> ns;
    std::vector<double> best;
    for (int k = 0, size = path.firstSize; k < sizes; ++k, size *= 2) {
        double t = 1e30;
        for (int r = 0; r < repeats; ++r) t = std::min(t, path.run(size));
        ns.push_back(size);
        best.push_back(t);
    }
    const double slope = logLogSlope(ns, best);
    std::printf("scaling %s slope %.2f\n", qPrintable(path.name), slope);
    std::printf("  sizes");
    for (int n : ns) std::printf(" %9d", n);
    std::printf("\n  ms   ");
    for (double t : best) std::printf(" %9.2f", t * 1000);
    std::printf("\n");
    std::fflush(stdout);
    return slope;
}

}  // namespace scaling
