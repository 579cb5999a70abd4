// ADIF's band edges and mode names, as tables generated from ADIF's own lists.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "quorvane/tables.h"

namespace quorvane::adif {

// Frequencies in nano-MHz (thousandths of a hertz), so that every ADIF edge is a whole number.
struct BandEdges {
    std::uint64_t lower;
    std::uint64_t upper;
};
// The ten bands of BandTable, in its order.
extern const std::array<BandEdges, kBandCount> kBandEdges;

struct ModeName {
    std::string_view name;  // a mode or submode, upper case
    std::string_view mode;  // the mode it belongs to, upper case
};
// Sorted by name.
extern const std::array<ModeName, 231> kModeNames;

}  // namespace quorvane::adif
