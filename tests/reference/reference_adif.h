// The ADIF field rules, written as plainly as possible, for checking the streaming reader.
// It shares no code with the tally library and reads ADIF's own lists from their CSV files.
#pragma once

#include <string_view>

#include "reference_tally.h"

namespace quorvane::reference {

// The counters of the three tallies, with the whole log in memory.
Counts CountAdif(std::string_view data);

}  // namespace quorvane::reference
