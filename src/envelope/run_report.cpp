#include "envelope/run_report.h"

#include <cstdio>

namespace envelope {

namespace {

// A temperature or vapour fraction in a short, locale-free form.
std::string Number(double value, int significant)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.*g", significant, value);
    return text;
}

std::string Rows(int rows)
{
    return std::to_string(rows) + (rows == 1 ? " row" : " rows");
}

// A march in a few words: "49 rows, trivial solution at 554.2 K", counting
// the rows its table shows, the start point's included. With details, a
// fault is given with its reason.
std::string MarchText(const StageReport& march, bool details)
{
    const std::string at = " at " + Number(march.temperature, 4) + " K";
    const std::string rows = Rows(march.rows + 1);
    switch (march.end) {
    case StageEnd::NotRun:
        return "not run";
    case StageEnd::Done:
        return rows;
    case StageEnd::CheckFlash:
        return rows + ", V = " + Number(march.vapourFraction, 3) + at;
    case StageEnd::NoDewPressure:
        return rows + ", no dew pressure" + at;
    case StageEnd::Fault:
        return rows + ", " + (details ? march.FaultText() : FaultKindName(march.fault)) + at;
    }
    return {};
}

std::string SplineText(const StageReport& spline, bool details)
{
    switch (spline.end) {
    case StageEnd::Done:
        return Rows(spline.rows);
    case StageEnd::Fault:
        return "failed, " + (details ? spline.FaultText() : std::string(FaultKindName(spline.fault)));
    default:
        return "not run";
    }
}

} // namespace

void StageReport::EndBy(const NumericalFault& fault)
{
    end = StageEnd::Fault;
    this->fault = fault.kind();
    reason = fault.what();
}

std::string StageReport::FaultText() const
{
    // A reason that already names its kind is not followed by it again.
    const std::string kind = FaultKindName(fault);
    if (reason.find(kind) != std::string::npos)
        return reason;
    return reason + " (" + kind + ")";
}

std::string RunReport::Summary() const
{
    if (start.end == StageEnd::Fault)
        return "start failed: " + start.FaultText();
    return "start " + Number(bubbleStartTemperature, 4) + " K, " + Number(dewStartTemperature, 4) + " K; bubble " +
           MarchText(bubble, false) + "; dew " + MarchText(dew, false) + "; spline " + SplineText(spline, false);
}

std::string RunReport::Details() const
{
    if (start.end == StageEnd::Fault)
        return "start points: failed, " + start.FaultText();
    return "start points: bubble " + Number(bubbleStartTemperature, 6) + " K, dew " +
           Number(dewStartTemperature, 6) + " K\nbubble march: " + MarchText(bubble, true) +
           "\ndew march: " + MarchText(dew, true) + "\nspline: " + SplineText(spline, true);
}

std::string RunReport::FailureReason() const
{
    switch (outcome) {
    case RunOutcome::Completed:
        return {};
    case RunOutcome::StartPhaseFailed:
        return "start points: " + start.FaultText();
    case RunOutcome::SplineStageFailed:
        return "spline: " + spline.FaultText();
    }
    return {};
}

} // namespace envelope
