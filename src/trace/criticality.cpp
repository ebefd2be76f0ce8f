#include "trace/criticality.h"

#include <cmath>
#include <vector>

#include "thermo/numerical_fault.h"

namespace envelope::trace {

namespace {

// Smallest eigenvalue and its unit eigenvector of a symmetric matrix
// (row-major, destroyed), by cyclic Jacobi rotations.
double SmallestEigenpair(std::vector<double>& a, std::size_t size, std::vector<double>& vector)
{
    std::vector<double> v(size * size, 0.0);
    for (std::size_t i = 0; i < size; ++i)
        v[i * size + i] = 1.0;
    for (int sweep = 0; sweep < 60; ++sweep) {
        double off = 0.0;
        for (std::size_t p = 0; p < size; ++p)
            for (std::size_t q = p + 1; q < size; ++q)
                off += a[p * size + q] * a[p * size + q];
        if (off < 1e-30)
            break;
        for (std::size_t p = 0; p < size; ++p)
            for (std::size_t q = p + 1; q < size; ++q) {
                const double apq = a[p * size + q];
                if (apq == 0.0)
                    continue;
                const double theta = (a[q * size + q] - a[p * size + p]) / (2.0 * apq);
                const double t = std::copysign(1.0, theta) / (std::fabs(theta) + std::sqrt(theta * theta + 1.0));
                const double c = 1.0 / std::sqrt(t * t + 1.0), s = t * c;
                for (std::size_t k = 0; k < size; ++k) {
                    const double akp = a[k * size + p], akq = a[k * size + q];
                    a[k * size + p] = c * akp - s * akq;
                    a[k * size + q] = s * akp + c * akq;
                }
                for (std::size_t k = 0; k < size; ++k) {
                    const double apk = a[p * size + k], aqk = a[q * size + k];
                    a[p * size + k] = c * apk - s * aqk;
                    a[q * size + k] = s * apk + c * aqk;
                }
                for (std::size_t k = 0; k < size; ++k) {
                    const double vkp = v[k * size + p], vkq = v[k * size + q];
                    v[k * size + p] = c * vkp - s * vkq;
                    v[k * size + q] = s * vkp + c * vkq;
                }
            }
    }
    std::size_t smallest = 0;
    for (std::size_t i = 1; i < size; ++i)
        if (a[i * size + i] < a[smallest * size + smallest])
            smallest = i;
    vector.resize(size);
    for (std::size_t k = 0; k < size; ++k)
        vector[k] = v[k * size + smallest];
    return a[smallest * size + smallest];
}

} // namespace

CriticalityConditions Criticality(const MixtureModel& model, double T, double V, std::span<const double> n)
{
    const std::size_t count = model.Size();
    if (n.size() != count)
        RaiseNumericalFault(FaultKind::BadInput, "composition length");
    std::vector<std::size_t> present;
    for (std::size_t i = 0; i < count; ++i)
        if (n[i] > 0.0)
            present.push_back(i);
    std::vector<double> Q(count * count);
    // Absent components get a placeholder so small that it changes neither
    // co-volume nor attraction of the mixture, yet keeps 1/n_i and 1/n_i^2
    // finite; their rows and columns are left out below.
    constexpr double Absent = 1e-150;
    std::vector<double> moles(n.begin(), n.end());
    for (double& v : moles)
        if (!(v > 0.0))
            v = Absent;
    model.HelmholtzHessian(T, V, moles, Q);
    const std::size_t size = present.size();
    std::vector<double> M(size * size), u;
    for (std::size_t i = 0; i < size; ++i)
        for (std::size_t j = 0; j < size; ++j) {
            const std::size_t pi = present[i], pj = present[j];
            M[i * size + j] = std::sqrt(n[pi] * n[pj]) * Q[pi * count + pj];
        }
    CriticalityConditions result;
    result.quadratic = SmallestEigenpair(M, size, u);
    std::vector<double> dn(count, 0.0);
    double total = 0.0;
    for (std::size_t i = 0; i < size; ++i) {
        dn[present[i]] = std::sqrt(n[present[i]]) * u[i];
        total += dn[present[i]];
    }
    if (total < 0.0)
        for (double& v : dn)
            v = -v;
    result.cubic = model.HelmholtzCubicForm(T, V, moles, dn);
    return result;
}

CriticalityDistance DistanceToCritical(const MixtureModel& model, double T, double V, std::span<const double> n)
{
    // Differences in ln T and ln V: small beside the distances of interest,
    // large beside the rounding of the eigenvalue and the cubic form.
    constexpr double h = 1e-6;
    const CriticalityConditions at = Criticality(model, T, V, n);
    const CriticalityConditions warmer = Criticality(model, T * std::exp(h), V, n);
    const CriticalityConditions larger = Criticality(model, T, V * std::exp(h), n);
    const double a = (warmer.quadratic - at.quadratic) / h, b = (larger.quadratic - at.quadratic) / h;
    const double c = (warmer.cubic - at.cubic) / h, d = (larger.cubic - at.cubic) / h;
    const double determinant = a * d - b * c;
    CriticalityDistance distance;
    if (!(std::fabs(determinant) > 0.0) || !std::isfinite(determinant)) {
        distance.temperature = distance.pressure = HUGE_VAL;
        return distance;
    }
    const double dlnT = -(d * at.quadratic - b * at.cubic) / determinant;
    const double dlnV = -(a * at.cubic - c * at.quadratic) / determinant;
    const double P = model.Pressure(T, V, n);
    const double moved = model.Pressure(T * std::exp(dlnT), V * std::exp(dlnV), n);
    distance.temperature = std::fabs(std::expm1(dlnT));
    distance.pressure = std::fabs(moved - P) / std::fabs(P);
    if (!std::isfinite(distance.temperature) || !std::isfinite(distance.pressure))
        distance.temperature = distance.pressure = HUGE_VAL;
    return distance;
}

} // namespace envelope::trace
