#include "page_model.h"

#include <algorithm>
#include <cstdio>

#include "quorvane/chart_style.h"
#include "quorvane/report_format.h"
#include "quorvane/tables.h"

namespace quorvane::web {

namespace {

using Names = std::vector<std::vector<std::string>>;  // counter names, shaped like a Grid

std::string Counter(std::string_view section, std::string_view name) {
    return std::string(section) + "." + std::string(name);
}

// The counter behind each cell of BandModeGrid: bands by mode class with the band totals on
// the right, the class totals and Total below, and Others' one count in the Total column.
Names BandModeNames() {
    Names n(1 + kBandCount + 2, std::vector<std::string>(kModeClassCount + 2));
    for (std::size_t b = 0; b < kBandCount; ++b) {
        for (std::size_t m = 0; m < kModeClassCount; ++m)
            n[1 + b][1 + m] = Counter(kBandModeSection, BandModeTally::CounterName(m, b));
        n[1 + b][kModeClassCount + 1] = Counter(kBandModeSection, BandModeTally::BandTotalName(b));
    }
    for (std::size_t m = 0; m < kModeClassCount; ++m)
        n[1 + kBandCount][1 + m] = Counter(kBandModeSection, BandModeTally::ClassTotalName(m));
    n[1 + kBandCount][kModeClassCount + 1] = Counter(kBandModeSection, "Total");
    n[2 + kBandCount][kModeClassCount + 1] = Counter(kBandModeSection, "OthersTotal");
    return n;
}

// ContinentGrid's: bands by continent, the continent totals below.
Names ContinentNames() {
    Names n(1 + kBandCount + 1, std::vector<std::string>(1 + kContinentCount));
    for (std::size_t c = 0; c < kContinentCount; ++c) {
        for (std::size_t b = 0; b < kBandCount; ++b)
            n[1 + b][1 + c] = Counter(kContinentSection, ContinentBandTally::CounterName(c, b));
        n[1 + kBandCount][1 + c] = Counter(kContinentSection, ContinentBandTally::TotalName(c));
    }
    return n;
}

// QslGrid's: each Rcvd/Sent cell under its channel's name, as the report's "percent" holds it.
Names QslNames() {
    Names n(2, std::vector<std::string>(1 + QslChannels.size()));
    for (std::size_t ch = 0; ch < QslChannels.size(); ++ch)
        n[1][1 + ch] = Counter(kQslSection, QslChannels[ch].header);
    return n;
}

// The six counts behind the Rcvd/Sent row, which the windows do not show: a row of sent and
// a row of received lines under the same channel headers.
void QslCounts(const QslTally& t, Grid& g, Names& n) {
    g.assign(3, std::vector<std::string>(1 + QslChannels.size()));
    n.assign(3, std::vector<std::string>(1 + QslChannels.size()));
    g[1][0] = "Sent";
    g[2][0] = "Rcvd";
    for (std::size_t ch = 0; ch < QslChannels.size(); ++ch) {
        g[0][1 + ch] = std::string(QslChannels[ch].header);
        for (std::size_t row = 1; row <= 2; ++row) {
            const std::size_t field =
                row == 1 ? QslChannels[ch].sentField : QslChannels[ch].rcvdField;
            g[row][1 + ch] = std::to_string(t.Counter(field));
            n[row][1 + ch] = Counter(kQslSection, QslFields[field].name);
        }
    }
}

void Table(std::string& out, std::string_view id, std::string_view title, const Grid& g,
           const Names& names) {
    out += "{\"id\": " + JsonString(id) + ", \"title\": " + JsonString(title) + ", \"rows\": [";
    for (std::size_t r = 0; r < g.size(); ++r) {
        out += r ? ", [" : "[";
        for (std::size_t c = 0; c < g[r].size(); ++c) {
            out += c ? ", " : "";
            out += "{\"text\": " + JsonString(g[r][c]);
            if (r == 0 || c == 0) out += ", \"header\": true";
            if (!names[r][c].empty()) out += ", \"counter\": " + JsonString(names[r][c]);
            out += "}";
        }
        out += "]";
    }
    out += "]}";
}

// A chart of ten bands (the chart labels) and one series per column of `value`, whose names
// are `series`; the desktop charts leave the totals out.
template <std::size_t N, typename Value>
void Chart(std::string& out, std::string_view id, std::string_view title,
           const std::array<std::string_view, N>& series, Value value) {
    out +=
        "{\"id\": " + JsonString(id) + ", \"title\": " + JsonString(title) + ", \"categories\": [";
    for (std::size_t b = 0; b < kBandCount; ++b)
        out += (b ? ", " : "") + JsonString(BandTable[b].chartLabel);
    out += "], \"series\": [";
    std::int64_t largest = 0;
    for (std::size_t s = 0; s < N; ++s) {
        char colour[8];
        std::snprintf(colour, sizeof colour, "#%06X",
                      static_cast<unsigned>(kChartSeriesColours[s % kChartSeriesColours.size()]));
        out += (s ? ", {" : "{") + std::string("\"name\": ") + JsonString(series[s]) +
               ", \"colour\": " + JsonString(colour) + ", \"values\": [";
        for (std::size_t b = 0; b < kBandCount; ++b) {
            const std::int32_t v = value(s, b);
            largest = std::max<std::int64_t>(largest, v);
            out += (b ? ", " : "") + std::to_string(v);
        }
        out += "]}";
    }
    const ChartScale axis = ChartScaleFor(largest);
    out += "], \"axis\": {\"max\": " + std::to_string(axis.max) +
           ", \"step\": " + std::to_string(axis.step) + "}}";
}

}  // namespace

std::string PageModel(std::string_view file, const CountingRules& rules, const LogCounts& counts) {
    std::string out = "{\"tables\": [";
    std::string sep;
    if (const auto& t = counts.bandMode) {
        // The main window's caption: the file name, and the rules' note when they have one.
        std::string title(file);
        if (!rules.CaptionNote().empty()) title += " (" + std::string(rules.CaptionNote()) + ")";
        Table(out, kBandModeSection, title, BandModeGrid(*t), BandModeNames());
        sep = ", ";
    }
    if (const auto& t = counts.continent) {
        out += sep;
        Table(out, kContinentSection, "Continent Summary", ContinentGrid(*t), ContinentNames());
        sep = ", ";
    }
    if (const auto& t = counts.qsl) {
        out += sep;
        Table(out, kQslSection, "QSL Rcvd/Sent", QslGrid(*t), QslNames());
        Grid g;
        Names n;
        QslCounts(*t, g, n);
        out += ", ";
        Table(out, "qslCounts", "QSL Sent and Rcvd", g, n);
    }
    out += "], \"charts\": [";
    sep.clear();
    if (const auto& t = counts.bandMode) {
        std::array<std::string_view, kModeClassCount> modes;
        for (std::size_t m = 0; m < kModeClassCount; ++m) modes[m] = ModeClasses[m].name;
        Chart(out, "modeChart", "Mode Chart", modes,
              [&](std::size_t m, std::size_t b) { return t->Counter(m, b); });
        sep = ", ";
    }
    if (const auto& t = counts.continent) {
        std::array<std::string_view, kContinentCount> codes;
        for (std::size_t c = 0; c < kContinentCount; ++c) codes[c] = Continents[c].code;
        out += sep;
        Chart(out, "continentChart", "Continent Chart", codes,
              [&](std::size_t c, std::size_t b) { return t->Counter(c, b); });
    }
    return out + "]}";
}

}  // namespace quorvane::web
