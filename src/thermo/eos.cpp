#include "thermo/eos.h"

#include <array>
#include <cmath>

#include "thermo/bairstow.h"
#include "thermo/numerical_fault.h"
#include "thermo/properties.h"

namespace envelope {

namespace {

constexpr double OmegaB = 0.08664;
constexpr double OmegaA = 0.42748;

long long callCount = 0;

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

void FugacityCoefficients(std::span<const double> x, double P, double T, std::span<double> phi,
                          std::int16_t phase)
{
    ++callCount;
    const std::int16_t count = ComponentCount;
    std::array<double, PropertyTableSize> bi{};
    std::array<double, PropertyTableSize> ai{};

    // Pure-component parameters and the linear mixing rule for b.
    double b = 0.0;
    for (std::int16_t i = 0; i < count; ++i) {
        const double tc = At(CriticalTemperature, i);
        const double pc = At(CriticalPressure, i);
        const double omega = At(AcentricFactor, i);
        At(bi, i) = Finite(OmegaB * GasConstant * tc / pc);
        b = Finite(b + At(x, i) * bi[i]);
        const double rtc = GasConstant * tc;
        const double ac = Finite(OmegaA * (rtc * rtc) / pc);
        const double m = Finite(0.48 + (1.574 - 0.176 * omega) * omega);
        const double tr = Finite(T / tc);
        const double si = Finite(1 + m * (1 - Finite(std::sqrt(tr))));
        const double alpha = Finite(si * si);
        ai[i] = Finite(ac * alpha);
    }

    // Quadratic mixing rule with the geometric-mean cross term, both orders of
    // every pair, one running sum.
    double a = 0.0;
    for (std::int16_t i = 0; i < count; ++i)
        for (std::int16_t j = 0; j < count; ++j)
            a = Finite(a + At(x, i) * At(x, j) * Finite(std::sqrt(ai[i] * ai[j])));

    const double rt = Finite(GasConstant * T);
    const double A = Finite(a * P / Finite(rt * rt));
    const double B = Finite(b * P / rt);

    // Z^3 - Z^2 + (A - B - B^2) Z - A B = 0, lowest power first.
    std::array<double, 4> cubic{Finite(-A * B), Finite(A - B * (1 + B)), -1.0, 1.0};
    std::array<double, 3> re{};
    std::array<double, 3> im{};
    BairstowRoots(cubic, re, im);

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
            sum = Finite(sum + At(x, j) * Finite(std::sqrt(ai[i] * ai[j])));
        const double ratio = Finite(bi[i] / b);
        const double lnPhi =
            Finite(ratio * (Z - 1) - logZminusB + Finite(AoverB * Finite(ratio - twoOverA * sum)) * logOnePlusBOverZ);
        At(phi, i) = Finite(std::exp(lnPhi));
    }
}

long long FugacityCallCount()
{
    return callCount;
}

} // namespace envelope
