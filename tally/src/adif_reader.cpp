// The ADIF field reader: a byte-driven state machine, so that a field cut anywhere by a block
// end reads the same, and a value of any length costs no memory.
#include "quorvane/adif_reader.h"

#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quorvane {

// Names are compared folded: every byte | 0x20 maps letters to lower case, keeps digits and
// turns '_' into 0x7f, so that folding is one-to-one over the bytes of a name.
struct AdifName {
    std::uint64_t low = 0, high = 0;  // bytes 0-7 and 8-15, little endian
    std::size_t length = 0;
};

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

constexpr AdifName Fold(std::string_view name) {
    AdifName f;
    f.length = name.size();
    for (std::size_t i = 0; i < name.size(); ++i) {
        const std::uint64_t byte = static_cast<unsigned char>(name[i]) | 0x20u;
        (i < 8 ? f.low : f.high) |= byte << (8 * (i % 8));
    }
    return f;
}

constexpr std::array<AdifName, kAdifFieldCount> kFieldNames{
    Fold("BAND"),          Fold("FREQ"),          Fold("MODE"),          Fold("CONT"),
    Fold("SUBMODE"),       Fold("QSL_SENT"),      Fold("QSL_RCVD"),      Fold("LOTW_QSL_SENT"),
    Fold("LOTW_QSL_RCVD"), Fold("EQSL_QSL_SENT"), Fold("EQSL_QSL_RCVD"),
};
constexpr AdifName kEor = Fold("EOR");
constexpr AdifName kEoh = Fold("EOH");

// The name's bytes, folded and packed like Fold's result.
AdifName Packed(const unsigned char* name, std::size_t length) {
    unsigned char bytes[16] = {};
    for (std::size_t i = 0; i < length; ++i) bytes[i] = name[i] | 0x20;
    AdifName f;
    std::memcpy(&f.low, bytes, 8);
    std::memcpy(&f.high, bytes + 8, 8);
    f.length = length;
    return f;
}

bool Same(const AdifName& a, const AdifName& b) {
    return a.length == b.length && a.low == b.low && a.high == b.high;
}

// The AdifField of a folded, packed name; kAdifFieldCount for any other name. Only four
// lengths can be one of the fields, so most names are turned away by their length alone.
inline std::size_t FieldOf(const AdifName& name) {
    std::size_t first = 0, last = 0;  // the fields of that length, [first, last)
    switch (name.length) {
    case 4: first = 0, last = 4; break;  // BAND FREQ MODE CONT
    case 7: first = 4, last = 5; break;  // SUBMODE
    case 8: first = 5, last = 7; break;  // QSL_SENT QSL_RCVD
    case 13: first = 7, last = 11; break;
    default: return kAdifFieldCount;
    }
    for (std::size_t f = first; f < last; ++f)
        if (name.low == kFieldNames[f].low && name.high == kFieldNames[f].high) return f;
    return kAdifFieldCount;
}

// How many bytes from p on are name bytes, up to 16; p has 16 readable bytes.
inline std::size_t NameRun16(const char* p) {
#if defined(__SSE2__)
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i folded = _mm_or_si128(v, _mm_set1_epi8(0x20));
    const __m128i letter = _mm_and_si128(_mm_cmpgt_epi8(folded, _mm_set1_epi8('a' - 1)),
                                         _mm_cmplt_epi8(folded, _mm_set1_epi8('z' + 1)));
    const __m128i digit = _mm_and_si128(_mm_cmpgt_epi8(v, _mm_set1_epi8('0' - 1)),
                                        _mm_cmplt_epi8(v, _mm_set1_epi8('9' + 1)));
    const __m128i underscore = _mm_cmpeq_epi8(v, _mm_set1_epi8('_'));
    const unsigned other =
        ~static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(letter, digit), underscore))) &
        0xffffu;
    return other ? static_cast<std::size_t>(__builtin_ctz(other)) : 16;
#else
    std::size_t n = 0;
    while (n < 16 && kNameBytes.table[static_cast<unsigned char>(p[n])]) ++n;
    return n;
#endif
}

// Bit i set where byte i of the 32 at p is a name byte, a digit, ':' or '>'.
struct TagBytes {
    std::uint32_t name;
    std::uint32_t digit;
    std::uint32_t colon;
    std::uint32_t close;
};

inline TagBytes Classify32(const char* p) {
#if defined(__SSE2__)
    auto half = [](const char* h, std::uint32_t& name, std::uint32_t& digit, std::uint32_t& colon,
                   std::uint32_t& close) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(h));
        const __m128i folded = _mm_or_si128(v, _mm_set1_epi8(0x20));
        const __m128i letter = _mm_and_si128(_mm_cmpgt_epi8(folded, _mm_set1_epi8('a' - 1)),
                                             _mm_cmplt_epi8(folded, _mm_set1_epi8('z' + 1)));
        const __m128i digits = _mm_and_si128(_mm_cmpgt_epi8(v, _mm_set1_epi8('0' - 1)),
                                             _mm_cmplt_epi8(v, _mm_set1_epi8('9' + 1)));
        const __m128i underscore = _mm_cmpeq_epi8(v, _mm_set1_epi8('_'));
        name = static_cast<std::uint32_t>(
            _mm_movemask_epi8(_mm_or_si128(_mm_or_si128(letter, digits), underscore)));
        digit = static_cast<std::uint32_t>(_mm_movemask_epi8(digits));
        colon = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8(':'))));
        close = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8('>'))));
    };
    std::uint32_t n0, d0, c0, g0, n1, d1, c1, g1;
    half(p, n0, d0, c0, g0);
    half(p + 16, n1, d1, c1, g1);
    return {n0 | (n1 << 16), d0 | (d1 << 16), c0 | (c1 << 16), g0 | (g1 << 16)};
#else
    TagBytes t{0, 0, 0, 0};
    for (unsigned i = 0; i < 32; ++i) {
        const auto c = static_cast<unsigned char>(p[i]);
        t.name |= static_cast<std::uint32_t>(kNameBytes.table[c]) << i;
        t.digit |= static_cast<std::uint32_t>(c >= '0' && c <= '9') << i;
        t.colon |= static_cast<std::uint32_t>(c == ':') << i;
        t.close |= static_cast<std::uint32_t>(c == '>') << i;
    }
    return t;
#endif
}

// The first `length` (at most 16) bytes at p, folded and packed; p has 16 readable bytes.
inline AdifName PackedAt(const char* p, std::size_t length) {
    constexpr std::uint64_t kFold = 0x2020202020202020ULL;
    AdifName f;
    std::memcpy(&f.low, p, 8);
    std::memcpy(&f.high, p + 8, 8);
    f.low |= kFold;
    f.high |= kFold;
    if (length < 8) {
        f.low &= (std::uint64_t{1} << (8 * length)) - 1;
        f.high = 0;
    } else if (length < 16) {
        f.high &= (std::uint64_t{1} << (8 * (length - 8))) - 1;
    }
    f.length = length;
    return f;
}

constexpr std::uint64_t kNoEnd = ~std::uint64_t{0};  // a length too large for any file

}  // namespace

void AdifReader::Feed(const char* data, std::size_t size) {
    const char* p = data;
    const char* const end = data + size;
    if (state_ != State::Text) p = Resume(p, end);
    if (p >= end) return;
#if defined(__SSE2__)
    // Every '<' of the block is found from a bitmap, sixteen bytes at a time, and tried as a
    // tag unless it lies inside the value read last. Where the next tag is does not wait for
    // the last one to be read, so the processor can work on several tags at once.
    const char* const fastEnd = end - kFastMargin;  // a tag before it is read by ReadTag
    for (const char* chunk = p; chunk + 16 <= fastEnd; chunk += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(chunk));
        auto bits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8('<'))));
        while (bits != 0) {
            const char* lt = chunk + __builtin_ctz(bits);
            bits &= bits - 1;
            if (lt < p) continue;
            p = ReadTag(lt + 1, end);
            if (p >= end) return;
        }
        if (p > chunk + 32) chunk = p - 16;  // on after a long value
    }
#endif
    while (p < end) {
        const void* lt = std::memchr(p, '<', static_cast<std::size_t>(end - p));
        if (!lt) return;
        p = static_cast<const char*>(lt) + 1;
        if (end - p < kFastMargin) {
            state_ = State::Name;
            nameLength_ = 0;
            p = Resume(p, end);
        } else {
            p = ReadTag(p, end);
        }
    }
}

// The usual case, a tag well inside the block, read with no state kept between bytes. `q` is
// the byte after '<', with at least kFastMargin bytes behind it. Returns where to go on. A tag
// of up to 31 bytes without a type is read from one look at its bytes; anything else by
// ReadTagScalar.
[[gnu::always_inline]] inline const char* AdifReader::ReadTag(const char* q, const char* end) {
    // Where the name, the length and the tag end is read off the byte classes alone, so that
    // no byte has to be loaded again before it is known whether this is a field.
    const TagBytes bytes = Classify32(q);
    const auto n = static_cast<unsigned>(__builtin_ctz(~bytes.name | (1u << 31)));
    if (n == 0) return q;
    if (n >= 24) return ReadTagScalar(q, end);
    if (bytes.close & (1u << n)) {
        if (n == 3) Marker(PackedAt(q, 3));
        return q + n + 1;
    }
    if (!(bytes.colon & (1u << n))) return q + n;
    const std::uint32_t notDigit = ~bytes.digit >> (n + 1);
    const auto k = static_cast<unsigned>(__builtin_ctz(notDigit | (1u << (30 - n))));
    if (k == 0) return q + n + 1;
    const unsigned after = n + 1 + k;  // the byte after the length
    if (k > 18 || after >= 31 || (bytes.colon & (1u << after))) return ReadTagScalar(q, end);
    if (!(bytes.close & (1u << after))) return q + after;
    const char* e = q + after;
    std::uint64_t length = 0;
    for (const char* d = q + n + 1; d < e; ++d) length = length * 10 + static_cast<unsigned>(*d - '0');
    ValueBegins(n <= kNameLimit ? FieldOf(PackedAt(q, n)) : kAdifFieldCount, length);
    const char* value = e + 1;
    if (length == 0) return value;
    if (length <= static_cast<std::uint64_t>(end - value)) {
        state_ = State::Text;
        if (capture_) {
            if (length <= AdifRecord::kValueLimit && end - value >= static_cast<std::ptrdiff_t>(AdifRecord::kValueLimit) &&
                *value != ' ') {
                // Whole 16-byte pieces: a fixed copy, where a copy of `length` bytes would
                // cost a call.
                for (std::size_t i = 0; i < AdifRecord::kValueLimit; i += 16)
                    std::memcpy(capture_->text + i, value + i, 16);
                capture_->length = static_cast<std::uint8_t>(length);
            } else {
                Capture(value, static_cast<std::size_t>(length));
            }
        }
        return value + length;
    }
    return Resume(value, end);
}

const char* AdifReader::ReadTagScalar(const char* q, const char* end) {
    std::size_t nameLength = NameRun16(q);
    const char* s = q + nameLength;
    if (nameLength == 16) {
        while (s < end && kNameBytes.table[static_cast<unsigned char>(*s)]) ++s;
        if (s == end) return Slow(q, end);
        nameLength = static_cast<std::size_t>(s - q);
    }
    if (nameLength == 0) return s;
    if (*s == '>') {
        if (nameLength == 3) Marker(PackedAt(q, 3));
        return s + 1;
    }
    if (*s != ':') return s;
    const char* d = s + 1;
    std::uint64_t length = 0;
    while (d < end && static_cast<unsigned char>(*d - '0') < 10) {
        length = length * 10 + static_cast<unsigned>(*d - '0');
        ++d;
        if (d - s > 18) {  // more digits than a 64-bit count holds: read it as no end
            while (d < end && static_cast<unsigned char>(*d - '0') < 10) ++d;
            length = kNoEnd;
        }
    }
    if (d == end) return Slow(q, end);
    if (d == s + 1) return d;
    if (*d == ':') {
        const char* t = d + 1;
        while (t < end && kNameBytes.table[static_cast<unsigned char>(*t)]) ++t;
        if (t == end) return Slow(q, end);
        if (t == d + 1 || *t != '>') return t;
        d = t;
    } else if (*d != '>') {
        return d;
    }
    const std::size_t field = nameLength <= kNameLimit ? FieldOf(PackedAt(q, nameLength)) : kAdifFieldCount;
    const char* value = d + 1;
    ValueBegins(field, length);
    if (length == 0) return value;
    const auto available = static_cast<std::uint64_t>(end - value);
    if (length <= available) {
        if (capture_) Capture(value, static_cast<std::size_t>(length));
        return value + length;
    }
    state_ = State::Value;
    remaining_ = length;
    return Resume(value, end);
}

std::size_t AdifReader::SlowField() const {
    return nameLength_ <= kNameLimit ? FieldOf(Packed(name_, nameLength_)) : kAdifFieldCount;
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
                if (nameLength_ < kNameLimit) name_[nameLength_] = static_cast<unsigned char>(*p);
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
                if (nameLength_ == 3) Marker(Packed(name_, 3));
            } else {
                state_ = State::Text;  // not a tag: this byte is looked at again as text
            }
            break;
        }
        case State::Length: {
            while (p < end && *p >= '0' && *p <= '9') {
                const unsigned digit = static_cast<unsigned>(*p - '0');
                length_ = length_ > (kNoEnd - digit) / 10 ? kNoEnd : length_ * 10 + digit;
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
            const auto n = static_cast<std::size_t>(remaining_ < available ? remaining_ : available);
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
    capture_ = nullptr;
    if (field < kAdifFieldCount && !(record_.present & (1u << field))) {  // the first one counts
        record_.present |= 1u << field;
        capture_ = &record_.values[field];
        capture_->length = 0;
        capture_->tooLong = false;
    }
    remaining_ = length;
    state_ = length == 0 ? State::Text : State::Value;
}

// <NAME> without a length: a record or header end, or else plain text.
void AdifReader::Marker(const AdifName& name) {
    if (Same(name, kEor)) {
        sink_.OnRecord(record_);
        record_.present = 0;
        header_ = false;
    } else if (Same(name, kEoh) && header_) {
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
    const std::size_t take = static_cast<std::size_t>(end - p) < room ? static_cast<std::size_t>(end - p) : room;
    std::memcpy(v.text + v.length, p, take);
    v.length = static_cast<std::uint8_t>(v.length + take);
    for (p += take; p < end && !v.tooLong; ++p) v.tooLong = *p != ' ';
}

}  // namespace quorvane
