// The exact rules, which are the tallies' own scans, the tables counted one scan after the
// other, and the list of both sets of rules; the ADIF field rules are in adif_field_rules.cpp.
#include "quorvane/counting_rules.h"

#include <optional>
#include <utility>
#include <vector>

#include "quorvane/log_counts.h"
#include "scan_session.h"

namespace quorvane {

bool CountingRules::CountTables(LogCounts& counts, const std::string& path,
                                const ScanHooks& hooks) const {
    if (counts.bandMode) {
        LogLineScanner log(hooks.blockSize);
        const detail::ScanSession session(log, path, hooks);
        if (!ScanBandMode(*counts.bandMode, log, hooks.yield)) return false;
    }
    if (counts.continent && !ScanContinentBands(*counts.continent, path, hooks)) return false;
    if (counts.qsl) CountQsl(*counts.qsl, path, hooks);
    return true;
}

namespace {

// The scans of CountTables side by side, each given every block.
class LineScansFeed final : public TableFeed {
  public:
    explicit LineScansFeed(LogCounts& counts) : bandMode_(counts.bandMode) {
        if (counts.bandMode) Add(counts.bandMode->Reading());
        if (counts.continent) Add(counts.continent->Reading());
        if (counts.qsl)
            for (std::size_t f = 0; f < kQslFieldCount; ++f) Add(counts.qsl->Reading(f));
    }
    void Feed(const char* data, std::size_t size) override {
        for (Reading& r : readings_) r.scan->Feed(data, size);
    }
    void Finish() override {
        for (Reading& r : readings_) r.scan->Finish();
        // As BandModeTally::Scan leaves it.
        if (bandMode_ && readings_.front().scan->readALine())
            bandMode_->mystr = readings_.front().scan->lastLine();
    }

  private:
    struct Reading {
        LineReading lines;
        std::unique_ptr<LineScan> scan;
    };
    void Add(LineReading lines) {
        auto scan = std::make_unique<LineScan>(*lines.matcher, *lines.sink);
        readings_.push_back(Reading{std::move(lines), std::move(scan)});
    }

    std::optional<BandModeTally>& bandMode_;
    std::vector<Reading> readings_;
};

}  // namespace

std::unique_ptr<TableFeed> CountingRules::FeedTables(LogCounts& counts) const {
    return std::make_unique<LineScansFeed>(counts);
}

namespace {

class ExactCountingRules final : public CountingRules {
  public:
    std::string_view Name() const override { return "exact"; }
    std::string_view Title() const override { return "exact rules"; }
    std::string_view CaptionNote() const override { return ""; }
    bool ScanBandMode(BandModeTally& tally, LogLineScanner& log,
                      const YieldHook& yield) const override {
        return tally.Scan(log, yield);
    }
    bool ScanContinentBands(ContinentBandTally& tally, const std::string& path,
                            const ScanHooks& hooks) const override {
        return tally.ScanContinentBands(path, hooks);
    }
    void CountQsl(QslTally& tally, const std::string& path, const ScanHooks& hooks) const override {
        tally.Count(path, hooks);
    }
};

const ExactCountingRules kExact;

}  // namespace

const CountingRules& ExactRules() { return kExact; }

const CountingRules* RulesNamed(std::string_view name) {
    for (const CountingRules* rules : {&ExactRules(), &AdifFieldRules()})
        if (rules->Name() == name) return rules;
    return nullptr;
}

}  // namespace quorvane
