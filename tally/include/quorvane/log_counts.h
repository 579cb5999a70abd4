// A whole log counted in one call: the tables asked for, by a set of rules, with their totals;
// and every counter of them by name. The report tool, the web page and the tests count this way.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "quorvane/award_tally.h"
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
    bool awards = false;  // the DXCC and year tables, by rules that read records only
};

// The tables that were counted; the others are empty.
struct LogCounts {
    std::optional<BandModeTally> bandMode{};        // with all its totals
    std::optional<ContinentBandTally> continent{};  // with the seven continent totals
    std::optional<QslTally> qsl{};
    std::optional<AwardTally> awards{};  // with the years formed
    DateRange range{};                   // the rules' range
    std::int32_t leftOut = 0;            // records without a valid day, when it is bounded
};

// Counts the chosen tables of the log at `path` by `rules` (CountingRules::CountTables), then
// forms their totals. `hooks` are passed to every opening of the log. Returns nullopt when the
// yield hook stopped a scan. Raises LogOpenError, LogReadError and CounterOverflow.
std::optional<LogCounts> CountLog(const std::string& path, const CountingRules& rules,
                                  const TableChoice& tables = {}, const ScanHooks& hooks = {});

// A whole log counted from blocks that the caller reads itself (see TableFeed): the counts
// and totals that CountLog makes of the same bytes.
class LogFeed {
  public:
    explicit LogFeed(const CountingRules& rules, const TableChoice& tables = {});
    LogFeed(const LogFeed&) = delete;
    LogFeed& operator=(const LogFeed&) = delete;

    // The next bytes of the log. Raises CounterOverflow.
    void Feed(const char* data, std::size_t size) { feed_->Feed(data, size); }
    // The log has ended: its counts. Call once. Raises CounterOverflow.
    LogCounts Finish();

  private:
    LogCounts counts_;
    std::unique_ptr<TableFeed> feed_;
};

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
