#include "trace/trace.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <utility>

#include "thermo/numerical_fault.h"
#include "thermo/wilson.h"
#include "trace/characteristic_points.h"
#include "trace/criticality.h"
#include "trace/curve_crossing.h"
#include "trace/curve_node.h"
#include "trace/curve_system.h"
#include "trace/mixture_model.h"

namespace envelope::trace {

namespace {

constexpr double MinStep = 1e-4;
constexpr double FirstStep = 0.05;
constexpr int StartIterations = 60;
constexpr int PointIterations = 12;
// Newton steps at the start may not move an unknown by more than this.
constexpr double StartMaxChange = 0.5;
constexpr double PointMaxChange = 1.0;
// The largest change of ln T and ln P from one point to the next.
constexpr double MaxLnTStep = 0.02, MaxLnPStep = 0.1;
// No step changes any ln K by more than this fraction of the largest |ln K|:
// the ln K all vanish at the critical point, so the steps shrink with them
// as it comes near and none can jump past it, however narrow the envelope.
constexpr double LnKStepFraction = 0.5;
// Within this largest |ln K| of the sign change the next point is the
// critical point itself, refined between converged points on either side,
// and the one after lies as far on the other side as the last on this one.
constexpr double CrossingLnK = 0.05;
// A crossing that fails is tried again closer, down to this.
constexpr double SmallestCrossingLnK = 1e-3;
// A critical point must satisfy the criticality conditions this closely: one
// Newton step on them moves T and P by less than this fraction.
constexpr double CriticalTolerance = 1e-4;
// At an azeotrope the feed's two roots stay at least this far apart.
constexpr double AzeotropeRootGap = 0.01;
// Two traces that cross with incipient phases closer than this in every ln K
// are the same curve traced twice.
constexpr double SameCurveLnK = 1e-6;
// The temperatures the trace follows, K.
constexpr double MinTemperature = 1.0, MaxTemperature = 1e4;

std::vector<double> CheckedFeed(const Mixture& mixture)
{
    const std::size_t count = static_cast<std::size_t>(mixture.Count());
    if (count < MinComponentCount || count > MaxComponentCount || mixture.feed.size() != count)
        RaiseNumericalFault(FaultKind::BadInput, "mixture component count");
    double sum = 0.0;
    for (double z : mixture.feed) {
        if (!(z >= 0.0) || !std::isfinite(z))
            RaiseNumericalFault(FaultKind::BadInput, "feed fraction out of range");
        sum += z;
    }
    if (!(sum > 0.0))
        RaiseNumericalFault(FaultKind::BadInput, "feed sums to zero");
    std::vector<double> z(mixture.feed);
    for (double& v : z)
        v /= sum;
    for (double k : mixture.kij)
        if (!std::isfinite(k))
            RaiseNumericalFault(FaultKind::BadInput, "interaction parameter not finite");
    return z;
}

// Wilson's K-values at (T, P).
void WilsonLnK(const Mixture& mixture, double T, double P, std::span<double> lnK)
{
    for (std::size_t i = 0; i < lnK.size(); ++i) {
        const long long ii = static_cast<long long>(i);
        lnK[i] = std::log(mixture.Pc(ii) / P) + WilsonExponent(mixture.Tc(ii), mixture.Omega(ii), T);
    }
}

// The dew (or bubble) temperature of Wilson's K-values at P, by bisection
// in ln T on sum z_i / K_i = 1, which falls as T rises (on sum z_i K_i = 1,
// which rises); lnK holds Wilson's ln K_i of the last bisection step.
double WilsonTemperature(const Mixture& mixture, std::span<const double> z, double P, bool dew, std::span<double> lnK)
{
    double lo = std::log(MinTemperature), hi = std::log(MaxTemperature);
    for (int pass = 0; pass < 60; ++pass) {
        const double mid = 0.5 * (lo + hi);
        WilsonLnK(mixture, std::exp(mid), P, lnK);
        double sum = 0.0;
        for (std::size_t i = 0; i < z.size(); ++i)
            sum += z[i] * std::exp(dew ? -lnK[i] : lnK[i]);
        if ((sum > 1.0) == dew)
            lo = mid;
        else
            hi = mid;
    }
    return std::exp(0.5 * (lo + hi));
}

// The component whose |ln K| is largest.
std::size_t LargestLnK(std::span<const double> X, std::size_t count)
{
    std::size_t k = 0;
    for (std::size_t i = 1; i < count; ++i)
        if (std::fabs(X[i]) > std::fabs(X[k]))
            k = i;
    return k;
}

const char* BranchName(TracePhase phase)
{
    return phase == TracePhase::Bubble ? "bubble" : "dew";
}

// One trace: the curve's points as they are converged, the side of the
// curve the last one lies on, and the result.
class Tracer {
public:
    Tracer(const Mixture& mixture, const CubicModel& eos, const TraceOptions& options)
        : options_(options), eos_(eos), z_(CheckedFeed(mixture)), model_(mixture, eos), n_(model_.Size()),
          system_(model_, z_, 1.0)
    {
    }

    // The trace up from the dew point at the start pressure.
    TracedEnvelope Run(const Mixture& mixture);

private:
    bool Start(const Mixture& mixture);
    // The bubble point at the start pressure, the start of a trace that
    // runs the other way, up the bubble branch.
    bool StartAtBubblePoint(const Mixture& mixture, double P0);
    // The first point, converged at the start pressure P0, its tangent
    // pointing up in pressure.
    void Begin(CurveNode node, double P0, TracePhase phase);
    // Converges the points of the curve one after another until the
    // verdict is given, or (with `other_`) until the curve crosses that one.
    void Follow();
    // Whether a segment of the curve not tested yet crosses `other_`; sets
    // crossing_.
    bool CrossesOther();
    // Where the curve stopped, completes it from the bubble point at the
    // start pressure when the trace up from there crosses it: at a corner
    // of a three-phase region, where the envelope turns from the one
    // saturation curve to the other. False (and nothing changed) otherwise.
    bool CompleteFromBubblePoint(const Mixture& mixture);
    // One point onward from the last in steps of about `step`; false when
    // it did not converge or was refused (then the step is to be shortened).
    bool Step(double step, bool& final, int& iterations);
    // Across ln K_k = 0 from the last point: through a critical point, or on
    // through an azeotrope. False when neither is found; `final` when the
    // point beyond is the last, at the start pressure. A critical point past
    // the pressure limit ends the trace there, open, with no point added.
    bool Cross(std::size_t k, bool& final);
    // The point beyond the sign change of ln K_k, as far from it as the last
    // point, or at the start pressure when that lies before it.
    bool Beyond(std::size_t k, bool yVapour, CurveNode& far, bool& final);
    // Whether the trace ends with the point just added: back at the start
    // pressure, or beyond the range followed. Sets the verdict.
    bool Ended(bool final);
    // The verdict of a branch that climbs past the pressure limit at T; ends
    // the trace.
    void PastLimit(double T);
    // A point of the curve at X[k] = u predicted from the last points, with
    // y's root as yVapour says, near its prediction; its Newton iterations,
    // or -1 when there is none.
    int PointAt(std::size_t k, double u, bool yVapour, CurveNode& out);
    void Predict(std::size_t k, double u, std::span<double> X) const;
    bool NearPrediction(std::span<const double> X, std::span<const double> predicted) const;
    void Add(CurveNode node, TracePhase phase);
    std::string Where(const char* what) const;

    const TraceOptions& options_;
    const CubicModel& eos_;
    const std::vector<double> z_;
    const MixtureModel model_;
    const std::size_t n_;
    CurveSystem system_;
    std::vector<CurveNode> nodes_;
    std::vector<TracePhase> phases_;
    TracePhase side_ = TracePhase::Dew;
    double lnP0_ = 0.0;
    // The verdict is given: the trace ends.
    bool ended_ = false;
    // Where the last point was predicted.
    std::vector<double> predicted_;
    TracedEnvelope result_;
    // The node that is the critical point, when one was found.
    std::size_t criticalNode_ = 0;
    // A curve traced before, that this one is followed until it crosses,
    // the nodes of this one tested against it so far, and the crossing.
    std::span<const CurveNode> other_;
    std::size_t tested_ = 0;
    CurveCrossing crossing_;
    // The node after the joint of two curves, whose segment to the one
    // before holds no extreme; none when past the end.
    std::size_t joint_ = std::numeric_limits<std::size_t>::max();
};

bool Tracer::Start(const Mixture& mixture)
{
    // The dew point at the lowest of the start pressures where Newton
    // converges from Wilson's dew point.
    const std::size_t m = n_ + 2, iT = n_, iP = n_ + 1;
    CurveNode node;
    node.X.assign(m, 0.0);
    node.tangent.assign(m, 0.0);
    const double startPressures[] = {options_.startPressure, 2.0 * options_.startPressure,
                                     5.0 * options_.startPressure, 10.0 * options_.startPressure};
    system_.SetYVapour(true);
    for (double P0 : startPressures) {
        if (!(P0 > 0.0) || !std::isfinite(P0))
            break;
        const double T0 = WilsonTemperature(mixture, z_, P0, true, std::span(node.X).first(n_));
        node.X[iT] = std::log(T0);
        node.X[iP] = std::log(P0);
        if (system_.Solve(node.X, iP, std::log(P0), StartIterations, StartMaxChange, node.tangent) >= 0 &&
            system_.VolumeY() > system_.VolumeX()) {
            // Up the dew branch first.
            Begin(std::move(node), P0, TracePhase::Dew);
            return true;
        }
    }
    char text[160];
    std::snprintf(text, sizeof text, "no dew point converged at %g, %g, %g or %g bar", startPressures[0],
                  startPressures[1], startPressures[2], startPressures[3]);
    result_.verdict = {Verdict::Stopped, text};
    return false;
}

void Tracer::Add(CurveNode node, TracePhase phase)
{
    result_.points.push_back({std::exp(node.X[n_]), std::exp(node.X[n_ + 1]), phase});
    nodes_.push_back(std::move(node));
    phases_.push_back(phase);
}

std::string Tracer::Where(const char* what) const
{
    const CurveNode& last = nodes_.back();
    char text[200];
    std::snprintf(text, sizeof text, "%s on the %s branch after T = %.3f K, P = %.3f bar", what, BranchName(side_),
                  std::exp(last.X[n_]), std::exp(last.X[n_ + 1]));
    return text;
}

void Tracer::Predict(std::size_t k, double u, std::span<double> X) const
{
    // Along the cubic through the last two points when the unknown moved
    // monotonically between them, else along the tangent.
    const CurveNode& last = nodes_.back();
    const CurveNode* before = nodes_.size() > 1 ? &nodes_[nodes_.size() - 2] : nullptr;
    if (before && before->X[k] != last.X[k] && before->tangent[k] * last.tangent[k] > 0.0 &&
        (last.X[k] - before->X[k]) * last.tangent[k] > 0.0) {
        HermiteAt(*before, last, k, u, X);
        return;
    }
    const double ds = (u - last.X[k]) / last.tangent[k];
    for (std::size_t i = 0; i < X.size(); ++i)
        X[i] = last.X[i] + ds * last.tangent[i];
}

bool Tracer::NearPrediction(std::span<const double> X, std::span<const double> predicted) const
{
    // A point far from its prediction lies on another branch of the
    // equations: the step was too long to follow this one.
    return std::fabs(X[n_] - predicted[n_]) <= 2.0 * MaxLnTStep &&
           std::fabs(X[n_ + 1] - predicted[n_ + 1]) <= 2.0 * MaxLnPStep;
}

int Tracer::PointAt(std::size_t k, double u, bool yVapour, CurveNode& out)
{
    const std::size_t m = n_ + 2;
    out.X.resize(m);
    out.tangent.resize(m);
    Predict(k, u, out.X);
    predicted_.assign(out.X.begin(), out.X.end());
    system_.SetYVapour(yVapour);
    const int iterations = system_.Solve(out.X, k, u, PointIterations, PointMaxChange, out.tangent);
    system_.SetYVapour(side_ != TracePhase::Bubble);
    if (iterations < 0 || !NearPrediction(out.X, predicted_))
        return -1;
    // Onward is the way the fixed unknown was stepped: past the critical
    // point of a nearly pure fluid temperature and pressure turn back
    // sharply, and only the ln K keep their way.
    Orient(out.tangent, {});
    if (out.tangent[k] * (u - nodes_.back().X[k]) < 0.0)
        for (double& v : out.tangent)
            v = -v;
    return iterations;
}

bool Tracer::Beyond(std::size_t k, bool yVapour, CurveNode& far, bool& final)
{
    const CurveNode& near = nodes_.back();
    const std::size_t iP = n_ + 1;
    final = false;
    if (PointAt(k, -near.X[k], yVapour, far) < 0)
        return false;
    if (far.X[iP] < lnP0_ && far.tangent[iP] < 0.0) {
        if (PointAt(iP, lnP0_, yVapour, far) < 0 || far.X[k] * near.X[k] >= 0.0)
            return false;
        final = true;
    }
    return true;
}

bool Tracer::Cross(std::size_t k, bool& final)
{
    const CurveNode near = nodes_.back();
    const bool yVapour = side_ != TracePhase::Bubble;
    const std::size_t iT = n_, iP = n_ + 1;
    CurveNode far;
    // Through a critical point: on the far side the phases have swapped
    // their roots, a critical point was bracketed between the two sides, and
    // it satisfies the criticality conditions.
    if (Beyond(k, !yVapour, far, final)) {
        const CriticalCrossing crossing = RefineCritical(system_, model_, z_, near, far, k, yVapour);
        if (crossing.bracketed && crossing.volume > 0.0) {
            const double T = std::exp(crossing.node.X[iT]), P = std::exp(crossing.node.X[iP]);
            CriticalityDistance distance;
            try {
                distance = DistanceToCritical(model_, T, crossing.volume, z_);
            } catch (const NumericalFault&) {
                distance.temperature = distance.pressure = HUGE_VAL;
            }
            if (distance.temperature < CriticalTolerance && distance.pressure < CriticalTolerance) {
                // A critical point above the pressure limit is beyond what
                // the trace follows: the branch climbs past the limit.
                if (P > PressureLimit) {
                    PastLimit(T);
                    return true;
                }
                if (!result_.critical.found) {
                    result_.critical = {true, T, P};
                    result_.criticalVolume = crossing.volume;
                    criticalNode_ = nodes_.size();
                }
                Add(crossing.node, TracePhase::Critical);
                side_ = side_ == TracePhase::Bubble ? TracePhase::Dew : TracePhase::Bubble;
                system_.SetYVapour(side_ != TracePhase::Bubble);
                Add(far, side_);
                return true;
            }
        }
    }
    // On through an azeotrope: the phases keep their roots, and where every
    // ln K is zero the feed has two roots well apart, a liquid and a vapour
    // of the same composition.
    if (Beyond(k, yVapour, far, final)) {
        std::vector<double> X(near.X.size());
        HermiteAt(near, far, k, 0.0, X);
        double Z[3];
        int count = 0;
        try {
            count = model_.PhysicalRoots(std::exp(X[iT]), std::exp(X[iP]), z_, Z);
        } catch (const NumericalFault&) {
            count = 0;
        }
        if (count == 3 && Z[2] - Z[0] > AzeotropeRootGap * Z[2]) {
            Add(far, side_);
            return true;
        }
    }
    return false;
}

void Tracer::PastLimit(double T)
{
    char text[160];
    std::snprintf(text, sizeof text, "the %s branch climbs past %g bar at T = %.3f K", BranchName(side_), PressureLimit,
                  T);
    result_.verdict = {Verdict::Open, text};
    ended_ = true;
}

bool Tracer::Ended(bool final)
{
    const TracePoint& p = result_.points.back();
    if (final) {
        if (side_ == TracePhase::Bubble)
            result_.verdict = {Verdict::Complete, {}};
        else
            result_.verdict = {Verdict::Open, Where("no critical point: back at the start pressure")};
        return true;
    }
    if (p.pressure > PressureLimit) {
        PastLimit(p.temperature);
        return true;
    }
    char text[160];
    if (p.temperature < MinTemperature || p.temperature > MaxTemperature) {
        std::snprintf(text, sizeof text, "the %s branch leaves %g to %g K at P = %.3f bar", BranchName(side_),
                      MinTemperature, MaxTemperature, p.pressure);
        result_.verdict = {Verdict::Open, text};
        return true;
    }
    return false;
}

bool Tracer::Step(double step, bool& final, int& iterations)
{
    const std::size_t m = n_ + 2, iT = n_, iP = n_ + 1;
    const CurveNode& last = nodes_.back();
    const std::size_t reference = LargestLnK(last.X, n_);
    const double largestLnK = std::fabs(last.X[reference]);
    std::size_t fixed = 0;
    for (std::size_t k = 0; k < m; ++k)
        if (std::fabs(last.tangent[k]) > std::fabs(last.tangent[fixed]))
            fixed = k;

    double target = last.X[fixed] + std::copysign(step, last.tangent[fixed]);
    // The curve is drawn through its points: no step moves far in
    // temperature or pressure, where the curve turns near its extremes, nor
    // any ln K by more than a fraction of the largest.
    const double ds = (target - last.X[fixed]) / last.tangent[fixed];
    double reach = std::max(std::fabs(ds * last.tangent[iT]) / MaxLnTStep, std::fabs(ds * last.tangent[iP]) / MaxLnPStep);
    for (std::size_t i = 0; i < n_; ++i)
        reach = std::max(reach, std::fabs(ds * last.tangent[i]) / (LnKStepFraction * largestLnK));
    if (reach > 1.0)
        target = last.X[fixed] + (target - last.X[fixed]) / reach;

    predicted_.resize(m);
    Predict(fixed, target, predicted_);
    // Back at the start pressure: the last point is exactly there.
    final = predicted_[iP] < lnP0_ && last.tangent[iP] < 0.0;
    if (final) {
        fixed = iP;
        target = lnP0_;
    }
    CurveNode next;
    iterations = PointAt(fixed, target, side_ != TracePhase::Bubble, next);
    if (iterations < 0)
        return false;
    // No point may cross the sign change of the ln K without a crossing
    // (Cross): it lies beyond a critical point or an azeotrope. Nor may one
    // but the last fall below the start pressure.
    if (next.X[reference] * last.X[reference] <= 0.0 || (!final && next.X[iP] < lnP0_))
        return false;
    Add(std::move(next), side_);
    return true;
}

bool Tracer::StartAtBubblePoint(const Mixture& mixture, double P0)
{
    const std::size_t m = n_ + 2, iT = n_, iP = n_ + 1;
    CurveNode node;
    node.X.assign(m, 0.0);
    node.tangent.assign(m, 0.0);
    // On the bubble side the unknowns are ln(z_i / w_i) of the incipient
    // phase w: minus Wilson's ln K_i.
    node.X[iT] = std::log(WilsonTemperature(mixture, z_, P0, false, std::span(node.X).first(n_)));
    for (std::size_t i = 0; i < n_; ++i)
        node.X[i] = -node.X[i];
    node.X[iP] = std::log(P0);
    side_ = TracePhase::Bubble;
    system_.SetYVapour(false);
    if (system_.Solve(node.X, iP, node.X[iP], StartIterations, StartMaxChange, node.tangent) < 0 ||
        !(system_.VolumeY() < system_.VolumeX()))
        return false;
    Begin(std::move(node), P0, TracePhase::Bubble);
    return true;
}

void Tracer::Begin(CurveNode node, double P0, TracePhase phase)
{
    result_.startPressure = P0;
    std::vector<double> up(node.X.size(), 0.0);
    up[n_ + 1] = 1.0;
    Orient(node.tangent, up);
    lnP0_ = node.X[n_ + 1];
    Add(std::move(node), phase);
}

bool Tracer::CrossesOther()
{
    const std::size_t from = tested_ == 0 ? 0 : tested_ - 1;
    tested_ = nodes_.size();
    crossing_ = FindCrossing(other_, nodes_, from, n_);
    return crossing_.found;
}

TracedEnvelope Tracer::Run(const Mixture& mixture)
{
    if (!Start(mixture))
        return result_;
    Follow();
    if (result_.verdict.kind == Verdict::Stopped)
        CompleteFromBubblePoint(mixture);
    const std::size_t iT = n_, iP = n_ + 1;
    result_.cricondenbar = LargestOnCurve(system_, nodes_, phases_, iP, iT, joint_);
    result_.cricondentherm = LargestOnCurve(system_, nodes_, phases_, iT, iP, joint_);
    return result_;
}

bool Tracer::CompleteFromBubblePoint(const Mixture& mixture)
{
    if (nodes_.size() < 2)
        return false;
    TraceOptions options = options_;
    options.maxPoints = options_.maxPoints - static_cast<int>(nodes_.size());
    Tracer back(mixture, eos_, options);
    back.other_ = nodes_;
    if (options.maxPoints < 2 || !back.StartAtBubblePoint(mixture, result_.startPressure))
        return false;
    back.Follow();
    if (!back.crossing_.found)
        return false;

    // The corner: where the curves meet, converged on both.
    const CurveCrossing c = back.crossing_;
    const auto sideOf = [](const std::vector<TracePhase>& phases, std::size_t i) {
        return phases[i] != TracePhase::Critical ? phases[i] : phases[i + 1];
    };
    const TracePhase aSide = sideOf(phases_, c.first), bSide = sideOf(back.phases_, c.second);
    system_.SetYVapour(aSide != TracePhase::Bubble);
    back.system_.SetYVapour(bSide != TracePhase::Bubble);
    CurveNode corner, cornerB;
    if (!MeetingPoint(system_, nodes_[c.first], nodes_[c.first + 1], back.system_, back.nodes_[c.second],
                      back.nodes_[c.second + 1], corner, cornerB))
        return false;
    // On from the corner along the other curve, back towards its start.
    corner.tangent = cornerB.tangent;
    for (double& v : corner.tangent)
        v = -v;

    // This curve up to the corner, then the other from there back to its
    // start, the bubble point at the start pressure.
    nodes_.resize(c.first + 1);
    phases_.resize(c.first + 1);
    result_.points.resize(c.first + 1);
    if (result_.critical.found && criticalNode_ > c.first) {
        result_.critical = {};
        result_.criticalVolume = 0.0;
    }
    if (!result_.critical.found && back.result_.critical.found && back.criticalNode_ <= c.second) {
        result_.critical = back.result_.critical;
        result_.criticalVolume = back.result_.criticalVolume;
        criticalNode_ = nodes_.size() + 1 + (c.second - back.criticalNode_);
    }
    // Two incipient phases of different composition: a corner. The same
    // one: the curve traced twice, joined where the traces cross.
    double apart = 0.0;
    for (std::size_t i = 0; i < n_; ++i)
        apart = std::max(apart, std::fabs(corner.X[i] - cornerB.X[i]));
    if (apart > SameCurveLnK)
        result_.corner = {true, std::exp(corner.X[n_]), std::exp(corner.X[n_ + 1])};
    joint_ = nodes_.size();
    Add(std::move(corner), bSide);
    for (std::size_t i = c.second + 1; i-- > 0;) {
        CurveNode node = std::move(back.nodes_[i]);
        for (double& v : node.tangent)
            v = -v;
        Add(std::move(node), back.phases_[i]);
    }
    side_ = TracePhase::Bubble;
    system_.SetYVapour(false);
    if (result_.critical.found) {
        result_.verdict = {Verdict::Complete, {}};
    } else {
        char text[200];
        std::snprintf(text, sizeof text, "no critical point: the %s branch turns into the bubble branch at T = %.3f K, P = %.3f bar",
                      BranchName(aSide), result_.points[joint_].temperature, result_.points[joint_].pressure);
        result_.verdict = {Verdict::Open, text};
    }
    return true;
}

void Tracer::Follow()
{
    double step = FirstStep;
    // The largest |ln K| at which a crossing last failed: it is tried again
    // only closer.
    double failedCrossing = HUGE_VAL;
    for (;;) {
        if (static_cast<int>(nodes_.size()) >= options_.maxPoints) {
            result_.verdict = {Verdict::Stopped, Where("point limit reached")};
            break;
        }
        const CurveNode& last = nodes_.back();
        const std::size_t k = LargestLnK(last.X, n_);
        const double largestLnK = std::fabs(last.X[k]);
        bool final = false;
        if (largestLnK <= CrossingLnK && last.X[k] * last.tangent[k] < 0.0 && largestLnK < failedCrossing) {
            if (Cross(k, final)) {
                failedCrossing = HUGE_VAL;
                if (ended_ || (!other_.empty() && CrossesOther()) || Ended(final))
                    break;
                continue;
            }
            if (largestLnK <= SmallestCrossingLnK) {
                result_.verdict = {Verdict::Stopped, Where("no convergence across the critical point")};
                break;
            }
            failedCrossing = 0.75 * largestLnK;
        }
        int iterations = 0;
        if (!Step(step, final, iterations)) {
            step *= 0.5;
            if (step < MinStep) {
                result_.verdict = {Verdict::Stopped, Where("no convergence")};
                break;
            }
            continue;
        }
        if ((!other_.empty() && CrossesOther()) || Ended(final))
            break;
        if (iterations <= 2)
            step = std::min(step * 1.6, options_.maxStep);
        else if (iterations >= 5)
            step *= 0.6;
        step = std::max(step, MinStep);
    }
}

} // namespace

TracedEnvelope TraceEnvelope(const Mixture& mixture, const CubicModel& eos, const TraceOptions& options)
{
    Tracer tracer(mixture, eos, options);
    return tracer.Run(mixture);
}

} // namespace envelope::trace
