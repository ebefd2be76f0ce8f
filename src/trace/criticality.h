#pragma once
// The Heidemann-Khalil conditions of a critical point, at (T, V) for the mole
// numbers n: the quadratic form of the Helmholtz energy in the mole numbers
// has a zero eigenvalue, and the cubic form along its eigenvector vanishes.

#include <span>

#include "trace/mixture_model.h"

namespace envelope::trace {

struct CriticalityConditions {
    // Smallest eigenvalue of M_ij = sqrt(n_i n_j) d2(A/RT)/dn_i dn_j, which is
    // dimensionless; zero at (and negative inside) the limit of stability.
    double quadratic = 0.0;
    // The cubic form along dn_i = sqrt(n_i) u_i, u the unit eigenvector of
    // that eigenvalue (sign chosen so that sum dn_i >= 0).
    double cubic = 0.0;
};

// Components with n_i = 0 take no part.
CriticalityConditions Criticality(const MixtureModel& model, double T, double V, std::span<const double> n);

// How far (T, V) lies from the point where both conditions vanish: one
// Newton step on the two conditions in ln T and ln V, from derivatives by
// differences, and the relative changes of temperature and pressure it
// makes (the pressure, not the volume: next to a critical point the volume
// moves much with the pressure). Both are tiny at a critical point and
// large at an azeotrope or any other point where all K-values are one.
struct CriticalityDistance {
    double temperature = 0.0; // |dT| / T
    double pressure = 0.0;    // |dP| / P
};
CriticalityDistance DistanceToCritical(const MixtureModel& model, double T, double V, std::span<const double> n);

} // namespace envelope::trace
