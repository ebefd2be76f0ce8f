// SplineInterpolate with arbitrary knots, end-condition code, and array and
// table sizes (some too small on purpose).
//
// Input layout: byte length L of x (mod 40), byte y-length mode (mod 4: L - 1,
// L, L - 2, L + 3), byte table rows (mod 4: n - 1 to n + 2, n = L - 2), byte
// table columns (mod 3: 3 to 5), int16 end-condition code, then doubles x, y.
//
// On a normal return: the code is 1, 3 or 4, there are at least two segments,
// y and the table cover them; the cubic of every segment starts exactly at its
// knot and ends at the next one to rounding accuracy; every written
// coefficient is finite; code 1 gives a zero t^2 coefficient on the first
// segment, code 3 zero t^3 coefficients on both end segments. Whether the call
// returned or faulted, nothing outside rows 0 to n - 1, columns 0 to 3 of the
// table is written.
#include <algorithm>
#include <limits>
#include <vector>

#include "fuzz_support.h"
#include "spline/spline.h"

using namespace envelope;
using namespace envelope::fuzz;

namespace {

// |p(i, h) - y(i + 1)| within rounding of the terms that form it. The cubic
// meets the next knot identically for any second derivatives, so the only
// error is that of forming and evaluating the coefficients. False only on a
// real mismatch; overflow inside the check itself skips it.
bool EndsAtNextKnot(const SplineCoefficients& C, long long i, double h, double y0, double y1)
{
    const double c0 = C(i, 0), c1 = C(i, 1), c2 = C(i, 2), c3 = C(i, 3);
    const double a = std::fabs(h);
    // Nested form, so that no power of a tiny h underflows on its own while
    // its coefficient is huge.
    const double value = ((c0 * h + c1) * h + c2) * h + c3;
    // M(i) = 2 c1 and |M(i + 1)| <= |M(i)| + 6 |h| |c0|; the terms of the
    // coefficients, each formed as h^2 |M| / 6 or |y1 - y0|.
    const double scale = std::fabs(y0) + 2 * std::fabs(y1) + std::fabs(y1 - y0) + std::fabs(c2) * a +
                         4 * std::fabs(c1) * a * a + 6 * std::fabs(c0) * a * a * a;
    // Underflow is no fault: a coefficient or partial sum that lands among
    // the subnormals keeps only an absolute accuracy of the smallest
    // subnormal, which the powers of h then magnify.
    const double underflow = 8 * std::numeric_limits<double>::denorm_min() * (((a + 1) * a + 1) * a + 1);
    if (!std::isfinite(value) || !std::isfinite(scale) || !std::isfinite(underflow))
        return true;
    return std::fabs(value - y1) <= 1e-10 * scale + underflow;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Input in(data, size);
    const long long L = in.Byte() % 40;
    const long long n = L - 2;
    const int yMode = in.Byte() % 4;
    const long long yLength = yMode == 0 ? L - 1 : yMode == 1 ? L : yMode == 2 ? L - 2 : L + 3;
    const long long rows = n - 1 + in.Byte() % 4;
    const long long columns = 3 + in.Byte() % 3;
    const std::int16_t endCondition = in.Int16();

    std::vector<double> x(static_cast<std::size_t>(L));
    std::vector<double> y(static_cast<std::size_t>(std::max(0LL, yLength)));
    in.Doubles(x);
    in.Doubles(y);
    SplineCoefficients C(static_cast<std::size_t>(std::max(0LL, rows)), static_cast<std::size_t>(columns));
    for (std::size_t r = 0; r < C.rows(); ++r)
        for (std::size_t c = 0; c < C.columns(); ++c)
            C(static_cast<long long>(r), static_cast<long long>(c)) = Untouched();

    const bool returned = ReturnsOrFaults([&] { SplineInterpolate(x, y, C, endCondition); });

    for (long long r = 0; r < static_cast<long long>(C.rows()); ++r)
        for (long long c = 0; c < static_cast<long long>(C.columns()); ++c)
            if (r >= n || c > 3)
                Require(IsUntouched(C(r, c)), "the table was written outside rows 0..n-1, columns 0..3");
    if (!returned)
        return 0;

    Require(endCondition == NaturalSpline || endCondition == ParabolicRunoutSpline ||
                endCondition == NotAKnotSpline,
            "an end-condition code other than 1, 3 or 4 gave a spline");
    Require(n >= 2, "fewer than two segments gave a spline");
    Require(yLength >= n + 1, "ordinates shorter than the points were accepted");
    Require(rows >= n && columns >= 4, "a table too small for the coefficients was accepted");
    for (long long i = 0; i < n; ++i) {
        for (long long c = 0; c < 4; ++c)
            Require(std::isfinite(C(i, c)), "a coefficient is not finite");
        Require(SameBits(C(i, 3), y[i]), "a segment does not start at its knot");
        const double h = x[i + 1] - x[i];
        Require(EndsAtNextKnot(C, i, h, y[i], y[i + 1]), "a segment does not end at the next knot");
    }
    if (endCondition == NaturalSpline)
        Require(C(0, 1) == 0.0, "natural end: the first segment has a second derivative");
    if (endCondition == ParabolicRunoutSpline)
        Require(C(0, 0) == 0.0 && C(n - 1, 0) == 0.0, "parabolic runout: an end segment is not a parabola");
    return 0;
}
