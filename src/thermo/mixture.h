#pragma once
// A mixture as a value: its components' critical constants and acentric
// factors, the feed mole fractions and the binary interaction parameters of
// the mixing rule. Every calculation takes the mixture it works on by const
// reference; nothing in the core keeps one of its own.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "thermo/numerical_fault.h"

namespace envelope {

// The component counts a mixture may have.
inline constexpr std::size_t MinComponentCount = 2;
inline constexpr std::size_t MaxComponentCount = 20;

struct Mixture {
    // Shown to the user; empty for an unnamed mixture.
    std::string name;
    // Per component, all of one length: the component count.
    std::vector<std::string> componentNames;
    std::vector<double> criticalTemperature; // K
    std::vector<double> criticalPressure;    // bar
    std::vector<double> acentricFactor;
    std::vector<double> feed; // mole fractions z_i
    // Binary interaction parameters k_ij, row-major count x count, symmetric
    // with a zero diagonal; the cross term of the mixing rule is
    // sqrt(a_i a_j) (1 - k_ij). Empty means every k_ij is zero. The equation
    // of state refuses k_ij != k_ji with the numerical fault.
    std::vector<double> kij;
    // The k_ij are the interaction table's for these components (a case file
    // said "kij": "table", or the editor filled them from it); a case file
    // written of the mixture says so again while they still are.
    bool kijFromTable = false;

    // The component count, as the 16-bit count the calculations use.
    std::int16_t Count() const { return Count16(static_cast<long long>(criticalTemperature.size())); }

    // Checked access: an index at or beyond the component count is the
    // numerical fault.
    double Tc(long long i) const { return At(criticalTemperature, i); }
    double Pc(long long i) const { return At(criticalPressure, i); }
    double Omega(long long i) const { return At(acentricFactor, i); }
    double Z(long long i) const { return At(feed, i); }
    double Kij(long long i, long long j) const
    {
        const long long n = static_cast<long long>(criticalTemperature.size());
        if (i < 0 || j < 0 || i >= n || j >= n)
            RaiseNumericalFault(FaultKind::Index, "index out of range");
        return kij.empty() ? 0.0 : At(kij, i * n + j);
    }
    bool HasInteractionParameters() const
    {
        for (double k : kij)
            if (k != 0.0)
                return true;
        return false;
    }

    bool operator==(const Mixture&) const = default;
};

} // namespace envelope
