// The ADIF field rules: whole records read by AdifReader, kept or left out by their day, and
// counted into the tallies. The values are read in adif_values.cpp and adif_record.h; the award
// tables count in award_tally.cpp.
#include <memory>

#include "adif_record.h"
#include "quorvane/award_tally.h"
#include "quorvane/checked.h"
#include "quorvane/counting_rules.h"
#include "quorvane/log_counts.h"
#include "scan_session.h"

namespace quorvane {

namespace {

using namespace adif;

// ---- the design's three tallies, record by record

// What the tables read of a record, found once for all of them.
struct RecordFacts {
    std::optional<std::size_t> band;        // ADIF's
    std::optional<std::size_t> listedBand;  // of BandTable
    std::optional<std::size_t> modeClass;   // when a table needs it
    std::optional<std::size_t> continent;   // when the continent table is counted
};

class BandModeRecords {
  public:
    explicit BandModeRecords(BandModeTally& tally) : tally_(tally) {}
    void OnRecord(const AdifRecord& r, const RecordFacts& f) {
        if (f.listedBand && f.modeClass) {
            CheckedIncrementNamed(tally_.Counter(*f.modeClass, *f.listedBand), [&f] {
                return BandModeTally::CounterName(*f.modeClass, *f.listedBand);
            });
        } else if (HasBand(r)) {
            CheckedIncrement(tally_.OthersTotal, "OthersTotal");
        }
    }

  private:
    BandModeTally& tally_;
};

class ContinentRecords {
  public:
    explicit ContinentRecords(ContinentBandTally& tally) : tally_(tally) {}
    void OnRecord(const RecordFacts& f) {
        if (!f.continent || !f.listedBand) return;
        CheckedIncrementNamed(tally_.Counter(*f.continent, *f.listedBand), [&f] {
            return ContinentBandTally::CounterName(*f.continent, *f.listedBand);
        });
    }

  private:
    ContinentBandTally& tally_;
};

// QslFields and the six confirmation fields of AdifField are in the same order.
class QslRecords {
  public:
    explicit QslRecords(QslTally& tally) : tally_(tally) {}
    void OnRecord(const AdifRecord& r) {
        for (std::size_t f = 0; f < kQslFieldCount; ++f) {
            const auto field =
                static_cast<AdifField>(static_cast<std::size_t>(AdifField::QslSent) + f);
            if (IsLetter(r.Get(field), 'y')) CheckedIncrement(tally_.Counter(f), QslFields[f].name);
        }
    }

  private:
    QslTally& tally_;
};

// The tallies that records go to; null for those not counted.
struct Tallies {
    BandModeTally* bandMode = nullptr;
    ContinentBandTally* continent = nullptr;
    QslTally* qsl = nullptr;
    AwardTally* awards = nullptr;
    std::int32_t* leftOut = nullptr;  // records without a day, when the range is bounded

    static Tallies Of(LogCounts& counts) {
        return {counts.bandMode ? &*counts.bandMode : nullptr,
                counts.continent ? &*counts.continent : nullptr,
                counts.qsl ? &*counts.qsl : nullptr, counts.awards ? &*counts.awards : nullptr,
                &counts.leftOut};
    }
};

// Every tally of `to`, from the same records, those of the range alone. The day is read only
// where the range or the award tables need it, so that the design's tables alone cost what
// they did before either existed.
class TableRecords final : public AdifRecordSink {
  public:
    TableRecords(const Tallies& to, const DateRange& range)
        : awards_(to.awards), leftOut_(to.leftOut), range_(range) {
        if (to.bandMode) bandMode_.emplace(*to.bandMode);
        if (to.continent) continent_.emplace(*to.continent);
        if (to.qsl) qsl_.emplace(*to.qsl);
    }
    // The fields that the reader needs to keep: the fewer, the less it copies.
    std::uint32_t Fields() const {
        auto bits = [](std::initializer_list<AdifField> fields) {
            std::uint32_t b = 0;
            for (const AdifField f : fields) b |= 1u << static_cast<unsigned>(f);
            return b;
        };
        using enum AdifField;
        std::uint32_t fields = 0;
        if (bandMode_) fields |= bits({Band, Freq, Mode, Submode});
        if (continent_) fields |= bits({Band, Freq, Cont});
        if (qsl_)
            fields |= bits({QslSent, QslRcvd, LotwQslSent, LotwQslRcvd, EqslQslSent, EqslQslRcvd});
        if (awards_)
            fields |=
                bits({Band, Freq, Mode, Submode, Dxcc, QsoDate, QslRcvd, LotwQslRcvd, EqslQslRcvd});
        if (range_.Bounded()) fields |= bits({QsoDate});
        return fields;
    }
    void OnRecord(const AdifRecord& r) override {
        std::optional<Day> day;
        if (range_.Bounded() || awards_) {
            day = DayOf(r);
            if (range_.Bounded() && !day) {
                if (leftOut_) CheckedIncrement(*leftOut_, "leftOut");
                return;
            }
            if (day && !range_.Holds(*day)) return;
        }
        RecordFacts facts;
        if (continent_) facts.continent = ContinentOf(r);
        // The band only where a table takes it: a continent scan not for records without one.
        if (bandMode_ || awards_ || facts.continent) {
            facts.band = AnyBand(r);
            facts.listedBand = ListedOf(facts.band);
            if (awards_ || (bandMode_ && facts.listedBand)) facts.modeClass = ModeClassOf(r);
        }
        if (bandMode_) bandMode_->OnRecord(r, facts);
        if (continent_) continent_->OnRecord(facts);
        if (qsl_) qsl_->OnRecord(r);
        if (awards_) awards_->OnRecord(r, day, facts.band, facts.modeClass);
    }

  private:
    AwardTally* awards_;
    std::int32_t* leftOut_;
    DateRange range_;
    std::optional<BandModeRecords> bandMode_;
    std::optional<ContinentRecords> continent_;
    std::optional<QslRecords> qsl_;
};

bool ReadRecords(LogLineScanner& log, TableRecords& sink, const YieldHook& yield) {
    AdifReader reader(sink, sink.Fields());
    return log.ReadBlocks(
        [&reader](const char* data, std::size_t size) { reader.Feed(data, size); }, yield);
}

// Every table from records of a log handed over block by block.
class RecordsFeed final : public TableFeed {
  public:
    RecordsFeed(LogCounts& counts, const DateRange& range)
        : sink_(Tallies::Of(counts), range), reader_(sink_, sink_.Fields()) {}
    void Feed(const char* data, std::size_t size) override { reader_.Feed(data, size); }
    void Finish() override {}

  private:
    TableRecords sink_;
    AdifReader reader_;
};

class AdifCountingRules final : public CountingRules {
  public:
    explicit AdifCountingRules(const DateRange& range = {}) : range_(range) {}

    std::string_view Name() const override { return "adif"; }
    std::string_view Title() const override { return "ADIF field rules"; }
    std::string_view CaptionNote() const override { return "ADIF fields"; }
    bool ReadsRecords() const override { return true; }
    DateRange Range() const override { return range_; }

    // Each scan below counts its one table of the records in the range.
    bool ScanBandMode(BandModeTally& tally, LogLineScanner& log,
                      const YieldHook& yield) const override {
        TableRecords sink({.bandMode = &tally}, range_);
        return ReadRecords(log, sink, yield);
    }
    // Open, reset, then tell the caller, as the exact continent scan does.
    bool ScanContinentBands(ContinentBandTally& tally, const std::string& path,
                            const ScanHooks& hooks) const override {
        LogLineScanner log(hooks.blockSize);
        detail::ScanSession session(log, path, hooks, [&tally] { tally = ContinentBandTally{}; });
        TableRecords sink({.continent = &tally}, range_);
        return ReadRecords(log, sink, hooks.yield);
    }
    // One pass is enough here; like the exact QSL tally, it never yields.
    void CountQsl(QslTally& tally, const std::string& path, const ScanHooks& hooks) const override {
        tally = QslTally{};
        LogLineScanner log(hooks.blockSize);
        detail::ScanSession session(log, path, hooks);
        TableRecords sink({.qsl = &tally}, range_);
        ReadRecords(log, sink, {});
    }
    // A record holds all that every table needs, so one reading counts them all.
    bool CountTables(LogCounts& counts, const std::string& path,
                     const ScanHooks& hooks) const override {
        LogLineScanner log(hooks.blockSize);
        detail::ScanSession session(log, path, hooks);
        TableRecords sink(Tallies::Of(counts), range_);
        return ReadRecords(log, sink, hooks.yield);
    }
    std::unique_ptr<TableFeed> FeedTables(LogCounts& counts) const override {
        return std::make_unique<RecordsFeed>(counts, range_);
    }

  private:
    DateRange range_;
};

const AdifCountingRules kAdif;

}  // namespace

const CountingRules& AdifFieldRules() { return kAdif; }

std::unique_ptr<const CountingRules> AdifFieldRulesWithin(const DateRange& range) {
    return std::make_unique<AdifCountingRules>(range);
}

}  // namespace quorvane
