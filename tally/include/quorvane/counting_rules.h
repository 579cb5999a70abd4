// The two sets of counting rules. Each window and the report tool is given one set when it is
// made and counts every scan by it.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "quorvane/award_tally.h"
#include "quorvane/band_mode_tally.h"
#include "quorvane/continent_band_tally.h"
#include "quorvane/log_line_scanner.h"
#include "quorvane/qsl_tally.h"

namespace quorvane {

struct LogCounts;

// Tables counted from a log that the caller reads itself and hands over in blocks of any size
// (the web page reads the user's file with the browser's reader). One reading of the log is
// enough whatever the rules; the counts are those that CountTables makes.
class TableFeed {
  public:
    virtual ~TableFeed() = default;
    // The next bytes of the log. Raises CounterOverflow.
    virtual void Feed(const char* data, std::size_t size) = 0;
    // The log has ended. Raises CounterOverflow.
    virtual void Finish() = 0;
};

class CountingRules {
  public:
    virtual ~CountingRules() = default;

    virtual std::string_view Name() const = 0;         // on the command line: "exact", "adif"
    virtual std::string_view Title() const = 0;        // for people: "exact rules"
    virtual std::string_view CaptionNote() const = 0;  // after a window caption; may be empty
    // Whether the log is read record by record, which the award tables and a range need.
    virtual bool ReadsRecords() const { return false; }
    // The days whose records count; open for rules that do not read records.
    virtual DateRange Range() const { return {}; }

    // The band/mode counters of the open log (the caller has cleared them). Returns false
    // when `yield` stopped the scan.
    virtual bool ScanBandMode(BandModeTally& tally, LogLineScanner& log,
                              const YieldHook& yield) const = 0;
    // As ContinentBandTally::ScanContinentBands.
    virtual bool ScanContinentBands(ContinentBandTally& tally, const std::string& path,
                                    const ScanHooks& hooks) const = 0;
    // As QslTally::Count.
    virtual void CountQsl(QslTally& tally, const std::string& path,
                          const ScanHooks& hooks) const = 0;

    // The counters (not the totals) of the tables that `counts` holds, zeroed before. Each scan
    // above on a fresh opening of the log, in their order, unless the rules can count the
    // tables together in one reading. `hooks` go to every opening. Returns false when the yield
    // hook stopped a scan.
    virtual bool CountTables(LogCounts& counts, const std::string& path,
                             const ScanHooks& hooks) const;

    // The counters (not the totals) of the tables that `counts` holds, zeroed, from a log
    // handed over block by block. `counts` must outlive the feed. The scans that CountTables
    // makes one after another each take every block in turn here, in the same order.
    virtual std::unique_ptr<TableFeed> FeedTables(LogCounts& counts) const;
};

// The program's own rules: each text line is searched for fixed tag literals.
const CountingRules& ExactRules();

// ADIF's tagged format read as such: fields in any letter case and layout, record by record,
// bands also from FREQ, modes with their submodes.
const CountingRules& AdifFieldRules();
// The same, counting only the records of `range` in every table.
std::unique_ptr<const CountingRules> AdifFieldRulesWithin(const DateRange& range);

// By Name(); null for an unknown name.
const CountingRules* RulesNamed(std::string_view name);

}  // namespace quorvane
