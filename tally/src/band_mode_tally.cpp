// The band-by-mode classification and its totals.
#include "quorvane/band_mode_tally.h"

#include <vector>

#include "quorvane/checked.h"

namespace quorvane {

using T = BandModeTally;

const std::array<std::array<T::Field, kBandCount>, kModeClassCount> T::kCounters{{
    {&T::C6, &T::C10, &T::C12, &T::C15, &T::C17, &T::C20, &T::C30, &T::C40, &T::C80, &T::C160},
    {&T::R6, &T::R10, &T::R12, &T::R15, &T::R17, &T::R20, &T::R30, &T::R40, &T::R80, &T::R160},
    {&T::S6, &T::S10, &T::S12, &T::S15, &T::S17, &T::S20, &T::S30, &T::S40, &T::S80, &T::S160},
}};
const std::array<T::Field, kModeClassCount> T::kClassTotals{&T::Ctotal, &T::Rtotal, &T::Stotal};
const std::array<T::Field, kBandCount> T::kBandTotals{
    &T::Total6,  &T::Total10, &T::Total12, &T::Total15, &T::Total17,
    &T::Total20, &T::Total30, &T::Total40, &T::Total80, &T::Total160};

namespace {

// Tag bits: the ten bands in table order, then "any band", then one bit per mode class.
constexpr TagBits kBandBits = (TagBits{1} << kBandCount) - 1;
constexpr TagBits kAnyBandBit = TagBits{1} << kBandCount;
constexpr TagBits ModeBit(std::size_t modeClass) {
    return TagBits{1} << (kBandCount + 1 + modeClass);
}

const TagMatcher& Matcher() {
    static const TagMatcher matcher = [] {
        std::vector<TagLiteral> tags;
        for (std::size_t b = 0; b < kBandCount; ++b)
            tags.push_back({BandTable[b].tag, TagBits{1} << b});
        tags.push_back({kAnyBandTag, kAnyBandBit});
        for (std::size_t m = 0; m < kModeClassCount; ++m) {
            for (std::string_view tag : ModeClasses[m].tags) {
                if (!tag.empty()) tags.push_back({tag, ModeBit(m)});
            }
        }
        return TagMatcher(tags);
    }();
    return matcher;
}

// Names are built once, so that raising an overflow is all an increase costs.
struct Names {
    std::array<std::array<std::string, kBandCount>, kModeClassCount> counters;
    Names() {
        for (std::size_t m = 0; m < kModeClassCount; ++m)
            for (std::size_t b = 0; b < kBandCount; ++b)
                counters[m][b] = ModeClasses[m].counterLetter + std::to_string(BandTable[b].number);
    }
};
const Names& CounterNames() {
    static const Names names;
    return names;
}

class BandModeSink final : public LineSink {
  public:
    explicit BandModeSink(BandModeTally& tally) : tally_(tally), names_(CounterNames()) {}

    void OnLine(TagBits tags) override {
        const TagBits bands = tags & kBandBits;
        if (bands != 0) {
            const auto band = static_cast<std::size_t>(__builtin_ctz(bands));
            for (std::size_t m = 0; m < kModeClassCount; ++m) {
                if (tags & ModeBit(m)) {
                    CheckedIncrement(tally_.Counter(m, band), names_.counters[m][band]);
                    return;
                }
            }
        }
        if (tags & kAnyBandBit) CheckedIncrement(tally_.OthersTotal, "OthersTotal");
    }

  private:
    BandModeTally& tally_;
    const Names& names_;
};

}  // namespace

void BandModeTally::ClearCounters() {
    for (auto& row : kCounters)
        for (Field f : row) this->*f = 0;
    for (Field f : kClassTotals) this->*f = 0;
    Total = 0;
    OthersTotal = 0;
}

LineReading BandModeTally::Reading() { return {&Matcher(), std::make_unique<BandModeSink>(*this)}; }

bool BandModeTally::Scan(LogLineScanner& log, const YieldHook& yield) {
    const LineReading lines = Reading();
    const bool completed = log.Scan(*lines.matcher, *lines.sink, yield);
    if (log.readALine()) mystr = log.lastLine();  // an empty log leaves it as it was
    return completed;
}

std::int32_t BandModeTally::FormClassTotal(std::size_t modeClass) {
    const std::string name = ClassTotalName(modeClass);
    std::int32_t sum = 0;
    for (std::size_t b = 0; b < kBandCount; ++b) sum = CheckedAdd(sum, Counter(modeClass, b), name);
    return this->*kClassTotals[modeClass] = sum;
}

std::int32_t BandModeTally::FormBandTotal(std::size_t band) {
    // DIG + CW + PHO, the order in which the band's total has always been added.
    const std::string name = BandTotalName(band);
    std::int32_t sum = CheckedAdd(Counter(1, band), Counter(0, band), name);
    sum = CheckedAdd(sum, Counter(2, band), name);
    return this->*kBandTotals[band] = sum;
}

std::int32_t BandModeTally::FormTotal() {
    std::int32_t sum = CheckedAdd(Ctotal, Rtotal, "Total");
    return Total = CheckedAdd(sum, Stotal, "Total");
}

void BandModeTally::FormTotals() {
    for (std::size_t m = 0; m < kModeClassCount; ++m) FormClassTotal(m);
    for (std::size_t b = 0; b < kBandCount; ++b) FormBandTotal(b);
    FormTotal();
}

const std::string& BandModeTally::CounterName(std::size_t modeClass, std::size_t band) {
    return CounterNames().counters[modeClass][band];
}

std::string BandModeTally::ClassTotalName(std::size_t modeClass) {
    return std::string(1, ModeClasses[modeClass].counterLetter) + "total";
}

std::string BandModeTally::BandTotalName(std::size_t band) {
    return "Total" + std::to_string(BandTable[band].number);
}

}  // namespace quorvane
