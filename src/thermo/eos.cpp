#include "thermo/eos.h"

#include <array>
#include <cmath>

#include "thermo/bairstow.h"
#include "thermo/eos_terms.h"
#include "thermo/numerical_fault.h"

namespace envelope {

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
void FormTemperatureTerms(const Mixture& mixture, const CubicModel& model, double T, std::int16_t count,
                          TemperatureTerms& terms)
{
    terms.formed = false;
    for (std::int16_t i = 0; i < count; ++i) {
        const double tc = mixture.Tc(i);
        const double pc = mixture.Pc(i);
        const double omega = mixture.Omega(i);
        At(terms.b, i) = Finite(model.omegaB * GasConstant * tc / pc);
        const double rtc = GasConstant * tc;
        const double ac = Finite(model.omegaA * (rtc * rtc) / pc);
        const double m = Finite(model.Slope(omega));
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
    terms.model = &model;
    terms.temperature = T;
    terms.count = count;
    terms.formed = true;
}

} // namespace

void FugacityCoefficients(const Mixture& mixture, const CubicModel& model, std::span<const double> x, double P,
                          double T, std::span<double> phi, std::int16_t phase, SolverWorkspace& work)
{
    TemperatureTerms terms;
    FugacityCoefficients(mixture, model, x, P, T, phi, phase, terms, work);
}

void FugacityCoefficients(const Mixture& mixture, const CubicModel& model, std::span<const double> x, double P,
                          double T, std::span<double> phi, std::int16_t phase, TemperatureTerms& terms,
                          SolverWorkspace& work)
{
    ++work.counters.fugacityCalls;
    const std::int16_t count = mixture.Count();
    if (!terms.formed || terms.mixture != &mixture || terms.model != &model || terms.temperature != T ||
        terms.count != count)
        FormTemperatureTerms(mixture, model, T, count, terms);
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

    // With u = delta1 + delta2 and w = delta1 delta2 the cubic in Z is
    //   Z^3 + ((u - 1) B - 1) Z^2 + (A - u B (1 + B) + w B^2) Z - (A B + w B^2 (1 + B)) = 0,
    // lowest power first. For SRK (u = 1, w = 0) every term in u and w
    // multiplies by one or adds a zero, which leaves Z^3 - Z^2 + (A - B (1 + B)) Z
    // - A B to the last bit.
    const double u = model.delta1 + model.delta2;
    const double w = model.delta1 * model.delta2;
    std::array<double, 4> cubic{Finite(-A * B - w * B * B * (1 + B)), Finite(A - u * B * (1 + B) + w * B * B),
                                Finite((u - 1) * B - 1), 1.0};
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
    // Factors of ln(phi_i) that do not depend on the component, formed once:
    //   ln phi_i = (b_i / b)(Z - 1) - ln|Z - B|
    //              + A / (B (delta1 - delta2)) (b_i / b - (2 / a) S_i) ln((Z + delta1 B) / (Z + delta2 B)),
    // the last logarithm as ln(1 + delta1 B / Z) - ln(1 + delta2 B / Z), whose
    // second term is 0 for a root delta2 = 0 (SRK) and is then left out.
    const double logZminusB = Finite(std::log(std::fabs(Z - B)));
    const double BoverZ = Finite(B / Z);
    double logVolumeRatio = Finite(std::log(1 + model.delta1 * BoverZ));
    if (model.delta2 != 0.0)
        logVolumeRatio = Finite(logVolumeRatio - Finite(std::log(1 + model.delta2 * BoverZ)));
    const double attraction = Finite(A / B / (model.delta1 - model.delta2)); // A / (B (delta1 - delta2))
    const double twoOverA = Finite(2 / a);
    for (std::int16_t i = 0; i < count; ++i) {
        double sum = 0.0;
        for (std::int16_t j = 0; j < count; ++j)
            sum = Finite(sum + At(x, j) * cross[i][j]);
        const double ratio = Finite(bi[i] / b);
        const double lnPhi =
            Finite(ratio * (Z - 1) - logZminusB + Finite(attraction * Finite(ratio - twoOverA * sum)) * logVolumeRatio);
        At(phi, i) = Finite(std::exp(lnPhi));
    }
}

} // namespace envelope
