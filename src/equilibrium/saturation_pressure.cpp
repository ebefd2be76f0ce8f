#include "equilibrium/saturation_pressure.h"

#include <array>
#include <cmath>
#include <cstdint>

#include "thermo/wilson.h"
#include "thermo/composition.h"
#include "thermo/eos.h"
#include "thermo/eos_terms.h"
#include "thermo/numerical_fault.h"

namespace envelope {

namespace {

// The first secant step moves from P0 to P0 * 1.05.
constexpr double FirstPressureFactor = 1.05;

// A search that has not met its tolerance after this many passes is taken as
// lost. Points of the built-in envelope need at most 10.
constexpr std::int16_t PassLimit = 500;

// A result whose last K-values all lie within |ln K| < 0.02 is the trivial
// solution (incipient phase = given phase), not a saturation point. Points on
// the built-in envelope keep some |ln K| of 0.45 or more.
constexpr double TrivialLogK = 0.02;

enum class Search { Bubble, Dew };

using Vector = std::array<double, MaxComponentCount>;

// Incipient fraction of component i from its K-value and the given phase:
// y = K x at the bubble point, x = y / K at the dew point.
double IncipientFraction(Search search, double K, double given)
{
    return search == Search::Bubble ? Finite(K * given) : Finite(given / K);
}

// Wilson dew pressure of vapour y, 1 / sum(y_i / (e_i Pc_i)), formed in the
// caller's P.
void WilsonDewPressure(const Mixture& mixture, std::span<const double> y, const Vector& e, double& P)
{
    P = 0.0;
    for (std::int16_t i = 0; i < mixture.Count(); ++i)
        P = Finite(P + Finite(At(y, i) / Finite(At(e, i) * mixture.Pc(i))));
    P = Finite(1 / P);
}

// One successive-substitution update at the caller's current P: K-values from
// the fugacity coefficients of both phases, then the incipient phase from them.
// Returns the sum of the incipient phase.
double SubstitutionUpdate(const Mixture& mixture, const CubicModel& model, Search search,
                          std::span<const double> given, double T, std::span<double> incipient, double P, Vector& K,
                          TemperatureTerms& terms, SolverWorkspace& work)
{
    Vector phiLiquid{};
    Vector phiVapour{};
    const std::span<const double> liquid = search == Search::Bubble ? given : incipient;
    const std::span<const double> vapour = search == Search::Bubble ? incipient : given;
    FugacityCoefficients(mixture, model, liquid, P, T, phiLiquid, LiquidPhase, terms, work);
    FugacityCoefficients(mixture, model, vapour, P, T, phiVapour, VapourPhase, terms, work);
    for (std::int16_t i = 0; i < mixture.Count(); ++i) {
        At(K, i) = Finite(phiLiquid[i] / phiVapour[i]);
        At(incipient, i) = IncipientFraction(search, K[i], At(given, i));
    }
    return SumVector(incipient);
}

void RejectTrivialSolution(std::int16_t count, const Vector& K)
{
    for (std::int16_t i = 0; i < count; ++i)
        if (std::fabs(Finite(std::log(At(K, i)))) >= TrivialLogK)
            return;
    RaiseNumericalFault(FaultKind::TrivialSolution, "saturation search converged on the trivial solution");
}

// Successive substitution on the K-values with secant steps on the pressure,
// driving the sum of the incipient phase to 1. P is the running iterate and is
// written at every step, so the caller sees the last value on any exit.
void SaturationPressure(const Mixture& mixture, const CubicModel& model, Search search, std::span<const double> given,
                        double T, std::span<double> incipient, double& P, double tolerance, SolverWorkspace& work)
{
    const std::int16_t count = mixture.Count();
    Vector K{};
    std::int16_t passes = 0;
    // The equation of state's terms at T, formed by the first fugacity call
    // and used by every pass.
    TemperatureTerms terms;

    // Wilson factors e_i(T). The dew search forms all of them for its start
    // pressure and uses them again for the K-values; the bubble search forms
    // each one as it reaches its component.
    Vector e{};
    if (search == Search::Dew) {
        for (std::int16_t i = 0; i < count; ++i)
            At(e, i) = WilsonFactor(mixture, i, T);
        WilsonDewPressure(mixture, given, e, P);
    }
    const double P0 = P;
    for (std::int16_t i = 0; i < count; ++i) {
        if (search == Search::Bubble)
            At(e, i) = WilsonFactor(mixture, i, T);
        At(K, i) = WilsonKFromFactor(mixture, i, P0, e[i]);
        At(incipient, i) = IncipientFraction(search, K[i], At(given, i));
    }

    // The first secant step pairs P0 with this Wilson-based sum; the
    // fugacity-based sum at P0 below serves only the first convergence test.
    double Pold = P0;
    double Sold = SumVector(incipient);
    NormalizeVector(incipient);

    double S = SubstitutionUpdate(mixture, model, search, given, T, incipient, P, K, terms, work);
    double error = std::fabs(Finite(S - 1));
    P = Finite(P * FirstPressureFactor);

    for (;;) {
        NormalizeVector(incipient);
        if (error <= tolerance)
            break;
        if (passes >= PassLimit)
            RaiseNumericalFault(FaultKind::NotConverged, "saturation pressure search did not converge");
        S = SubstitutionUpdate(mixture, model, search, given, T, incipient, P, K, terms, work);
        error = std::fabs(Finite(S - 1));
        Increment16(passes);

        const double Pnew = Finite(Pold + Finite(Finite(Finite(1 - Sold) * Finite(P - Pold)) / Finite(S - Sold)));
        Pold = P;
        P = Pnew;
        Sold = S;
    }

    RejectTrivialSolution(count, K);
}

} // namespace

void BubblePressure(const Mixture& mixture, const CubicModel& model, std::span<const double> x, double T,
                    std::span<double> y, double& P, double tolerance, SolverWorkspace& work)
{
    SaturationPressure(mixture, model, Search::Bubble, x, T, y, P, tolerance, work);
}

void DewPressure(const Mixture& mixture, const CubicModel& model, std::span<const double> y, double T,
                 std::span<double> x, double& P, double tolerance, SolverWorkspace& work)
{
    SaturationPressure(mixture, model, Search::Dew, y, T, x, P, tolerance, work);
}

} // namespace envelope
