// What the page shows of a counted log, as JSON for its script: the tables cell by cell, each
// count cell with the name it has in quorvane-report --json, notes, and the charts' series.
// The script only lays these out; every text and number comes from here.
#pragma once

#include <string>

#include "quorvane/counting_rules.h"
#include "quorvane/log_counts.h"

namespace quorvane::web {

// {"tables": [{"id", "title", "rows": [[{"text", "header"?, "counter"?}]]}],
//  "notes": {"range"?: the range and the records it left out, "dxccEntities"?: said in place of
//  an empty entity list},
//  "charts": [{"id", "title", "categories", "series": [{"name", "colour", "values"}], "axis":
//  {"max", "step"}}]}. The award tables ("dxcc", "dxccEntities", "years") and the year chart
// come with counts that hold them. `file` is the log's file name, which titles the band/mode
// table as it titles the main window.
std::string PageModel(std::string_view file, const CountingRules& rules, const LogCounts& counts);

}  // namespace quorvane::web
