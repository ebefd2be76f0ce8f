#include "trace/verdict.h"

namespace envelope::trace {

const char* VerdictText(Verdict kind)
{
    switch (kind) {
    case Verdict::Complete:
        return "complete";
    case Verdict::Open:
        return "open";
    case Verdict::Stopped:
        break;
    }
    return "stopped";
}

std::string FormatVerdict(const TraceVerdict& verdict)
{
    std::string text = VerdictText(verdict.kind);
    if (!verdict.reason.empty())
        text += ": " + verdict.reason;
    return text;
}

} // namespace envelope::trace
