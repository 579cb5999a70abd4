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
bool Digit(char c) { return c >= '0' && c <= '9'; }
bool NameChar(char c) {
    return Digit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

// a <= b for decimals of digits and at most one point, exact however many digits they have.
bool LessOrEqual(std::string a, std::string b) {
    for (std::string* s : {&a, &b}) {
        if (s->find('.') == std::string::npos) *s += '.';
        s->erase(0, s->find_first_not_of('0'));
        s->erase(s->find_last_not_of('0') + 1);
    }
    // The longer whole part is the larger; with wholes of one length the text order is right.
    return a.find('.') != b.find('.') ? a.find('.') < b.find('.') : a <= b;
}

std::vector<Record> Records(std::string_view d) {
    std::vector<Record> records;
    Record current;
    const auto span = [&](std::size_t i, bool (*pred)(char)) {
        while (i < d.size() && pred(d[i])) ++i;
        return i;
    };
    // n: the name's end, l: the length's, t: the data type's (l without one).
    for (std::size_t i = d.find('<'); i < d.size(); i = d.find('<', i + 1)) {
        const std::size_t n = span(i + 1, NameChar);
        if (n == i + 1 || n >= d.size()) continue;
        const std::string name = Upper(std::string(d.substr(i + 1, n - i - 1)));
        if (d[n] == '>' && (name == "EOR" || (name == "EOH" && records.empty()))) {
            if (name == "EOR") records.push_back(current);
            current.clear();
            continue;
        }
        const std::size_t l = span(n + 1, Digit);
        const std::size_t t = l < d.size() && d[l] == ':' ? span(l + 1, NameChar) : l;
        if (d[n] != ':' || l == n + 1 || t == l + 1 || t >= d.size() || d[t] != '>') continue;
        const std::string length(d.substr(n + 1, l - n - 1));
        if (!LessOrEqual(length, std::to_string(d.size() - t - 1))) break;  // past the end
        current.emplace(name, std::string(d.substr(t + 1, std::stoull(length))));
        i = t + std::stoull(length);
    }
    return records;
}

// The value trimmed of spaces and in upper case; nullopt when absent or empty.
std::optional<std::string> Value(const Record& r, const std::string& name) {
    const auto it = r.find(name);
    const std::size_t from = it == r.end() ? std::string::npos : it->second.find_first_not_of(' ');
    if (from == std::string::npos) return std::nullopt;
    return Upper(it->second.substr(from, it->second.find_last_not_of(' ') - from + 1));
}

// The rows of one of ADIF's lists, without the header, in upper case.
std::vector<std::vector<std::string>> Csv(const std::string& file) {
    std::ifstream in(std::string(QUORVANE_ADIF_LISTS) + "/" + file);
    if (!in) throw std::runtime_error("cannot read " + file);
    std::vector<std::vector<std::string>> rows;
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        std::istringstream cells(Upper(line));
        rows.emplace_back();
        for (std::string cell; std::getline(cells, cell, ',');) rows.back().push_back(cell);
    }
    return rows;
}

const std::vector<std::string> kBands = {"6",  "10", "12", "15", "17",
                                         "20", "30", "40", "80", "160"};

// The band number of the record ("20"), "other" for a band that is not one of the ten, or
// nullopt without a band.
std::optional<std::string> Band(const Record& r) {
    static const auto edges = [] {
        std::map<std::string, std::pair<std::string, std::string>> e;
        for (const auto& row : Csv("bands.csv")) e[row[0]] = {row[1], row[2]};
        return e;
    }();
    const auto band = Value(r, "BAND");
    const auto freq = Value(r, "FREQ");
    if (!band && !freq) return std::nullopt;
    for (const std::string& b : kBands) {
        if (band && *band == b + "M") return b;
        const auto& [low, high] = edges.at(b + "M");
        if (!band && freq->size() <= 64 && freq->find_first_not_of("0123456789.") == freq->npos &&
            freq->find('.') == freq->rfind('.') && *freq != "." && LessOrEqual(low, *freq) &&
            LessOrEqual(*freq, high))
            return b;
    }
    return "other";
}

// "C", "R" or "S", or nullopt.
std::optional<std::string> Class(const Record& r) {
    static const auto modeOf = [] {
        std::map<std::string, std::string> m;
        for (const auto& row : Csv("modes.csv"))
            if (row.size() < 2 || row[1] != "YES") m[row[0]] = row[0];
        for (const auto& row : Csv("submodes.csv")) m[row[0]] = row[1];
        return m;
    }();
    auto value = Value(r, "MODE");
    if (!value) value = Value(r, "SUBMODE");
    if (!value || !modeOf.count(*value)) return std::nullopt;
    const std::string& mode = modeOf.at(*value);
    if (mode == "CW") return "C";
    return mode == "SSB" || mode == "AM" || mode == "FM" || mode == "DIGITALVOICE" ? "S" : "R";
}

}  // namespace

Counts CountAdif(std::string_view data) {
    Counts c;
    const std::pair<const char*, const char*> qsl[] = {
        {"QslSent", "QSL_SENT"},       {"QslRcvd", "QSL_RCVD"},
        {"LotwSent", "LOTW_QSL_SENT"}, {"LotwRcvd", "LOTW_QSL_RCVD"},
        {"EqslSent", "EQSL_QSL_SENT"}, {"EqslRcvd", "EQSL_QSL_RCVD"}};
    for (const Record& r : Records(data)) {
        for (const auto& [counter, field] : qsl)
            if (Value(r, field) == "Y") ++c.qsl[counter];
        const auto band = Band(r);
        if (!band) continue;
        const auto cls = Class(r);
        ++c.bandMode[*band != "other" && cls ? *cls + *band : "OthersTotal"];
        const auto cont = Value(r, "CONT").value_or("?");
        if (*band != "other" && c.continent.count(cont + *band)) ++c.continent[cont + *band];
    }
    return c;
}

}  // namespace quorvane::reference
