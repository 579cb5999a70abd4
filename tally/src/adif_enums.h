// ADIF's band edges, mode names and DXCC entities, as tables generated from ADIF's own lists.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "quorvane/award_tally.h"
#include "quorvane/tables.h"

namespace quorvane::adif {

struct ModeName {
    std::string_view name;  // a mode or submode, upper case
    std::string_view mode;  // the mode it belongs to, upper case
};
// Sorted by name.
extern const std::array<ModeName, 236> kModeNames;

// Every ADIF band, in ADIF's order from 2190M up. Frequencies in nano-MHz (thousandths of a
// hertz), so that every ADIF edge is a whole number.
struct AdifBand {
    std::string_view name;  // upper case, "20M"
    std::uint64_t lower;    // inclusive
    std::uint64_t upper;
};
extern const std::array<AdifBand, kAdifBandCount> kAdifBands;

// By code.
extern const std::array<DxccEntity, kDxccEntityCount> kDxccEntities;

}  // namespace quorvane::adif
