// quorvane-report: counts a log with the same tallies as the windows and prints the tables.
#include "report.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <optional>

#include "quorvane/counting_rules.h"
#include "quorvane/errors.h"
#include "quorvane/log_counts.h"
#include "quorvane/message_text.h"
#include "quorvane/report_format.h"

namespace quorvane::report {

namespace {

const char kUsage[] =
    "usage: quorvane-report [--rules exact|adif] [--json] [--table band-mode|continent|qsl]... "
    "LOG\n"
    "\n"
    "Counts the contacts of the ADIF log LOG and prints the band/mode table, the continent\n"
    "table and the QSL Rcvd/Sent row, as the Quorvane windows show them.\n"
    "\n"
    "  --rules exact   (the default) count as quorvane does: each line of the log is searched\n"
    "                  for tags written exactly as <BAND:3>20M or <MODE:2>CW, and a contact\n"
    "                  counts only when its tags stand on one line\n"
    "  --rules adif    count as quorvane-adif does: read the log as ADIF fields in any letter\n"
    "                  case and layout (<band:3>20m, one field per line), record by record up\n"
    "                  to each <EOR>, with the band also from FREQ and modes with their\n"
    "                  submodes (USB is SSB, FT4 is digital)\n"
    "                  Pick adif for logs from today's logging programs; pick exact to see\n"
    "                  what quorvane itself shows.\n"
    "  --json          print the counters as one JSON object instead of text tables\n"
    "  --table NAME    print only this table and run only its tally (repeatable):\n"
    "                  band-mode, continent or qsl\n"
    "  --help          show this help and exit\n"
    "\n"
    "Exit status: 0 counted, 1 usage error, 2 the log could not be read or counted.\n";

struct TableOption {
    std::string_view name;
    bool TableChoice::*chosen;
};
constexpr std::array<TableOption, 3> kTables{{
    {"band-mode", &TableChoice::bandMode},
    {"continent", &TableChoice::continent},
    {"qsl", &TableChoice::qsl},
}};

// Writes the output and makes sure that it got out: a full disk is an error like any other.
int WriteOutput(std::ostream& out, std::ostream& err, const std::string& text) {
    errno = 0;
    out << text;
    out.flush();
    if (out) return 0;
    const int error = errno;
    err << "quorvane-report: cannot write the output";
    if (error != 0) err << ": " << std::strerror(error);
    err << '\n';
    return 2;
}

int UsageError(std::ostream& err, const std::string& message) {
    err << "quorvane-report: " << message << "\n"
        << "Try 'quorvane-report --help' for more information.\n";
    return 1;
}

// The value of an option written "--name VALUE" or "--name=VALUE" at args[i], moving i past it:
// nullopt when args[i] is not this option (always after "--"), an empty optional when its
// value is missing.
std::optional<std::optional<std::string>> OptionValue(const std::vector<std::string>& args,
                                                      std::size_t& i, const std::string& name,
                                                      bool optionsEnded) {
    const std::string& arg = args[i];
    if (optionsEnded) return std::nullopt;
    if (arg.rfind(name + "=", 0) == 0) return std::optional(arg.substr(name.size() + 1));
    if (arg != name) return std::nullopt;
    if (i + 1 == args.size()) return std::optional<std::string>();
    return std::optional(args[++i]);
}

}  // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    bool json = false;
    const CountingRules* rules = &ExactRules();
    TableChoice wanted{.bandMode = false, .continent = false, .qsl = false};
    bool anyTable = false;
    std::optional<std::string> path;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && arg == "--help") {
            return WriteOutput(out, err, kUsage);
        } else if (!optionsEnded && arg == "--json") {
            json = true;
        } else if (const auto name = OptionValue(args, i, "--table", optionsEnded)) {
            if (!*name) return UsageError(err, "--table needs a name");
            const auto it = std::find_if(kTables.begin(), kTables.end(),
                                         [&](const TableOption& t) { return t.name == **name; });
            if (it == kTables.end())
                return UsageError(err, "unknown table '" + EscapeForMessage(**name) +
                                           "' (band-mode, continent or qsl)");
            wanted.*(it->chosen) = true;
            anyTable = true;
        } else if (const auto name = OptionValue(args, i, "--rules", optionsEnded)) {
            if (!*name) return UsageError(err, "--rules needs a name");
            rules = RulesNamed(**name);
            if (!rules)
                return UsageError(
                    err, "unknown rules '" + EscapeForMessage(**name) + "' (exact or adif)");
        } else if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            return UsageError(err, "unknown option '" + EscapeForMessage(arg) + "'");
        } else if (path) {
            return UsageError(err, "one log at a time");
        } else {
            path = arg;
        }
    }
    if (!path) return UsageError(err, "no log given");
    if (!anyTable) wanted = TableChoice{};

    LogCounts counts;
    try {
        counts = *CountLog(*path, *rules, wanted);
    } catch (const LogError& e) {
        err << "quorvane-report: " << e.what() << '\n';
        return 2;
    } catch (const TallyError& e) {
        err << "quorvane-report: '" << EscapeForMessage(*path) << "': " << e.what() << '\n';
        return 2;
    }
    return WriteOutput(
        out, err, json ? ReportJson(*path, *rules, counts) : ReportText(*path, *rules, counts));
}

}  // namespace quorvane::report
