// The ADIF field rules' reading of single values: bands by name or frequency, mode classes,
// DXCC entities, confirmations and days.
#include "quorvane/adif_values.h"

#include "adif_enums.h"
#include "adif_key.h"
#include "adif_record.h"

namespace quorvane {

namespace adif {

namespace {

// The key of the value's text; for a text longer than a key holds, a key that no name has.
AdifKey KeyOf(const AdifRecord::Value& value) {
    static_assert(AdifRecord::kValueLimit >= AdifKey::kLimit);  // At reads kLimit bytes
    const auto text = ValueText(value);
    if (text && text->size() <= AdifKey::kLimit) return AdifKey::At(text->data(), text->size());
    AdifKey none;
    none.length = AdifKey::kLimit + 1;
    return none;
}

}  // namespace

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

namespace {

// The first of `bands` (with lower and upper edges) that holds the frequency of `freq`.
template <typename Bands>
std::optional<std::size_t> BandHolding(const AdifRecord::Value& freq, const Bands& bands) {
    const auto text = ValueText(freq);
    const auto f = text ? ParseFrequency(*text) : std::nullopt;
    if (!f) return std::nullopt;
    for (std::size_t b = 0; b < bands.size(); ++b) {
        const auto& e = bands[b];
        if (f->nano >= e.lower && (f->nano < e.upper || (f->nano == e.upper && !f->beyond)))
            return b;
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::size_t> BandAtFrequency(const AdifRecord::Value& freq) {
    return BandHolding(freq, kBandEdges);
}

std::optional<std::size_t> AdifBandAtFrequency(const AdifRecord::Value& freq) {
    return BandHolding(freq, kAdifBands);
}

constexpr auto kBandKeys = [] {
    std::array<AdifKey, kBandCount> keys{};
    for (std::size_t b = 0; b < kBandCount; ++b) keys[b] = *AdifKey::Of(BandTable[b].label);
    return keys;
}();

std::optional<std::size_t> BandNamed(const AdifRecord::Value& band) {
    const AdifKey key = KeyOf(band);
    for (std::size_t b = 0; b < kBandCount; ++b)
        if (kBandKeys[b] == key) return b;
    return std::nullopt;
}

// kAdifBands is constant, and so ready before this.
const auto kAdifBandKeys = [] {
    std::array<AdifKey, kAdifBandCount> keys{};
    for (std::size_t b = 0; b < kAdifBandCount; ++b) keys[b] = *AdifKey::Of(kAdifBands[b].name);
    return keys;
}();

std::optional<std::size_t> AdifBandNamed(const AdifRecord::Value& band) {
    const AdifKey key = KeyOf(band);
    for (std::size_t b = 0; b < kAdifBandCount; ++b)
        if (kAdifBandKeys[b] == key) return b;
    return std::nullopt;
}

namespace {

// Index into ModeClasses of an ADIF mode: CW; SSB, AM, FM and digital voice are phone; every
// other mode is digital.
std::size_t ClassOfMode(std::string_view mode) {
    if (mode == "CW") return 0;
    return mode == "SSB" || mode == "AM" || mode == "FM" || mode == "DIGITALVOICE" ? 2 : 1;
}

// The mode class of every ADIF mode and submode name, by a hash table built at start-up.
class ModeTable {
  public:
    ModeTable() {
        for (const ModeName& m : kModeNames) {
            const AdifKey key = *AdifKey::Of(m.name);
            std::size_t slot = Slot(key);
            while (used_[slot]) slot = (slot + 1) & kMask;
            used_[slot] = true;
            keys_[slot] = key;
            classes_[slot] = static_cast<std::uint8_t>(ClassOfMode(m.mode));
        }
    }
    std::optional<std::size_t> ClassOf(const AdifKey& key) const {
        for (std::size_t slot = Slot(key); used_[slot]; slot = (slot + 1) & kMask)
            if (keys_[slot] == key) return classes_[slot];
        return std::nullopt;
    }

  private:
    static constexpr std::size_t kSlots = 1024, kMask = kSlots - 1;  // at most a quarter full
    static_assert(kModeNames.size() * 4 <= kSlots);
    static std::size_t Slot(const AdifKey& k) {
        return static_cast<std::size_t>((k.Mixed() * 0xff51afd7ed558ccdULL) >> 54) & kMask;
    }
    std::array<bool, kSlots> used_{};
    std::array<AdifKey, kSlots> keys_{};
    std::array<std::uint8_t, kSlots> classes_{};
};

const ModeTable kModeTable;  // kModeNames is constant, and so ready before it

}  // namespace

std::optional<std::size_t> ModeClassNamed(const AdifRecord::Value& mode) {
    return kModeTable.ClassOf(KeyOf(mode));
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

bool Confirms(const AdifRecord::Value& value) { return Is(&value, "Y") || Is(&value, "V"); }

}  // namespace adif

}  // namespace quorvane
