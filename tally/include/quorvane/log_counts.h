// A whole log counted in one call: the tables asked for, by a set of rules, with their totals;
// and every counter of them by name. The report tool, the web page and the tests count this way.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "quorvane/band_mode_tally.h"
#include "quorvane/continent_band_tally.h"
#include "quorvane/counting_rules.h"
#include "quorvane/log_line_scanner.h"
#include "quorvane/qsl_tally.h"

namespace quorvane {

struct TableChoice {
    bool bandMode = true;
    bool continent = true;
    bool qsl = true;
};

// The tables that were counted; the others are empty.
struct LogCounts {
    std::optional<BandModeTally> bandMode{};        // with all its totals
    std::optional<ContinentBandTally> continent{};  // with the seven continent totals
    std::optional<QslTally> qsl{};
};

// Counts the chosen tables of the log at `path` by `rules`: band/mode, then continent, then
// QSL, each on a fresh opening of the log and each with its totals. `hooks` are passed to every
// scan. Returns nullopt when the yield hook stopped a scan. Raises LogOpenError, LogReadError
// and CounterOverflow.
std::optional<LogCounts> CountLog(const std::string& path, const CountingRules& rules,
                                  const TableChoice& tables = {}, const ScanHooks& hooks = {});

// The JSON section of each table.
inline constexpr std::string_view kBandModeSection = "bandMode";
inline constexpr std::string_view kContinentSection = "continent";
inline constexpr std::string_view kQslSection = "qsl";

using CounterVisitor =
    std::function<void(std::string_view section, std::string_view name, std::int32_t value)>;

// Every counter and total of the counted tables, in the order of the report's JSON:
// band/mode ("C6" ... "S160", "Ctotal" ... "Stotal", "Total6" ... "Total160", "Total",
// "OthersTotal"), continent ("AF6" ... "SA160", "AFtotal" ... "SAtotal"), QSL ("QslSent" ...
// "EqslRcvd").
void ForEachCounter(const LogCounts& counts, const CounterVisitor& visit);

}  // namespace quorvane
