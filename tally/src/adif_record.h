// What the ADIF field rules read off a whole record, for the record sinks: the band, mode class,
// continent, confirmations, entity and day. Inline, since every record of a log passes here.
#pragma once

#include <algorithm>
#include <optional>
#include <string_view>

#include "quorvane/adif_reader.h"
#include "quorvane/adif_values.h"
#include "quorvane/award_tally.h"
#include "quorvane/tables.h"

namespace quorvane::adif {

// The value without trailing spaces (the reader has dropped the leading ones); nullopt for a
// value too long to be any that the rules name.
inline std::optional<std::string_view> ValueText(const AdifRecord::Value& value) {
    if (value.tooLong) return std::nullopt;
    std::size_t n = value.length;
    while (n > 0 && value.text[n - 1] == ' ') --n;
    return std::string_view(value.text, n);
}

inline bool NotEmpty(const AdifRecord::Value* v) {
    if (!v) return false;
    const auto text = ValueText(*v);
    return !text || !text->empty();
}

inline char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c | 0x20) : c; }

inline bool SameLetters(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return Lower(x) == Lower(y); });
}

inline bool Is(const AdifRecord::Value* v, std::string_view expected) {
    if (!v) return false;
    const auto text = ValueText(*v);
    return text && SameLetters(*text, expected);
}

// The band of BandTable from BAND, or from FREQ when BAND is missing or blank.
inline std::optional<std::size_t> ListedBand(const AdifRecord& r) {
    if (const AdifRecord::Value* band = r.Get(AdifField::Band); NotEmpty(band))
        return BandNamed(*band);
    const AdifRecord::Value* freq = r.Get(AdifField::Freq);
    return NotEmpty(freq) ? BandAtFrequency(*freq) : std::nullopt;
}

// The same over all of ADIF's bands.
inline std::optional<std::size_t> AnyBand(const AdifRecord& r) {
    if (const AdifRecord::Value* band = r.Get(AdifField::Band); NotEmpty(band))
        return AdifBandNamed(*band);
    const AdifRecord::Value* freq = r.Get(AdifField::Freq);
    return NotEmpty(freq) ? AdifBandAtFrequency(*freq) : std::nullopt;
}

inline bool HasBand(const AdifRecord& r) {
    return NotEmpty(r.Get(AdifField::Band)) || NotEmpty(r.Get(AdifField::Freq));
}

// The mode class from MODE, or from SUBMODE when MODE is missing or empty; a submode, also
// written as the mode, counts as its mode.
inline std::optional<std::size_t> ModeClassOf(const AdifRecord& r) {
    const AdifRecord::Value* v = r.Get(AdifField::Mode);
    if (!NotEmpty(v)) v = r.Get(AdifField::Submode);
    return v ? ModeClassNamed(*v) : std::nullopt;
}

inline std::optional<std::size_t> ContinentOf(const AdifRecord& r) {
    const AdifRecord::Value* cont = r.Get(AdifField::Cont);
    for (std::size_t c = 0; c < kContinentCount; ++c)
        if (Is(cont, Continents[c].code)) return c;
    return std::nullopt;
}

// The channels (Channel bits) that confirm the record.
inline std::uint8_t ConfirmingChannels(const AdifRecord& r) {
    auto confirms = [&r](AdifField f) {
        const AdifRecord::Value* v = r.Get(f);
        return v && Confirms(*v);
    };
    return static_cast<std::uint8_t>((confirms(AdifField::QslRcvd) ? kCard : 0) |
                                     (confirms(AdifField::LotwQslRcvd) ? kLotw : 0) |
                                     (confirms(AdifField::EqslQslRcvd) ? kEqsl : 0));
}

inline std::optional<Day> DayOf(const AdifRecord& r) {
    const AdifRecord::Value* v = r.Get(AdifField::QsoDate);
    const auto text = v ? ValueText(*v) : std::nullopt;
    return text ? ParseDay(*text) : std::nullopt;
}

}  // namespace quorvane::adif
