// The ADIF field rules: whole records read by AdifReader, classified by their values and
// counted into the three tallies.
#include "quorvane/adif_field_rules.h"

#include <algorithm>

#include "adif_enums.h"
#include "adif_key.h"
#include "quorvane/checked.h"
#include "quorvane/counting_rules.h"
#include "quorvane/log_counts.h"
#include "scan_session.h"

namespace quorvane {

namespace adif {

namespace {

// The value without trailing spaces (the reader has dropped the leading ones); nullopt for a
// value too long to be any that the rules name.
std::optional<std::string_view> ValueText(const AdifRecord::Value& value) {
    if (value.tooLong) return std::nullopt;
    std::size_t n = value.length;
    while (n > 0 && value.text[n - 1] == ' ') --n;
    return std::string_view(value.text, n);
}

// The key of the value's text; for a text longer than a key holds, a key that no name has.
AdifKey KeyOf(const AdifRecord::Value& value) {
    static_assert(AdifRecord::kValueLimit >= AdifKey::kLimit);  // At reads kLimit bytes
    const auto text = ValueText(value);
    if (text && text->size() <= AdifKey::kLimit) return AdifKey::At(text->data(), text->size());
    AdifKey none;
    none.length = AdifKey::kLimit + 1;
    return none;
}

}  // namespace

std::optional<Frequency> ParseFrequency(std::string_view s) {
    constexpr std::uint64_t kMaxWhole = 1'000'000'000;  // MHz; no band is near it
    std::uint64_t whole = 0, fraction = 0;
    std::size_t i = 0, digits = 0, decimals = 0;
    bool beyond = false;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, ++digits) {
        whole = whole * 10 + static_cast<std::uint64_t>(s[i] - '0');
        if (whole >= kMaxWhole) return std::nullopt;
    }
    if (i < s.size() && s[i] == '.') {
        for (++i; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, ++digits) {
            if (decimals < 9) {
                fraction = fraction * 10 + static_cast<std::uint64_t>(s[i] - '0');
                ++decimals;
            } else if (s[i] != '0') {
                beyond = true;
            }
        }
    }
    if (i != s.size() || digits == 0) return std::nullopt;
    for (; decimals < 9; ++decimals) fraction *= 10;
    return Frequency{whole * 1'000'000'000 + fraction, beyond};
}

std::optional<std::size_t> BandAtFrequency(const AdifRecord::Value& freq) {
    const auto text = ValueText(freq);
    const auto f = text ? ParseFrequency(*text) : std::nullopt;
    if (!f) return std::nullopt;
    for (std::size_t b = 0; b < kBandCount; ++b) {
        const BandEdges& e = kBandEdges[b];
        if (f->nano >= e.lower && (f->nano < e.upper || (f->nano == e.upper && !f->beyond)))
            return b;
    }
    return std::nullopt;
}

constexpr auto kBandKeys = [] {
    std::array<AdifKey, kBandCount> keys{};
    for (std::size_t b = 0; b < kBandCount; ++b) keys[b] = *AdifKey::Of(BandTable[b].label);
    return keys;
}();

std::optional<std::size_t> BandNamed(const AdifRecord::Value& band) {
    const AdifKey key = KeyOf(band);
    for (std::size_t b = 0; b < kBandCount; ++b)
        if (kBandKeys[b] == key) return b;
    return std::nullopt;
}

namespace {

// Index into ModeClasses of an ADIF mode: CW; SSB, AM, FM and digital voice are phone; every
// other mode is digital.
std::size_t ClassOfMode(std::string_view mode) {
    if (mode == "CW") return 0;
    return mode == "SSB" || mode == "AM" || mode == "FM" || mode == "DIGITALVOICE" ? 2 : 1;
}

// The mode class of every ADIF mode and submode name, by a hash table built at start-up.
class ModeTable {
  public:
    ModeTable() {
        for (const ModeName& m : kModeNames) {
            const AdifKey key = *AdifKey::Of(m.name);
            std::size_t slot = Slot(key);
            while (used_[slot]) slot = (slot + 1) & kMask;
            used_[slot] = true;
            keys_[slot] = key;
            classes_[slot] = static_cast<std::uint8_t>(ClassOfMode(m.mode));
        }
    }
    std::optional<std::size_t> ClassOf(const AdifKey& key) const {
        for (std::size_t slot = Slot(key); used_[slot]; slot = (slot + 1) & kMask)
            if (keys_[slot] == key) return classes_[slot];
        return std::nullopt;
    }

  private:
    static constexpr std::size_t kSlots = 1024, kMask = kSlots - 1;  // at most a quarter full
    static_assert(kModeNames.size() * 4 <= kSlots);
    static std::size_t Slot(const AdifKey& k) {
        return static_cast<std::size_t>((k.Mixed() * 0xff51afd7ed558ccdULL) >> 54) & kMask;
    }
    std::array<bool, kSlots> used_{};
    std::array<AdifKey, kSlots> keys_{};
    std::array<std::uint8_t, kSlots> classes_{};
};

const ModeTable kModeTable;  // kModeNames is constant, and so ready before it

}  // namespace

std::optional<std::size_t> ModeClassNamed(const AdifRecord::Value& mode) {
    return kModeTable.ClassOf(KeyOf(mode));
}

}  // namespace adif

namespace {

using adif::ValueText;

// ---- classifying a record by its values

bool NotEmpty(const AdifRecord::Value* v) {
    if (!v) return false;
    const auto text = ValueText(*v);
    return !text || !text->empty();
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c | 0x20) : c; }

bool SameLetters(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return Lower(x) == Lower(y); });
}

bool Is(const AdifRecord::Value* v, std::string_view expected) {
    if (!v) return false;
    const auto text = ValueText(*v);
    return text && SameLetters(*text, expected);
}

// The band from BAND, or from FREQ when BAND is missing or blank.
std::optional<std::size_t> ListedBand(const AdifRecord& r) {
    if (const AdifRecord::Value* band = r.Get(AdifField::Band); NotEmpty(band))
        return adif::BandNamed(*band);
    const AdifRecord::Value* freq = r.Get(AdifField::Freq);
    return NotEmpty(freq) ? adif::BandAtFrequency(*freq) : std::nullopt;
}

bool HasBand(const AdifRecord& r) {
    return NotEmpty(r.Get(AdifField::Band)) || NotEmpty(r.Get(AdifField::Freq));
}

// The mode class from MODE, or from SUBMODE when MODE is missing or empty; a submode, also
// written as the mode, counts as its mode.
std::optional<std::size_t> ModeClassOf(const AdifRecord& r) {
    const AdifRecord::Value* v = r.Get(AdifField::Mode);
    if (!NotEmpty(v)) v = r.Get(AdifField::Submode);
    return v ? adif::ModeClassNamed(*v) : std::nullopt;
}

std::optional<std::size_t> ContinentOf(const AdifRecord& r) {
    const AdifRecord::Value* cont = r.Get(AdifField::Cont);
    for (std::size_t c = 0; c < kContinentCount; ++c)
        if (Is(cont, Continents[c].code)) return c;
    return std::nullopt;
}

// ---- the three tallies, record by record

class BandModeRecords final : public AdifRecordSink {
  public:
    explicit BandModeRecords(BandModeTally& tally) : tally_(tally) {}
    void OnRecord(const AdifRecord& r) override {
        const auto band = ListedBand(r);
        const auto modeClass = band ? ModeClassOf(r) : std::nullopt;
        if (band && modeClass) {
            CheckedIncrement(tally_.Counter(*modeClass, *band),
                             BandModeTally::CounterName(*modeClass, *band));
        } else if (HasBand(r)) {
            CheckedIncrement(tally_.OthersTotal, "OthersTotal");
        }
    }

  private:
    BandModeTally& tally_;
};

class ContinentRecords final : public AdifRecordSink {
  public:
    explicit ContinentRecords(ContinentBandTally& tally) : tally_(tally) {}
    void OnRecord(const AdifRecord& r) override {
        const auto continent = ContinentOf(r);
        const auto band = continent ? ListedBand(r) : std::nullopt;
        if (band) {
            CheckedIncrement(tally_.Counter(*continent, *band),
                             ContinentBandTally::CounterName(*continent, *band));
        }
    }

  private:
    ContinentBandTally& tally_;
};

// QslFields and the six confirmation fields of AdifField are in the same order.
class QslRecords final : public AdifRecordSink {
  public:
    explicit QslRecords(QslTally& tally) : tally_(tally) {}
    void OnRecord(const AdifRecord& r) override {
        for (std::size_t f = 0; f < kQslFieldCount; ++f) {
            const auto field =
                static_cast<AdifField>(static_cast<std::size_t>(AdifField::QslSent) + f);
            if (Is(r.Get(field), "Y")) CheckedIncrement(tally_.Counter(f), QslFields[f].name);
        }
    }

  private:
    QslTally& tally_;
};

// Every table that `counts` holds, from the same records.
class TableRecords final : public AdifRecordSink {
  public:
    explicit TableRecords(LogCounts& counts) {
        if (counts.bandMode) bandMode_.emplace(*counts.bandMode);
        if (counts.continent) continent_.emplace(*counts.continent);
        if (counts.qsl) qsl_.emplace(*counts.qsl);
    }
    void OnRecord(const AdifRecord& r) override {
        if (bandMode_) bandMode_->OnRecord(r);
        if (continent_) continent_->OnRecord(r);
        if (qsl_) qsl_->OnRecord(r);
    }

  private:
    std::optional<BandModeRecords> bandMode_;
    std::optional<ContinentRecords> continent_;
    std::optional<QslRecords> qsl_;
};

bool ReadRecords(LogLineScanner& log, AdifRecordSink& sink, const YieldHook& yield) {
    AdifReader reader(sink);
    return log.ReadBlocks(
        [&reader](const char* data, std::size_t size) { reader.Feed(data, size); }, yield);
}

// Every table from records of a log handed over block by block.
class RecordsFeed final : public TableFeed {
  public:
    explicit RecordsFeed(LogCounts& counts) : sink_(counts), reader_(sink_) {}
    void Feed(const char* data, std::size_t size) override { reader_.Feed(data, size); }
    void Finish() override {}

  private:
    TableRecords sink_;
    AdifReader reader_;
};

class AdifCountingRules final : public CountingRules {
  public:
    std::string_view Name() const override { return "adif"; }
    std::string_view Title() const override { return "ADIF field rules"; }
    std::string_view CaptionNote() const override { return "ADIF fields"; }

    bool ScanBandMode(BandModeTally& tally, LogLineScanner& log,
                      const YieldHook& yield) const override {
        BandModeRecords sink(tally);
        return ReadRecords(log, sink, yield);
    }
    // Open, reset, then tell the caller, as the exact continent scan does.
    bool ScanContinentBands(ContinentBandTally& tally, const std::string& path,
                            const ScanHooks& hooks) const override {
        LogLineScanner log(hooks.blockSize);
        detail::ScanSession session(log, path, hooks, [&tally] { tally = ContinentBandTally{}; });
        ContinentRecords sink(tally);
        return ReadRecords(log, sink, hooks.yield);
    }
    // One pass is enough here; like the exact QSL tally, it never yields.
    void CountQsl(QslTally& tally, const std::string& path, const ScanHooks& hooks) const override {
        tally = QslTally{};
        LogLineScanner log(hooks.blockSize);
        detail::ScanSession session(log, path, hooks);
        QslRecords sink(tally);
        ReadRecords(log, sink, {});
    }
    // A record holds all that every table needs, so one reading counts them all.
    bool CountTables(LogCounts& counts, const std::string& path,
                     const ScanHooks& hooks) const override {
        LogLineScanner log(hooks.blockSize);
        detail::ScanSession session(log, path, hooks);
        TableRecords sink(counts);
        return ReadRecords(log, sink, hooks.yield);
    }
    std::unique_ptr<TableFeed> FeedTables(LogCounts& counts) const override {
        return std::make_unique<RecordsFeed>(counts);
    }
};

const AdifCountingRules kAdif;

}  // namespace

const CountingRules& AdifFieldRules() { return kAdif; }

}  // namespace quorvane
