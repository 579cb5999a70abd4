#include "quorvane/report_format.h"

#include <algorithm>
#include <cstdio>

#include "quorvane/tables.h"

namespace quorvane {

namespace {

Cell Text(std::string_view text) { return {std::string(text), {}}; }

Cell Count(std::string_view section, std::string_view name, std::int64_t value) {
    return {std::to_string(value), std::string(section) + "." + std::string(name)};
}

}  // namespace

Grid BandModeGrid(const BandModeTally& t) {
    constexpr auto kSection = kBandModeSection;
    Grid g(1 + kBandCount + 2, std::vector<Cell>(kModeClassCount + 2));
    for (std::size_t m = 0; m < kModeClassCount; ++m) g[0][1 + m] = Text(ModeClasses[m].name);
    g[0][kModeClassCount + 1] = Text(kTotalText);
    for (std::size_t b = 0; b < kBandCount; ++b) {
        std::vector<Cell>& row = g[1 + b];
        row[0] = Text(BandTable[b].label);
        for (std::size_t m = 0; m < kModeClassCount; ++m)
            row[1 + m] = Count(kSection, BandModeTally::CounterName(m, b), t.Counter(m, b));
        row[kModeClassCount + 1] =
            Count(kSection, BandModeTally::BandTotalName(b), t.*BandModeTally::kBandTotals[b]);
    }
    std::vector<Cell>& total = g[1 + kBandCount];
    total[0] = Text(kTotalText);
    for (std::size_t m = 0; m < kModeClassCount; ++m)
        total[1 + m] =
            Count(kSection, BandModeTally::ClassTotalName(m), t.*BandModeTally::kClassTotals[m]);
    total[kModeClassCount + 1] = Count(kSection, "Total", t.Total);
    std::vector<Cell>& others = g[2 + kBandCount];
    others[0] = Text(kOthersText);
    for (std::size_t m = 0; m < kModeClassCount; ++m) others[1 + m] = Text(kNoBreakdownText);
    others[kModeClassCount + 1] = Count(kSection, "OthersTotal", t.OthersTotal);
    return g;
}

Grid ContinentGrid(const ContinentBandTally& t) {
    Grid g(1 + kBandCount + 1, std::vector<Cell>(1 + kContinentCount));
    for (std::size_t c = 0; c < kContinentCount; ++c) {
        g[0][1 + c] = Text(Continents[c].code);
        for (std::size_t b = 0; b < kBandCount; ++b)
            g[1 + b][1 + c] =
                Count(kContinentSection, ContinentBandTally::CounterName(c, b), t.Counter(c, b));
        g[1 + kBandCount][1 + c] = Count(kContinentSection, ContinentBandTally::TotalName(c),
                                         t.*ContinentBandTally::kTotals[c]);
    }
    for (std::size_t b = 0; b < kBandCount; ++b) g[1 + b][0] = Text(BandTable[b].label);
    g[1 + kBandCount][0] = Text(kTotalText);
    return g;
}

// Each Rcvd/Sent cell is named by its channel, as the report's "percent" holds it.
Grid QslGrid(const QslTally& t) {
    Grid g(2, std::vector<Cell>(1 + QslChannels.size()));
    g[1][0] = Text(kRcvdSentText);
    for (std::size_t ch = 0; ch < QslChannels.size(); ++ch) {
        g[0][1 + ch] = Text(QslChannels[ch].header);
        g[1][1 + ch] = {t.PercentText(ch),
                        std::string(kQslSection) + "." + std::string(QslChannels[ch].header)};
    }
    return g;
}

Grid QslCountsGrid(const QslTally& t) {
    Grid g(3, std::vector<Cell>(1 + QslChannels.size()));
    g[1][0] = Text("Sent");
    g[2][0] = Text("Rcvd");
    for (std::size_t ch = 0; ch < QslChannels.size(); ++ch) {
        g[0][1 + ch] = Text(QslChannels[ch].header);
        for (const std::size_t row : {1, 2}) {
            const std::size_t field =
                row == 1 ? QslChannels[ch].sentField : QslChannels[ch].rcvdField;
            g[row][1 + ch] = Count(kQslSection, QslFields[field].name, t.Counter(field));
        }
    }
    return g;
}

namespace {

// The summary's columns: Mixed, the mode classes, and the bands worked.
std::vector<std::size_t> AwardColumns(const DxccSummary& summary) {
    std::vector<std::size_t> columns;
    for (std::size_t c = 0; c < kAwardModeColumns; ++c) columns.push_back(c);
    for (std::size_t b = 0; b < kAdifBandCount; ++b)
        if (summary.bandWorked[b]) columns.push_back(BandColumn(b));
    return columns;
}

struct SummaryRow {
    std::string_view text, key;
};
constexpr std::array<SummaryRow, DxccSummary::kRows> kSummaryRows{{
    {"Worked", "worked"},
    {"Confirmed (card or LoTW)", "confirmed"},
    {"Card", "card"},
    {"LoTW", "lotw"},
    {"eQSL", "eqsl"},
}};

}  // namespace

Grid DxccSummaryGrid(const AwardTally& tally) {
    const DxccSummary summary = SummaryOf(tally);
    const std::vector<std::size_t> columns = AwardColumns(summary);
    Grid g(1, std::vector<Cell>(1 + columns.size()));
    for (std::size_t c = 0; c < columns.size(); ++c)
        g[0][1 + c] = Text(AwardColumnName(columns[c]));
    for (std::size_t r = 0; r < DxccSummary::kRows; ++r) {
        std::vector<Cell>& row = g.emplace_back(1 + columns.size());
        row[0] = Text(kSummaryRows[r].text);
        for (std::size_t c = 0; c < columns.size(); ++c)
            row[1 + c] = Count(
                "dxcc",
                std::string(kSummaryRows[r].key) + "." + std::string(AwardColumnName(columns[c])),
                summary.cells[r][columns[c]]);
    }
    const std::array<std::pair<SummaryRow, std::int32_t>, 5> kMixedOnly{{
        {{"Deleted entities worked", "deleted.worked"}, summary.deletedWorked},
        {{"Deleted entities confirmed", "deleted.confirmed"}, summary.deletedConfirmed},
        {{"Contacts without DXCC", "contacts.noDxcc"}, tally.noDxcc},
        {{"Contacts in no entity (DXCC 0)", "contacts.none"}, tally.none},
        {{"Contacts with an unknown DXCC", "contacts.unknown"}, tally.unknown},
    }};
    for (const auto& [row, value] : kMixedOnly) {
        std::vector<Cell>& cells = g.emplace_back(1 + columns.size());
        cells[0] = Text(row.text);
        cells[1] = Count("dxcc", row.key, value);
    }
    return g;
}

Grid DxccEntityGrid(const AwardTally& tally) {
    const std::vector<std::size_t> columns = AwardColumns(SummaryOf(tally));
    Grid g(1, std::vector<Cell>(3 + columns.size()));
    g[0][0] = Text("Code");
    g[0][1] = Text("Entity");
    g[0][2] = Text("Deleted");
    for (std::size_t c = 0; c < columns.size(); ++c)
        g[0][3 + c] = Text(AwardColumnName(columns[c]));
    for (const std::size_t e : WorkedEntities(tally)) {
        const DxccEntity& entity = DxccEntities()[e];
        const std::string code = std::to_string(entity.code);
        std::vector<Cell>& row = g.emplace_back(3 + columns.size());
        row[0] = Text(code);
        row[1] = Text(entity.name);
        row[2] = Text(entity.deleted ? "deleted" : "");
        for (std::size_t c = 0; c < columns.size(); ++c)
            row[3 + c] = {std::string(CellMark(tally.Cell(e, columns[c]))),
                          "dxccEntities." + code + "." + std::string(AwardColumnName(columns[c]))};
    }
    return g;
}

namespace {

struct YearColumn {
    std::string_view header, key;
    std::int32_t YearRow::*count;
};
constexpr std::array<YearColumn, 7> kYearColumns{{
    {"Contacts", "contacts", &YearRow::contacts},
    {"CW", "CW", &YearRow::cw},
    {"Phone", "Phone", &YearRow::phone},
    {"Digital", "Digital", &YearRow::digital},
    {"Entities", "entities", &YearRow::entities},
    {"New", "new", &YearRow::newEntities},
    {"Confirmed", "confirmed", &YearRow::confirmed},
}};
constexpr std::size_t kNoDateColumns = 4;  // the others need a year

std::vector<Cell> YearCells(std::string_view header, std::string_view key, const YearRow& year,
                            std::size_t columns) {
    std::vector<Cell> row(1 + kYearColumns.size());
    row[0] = Text(header);
    for (std::size_t c = 0; c < columns; ++c)
        row[1 + c] = Count("years", std::string(key) + "." + std::string(kYearColumns[c].key),
                           year.*kYearColumns[c].count);
    return row;
}

}  // namespace

Grid YearsGrid(const AwardTally& tally) {
    Grid g(1, std::vector<Cell>(1 + kYearColumns.size()));
    g[0][0] = Text("Year");
    for (std::size_t c = 0; c < kYearColumns.size(); ++c)
        g[0][1 + c] = Text(kYearColumns[c].header);
    for (const auto& [year, row] : tally.years) {
        const std::string name = std::to_string(year);
        g.push_back(YearCells(name, name, row, kYearColumns.size()));
    }
    if (tally.noDate.contacts > 0)
        g.push_back(YearCells("No date", "noDate", tally.noDate, kNoDateColumns));
    return g;
}

std::string GridCsv(const Grid& grid) {
    std::string out;
    for (const auto& row : grid) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            const std::string& text = row[c].text;
            if (c) out += ',';
            if (text.find_first_of(",\"\r\n") == std::string::npos) {
                out += text;
                continue;
            }
            out += '"';
            for (const char ch : text) out += ch == '"' ? std::string("\"\"") : std::string(1, ch);
            out += '"';
        }
        out += "\r\n";
    }
    return out;
}

std::string RangeNote(const LogCounts& counts) {
    const DateRange& r = counts.range;
    const std::string from = r.from ? DayText(r.from) : "the first day";
    const std::string to = r.to ? DayText(r.to) : "the last day";
    return "Contacts from " + from + " to " + to + ", both included; " +
           std::to_string(counts.leftOut) + " without a valid QSO_DATE left out.";
}

std::string DayText(Day day) {
    char text[16];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u", day / 10000, day / 100 % 100, day % 100);
    return text;
}

namespace {

// ---- text

// The first `left` columns left-aligned, every other column right-aligned, two spaces apart;
// no spaces at the end of a line.
void PrintGrid(std::string& out, std::string_view title, const Grid& g, std::size_t left = 1) {
    std::vector<std::size_t> width(g[0].size(), 0);
    for (const auto& row : g)
        for (std::size_t c = 0; c < row.size(); ++c)
            width[c] = std::max(width[c], row[c].text.size());
    out.append(title).append("\n");
    for (const auto& row : g) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            const std::string& text = row[c].text;
            const std::string pad(width[c] - text.size(), ' ');
            if (c) line += "  ";
            line += c < left ? text + pad : pad + text;
        }
        out += line.substr(0, line.find_last_not_of(' ') + 1) + '\n';
    }
}

std::string_view BaseName(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// ---- JSON

// The length of the well-formed UTF-8 sequence at s[i], or, when there is none, the length of
// its maximal subpart (the longest start of a well-formed sequence, at least 1 byte), as a
// negative number. The ranges are those of the Unicode standard's table of well-formed byte
// sequences: no overlong forms, no surrogates, nothing above U+10FFFF.
int Utf8SequenceAt(std::string_view s, std::size_t i) {
    const auto lead = static_cast<unsigned char>(s[i]);
    int length;
    unsigned char low = 0x80, high = 0xbf;  // the range of the second byte
    if (lead < 0x80) return 1;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        if (lead == 0xe0) low = 0xa0;
        if (lead == 0xed) high = 0x9f;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        if (lead == 0xf0) low = 0x90;
        if (lead == 0xf4) high = 0x8f;
    } else {
        return -1;  // 80 ... C1 and F5 ... FF never begin a sequence
    }
    for (int k = 1; k < length; ++k) {
        if (i + static_cast<std::size_t>(k) >= s.size()) return -k;
        const auto c = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
        if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xbf)) return -k;
    }
    return length;
}

// Writes the members of one object after the other, with ", " between them.
class JsonObject {
  public:
    explicit JsonObject(std::string& out) : out_(out) { out_ += '{'; }
    void Key(std::string_view key) {
        if (!first_) out_ += ", ";
        first_ = false;
        out_ += JsonString(key) + ": ";
    }
    void Number(std::string_view key, std::int32_t value) {
        Key(key);
        out_ += std::to_string(value);
    }
    void String(std::string_view key, std::string_view value) {
        Key(key);
        out_ += JsonString(value);
    }
    void End() { out_ += '}'; }

  private:
    std::string& out_;
    bool first_ = true;
};

}  // namespace

std::string JsonString(std::string_view s) {
    std::string out = "\"";
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const int length = Utf8SequenceAt(s, i);
        if (length < 0) {
            out += "\\ufffd";
            i += static_cast<std::size_t>(-length);
            continue;
        }
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7f) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out.append(s.substr(i, static_cast<std::size_t>(length)));
        }
        i += static_cast<std::size_t>(length);
    }
    return out + "\"";
}

namespace {

// The counts of `grid` as nested objects by the parts of their paths: "dxcc.worked.Mixed"
// under "worked" under the object being written. Cells of one object stand together.
void GridCounts(std::string& out, const Grid& grid, std::string_view section) {
    std::vector<std::string> open;  // the path of the object being written
    bool first = true;
    out += '{';
    for (const auto& row : grid) {
        for (const Cell& cell : row) {
            if (cell.counter.empty()) continue;
            std::vector<std::string> parts;
            for (std::size_t at = section.size() + 1, dot; at <= cell.counter.size();
                 at = dot + 1) {
                dot = std::min(cell.counter.find('.', at), cell.counter.size());
                parts.push_back(cell.counter.substr(at, dot - at));
            }
            std::size_t same = 0;
            while (same < open.size() && same + 1 < parts.size() && open[same] == parts[same])
                ++same;
            for (; open.size() > same; open.pop_back()) out += '}';
            for (std::size_t k = same; k + 1 < parts.size(); ++k) {
                out += first ? "" : ", ";
                out += JsonString(parts[k]) + ": {";
                open.push_back(parts[k]);
                first = true;
            }
            out += first ? "" : ", ";
            out += JsonString(parts.back()) + ": " + cell.text;
            first = false;
        }
    }
    out += std::string(open.size(), '}') + '}';
}

void EntitiesJson(std::string& out, const AwardTally& tally) {
    const std::vector<std::size_t> columns = AwardColumns(SummaryOf(tally));
    out += '[';
    for (const std::size_t e : WorkedEntities(tally)) {
        const DxccEntity& entity = DxccEntities()[e];
        if (out.back() != '[') out += ", ";
        out += "{\"code\": " + std::to_string(entity.code) +
               ", \"entity\": " + JsonString(entity.name) +
               ", \"deleted\": " + (entity.deleted ? "true" : "false") + ", \"cells\": {";
        bool first = true;
        for (const std::size_t c : columns) {
            const AwardCell& cell = tally.Cell(e, c);
            if (cell.contacts == 0) continue;
            auto flag = [&cell](std::uint8_t channel) {
                return cell.channels & channel ? "true" : "false";
            };
            out += first ? "" : ", ";
            first = false;
            out += JsonString(AwardColumnName(c)) +
                   ": {\"contacts\": " + std::to_string(cell.contacts) +
                   ", \"card\": " + flag(kCard) + ", \"lotw\": " + flag(kLotw) +
                   ", \"eqsl\": " + flag(kEqsl) + "}";
        }
        out += "}}";
    }
    out += ']';
}

}  // namespace

std::string ReportText(std::string_view file, const CountingRules& rules, const LogCounts& counts,
                       const AwardSections& sections) {
    const std::string note = " (" + std::string(rules.Title()) + ")";
    std::string out;
    if (counts.range.Bounded()) out += RangeNote(counts) + '\n';
    auto print = [&out, &note](std::string_view title, const Grid& grid, std::size_t left = 1) {
        if (!out.empty()) out += '\n';
        PrintGrid(out, std::string(title) + note, grid, left);
    };
    if (counts.bandMode) print(BaseName(file), BandModeGrid(*counts.bandMode));
    if (counts.continent) print(kContinentTitle, ContinentGrid(*counts.continent));
    if (counts.qsl) print(kQslTitle, QslGrid(*counts.qsl));
    if (const auto& a = counts.awards) {
        if (sections.dxcc) print(kDxccSummaryTitle, DxccSummaryGrid(*a));
        if (sections.entities) print(kDxccEntitiesTitle, DxccEntityGrid(*a), 3);
        if (sections.years) print(kYearsTitle, YearsGrid(*a));
    }
    return out;
}

std::string ReportJson(std::string_view file, const CountingRules& rules, const LogCounts& counts,
                       const AwardSections& sections) {
    std::string out;
    JsonObject top(out);
    top.String("file", file);
    top.String("rules", rules.Name());
    std::string_view open;  // the section whose object is being written
    std::optional<JsonObject> section;
    ForEachCounter(counts, [&](std::string_view name, std::string_view counter, std::int32_t n) {
        if (name != open) {
            if (section) section->End();
            top.Key(name);
            section.emplace(out);
            open = name;
        }
        section->Number(counter, n);
    });
    if (counts.qsl) {
        section->Key("percent");
        JsonObject percent(out);
        for (std::size_t ch = 0; ch < QslChannels.size(); ++ch)
            percent.String(QslChannels[ch].header, counts.qsl->PercentText(ch));
        percent.End();
    }
    if (section) section->End();
    if (counts.range.Bounded()) {
        top.Key("range");
        JsonObject range(out);
        for (const auto& [key, day] :
             {std::pair{"from", counts.range.from}, {"to", counts.range.to}}) {
            range.Key(key);
            out += day ? JsonString(DayText(day)) : "null";
        }
        range.Number("leftOut", counts.leftOut);
        range.End();
    }
    if (const auto& a = counts.awards) {
        if (sections.dxcc) {
            top.Key("dxcc");
            GridCounts(out, DxccSummaryGrid(*a), "dxcc");
        }
        if (sections.entities) {
            top.Key("dxccEntities");
            EntitiesJson(out, *a);
        }
        if (sections.years) {
            top.Key("years");
            GridCounts(out, YearsGrid(*a), "years");
        }
    }
    top.End();
    return out + '\n';
}

}  // namespace quorvane
