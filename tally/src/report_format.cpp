#include "quorvane/report_format.h"

#include <algorithm>
#include <cstdio>

#include "quorvane/tables.h"

namespace quorvane {

Grid BandModeGrid(const BandModeTally& t) {
    Grid g(1 + kBandCount + 2, std::vector<std::string>(kModeClassCount + 2));
    for (std::size_t m = 0; m < kModeClassCount; ++m)
        g[0][1 + m] = std::string(ModeClasses[m].name);
    g[0][kModeClassCount + 1] = std::string(kTotalText);
    for (std::size_t b = 0; b < kBandCount; ++b) {
        std::vector<std::string>& row = g[1 + b];
        row[0] = std::string(BandTable[b].label);
        for (std::size_t m = 0; m < kModeClassCount; ++m)
            row[1 + m] = std::to_string(t.Counter(m, b));
        row[kModeClassCount + 1] = std::to_string(t.*BandModeTally::kBandTotals[b]);
    }
    std::vector<std::string>& total = g[1 + kBandCount];
    total[0] = std::string(kTotalText);
    for (std::size_t m = 0; m < kModeClassCount; ++m)
        total[1 + m] = std::to_string(t.*BandModeTally::kClassTotals[m]);
    total[kModeClassCount + 1] = std::to_string(t.Total);
    std::vector<std::string>& others = g[2 + kBandCount];
    others[0] = std::string(kOthersText);
    for (std::size_t m = 0; m < kModeClassCount; ++m) others[1 + m] = std::string(kNoBreakdownText);
    others[kModeClassCount + 1] = std::to_string(t.OthersTotal);
    return g;
}

Grid ContinentGrid(const ContinentBandTally& t) {
    Grid g(1 + kBandCount + 1, std::vector<std::string>(1 + kContinentCount));
    for (std::size_t c = 0; c < kContinentCount; ++c) {
        g[0][1 + c] = std::string(Continents[c].code);
        for (std::size_t b = 0; b < kBandCount; ++b)
            g[1 + b][1 + c] = std::to_string(t.Counter(c, b));
        g[1 + kBandCount][1 + c] = std::to_string(t.*ContinentBandTally::kTotals[c]);
    }
    for (std::size_t b = 0; b < kBandCount; ++b) g[1 + b][0] = std::string(BandTable[b].label);
    g[1 + kBandCount][0] = std::string(kTotalText);
    return g;
}

Grid QslGrid(const QslTally& t) {
    Grid g(2, std::vector<std::string>(1 + QslChannels.size()));
    g[1][0] = std::string(kRcvdSentText);
    for (std::size_t ch = 0; ch < QslChannels.size(); ++ch) {
        g[0][1 + ch] = std::string(QslChannels[ch].header);
        g[1][1 + ch] = t.PercentText(ch);
    }
    return g;
}

namespace {

// ---- text

// The header column left-aligned, every other column right-aligned, two spaces apart.
void PrintGrid(std::string& out, std::string_view title, const Grid& g) {
    std::vector<std::size_t> width(g[0].size(), 0);
    for (const auto& row : g)
        for (std::size_t c = 0; c < row.size(); ++c) width[c] = std::max(width[c], row[c].size());
    out.append(title).append("\n");
    for (const auto& row : g) {
        out += row[0] + std::string(width[0] - row[0].size(), ' ');
        for (std::size_t c = 1; c < row.size(); ++c)
            out += "  " + std::string(width[c] - row[c].size(), ' ') + row[c];
        out += '\n';
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

std::string ReportText(std::string_view file, const CountingRules& rules, const LogCounts& counts) {
    const std::string note = " (" + std::string(rules.Title()) + ")";
    std::string out;
    auto print = [&out, &note](std::string_view title, const Grid& grid) {
        if (!out.empty()) out += '\n';
        PrintGrid(out, std::string(title) + note, grid);
    };
    if (counts.bandMode) print(BaseName(file), BandModeGrid(*counts.bandMode));
    if (counts.continent) print("Continent Summary", ContinentGrid(*counts.continent));
    if (counts.qsl) print("QSL Rcvd/Sent", QslGrid(*counts.qsl));
    return out;
}

std::string ReportJson(std::string_view file, const CountingRules& rules, const LogCounts& counts) {
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
    top.End();
    return out + '\n';
}

}  // namespace quorvane
