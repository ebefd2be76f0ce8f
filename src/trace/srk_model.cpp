#include "trace/srk_model.h"

#include <cmath>

#include "thermo/numerical_fault.h"
#include "trace/cubic_roots.h"

namespace envelope::trace {

namespace {

constexpr double OmegaA = 0.42748;
constexpr double OmegaB = 0.08664;

// ln(1 - B/V) and ln(1 + B/V)/(R B) with their derivatives in V and B.
struct VolumeTerms {
    double g, gV, gB, gVV, gBV, gBB;
    double f, fV, fB, fVV, fBV, fBB;
};

VolumeTerms Terms(double V, double B)
{
    VolumeTerms t;
    const double vmb = V - B;
    const double vpb = V + B;
    t.g = std::log(vmb / V);
    t.gV = 1.0 / vmb - 1.0 / V;
    t.gB = -1.0 / vmb;
    t.gVV = 1.0 / (V * V) - 1.0 / (vmb * vmb);
    t.gBV = 1.0 / (vmb * vmb);
    t.gBB = -t.gBV;
    t.f = std::log1p(B / V) / (GasConstant * B);
    t.fV = -1.0 / (GasConstant * V * vpb);
    t.fB = -(t.f + V * t.fV) / B;
    t.fVV = (2.0 * V + B) / (GasConstant * V * V * vpb * vpb);
    t.fBV = 1.0 / (GasConstant * V * vpb * vpb);
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

SrkModel::SrkModel(const Mixture& mixture)
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
        b_[i] = Finite(OmegaB * GasConstant * Tc / Pc);
        sqrtAc_[i] = Finite(std::sqrt(OmegaA / Pc) * GasConstant * Tc);
        m_[i] = 0.48 + (1.574 - 0.176 * w) * w;
        for (std::size_t j = 0; j < count; ++j) {
            // As in the run's equation of state, k_ij != k_ji is refused.
            const double k = mixture.Kij(ii, static_cast<long long>(j));
            if (k != mixture.Kij(static_cast<long long>(j), ii))
                RaiseNumericalFault(FaultKind::BadInput, "interaction parameters are not symmetric");
            oneMinusK_[i * count + j] = Finite(1.0 - k);
        }
    }
}

void SrkModel::SqrtA(double T, std::span<double> q, std::span<double> dq) const
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

int SrkModel::PhysicalRoots(double T, double P, std::span<const double> n, double (&Z)[3]) const
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
    const CubicRoots roots = CompressibilityRoots(A - Bd - Bd * Bd, -A * Bd);
    int count = 0;
    for (int k = 0; k < roots.count; ++k)
        if (roots.root[k] > Bd)
            Z[count++] = roots.root[k];
    return count;
}

void SrkModel::Evaluate(double T, double P, std::span<const double> n, RootKind kind, bool derivatives,
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
    const CubicRoots roots = CompressibilityRoots(A - Bd - Bd * Bd, -A * Bd);
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

    const VolumeTerms t = Terms(V, B);
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

double SrkModel::Pressure(double T, double V, std::span<const double> n) const
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
    return Finite(Sum(n) * GasConstant * T / (V - B) - D / (V * (V + B)));
}

void SrkModel::HelmholtzHessian(double T, double V, std::span<const double> n, std::span<double> Q) const
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
    const VolumeTerms t = Terms(V, B);
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

double SrkModel::HelmholtzCubicForm(double T, double V, std::span<const double> n, std::span<const double> u) const
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
    const VolumeTerms t = Terms(V, B);
    const double vmb = V - B, vpb = V + B;
    const double gBBB = -2.0 / (vmb * vmb * vmb);
    // f = L(B)/(R B) with L = ln(1 + B/V); its third derivative by Leibniz.
    const double L = std::log1p(B / V), L1 = 1.0 / vpb, L2 = -1.0 / (vpb * vpb), L3 = 2.0 / (vpb * vpb * vpb);
    const double fBBB = (L3 / B - 3.0 * L2 / (B * B) + 6.0 * L1 / (B * B * B) - 6.0 * L / (B * B * B * B)) / GasConstant;
    const double gPart = 3.0 * dN * t.gBB * dB * dB + N * gBBB * dB * dB * dB;
    const double fPart = 3.0 * ddD * t.fB * dB + 3.0 * dD * t.fBB * dB * dB + D * fBBB * dB * dB * dB;
    return Finite(-gPart - fPart / T + ideal);
}

} // namespace envelope::trace
