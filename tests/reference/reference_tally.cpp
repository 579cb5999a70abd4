// The counting rules, one line and one literal at a time.
#include "reference_tally.h"

#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace quorvane::reference {

namespace {

bool Has(const std::string& line, std::string_view literal) {
    return line.find(literal) != std::string::npos;
}

// The band/mode rows in the order they are tried; the first that holds counts the line.
struct BandModeRow {
    const char* band;
    const char* modes[3];  // null where the class has fewer mode tags
    const char* counter;
};

#define CW_MODES \
    { "<MODE:2>CW", nullptr, nullptr }
#define DIG_MODES \
    { "<MODE:4>RTTY", "<MODE:5>PSK63", "<MODE:5>PSK31" }
#define PHO_MODES \
    { "<MODE:3>SSB", "<MODE:2>FM", "<MODE:2>AM" }

const BandModeRow kBandModeRows[30] = {
    {"<BAND:2>6M", CW_MODES, "C6"},    {"<BAND:3>10M", CW_MODES, "C10"},
    {"<BAND:3>12M", CW_MODES, "C12"},  {"<BAND:3>15M", CW_MODES, "C15"},
    {"<BAND:3>17M", CW_MODES, "C17"},  {"<BAND:3>20M", CW_MODES, "C20"},
    {"<BAND:3>30M", CW_MODES, "C30"},  {"<BAND:3>40M", CW_MODES, "C40"},
    {"<BAND:3>80M", CW_MODES, "C80"},  {"<BAND:4>160M", CW_MODES, "C160"},
    {"<BAND:2>6M", DIG_MODES, "R6"},   {"<BAND:3>10M", DIG_MODES, "R10"},
    {"<BAND:3>12M", DIG_MODES, "R12"}, {"<BAND:3>15M", DIG_MODES, "R15"},
    {"<BAND:3>17M", DIG_MODES, "R17"}, {"<BAND:3>20M", DIG_MODES, "R20"},
    {"<BAND:3>30M", DIG_MODES, "R30"}, {"<BAND:3>40M", DIG_MODES, "R40"},
    {"<BAND:3>80M", DIG_MODES, "R80"}, {"<BAND:4>160M", DIG_MODES, "R160"},
    {"<BAND:2>6M", PHO_MODES, "S6"},   {"<BAND:3>10M", PHO_MODES, "S10"},
    {"<BAND:3>12M", PHO_MODES, "S12"}, {"<BAND:3>15M", PHO_MODES, "S15"},
    {"<BAND:3>17M", PHO_MODES, "S17"}, {"<BAND:3>20M", PHO_MODES, "S20"},
    {"<BAND:3>30M", PHO_MODES, "S30"}, {"<BAND:3>40M", PHO_MODES, "S40"},
    {"<BAND:3>80M", PHO_MODES, "S80"}, {"<BAND:4>160M", PHO_MODES, "S160"},
};

#undef CW_MODES
#undef DIG_MODES
#undef PHO_MODES

struct Named {
    const char* name;
    const char* tag;
};

const Named kBands[10] = {
    {"6", "<BAND:2>6M"},   {"10", "<BAND:3>10M"},   {"12", "<BAND:3>12M"}, {"15", "<BAND:3>15M"},
    {"17", "<BAND:3>17M"}, {"20", "<BAND:3>20M"},   {"30", "<BAND:3>30M"}, {"40", "<BAND:3>40M"},
    {"80", "<BAND:3>80M"}, {"160", "<BAND:4>160M"},
};
const Named kContinents[7] = {
    {"AF", "<CONT:2>AF"}, {"AN", "<CONT:2>AN"}, {"AS", "<CONT:2>AS"}, {"EU", "<CONT:2>EU"},
    {"NA", "<CONT:2>NA"}, {"OC", "<CONT:2>OC"}, {"SA", "<CONT:2>SA"},
};
const Named kQsl[6] = {
    {"QslSent", "<QSL_SENT:1>Y"},       {"QslRcvd", "<QSL_RCVD:1>Y"},
    {"LotwSent", "<LOTW_QSL_SENT:1>Y"}, {"LotwRcvd", "<LOTW_QSL_RCVD:1>Y"},
    {"EqslSent", "<eQSL_QSL_SENT:1>Y"}, {"EqslRcvd", "<eQSL_QSL_RCVD:1>Y"},
};

void CountBandMode(const std::string& line, std::map<std::string, std::int64_t>& counts) {
    for (const BandModeRow& row : kBandModeRows) {
        if (!Has(line, row.band)) continue;
        for (const char* mode : row.modes) {
            if (mode != nullptr && Has(line, mode)) {
                ++counts[row.counter];
                return;
            }
        }
    }
    if (Has(line, "<BAND:")) ++counts["OthersTotal"];
}

void CountContinent(const std::string& line, std::map<std::string, std::int64_t>& counts) {
    for (const Named& continent : kContinents) {
        for (const Named& band : kBands) {
            if (Has(line, continent.tag) && Has(line, band.tag)) {
                ++counts[std::string(continent.name) + band.name];
                return;
            }
        }
    }
}

void CountQsl(const std::string& line, std::map<std::string, std::int64_t>& counts) {
    for (const Named& field : kQsl) {
        if (Has(line, field.tag)) ++counts[field.name];
    }
}

}  // namespace

std::vector<std::string> SplitLines(std::string_view data) {
    std::vector<std::string> lines;
    std::string current;
    for (std::size_t i = 0; i < data.size(); ++i) {
        const char c = data[i];
        if (c == '\r') {
            lines.push_back(current);
            current.clear();
            if (i + 1 < data.size() && data[i + 1] == '\n') ++i;
        } else if (c == '\n') {
            lines.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) lines.push_back(current);
    return lines;
}

const std::vector<std::string>& BandModeCounterNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> n;
        for (const BandModeRow& row : kBandModeRows) n.push_back(row.counter);
        return n;
    }();
    return names;
}

const std::vector<std::string>& ContinentCounterNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> n;
        for (const Named& continent : kContinents)
            for (const Named& band : kBands) n.push_back(std::string(continent.name) + band.name);
        return n;
    }();
    return names;
}

const std::vector<std::string>& QslCounterNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> n;
        for (const Named& field : kQsl) n.push_back(field.name);
        return n;
    }();
    return names;
}

Counts CountText(std::string_view data) {
    Counts counts;
    for (const std::string& name : BandModeCounterNames()) counts.bandMode[name] = 0;
    counts.bandMode["OthersTotal"] = 0;
    for (const std::string& name : ContinentCounterNames()) counts.continent[name] = 0;
    for (const std::string& name : QslCounterNames()) counts.qsl[name] = 0;

    const std::vector<std::string> lines = SplitLines(data);
    for (const std::string& line : lines) {
        CountBandMode(line, counts.bandMode);
        CountContinent(line, counts.continent);
        CountQsl(line, counts.qsl);
    }
    counts.lines = lines.size();
    if (!lines.empty()) counts.lastLine = lines.back();
    return counts;
}

Counts CountFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream all;
    all << in.rdbuf();
    return CountText(all.str());
}

std::int64_t Counts::BandModeSum(const std::string& name) const {
    std::int64_t sum = 0;
    if (name == "Total") {
        for (const std::string& counter : BandModeCounterNames()) sum += bandMode.at(counter);
        return sum;
    }
    if (name.size() == 6 && name.substr(1) == "total") {  // Ctotal, Rtotal, Stotal
        for (const Named& band : kBands) sum += bandMode.at(name.substr(0, 1) + band.name);
        return sum;
    }
    if (name.rfind("Total", 0) == 0) {  // Total6 ... Total160
        const std::string band = name.substr(5);
        return bandMode.at("C" + band) + bandMode.at("R" + band) + bandMode.at("S" + band);
    }
    throw std::invalid_argument("no band/mode sum " + name);
}

std::int64_t Counts::ContinentSum(const std::string& name) const {
    std::int64_t sum = 0;
    for (const Named& band : kBands) sum += continent.at(name.substr(0, 2) + band.name);
    return sum;
}

std::string PercentText(std::int64_t received, std::int64_t sent) {
    if (sent == 0) return "-";
    // Tenths of a percent: 1000 * received / sent, rounded half up (the counts are >= 0).
    std::int64_t tenths = 1000 * received / sent;
    const std::int64_t remainder = 1000 * received % sent;
    if (2 * remainder >= sent) ++tenths;
    std::string text;
    if (tenths / 10 != 0) text += std::to_string(tenths / 10);
    text += '.';
    if (tenths % 10 != 0) text += std::to_string(tenths % 10);
    return text + "%";
}

}  // namespace quorvane::reference
