// The counting rules, written as plainly as possible, for checking the fast scanner.
// Nothing here shares code or tables with the tally library: the literals are spelled again.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane::reference {

// Splits a whole file into lines: a line ends at CR, CRLF or LF; a last line without a
// terminator is a line; a terminator at the very end makes no extra line.
std::vector<std::string> SplitLines(std::string_view data);

struct Counts {
    // Every counter by its name: "C20", "OthersTotal", "EU20", "QslSent". Counters that stay
    // 0 are present too, so a missing key is a fault of the caller.
    std::map<std::string, std::int64_t> bandMode;
    std::map<std::string, std::int64_t> continent;
    std::map<std::string, std::int64_t> qsl;
    std::string lastLine;  // the whole last line ("" without lines)
    std::size_t lines = 0;

    // Sums formed from the counters, in 64 bits: "Ctotal", "Total20", "Total", "AFtotal".
    std::int64_t BandModeSum(const std::string& name) const;
    std::int64_t ContinentSum(const std::string& name) const;
};

Counts CountText(std::string_view data);
// Reads the whole file; throws std::runtime_error when it cannot.
Counts CountFile(const std::string& path);

// The names in the order the program lists them.
const std::vector<std::string>& BandModeCounterNames();   // C6 ... C160, R6 ..., S6 ... S160
const std::vector<std::string>& ContinentCounterNames();  // AF6 ... SA160
const std::vector<std::string>& QslCounterNames();        // QslSent ... EqslRcvd

// The "##.#%" text of received/sent, or "-" when nothing was sent, by long division on
// decimal digits of the exact fraction.
std::string PercentText(std::int64_t received, std::int64_t sent);

}  // namespace quorvane::reference
