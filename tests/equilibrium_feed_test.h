#pragma once
// The fixture of the equilibrium tests: the built-in case, a workspace of the
// test's own, and a flash of the feed.

#include <cstdint>
#include <span>

#include <gtest/gtest.h>

#include "envelope/case.h"
#include "equilibrium/flash.h"
#include "thermo/composition.h"

namespace envelope {

class FeedTest : public ::testing::Test {
protected:
    // Vapour fraction of the feed flashed at (T, P); y and x receive the phases.
    double FlashFeed(double T, double P, std::span<double> y, std::span<double> x, double tolerance,
                     std::int16_t passes)
    {
        double V = -1.0;
        IsothermalFlash(mixture, SoaveRedlichKwong, feed, T, P, y, x, V, tolerance, passes, work);
        return V;
    }

    const Mixture mixture = BuiltInMixture();
    CompositionVector feed = mixture.feed;
    SolverWorkspace work;
};

} // namespace envelope
