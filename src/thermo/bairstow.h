#pragma once
// Roots of a real polynomial by Bairstow's method: one quadratic factor
// x^2 - r*x - s at a time, a Newton iteration on (r, s), deflation in place.

#include <span>

namespace envelope {

// a[k] is the coefficient of x^k; the degree is a.size() - 1. The array is
// deflated in place. Roots go to the parallel arrays re/im (a real root has an
// imaginary part of exactly 0): each quadratic factor fills two slots in the
// order found, the last remainder fills the remaining slot or slots.
//
// A factor whose iteration from the running (r, s) has not met the absolute
// 1e-5 test after 1000 passes is iterated once more from r = s = 0; if that
// does not converge either, the numerical fault is raised instead of using an
// unconverged factor.
//
// passes grows by the number of passes of the iteration, including those of a
// call that ends on the fault.
void BairstowRoots(std::span<double> a, std::span<double> re, std::span<double> im, long long& passes);

// Roots of x^2 - r*x - s: real parts first, then imaginary parts.
void QuadraticFactorRoots(double r, double s, double& re1, double& re2, double& im1, double& im2);

} // namespace envelope
