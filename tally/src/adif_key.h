// Names and short values packed for comparing at once: the ADIF reader's field names, and the
// band and mode names of the ADIF field rules.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>

namespace quorvane {

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "AdifKey::At assumes little endian");

// Up to 16 bytes, any bytes (NUL included), with letters in upper case, packed into two words
// with the length: two keys are equal when their texts are equal but for the case of letters.
struct AdifKey {
    static constexpr std::size_t kLimit = 16;

    std::uint64_t low = 0, high = 0;  // bytes 0-7 and 8-15; zero past the length
    std::size_t length = 0;

    bool operator==(const AdifKey&) const = default;

    // The key in one word, for hashing.
    constexpr std::uint64_t Mixed() const { return low ^ (high * 0x9e3779b97f4a7c15ULL) ^ length; }

    // nullopt for a text longer than kLimit.
    static constexpr std::optional<AdifKey> Of(std::string_view text) {
        if (text.size() > kLimit) return std::nullopt;
        AdifKey key;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const std::uint64_t byte = static_cast<unsigned char>(text[i]);
            (i < 8 ? key.low : key.high) |= byte << (8 * (i % 8));
        }
        return key.Finished(text.size());
    }

    // The `length` bytes at p, length <= kLimit; p has kLimit readable bytes.
    static AdifKey At(const char* p, std::size_t length) { return Load<Upper>(p, length); }

    // As At, for an ADIF name, made of letters, digits and '_'. Among those bytes the
    // lower-case letters are the ones with bits 5 and 6 set, which takes fewer steps to find.
    static AdifKey AtName(const char* p, std::size_t length) {
        return Load<UpperInName>(p, length);
    }

  private:
    constexpr AdifKey Finished(std::size_t n) {
        low = Upper(low);
        high = Upper(high);
        length = n;
        return *this;
    }

    template <std::uint64_t (*Fold)(std::uint64_t)>
    static AdifKey Load(const char* p, std::size_t length) {
        AdifKey key;
        key.length = length;
        std::memcpy(&key.low, p, 8);
        if (length < 8) {
            key.low = Fold(key.low & ((std::uint64_t{1} << (8 * length)) - 1));
            return key;
        }
        std::memcpy(&key.high, p + 8, 8);
        key.low = Fold(key.low);
        if (length < 16) key.high &= (std::uint64_t{1} << (8 * (length - 8))) - 1;
        key.high = Fold(key.high);
        return key;
    }

    // Every byte from 'a' to 'z' of the word in upper case, eight at a time: a byte's bit 7
    // ends up set in `lower` when its low seven bits are at least 'a' and at most 'z' and its
    // own bit 7 is clear; the sums stay within their bytes.
    static constexpr std::uint64_t Upper(std::uint64_t word) {
        constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
        const std::uint64_t seven = word & (0x7f * kOnes);
        const std::uint64_t atLeastA = seven + (0x80 - 'a') * kOnes;
        const std::uint64_t pastZ = seven + (0x80 - 'z' - 1) * kOnes;
        const std::uint64_t lower = atLeastA & ~pastZ & ~word & (0x80 * kOnes);
        return word ^ (lower >> 2);
    }

    static constexpr std::uint64_t UpperInName(std::uint64_t word) {
        return word ^ (word & (word >> 1) & 0x2020202020202020ULL);
    }
};

}  // namespace quorvane
