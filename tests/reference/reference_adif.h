// The ADIF field rules, written as plainly as possible, for checking the streaming reader.
// It shares no code with the tally library and reads ADIF's own lists from their CSV files.
#pragma once

#include <string_view>

#include "reference_tally.h"

namespace quorvane::reference {

// The counters of the three tallies and the award tables, with the whole log in memory, of
// the records dated from `from` to `to` (yyyymmdd, 0 for no bound).
Counts CountAdif(std::string_view data, std::int64_t from = 0, std::int64_t to = 0);

}  // namespace quorvane::reference
