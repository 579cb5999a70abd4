#include "quorvane/log_counts.h"

namespace quorvane {

namespace {

LogCounts EmptyTables(const CountingRules& rules, const TableChoice& tables) {
    LogCounts counts;
    if (tables.bandMode) counts.bandMode.emplace();
    if (tables.continent) counts.continent.emplace();
    if (tables.qsl) counts.qsl.emplace();
    if (tables.awards && rules.ReadsRecords()) counts.awards.emplace();
    counts.range = rules.Range();
    return counts;
}

void FormTotals(LogCounts& counts) {
    if (counts.bandMode) counts.bandMode->FormTotals();
    if (counts.continent)
        for (int c = 1; c <= static_cast<int>(kContinentCount); ++c)
            counts.continent->ContinentTotal(c);
    if (counts.awards) counts.awards->FormTotals();
}

}  // namespace

std::optional<LogCounts> CountLog(const std::string& path, const CountingRules& rules,
                                  const TableChoice& tables, const ScanHooks& hooks) {
    LogCounts counts = EmptyTables(rules, tables);
    if (!rules.CountTables(counts, path, hooks)) return std::nullopt;
    FormTotals(counts);
    return counts;
}

LogFeed::LogFeed(const CountingRules& rules, const TableChoice& tables)
    : counts_(EmptyTables(rules, tables)), feed_(rules.FeedTables(counts_)) {}

LogCounts LogFeed::Finish() {
    feed_->Finish();
    FormTotals(counts_);
    return std::move(counts_);
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
