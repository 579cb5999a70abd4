// The continent-by-band tally of the continent window: seventy counters and seven totals.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "quorvane/log_line_scanner.h"
#include "quorvane/tables.h"

namespace quorvane {

// A line counts for the first continent (Continents order) and the first band (BandTable
// order) whose tags it holds; a line lacking either counts nowhere.
struct ContinentBandTally {
    using Field = std::int32_t ContinentBandTally::*;

    std::int32_t AFtotal = 0, ANtotal = 0, AStotal = 0, EUtotal = 0, NAtotal = 0, OCtotal = 0,
                 SAtotal = 0;
    std::int32_t AF6 = 0, AF10 = 0, AF12 = 0, AF15 = 0, AF17 = 0, AF20 = 0, AF30 = 0, AF40 = 0,
                 AF80 = 0, AF160 = 0;
    std::int32_t AN6 = 0, AN10 = 0, AN12 = 0, AN15 = 0, AN17 = 0, AN20 = 0, AN30 = 0, AN40 = 0,
                 AN80 = 0, AN160 = 0;
    std::int32_t AS6 = 0, AS10 = 0, AS12 = 0, AS15 = 0, AS17 = 0, AS20 = 0, AS30 = 0, AS40 = 0,
                 AS80 = 0, AS160 = 0;
    std::int32_t EU6 = 0, EU10 = 0, EU12 = 0, EU15 = 0, EU17 = 0, EU20 = 0, EU30 = 0, EU40 = 0,
                 EU80 = 0, EU160 = 0;
    std::int32_t NA6 = 0, NA10 = 0, NA12 = 0, NA15 = 0, NA17 = 0, NA20 = 0, NA30 = 0, NA40 = 0,
                 NA80 = 0, NA160 = 0;
    std::int32_t OC6 = 0, OC10 = 0, OC12 = 0, OC15 = 0, OC17 = 0, OC20 = 0, OC30 = 0, OC40 = 0,
                 OC80 = 0, OC160 = 0;
    std::int32_t SA6 = 0, SA10 = 0, SA12 = 0, SA15 = 0, SA17 = 0, SA20 = 0, SA30 = 0, SA40 = 0,
                 SA80 = 0, SA160 = 0;

    // By continent (Continents order) and band (BandTable order).
    static const std::array<std::array<Field, kBandCount>, kContinentCount> kCounters;
    static const std::array<Field, kContinentCount> kTotals;  // AFtotal ... SAtotal

    std::int32_t& Counter(std::size_t continent, std::size_t band) {
        return this->*kCounters[continent][band];
    }
    std::int32_t Counter(std::size_t continent, std::size_t band) const {
        return this->*kCounters[continent][band];
    }

    // Opens the log at `path`, zeroes all 77 fields, calls `hooks.opened` (which so sees them
    // zero), reads the whole log and closes it.
    // The totals stay 0. Returns false when the yield hook stopped the scan. Raises
    // LogOpenError (the tally is then unchanged), LogReadError and CounterOverflow; the log
    // is closed and `hooks.closed` called in every case once `hooks.opened` was.
    bool ScanContinentBands(const std::string& path, const ScanHooks& hooks = {});
    // What ScanContinentBands looks for and counts, for a log read elsewhere (LineScan).
    LineReading Reading();

    // The sum of a continent's ten counters (continent 1 to 7), stored in its total field.
    // On overflow the total keeps its previous value.
    std::int32_t ContinentTotal(int continent);

    static const std::string& CounterName(std::size_t continent, std::size_t band);
    static std::string TotalName(std::size_t continent);
};

}  // namespace quorvane
