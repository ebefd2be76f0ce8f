#pragma once
// What the stages of one run share: the run's constants, its working values,
// and the conventions by which every row and point enters the run's result.
// Internal to the run (run.cpp, march.cpp, spline_stage.cpp).

#include <array>
#include <cstdint>
#include <string>

#include "envelope/run_result.h"
#include "thermo/composition.h"
#include "thermo/cubic_model.h"
#include "thermo/mixture.h"
#include "thermo/workspace.h"

namespace envelope {

// Both start points and the first pressure of both marches, bar.
inline constexpr double StartPressure = 2.0;
inline constexpr double BubbleStartGuess = 163.0; // K
inline constexpr double DewStartGuess = 412.0;    // K
// Vapour-fraction band of the two start searches.
inline constexpr double StartBandWidth = 0.001;
// Tolerance of every saturation-pressure call and every check flash of the marches.
inline constexpr double MarchTolerance = 1e-5;
inline constexpr std::int16_t CheckFlashPasses = 50;
inline constexpr double BubbleStep = 8.0; // K
inline constexpr double DewStep = 5.0;    // K
// The bubble march goes on while its check flash gives at most this vapour
// fraction, the dew march while it gives at least the other.
inline constexpr double BubbleCheckLimit = 0.1;
inline constexpr double DewCheckLimit = 0.9;
inline constexpr std::int16_t InterpolationSteps = 20;

// The spline knots: five from the bubble table, six from the dew table.
inline constexpr std::size_t KnotCapacity = 11;
inline constexpr std::int16_t BubbleKnotRows = 5;
inline constexpr std::int16_t DewKnotRows = 6;
// Segment of the spline that runs from the last bubble knot to the last dew knot.
inline constexpr std::int16_t GapSegment = 4;

// The working values of one run, created with the run and gone with it.
struct RunWorkspace {
    RunWorkspace(const Mixture& m, const CubicModel& eos)
        : mixture(m), model(eos), feed(m.feed), vapour(m.feed.size(), 0.0), liquid(m.feed.size(), 0.0)
    {
    }

    // The case the run calculates, and the equation of state it calculates it
    // with; the feed is its copy of the mixture's.
    const Mixture& mixture;
    const CubicModel& model;
    CompositionVector feed;
    CompositionVector vapour;
    CompositionVector liquid;
    // The numeric core's per-run state and work counters: one for the run's
    // own thread and one for the second thread that shares its work.
    SolverWorkspace solver;
    SolverWorkspace helperSolver;
    // Whether the second thread is started at all (run_options.h).
    bool secondThread = true;
    // Vapour fraction of the latest check flash.
    double V = 0.0;
    std::array<double, KnotCapacity> knotPressure{};    // bar
    std::array<double, KnotCapacity> knotTemperature{}; // K
    // Next free knot index.
    std::int16_t knotCount = 0;
};

// Result row r: the index, the temperature in degrees Celsius as "###.###",
// and the given pressure text, with the numbers they come from.
ResultRow MakeResultRow(std::int16_t r, double temperatureKelvin, double pressure, std::string pressureText);

// Adds (T in K, P in bar) to the result's points with an empty label and the
// series' colour.
void AddChartPoint(RunResult& result, Series series, double temperatureKelvin, double pressure);

} // namespace envelope
