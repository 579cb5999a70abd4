// The ADIF field rules: every '<' tried as a field, records as maps of upper-case names.
#include "reference_adif.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>

namespace quorvane::reference {
namespace {

using Record = std::map<std::string, std::string>;

std::string Upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

bool NameChar(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

std::vector<Record> Records(std::string_view d) {
    std::vector<Record> records;
    Record current;
    bool sawEor = false;
    std::size_t i = 0;
    const auto span = [&](std::size_t from, bool (*pred)(char)) {
        while (from < d.size() && pred(d[from])) ++from;
        return from;
    };
    while (i < d.size()) {
        if (d[i] != '<') {
            ++i;
            continue;
        }
        const std::size_t j = span(i + 1, NameChar);
        const std::string name = Upper(std::string(d.substr(i + 1, j - i - 1)));
        if (name.empty() || j >= d.size()) {
            ++i;
            continue;
        }
        if (d[j] == '>' && (name == "EOR" || (name == "EOH" && !sawEor))) {
            if (name == "EOR") records.push_back(current), sawEor = true;
            current.clear();
            i = j + 1;
            continue;
        }
        std::size_t k = j + 1;
        if (d[j] != ':' ||
            (k = span(j + 1, [](char c) { return c >= '0' && c <= '9'; })) == j + 1 ||
            k >= d.size()) {
            ++i;
            continue;
        }
        const std::string digits(d.substr(j + 1, k - j - 1));
        if (d[k] == ':') {
            const std::size_t t = span(k + 1, NameChar);
            if (t == k + 1 || t >= d.size() || d[t] != '>') {
                ++i;
                continue;
            }
            k = t;
        } else if (d[k] != '>') {
            ++i;
            continue;
        }
        const std::size_t valueAt = k + 1, left = d.size() - valueAt;
        // Compare the length as a decimal string, so that any number of digits is exact.
        const std::string trimmed =
            digits.substr(std::min(digits.find_first_not_of('0'), digits.size()));
        const std::string room = std::to_string(left);
        if (trimmed.size() > room.size() || (trimmed.size() == room.size() && trimmed > room))
            break;
        const std::size_t length = trimmed.empty() ? 0 : std::stoull(trimmed);
        current.emplace(name, std::string(d.substr(valueAt, length)));
        i = valueAt + length;
    }
    return records;
}

// The value trimmed of spaces and in upper case; nullopt when absent or empty.
std::optional<std::string> Value(const Record& r, const std::string& name) {
    const auto it = r.find(name);
    if (it == r.end()) return std::nullopt;
    const std::size_t from = it->second.find_first_not_of(' ');
    if (from == std::string::npos) return std::nullopt;
    return Upper(it->second.substr(from, it->second.find_last_not_of(' ') - from + 1));
}

std::vector<std::vector<std::string>> Csv(const std::string& file) {
    std::ifstream in(std::string(QUORVANE_ADIF_LISTS) + "/" + file);
    if (!in) throw std::runtime_error("cannot read " + file);
    std::vector<std::vector<std::string>> rows;
    std::string line;
    std::getline(in, line);  // the header
    while (std::getline(in, line)) {
        rows.emplace_back();
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, ',');) rows.back().push_back(cell);
    }
    return rows;
}

// A decimal as its whole part without leading zeros and its fraction without trailing ones.
std::pair<std::string, std::string> Decimal(const std::string& s) {
    const std::size_t dot = std::min(s.find('.'), s.size());
    std::string whole = s.substr(0, dot), fraction = dot < s.size() ? s.substr(dot + 1) : "";
    whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size()));
    fraction.erase(fraction.find_last_not_of('0') + 1);
    return {whole, fraction};
}

bool LessOrEqual(const std::string& a, const std::string& b) {
    const auto [aw, af] = Decimal(a);
    const auto [bw, bf] = Decimal(b);
    if (aw.size() != bw.size()) return aw.size() < bw.size();
    if (aw != bw) return aw < bw;
    return af <= bf;
}

bool PlainDecimal(const std::string& s) {
    const std::size_t dot = s.find('.');
    const std::string digits = dot == std::string::npos ? s : s.substr(0, dot) + s.substr(dot + 1);
    return !digits.empty() && s.find('.', dot + 1) == std::string::npos &&
           std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
}

const std::vector<std::string> kBands = {"6",  "10", "12", "15", "17",
                                         "20", "30", "40", "80", "160"};
const std::vector<std::string> kContinents = {"AF", "AN", "AS", "EU", "NA", "OC", "SA"};

// The band number of the record ("20"), "other" for a band that is not one of the ten, or
// nullopt without a band.
std::optional<std::string> Band(const Record& r) {
    static const auto edges = [] {
        std::map<std::string, std::pair<std::string, std::string>> e;
        for (const auto& row : Csv("bands.csv")) e[Upper(row[0])] = {row[1], row[2]};
        return e;
    }();
    if (const auto band = Value(r, "BAND")) {
        for (const std::string& b : kBands)
            if (*band == b + "M" && band->size() <= 64) return b;
        return "other";
    }
    const auto freq = Value(r, "FREQ");
    if (!freq) return std::nullopt;
    if (freq->size() <= 64 && PlainDecimal(*freq)) {
        for (const std::string& b : kBands) {
            const auto& [low, high] = edges.at(b + "M");
            if (LessOrEqual(low, *freq) && LessOrEqual(*freq, high)) return b;
        }
    }
    return "other";
}

// "C", "R" or "S", or nullopt.
std::optional<std::string> Class(const Record& r) {
    static const auto modeOf = [] {
        std::map<std::string, std::string> m;
        for (const auto& row : Csv("modes.csv"))
            if (row.size() < 2 || row[1] != "yes") m[Upper(row[0])] = Upper(row[0]);
        for (const auto& row : Csv("submodes.csv")) m[Upper(row[0])] = Upper(row[1]);
        return m;
    }();
    auto value = Value(r, "MODE");
    if (!value) value = Value(r, "SUBMODE");
    if (!value || value->size() > 64 || !modeOf.count(*value)) return std::nullopt;
    const std::string& mode = modeOf.at(*value);
    if (mode == "CW") return "C";
    if (mode == "SSB" || mode == "AM" || mode == "FM" || mode == "DIGITALVOICE") return "S";
    return "R";
}

}  // namespace

Counts CountAdif(std::string_view data) {
    Counts c;
    for (const std::string& n : BandModeCounterNames()) c.bandMode[n] = 0;
    c.bandMode["OthersTotal"] = 0;
    for (const std::string& n : ContinentCounterNames()) c.continent[n] = 0;
    for (const std::string& n : QslCounterNames()) c.qsl[n] = 0;
    const std::vector<std::pair<std::string, std::string>> qsl = {
        {"QslSent", "QSL_SENT"},       {"QslRcvd", "QSL_RCVD"},
        {"LotwSent", "LOTW_QSL_SENT"}, {"LotwRcvd", "LOTW_QSL_RCVD"},
        {"EqslSent", "EQSL_QSL_SENT"}, {"EqslRcvd", "EQSL_QSL_RCVD"}};
    for (const Record& r : Records(data)) {
        const auto band = Band(r);
        const auto cls = Class(r);
        if (band && *band != "other" && cls)
            ++c.bandMode[*cls + *band];
        else if (band)
            ++c.bandMode["OthersTotal"];
        const auto cont = Value(r, "CONT");
        if (band && *band != "other" && cont &&
            std::find(kContinents.begin(), kContinents.end(), *cont) != kContinents.end())
            ++c.continent[*cont + *band];
        for (const auto& [counter, field] : qsl)
            if (Value(r, field) == "Y") ++c.qsl[counter];
    }
    return c;
}

}  // namespace quorvane::reference
