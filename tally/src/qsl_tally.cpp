// The six passes of the QSL tally and the percentage text of its table.
#include "quorvane/qsl_tally.h"

#include <vector>

#include "quorvane/checked.h"
#include "scan_session.h"

namespace quorvane {

using T = QslTally;

const std::array<T::Field, kQslFieldCount> T::kCounters{&T::QslSent,  &T::QslRcvd,  &T::LotwSent,
                                                        &T::LotwRcvd, &T::EqslSent, &T::EqslRcvd};

namespace {

class QslSink final : public LineSink {
  public:
    QslSink(std::int32_t& counter, std::string_view name) : counter_(counter), name_(name) {}
    void OnLine(TagBits) override { CheckedIncrement(counter_, name_); }

  private:
    std::int32_t& counter_;
    std::string_view name_;
};

}  // namespace

LineReading QslTally::Reading(std::size_t field) {
    static const auto matchers = [] {
        std::vector<TagMatcher> m;
        for (const QslField& f : QslFields) m.emplace_back(std::vector<TagLiteral>{{f.tag, 1}});
        return m;
    }();
    return {&matchers.at(field), std::make_unique<QslSink>(Counter(field), QslFields[field].name)};
}

void QslTally::Count(const std::string& path, const ScanHooks& hooks) {
    *this = QslTally{};
    LogLineScanner log(hooks.blockSize);
    // The first opening shows the busy notice and the session closes it after the last pass.
    detail::ScanSession session(log, path, hooks);
    for (std::size_t f = 0; f < kQslFieldCount; ++f) {
        if (f > 0) {
            log.Close();
            log.Open(path);
        }
        const LineReading lines = Reading(f);
        log.Scan(*lines.matcher, *lines.sink);
    }
}

std::string QslTally::PercentText(std::size_t channel) const {
    const QslChannel& ch = QslChannels[channel];
    return FormatRcvdSent(Counter(ch.rcvdField), Counter(ch.sentField));
}

std::string FormatRcvdSent(std::int32_t received, std::int32_t sent) {
    if (sent == 0) return std::string(kNoBreakdownText);
    // Tenths of a percent, rounded half away from zero, in exact integer arithmetic.
    const std::int64_t r = received, s = sent;
    const std::int64_t scaled = 2000 * r, divisor = 2 * s;
    const bool negative = (scaled < 0) != (divisor < 0);
    const std::int64_t magnitude =
        ((scaled < 0 ? -scaled : scaled) + (s < 0 ? -s : s)) / (divisor < 0 ? -divisor : divisor);
    const std::int64_t whole = magnitude / 10, tenth = magnitude % 10;
    std::string text = negative && magnitude != 0 ? "-" : "";
    if (whole != 0) text += std::to_string(whole);
    text += '.';
    if (tenth != 0) text += static_cast<char>('0' + tenth);
    text += '%';
    return text;
}

}  // namespace quorvane
