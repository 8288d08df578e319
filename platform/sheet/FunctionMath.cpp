// Rounding to multiples and the median, as the worksheet functions compute them.
#include "platform/sheet/FunctionMath.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace sheet {

double to15(double x) {
    if (x == 0 || !std::isfinite(x)) return x;
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15g", x);
    return std::strtod(buf, nullptr);
}

namespace {
Value finite(double d) {
    if (!std::isfinite(d)) return Value(ErrorCode::Num);
    return Value(d == 0 ? 0.0 : d);  // no "-0" out of a multiple of a negative number
}
}  // namespace

Value ceilingMultiple(double x, double significance) {
    if (significance == 0 || x == 0) return Value(0.0);
    if (x > 0 && significance < 0) return Value(ErrorCode::Num);
    // The quotient is positive when both are negative, so rounding it up moves away from zero.
    return finite(to15(std::ceil(to15(x / significance)) * significance));
}

Value nearestMultiple(double x, double multiple) {
    if (multiple == 0 || x == 0) return Value(0.0);
    if ((x > 0) != (multiple > 0)) return Value(ErrorCode::Num);
    const double q = to15(x / multiple);  // positive
    return finite(to15(std::floor(q + 0.5) * multiple));
}

Value medianOf(std::vector<double> numbers) {
    if (numbers.empty()) return Value(ErrorCode::Num);
    const size_t mid = numbers.size() / 2;
    std::nth_element(numbers.begin(), numbers.begin() + std::ptrdiff_t(mid), numbers.end());
    const double upper = numbers[mid];
    if (numbers.size() % 2 == 1) return Value(upper);
    const double lower = *std::max_element(numbers.begin(), numbers.begin() + std::ptrdiff_t(mid));
    return finite(lower + (upper - lower) / 2);
}

}  // namespace sheet
