// The ADIF field rules' reading of single values: bands by name or frequency, mode classes,
// DXCC entities, confirmations and days.
#include "quorvane/adif_values.h"

#include "adif_enums.h"
#include "adif_key.h"
#include "adif_record.h"

namespace quorvane {

namespace adif {

std::optional<Frequency> ParseFrequency(std::string_view s) {
    constexpr std::uint64_t kMaxWhole = 1'000'000'000;  // MHz; no band is near it
    std::uint64_t whole = 0, fraction = 0;
    std::size_t i = 0, digits = 0, decimals = 0;
    bool beyond = false;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, ++digits) {
        whole = whole * 10 + static_cast<std::uint64_t>(s[i] - '0');
        if (whole >= kMaxWhole) return std::nullopt;
    }
    if (i < s.size() && s[i] == '.') {
        for (++i; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, ++digits) {
            if (decimals < 9) {
                fraction = fraction * 10 + static_cast<std::uint64_t>(s[i] - '0');
                ++decimals;
            } else if (s[i] != '0') {
                beyond = true;
            }
        }
    }
    if (i != s.size() || digits == 0) return std::nullopt;
    for (; decimals < 9; ++decimals) fraction *= 10;
    return Frequency{whole * 1'000'000'000 + fraction, beyond};
}

std::optional<std::size_t> AdifBandAtFrequency(const AdifRecord::Value& freq) {
    const auto text = ValueText(freq);
    const auto f = text ? ParseFrequency(*text) : std::nullopt;
    if (!f) return std::nullopt;
    for (std::size_t b = 0; b < kAdifBandCount; ++b) {
        const AdifBand& e = kAdifBands[b];
        if (f->nano >= e.lower && (f->nano < e.upper || (f->nano == e.upper && !f->beyond)))
            return b;
    }
    return std::nullopt;
}

std::optional<std::size_t> BandAtFrequency(const AdifRecord::Value& freq) {
    return ListedOf(AdifBandAtFrequency(freq));
}

namespace {

// Index into ModeClasses of an ADIF mode: CW; SSB, AM, FM and digital voice are phone; every
// other mode is digital.
std::uint8_t ClassOfMode(std::string_view mode) {
    if (mode == "CW") return 0;
    return mode == "SSB" || mode == "AM" || mode == "FM" || mode == "DIGITALVOICE" ? 2 : 1;
}

}  // namespace

// kModeNames and kAdifBands are constant, and so ready before this.
ValueTables::ValueTables() {
    static_assert(kModeNames.size() * 4 <= 1024 && kAdifBandCount * 4 <= 256);
    for (const ModeName& m : kModeNames) modeClasses.Add(*AdifKey::Of(m.name), ClassOfMode(m.mode));
    for (std::size_t b = 0; b < kAdifBandCount; ++b) {
        bands.Add(*AdifKey::Of(kAdifBands[b].name), static_cast<std::uint8_t>(b));
        listed[b] = static_cast<std::uint8_t>(kBandCount);
        for (std::size_t l = 0; l < kBandCount; ++l)
            if (BandTable[l].label == kAdifBands[b].name) listed[b] = static_cast<std::uint8_t>(l);
    }
}

const ValueTables kValueTables;

std::optional<std::size_t> BandNamed(const AdifRecord::Value& band) {
    return ListedOf(AdifBandOfValue(band));
}

std::optional<std::size_t> AdifBandNamed(const AdifRecord::Value& band) {
    return AdifBandOfValue(band);
}

std::optional<std::size_t> ModeClassNamed(const AdifRecord::Value& mode) {
    return ModeClassOfValue(mode);
}

Dxcc DxccOf(const AdifRecord::Value* value) {
    if (!value) return {Dxcc::NoDxcc};
    const auto text = ValueText(*value);
    if (!text) return {Dxcc::Unknown};
    if (text->empty()) return {Dxcc::NoDxcc};
    constexpr std::uint64_t kPastEveryCode = 1'000'000;
    std::uint64_t code = 0;
    for (const char c : *text) {
        if (c < '0' || c > '9') return {Dxcc::Unknown};
        code = std::min(code * 10 + static_cast<std::uint64_t>(c - '0'), kPastEveryCode);
    }
    if (code == 0) return {Dxcc::None};
    const auto entity = DxccIndex(code);
    return entity ? Dxcc{Dxcc::Entity, *entity} : Dxcc{Dxcc::Unknown};
}

bool Confirms(const AdifRecord::Value& value) { return IsConfirmation(&value); }

}  // namespace adif

}  // namespace quorvane
