#pragma once
// The fixture of the equilibrium tests: the built-in case loaded afresh for
// every test (tests may change the property tables), and a flash of its feed.

#include <cstdint>
#include <span>

#include <gtest/gtest.h>

#include "envelope/case.h"
#include "equilibrium/flash.h"
#include "thermo/composition.h"

namespace envelope {

class FeedTest : public ::testing::Test {
protected:
    void SetUp() override { feed = LoadBuiltInCase(); }

    // Vapour fraction of the feed flashed at (T, P); y and x receive the phases.
    double FlashFeed(double T, double P, std::span<double> y, std::span<double> x, double tolerance,
                     std::int16_t passes)
    {
        double V = -1.0;
        IsothermalFlash(feed, T, P, y, x, V, tolerance, passes);
        return V;
    }

    CompositionVector feed;
};

} // namespace envelope
