#include "quorvane/log_counts.h"

#include "scan_session.h"

namespace quorvane {

std::optional<LogCounts> CountLog(const std::string& path, const CountingRules& rules,
                                  const TableChoice& tables, const ScanHooks& hooks) {
    LogCounts counts;
    if (tables.bandMode) {
        BandModeTally& tally = counts.bandMode.emplace();
        LogLineScanner log(hooks.blockSize);
        bool completed;
        {
            const detail::ScanSession session(log, path, hooks);
            completed = rules.ScanBandMode(tally, log, hooks.yield);
        }
        if (!completed) return std::nullopt;
        tally.FormTotals();
    }
    if (tables.continent) {
        ContinentBandTally& tally = counts.continent.emplace();
        if (!rules.ScanContinentBands(tally, path, hooks)) return std::nullopt;
        for (int c = 1; c <= static_cast<int>(kContinentCount); ++c) tally.ContinentTotal(c);
    }
    if (tables.qsl) rules.CountQsl(counts.qsl.emplace(), path, hooks);
    return counts;
}

void ForEachCounter(const LogCounts& counts, const CounterVisitor& visit) {
    if (const auto& t = counts.bandMode) {
        for (std::size_t m = 0; m < kModeClassCount; ++m)
            for (std::size_t b = 0; b < kBandCount; ++b)
                visit(kBandModeSection, BandModeTally::CounterName(m, b), t->Counter(m, b));
        for (std::size_t m = 0; m < kModeClassCount; ++m)
            visit(kBandModeSection, BandModeTally::ClassTotalName(m),
                  *t.*BandModeTally::kClassTotals[m]);
        for (std::size_t b = 0; b < kBandCount; ++b)
            visit(kBandModeSection, BandModeTally::BandTotalName(b),
                  *t.*BandModeTally::kBandTotals[b]);
        visit(kBandModeSection, "Total", t->Total);
        visit(kBandModeSection, "OthersTotal", t->OthersTotal);
    }
    if (const auto& t = counts.continent) {
        for (std::size_t c = 0; c < kContinentCount; ++c)
            for (std::size_t b = 0; b < kBandCount; ++b)
                visit(kContinentSection, ContinentBandTally::CounterName(c, b), t->Counter(c, b));
        for (std::size_t c = 0; c < kContinentCount; ++c)
            visit(kContinentSection, ContinentBandTally::TotalName(c),
                  *t.*ContinentBandTally::kTotals[c]);
    }
    if (const auto& t = counts.qsl) {
        for (std::size_t f = 0; f < kQslFieldCount; ++f)
            visit(kQslSection, QslFields[f].name, t->Counter(f));
    }
}

}  // namespace quorvane
