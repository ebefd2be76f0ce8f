#include "equilibrium/quality_line.h"

#include <cmath>
#include <cstdint>

#include "equilibrium/flash.h"
#include "thermo/numerical_fault.h"

namespace envelope {

namespace {

constexpr double FloorPressure = 2.0;
constexpr double FlashTolerance = 0.0001;
constexpr std::int16_t FlashPasses = 100;

// A vapour fraction this close to the target is a match; a bracket this
// narrow without a match means there is none.
constexpr double Closeness = 0.001;

} // namespace

void QualityLinePressure(const Mixture& mixture, const CubicModel& model, double T, double target,
                         std::span<const double> z, std::span<double> x, std::span<double> y, double& P,
                         SolverWorkspace& work)
{
    double Plow = FloorPressure;
    double Phigh = P;
    double V = 0.0;
    double width = Finite(std::fabs(Finite(Plow - Phigh)));

    for (;;) {
        P = Finite((Phigh + Plow) / 2);
        IsothermalFlash(mixture, model, z, T, P, y, x, V, FlashTolerance, FlashPasses, work);

        // More vapour than wanted: the pressure must rise, and the reverse.
        if (V > target)
            Plow = P;
        else if (V < target)
            Phigh = P;
        else if (V == target)
            return;

        if (Finite(std::fabs(Finite(V - target))) < Closeness)
            return;

        // Go on while the bracket is still wide and still shrinking. At
        // pressures so large that the bounds are neighbouring doubles 0.001
        // bar or more apart, the midpoint is one of the bounds and the bracket
        // stops shrinking; that ends the search like a collapsed bracket.
        const double previousWidth = width;
        width = Finite(std::fabs(Finite(Plow - Phigh)));
        if (width >= Closeness && width < previousWidth)
            continue;

        P = 0;
        return;
    }
}

} // namespace envelope
