// What the page shows of a counted log, as JSON for its script: the three tables cell by cell,
// each count cell with the name it has in quorvane-report --json, and the two charts' series.
// The script only lays these out; every text and number comes from here.
#pragma once

#include <cstdint>
#include <string>

#include "quorvane/counting_rules.h"
#include "quorvane/log_counts.h"

namespace quorvane::web {

// {"tables": [{"id", "title", "rows": [[{"text", "header"?, "counter"?}]]}],
//  "charts": [{"id", "title", "categories", "series": [{"name", "values"}], "axis": {"max",
//  "step"}}]}; `file` is the log's file name, which titles the band/mode table as it titles the
// main window.
std::string PageModel(std::string_view file, const CountingRules& rules, const LogCounts& counts);

// The value axis of a bar chart as the desktop charts draw it: from 0 to `max` in steps of
// `step`, a step of 1, 2 or 5 times a power of ten, at most eight steps.
struct AxisScale {
    std::int64_t max;
    std::int64_t step;
};
AxisScale ScaleFor(std::int64_t largest);

}  // namespace quorvane::web
