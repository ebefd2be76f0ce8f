#include "equilibrium/flash.h"

#include <array>
#include <cmath>

#include "thermo/wilson.h"
#include "thermo/composition.h"
#include "thermo/eos.h"
#include "thermo/eos_terms.h"
#include "thermo/numerical_fault.h"

namespace envelope {

namespace {

// The most passes one flash makes, whatever limit the caller gives. Every pass
// solves two cubics of up to 2000 root-finder passes each; this bound keeps a
// call well under a second, ten times above the most any caller asks for (100).
// A flash that reaches it ends as one that runs out of its own limit.
constexpr std::int16_t PassBound = 1000;

} // namespace

void IsothermalFlash(const Mixture& mixture, const CubicModel& model, std::span<const double> z, double T, double P,
                     std::span<double> y, std::span<double> x, double& V, double tolerance, std::int16_t maxPasses,
                     SolverWorkspace& work)
{
    try {
        const std::int16_t count = mixture.Count();
        std::array<double, MaxComponentCount> K{};
        std::array<double, MaxComponentCount> phiLiquid{};
        std::array<double, MaxComponentCount> phiVapour{};
        // The equation of state's terms at T, formed by the first call below
        // and used by every call of this flash.
        TemperatureTerms terms;

        for (std::int16_t i = 0; i < count; ++i)
            At(K, i) = WilsonK(mixture, i, T, P);

        V = 0.5;
        double liquidSumError = 1.0;
        double vapourSumError = 0.0;
        double stepError = 0.0;
        std::int16_t passes = 0;

        while (liquidSumError > tolerance || vapourSumError > tolerance || stepError > tolerance) {
            Increment16(passes);
            if (passes > maxPasses || passes > PassBound)
                break;
            ++work.counters.flashPasses;

            // Rachford-Rice function and its derivative at the current V,
            // over the components present in the feed.
            double f = 0.0;
            double d = 0.0;
            for (std::int16_t i = 0; i < count; ++i) {
                const double zi = At(z, i);
                if (zi == 0.0)
                    continue;
                const double km1 = K[i] - 1;
                const double denominator = Finite(km1 * V + 1);
                f = Finite(f + Finite(km1 * zi / denominator));
                d = Finite(d - Finite(km1 * km1 * zi / Finite(denominator * denominator)));
            }

            const double step = Finite(f / d);
            V = Finite(V - step);
            if (V < 0)
                V = 0;
            else if (V > 1)
                V = 1;

            for (std::int16_t i = 0; i < count; ++i) {
                At(x, i) = Finite(At(z, i) / Finite((K[i] - 1) * V + 1));
                At(y, i) = Finite(x[i] * K[i]);
            }

            liquidSumError = std::fabs(SumVector(x) - 1);
            vapourSumError = std::fabs(SumVector(y) - 1);
            stepError = std::fabs(step);

            NormalizeVector(x);
            NormalizeVector(y);
            FugacityCoefficients(mixture, model, x, P, T, phiLiquid, LiquidPhase, terms, work);
            FugacityCoefficients(mixture, model, y, P, T, phiVapour, VapourPhase, terms, work);

            for (std::int16_t i = 0; i < count; ++i)
                if (z[i] != 0.0)
                    K[i] = Finite(phiLiquid[i] / phiVapour[i]);
        }

        if (V == 0.0 || V == 1.0) {
            CopyVector(y, z);
            CopyVector(x, z);
        }
    } catch (const NumericalFault&) {
        // A fault ends the flash quietly; V, x and y stay as they stood.
    }
}

} // namespace envelope
