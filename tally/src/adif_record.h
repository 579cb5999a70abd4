// What the ADIF field rules read off a whole record, for the record sinks: the band, mode class,
// continent, confirmations, entity and day. Inline, since every record of a log passes here.
#pragma once

#include <algorithm>
#include <optional>
#include <string_view>

#include "adif_key.h"
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

// Whether the value is the one letter `letter` (lower case) in either case, spaces around it
// dropped: the common case, a value of one byte, at once.
inline bool IsLetter(const AdifRecord::Value* v, char letter) {
    if (!v) return false;
    if (v->length == 1) return (v->text[0] | 0x20) == letter;
    return Is(v, std::string_view(&letter, 1));
}

// A confirmation of QSL_RCVD, LOTW_QSL_RCVD or EQSL_QSL_RCVD: "Y", or "V" (verified).
inline bool IsConfirmation(const AdifRecord::Value* v) {
    return IsLetter(v, 'y') || IsLetter(v, 'v');
}

// The key of the value's text; for a text longer than a key holds, a key that no name has.
inline AdifKey KeyOf(const AdifRecord::Value& value) {
    static_assert(AdifRecord::kValueLimit >= AdifKey::kLimit);  // At reads kLimit bytes
    const auto text = ValueText(value);
    if (text && text->size() <= AdifKey::kLimit) return AdifKey::At(text->data(), text->size());
    AdifKey none;
    none.length = AdifKey::kLimit + 1;
    return none;
}

// Names to small numbers by a hash table that is at most a quarter full.
template <std::size_t kSlots>
class NameTable {
  public:
    void Add(const AdifKey& key, std::uint8_t value) {
        std::size_t slot = Slot(key);
        while (used_[slot]) slot = (slot + 1) & kMask;
        used_[slot] = true;
        keys_[slot] = key;
        values_[slot] = value;
    }
    std::optional<std::size_t> Find(const AdifKey& key) const {
        for (std::size_t slot = Slot(key); used_[slot]; slot = (slot + 1) & kMask)
            if (keys_[slot] == key) return values_[slot];
        return std::nullopt;
    }

  private:
    static constexpr std::size_t kMask = kSlots - 1;
    static std::size_t Slot(const AdifKey& k) {
        return static_cast<std::size_t>((k.Mixed() * 0xff51afd7ed558ccdULL) >> 40) & kMask;
    }
    std::array<bool, kSlots> used_{};
    std::array<AdifKey, kSlots> keys_{};
    std::array<std::uint8_t, kSlots> values_{};
};

// What the look-ups below read, made once at start-up from ADIF's lists (adif_values.cpp).
struct ValueTables {
    ValueTables();
    NameTable<1024> modeClasses;  // every mode and submode: its index into ModeClasses
    NameTable<256> bands;         // every ADIF band: its index in ADIF's list
    std::array<std::uint8_t, kAdifBandCount> listed{};  // its band of BandTable, or kBandCount
};
extern const ValueTables kValueTables;

inline std::optional<std::size_t> ModeClassOfValue(const AdifRecord::Value& mode) {
    return kValueTables.modeClasses.Find(KeyOf(mode));
}

inline std::optional<std::size_t> AdifBandOfValue(const AdifRecord::Value& band) {
    return kValueTables.bands.Find(KeyOf(band));
}

// The band of BandTable that an ADIF band is, if it is one.
inline std::optional<std::size_t> ListedOf(std::optional<std::size_t> adifBand) {
    if (!adifBand || kValueTables.listed[*adifBand] == kBandCount) return std::nullopt;
    return kValueTables.listed[*adifBand];
}

// The ADIF band from BAND, or from FREQ when BAND is missing or blank.
inline std::optional<std::size_t> AnyBand(const AdifRecord& r) {
    if (const AdifRecord::Value* band = r.Get(AdifField::Band); NotEmpty(band))
        return AdifBandOfValue(*band);
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
    return v ? ModeClassOfValue(*v) : std::nullopt;
}

// The continent of CONT: its two letters in either case, the code of Continents.
inline std::optional<std::size_t> ContinentOf(const AdifRecord& r) {
    const AdifRecord::Value* cont = r.Get(AdifField::Cont);
    const auto text = cont ? ValueText(*cont) : std::nullopt;
    if (!text || text->size() != 2) return std::nullopt;
    const char code[2] = {static_cast<char>(Lower((*text)[0]) & ~0x20),
                          static_cast<char>(Lower((*text)[1]) & ~0x20)};
    for (std::size_t c = 0; c < kContinentCount; ++c)
        if (Continents[c].code == std::string_view(code, 2)) return c;
    return std::nullopt;
}

// The channels (Channel bits) that confirm the record.
inline std::uint8_t ConfirmingChannels(const AdifRecord& r) {
    auto confirms = [&r](AdifField f) { return IsConfirmation(r.Get(f)); };
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
