// quorvane-report end to end through report::Run on generated logs: text tables, the exact
// JSON, table selection, help, usage errors and log errors.
#include "report.h"

#include <gtest/gtest.h>

#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "loggen.h"
#include "tally_support.h"

namespace quorvane {
namespace {

using Strings = std::vector<std::string>;
struct Result {
    int status;
    std::string out, err;
};

Result Tool(const Strings& args) {
    std::ostringstream out, err;
    const int status = report::Run(args, out, err);
    return {status, out.str(), err.str()};
}

const Strings kBands = {"6", "10", "12", "15", "17", "20", "30", "40", "80", "160"};
const Strings kCodes = {"AF", "AN", "AS", "EU", "NA", "OC", "SA"};
const std::pair<const char*, const char*> kChannels[] = {
    {"QSL", "Qsl"}, {"LoTW", "Lotw"}, {"eQSL", "Eqsl"}};

std::string Percent(const reference::Counts& ref, const std::string& channel) {
    return reference::PercentText(ref.qsl.at(channel + "Rcvd"), ref.qsl.at(channel + "Sent"));
}

// The JSON the tool must print, key by key; `tables` holds the first letter of each table.
std::string ExpectedJson(const std::string& file, const reference::Counts& r, std::string tables) {
    std::string j = "{\"file\": \"" + file + "\", \"rules\": \"exact\"";
    auto put = [&](const char* sep, const std::string& key, const std::string& value) {
        j.append(sep).append("\"").append(key).append("\": ").append(value);
    };
    if (tables.find('b') != std::string::npos) {
        j += ", \"bandMode\": {";
        Strings names = reference::BandModeCounterNames();
        for (const char* s : {"Ctotal", "Rtotal", "Stotal"}) names.push_back(s);
        for (const std::string& b : kBands) names.push_back("Total" + b);
        names.push_back("Total");
        for (const std::string& n : names)
            put(n == "C6" ? "" : ", ", n,
                std::to_string(r.bandMode.count(n) ? r.bandMode.at(n) : r.BandModeSum(n)));
        put(", ", "OthersTotal", std::to_string(r.bandMode.at("OthersTotal")) + "}");
    }
    if (tables.find('c') != std::string::npos) {
        j += ", \"continent\": {";
        for (const std::string& n : reference::ContinentCounterNames())
            put(n == "AF6" ? "" : ", ", n, std::to_string(r.continent.at(n)));
        for (const std::string& c : kCodes)
            put(", ", c + "total", std::to_string(r.ContinentSum(c)));
        j += "}";
    }
    if (tables.find('q') != std::string::npos) {
        j += ", \"qsl\": {";
        for (const std::string& n : reference::QslCounterNames())
            put("", n, std::to_string(r.qsl.at(n)) + ", ");
        j += "\"percent\": {";
        for (const auto& [label, channel] : kChannels)
            put(*label == 'Q' ? "" : ", ", label,
                std::string(1, '"').append(Percent(r, channel)) + '"');
        j += "}}";
    }
    return j + "}\n";
}

class ReportTool : public ::testing::Test {
  protected:
    ReportTool()
        : log(loggen::Generate(
              {.contacts = 1500, .lineEnd = loggen::LineEnd::Mixed, .oddShare = 0.15})),
          file(log),
          ref(reference::CountText(log)) {}
    const std::string log;
    const testing::TempFile file;
    const reference::Counts ref;
};

TEST_F(ReportTool, JsonHasTheExactShapeAndTablesLimitIt) {
    const std::string& f = file.path();
    EXPECT_EQ(Tool({"--json", f}).out, ExpectedJson(f, ref, "bcq"));
    EXPECT_EQ(Tool({"--json", "--table", "continent", f}).out, ExpectedJson(f, ref, "c"));
    EXPECT_EQ(Tool({"--table", "qsl", "--json", "--table=band-mode", f}).out,
              ExpectedJson(f, ref, "bq"));
}

TEST_F(ReportTool, TextTablesHaveTheWindowsHeadersAndCells) {
    const Result r = Tool({file.path()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    const std::string name = file.path().substr(file.path().rfind('/') + 1);
    auto n = [](std::int64_t v) { return std::to_string(v); };
    std::vector<Strings> rows = {{name, "(exact", "rules)"}, {"CW", "DIG", "PHO", "Total"}};
    for (const std::string& b : kBands)
        rows.push_back({b + "M", n(ref.bandMode.at("C" + b)), n(ref.bandMode.at("R" + b)),
                        n(ref.bandMode.at("S" + b)), n(ref.BandModeSum("Total" + b))});
    rows.push_back({"Total", n(ref.BandModeSum("Ctotal")), n(ref.BandModeSum("Rtotal")),
                    n(ref.BandModeSum("Stotal")), n(ref.BandModeSum("Total"))});
    rows.push_back({"Others", "-", "-", "-", n(ref.bandMode.at("OthersTotal"))});
    rows.insert(rows.end(), {{}, {"Continent", "Summary", "(exact", "rules)"}, kCodes});
    for (const std::string& b : kBands) {
        rows.push_back({b + "M"});
        for (const std::string& c : kCodes) rows.back().push_back(n(ref.continent.at(c + b)));
    }
    rows.push_back({"Total"});
    for (const std::string& c : kCodes) rows.back().push_back(n(ref.ContinentSum(c)));
    rows.insert(rows.end(),
                {{},
                 {"QSL", "Rcvd/Sent", "(exact", "rules)"},
                 {"QSL", "LoTW", "eQSL"},
                 {"Rcvd/Sent", Percent(ref, "Qsl"), Percent(ref, "Lotw"), Percent(ref, "Eqsl")}});
    Strings lines;
    std::istringstream in(r.out);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), rows.size()) << r.out;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        std::istringstream words(lines[i]);
        EXPECT_EQ(Strings(std::istream_iterator<std::string>(words), {}), rows[i]) << i;
    }
    EXPECT_EQ(lines[1].front(), ' ');  // the corner cell is empty
    // Aligned: every row of a table is as long as its header row.
    for (auto [from, to] : {std::pair{1, 13}, std::pair{16, 27}, std::pair{30, 31}})
        for (int i = from; i <= to; ++i) EXPECT_EQ(lines[i].size(), lines[from].size()) << lines[i];
    EXPECT_EQ(Tool({"--table", "qsl", file.path()}).out.rfind("QSL Rcvd/Sent (exact rules)\n", 0), 0u);
    EXPECT_EQ(Tool({"--table", "qsl", file.path()}).out.size(),
              r.out.size() - r.out.rfind("QSL Rcvd"));
}

TEST_F(ReportTool, HelpUsageErrorsAndLogErrors) {
    Result r = Tool({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("usage: quorvane-report", 0), 0u);
    for (const char* word : {"--json", "--table", "band-mode", "continent", "qsl", "--help"})
        EXPECT_NE(r.out.find(word), std::string::npos) << word;
    const std::string& f = file.path();
    for (const Strings& args : std::vector<Strings>{{},
                                                    {"--json"},
                                                    {"--bogus", f},
                                                    {"--table", f},
                                                    {f, "--table"},
                                                    {"--table", "nope", f},
                                                    {f, f}}) {
        r = Tool(args);
        EXPECT_EQ(r.status, 1) << ::testing::PrintToString(args);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.rfind("quorvane-report: ", 0), 0u) << r.err;
    }
    const std::string& dir = file.dir();
    for (const auto& [args, message] : std::vector<std::pair<Strings, std::string>>{
             {{"x.adi"}, "cannot open 'x.adi': No such file or directory"},
             {{"--json", dir + "/x.adi"},
              "cannot open '" + dir + "/x.adi': No such file or directory"},
             {{"--table", "qsl", dir}, "cannot open '" + dir + "': Is a directory"},
             {{f}, "cannot open '" + f + "': another log is being read"}}) {
        LogLineScanner holder;  // for the last case: the log handle is busy
        if (args == Strings{f}) holder.Open(f);
        r = Tool(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "quorvane-report: " + message + "\n");
    }
}

}  // namespace
}  // namespace quorvane
