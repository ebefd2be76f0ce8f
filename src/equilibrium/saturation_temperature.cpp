#include "equilibrium/saturation_temperature.h"

#include <array>
#include <cstdint>

#include "equilibrium/flash.h"
#include "thermo/numerical_fault.h"

namespace envelope {

namespace {

constexpr double FlashTolerance = 0.00001;
constexpr std::int16_t FlashPasses = 50;

// The start bracket is T - 10 .. T + 10, widened outward 5 K at a time.
constexpr double StartHalfWidth = 10.0;
constexpr double BracketStep = 5.0;

// Each walk gives up after this many 5 K steps (5000 K): a feed that is not
// single-phase by then never will be. The built-in case needs about 50.
constexpr std::int16_t BracketStepLimit = 1000;

// The bisection ends here when no midpoint lands in the band.
constexpr std::int16_t BisectionLimit = 1000;

enum class Search { Bubble, Dew };

// Where a midpoint's vapour fraction puts it relative to the band.
enum class Verdict { TooCold, TooHot, InBand };

Verdict Judge(Search search, double V, double w)
{
    if (search == Search::Bubble) {
        if (V > w)
            return Verdict::TooHot;
        if (V == 0.0)
            return Verdict::TooCold;
        return Verdict::InBand;
    }
    if (V < Finite(1 - w))
        return Verdict::TooCold;
    if (V == 1.0)
        return Verdict::TooHot;
    return Verdict::InBand;
}

// What every flash of one search shares.
struct FlashSetting {
    const Mixture& mixture;
    const CubicModel& model;
    Search search;
    std::span<const double> z;
    double P;
    SolverWorkspace& work;
};

// Flashes z at (T, P). The caller's vector takes the flash output of the
// incipient phase (vapour for the bubble point, liquid for the dew point); the
// other phase goes to scratch.
void Flash(const FlashSetting& at, double T, std::span<double> incipient, std::span<double> scratch, double& V)
{
    if (at.search == Search::Bubble)
        IsothermalFlash(at.mixture, at.model, at.z, T, at.P, incipient, scratch, V, FlashTolerance, FlashPasses,
                        at.work);
    else
        IsothermalFlash(at.mixture, at.model, at.z, T, at.P, scratch, incipient, V, FlashTolerance, FlashPasses,
                        at.work);
}

void CountBracketStep(std::int16_t& steps, const char* what)
{
    if (steps >= BracketStepLimit)
        RaiseNumericalFault(FaultKind::NoBracket, what);
    Increment16(steps);
}

// Brackets the two-phase region between an all-liquid and an all-vapour
// temperature, then bisects until a midpoint's flash lands in the band. The
// band is thin in vapour fraction, so the bracket width is never tested.
void SaturationTemperature(const Mixture& mixture, const CubicModel& model, Search search, std::span<const double> z,
                           double P, std::span<double> incipient, double& T, double w, SolverWorkspace& work)
{
    const std::int16_t count = mixture.Count();
    if (count < 0 || static_cast<std::size_t>(count) > MaxComponentCount)
        RaiseNumericalFault(FaultKind::CountOverflow, "more components than a calculation holds");
    std::array<double, MaxComponentCount> storage{};
    const std::span<double> scratch(storage.data(), static_cast<std::size_t>(count));
    const FlashSetting at{mixture, model, search, z, P, work};

    double Tlow = Finite(T - StartHalfWidth);
    double Thigh = Finite(T + StartHalfWidth);
    double Tmid = T;
    double V = 1.0;

    std::int16_t steps = 0;
    while (V > 0) {
        CountBracketStep(steps, "no all-liquid temperature found below the start guess");
        Tlow = Finite(Tlow - BracketStep);
        Flash(at, Tlow, incipient, scratch, V);
    }

    V = 0.1;
    steps = 0;
    while (V < 1) {
        CountBracketStep(steps, "no all-vapour temperature found above the start guess");
        Thigh = Finite(Thigh + BracketStep);
        Flash(at, Thigh, incipient, scratch, V);
    }

    bool searching = true;
    std::int16_t bisections = 0;
    while (searching) {
        Increment16(bisections);
        Tmid = Finite((Thigh + Tlow) / 2);
        Flash(at, Tmid, incipient, scratch, V);
        switch (Judge(search, V, w)) {
        case Verdict::TooHot:
            Thigh = Tmid;
            break;
        case Verdict::TooCold:
            Tlow = Tmid;
            break;
        case Verdict::InBand:
            searching = false;
            break;
        }
        if (bisections > BisectionLimit) {
            searching = false;
            // The dew search reports failure in-band as 0 K; the bubble search
            // keeps its last midpoint.
            if (search == Search::Dew)
                Tmid = 0;
        }
    }
    T = Tmid;
}

} // namespace

void BubbleTemperature(const Mixture& mixture, const CubicModel& model, std::span<const double> z, double P,
                       std::span<double> y, double& T, double w, SolverWorkspace& work)
{
    SaturationTemperature(mixture, model, Search::Bubble, z, P, y, T, w, work);
}

void DewTemperature(const Mixture& mixture, const CubicModel& model, std::span<const double> z, double P,
                    std::span<double> x, double& T, double w, SolverWorkspace& work)
{
    SaturationTemperature(mixture, model, Search::Dew, z, P, x, T, w, work);
}

} // namespace envelope
