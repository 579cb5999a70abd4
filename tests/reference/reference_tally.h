// The counting rules, written as plainly as possible, for checking the fast scanner.
// Nothing here shares code or tables with the tally library: the literals are spelled again.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane::reference {

struct Counts {
    // Every counter by name ("C20", "OthersTotal", "EU20", "QslSent"), zeros included.
    std::map<std::string, std::int64_t> bandMode, continent, qsl;
    std::string lastLine;  // the whole last line ("" without lines)
    // By the ADIF field rules, the award tables' figures that are not zero: "dxcc.worked.20M",
    // "dxcc.shown.20M" (1), "dxcc.deleted.worked", "dxcc.contacts.noDxcc", "entities.0" (the
    // code of the first entity worked), "entity.291.CW" (contacts), "entity.291.CW.channels"
    // (1 card, 2 LoTW, 4 eQSL), "years.2023.row" (1), "years.2023.new", "years.noDate.CW",
    // "range.leftOut".
    std::map<std::string, std::int64_t> awards;
    Counts();  // every counter zero
    // Sums in 64 bits: "Ctotal", "Total20", "Total"; "AFtotal".
    std::int64_t BandModeSum(const std::string& name) const;
    std::int64_t ContinentSum(const std::string& name) const;
};

Counts CountText(std::string_view data);

// The names in the order the program lists them.
const std::vector<std::string>& BandModeCounterNames();   // C6 ... C160, R6 ..., S6 ... S160
const std::vector<std::string>& ContinentCounterNames();  // AF6 ... SA160
const std::vector<std::string>& QslCounterNames();        // QslSent ... EqslRcvd

}  // namespace quorvane::reference
