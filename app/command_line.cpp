#include "command_line.h"

#include <charconv>
#include <map>
#include <string_view>
#include <system_error>

#include <unistd.h>

#include "condition/check.h"
#include "desktop.h"
#include "output/path_names.h"
#include "output/standard_output.h"

namespace envelope {

namespace {

struct Option {
    const char* name;
    // The one-letter form, or 0.
    char letter;
    // What the value names, or null for an option without one.
    const char* value;
    const char* description;
    // Offered only by a build with the windows.
    bool needsWindows;
    // May be given more than once; every value is kept.
    bool repeatable = false;
};

constexpr Option Options[] = {
    {"help", 'h', nullptr, "Displays help on commandline options.", false},
    {"version", 'v', nullptr, "Displays version information.", false},
    {"headless", 0, nullptr, "Run once without windows and print the three result tables.", false},
    {"csv", 0, "directory",
     "Also write the three result tables as bubble.csv, dew.csv and interpolation.csv, and the constant "
     "vapour-fraction points as vapour-fractions.csv, into <directory>, which is made if need be. "
     "Implies --headless.",
     false},
    {"case", 0, "file",
     "Run the mixture of the case file <file> (JSON) instead of the built-in case, in the windows or, with "
     "--headless, --csv or --chart, without them.",
     false},
    {"chart", 0, "file",
     "Also write the chart with its legend to <file>, a PNG or an SVG picture as the name ends in .png or .svg. "
     "Implies --headless.",
     true},
    {"eos", 0, "name",
     "Compute with the equation of state <name>: SRK (Soave-Redlich-Kwong, the default), PR (Peng-Robinson "
     "1976) or PR78 (Peng-Robinson 1978, another m(omega) above omega = 0.491); overrides the case file's.",
     false},
    {"trace", 0, nullptr,
     "Also trace the envelope through its critical point: print the trace's status (complete, open or "
     "stopped), the critical point, cricondenbar and cricondentherm and the traced points after the tables, "
     "write them as trace-status.csv, critical-points.csv and traced.csv with --csv, and draw the traced curve "
     "on the chart with --chart. Implies --headless.",
     false},
    {"point", 0, "T,P",
     "Also check the condition of temperature T (K) and pressure P (bar): one phase or two, the vapour fraction "
     "and the phases' compositions, printed after everything else and written as conditions.csv and "
     "phase-compositions.csv with --csv. May be given more than once. Implies --headless.",
     false, true},
    {"trace-only", 0, nullptr,
     "Trace the envelope as --trace does, without the run and its tables. Implies --headless.", false},
};

constexpr std::string_view Description =
    "Phase envelope of a mixture with a cubic equation of state (SRK unless the case\n"
    "file or --eos names another): the built-in three-component case, or the mixture\n"
    "of a case file. Without --headless, --csv or --chart the program opens its\n"
    "windows.\n";
constexpr std::size_t HelpWidth = 79;

bool Offered(const Option& option)
{
    return !option.needsWindows || BuildHasWindows();
}

std::string Synopsis(const Option& option)
{
    std::string synopsis = option.letter != 0 ? std::string("-") + option.letter + ", --" : "--";
    synopsis += option.name;
    if (option.value != nullptr)
        synopsis += std::string(" <") + option.value + ">";
    return synopsis;
}

std::string HelpText()
{
    std::string help = "Usage: envelope [options]\n" + std::string(Description) + "\nOptions:\n";
    std::size_t column = 0;
    for (const Option& option : Options)
        if (Offered(option))
            column = std::max(column, Synopsis(option).size());
    const std::size_t indent = 2 + column + 2;
    for (const Option& option : Options) {
        if (!Offered(option))
            continue;
        std::string line = "  " + Synopsis(option);
        line.resize(indent, ' ');
        std::string_view words = option.description;
        bool first = true;
        while (!words.empty()) {
            const std::size_t end = std::min(words.find(' '), words.size());
            const std::string_view word = words.substr(0, end);
            if (!first && line.size() + 1 + word.size() > HelpWidth) {
                help += line + "\n";
                line.assign(indent, ' ');
                first = true;
            }
            if (!first)
                line += ' ';
            line += word;
            first = false;
            words.remove_prefix(std::min(end + 1, words.size()));
        }
        help += line + "\n";
    }
    return help;
}

const Option* FindOption(std::string_view name)
{
    for (const Option& option : Options)
        if (Offered(option) && (name == option.name || (name.size() == 1 && name[0] == option.letter)))
            return &option;
    if (name == "?" || name == "help-all")
        return &Options[0];
    return nullptr;
}

CommandLine Done(int exitStatus)
{
    CommandLine command;
    command.done = true;
    command.exitStatus = exitStatus;
    return command;
}

CommandLine Usage(const std::string& problem)
{
    return Done(UsageError(problem));
}

CommandLine Print(const std::string& text)
{
    const int error = WriteStandardOutput(text);
    return Done(error == 0 ? 0 : Fail(StandardOutputProblem(error), ExitFailure));
}

// One number of a --point value, the whole text: false when it is not.
bool ReadNumber(std::string_view text, double& value)
{
    const char* end = text.data() + text.size();
    const std::from_chars_result read = std::from_chars(text.data(), end, value);
    return !text.empty() && read.ec == std::errc() && read.ptr == end;
}

// A --point value "T,P"; empty with the problem when it is not usable.
std::string ReadPoint(std::string_view text, PointInput& point)
{
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos || !ReadNumber(text.substr(0, comma), point.temperature) ||
        !ReadNumber(text.substr(comma + 1), point.pressure))
        return "--point " + QuotedName(text) + ": expected T,P, two numbers (T in K, P in bar)";
    if (const std::string problem = condition::ConditionInputProblem(point.temperature, point.pressure);
        !problem.empty())
        return "--point " + QuotedName(text) + ": " + problem;
    return {};
}

bool IsChartPictureName(std::string_view fileName)
{
    const std::string name = LastComponentOf(fileName);
    if (fileName.empty() || fileName.back() == '/' || name.size() < 4)
        return false;
    std::string suffix = name.substr(name.size() - 4);
    for (char& c : suffix)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return suffix == ".png" || suffix == ".svg";
}

} // namespace

void Say(const std::string& text)
{
    const std::string line = "envelope: " + text + "\n";
    // One write, so that the line arrives whole.
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, line.data(), line.size());
}

int Fail(const std::string& problem, int status)
{
    Say(problem);
    return status;
}

int OutOfMemory()
{
    // Nothing allocated: there may be nothing left to allocate.
    static constexpr char line[] = "envelope: out of memory\n";
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, line, sizeof line - 1);
    return ExitFailure;
}

int UsageError(const std::string& problem)
{
    return Fail(problem, ExitUsage);
}

CommandLine ParseCommandLine(int argc, char* argv[])
{
    // Each option given, by name, with its value; a repeatable option's
    // values in the order given.
    std::map<std::string, std::string> given;
    std::map<std::string, std::vector<std::string>> repeated;
    for (int index = 1; index < argc; ++index) {
        const std::string_view argument = argv[index];
        if (argument.size() < 2 || argument[0] != '-' || argument == "--") {
            const int stray = argument == "--" ? index + 1 : index;
            if (stray < argc)
                return Usage("unexpected argument " + QuotedName(argv[stray]));
            break;
        }
        const std::string_view spelled = argument.substr(0, argument.find('='));
        const std::string_view name = spelled.substr(spelled[1] == '-' ? 2 : 1);
        const Option* option = FindOption(name);
        if (option == nullptr || (spelled[1] != '-' && name.size() != 1))
            return Usage("Unknown option " + QuotedName(name));
        std::string value;
        if (spelled.size() < argument.size()) {
            if (option->value == nullptr)
                return Usage("Unexpected value after " + QuotedName(spelled));
            value = argument.substr(spelled.size() + 1);
        } else if (option->value != nullptr) {
            if (index + 1 >= argc)
                return Usage("Missing value after " + QuotedName(spelled));
            value = argv[++index];
        }
        if (option->repeatable)
            repeated[option->name].push_back(value);
        else if (!given.emplace(option->name, value).second)
            return Usage(QuotedName(std::string("--") + option->name) + " is given more than once");
        if (option->value != nullptr && value.empty() && !option->repeatable)
            return Usage(std::string("--") + option->name + " needs a " + option->value + " name");
    }

    if (given.count("help") != 0)
        return Print(HelpText());
    if (given.count("version") != 0)
        return Print("Envelope " ENVELOPE_VERSION "\n");

    CommandLine command;
    command.csvDirectory = given["csv"];
    command.chartFile = given["chart"];
    command.caseFile = given["case"];
    if (!command.chartFile.empty() && !IsChartPictureName(command.chartFile))
        return Usage("unsupported chart format " + QuotedName(command.chartFile) +
                     ": the name must end in .png or .svg");
    command.traceOnly = given.count("trace-only") != 0;
    command.trace = given.count("trace") != 0 || command.traceOnly;
    for (const std::string& value : repeated["point"]) {
        PointInput point;
        if (const std::string problem = ReadPoint(value, point); !problem.empty())
            return Usage(problem);
        command.points.push_back(point);
    }
    if (given.count("eos") != 0) {
        command.eos = EosKindNamed(given["eos"]);
        if (!command.eos)
            return Usage("unknown equation of state " + QuotedName(given["eos"]) +
                         " after --eos (known: SRK, PR, PR78)");
    }
    command.headless = given.count("headless") != 0 || !command.csvDirectory.empty() || !command.chartFile.empty() ||
                       !command.points.empty() || command.trace || command.traceOnly;
    return command;
}

} // namespace envelope
