// The exact rules, which are the tallies' own scans, the tables counted one scan after the
// other, and the list of both sets of rules; the ADIF field rules are in adif_field_rules.cpp.
#include "quorvane/counting_rules.h"

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
