// The continent-by-band scan and the continent totals.
#include "quorvane/continent_band_tally.h"

#include <vector>

#include "quorvane/checked.h"
#include "scan_session.h"

namespace quorvane {

using T = ContinentBandTally;

const std::array<std::array<T::Field, kBandCount>, kContinentCount> T::kCounters{{
    {&T::AF6, &T::AF10, &T::AF12, &T::AF15, &T::AF17, &T::AF20, &T::AF30, &T::AF40, &T::AF80,
     &T::AF160},
    {&T::AN6, &T::AN10, &T::AN12, &T::AN15, &T::AN17, &T::AN20, &T::AN30, &T::AN40, &T::AN80,
     &T::AN160},
    {&T::AS6, &T::AS10, &T::AS12, &T::AS15, &T::AS17, &T::AS20, &T::AS30, &T::AS40, &T::AS80,
     &T::AS160},
    {&T::EU6, &T::EU10, &T::EU12, &T::EU15, &T::EU17, &T::EU20, &T::EU30, &T::EU40, &T::EU80,
     &T::EU160},
    {&T::NA6, &T::NA10, &T::NA12, &T::NA15, &T::NA17, &T::NA20, &T::NA30, &T::NA40, &T::NA80,
     &T::NA160},
    {&T::OC6, &T::OC10, &T::OC12, &T::OC15, &T::OC17, &T::OC20, &T::OC30, &T::OC40, &T::OC80,
     &T::OC160},
    {&T::SA6, &T::SA10, &T::SA12, &T::SA15, &T::SA17, &T::SA20, &T::SA30, &T::SA40, &T::SA80,
     &T::SA160},
}};
const std::array<T::Field, kContinentCount> T::kTotals{
    &T::AFtotal, &T::ANtotal, &T::AStotal, &T::EUtotal, &T::NAtotal, &T::OCtotal, &T::SAtotal};

namespace {

// Tag bits: the ten bands in table order, then the seven continents.
constexpr TagBits kBandBits = (TagBits{1} << kBandCount) - 1;
constexpr unsigned kContinentShift = kBandCount;

const TagMatcher& Matcher() {
    static const TagMatcher matcher = [] {
        std::vector<TagLiteral> tags;
        for (std::size_t b = 0; b < kBandCount; ++b)
            tags.push_back({BandTable[b].tag, TagBits{1} << b});
        for (std::size_t c = 0; c < kContinentCount; ++c)
            tags.push_back({Continents[c].tag, TagBits{1} << (kContinentShift + c)});
        return TagMatcher(tags);
    }();
    return matcher;
}

const std::array<std::array<std::string, kBandCount>, kContinentCount>& CounterNames() {
    static const auto names = [] {
        std::array<std::array<std::string, kBandCount>, kContinentCount> n;
        for (std::size_t c = 0; c < kContinentCount; ++c)
            for (std::size_t b = 0; b < kBandCount; ++b)
                n[c][b] = std::string(Continents[c].code) + std::to_string(BandTable[b].number);
        return n;
    }();
    return names;
}

class ContinentSink final : public LineSink {
  public:
    explicit ContinentSink(ContinentBandTally& tally) : tally_(tally), names_(CounterNames()) {}

    void OnLine(TagBits tags) override {
        const TagBits bands = tags & kBandBits;
        const TagBits continents = tags >> kContinentShift;
        if (bands == 0 || continents == 0) return;
        const auto band = static_cast<std::size_t>(__builtin_ctz(bands));
        const auto continent = static_cast<std::size_t>(__builtin_ctz(continents));
        CheckedIncrement(tally_.Counter(continent, band), names_[continent][band]);
    }

  private:
    ContinentBandTally& tally_;
    const std::array<std::array<std::string, kBandCount>, kContinentCount>& names_;
};

}  // namespace

bool ContinentBandTally::ScanContinentBands(const std::string& path, const ScanHooks& hooks) {
    LogLineScanner log(hooks.blockSize);
    detail::ScanSession session(log, path, hooks, [this] { *this = ContinentBandTally{}; });
    const LineReading lines = Reading();
    return log.Scan(*lines.matcher, *lines.sink, hooks.yield);
}

LineReading ContinentBandTally::Reading() {
    return {&Matcher(), std::make_unique<ContinentSink>(*this)};
}

std::int32_t ContinentBandTally::ContinentTotal(int continent) {
    const auto c = static_cast<std::size_t>(continent - 1);
    if (continent < 1 || c >= kContinentCount) throw std::out_of_range("continent 1 to 7");
    const std::string name = TotalName(c);
    std::int32_t sum = 0;
    for (std::size_t b = 0; b < kBandCount; ++b) sum = CheckedAdd(sum, Counter(c, b), name);
    return this->*kTotals[c] = sum;
}

const std::string& ContinentBandTally::CounterName(std::size_t continent, std::size_t band) {
    return CounterNames()[continent][band];
}

std::string ContinentBandTally::TotalName(std::size_t continent) {
    return std::string(Continents[continent].code) + "total";
}

}  // namespace quorvane
