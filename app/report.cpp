// quorvane-report: counts a log with the same tallies as the windows and prints the tables.
#include "report.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <cxxopts.hpp>
#include <memory>
#include <optional>

#include "quorvane/counting_rules.h"
#include "quorvane/errors.h"
#include "quorvane/log_counts.h"
#include "quorvane/message_text.h"
#include "quorvane/report_format.h"

namespace quorvane::report {

namespace {

const char kUsage[] =
    "usage: quorvane-report [--rules exact|adif] [--json | --csv] [--table NAME]...\n"
    "                       [--from DATE] [--to DATE] LOG\n"
    "\n"
    "Counts the contacts of the ADIF log LOG and prints the band/mode table, the continent\n"
    "table and the QSL Rcvd/Sent row, as the Quorvane windows show them; by the ADIF field\n"
    "rules also the DXCC summary and the contacts by year.\n"
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
    "  --csv           print the one table chosen with --table as CSV, for spreadsheets\n"
    "  --table NAME    print only this table and run only its tally (repeatable):\n"
    "                  band-mode, continent or qsl; by the ADIF field rules also dxcc (DXCC\n"
    "                  entities worked and confirmed by mode and band), dxcc-entities (each\n"
    "                  entity worked: W worked, C confirmed by card or LoTW, E by eQSL only)\n"
    "                  or years (contacts, entities and new entities by year)\n"
    "  --from DATE     count only the contacts of this day (QSO_DATE) or later,\n"
    "  --to DATE       or of this day or earlier (YYYY-MM-DD or YYYYMMDD), in every table;\n"
    "                  contacts without a valid date are then left out and their number\n"
    "                  given (ADIF field rules only)\n"
    "  --help          show this help and exit\n"
    "  --version       show the program's name and version and exit\n"
    "\n"
    "Without --table the ADIF field rules print the three tables, the DXCC summary and the\n"
    "years as text, and every table, the entity list included, as JSON.\n"
    "\n"
    "Exit status: 0 counted, 1 usage error, 2 the log could not be read or counted.\n";

enum class Table { BandMode, Continent, Qsl, Dxcc, DxccEntities, Years };
struct TableOption {
    std::string_view name;
    Table table;
    bool award;  // counted by rules that read records only
};
constexpr std::array<TableOption, 6> kTables{{
    {"band-mode", Table::BandMode, false},
    {"continent", Table::Continent, false},
    {"qsl", Table::Qsl, false},
    {"dxcc", Table::Dxcc, true},
    {"dxcc-entities", Table::DxccEntities, true},
    {"years", Table::Years, true},
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

struct UsageFault {
    std::string message;
};

// A day given on the command line: YYYY-MM-DD or YYYYMMDD.
Day DayArgument(std::string_view option, const std::string& text) {
    const auto day = ParseDayGiven(text);
    if (!day)
        throw UsageFault{std::string(option) + " '" + EscapeForMessage(text) +
                         "' is not a date (YYYY-MM-DD or YYYYMMDD, 1930 or later)"};
    return *day;
}

struct Command {
    bool help = false, version = false, json = false, csv = false;
    const CountingRules* rules = &ExactRules();
    std::vector<Table> tables;  // none: the default ones
    DateRange range;
    std::string path;
};

// The options that take a value, and what they want.
constexpr std::array<std::pair<std::string_view, std::string_view>, 4> kValued{
    {{"--table", "a name"}, {"--rules", "a name"}, {"--from", "a date"}, {"--to", "a date"}}};

Command Parse(const std::vector<std::string>& args) {
    cxxopts::Options options("quorvane-report");
    options.allow_unrecognised_options();
    options.add_options()("help", "")("version", "")("json", "")("csv", "")(
        "rules", "", cxxopts::value<std::string>())("table", "",
                                                    cxxopts::value<std::vector<std::string>>())(
        "from", "", cxxopts::value<std::string>())("to", "", cxxopts::value<std::string>())(
        "log", "", cxxopts::value<std::vector<std::string>>());
    options.parse_positional({"log"});

    // An option that wants a value and ends the line has none (the parser would say so in
    // words of its own).
    const auto ended = std::find(args.begin(), args.end(), "--");
    if (ended == args.end() && !args.empty())
        for (const auto& [name, wants] : kValued)
            if (args.back() == name)
                throw UsageFault{std::string(name) + " needs " + std::string(wants)};

    std::vector<const char*> argv{"quorvane-report"};
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    const cxxopts::ParseResult parsed = [&] {
        try {
            return options.parse(static_cast<int>(argv.size()), argv.data());
        } catch (const cxxopts::exceptions::exception& e) {
            throw UsageFault{e.what()};
        }
    }();

    Command c;
    c.help = parsed.count("help") > 0;
    c.version = parsed.count("version") > 0;
    if (c.help || c.version) return c;
    for (const std::string& arg : parsed.unmatched())
        throw UsageFault{"unknown option '" + EscapeForMessage(arg) + "'"};
    c.json = parsed.count("json") > 0;
    c.csv = parsed.count("csv") > 0;
    if (parsed.count("rules")) {
        const std::string name = parsed["rules"].as<std::string>();
        c.rules = RulesNamed(name);
        if (!c.rules)
            throw UsageFault{"unknown rules '" + EscapeForMessage(name) + "' (exact or adif)"};
    }
    if (parsed.count("table")) {
        for (const std::string& name : parsed["table"].as<std::vector<std::string>>()) {
            const auto it = std::find_if(kTables.begin(), kTables.end(),
                                         [&](const TableOption& t) { return t.name == name; });
            if (it == kTables.end())
                throw UsageFault{"unknown table '" + EscapeForMessage(name) +
                                 "' (band-mode, continent, qsl, dxcc, dxcc-entities or years)"};
            if (it->award && !c.rules->ReadsRecords())
                throw UsageFault{"--table " + std::string(name) + " needs --rules adif"};
            if (std::find(c.tables.begin(), c.tables.end(), it->table) == c.tables.end())
                c.tables.push_back(it->table);
        }
    }
    if (parsed.count("from"))
        c.range.from = DayArgument("--from", parsed["from"].as<std::string>());
    if (parsed.count("to")) c.range.to = DayArgument("--to", parsed["to"].as<std::string>());
    if (c.range.Bounded() && !c.rules->ReadsRecords())
        throw UsageFault{"a date range needs --rules adif"};
    if (c.range.from && c.range.to && c.range.from > c.range.to)
        throw UsageFault{"--from " + DayText(c.range.from) + " is after --to " +
                         DayText(c.range.to)};
    if (c.json && c.csv) throw UsageFault{"--json and --csv cannot be given together"};
    if (c.csv && c.tables.size() != 1)
        throw UsageFault{"--csv prints one table: choose it with --table"};

    const auto logs = parsed.count("log") ? parsed["log"].as<std::vector<std::string>>()
                                          : std::vector<std::string>();
    if (logs.empty()) throw UsageFault{"no log given"};
    if (logs.size() > 1) throw UsageFault{"one log at a time"};
    c.path = logs.front();
    return c;
}

bool Chosen(const Command& c, Table t) {
    return std::find(c.tables.begin(), c.tables.end(), t) != c.tables.end();
}

std::string Csv(Table table, const LogCounts& counts) {
    switch (table) {
        case Table::BandMode:
            return GridCsv(BandModeGrid(*counts.bandMode));
        case Table::Continent:
            return GridCsv(ContinentGrid(*counts.continent));
        case Table::Qsl:
            return GridCsv(QslGrid(*counts.qsl));
        case Table::Dxcc:
            return GridCsv(DxccSummaryGrid(*counts.awards));
        case Table::DxccEntities:
            return GridCsv(DxccEntityGrid(*counts.awards));
        case Table::Years:
            return GridCsv(YearsGrid(*counts.awards));
    }
    return {};
}

}  // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    Command c;
    try {
        c = Parse(args);
    } catch (const UsageFault& fault) {
        err << "quorvane-report: " << fault.message << "\n"
            << "Try 'quorvane-report --help' for more information.\n";
        return 1;
    }
    if (c.help) return WriteOutput(out, err, kUsage);
    if (c.version) return WriteOutput(out, err, "quorvane-report " QUORVANE_VERSION "\n");

    const bool awards = c.rules->ReadsRecords();
    TableChoice wanted{.awards = awards};
    AwardSections sections{.dxcc = awards, .entities = awards && c.json, .years = awards};
    if (!c.tables.empty()) {
        wanted = TableChoice{.bandMode = Chosen(c, Table::BandMode),
                             .continent = Chosen(c, Table::Continent),
                             .qsl = Chosen(c, Table::Qsl),
                             .awards = Chosen(c, Table::Dxcc) || Chosen(c, Table::DxccEntities) ||
                                       Chosen(c, Table::Years)};
        sections = {.dxcc = Chosen(c, Table::Dxcc),
                    .entities = Chosen(c, Table::DxccEntities),
                    .years = Chosen(c, Table::Years)};
    }
    std::unique_ptr<const CountingRules> ranged;
    if (c.range.Bounded()) ranged = AdifFieldRulesWithin(c.range);
    const CountingRules& rules = ranged ? *ranged : *c.rules;

    LogCounts counts;
    try {
        counts = *CountLog(c.path, rules, wanted);
    } catch (const LogError& e) {
        err << "quorvane-report: " << e.what() << '\n';
        return 2;
    } catch (const TallyError& e) {
        err << "quorvane-report: '" << EscapeForMessage(c.path) << "': " << e.what() << '\n';
        return 2;
    }
    if (c.csv) return WriteOutput(out, err, Csv(c.tables.front(), counts));
    return WriteOutput(out, err,
                       c.json ? ReportJson(c.path, rules, counts, sections)
                              : ReportText(c.path, rules, counts, sections));
}

}  // namespace quorvane::report
