// The reader of the ADIF field rules: the log as ADIF's tagged format, record by record.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace quorvane {

struct AdifKey;

// The fields that the ADIF field rules look at; the six confirmation fields in the order of
// QslFields.
enum class AdifField : std::uint8_t {
    Band,
    Freq,
    Mode,
    Cont,
    Submode,
    QslSent,
    QslRcvd,
    LotwQslSent,
    LotwQslRcvd,
    EqslQslSent,
    EqslQslRcvd,
    Dxcc,
    QsoDate,
};
inline constexpr std::size_t kAdifFieldCount = 13;
inline constexpr std::uint32_t kAllFields = (1u << kAdifFieldCount) - 1;

// One record's values of those fields: the first occurrence of each, without its leading
// spaces. A value is kept up to kValueLimit bytes; a longer one is marked and kept no further.
struct AdifRecord {
    static constexpr std::size_t kValueLimit = 64;
    struct Value {
        std::uint8_t length = 0;
        bool tooLong = false;  // more than kValueLimit bytes besides leading and trailing spaces
        char text[kValueLimit];
    };

    std::uint32_t present = 0;  // one bit per AdifField
    std::array<Value, kAdifFieldCount> values;

    // Null when the record has no such field.
    const Value* Get(AdifField f) const {
        const auto i = static_cast<std::size_t>(f);
        return present & (1u << i) ? &values[i] : nullptr;
    }
};

class AdifRecordSink {
  public:
    virtual void OnRecord(const AdifRecord& record) = 0;

  protected:
    ~AdifRecordSink() = default;
};

// Reads a log handed over in pieces of any size, in one pass with bounded memory.
//
// A field is <NAME:LENGTH> or <NAME:LENGTH:TYPE> followed by exactly LENGTH bytes of value;
// NAME (letters, digits, underscores) and TYPE match in any letter case. <EOR> ends a record;
// <EOH> before the first <EOR> ends the header and drops the fields seen so far. Anything
// else, a '<' that opens no such tag included, is text between fields and is skipped, the
// search going on from the byte after the '<'. Fields after the last <EOR> make no record.
class AdifReader {
  public:
    // Only the `fields` (bits of AdifField) are kept; the records hold no others.
    explicit AdifReader(AdifRecordSink& sink, std::uint32_t fields = kAllFields);

    void Feed(const char* data, std::size_t size);

  private:
    enum class State : std::uint8_t { Text, Name, Length, Type, Value };
    static constexpr std::size_t kNameLimit = 16;  // longer names are none that we look for
    // What ReadTag reads after the '<' without looking at the block's end: two 16-byte loads
    // of byte classes, and at most a name of kFastName bytes, ':', kFastDigits digits, ':', a
    // one-letter data type and '>'. Other tags go through Resume, and so do tags that begin
    // less than kFastMargin bytes before the end.
    static constexpr std::ptrdiff_t kFastMargin = 64;
    static constexpr unsigned kFastName = 30;
    static constexpr std::ptrdiff_t kFastDigits = 18;  // 10^18 - 1 fits in 64 bits
    static_assert(kFastMargin >= 32 && kFastMargin >= kFastName + 1 + kFastDigits + 1 + 1 + 1);

    const char* ReadTag(const char* q, const char* end);
    const char* Slow(const char* q, const char* end);
    const char* Resume(const char* p, const char* end);
    std::size_t SlowField() const;
    std::size_t FieldOf(const AdifKey& name) const;
    AdifRecord::Value* Claim(std::size_t field);
    void ValueBegins(std::size_t field, std::uint64_t length);
    void Marker(const AdifKey& name);
    void Capture(const char* p, std::size_t n);

    AdifRecordSink& sink_;
    // The field of each slot of the names' hash table (see FieldOf), kAdifFieldCount where the
    // field is not kept: a field left out costs nothing more than a name never looked for.
    std::array<std::uint8_t, 64> slotFields_;
    State state_ = State::Text;
    bool header_ = true;  // no <EOR> seen yet
    std::size_t nameLength_ = 0;
    char name_[kNameLimit] = {};  // its first kNameLimit bytes
    std::uint64_t length_ = 0;
    bool lengthDigits_ = false;
    bool typeChars_ = false;
    std::uint64_t remaining_ = 0;           // bytes of the value still to come
    AdifRecord::Value* capture_ = nullptr;  // where the value goes, if it is kept
    AdifRecord record_;
};

}  // namespace quorvane
