// FugacityCoefficients with an arbitrary mixture, composition, P, T, phase
// selector, and vector lengths. The component count runs from 0 to 4; a count
// of 4 has only three critical pressures and acentric factors and must hit the
// index fault (fuzz_support.h, ReadMixture).
//
// Input layout: byte count (mod 6, minus 1, at least 0), byte length of x
// (mod 5), byte length of phi (mod 5), int16 phase selector, then doubles:
// Tc[0..2], Pc[0..2], omega[0..2], P, T, x[0..length-1], and a second
// composition of the same length; then a byte, and when it is odd, count x
// count interaction parameters.
//
// On a normal return with at least one component: the mixture is whole, x and
// phi cover its count, the selector is 1 or 2, every phi[i] below the count is
// finite and not negative, and nothing of phi beyond the count is written. A
// fault may leave earlier phi entries written, never the entries beyond.
//
// The overload that keeps the temperature terms for the next call must give
// exactly what the plain call gives, faults and partly written phi included,
// also when its terms were formed (or failed to form) by a call on another
// composition before.
#include <algorithm>
#include <vector>

#include "fuzz_support.h"
#include "thermo/eos.h"
#include "thermo/eos_terms.h"

using namespace envelope;
using namespace envelope::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Input in(data, size);
    const int count = in.Byte() % 6 - 1;
    const std::size_t xLength = in.Byte() % 5;
    const std::size_t phiLength = in.Byte() % 5;
    const std::int16_t phase = in.Int16();

    Mixture mixture = ReadMixture(in, count);
    const double P = in.Double();
    const double T = in.Double();
    std::vector<double> x(xLength);
    in.Doubles(x);
    std::vector<double> other(xLength);
    in.Doubles(other);
    ReadInteractionParameters(in, mixture);
    std::vector<double> phi(phiLength, Untouched());

    SolverWorkspace work;
    const bool returned = ReturnsOrFaults([&] { FugacityCoefficients(mixture, SoaveRedlichKwong, x, P, T, phi, phase,
                                                                     work); });

    TemperatureTerms terms;
    std::vector<double> scratch(phiLength, Untouched());
    std::vector<double> reused(phiLength, Untouched());
    ReturnsOrFaults([&] { FugacityCoefficients(mixture, SoaveRedlichKwong, other, P, T, scratch, phase, terms,
                                               work); });
    const bool reusedReturned = ReturnsOrFaults([&] { FugacityCoefficients(mixture, SoaveRedlichKwong, x, P, T,
                                                                           reused, phase, terms, work); });
    Require(reusedReturned == returned, "kept temperature terms change whether the call faults");
    for (std::size_t i = 0; i < phi.size(); ++i)
        Require(SameBits(reused[i], phi[i]), "kept temperature terms change the coefficients");

    const std::size_t covered = static_cast<std::size_t>(std::clamp(count, 0, 4));
    for (std::size_t i = covered; i < phi.size(); ++i)
        Require(IsUntouched(phi[i]), "phi written beyond the component count");
    if (!returned || count <= 0)
        return 0;

    Require(count <= FuzzedComponents, "a mixture with too few critical pressures was accepted");
    Require(x.size() >= covered, "a composition shorter than the component count was accepted");
    Require(phi.size() >= covered, "a phi vector shorter than the component count was accepted");
    Require(phase == LiquidPhase || phase == VapourPhase, "a selector other than 1 or 2 returned coefficients");
    for (std::size_t i = 0; i < covered; ++i)
        Require(std::isfinite(phi[i]) && phi[i] >= 0.0, "a fugacity coefficient is not finite and non-negative");
    return 0;
}
