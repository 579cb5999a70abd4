// quorvane-report: counts a log with the same tallies as the windows and prints the tables.
#include "report.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <sstream>

#include "quorvane/band_mode_tally.h"
#include "quorvane/continent_band_tally.h"
#include "quorvane/counting_rules.h"
#include "quorvane/errors.h"
#include "quorvane/message_text.h"
#include "quorvane/qsl_tally.h"
#include "quorvane/tables.h"

namespace quorvane::report {

namespace {

const char kUsage[] =
    "usage: quorvane-report [--rules exact|adif] [--json] [--table band-mode|continent|qsl]... "
    "LOG\n"
    "\n"
    "Counts the contacts of the ADIF log LOG and prints the band/mode table, the continent\n"
    "table and the QSL Rcvd/Sent row, as the Quorvane windows show them.\n"
    "\n"
    "  --rules exact   (the default) count as quorvane does: each line of the log is searched\n"
    "                  for tags written exactly as <BAND:3>20M or <MODE:2>CW, and a contact\n"
    "                  counts only when its tags stand on one line\n"
    "  --rules adif    count as quorvane-adif does: read the log as ADIF fields in any letter\n"
    "                  case and layout (<band:3>20m, one field per line), record by record up\n"
    "                  to each <EOR>, with the band also from FREQ and modes with their\n"
    "                  submodes (USB is SSB, FT4 is digital)\n"
    "                  Pick adif for logs from today's logging programs; pick exact to see\n"
    "                  what quorvane itself shows.\n"
    "  --json          print the counters as one JSON object instead of text tables\n"
    "  --table NAME    print only this table and run only its tally (repeatable):\n"
    "                  band-mode, continent or qsl\n"
    "  --help          show this help and exit\n"
    "  --version       show the program's name and version and exit\n"
    "\n"
    "Exit status: 0 counted, 1 usage error, 2 the log could not be read or counted.\n";

enum TableId { kBandMode, kContinent, kQsl, kTableCount };
constexpr std::array<std::string_view, kTableCount> kTableNames{"band-mode", "continent", "qsl"};

struct Counts {
    std::optional<BandModeTally> bandMode;
    std::optional<ContinentBandTally> continent;
    std::optional<QslTally> qsl;
};

using Grid = std::vector<std::vector<std::string>>;

// ---- text tables, with the windows' headers and cell texts

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

// The header column left-aligned, every other column right-aligned, two spaces apart.
void PrintGrid(std::ostream& out, const std::string& title, const Grid& g) {
    std::vector<std::size_t> width(g[0].size(), 0);
    for (const auto& row : g)
        for (std::size_t c = 0; c < row.size(); ++c) width[c] = std::max(width[c], row[c].size());
    out << title << '\n';
    for (const auto& row : g) {
        std::string line = row[0] + std::string(width[0] - row[0].size(), ' ');
        for (std::size_t c = 1; c < row.size(); ++c)
            line += "  " + std::string(width[c] - row[c].size(), ' ') + row[c];
        out << line << '\n';
    }
}

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void PrintText(std::ostream& out, const std::string& path, const CountingRules& rules,
               const Counts& counts) {
    const std::string note = " (" + std::string(rules.Title()) + ")";
    bool first = true;
    auto separate = [&] {
        if (!first) out << '\n';
        first = false;
    };
    if (counts.bandMode) {
        separate();
        PrintGrid(out, BaseName(path) + note, BandModeGrid(*counts.bandMode));
    }
    if (counts.continent) {
        separate();
        PrintGrid(out, "Continent Summary" + note, ContinentGrid(*counts.continent));
    }
    if (counts.qsl) {
        separate();
        PrintGrid(out, "QSL Rcvd/Sent" + note, QslGrid(*counts.qsl));
    }
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

// A JSON string; a file name that is not valid UTF-8 gets one U+FFFD for each maximal subpart
// of an ill-formed sequence, so that strict parsers accept the output.
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

class JsonObject {
  public:
    explicit JsonObject(std::ostream& out) : out_(out) { out_ << '{'; }
    void Key(std::string_view key) {
        if (!first_) out_ << ", ";
        first_ = false;
        out_ << JsonString(key) << ": ";
    }
    void Number(std::string_view key, std::int32_t value) {
        Key(key);
        out_ << value;
    }
    void String(std::string_view key, std::string_view value) {
        Key(key);
        out_ << JsonString(value);
    }
    void End() { out_ << '}'; }

  private:
    std::ostream& out_;
    bool first_ = true;
};

void PrintJson(std::ostream& out, const std::string& path, const CountingRules& rules,
               const Counts& counts) {
    JsonObject top(out);
    top.String("file", path);
    top.String("rules", rules.Name());
    if (counts.bandMode) {
        const BandModeTally& t = *counts.bandMode;
        top.Key("bandMode");
        JsonObject o(out);
        for (std::size_t m = 0; m < kModeClassCount; ++m)
            for (std::size_t b = 0; b < kBandCount; ++b)
                o.Number(BandModeTally::CounterName(m, b), t.Counter(m, b));
        for (std::size_t m = 0; m < kModeClassCount; ++m)
            o.Number(BandModeTally::ClassTotalName(m), t.*BandModeTally::kClassTotals[m]);
        for (std::size_t b = 0; b < kBandCount; ++b)
            o.Number(BandModeTally::BandTotalName(b), t.*BandModeTally::kBandTotals[b]);
        o.Number("Total", t.Total);
        o.Number("OthersTotal", t.OthersTotal);
        o.End();
    }
    if (counts.continent) {
        const ContinentBandTally& t = *counts.continent;
        top.Key("continent");
        JsonObject o(out);
        for (std::size_t c = 0; c < kContinentCount; ++c)
            for (std::size_t b = 0; b < kBandCount; ++b)
                o.Number(ContinentBandTally::CounterName(c, b), t.Counter(c, b));
        for (std::size_t c = 0; c < kContinentCount; ++c)
            o.Number(ContinentBandTally::TotalName(c), t.*ContinentBandTally::kTotals[c]);
        o.End();
    }
    if (counts.qsl) {
        const QslTally& t = *counts.qsl;
        top.Key("qsl");
        JsonObject o(out);
        for (std::size_t f = 0; f < kQslFieldCount; ++f) o.Number(QslFields[f].name, t.Counter(f));
        o.Key("percent");
        JsonObject p(out);
        for (std::size_t ch = 0; ch < QslChannels.size(); ++ch)
            p.String(QslChannels[ch].header, t.PercentText(ch));
        p.End();
        o.End();
    }
    top.End();
    out << '\n';
}

// ---- counting

Counts Count(const std::string& path, const CountingRules& rules,
             const std::array<bool, kTableCount>& wanted) {
    Counts counts;
    if (wanted[kBandMode]) {
        BandModeTally& t = counts.bandMode.emplace();
        LogLineScanner log;
        log.Open(path);
        rules.ScanBandMode(t, log, {});
        log.Close();
        t.FormTotals();
    }
    if (wanted[kContinent]) {
        ContinentBandTally& t = counts.continent.emplace();
        rules.ScanContinentBands(t, path, {});
        for (int c = 1; c <= static_cast<int>(kContinentCount); ++c) t.ContinentTotal(c);
    }
    if (wanted[kQsl]) rules.CountQsl(counts.qsl.emplace(), path, {});
    return counts;
}

// Writes the output and makes sure that it got out: a full disk is an error like any other.
int WriteOutput(std::ostream& out, std::ostream& err, const std::string& text) {
    errno = 0;
    out << text;
    out.flush();
    if (out) return 0;
    const int error = errno;
    err << "quorvane-report: cannot write the output";
    if (error != 0) err << ": " << std::strerror(error);
    err << '\n';
    return 2;
}

int UsageError(std::ostream& err, const std::string& message) {
    err << "quorvane-report: " << message << "\n"
        << "Try 'quorvane-report --help' for more information.\n";
    return 1;
}

// The value of an option written "--name VALUE" or "--name=VALUE" at args[i], moving i past it:
// nullopt when args[i] is not this option (always after "--"), an empty optional when its
// value is missing.
std::optional<std::optional<std::string>> OptionValue(const std::vector<std::string>& args,
                                                      std::size_t& i, const std::string& name,
                                                      bool optionsEnded) {
    const std::string& arg = args[i];
    if (optionsEnded) return std::nullopt;
    if (arg.rfind(name + "=", 0) == 0) return std::optional(arg.substr(name.size() + 1));
    if (arg != name) return std::nullopt;
    if (i + 1 == args.size()) return std::optional<std::string>();
    return std::optional(args[++i]);
}

}  // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    bool json = false;
    const CountingRules* rules = &ExactRules();
    std::array<bool, kTableCount> wanted{};
    bool anyTable = false;
    std::optional<std::string> path;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && arg == "--help") {
            return WriteOutput(out, err, kUsage);
        } else if (!optionsEnded && arg == "--version") {
            return WriteOutput(out, err, "quorvane-report " QUORVANE_VERSION "\n");
        } else if (!optionsEnded && arg == "--json") {
            json = true;
        } else if (const auto name = OptionValue(args, i, "--table", optionsEnded)) {
            if (!*name) return UsageError(err, "--table needs a name");
            const auto it = std::find(kTableNames.begin(), kTableNames.end(), **name);
            if (it == kTableNames.end())
                return UsageError(err, "unknown table '" + EscapeForMessage(**name) +
                                           "' (band-mode, continent or qsl)");
            wanted[static_cast<std::size_t>(it - kTableNames.begin())] = true;
            anyTable = true;
        } else if (const auto name = OptionValue(args, i, "--rules", optionsEnded)) {
            if (!*name) return UsageError(err, "--rules needs a name");
            rules = RulesNamed(**name);
            if (!rules)
                return UsageError(
                    err, "unknown rules '" + EscapeForMessage(**name) + "' (exact or adif)");
        } else if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            return UsageError(err, "unknown option '" + EscapeForMessage(arg) + "'");
        } else if (path) {
            return UsageError(err, "one log at a time");
        } else {
            path = arg;
        }
    }
    if (!path) return UsageError(err, "no log given");
    if (!anyTable) wanted.fill(true);

    Counts counts;
    try {
        counts = Count(*path, *rules, wanted);
    } catch (const LogError& e) {
        err << "quorvane-report: " << e.what() << '\n';
        return 2;
    } catch (const TallyError& e) {
        err << "quorvane-report: '" << EscapeForMessage(*path) << "': " << e.what() << '\n';
        return 2;
    }
    std::ostringstream text;
    if (json)
        PrintJson(text, *path, *rules, counts);
    else
        PrintText(text, *path, *rules, counts);
    return WriteOutput(out, err, text.str());
}

}  // namespace quorvane::report
