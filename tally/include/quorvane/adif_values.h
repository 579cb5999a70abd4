// How the ADIF field rules read a record's values: the band that a BAND or FREQ value names,
// the mode class of a MODE or SUBMODE value, the DXCC entity of a DXCC value and whether a
// confirmation field confirms.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "quorvane/adif_reader.h"

namespace quorvane::adif {

// A frequency in nano-MHz (thousandths of a hertz); `beyond` tells whether nonzero digits
// followed the ninth decimal, which lie past any edge of that many decimals.
struct Frequency {
    std::uint64_t nano;
    bool beyond;
    bool operator==(const Frequency&) const = default;
};

// MHz as digits with at most one point, at least one digit in all ("14.074", "14.", ".5").
// nullopt for anything else, or for a number past every band.
std::optional<Frequency> ParseFrequency(std::string_view text);

// The look-ups below take a value as the reader keeps it: spaces after the text do not count,
// a value too long for the reader to keep names nothing, and letters match in either case.

// The band of BandTable that a BAND value names ("20m"); nullopt for any other value.
std::optional<std::size_t> BandNamed(const AdifRecord::Value& band);

// The band of BandTable that holds the frequency of a FREQ value, with both of its edges.
std::optional<std::size_t> BandAtFrequency(const AdifRecord::Value& freq);

// The mode class (index into ModeClasses) of an ADIF mode or submode: CW; SSB, AM, FM,
// digital voice and their submodes are phone; every other mode and its submodes are digital.
// nullopt for a name that ADIF does not list.
std::optional<std::size_t> ModeClassNamed(const AdifRecord::Value& mode);

// As BandNamed and BandAtFrequency, over all of ADIF's bands (index into its band list, 2190M
// first), for the award tables.
std::optional<std::size_t> AdifBandNamed(const AdifRecord::Value& band);
std::optional<std::size_t> AdifBandAtFrequency(const AdifRecord::Value& freq);

// What a DXCC value says: an entity (index into DxccEntities) or why there is none.
struct Dxcc {
    enum Kind : std::uint8_t { Entity, NoDxcc, None, Unknown };
    Kind kind;
    std::size_t entity = 0;  // for Entity
};
// `value` null for a record without a DXCC field. One or more ASCII digits naming a code of
// ADIF (leading zeros allowed) are an entity; an empty value is NoDxcc; code 0 None; anything
// else Unknown.
Dxcc DxccOf(const AdifRecord::Value* value);

// Whether a QSL_RCVD, LOTW_QSL_RCVD or EQSL_QSL_RCVD value confirms: "Y", or "V" (verified,
// which old logs carry for cards already credited).
bool Confirms(const AdifRecord::Value& value);

}  // namespace quorvane::adif
