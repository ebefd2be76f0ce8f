#include "thermo/eos.h"

#include <array>
#include <cmath>

#include "thermo/bairstow.h"
#include "thermo/eos_terms.h"
#include "thermo/numerical_fault.h"

namespace envelope {

namespace {

constexpr double OmegaB = 0.08664;
constexpr double OmegaA = 0.42748;

} // namespace

void ExtremeRealRoots(std::span<const double> re, std::span<const double> im, double& largest,
                      double& smallest)
{
    const auto qualifies = [&](std::size_t k) { return re[k] > 0 && At(im, static_cast<long long>(k)) == 0.0; };

    bool found = false;
    for (std::size_t k = 0; k < re.size(); ++k) {
        if (qualifies(k)) {
            largest = re[k];
            smallest = re[k];
            found = true;
            break;
        }
    }
    if (!found)
        return;
    for (std::size_t k = 0; k < re.size(); ++k) {
        if (!qualifies(k))
            continue;
        if (re[k] > largest)
            largest = re[k];
        if (re[k] < smallest)
            smallest = re[k];
    }
}

namespace {

// The pure-component parameters at T: b_i, a_i, the cross terms and R T.
void FormTemperatureTerms(const Mixture& mixture, double T, std::int16_t count, TemperatureTerms& terms)
{
    terms.formed = false;
    for (std::int16_t i = 0; i < count; ++i) {
        const double tc = mixture.Tc(i);
        const double pc = mixture.Pc(i);
        const double omega = mixture.Omega(i);
        At(terms.b, i) = Finite(OmegaB * GasConstant * tc / pc);
        const double rtc = GasConstant * tc;
        const double ac = Finite(OmegaA * (rtc * rtc) / pc);
        const double m = Finite(0.48 + (1.574 - 0.176 * omega) * omega);
        const double tr = Finite(T / tc);
        const double si = Finite(1 + m * (1 - Finite(std::sqrt(tr))));
        const double alpha = Finite(si * si);
        At(terms.a, i) = Finite(ac * alpha);
    }

    // Cross terms sqrt(a_i a_j) (1 - k_ij), used by the mixing rule and again
    // by every coefficient. a_i a_j and a_j a_i are the same double, so each
    // pair's term is formed once. A zero k_ij leaves the geometric mean as it
    // is, without a multiplication. The coefficients' formula holds for a
    // symmetric k only: k_ij != k_ji is refused.
    const bool interacting = mixture.HasInteractionParameters();
    for (std::int16_t i = 0; i < count; ++i)
        for (std::int16_t j = 0; j <= i; ++j) {
            double cross = Finite(std::sqrt(terms.a[i] * terms.a[j]));
            if (interacting) {
                const double kij = mixture.Kij(i, j);
                if (kij != mixture.Kij(j, i))
                    RaiseNumericalFault(FaultKind::BadInput, "interaction parameters are not symmetric");
                if (kij != 0.0)
                    cross = Finite(cross * (1 - kij));
            }
            At(At(terms.cross, i), j) = At(At(terms.cross, j), i) = cross;
        }

    terms.rt = Finite(GasConstant * T);
    terms.rtSquared = Finite(terms.rt * terms.rt);
    terms.mixture = &mixture;
    terms.temperature = T;
    terms.count = count;
    terms.formed = true;
}

} // namespace

void FugacityCoefficients(const Mixture& mixture, std::span<const double> x, double P, double T,
                          std::span<double> phi, std::int16_t phase, SolverWorkspace& work)
{
    TemperatureTerms terms;
    FugacityCoefficients(mixture, x, P, T, phi, phase, terms, work);
}

void FugacityCoefficients(const Mixture& mixture, std::span<const double> x, double P, double T,
                          std::span<double> phi, std::int16_t phase, TemperatureTerms& terms, SolverWorkspace& work)
{
    ++work.counters.fugacityCalls;
    const std::int16_t count = mixture.Count();
    if (!terms.formed || terms.mixture != &mixture || terms.temperature != T || terms.count != count)
        FormTemperatureTerms(mixture, T, count, terms);
    const auto& bi = terms.b;
    const auto& cross = terms.cross;

    // Linear mixing rule for b.
    double b = 0.0;
    for (std::int16_t i = 0; i < count; ++i)
        b = Finite(b + At(x, i) * bi[i]);

    // Quadratic mixing rule with the geometric-mean cross term, both orders of
    // every pair, one running sum.
    double a = 0.0;
    for (std::int16_t i = 0; i < count; ++i)
        for (std::int16_t j = 0; j < count; ++j)
            a = Finite(a + At(x, i) * At(x, j) * cross[i][j]);

    const double rt = terms.rt;
    const double A = Finite(a * P / terms.rtSquared);
    const double B = Finite(b * P / rt);

    // Z^3 - Z^2 + (A - B - B^2) Z - A B = 0, lowest power first.
    std::array<double, 4> cubic{Finite(-A * B), Finite(A - B * (1 + B)), -1.0, 1.0};
    // The root finder fills every slot of the root list of a cubic, so the
    // list is not cleared first (clearing it costs more than the rest of the
    // root list's handling).
    std::array<double, 3> re;
    std::array<double, 3> im;
    work.cubicRoots.Solve(cubic, re, im, work.counters.rootFinderPasses);

    double largest = 0.0;
    double smallest = 0.0;
    ExtremeRealRoots(re, im, largest, smallest);

    double Z = 0.0;
    if (phase == LiquidPhase)
        Z = smallest;
    else if (phase == VapourPhase)
        Z = largest;

    if (count <= 0)
        return;
    // Factors of ln(phi_i) that do not depend on the component, formed once.
    const double logZminusB = Finite(std::log(std::fabs(Z - B)));
    const double logOnePlusBOverZ = Finite(std::log(1 + Finite(B / Z)));
    const double AoverB = Finite(A / B);
    const double twoOverA = Finite(2 / a);
    for (std::int16_t i = 0; i < count; ++i) {
        double sum = 0.0;
        for (std::int16_t j = 0; j < count; ++j)
            sum = Finite(sum + At(x, j) * cross[i][j]);
        const double ratio = Finite(bi[i] / b);
        const double lnPhi =
            Finite(ratio * (Z - 1) - logZminusB + Finite(AoverB * Finite(ratio - twoOverA * sum)) * logOnePlusBOverZ);
        At(phi, i) = Finite(std::exp(lnPhi));
    }
}

} // namespace envelope
