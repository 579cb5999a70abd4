// The counting rules, one line and one literal at a time.
#include "reference_tally.h"

namespace quorvane::reference {
namespace {

using Row = std::pair<std::string, std::string>;  // {name, tag}

// Tried in this order; the first row whose tags are all on the line counts it.
const std::vector<Row> kBands = {
    {"6", "<BAND:2>6M"},   {"10", "<BAND:3>10M"},  {"12", "<BAND:3>12M"}, {"15", "<BAND:3>15M"},
    {"17", "<BAND:3>17M"}, {"20", "<BAND:3>20M"},  {"30", "<BAND:3>30M"}, {"40", "<BAND:3>40M"},
    {"80", "<BAND:3>80M"}, {"160", "<BAND:4>160M"}};
const std::vector<std::pair<std::string, std::vector<std::string>>> kClasses = {
    {"C", {"<MODE:2>CW"}},
    {"R", {"<MODE:4>RTTY", "<MODE:5>PSK63", "<MODE:5>PSK31"}},
    {"S", {"<MODE:3>SSB", "<MODE:2>FM", "<MODE:2>AM"}}};
const std::vector<Row> kContinents = {
    {"AF", "<CONT:2>AF"}, {"AN", "<CONT:2>AN"}, {"AS", "<CONT:2>AS"}, {"EU", "<CONT:2>EU"},
    {"NA", "<CONT:2>NA"}, {"OC", "<CONT:2>OC"}, {"SA", "<CONT:2>SA"}};
const std::vector<Row> kQsl = {
    {"QslSent", "<QSL_SENT:1>Y"},       {"QslRcvd", "<QSL_RCVD:1>Y"},
    {"LotwSent", "<LOTW_QSL_SENT:1>Y"}, {"LotwRcvd", "<LOTW_QSL_RCVD:1>Y"},
    {"EqslSent", "<eQSL_QSL_SENT:1>Y"}, {"EqslRcvd", "<eQSL_QSL_RCVD:1>Y"}};

bool Has(const std::string& line, const std::string& literal) {
    return line.find(literal) != std::string::npos;
}

void Count(const std::string& line, Counts& c) {
    [&] {
        for (const auto& [letter, modes] : kClasses)
            for (const auto& [band, tag] : kBands)
                for (const std::string& mode : modes)
                    if (Has(line, tag) && Has(line, mode)) return void(++c.bandMode[letter + band]);
        if (Has(line, "<BAND:")) ++c.bandMode["OthersTotal"];
    }();
    [&] {
        for (const auto& [continent, ctag] : kContinents)
            for (const auto& [band, btag] : kBands)
                if (Has(line, ctag) && Has(line, btag))
                    return void(++c.continent[continent + band]);
    }();
    for (const auto& [name, tag] : kQsl)
        if (Has(line, tag)) ++c.qsl[name];
}

// Every outer name followed by every inner name, in order.
template <class Outer>
std::vector<std::string> Cross(const Outer& outer, const std::vector<Row>& inner) {
    std::vector<std::string> names;
    for (const auto& o : outer)
        for (const Row& i : inner) names.push_back(o.first + i.first);
    return names;
}

}  // namespace

const std::vector<std::string>& BandModeCounterNames() {
    static const std::vector<std::string> names = Cross(kClasses, kBands);
    return names;
}

const std::vector<std::string>& ContinentCounterNames() {
    static const std::vector<std::string> names = Cross(kContinents, kBands);
    return names;
}

const std::vector<std::string>& QslCounterNames() {
    static const std::vector<std::string> names = Cross(kQsl, {{"", ""}});
    return names;
}

// A line ends at CR, CRLF or LF; a last line without a terminator is a line; a terminator at
// the very end makes no extra line.
Counts CountText(std::string_view data) {
    Counts counts;
    std::string line;
    for (std::size_t i = 0; i <= data.size(); ++i) {
        if (i < data.size() && data[i] != '\r' && data[i] != '\n') {
            line += data[i];
            continue;
        }
        if (i == data.size() && line.empty()) break;
        if (i + 1 < data.size() && data[i] == '\r' && data[i + 1] == '\n') ++i;
        Count(line, counts);
        counts.lastLine = std::move(line);
        line.clear();
    }
    return counts;
}

Counts::Counts() {
    for (const std::string& name : BandModeCounterNames()) bandMode[name] = 0;
    bandMode["OthersTotal"] = 0;
    for (const std::string& name : ContinentCounterNames()) continent[name] = 0;
    for (const std::string& name : QslCounterNames()) qsl[name] = 0;
}

std::int64_t Counts::BandModeSum(const std::string& name) const {
    std::int64_t sum = 0;
    for (const auto& [letter, modes] : kClasses)
        for (const Row& band : kBands)
            if (name == "Total" || name == letter + "total" || name == "Total" + band.first)
                sum += bandMode.at(letter + band.first);
    return sum;
}

std::int64_t Counts::ContinentSum(const std::string& name) const {
    std::int64_t sum = 0;
    for (const Row& band : kBands) sum += continent.at(name.substr(0, 2) + band.first);
    return sum;
}

}  // namespace quorvane::reference
