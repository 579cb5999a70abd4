// The QSL confirmation tally of the QSL window, and the "##.#%" percentage text.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "quorvane/log_line_scanner.h"
#include "quorvane/tables.h"

namespace quorvane {

// Six counts of lines, one per QslFields tag, made in six separate passes over the log.
// A line raises each counter at most once; the passes never yield.
struct QslTally {
    using Field = std::int32_t QslTally::*;

    std::int32_t QslSent = 0, QslRcvd = 0, LotwSent = 0, LotwRcvd = 0, EqslSent = 0, EqslRcvd = 0;

    static const std::array<Field, kQslFieldCount> kCounters;  // in QslFields order

    std::int32_t& Counter(std::size_t field) { return this->*kCounters[field]; }
    std::int32_t Counter(std::size_t field) const { return this->*kCounters[field]; }

    // Zeroes the counters, then makes the six passes, each on a fresh opening of `path`.
    // Raises LogOpenError, LogReadError and CounterOverflow; the log is closed and
    // `hooks.closed` called in every case once `hooks.opened` was. `hooks.yield` is unused.
    void Count(const std::string& path, const ScanHooks& hooks = {});
    // What the pass of QslFields[field] looks for and counts, for a log read elsewhere
    // (LineScan).
    LineReading Reading(std::size_t field);

    // The channel's cell text: "-" when nothing was sent, else received/sent as "##.#%".
    std::string PercentText(std::size_t channel) const;
};

// received/sent rendered with the pattern "##.#%": 100 times the quotient, rounded to one
// decimal (an exact half away from zero), no leading zero, the "." always, the decimal digit
// only when it is not 0, then "%": 1/2 "50.%", 2/3 "66.7%", 1/1000 ".1%", 0/5 ".%".
// Returns "-" when sent is 0.
std::string FormatRcvdSent(std::int32_t received, std::int32_t sent);

}  // namespace quorvane
