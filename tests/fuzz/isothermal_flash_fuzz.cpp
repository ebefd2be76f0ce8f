// IsothermalFlash with an arbitrary mixture, feed, T, P, tolerance, pass
// limit, starting V and phase vectors, and vector lengths. The component count
// runs from 0 to 4; a count of 4 has only three critical pressures and
// acentric factors and must hit the index fault inside, which the flash
// swallows (fuzz_support.h, ReadMixture).
//
// Input layout: byte count (mod 6, minus 1, at least 0), bytes lengths of z,
// y and x (each mod 5), int16 pass limit, then doubles: Tc[0..2], Pc[0..2],
// omega[0..2], T, P, tolerance, the caller's V, z, y, x; then a byte, and when
// it is odd, count x count interaction parameters.
//
// The flash must never let any error out, nor take longer than a second. On
// return: V is either the caller's value (a fault before the start) or lies in
// [0, 1]; every entry of x and y is the caller's value, a finite result, or
// the feed's entry copied for a one-phase result (the copy covers the whole
// vector, beyond the component count too, so it may carry whatever the caller
// put there); with a tolerance of 1 or more, or a pass limit of 0 or less, no
// pass runs, so x and y are untouched and V is 0.5 (or the caller's value when
// the Wilson start faulted).
#include <vector>

#include "equilibrium/flash.h"
#include "fuzz_support.h"

using namespace envelope;
using namespace envelope::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Input in(data, size);
    const int count = in.Byte() % 6 - 1;
    std::vector<double> z(in.Byte() % 5);
    std::vector<double> y(in.Byte() % 5);
    std::vector<double> x(in.Byte() % 5);
    const std::int16_t maxPasses = in.Int16();

    Mixture mixture = ReadMixture(in, count);
    const double T = in.Double();
    const double P = in.Double();
    const double tolerance = in.Double();
    const double startV = in.Double();
    in.Doubles(z);
    in.Doubles(y);
    in.Doubles(x);
    ReadInteractionParameters(in, mixture);
    const std::vector<double> startY = y;
    const std::vector<double> startX = x;

    double V = startV;
    SolverWorkspace work;
    const bool returned =
        ReturnsOrFaults([&] { IsothermalFlash(mixture, SoaveRedlichKwong, z, T, P, y, x, V, tolerance, maxPasses,
                                              work); });
    Require(returned, "the numerical fault escaped the flash");

    Require(SameBits(V, startV) || (V >= 0.0 && V <= 1.0), "V outside [0, 1]");
    const auto acceptable = [&](const std::vector<double>& out, const std::vector<double>& start, std::size_t i) {
        return SameBits(out[i], start[i]) || std::isfinite(out[i]) || (i < z.size() && SameBits(out[i], z[i]));
    };
    for (std::size_t i = 0; i < y.size(); ++i)
        Require(acceptable(y, startY, i), "the flash stored a non-finite vapour fraction");
    for (std::size_t i = 0; i < x.size(); ++i)
        Require(acceptable(x, startX, i), "the flash stored a non-finite liquid fraction");

    if (tolerance >= 1.0 || maxPasses <= 0) {
        Require(SameBits(V, startV) || V == 0.5, "no pass should run, yet V moved from 0.5");
        for (std::size_t i = 0; i < y.size(); ++i)
            Require(SameBits(y[i], startY[i]), "no pass should run, yet y was written");
        for (std::size_t i = 0; i < x.size(); ++i)
            Require(SameBits(x[i], startX[i]), "no pass should run, yet x was written");
    }
    return 0;
}
