// BairstowRoots on arbitrary coefficient arrays of degree 0 to 8 (infinities
// and NaN included) with root arrays of the right size, larger, or one short.
//
// Input layout: byte degree (mod 9), byte root-array mode (mod 3: 0 exact,
// 1 two spare slots, 2 one slot short), then degree + 1 doubles, a[0] first.
//
// On a normal return: the degree was at least 1 and the root arrays held every
// root; every slot 0 to n - 1 holds a finite root; the slots of each quadratic
// factor are either two real roots (imaginary parts exactly 0) or a conjugate
// pair (equal real parts, imaginary parts +v and -v with v > 0); the last slot
// of an odd degree is real; spare slots are left alone.
#include <vector>

#include "fuzz_support.h"
#include "thermo/bairstow.h"

using namespace envelope;
using namespace envelope::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Input in(data, size);
    const int degree = in.Byte() % 9;
    const int mode = in.Byte() % 3;
    const int slots = mode == 0 ? degree : mode == 1 ? degree + 2 : degree - 1;

    std::vector<double> a(static_cast<std::size_t>(degree) + 1);
    in.Doubles(a);
    std::vector<double> re(static_cast<std::size_t>(slots > 0 ? slots : 0), Untouched());
    std::vector<double> im(re.size(), Untouched());

    long long passes = 0;
    const bool returned = ReturnsOrFaults([&] { BairstowRoots(a, re, im, passes); });
    if (!returned)
        return 0;

    Require(degree >= 1, "a polynomial of degree 0 returned roots");
    Require(slots >= degree, "root arrays shorter than the degree were accepted");
    for (int k = 0; k < degree; ++k)
        Require(std::isfinite(re[k]) && std::isfinite(im[k]), "a root slot is not finite (or was not written)");
    for (int k = degree; k < slots; ++k)
        Require(IsUntouched(re[k]) && IsUntouched(im[k]), "a slot beyond the degree was written");
    for (int k = 0; k + 1 < degree; k += 2) {
        const bool realPair = im[k] == 0.0 && im[k + 1] == 0.0;
        const bool conjugatePair = im[k] > 0.0 && im[k + 1] == -im[k] && re[k] == re[k + 1];
        Require(realPair || conjugatePair, "a quadratic factor gave neither two real roots nor a conjugate pair");
    }
    if (degree % 2 == 1)
        Require(im[degree - 1] == 0.0, "the root of the linear remainder is not real");
    return 0;
}
