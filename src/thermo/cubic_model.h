#pragma once
// A two-parameter cubic equation of state as a value:
//
//   P = R T / (v - b) - a(T) / ((v + delta1 b)(v + delta2 b)),
//   b_i = Omega_b R Tc_i / Pc_i,
//   a_i(T) = Omega_a (R Tc_i)^2 / Pc_i * [1 + m(w_i) (1 - sqrt(T / Tc_i))]^2,
//
// with the quadratic mixing rule for a and the linear one for b. A model is
// its data: Omega_a, Omega_b, the roots delta1 and delta2 of the volume
// function, and the coefficients of m(w). Every calculation takes the model
// it works with as an argument; the three below are the program's.

#include <array>
#include <limits>
#include <numbers>

#include "thermo/eos_kind.h"

namespace envelope {

// The gas constant in bar m3 / (mol K): with pressures in bar and
// temperatures in K the co-volume comes out in m3/mol.
inline constexpr double GasConstant = 8.314e-5;

struct CubicModel {
    EosKind kind = EosKind::SRK;
    double omegaA = 0.0;
    double omegaB = 0.0;
    // The volume function (v + delta1 b)(v + delta2 b); delta1 > delta2.
    double delta1 = 0.0;
    double delta2 = 0.0;
    // m(w) = c0 + c1 w + c2 w^2 + c3 w^3, lowest power first; for w above
    // heavyFrom the second set of coefficients takes over.
    std::array<double, 4> slope{};
    double heavyFrom = std::numeric_limits<double>::infinity();
    std::array<double, 4> heavySlope{};

    // m(w), evaluated as c0 + (c1 + (c2 + c3 w) w) w. With c3 = 0 this is
    // c0 + (c1 + c2 w) w to the last bit: the nested form the run has always
    // used for SRK.
    constexpr double Slope(double w) const
    {
        const std::array<double, 4>& c = w > heavyFrom ? heavySlope : slope;
        return c[0] + (c[1] + (c[2] + c[3] * w) * w) * w;
    }
};

// G. Soave, "Equilibrium constants from a modified Redlich-Kwong equation of
// state", Chem. Eng. Sci. 27 (1972) 1197-1203: v (v + b) in the attraction
// term, Omega_a 0.42748, Omega_b 0.08664, m = 0.48 + 1.574 w - 0.176 w^2.
inline constexpr CubicModel SoaveRedlichKwong{
    EosKind::SRK, 0.42748, 0.08664, 1.0, 0.0, {0.48, 1.574, -0.176, 0.0}};

// D.-Y. Peng and D. B. Robinson, "A New Two-Constant Equation of State",
// Ind. Eng. Chem. Fundam. 15 (1976) 59-64: P = RT/(v - b) - a/(v(v + b) +
// b(v - b)) (their Eq. 4), so delta = 1 +- sqrt(2); a(Tc) = 0.45724 R^2 Tc^2 /
// Pc, b = 0.07780 R Tc / Pc, kappa = 0.37464 + 1.54226 w - 0.26992 w^2.
inline constexpr CubicModel PengRobinson1976{EosKind::PR,
                                            0.45724,
                                            0.07780,
                                            1.0 + std::numbers::sqrt2,
                                            1.0 - std::numbers::sqrt2,
                                            {0.37464, 1.54226, -0.26992, 0.0}};

// D. B. Robinson and D.-Y. Peng, "The Characterization of the Heptanes and
// Heavier Fractions for the GPA Peng-Robinson Programs", GPA Research Report
// RR-28, Tulsa 1978: for w > 0.491, kappa = 0.379642 + 1.48503 w -
// 0.164423 w^2 + 0.016666 w^3; the 1976 equation otherwise.
inline constexpr CubicModel PengRobinson1978{EosKind::PR78,
                                            0.45724,
                                            0.07780,
                                            1.0 + std::numbers::sqrt2,
                                            1.0 - std::numbers::sqrt2,
                                            {0.37464, 1.54226, -0.26992, 0.0},
                                            0.491,
                                            {0.379642, 1.48503, -0.164423, 0.016666}};

// The model of the kind.
constexpr const CubicModel& CubicModelOf(EosKind kind)
{
    switch (kind) {
    case EosKind::PR:
        return PengRobinson1976;
    case EosKind::PR78:
        return PengRobinson1978;
    case EosKind::SRK:
        break;
    }
    return SoaveRedlichKwong;
}

} // namespace envelope
