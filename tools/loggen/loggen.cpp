// The log generator: one contact per line, with a deterministic mix of ordinary and odd records.
#include "loggen.h"

#include <array>
#include <optional>
#include <sstream>
#include <string_view>
#include <utility>
#include <vector>

namespace quorvane::loggen {

namespace {

// splitmix64: the same stream for the same seed on every platform and library.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    std::size_t Below(std::size_t n) { return static_cast<std::size_t>(Next() % n); }
    bool Chance(double p) { return static_cast<double>(Next() >> 11) * 0x1.0p-53 < p; }
    template <class C>
    const auto& Pick(const C& c) {
        return c[Below(std::size(c))];
    }

  private:
    std::uint64_t state_;
};

struct BandInfo {
    std::string_view value;
    std::string_view freq;
};
// Listed bands, weighted towards the busy ones by repetition.
constexpr std::array<BandInfo, 16> kBands{{
    {"6M", "50.150"},
    {"10M", "28.495"},
    {"12M", "24.950"},
    {"15M", "21.295"},
    {"17M", "18.130"},
    {"20M", "14.205"},
    {"20M", "14.025"},
    {"20M", "14.070"},
    {"30M", "10.136"},
    {"40M", "7.030"},
    {"40M", "7.150"},
    {"80M", "3.573"},
    {"80M", "3.760"},
    {"160M", "1.840"},
    {"15M", "21.074"},
    {"10M", "28.074"},
}};
constexpr std::array<std::string_view, 13> kModes{
    "CW", "CW", "CW", "SSB", "SSB", "SSB", "FM", "AM", "RTTY", "PSK31", "PSK63", "RTTY", "SSB"};
constexpr std::array<std::string_view, 8> kContinents{"AF", "AN", "AS", "EU",
                                                      "EU", "NA", "OC", "SA"};
constexpr std::array<std::string_view, 12> kPrefixes{"DL", "G",  "F",  "I",  "K",  "W",
                                                     "JA", "VK", "ZS", "PY", "UA", "OH"};
constexpr std::array<std::string_view, 8> kNames{"Hans",  "John", "Marie", "Akira",
                                                 "Pedro", "Olga", "Bruce", "Ngozi"};
constexpr std::array<std::string_view, 6> kGrids{"JO62QM", "IO91WM", "FN31PR",
                                                 "PM95VQ", "QF56OD", "KG33XI"};

// `type` is the field's ADIF data type, or '\0' for none.
void Field(std::string& out, std::string_view name, std::string_view value, char type = '\0') {
    out += '<';
    out += name;
    out += ':';
    out += std::to_string(value.size());
    if (type != '\0') {
        out += ':';
        out += type;
    }
    out += '>';
    out += value;
    out += ' ';
}

std::string_view YesNo(Random& rnd, double yes) { return rnd.Chance(yes) ? "Y" : "N"; }

// One contact; the odd ones carry something that the tallies must not count as it stands.
// `typed` gives every field its data type: S string, D date, T time, G grid square, E
// enumeration, N number.
std::string Contact(Random& rnd, std::uint64_t n, double oddShare, bool typed) {
    std::string call = std::string(rnd.Pick(kPrefixes)) + std::to_string(1 + rnd.Below(9)) +
                       static_cast<char>('A' + rnd.Below(26)) +
                       static_cast<char>('A' + rnd.Below(26)) +
                       static_cast<char>('A' + rnd.Below(26));
    const BandInfo& band = rnd.Pick(kBands);
    std::string r;
    r.reserve(320);
    const auto field = [&](std::string_view name, std::string_view value, char type) {
        Field(r, name, value, typed ? type : '\0');
    };
    field("CALL", call, 'S');
    field("QSO_DATE", "20240" + std::to_string(1 + n % 9) + std::to_string(10 + n % 18), 'D');
    field("TIME_ON", std::to_string(1000 + n % 1300), 'T');
    field("STATION_CALLSIGN", "QV1TEST", 'S');
    field("NAME", rnd.Pick(kNames), 'S');
    field("GRIDSQUARE", rnd.Pick(kGrids), 'G');

    const std::string enumeration = typed ? ":E>" : ">";
    std::string bandText =
        "<BAND:" + std::to_string(band.value.size()) + enumeration + std::string(band.value);
    std::string modeValue(rnd.Pick(kModes));
    std::string modeText = "<MODE:" + std::to_string(modeValue.size()) + enumeration + modeValue;
    if (rnd.Chance(oddShare)) {
        switch (rnd.Below(9)) {
            case 0:
                bandText = "<BAND:3>60M";
                break;
            case 1:
                bandText = "<BAND:2>2M";
                break;
            case 2:
                modeText = "<MODE:3>FT8";
                break;
            case 3:
                modeText = "<MODE:4>PSK31";
                break;  // wrong length digit
            case 4:
                bandText = "<BAND:3:E>" + std::string(band.value);
                break;  // data-type indicator
            case 5:
                bandText = "<band:3>20m";
                modeText = "<mode:2>cw";
                break;
            case 6:
                bandText = "<BAND:3>20m";
                break;
            case 7:
                modeText = "<MODE:4>MFSK <SUBMODE:3>FT4";
                break;
            default:
                bandText = "<BAND:5>70CM";
                modeText = "<MODE:2>FM";
                break;
        }
    }
    r += bandText + ' ' + modeText + ' ';
    field("FREQ", band.freq, 'N');
    field("RST_SENT", modeValue == "CW" || modeValue == "RTTY" ? "599" : "59", 'S');
    field("RST_RCVD", modeValue == "CW" || modeValue == "RTTY" ? "579" : "57", 'S');
    if (!rnd.Chance(0.05)) {
        std::string_view cont = rnd.Pick(kContinents);
        field("CONT", rnd.Chance(oddShare / 4) ? std::string_view("eu") : cont, 'E');
    }
    field("QSL_SENT", rnd.Chance(oddShare / 4) ? "y" : YesNo(rnd, 0.4), 'E');
    field("QSL_RCVD", YesNo(rnd, 0.25), 'E');
    field("LOTW_QSL_SENT", YesNo(rnd, 0.7), 'E');
    field("LOTW_QSL_RCVD", YesNo(rnd, 0.45), 'E');
    field(rnd.Chance(oddShare / 4) ? "EQSL_QSL_SENT" : "eQSL_QSL_SENT", YesNo(rnd, 0.6), 'E');
    field("eQSL_QSL_RCVD", YesNo(rnd, 0.5), 'E');
    r += "<EOR>";
    return r;
}

std::string_view Ending(Random& rnd, LineEnd style) {
    switch (style) {
        case LineEnd::CRLF:
            return "\r\n";
        case LineEnd::CR:
            return "\r";
        case LineEnd::LF:
            return "\n";
        case LineEnd::Mixed:
            break;
    }
    static constexpr std::array<std::string_view, 3> kAll{"\r\n", "\r", "\n"};
    return rnd.Pick(kAll);
}

// ---- the Fields style

// Values chosen to reach every branch of the field rules: listed and unlisted bands in any
// case, band edges and numbers that are not numbers, modes, submodes and unknown names.
constexpr std::array<std::string_view, 14> kBandValues{
    "20m", "20M", "40m", "160m", "6M", " 10m ", "17m", "60m", "2m", "70CM", "", "  ", "12m", "80m"};
constexpr std::array<std::string_view, 16> kFrequencies{
    "14.074",  "7.0", "14.35", "14.3500001", "1.8", "29.7",    "50",      "54.000001",
    "144.300", ".5",  "3.573", "abc",        "",    "21.0740", "010.136", "28.0000000001"};
constexpr std::array<std::string_view, 20> kModeValues{
    "CW", "cw",   "SSB",          "usb", "LSB",  "FT8",    "ft4", "PSK31", "RTTY", "FM",
    "AM", "C4FM", "DIGITALVOICE", "PCW", "JT65", "olivia", "FOO", "",      "MFSK", "jt9e fast"};
constexpr std::array<std::string_view, 6> kSubmodes{"FT4", "USB", "PSK63", "DSTAR", "q65", "NOPE"};
constexpr std::array<std::string_view, 9> kContValues{"EU", "eu", "AF", "AN", "as",
                                                      "NA", "OC", "SA", "XX"};
constexpr std::array<std::string_view, 6> kYesNo{"Y", "N", "y", " Y ", "", "YES"};
constexpr std::array<std::string_view, 6> kSeparators{"", " ", "\n", "\r\n", " \r\n", "\t"};
constexpr std::array<std::string_view, 7> kNoise{"<<",    "<:5>", "<BAND:3",   "< BAND:3>20m",
                                                 "a<b>c", "<EOH", "<BAND:>20m"};

std::string AnyCase(Random& rnd, std::string_view name) {
    std::string s(name);
    const std::size_t how = rnd.Below(4);
    for (char& c : s) {
        const bool lower = how == 1 || (how == 2 && rnd.Chance(0.5));
        if (lower && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

void TaggedField(Random& rnd, std::string& out, std::string_view name, std::string_view value) {
    out += '<';
    out += AnyCase(rnd, name);
    out += ':';
    out += std::to_string(value.size());
    if (rnd.Chance(0.1)) out += rnd.Chance(0.5) ? ":S" : ":e";
    out += '>';
    out += value;
}

std::string FieldsRecord(Random& rnd, std::uint64_t n) {
    std::vector<std::pair<std::string_view, std::string>> fields;
    auto add = [&](std::string_view name, std::string_view value) {
        fields.emplace_back(name, value);
    };
    add("CALL", "QV" + std::to_string(n % 10) + "ABC");
    add("QSO_DATE", "20240" + std::to_string(1 + n % 9) + "15");
    if (!rnd.Chance(0.15)) add("BAND", rnd.Pick(kBandValues));
    if (rnd.Chance(0.6)) add("FREQ", rnd.Pick(kFrequencies));
    if (!rnd.Chance(0.15)) add("MODE", rnd.Pick(kModeValues));
    if (rnd.Chance(0.3)) add("SUBMODE", rnd.Pick(kSubmodes));
    if (rnd.Chance(0.85)) add("CONT", rnd.Pick(kContValues));
    for (std::string_view q : {"QSL_SENT", "QSL_RCVD", "LOTW_QSL_SENT", "LOTW_QSL_RCVD",
                               "EQSL_QSL_SENT", "EQSL_QSL_RCVD"})
        if (rnd.Chance(0.7)) add(q, rnd.Pick(kYesNo));
    if (rnd.Chance(0.1)) add("COMMENT", "tnx <EOR> 73 <BAND:3>40m");
    if (rnd.Chance(0.05)) add("NOTES", std::string(200, ' ') + "long");
    for (std::size_t i = fields.size(); i > 1; --i) std::swap(fields[i - 1], fields[rnd.Below(i)]);
    if (rnd.Chance(0.1)) fields.push_back(fields[rnd.Below(fields.size())]);  // a doubled field
    if (rnd.Chance(0.1)) fields.back().second = std::string(rnd.Pick(kModeValues));

    std::string r;
    const std::string_view separator = rnd.Pick(kSeparators);
    for (const auto& [name, value] : fields) {
        TaggedField(rnd, r, name, value);
        r += rnd.Chance(0.9) ? separator : rnd.Pick(kSeparators);
    }
    if (rnd.Chance(0.05)) r += rnd.Pick(kNoise);
    r += rnd.Chance(0.3) ? "<eor>" : "<EOR>";
    return r;
}

void WriteFields(std::ostream& out, const Options& o) {
    Random rnd(o.seed);
    std::string chunk;
    auto endLine = [&] { chunk += Ending(rnd, o.lineEnd); };
    if (o.header) {
        switch (rnd.Below(4)) {
            case 0:
                chunk += "\xef\xbb\xbf# Exported by a logging program";
                break;
            case 1:
                chunk += "Generated log <ADIF_VER:5>3.1.6";
                break;
            case 2:
                chunk += "<adif_ver:5>3.1.6 <band:3>20m <mode:2>CW";
                break;  // dropped by <EOH>
            default:
                chunk += "# no end of header";
                break;
        }
        endLine();
        if (rnd.Chance(0.75)) chunk += rnd.Chance(0.5) ? "<EOH>" : "<eoh>";
        endLine();
    }
    for (std::uint64_t n = 0; n < o.contacts; ++n) {
        chunk += FieldsRecord(rnd, n);
        if (n + 1 < o.contacts || o.finalLineEnd) endLine();
        if (chunk.size() > (1u << 20)) {
            out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
            chunk.clear();
        }
    }
    if (rnd.Chance(0.5)) chunk += "<BAND:3>20m<MODE:2>CW";  // after the last record: none
    out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
}

// ---- the Awards and Dense styles: one contact a line

// Every current entity of ADIF's DXCC list, and those that most logs are full of, repeated.
constexpr std::array<std::uint16_t, 340> kCurrentCodes{
    1,   3,   4,   5,   6,   7,   9,   10,  11,  12,  13,  14,  15,  16,  17,  18,  20,  21,  22,
    24,  27,  29,  31,  32,  33,  34,  35,  36,  37,  38,  40,  41,  43,  45,  46,  47,  48,  49,
    50,  51,  52,  53,  54,  56,  60,  61,  62,  63,  64,  65,  66,  69,  70,  71,  72,  74,  75,
    76,  77,  78,  79,  80,  82,  84,  86,  88,  89,  90,  91,  94,  95,  96,  97,  98,  99,  100,
    103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 114, 116, 117, 118, 120, 122, 123, 124, 125,
    126, 129, 130, 131, 132, 133, 135, 136, 137, 138, 140, 141, 142, 143, 144, 145, 146, 147, 148,
    149, 150, 152, 153, 157, 158, 159, 160, 161, 162, 163, 165, 166, 167, 168, 169, 170, 171, 172,
    173, 174, 175, 176, 177, 179, 180, 181, 182, 185, 187, 188, 189, 190, 191, 192, 195, 197, 199,
    201, 202, 203, 204, 205, 206, 207, 209, 211, 212, 213, 214, 215, 216, 217, 219, 221, 222, 223,
    224, 225, 227, 230, 232, 233, 234, 235, 236, 237, 238, 239, 240, 241, 242, 245, 246, 247, 248,
    249, 250, 251, 252, 253, 254, 256, 257, 259, 260, 262, 263, 265, 266, 269, 270, 272, 273, 274,
    275, 276, 277, 278, 279, 280, 281, 282, 283, 284, 285, 286, 287, 288, 289, 291, 292, 293, 294,
    295, 296, 297, 298, 299, 301, 302, 303, 304, 305, 306, 308, 309, 312, 315, 318, 321, 324, 327,
    330, 333, 336, 339, 342, 344, 345, 348, 354, 363, 369, 370, 372, 375, 376, 378, 379, 381, 382,
    384, 386, 387, 390, 391, 400, 401, 402, 404, 406, 408, 409, 410, 411, 412, 414, 416, 420, 422,
    424, 428, 430, 432, 434, 436, 438, 440, 442, 444, 446, 450, 452, 453, 454, 456, 458, 460, 462,
    464, 466, 468, 470, 474, 478, 480, 482, 483, 489, 490, 492, 497, 499, 501, 502, 503, 504, 505,
    506, 507, 508, 509, 510, 511, 512, 513, 514, 515, 516, 517, 518, 519, 520, 521, 522};
constexpr std::array<std::uint16_t, 24> kBusyCodes{291, 291, 291, 230, 230, 1,   223, 227,
                                                   248, 281, 339, 150, 100, 108, 15,  54,
                                                   209, 206, 503, 263, 284, 224, 318, 110};
// Deleted entities (the old Germany, the GDR, Zanzibar ...), still met in old contacts.
constexpr std::array<std::uint16_t, 8> kDeletedCodes{81, 81, 229, 229, 2, 55, 134, 493};
// DXCC values that name no entity or an entity written unusually, and days that are none.
constexpr std::array<std::string_view, 9> kOddDxcc{"999",   "USA", "-1", "291.0", "0291",
                                                   " 230 ", "00",  "",   "   "};
constexpr std::array<std::string_view, 8> kOddDays{"20230229",   "        ", "2023-01-05",
                                                   "19291231",   "20231301", "2023011",
                                                   " 20230105 ", "20240229"};
constexpr std::array<std::string_view, 12> kReceived{"Y", "N",   "N", "N", "R", "V",
                                                     "y", " Y ", "I", "",  "N", "Y"};

std::string Digits(std::uint64_t value, std::size_t width) {
    std::string s = std::to_string(value);
    return std::string(width > s.size() ? width - s.size() : 0, '0') + s;
}

// A real calendar day from 2012 to 2024, as QSO_DATE writes it.
std::string Day(Random& rnd) {
    static constexpr std::array<int, 12> kDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const int year = 2012 + static_cast<int>(rnd.Below(13));
    const std::size_t month = rnd.Below(12);
    const int leap = month == 1 && year % 4 == 0 ? 1 : 0;
    return std::to_string(year) + Digits(month + 1, 2) +
           Digits(1 + rnd.Below(static_cast<std::size_t>(kDays[month] + leap)), 2);
}

// Mostly the busy entities and any current one; a few deleted, 0, missing or odd.
std::optional<std::string> DxccValue(Random& rnd) {
    const std::size_t kind = rnd.Below(100);
    if (kind < 45) return std::to_string(rnd.Pick(kBusyCodes));
    if (kind < 83) return std::to_string(rnd.Pick(kCurrentCodes));
    if (kind < 87) return std::to_string(rnd.Pick(kDeletedCodes));
    if (kind < 90) return "0";
    if (kind < 95) return std::nullopt;
    return std::string(rnd.Pick(kOddDxcc));
}

std::string AwardsRecord(Random& rnd, std::uint64_t n) {
    std::string r;
    auto add = [&](std::string_view name, std::string_view value) {
        TaggedField(rnd, r, name, value);
        r += ' ';
    };
    add("CALL", "QV" + std::to_string(n % 10) + "AW");
    if (rnd.Chance(0.93))
        add("QSO_DATE", Day(rnd));
    else if (rnd.Chance(0.8))
        add("QSO_DATE", rnd.Pick(kOddDays));
    add("TIME_ON", Digits(rnd.Below(2400), 4));
    if (!rnd.Chance(0.08)) add("BAND", rnd.Pick(kBandValues));
    if (rnd.Chance(0.5)) add("FREQ", rnd.Pick(kFrequencies));
    if (!rnd.Chance(0.08)) add("MODE", rnd.Pick(kModeValues));
    if (rnd.Chance(0.2)) add("SUBMODE", rnd.Pick(kSubmodes));
    if (const auto dxcc = DxccValue(rnd)) add("DXCC", *dxcc);
    for (std::string_view q : {"QSL_RCVD", "LOTW_QSL_RCVD", "EQSL_QSL_RCVD"})
        if (rnd.Chance(0.85)) add(q, rnd.Pick(kReceived));
    r += "<EOR>";
    return r;
}

// Ten to thirteen short fields in any order, about 180 bytes with the line end.
std::string DenseRecord(Random& rnd, std::uint64_t n) {
    const BandInfo& band = rnd.Pick(kBands);
    const std::string_view mode = rnd.Pick(kModes);
    const bool cw = mode == "CW" || mode == "RTTY";
    std::vector<std::pair<std::string_view, std::string>> fields{
        {"CALL", std::string(rnd.Pick(kPrefixes)) + std::to_string(n % 10) + "ABC"},
        {"QSO_DATE", Day(rnd)},
        {"TIME_ON", Digits(rnd.Below(2400), 4)},
        {"BAND", std::string(band.value)},
        {"MODE", std::string(mode)},
        {"FREQ", std::string(band.freq)},
        {"RST_SENT", cw ? "599" : "59"},
        {"RST_RCVD", cw ? "579" : "57"},
        {"DXCC", std::to_string(rnd.Pick(kBusyCodes))},
        {"QSL_RCVD", std::string(YesNo(rnd, 0.3))}};
    if (rnd.Chance(0.7)) fields.emplace_back("CONT", rnd.Pick(kContinents));
    if (rnd.Chance(0.6)) fields.emplace_back("LOTW_QSL_RCVD", YesNo(rnd, 0.4));
    if (rnd.Chance(0.5)) fields.emplace_back("GRIDSQUARE", rnd.Pick(kGrids).substr(0, 4));
    for (std::size_t i = fields.size(); i > 1; --i) std::swap(fields[i - 1], fields[rnd.Below(i)]);
    std::string r;
    for (const auto& [name, value] : fields) Field(r, name, value);
    r += "<EOR>";
    return r;
}

void WriteLines(std::ostream& out, const Options& o,
                std::string (*record)(Random&, std::uint64_t)) {
    Random rnd(o.seed);
    std::string chunk;
    if (o.header) {
        chunk += "Quorvane generated log <ADIF_VER:5>3.1.7 <PROGRAMID:7>QVLOGEN <EOH>";
        chunk += Ending(rnd, o.lineEnd);
    }
    for (std::uint64_t n = 0; n < o.contacts; ++n) {
        chunk += record(rnd, n);
        if (n + 1 < o.contacts || o.finalLineEnd) chunk += Ending(rnd, o.lineEnd);
        if (chunk.size() > (1u << 20)) {
            out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
            chunk.clear();
        }
    }
    out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
}

}  // namespace

void Write(std::ostream& out, const Options& o) {
    if (o.style == Style::Fields) return WriteFields(out, o);
    if (o.style == Style::Awards) return WriteLines(out, o, AwardsRecord);
    if (o.style == Style::Dense) return WriteLines(out, o, DenseRecord);
    Random rnd(o.seed);
    std::string chunk;
    auto endLine = [&] { chunk += Ending(rnd, o.lineEnd); };
    if (o.header) {
        chunk += "Quorvane generated log";
        endLine();
        chunk += "<ADIF_VER:5>3.1.4 <PROGRAMID:7>QVLOGEN <CREATED_TIMESTAMP:15>20240101 000000";
        endLine();
        chunk += "<EOH>";
        endLine();
    }
    const bool typed = o.style == Style::Typed;
    for (std::uint64_t n = 0; n < o.contacts; ++n) {
        std::string contact = Contact(rnd, n, o.oddShare, typed);
        if (rnd.Chance(o.splitShare)) {
            // Spread over two lines: the band on the first, the mode on the second.
            const std::size_t cut = contact.find("<MODE:");
            if (cut != std::string::npos) {
                chunk.append(contact, 0, cut);
                endLine();
                contact.erase(0, cut);
            }
        } else if (n + 1 < o.contacts && rnd.Chance(o.doubleShare)) {
            contact += ' ' + Contact(rnd, ++n, o.oddShare, typed);
        }
        chunk += contact;
        if (n + 1 < o.contacts || o.finalLineEnd) endLine();
        if (chunk.size() > (1u << 20)) {
            out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
            chunk.clear();
        }
    }
    out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
}

std::string Generate(const Options& options) {
    std::ostringstream out;
    Write(out, options);
    return std::move(out).str();
}

bool ParseStyle(const std::string& text, Style& out) {
    if (text == "lines")
        out = Style::Lines;
    else if (text == "fields")
        out = Style::Fields;
    else if (text == "typed")
        out = Style::Typed;
    else if (text == "awards")
        out = Style::Awards;
    else if (text == "dense")
        out = Style::Dense;
    else
        return false;
    return true;
}

bool ParseLineEnd(const std::string& text, LineEnd& out) {
    if (text == "crlf")
        out = LineEnd::CRLF;
    else if (text == "cr")
        out = LineEnd::CR;
    else if (text == "lf")
        out = LineEnd::LF;
    else if (text == "mixed")
        out = LineEnd::Mixed;
    else
        return false;
    return true;
}

}  // namespace quorvane::loggen
