// The fixed tables of the program: bands, mode classes, continents, QSL tags and table texts.
// Every tally, table and chart iterates these; nothing else spells a band or a tag.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace quorvane {

struct Band {
    std::string_view label;       // table label, "20M"
    std::string_view chartLabel;  // chart label, "20"
    int number;                   // in counter names, C20, EU20
    std::string_view tag;         // ADIF literal, "<BAND:3>20M"
};

inline constexpr std::size_t kBandCount = 10;
inline constexpr std::array<Band, kBandCount> BandTable{{
    {"6M", "6", 6, "<BAND:2>6M"},
    {"10M", "10", 10, "<BAND:3>10M"},
    {"12M", "12", 12, "<BAND:3>12M"},
    {"15M", "15", 15, "<BAND:3>15M"},
    {"17M", "17", 17, "<BAND:3>17M"},
    {"20M", "20", 20, "<BAND:3>20M"},
    {"30M", "30", 30, "<BAND:3>30M"},
    {"40M", "40", 40, "<BAND:3>40M"},
    {"80M", "80", 80, "<BAND:3>80M"},
    {"160M", "160", 160, "<BAND:4>160M"},
}};

// Any band tag at all, listed or not: what sends a line to "Others".
inline constexpr std::string_view kAnyBandTag = "<BAND:";

struct ModeClass {
    std::string_view name;                 // table header and chart series, "CW"
    char counterLetter;                    // C, R or S
    std::array<std::string_view, 3> tags;  // unused slots are empty
};

// In the order of precedence: CW before DIG before PHO.
inline constexpr std::size_t kModeClassCount = 3;
inline constexpr std::array<ModeClass, kModeClassCount> ModeClasses{{
    {"CW", 'C', {"<MODE:2>CW", "", ""}},
    {"DIG", 'R', {"<MODE:4>RTTY", "<MODE:5>PSK63", "<MODE:5>PSK31"}},
    {"PHO", 'S', {"<MODE:3>SSB", "<MODE:2>FM", "<MODE:2>AM"}},
}};

struct Continent {
    std::string_view code;  // column header and chart series, "EU"
    std::string_view tag;   // "<CONT:2>EU"
};

// In the order of precedence, which is also the column and series order.
inline constexpr std::size_t kContinentCount = 7;
inline constexpr std::array<Continent, kContinentCount> Continents{{
    {"AF", "<CONT:2>AF"},
    {"AN", "<CONT:2>AN"},
    {"AS", "<CONT:2>AS"},
    {"EU", "<CONT:2>EU"},
    {"NA", "<CONT:2>NA"},
    {"OC", "<CONT:2>OC"},
    {"SA", "<CONT:2>SA"},
}};

struct QslField {
    std::string_view name;  // counter name, "QslSent"
    std::string_view tag;   // whole field with its value, "<QSL_SENT:1>Y"
};

// The six passes of the QSL tally, in their fixed order.
inline constexpr std::size_t kQslFieldCount = 6;
inline constexpr std::array<QslField, kQslFieldCount> QslFields{{
    {"QslSent", "<QSL_SENT:1>Y"},
    {"QslRcvd", "<QSL_RCVD:1>Y"},
    {"LotwSent", "<LOTW_QSL_SENT:1>Y"},
    {"LotwRcvd", "<LOTW_QSL_RCVD:1>Y"},
    {"EqslSent", "<eQSL_QSL_SENT:1>Y"},
    {"EqslRcvd", "<eQSL_QSL_RCVD:1>Y"},
}};

struct QslChannel {
    std::string_view header;  // "QSL", "LoTW", "eQSL"
    std::size_t sentField;    // index into QslFields
    std::size_t rcvdField;
};

inline constexpr std::array<QslChannel, 3> QslChannels{{
    {"QSL", 0, 1},
    {"LoTW", 2, 3},
    {"eQSL", 4, 5},
}};

// Texts of the tables that are not band, mode or continent names.
inline constexpr std::string_view kTotalText = "Total";
inline constexpr std::string_view kOthersText = "Others";
inline constexpr std::string_view kNoBreakdownText = "-";
inline constexpr std::string_view kRcvdSentText = "Rcvd/Sent";

// The tables' titles, as the windows, the report and the page give them.
inline constexpr std::string_view kContinentTitle = "Continent Summary";
inline constexpr std::string_view kQslTitle = "QSL Rcvd/Sent";
inline constexpr std::string_view kDxccSummaryTitle = "DXCC Summary";
inline constexpr std::string_view kDxccEntitiesTitle = "DXCC by Entity";
inline constexpr std::string_view kYearsTitle = "Contacts by Year";

}  // namespace quorvane
