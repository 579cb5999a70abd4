// The counted tables as the windows show them (cell texts) and as the report tool prints them
// (aligned text, JSON).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "quorvane/counting_rules.h"
#include "quorvane/log_counts.h"

namespace quorvane {

// Rows of cell texts; row 0 is the header row and column 0 the header column.
using Grid = std::vector<std::vector<std::string>>;

Grid BandModeGrid(const BandModeTally& tally);        // bands, Total and Others by mode class
Grid ContinentGrid(const ContinentBandTally& tally);  // bands and Total by continent
Grid QslGrid(const QslTally& tally);                  // the Rcvd/Sent row: "66.7%", ".%", "-"

// `s` as a JSON string, quotes included. Text that is not valid UTF-8 (a file name may hold
// any bytes) gets one U+FFFD for each maximal subpart of an ill-formed sequence, so that strict
// parsers accept it.
std::string JsonString(std::string_view s);

// The counted tables as titled, aligned text: the band/mode table under the base name of
// `file`, then "Continent Summary", then "QSL Rcvd/Sent", each title followed by the rules'
// title in parentheses.
std::string ReportText(std::string_view file, const CountingRules& rules, const LogCounts& counts);

// The counted tables as one JSON object on one line: "file", "rules" (the rules' name), then one
// object per table with every counter by name (see ForEachCounter); the QSL object also holds
// "percent", the three cell texts of the Rcvd/Sent row.
std::string ReportJson(std::string_view file, const CountingRules& rules, const LogCounts& counts);

}  // namespace quorvane
