// The counted tables as the windows show them (cell texts) and as the report tool prints them
// (aligned text, JSON).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "quorvane/counting_rules.h"
#include "quorvane/log_counts.h"

namespace quorvane {

// A table as every output shows it: rows of cells, row 0 the header row and column 0 the
// header column. A cell that shows a count names it by its path in the report's JSON
// ("bandMode.C20", "dxcc.worked.Mixed", "years.2023.new"), which the web page puts on it.
struct Cell {
    std::string text;
    std::string counter;  // empty for a header or an empty cell
};
using Grid = std::vector<std::vector<Cell>>;

Grid BandModeGrid(const BandModeTally& tally);        // bands, Total and Others by mode class
Grid ContinentGrid(const ContinentBandTally& tally);  // bands and Total by continent
Grid QslGrid(const QslTally& tally);                  // the Rcvd/Sent row: "66.7%", ".%", "-"
Grid QslCountsGrid(const QslTally& tally);            // the six counts behind it: Sent, Rcvd

// Worked, Confirmed (card or LoTW), Card, LoTW and eQSL: distinct current entities by Mixed,
// CW, Phone, Digital and every band worked; then the deleted entities worked and confirmed and
// the contacts without an entity, by kind, in the Mixed column.
Grid DxccSummaryGrid(const AwardTally& tally);
// One row per entity worked (code, name, "deleted" or empty, then the summary's columns, each
// "W", "C", "E" or empty), by name then code; the header row alone when none was.
Grid DxccEntityGrid(const AwardTally& tally);
// One row per year from the first to the last: Contacts, CW, Phone, Digital, Entities, New,
// Confirmed; then "No date" when records had none.
Grid YearsGrid(const AwardTally& tally);

// A grid as CSV (RFC 4180): every row, the header row first, fields quoted where they hold a
// comma, a quote or a line break, lines ending in CRLF.
std::string GridCsv(const Grid& grid);

// "2023-01-31"
std::string DayText(Day day);

// The range of a count within one, and how many records it left out for want of a day: "Contacts
// from 2023-01-01 to the last day, both included; 3 without a valid QSO_DATE left out."
std::string RangeNote(const LogCounts& counts);

// Said in place of the entity list when no record had an entity.
inline constexpr std::string_view kNoEntityText = "No contact of this log carries a DXCC entity.";

// Which award tables a report holds, when the count has them.
struct AwardSections {
    bool dxcc = true;
    bool entities = false;
    bool years = true;
};

// `s` as a JSON string, quotes included. Text that is not valid UTF-8 (a file name may hold
// any bytes) gets one U+FFFD for each maximal subpart of an ill-formed sequence, so that strict
// parsers accept it.
std::string JsonString(std::string_view s);

// The counted tables as titled, aligned text: the band/mode table under the base name of
// `file`, then "Continent Summary", then "QSL Rcvd/Sent", each title followed by the rules'
// title in parentheses; then the award tables of `sections` that the count has. A count
// within a range begins with a line that gives it and the records left out for want of a day.
std::string ReportText(std::string_view file, const CountingRules& rules, const LogCounts& counts,
                       const AwardSections& sections = {});

// The counted tables as one JSON object on one line: "file", "rules" (the rules' name), then one
// object per table with every counter by name (see ForEachCounter); the QSL object also holds
// "percent", the three cell texts of the Rcvd/Sent row. Then "range" when the count has one,
// and the award sections that the count has: "dxcc", "dxccEntities" and "years".
std::string ReportJson(std::string_view file, const CountingRules& rules, const LogCounts& counts,
                       const AwardSections& sections = {.entities = true});

}  // namespace quorvane
