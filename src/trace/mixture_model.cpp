#include "trace/mixture_model.h"

#include <cmath>

#include "thermo/numerical_fault.h"
#include "trace/cubic_roots.h"

namespace envelope::trace {

namespace {

// ln((V + d1 B)/(V + d2 B)) as ln(1 + d1 B/V) - ln(1 + d2 B/V); the second
// term is 0 for a root d2 = 0 and is then left out.
double LogVolumeRatio(double V, double B, double d1, double d2)
{
    double L = std::log1p(d1 * B / V);
    if (d2 != 0.0)
        L -= std::log1p(d2 * B / V);
    return L;
}

// ln(1 - B/V) and f = ln((V + d1 B)/(V + d2 B)) / (R B (d1 - d2)) with their
// derivatives in V and B; e1 = V + d1 B, e2 = V + d2 B. f is homogeneous of
// degree -1 in (V, B), which gives fB and fBB from the V derivatives.
struct VolumeTerms {
    double g, gV, gB, gVV, gBV, gBB;
    double f, fV, fB, fVV, fBV, fBB;
};

VolumeTerms Terms(double V, double B, double d1, double d2)
{
    VolumeTerms t;
    const double vmb = V - B;
    const double e1 = V + d1 * B;
    const double e2 = V + d2 * B;
    t.g = std::log(vmb / V);
    t.gV = 1.0 / vmb - 1.0 / V;
    t.gB = -1.0 / vmb;
    t.gVV = 1.0 / (V * V) - 1.0 / (vmb * vmb);
    t.gBV = 1.0 / (vmb * vmb);
    t.gBB = -t.gBV;
    t.f = LogVolumeRatio(V, B, d1, d2) / (GasConstant * B * (d1 - d2));
    t.fV = -1.0 / (GasConstant * e2 * e1);
    t.fB = -(t.f + V * t.fV) / B;
    t.fVV = (2.0 * V + (d1 + d2) * B) / (GasConstant * e2 * e2 * e1 * e1);
    // (d1 e2 + d2 e1) / (R e1^2 e2^2), one term a root.
    t.fBV = d1 / (GasConstant * e2 * e1 * e1);
    if (d2 != 0.0)
        t.fBV += d2 / (GasConstant * e2 * e2 * e1);
    t.fBB = -(2.0 * t.fB + V * t.fBV) / B;
    return t;
}

double Sum(std::span<const double> v)
{
    double s = 0.0;
    for (double x : v)
        s += x;
    return s;
}

} // namespace

MixtureModel::MixtureModel(const Mixture& mixture, const CubicModel& model)
    : delta1_(model.delta1), delta2_(model.delta2)
{
    const std::size_t count = static_cast<std::size_t>(mixture.Count());
    if (count == 0 || mixture.criticalPressure.size() != count || mixture.acentricFactor.size() != count ||
        (!mixture.kij.empty() && mixture.kij.size() != count * count))
        RaiseNumericalFault(FaultKind::BadInput, "inconsistent mixture");
    b_.resize(count);
    sqrtAc_.resize(count);
    m_.resize(count);
    Tc_.resize(count);
    oneMinusK_.resize(count * count);
    for (std::size_t i = 0; i < count; ++i) {
        const long long ii = static_cast<long long>(i);
        const double Tc = mixture.Tc(ii), Pc = mixture.Pc(ii), w = mixture.Omega(ii);
        if (!(Tc > 0.0) || !(Pc > 0.0) || !std::isfinite(Tc) || !std::isfinite(Pc) || !std::isfinite(w))
            RaiseNumericalFault(FaultKind::BadInput, "component constants out of range");
        Tc_[i] = Tc;
        b_[i] = Finite(model.omegaB * GasConstant * Tc / Pc);
        sqrtAc_[i] = Finite(std::sqrt(model.omegaA / Pc) * GasConstant * Tc);
        m_[i] = model.Slope(w);
        for (std::size_t j = 0; j < count; ++j) {
            // As in the run's equation of state, k_ij != k_ji is refused.
            const double k = mixture.Kij(ii, static_cast<long long>(j));
            if (k != mixture.Kij(static_cast<long long>(j), ii))
                RaiseNumericalFault(FaultKind::BadInput, "interaction parameters are not symmetric");
            oneMinusK_[i * count + j] = Finite(1.0 - k);
        }
    }
}

void MixtureModel::SqrtA(double T, std::span<double> q, std::span<double> dq) const
{
    for (std::size_t i = 0; i < b_.size(); ++i) {
        const double root = std::sqrt(T / Tc_[i]);
        // sqrt(a_i a_j) takes the magnitude of the temperature function's root.
        const double s = 1.0 + m_[i] * (1.0 - root);
        const double sign = s < 0.0 ? -1.0 : 1.0;
        q[i] = sqrtAc_[i] * s * sign;
        dq[i] = -sign * sqrtAc_[i] * m_[i] * 0.5 / (root * Tc_[i]);
    }
}

CubicRoots MixtureModel::Roots(double A, double B) const
{
    // With u = delta1 + delta2 and w = delta1 delta2:
    //   Z^3 + ((u - 1) B - 1) Z^2 + (A - u B - (u - w) B^2) Z - (A B + w B^2 (1 + B)) = 0.
    const double u = delta1_ + delta2_, w = delta1_ * delta2_;
    return CompressibilityRoots((u - 1.0) * B - 1.0, A - u * B - (u - w) * B * B, -A * B - w * B * B * (1.0 + B));
}

int MixtureModel::PhysicalRoots(double T, double P, std::span<const double> n, double (&Z)[3]) const
{
    const std::size_t c = b_.size();
    std::vector<double> q(c), dq(c);
    SqrtA(T, q, dq);
    const double N = Sum(n);
    double B = 0.0, D = 0.0;
    for (std::size_t i = 0; i < c; ++i) {
        B += n[i] * b_[i];
        for (std::size_t j = 0; j < c; ++j)
            D += n[i] * n[j] * q[i] * q[j] * oneMinusK_[i * c + j];
    }
    const double RT = GasConstant * T;
    const double A = Finite(D * P / (N * N * RT * RT));
    const double Bd = Finite(B * P / (N * RT));
    const CubicRoots roots = Roots(A, Bd);
    int count = 0;
    for (int k = 0; k < roots.count; ++k)
        if (roots.root[k] > Bd)
            Z[count++] = roots.root[k];
    return count;
}

void MixtureModel::Evaluate(double T, double P, std::span<const double> n, RootKind kind, bool derivatives,
                        PhaseState& out) const
{
    const std::size_t c = b_.size();
    if (n.size() != c)
        RaiseNumericalFault(FaultKind::BadInput, "composition length");
    out.lnPhi.resize(c);
    out.work.resize(8 * c);
    double* q = out.work.data();
    double* dq = q + c;
    double* Di = dq + c;
    double* DiT = Di + c;
    double* FiV = DiT + c;
    double* Pi = FiV + c;
    SqrtA(T, {q, c}, {dq, c});

    const double N = Sum(n);
    double B = 0.0, D = 0.0, DT = 0.0;
    for (std::size_t i = 0; i < c; ++i) {
        B += n[i] * b_[i];
        double sum = 0.0, sumT = 0.0;
        const double* k = &oneMinusK_[i * c];
        for (std::size_t j = 0; j < c; ++j) {
            sum += n[j] * q[j] * k[j];
            sumT += n[j] * (dq[i] * q[j] + q[i] * dq[j]) * k[j];
        }
        Di[i] = 2.0 * q[i] * sum;
        DiT[i] = 2.0 * sumT;
        D += 0.5 * n[i] * Di[i];
        DT += 0.5 * n[i] * DiT[i];
    }

    const double RT = GasConstant * T;
    const double A = Finite(D * P / (N * N * RT * RT));
    const double Bd = Finite(B * P / (N * RT));
    const CubicRoots roots = Roots(A, Bd);
    double Z = 0.0;
    for (int k = 0; k < roots.count; ++k) {
        const double r = roots.root[k];
        if (!(r > Bd))
            continue;
        if (Z == 0.0 || kind == RootKind::Vapour)
            Z = r; // ascending: the liquid keeps the first, the vapour the last
    }
    if (Z == 0.0)
        RaiseNumericalFault(FaultKind::NoBracket, "no root above the co-volume");
    out.Z = Z;
    const double V = Z * N * RT / P;
    out.volume = V;

    const VolumeTerms t = Terms(V, B, delta1_, delta2_);
    const double Fn = -t.g;
    const double FB = -N * t.gB - D * t.fB / T;
    const double FD = -t.f / T;
    const double lnZ = std::log(Z);
    for (std::size_t i = 0; i < c; ++i)
        out.lnPhi[i] = Finite(Fn + FB * b_[i] + FD * Di[i] - lnZ);
    if (!derivatives)
        return;

    out.dT.resize(c);
    out.dP.resize(c);
    out.dn.resize(c * c);
    const double FnV = -t.gV, FnB = -t.gB;
    const double FBT = D * t.fB / (T * T);
    const double FBV = -N * t.gBV - D * t.fBV / T;
    const double FBB = -N * t.gBB - D * t.fBB / T;
    const double FBD = -t.fB / T;
    const double FDT = t.f / (T * T);
    const double FDV = -t.fV / T;
    const double FVV = -N * t.gVV - D * t.fVV / T;
    const double FVT = D * t.fV / (T * T) + FDV * DT;

    const double PV = -RT * FVV - N * RT / (V * V);
    const double PT = -RT * FVT + P / T;
    for (std::size_t i = 0; i < c; ++i) {
        FiV[i] = FnV + FBV * b_[i] + FDV * Di[i];
        Pi[i] = -RT * FiV[i] + RT / V;
    }
    const double invRTPV = 1.0 / (RT * PV);
    for (std::size_t i = 0; i < c; ++i) {
        const double FiT = (FBT + FBD * DT) * b_[i] + FDT * Di[i] + FD * DiT[i];
        out.dT[i] = Finite(FiT + 1.0 / T + Pi[i] * PT * invRTPV);
        out.dP[i] = Finite(-Pi[i] * invRTPV - 1.0 / P);
        const double* k = &oneMinusK_[i * c];
        double* row = &out.dn[i * c];
        for (std::size_t j = 0; j < c; ++j) {
            const double Fij = FnB * (b_[i] + b_[j]) + FBB * b_[i] * b_[j] + FBD * (b_[i] * Di[j] + b_[j] * Di[i]) +
                               FD * 2.0 * q[i] * q[j] * k[j];
            row[j] = Finite(Fij + 1.0 / N + Pi[i] * Pi[j] * invRTPV);
        }
    }
}

double MixtureModel::Pressure(double T, double V, std::span<const double> n) const
{
    const std::size_t c = b_.size();
    std::vector<double> q(c), dq(c);
    SqrtA(T, q, dq);
    double B = 0.0, D = 0.0;
    for (std::size_t i = 0; i < c; ++i) {
        B += n[i] * b_[i];
        for (std::size_t j = 0; j < c; ++j)
            D += n[i] * n[j] * q[i] * q[j] * oneMinusK_[i * c + j];
    }
    return Finite(Sum(n) * GasConstant * T / (V - B) - D / ((V + delta2_ * B) * (V + delta1_ * B)));
}

void MixtureModel::HelmholtzHessian(double T, double V, std::span<const double> n, std::span<double> Q) const
{
    const std::size_t c = b_.size();
    std::vector<double> q(c), dq(c), Di(c);
    SqrtA(T, q, dq);
    const double N = Sum(n);
    double B = 0.0, D = 0.0;
    for (std::size_t i = 0; i < c; ++i) {
        B += n[i] * b_[i];
        double sum = 0.0;
        for (std::size_t j = 0; j < c; ++j)
            sum += n[j] * q[j] * oneMinusK_[i * c + j];
        Di[i] = 2.0 * q[i] * sum;
        D += 0.5 * n[i] * Di[i];
    }
    const VolumeTerms t = Terms(V, B, delta1_, delta2_);
    const double FnB = -t.gB;
    const double FBB = -N * t.gBB - D * t.fBB / T;
    const double FBD = -t.fB / T;
    const double FD = -t.f / T;
    for (std::size_t i = 0; i < c; ++i)
        for (std::size_t j = 0; j < c; ++j) {
            double v = FnB * (b_[i] + b_[j]) + FBB * b_[i] * b_[j] + FBD * (b_[i] * Di[j] + b_[j] * Di[i]) +
                       FD * 2.0 * q[i] * q[j] * oneMinusK_[i * c + j];
            if (i == j)
                v += 1.0 / n[i];
            Q[i * c + j] = Finite(v);
        }
}

double MixtureModel::HelmholtzCubicForm(double T, double V, std::span<const double> n, std::span<const double> u) const
{
    const std::size_t c = b_.size();
    std::vector<double> q(c), dq(c);
    SqrtA(T, q, dq);
    const double N = Sum(n);
    double B = 0.0, D = 0.0, dN = 0.0, dB = 0.0, dD = 0.0, ddD = 0.0, ideal = 0.0;
    for (std::size_t i = 0; i < c; ++i) {
        B += n[i] * b_[i];
        dN += u[i];
        dB += u[i] * b_[i];
        ideal -= u[i] * u[i] * u[i] / (n[i] * n[i]);
        for (std::size_t j = 0; j < c; ++j) {
            const double aij = q[i] * q[j] * oneMinusK_[i * c + j];
            D += n[i] * n[j] * aij;
            dD += 2.0 * u[i] * n[j] * aij;
            ddD += 2.0 * u[i] * u[j] * aij;
        }
    }
    const VolumeTerms t = Terms(V, B, delta1_, delta2_);
    const double vmb = V - B;
    const double gBBB = -2.0 / (vmb * vmb * vmb);
    // f = L(B)/(R B (d1 - d2)) with L = ln((V + d1 B)/(V + d2 B)); its third
    // derivative by Leibniz.
    const double d1 = delta1_, d2 = delta2_;
    const double e1 = V + d1 * B, e2 = V + d2 * B;
    const double L = LogVolumeRatio(V, B, d1, d2);
    double L1 = d1 / e1, L2 = -(d1 * d1) / (e1 * e1), L3 = 2.0 * d1 * d1 * d1 / (e1 * e1 * e1);
    if (d2 != 0.0) {
        L1 -= d2 / e2;
        L2 += d2 * d2 / (e2 * e2);
        L3 -= 2.0 * d2 * d2 * d2 / (e2 * e2 * e2);
    }
    const double fBBB =
        (L3 / B - 3.0 * L2 / (B * B) + 6.0 * L1 / (B * B * B) - 6.0 * L / (B * B * B * B)) / (GasConstant * (d1 - d2));
    const double gPart = 3.0 * dN * t.gBB * dB * dB + N * gBBB * dB * dB * dB;
    const double fPart = 3.0 * ddD * t.fB * dB + 3.0 * dD * t.fBB * dB * dB + D * fBBB * dB * dB * dB;
    return Finite(-gPart - fPart / T + ideal);
}

} // namespace envelope::trace
