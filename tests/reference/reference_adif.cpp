// The ADIF field rules: every '<' tried as a field, records as maps of upper-case names.
#include "reference_adif.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <map>
#include <optional>
#include <set>
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

// The ADIF band of the record ("20M", "70CM"): BAND by name, or when it is absent FREQ by the
// edges of bands.csv; nullopt when there is none or they name none.
std::optional<std::string> AdifBand(const Record& r) {
    static const auto bands = Csv("bands.csv");
    const auto band = Value(r, "BAND");
    const auto freq = Value(r, "FREQ");
    for (const auto& row : bands) {
        if (band ? *band == row[0]
                 : freq && freq->size() <= 64 &&
                       freq->find_first_not_of("0123456789.") == freq->npos &&
                       freq->find('.') == freq->rfind('.') && *freq != "." &&
                       LessOrEqual(row[1], *freq) && LessOrEqual(*freq, row[2]))
            return row[0];
    }
    return std::nullopt;
}

// The band number of the record ("20"), "other" for a band that is not one of the ten, or
// nullopt without a band.
std::optional<std::string> Band(const Record& r) {
    if (!Value(r, "BAND") && !Value(r, "FREQ")) return std::nullopt;
    const std::string band = AdifBand(r).value_or("");
    for (const std::string& b : kBands)
        if (band == b + "M") return b;
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

// The day of QSO_DATE as yyyymmdd: eight digits of a real calendar day from 1930 on; 0 for
// anything else.
std::int64_t Day(const Record& r) {
    const auto v = Value(r, "QSO_DATE");
    if (!v || v->size() != 8 || v->find_first_not_of("0123456789") != v->npos) return 0;
    const int year = std::stoi(v->substr(0, 4));
    const std::chrono::year_month_day day{std::chrono::year(year),
                                          std::chrono::month(std::stoul(v->substr(4, 2))),
                                          std::chrono::day(std::stoul(v->substr(6, 2)))};
    return year >= 1930 && day.ok() ? std::stoll(*v) : 0;
}

// Every entity of dxcc.csv by code: its name and whether it is deleted. A name may be quoted.
const std::map<int, std::pair<std::string, bool>>& Entities() {
    static const auto entities = [] {
        std::map<int, std::pair<std::string, bool>> e;
        for (auto row : Csv("dxcc.csv")) {
            std::string name = row[1];
            for (std::size_t i = 2; i + 1 < row.size(); ++i) name += "," + row[i];
            if (name.front() == '"') name = name.substr(1, name.size() - 2);
            if (row[0] != "0") e[std::stoi(row[0])] = {name, row.back() == "YES"};
        }
        return e;
    }();
    return entities;
}

// The entity's code, or "noDxcc", "none" (0) or "unknown".
std::string Entity(const Record& r) {
    const auto v = Value(r, "DXCC");
    if (!v) return "noDxcc";
    if (v->size() > 64 || v->find_first_not_of("0123456789") != v->npos) return "unknown";
    const std::size_t digit = v->find_first_not_of('0');
    if (digit == v->npos) return "none";
    const std::string code = v->substr(digit);
    return code.size() < 4 && Entities().count(std::stoi(code)) ? code : "unknown";
}

struct Awards {
    explicit Awards(std::map<std::string, std::int64_t>& figures) : out(figures) {}
    std::map<std::string, std::int64_t>& out;
    // Contacts and channels by entity code and column; the dated years and the current
    // entities worked and confirmed in each, and the first year of each.
    std::map<int, std::map<std::string, std::pair<std::int64_t, int>>> cells;
    std::set<int> years;
    std::map<int, std::set<int>> worked, confirmed;
    std::map<int, int> firstYear;

    void Add(const Record& r, std::int64_t day) {
        static const std::map<std::string, std::string> kClassColumns = {
            {"C", "CW"}, {"S", "Phone"}, {"R", "Digital"}};
        const auto cls = Class(r);
        const int year = static_cast<int>(day / 10000);
        const std::string row = "years." + (day ? std::to_string(year) : "noDate");
        ++out[row + ".contacts"];
        if (cls) ++out[row + "." + kClassColumns.at(*cls)];
        if (day) years.insert(year);
        const std::string entity = Entity(r);
        if (!Digit(entity[0])) return void(++out["dxcc.contacts." + entity]);
        const int code = std::stoi(entity);
        int channels = 0;
        for (const auto& [field, bit] :
             {std::pair{"QSL_RCVD", 1}, {"LOTW_QSL_RCVD", 2}, {"EQSL_QSL_RCVD", 4}})
            if (Value(r, field) == "Y" || Value(r, field) == "V") channels |= bit;
        for (const auto& column :
             {std::optional<std::string>("Mixed"),
              cls ? std::optional(kClassColumns.at(*cls)) : std::nullopt, AdifBand(r)}) {
            if (!column) continue;
            ++cells[code][*column].first;
            cells[code][*column].second |= channels;
        }
        if (!day || Entities().at(code).second) return;
        worked[year].insert(code);
        if (channels & 3) confirmed[year].insert(code);
        if (!firstYear.count(code) || year < firstYear[code]) firstYear[code] = year;
    }

    void Finish() {
        static const std::set<std::string> kModeColumns = {"Mixed", "CW", "Phone", "Digital"};
        const std::pair<std::string, int> kRows[] = {
            {"worked", 0}, {"confirmed", 3}, {"card", 1}, {"lotw", 2}, {"eqsl", 4}};
        std::vector<std::pair<std::string, int>> byName;
        for (const auto& [code, columns] : cells) {
            const auto& [name, deleted] = Entities().at(code);
            byName.emplace_back(name, code);
            for (const auto& [column, cell] : columns) {
                const std::string e = "entity." + std::to_string(code) + "." + column;
                out[e] = cell.first;
                out[e + ".channels"] = cell.second;
                if (!kModeColumns.count(column)) out["dxcc.shown." + column] = 1;
                for (const auto& [row, bits] : kRows)
                    if (!deleted && (bits == 0 || cell.second & bits))
                        ++out["dxcc." + row + "." + column];
            }
            if (deleted) ++out["dxcc.deleted.worked"];
            if (deleted && columns.at("Mixed").second & 3) ++out["dxcc.deleted.confirmed"];
        }
        std::sort(byName.begin(), byName.end());
        for (std::size_t i = 0; i < byName.size(); ++i)
            out["entities." + std::to_string(i)] = byName[i].second;
        if (years.empty()) return;
        for (int y = *years.begin(); y <= *years.rbegin(); ++y) {
            const std::string row = "years." + std::to_string(y);
            out[row + ".row"] = 1;
            out[row + ".entities"] = static_cast<std::int64_t>(worked[y].size());
            out[row + ".confirmed"] = static_cast<std::int64_t>(confirmed[y].size());
            for (const auto& [code, first] : firstYear) out[row + ".new"] += first == y;
        }
    }
};

}  // namespace

Counts CountAdif(std::string_view data, std::int64_t from, std::int64_t to) {
    Counts c;
    const std::pair<const char*, const char*> qsl[] = {
        {"QslSent", "QSL_SENT"},       {"QslRcvd", "QSL_RCVD"},
        {"LotwSent", "LOTW_QSL_SENT"}, {"LotwRcvd", "LOTW_QSL_RCVD"},
        {"EqslSent", "EQSL_QSL_SENT"}, {"EqslRcvd", "EQSL_QSL_RCVD"}};
    Awards awards(c.awards);
    for (const Record& r : Records(data)) {
        const std::int64_t day = Day(r);
        if ((from || to) && !day) ++c.awards["range.leftOut"];
        if ((from || to) && (!day || (from && day < from) || (to && day > to))) continue;
        awards.Add(r, day);
        for (const auto& [counter, field] : qsl)
            if (Value(r, field) == "Y") ++c.qsl[counter];
        const auto band = Band(r);
        if (!band) continue;
        const auto cls = Class(r);
        ++c.bandMode[*band != "other" && cls ? *cls + *band : "OthersTotal"];
        const auto cont = Value(r, "CONT").value_or("?");
        if (*band != "other" && c.continent.count(cont + *band)) ++c.continent[cont + *band];
    }
    awards.Finish();
    return c;
}

}  // namespace quorvane::reference
