#include "page_model.h"

#include <algorithm>
#include <cstdio>

#include "quorvane/chart_style.h"
#include "quorvane/report_format.h"
#include "quorvane/tables.h"

namespace quorvane::web {

namespace {

void Table(std::string& out, std::string_view id, std::string_view title, const Grid& g) {
    out += "{\"id\": " + JsonString(id) + ", \"title\": " + JsonString(title) + ", \"rows\": [";
    for (std::size_t r = 0; r < g.size(); ++r) {
        out += r ? ", [" : "[";
        for (std::size_t c = 0; c < g[r].size(); ++c) {
            out += c ? ", " : "";
            out += "{\"text\": " + JsonString(g[r][c].text);
            if (r == 0 || c == 0) out += ", \"header\": true";
            if (!g[r][c].counter.empty()) out += ", \"counter\": " + JsonString(g[r][c].counter);
            out += "}";
        }
        out += "]";
    }
    out += "]}";
}

// A chart of the `categories` and one series per column of `value`, whose names are `series`;
// the desktop charts leave the totals out.
template <std::size_t N, typename Value>
void Chart(std::string& out, std::string_view id, std::string_view title,
           const std::vector<std::string>& categories,
           const std::array<std::string_view, N>& series, Value value) {
    out +=
        "{\"id\": " + JsonString(id) + ", \"title\": " + JsonString(title) + ", \"categories\": [";
    for (std::size_t b = 0; b < categories.size(); ++b)
        out += (b ? ", " : "") + JsonString(categories[b]);
    out += "], \"series\": [";
    std::int64_t largest = 0;
    for (std::size_t s = 0; s < N; ++s) {
        char colour[8];
        std::snprintf(colour, sizeof colour, "#%06X",
                      static_cast<unsigned>(kChartSeriesColours[s % kChartSeriesColours.size()]));
        out += (s ? ", {" : "{") + std::string("\"name\": ") + JsonString(series[s]) +
               ", \"colour\": " + JsonString(colour) + ", \"values\": [";
        for (std::size_t b = 0; b < categories.size(); ++b) {
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
    auto table = [&](std::string_view id, std::string_view title, const Grid& grid) {
        out += sep;
        Table(out, id, title, grid);
        sep = ", ";
    };
    if (const auto& t = counts.bandMode) {
        // The main window's caption: the file name, and the rules' note when they have one.
        std::string title(file);
        if (!rules.CaptionNote().empty()) title += " (" + std::string(rules.CaptionNote()) + ")";
        table(kBandModeSection, title, BandModeGrid(*t));
    }
    if (const auto& t = counts.continent)
        table(kContinentSection, kContinentTitle, ContinentGrid(*t));
    if (const auto& t = counts.qsl) {
        table(kQslSection, kQslTitle, QslGrid(*t));
        table("qslCounts", "QSL Sent and Rcvd", QslCountsGrid(*t));
    }
    if (const auto& a = counts.awards) {
        table("dxcc", kDxccSummaryTitle, DxccSummaryGrid(*a));
        table("dxccEntities", kDxccEntitiesTitle, DxccEntityGrid(*a));
        table("years", kYearsTitle, YearsGrid(*a));
    }
    out += "], \"notes\": {";
    sep.clear();
    auto note = [&](std::string_view key, std::string_view text) {
        out += sep + JsonString(key) + ": " + JsonString(text);
        sep = ", ";
    };
    if (counts.range.Bounded()) note("range", RangeNote(counts));
    if (counts.awards && WorkedEntities(*counts.awards).empty())
        note("dxccEntities", kNoEntityText);
    out += "}, \"charts\": [";
    sep.clear();
    std::vector<std::string> bands;
    for (const Band& b : BandTable) bands.emplace_back(b.chartLabel);
    if (const auto& t = counts.bandMode) {
        std::array<std::string_view, kModeClassCount> modes;
        for (std::size_t m = 0; m < kModeClassCount; ++m) modes[m] = ModeClasses[m].name;
        Chart(out, "modeChart", "Mode Chart", bands, modes,
              [&](std::size_t m, std::size_t b) { return t->Counter(m, b); });
        sep = ", ";
    }
    if (const auto& t = counts.continent) {
        std::array<std::string_view, kContinentCount> codes;
        for (std::size_t c = 0; c < kContinentCount; ++c) codes[c] = Continents[c].code;
        out += sep;
        Chart(out, "continentChart", "Continent Chart", bands, codes,
              [&](std::size_t c, std::size_t b) { return t->Counter(c, b); });
        sep = ", ";
    }
    if (const auto& a = counts.awards) {
        std::vector<std::string> years;
        for (const auto& [year, row] : a->years) years.push_back(std::to_string(year));
        out += sep;
        Chart(out, "yearChart", "Year Chart", years, std::array<std::string_view, 1>{"Contacts"},
              [&](std::size_t, std::size_t y) { return a->years[y].second.contacts; });
    }
    return out + "]}";
}

}  // namespace quorvane::web
