#pragma once
// The parts of the equation of state that depend only on the temperature and
// the mixture. A flash or a saturation search calls
// FugacityCoefficients twice per pass at one temperature; handing it one
// TemperatureTerms for the whole search forms these parts once instead of on
// every call, by exactly the same operations.

#include <array>
#include <cstdint>
#include <span>

#include "thermo/cubic_model.h"
#include "thermo/mixture.h"
#include "thermo/workspace.h"

namespace envelope {

struct TemperatureTerms {
    // Whether the terms below have been formed, and for which mixture,
    // model, temperature and component count.
    bool formed = false;
    const Mixture* mixture = nullptr;
    const CubicModel* model = nullptr;
    double temperature = 0.0;
    std::int16_t count = 0;

    // Entries 0 to count - 1 are written when the terms are formed, and only
    // those are read; nothing is cleared beforehand, which would cost a good
    // part of what the terms save.
    std::array<double, MaxComponentCount> b; // b_i, co-volumes
    std::array<double, MaxComponentCount> a; // a_i at the temperature
    // sqrt(a_i a_j) (1 - k_ij), the cross terms of the mixing rule.
    std::array<std::array<double, MaxComponentCount>, MaxComponentCount> cross;
    double rt;        // R T
    double rtSquared; // (R T)^2
};

// FugacityCoefficients as declared in eos.h, with the temperature terms taken
// from terms. They are formed inside the call, at the point where every call
// forms them, when terms is new or was formed for another mixture, model,
// temperature or component count; a fault while they are formed leaves terms
// unformed. Results and faults are exactly those of the call without terms.
void FugacityCoefficients(const Mixture& mixture, const CubicModel& model, std::span<const double> x, double P,
                          double T, std::span<double> phi, std::int16_t phase, TemperatureTerms& terms,
                          SolverWorkspace& work);

} // namespace envelope
