#pragma once
// Real roots of the compressibility cubic Z^3 + c2 Z^2 + c1 Z + c0 = 0 in
// closed form (Cardano for one real root, the trigonometric form for three),
// each polished by Newton steps on the cubic itself. For c2 = -1 (the SRK
// cubic) every step does the operations of the form with -1 written in.

namespace envelope::trace {

struct CubicRoots {
    int count = 0;        // 1 or 3
    double root[3] = {};  // ascending
};

CubicRoots CompressibilityRoots(double c2, double c1, double c0);

} // namespace envelope::trace
