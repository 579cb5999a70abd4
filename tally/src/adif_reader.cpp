// The ADIF field reader. Tags well inside a block are read in one go from byte classes; a tag or
// value that a block end cuts, and the rare tags that the fast reading leaves, go through a
// byte-driven state machine that carries over to the next block, so that a field cut anywhere
// reads the same and a value of any length costs no memory.
#include "quorvane/adif_reader.h"

#include <cstring>
#include <string_view>

#include "adif_key.h"
#include "simd.h"

namespace quorvane {

namespace {

constexpr bool IsNameByte(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

struct NameBytes {
    bool table[256] = {};
    constexpr NameBytes() {
        for (int c = 0; c < 256; ++c) table[c] = IsNameByte(static_cast<unsigned char>(c));
    }
};
constexpr NameBytes kNameBytes;

// Field names are compared as AdifKeys, so in any letter case.
constexpr std::array<AdifKey, kAdifFieldCount> kFieldNames{
    *AdifKey::Of("BAND"),          *AdifKey::Of("FREQ"),          *AdifKey::Of("MODE"),
    *AdifKey::Of("CONT"),          *AdifKey::Of("SUBMODE"),       *AdifKey::Of("QSL_SENT"),
    *AdifKey::Of("QSL_RCVD"),      *AdifKey::Of("LOTW_QSL_SENT"), *AdifKey::Of("LOTW_QSL_RCVD"),
    *AdifKey::Of("EQSL_QSL_SENT"), *AdifKey::Of("EQSL_QSL_RCVD"), *AdifKey::Of("DXCC"),
    *AdifKey::Of("QSO_DATE"),
};
constexpr AdifKey kEor = *AdifKey::Of("EOR");
constexpr AdifKey kEoh = *AdifKey::Of("EOH");

// The AdifField of a name; kAdifFieldCount for any other name. A multiplicative hash, with a
// multiplier chosen when the program is built so that the field names fall into different
// slots, leaves one comparison per name.
constexpr unsigned kHashBits = 6;

constexpr unsigned SlotOf(const AdifKey& name, std::uint64_t multiplier) {
    return static_cast<unsigned>((name.Mixed() * multiplier) >> (64 - kHashBits));
}

constexpr std::uint64_t ChooseMultiplier() {
    for (std::uint64_t m = 0x2545f4914f6cdd1dULL;; m += 0x9e3779b97f4a7c16ULL) {
        bool used[1u << kHashBits] = {};
        bool clash = false;
        for (const AdifKey& name : kFieldNames) {
            clash = clash || used[SlotOf(name, m)];
            used[SlotOf(name, m)] = true;
        }
        if (!clash) return m;
    }
}
constexpr std::uint64_t kMultiplier = ChooseMultiplier();

struct FieldSlots {
    AdifKey name[1u << kHashBits] = {};
    std::uint8_t field[1u << kHashBits] = {};
    constexpr FieldSlots() {
        for (auto& f : field) f = kAdifFieldCount;
        for (std::size_t f = 0; f < kAdifFieldCount; ++f) {
            name[SlotOf(kFieldNames[f], kMultiplier)] = kFieldNames[f];
            field[SlotOf(kFieldNames[f], kMultiplier)] = static_cast<std::uint8_t>(f);
        }
    }
};
constexpr FieldSlots kFieldSlots;

// Bit i set where byte i of the 16 bytes at p is a name byte.
inline std::uint32_t NameBytes16(const char* p) {
#if QUORVANE_SSE2
    // low <= x < low + size, for bytes taken as unsigned: one signed comparison once 128 - low
    // is added, which moves the range to the bottom of the signed bytes.
    auto inRange = [](__m128i x, char low, int size) {
        const __m128i shifted = _mm_add_epi8(x, _mm_set1_epi8(static_cast<char>(128 - low)));
        return _mm_cmplt_epi8(shifted, _mm_set1_epi8(static_cast<char>(-128 + size)));
    };
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i digits = inRange(v, '0', 10);
    const __m128i letters = inRange(_mm_or_si128(v, _mm_set1_epi8(0x20)), 'a', 26);
    const __m128i underscore = _mm_cmpeq_epi8(v, _mm_set1_epi8('_'));
    return static_cast<std::uint32_t>(
        _mm_movemask_epi8(_mm_or_si128(_mm_or_si128(letters, digits), underscore)));
#else
    std::uint32_t bits = 0;
    for (unsigned i = 0; i < 16; ++i)
        bits |= static_cast<std::uint32_t>(kNameBytes.table[static_cast<unsigned char>(p[i])]) << i;
    return bits;
#endif
}

constexpr std::uint64_t kNoEnd = ~std::uint64_t{0};  // a length too large for any file

// A length with one more digit; one too large for 64 bits is kNoEnd, however many leading
// zeros it was written with.
constexpr std::uint64_t WithDigit(std::uint64_t length, unsigned digit) {
    return length > (kNoEnd - digit) / 10 ? kNoEnd : length * 10 + digit;
}

}  // namespace

AdifReader::AdifReader(AdifRecordSink& sink, std::uint32_t fields) : sink_(sink) {
    static_assert(sizeof slotFields_ == sizeof kFieldSlots.field);
    for (std::size_t slot = 0; slot < slotFields_.size(); ++slot) {
        const std::uint8_t field = kFieldSlots.field[slot];
        slotFields_[slot] = field < kAdifFieldCount && fields & (1u << field)
                                ? field
                                : static_cast<std::uint8_t>(kAdifFieldCount);
    }
}

// The AdifField of a name; kAdifFieldCount for any other name and for fields not kept.
inline std::size_t AdifReader::FieldOf(const AdifKey& name) const {
    const unsigned slot = SlotOf(name, kMultiplier);
    return name == kFieldSlots.name[slot] ? slotFields_[slot] : kAdifFieldCount;
}

void AdifReader::Feed(const char* data, std::size_t size) {
    const char* p = data;
    const char* const end = data + size;
    if (state_ != State::Text) p = Resume(p, end);
    if (p >= end) return;
#if QUORVANE_SSE2
    // Every '<' of the block is found from a bitmap, sixteen bytes at a time, and tried as a
    // tag unless it lies inside the value read last. Where the next tag is does not wait for
    // the last one to be read, so the processor can work on several tags at once.
    if (end - p > kFastMargin) {
        const char* const fastEnd = end - kFastMargin;  // a tag before it is read by ReadTag
        for (const char* chunk = p; fastEnd - chunk >= 16; chunk += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(chunk));
            auto bits =
                static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8('<'))));
            while (bits != 0) {
                const char* lt = chunk + __builtin_ctz(bits);
                bits &= bits - 1;
                if (lt < p) continue;
                p = ReadTag(lt + 1, end);
                if (p >= end) return;
            }
            if (p - chunk > 32) chunk = p - 16;  // on after a long value
        }
    }
#endif
    while (p < end) {
        const void* lt = std::memchr(p, '<', static_cast<std::size_t>(end - p));
        if (!lt) return;
        p = static_cast<const char*>(lt) + 1;
        p = end - p < kFastMargin ? Slow(p, end) : ReadTag(p, end);
    }
}

// The usual case, a tag well inside the block, read with no state kept between bytes. `q` is
// the byte after '<', with at least kFastMargin bytes behind it. Returns where to go on. The
// name is found from the classes of the next 16 bytes, or 32 for a name of 16 or more, and the
// length digit by digit, since it mostly has one or two. Data types have one letter in the logs
// that carry them (<QSO_DATE:8:D>); longer ones, names longer than kFastName and lengths of
// more than kFastDigits digits go through Resume.
[[gnu::always_inline]] inline const char* AdifReader::ReadTag(const char* q, const char* end) {
    std::uint32_t names = NameBytes16(q);
    unsigned n = static_cast<unsigned>(__builtin_ctz(~names | (1u << 16)));
    if (n == 16) {
        names |= NameBytes16(q + 16) << 16;
        n = static_cast<unsigned>(__builtin_ctz(~names | (1u << (kFastName + 1))));
        if (n > kFastName) return Slow(q, end);
    }
    if (n == 0) return q;
    if (q[n] == '>') {
        if (n == 3) Marker(AdifKey::AtName(q, 3));
        return q + n + 1;
    }
    if (q[n] != ':') return q + n;
    const char* const digits = q + n + 1;
    std::uint64_t length = static_cast<unsigned char>(digits[0] - '0');
    if (length > 9) return digits;
    const char* e = digits + 1;  // ends at the byte after the length
    for (unsigned d; (d = static_cast<unsigned char>(*e - '0')) < 10; ++e) {
        if (e - digits >= kFastDigits) return Slow(q, end);
        length = length * 10 + d;
    }
    if (*e == ':') {  // a data type, mostly of one letter
        if (!kNameBytes.table[static_cast<unsigned char>(e[1])] || e[2] != '>') return Slow(q, end);
        e += 2;
    }
    if (*e != '>') return e;
    const std::size_t field = n <= kNameLimit ? FieldOf(AdifKey::AtName(q, n)) : kAdifFieldCount;
    const char* value = e + 1;
    if (length > static_cast<std::uint64_t>(end - value)) {  // the value goes on in the next block
        ValueBegins(field, length);
        return Resume(value, end);
    }
    if (AdifRecord::Value* v = Claim(field)) {
        // Short values whole, by fixed copies of 16 or 64 bytes where a copy of `length`
        // bytes would cost a call; the rest, and values with leading spaces, by Capture.
        if (length > 0 && *value != ' ' &&
            end - value >= static_cast<std::ptrdiff_t>(AdifRecord::kValueLimit) &&
            length <= AdifRecord::kValueLimit) {
            std::memcpy(v->text, value, 16);
            if (length > 16) std::memcpy(v->text + 16, value + 16, AdifRecord::kValueLimit - 16);
            v->length = static_cast<std::uint8_t>(length);
        } else {
            capture_ = v;
            Capture(value, static_cast<std::size_t>(length));
        }
    }
    return value + length;
}

std::size_t AdifReader::SlowField() const {
    static_assert(kNameLimit == AdifKey::kLimit);  // AdifKey::AtName reads all of name_
    return nameLength_ <= kNameLimit ? FieldOf(AdifKey::AtName(name_, nameLength_))
                                     : kAdifFieldCount;
}

const char* AdifReader::Slow(const char* q, const char* end) {
    state_ = State::Name;
    nameLength_ = 0;
    return Resume(q, end);
}

// Byte by byte, keeping the state for the next block: for tags and values cut by a block end.
// Returns where the text after the tag or value begins, or `end`.
const char* AdifReader::Resume(const char* p, const char* end) {
    while (p < end && state_ != State::Text) {
        switch (state_) {
            case State::Text:
                break;
            case State::Name: {
                while (p < end && kNameBytes.table[static_cast<unsigned char>(*p)]) {
                    if (nameLength_ < kNameLimit) name_[nameLength_] = *p;
                    ++nameLength_;
                    ++p;
                }
                if (p == end) return p;
                if (nameLength_ > 0 && *p == ':') {
                    ++p;
                    state_ = State::Length;
                    length_ = 0;
                    lengthDigits_ = false;
                } else if (nameLength_ > 0 && *p == '>') {
                    ++p;
                    state_ = State::Text;
                    if (nameLength_ == 3) Marker(AdifKey::AtName(name_, 3));
                } else {
                    state_ = State::Text;  // not a tag: this byte is looked at again as text
                }
                break;
            }
            case State::Length: {
                while (p < end && *p >= '0' && *p <= '9') {
                    length_ = WithDigit(length_, static_cast<unsigned>(*p - '0'));
                    lengthDigits_ = true;
                    ++p;
                }
                if (p == end) return p;
                if (lengthDigits_ && *p == '>') {
                    ++p;
                    ValueBegins(SlowField(), length_);
                } else if (lengthDigits_ && *p == ':') {
                    ++p;
                    state_ = State::Type;
                    typeChars_ = false;
                } else {
                    state_ = State::Text;
                }
                break;
            }
            case State::Type: {
                while (p < end && kNameBytes.table[static_cast<unsigned char>(*p)]) {
                    typeChars_ = true;
                    ++p;
                }
                if (p == end) return p;
                if (typeChars_ && *p == '>') {
                    ++p;
                    ValueBegins(SlowField(), length_);
                } else {
                    state_ = State::Text;
                }
                break;
            }
            case State::Value: {
                const auto available = static_cast<std::uint64_t>(end - p);
                const auto n =
                    static_cast<std::size_t>(remaining_ < available ? remaining_ : available);
                if (capture_) Capture(p, n);
                p += n;
                remaining_ -= n;
                if (remaining_ == 0) state_ = State::Text;
                break;
            }
        }
    }
    return p;
}

// A field's tag has been read: its value, `length` bytes, comes next.
void AdifReader::ValueBegins(std::size_t field, std::uint64_t length) {
    capture_ = Claim(field);
    remaining_ = length;
    state_ = length == 0 ? State::Text : State::Value;
}

// The place for the value of `field`, emptied, when the field counts and this is its first
// occurrence in the record (the first one counts); else null.
AdifRecord::Value* AdifReader::Claim(std::size_t field) {
    if (field >= kAdifFieldCount || record_.present & (1u << field)) return nullptr;
    record_.present |= 1u << field;
    AdifRecord::Value& v = record_.values[field];
    v.length = 0;
    v.tooLong = false;
    return &v;
}

// <NAME> without a length: a record or header end, or else plain text.
void AdifReader::Marker(const AdifKey& name) {
    if (name == kEor) {
        sink_.OnRecord(record_);
        record_.present = 0;
        header_ = false;
    } else if (name == kEoh && header_) {
        record_.present = 0;  // those were the header's fields
    }
}

// Keeps the value without its leading spaces, up to the limit; notes whether anything but
// spaces went past it.
void AdifReader::Capture(const char* p, std::size_t n) {
    AdifRecord::Value& v = *capture_;
    const char* const end = p + n;
    if (v.length == 0 && !v.tooLong) {
        while (p < end && *p == ' ') ++p;
    }
    const std::size_t room = AdifRecord::kValueLimit - v.length;
    const std::size_t take =
        static_cast<std::size_t>(end - p) < room ? static_cast<std::size_t>(end - p) : room;
    std::memcpy(v.text + v.length, p, take);
    v.length = static_cast<std::uint8_t>(v.length + take);
    for (p += take; p < end && !v.tooLong; ++p) v.tooLong = *p != ' ';
}

}  // namespace quorvane
