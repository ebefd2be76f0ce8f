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

std::string MarchSummary(const char* name, const StageReport& march)
{
    std::string text = std::string(name) + ": ";
    switch (march.end) {
    case StageEnd::NotRun:
        return text + "not run";
    case StageEnd::Done:
        return text + Rows(march.rows);
    case StageEnd::CheckFlash:
        return text + Rows(march.rows) + ", ended by its check flash, V = " + Number(march.vapourFraction, 4) +
               " at " + Number(march.temperature, 5) + " K";
    case StageEnd::NoDewPressure:
        return text + Rows(march.rows) + ", ended with no dew pressure at " + Number(march.temperature, 5) + " K";
    case StageEnd::Fault:
        return text + Rows(march.rows) + ", ended by a fault at " + Number(march.temperature, 5) +
               " K: " + march.FaultText();
    }
    return text;
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
    return reason + " (" + FaultKindName(fault) + ")";
}

std::string RunReport::Summary() const
{
    std::string text = "start points: ";
    if (start.end == StageEnd::Fault)
        return text + "failed, " + start.FaultText();
    text += "bubble " + Number(bubbleStartTemperature, 5) + " K, dew " + Number(dewStartTemperature, 5) + " K";
    text += "; " + MarchSummary("bubble march", bubble);
    text += "; " + MarchSummary("dew march", dew);
    text += "; spline: ";
    if (spline.end == StageEnd::Fault)
        text += "failed, " + spline.FaultText();
    else if (spline.end == StageEnd::Done)
        text += Rows(spline.rows);
    else
        text += "not run";
    return text;
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
