// What the page shows of a counted log, as JSON for its script: the three tables cell by cell,
// each count cell with the name it has in quorvane-report --json, and the two charts' series.
// The script only lays these out; every text and number comes from here.
#pragma once

#include <string>

#include "quorvane/counting_rules.h"
#include "quorvane/log_counts.h"

namespace quorvane::web {

// {"tables": [{"id", "title", "rows": [[{"text", "header"?, "counter"?}]]}],
//  "charts": [{"id", "title", "categories", "series": [{"name", "colour", "values"}], "axis":
//  {"max", "step"}}]}; `file` is the log's file name, which titles the band/mode table as it titles
//  the
// main window.
std::string PageModel(std::string_view file, const CountingRules& rules, const LogCounts& counts);

}  // namespace quorvane::web
