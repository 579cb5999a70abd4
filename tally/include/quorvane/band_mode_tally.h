// The band-by-mode tally of the main window: thirty band/mode counters, Others and totals.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "quorvane/log_line_scanner.h"
#include "quorvane/tables.h"

namespace quorvane {

// Each line counts into at most one counter, tried in this order: CW on the first listed band
// of the line, then DIG, then PHO; a line that holds a band tag but no such pair is Others.
struct BandModeTally {
    using Field = std::int32_t BandModeTally::*;

    std::int32_t Total6 = 0, Total10 = 0, Total12 = 0, Total15 = 0, Total17 = 0, Total20 = 0,
                 Total30 = 0, Total40 = 0, Total80 = 0, Total160 = 0;
    std::string mystr;  // the last line read by a scan (a bounded prefix of it)
    std::int32_t C6 = 0, C10 = 0, C12 = 0, C15 = 0, C17 = 0, C20 = 0, C30 = 0, C40 = 0, C80 = 0,
                 C160 = 0;
    std::int32_t R6 = 0, R10 = 0, R12 = 0, R15 = 0, R17 = 0, R20 = 0, R30 = 0, R40 = 0, R80 = 0,
                 R160 = 0;
    std::int32_t S6 = 0, S10 = 0, S12 = 0, S15 = 0, S17 = 0, S20 = 0, S30 = 0, S40 = 0, S80 = 0,
                 S160 = 0;
    std::int32_t Ctotal = 0, Rtotal = 0, Stotal = 0, Total = 0, OthersTotal = 0;

    // Counter fields by mode class (ModeClasses order) and band (BandTable order).
    static const std::array<std::array<Field, kBandCount>, kModeClassCount> kCounters;
    static const std::array<Field, kModeClassCount> kClassTotals;  // Ctotal, Rtotal, Stotal
    static const std::array<Field, kBandCount> kBandTotals;        // Total6 ... Total160

    std::int32_t& Counter(std::size_t modeClass, std::size_t band) {
        return this->*kCounters[modeClass][band];
    }
    std::int32_t Counter(std::size_t modeClass, std::size_t band) const {
        return this->*kCounters[modeClass][band];
    }

    // Zeroes the thirty counters, the class totals, Total and OthersTotal; the per-band totals
    // and mystr keep their values until the next totals step and scan.
    void ClearCounters();

    // Counts the lines of an open log. Returns false when `yield` stopped the scan early.
    bool Scan(LogLineScanner& log, const YieldHook& yield = {});
    // What Scan looks for and counts, for a log read elsewhere (LineScan); the caller sets
    // mystr.
    LineReading Reading();

    // The totals, each formed from the counters and stored; raise CounterOverflow.
    std::int32_t FormClassTotal(std::size_t modeClass);
    std::int32_t FormBandTotal(std::size_t band);
    std::int32_t FormTotal();
    // All of them in their order: Ctotal, Rtotal, Stotal, Total6 ... Total160, Total.
    void FormTotals();

    // Counter names as the program spells them: "C20", "Total160", "OthersTotal".
    static const std::string& CounterName(std::size_t modeClass, std::size_t band);
    static std::string ClassTotalName(std::size_t modeClass);
    static std::string BandTotalName(std::size_t band);
};

}  // namespace quorvane
