#pragma once
// A cubic equation of state (thermo/cubic_model.h) bound to the components of
// one mixture, with the quadratic mixing rule a = sum_ij n_i n_j sqrt(a_i a_j)
// (1 - k_ij) and the linear rule for b, in the reduced residual Helmholtz
// energy form F(T, V, n) = A_res / (R T):
//
//   F = -n ln(1 - B/V) - D(T)/T * ln((V + delta1 B)/(V + delta2 B)) / (R B (delta1 - delta2)),
//   B = sum_i n_i b_i,  D = sum_ij n_i n_j a_ij(T).
//
// From F follow ln phi_i and their analytic derivatives in T, P and the mole
// numbers, which the envelope tracer's Newton steps use, and the second and
// third composition derivatives at fixed (T, V) that the criticality
// conditions use. With the SRK model (delta1 = 1, delta2 = 0) every term in
// delta2 vanishes and each formula does the operations of the SRK form.

#include <cstddef>
#include <span>
#include <vector>

#include "thermo/cubic_model.h"
#include "thermo/mixture.h"
#include "trace/cubic_roots.h"

namespace envelope::trace {

// Which root of the cubic a phase takes when there are three.
enum class RootKind { Liquid, Vapour };

// One phase at (T, P): compressibility, volume and ln phi with derivatives.
// Sized by the model; reused from call to call.
struct PhaseState {
    double Z = 0.0;
    double volume = 0.0; // total volume of the given mole numbers, m3
    std::vector<double> lnPhi;
    std::vector<double> dT;   // d ln phi_i / dT at fixed P, n
    std::vector<double> dP;   // d ln phi_i / dP at fixed T, n
    std::vector<double> dn;   // d ln phi_i / d n_j at fixed T, P, row-major
    std::vector<double> work; // the model's scratch space
};

class MixtureModel {
public:
    // The model with the constants of the mixture's components (the feed is
    // not used). Non-finite or non-positive constants raise NumericalFault.
    MixtureModel(const Mixture& mixture, const CubicModel& model);

    std::size_t Size() const { return b_.size(); }

    // ln phi of the phase with mole numbers n at (T, P), with the root of the
    // given kind; with derivatives when asked. Any non-finite result raises
    // NumericalFault.
    void Evaluate(double T, double P, std::span<const double> n, RootKind kind, bool derivatives,
                  PhaseState& out) const;

    // The pressure of the mole numbers n in total volume V at T, bar.
    double Pressure(double T, double V, std::span<const double> n) const;

    // The roots of the cubic of mole numbers n at (T, P) that lie above the
    // co-volume, as compressibility factors, ascending; returns their count.
    int PhysicalRoots(double T, double P, std::span<const double> n, double (&Z)[3]) const;

    // At fixed (T, V): the Hessian of A/(RT) in the mole numbers,
    // Q_ij = dF/dn_i dn_j + delta_ij / n_i (row-major into Q), and the cubic
    // form sum_ijk d3(A/RT)/dn_i dn_j dn_k u_i u_j u_k along direction u.
    void HelmholtzHessian(double T, double V, std::span<const double> n, std::span<double> Q) const;
    double HelmholtzCubicForm(double T, double V, std::span<const double> n, std::span<const double> u) const;

private:
    // The roots of the compressibility cubic with dimensionless A and B.
    CubicRoots Roots(double A, double B) const;
    // sqrt(a_i) and its temperature derivative.
    void SqrtA(double T, std::span<double> q, std::span<double> dq) const;

    double delta1_, delta2_;
    std::vector<double> b_, sqrtAc_, m_, Tc_, oneMinusK_;
};

} // namespace envelope::trace
