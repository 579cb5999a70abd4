// quorvane-report end to end through report::Run: text tables, JSON, table selection, help,
// usage errors and log errors.
#include "report.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "loggen.h"
#include "tally_support.h"

namespace quorvane {
namespace {

using testing::TempDir;
using testing::TempFile;

struct Result {
    int status;
    std::string out;
    std::string err;
};

Result Report(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int status = report::Run(args, out, err);
    return {status, out.str(), err.str()};
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream in(line);
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

std::string GeneratedLog() {
    loggen::Options o;
    o.contacts = 1500;
    o.lineEnd = loggen::LineEnd::Mixed;
    o.oddShare = 0.15;
    return loggen::Generate(o);
}

std::string N(std::int64_t v) { return std::to_string(v); }

// The JSON the tool must print for `ref`, written out key by key.
std::string ExpectedJson(const std::string& file, const reference::Counts& ref, bool bandMode,
                         bool continent, bool qsl) {
    std::string j = "{\"file\": \"" + file + "\"";
    if (bandMode) {
        j += ", \"bandMode\": {";
        const char* sep = "";
        for (const std::string& name : reference::BandModeCounterNames()) {
            j += sep + ("\"" + name + "\": ") + N(ref.bandMode.at(name));
            sep = ", ";
        }
        for (const char* name :
             {"Ctotal", "Rtotal", "Stotal", "Total6", "Total10", "Total12", "Total15", "Total17",
              "Total20", "Total30", "Total40", "Total80", "Total160", "Total"})
            j += ", \"" + std::string(name) + "\": " + N(ref.BandModeSum(name));
        j += ", \"OthersTotal\": " + N(ref.bandMode.at("OthersTotal")) + "}";
    }
    if (continent) {
        j += ", \"continent\": {";
        const char* sep = "";
        for (const std::string& name : reference::ContinentCounterNames()) {
            j += sep + ("\"" + name + "\": ") + N(ref.continent.at(name));
            sep = ", ";
        }
        for (const char* name :
             {"AFtotal", "ANtotal", "AStotal", "EUtotal", "NAtotal", "OCtotal", "SAtotal"})
            j += ", \"" + std::string(name) + "\": " + N(ref.ContinentSum(name));
        j += "}";
    }
    if (qsl) {
        j += ", \"qsl\": {";
        for (const std::string& name : reference::QslCounterNames())
            j += "\"" + name + "\": " + N(ref.qsl.at(name)) + ", ";
        j += "\"percent\": {\"QSL\": \"" +
             reference::PercentText(ref.qsl.at("QslRcvd"), ref.qsl.at("QslSent")) +
             "\", \"LoTW\": \"" +
             reference::PercentText(ref.qsl.at("LotwRcvd"), ref.qsl.at("LotwSent")) +
             "\", \"eQSL\": \"" +
             reference::PercentText(ref.qsl.at("EqslRcvd"), ref.qsl.at("EqslSent")) + "\"}}";
    }
    return j + "}\n";
}

TEST(ReportJson, ExactShapeAndValuesOnGeneratedLogs) {
    for (loggen::LineEnd style :
         {loggen::LineEnd::CRLF, loggen::LineEnd::LF, loggen::LineEnd::CR}) {
        loggen::Options o;
        o.contacts = 1200;
        o.lineEnd = style;
        o.seed = 5 + static_cast<int>(style);
        const std::string log = loggen::Generate(o);
        TempFile file(log);
        const Result r = Report({"--json", file.path()});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.out, ExpectedJson(file.path(), reference::CountText(log), true, true, true));
    }
}

TEST(ReportJson, EmptyLogGivesZerosAndDashes) {
    TempFile file("");
    const Result r = Report({file.path(), "--json"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, ExpectedJson(file.path(), reference::CountText(""), true, true, true));
    EXPECT_NE(r.out.find("\"percent\": {\"QSL\": \"-\", \"LoTW\": \"-\", \"eQSL\": \"-\"}"),
              std::string::npos);
}

TEST(ReportJson, HalfRoundsAwayAndTheSeparatorIsADot) {
    std::string log;
    for (int i = 0; i < 16; ++i)
        log += "<QSL_SENT:1>Y" + std::string(i == 0 ? " <QSL_RCVD:1>Y" : "") + "\r\n";
    for (int i = 0; i < 3; ++i)
        log += "<LOTW_QSL_SENT:1>Y" + std::string(i < 2 ? " <LOTW_QSL_RCVD:1>Y" : "") + "\n";
    log += "<eQSL_QSL_SENT:1>Y <eQSL_QSL_RCVD:1>Y";
    TempFile file(log);
    const Result r = Report({"--json", "--table", "qsl", file.path()});
    EXPECT_NE(
        r.out.find("\"percent\": {\"QSL\": \"6.3%\", \"LoTW\": \"66.7%\", \"eQSL\": \"100.%\"}"),
        std::string::npos)
        << r.out;
}

TEST(ReportJson, FileNameIsEscaped) {
    TempDir dir;
    const std::string path = dir.path() + "/a\"b\\c\td.adi";
    std::ofstream(path) << "<BAND:3>20M <MODE:2>CW\r\n";
    const Result r = Report({"--json", "--table=band-mode", path});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("{\"file\": \"" + dir.path() +
                              "/a\\\"b\\\\c\\u0009d.adi\", \"bandMode\": {\"C6\": 0",
                          0),
              0u)
        << r.out;
}

TEST(ReportJson, TablesLimitTheOutputAndKeepTheirOrder) {
    const std::string log = GeneratedLog();
    TempFile file(log);
    const reference::Counts ref = reference::CountText(log);
    EXPECT_EQ(Report({"--json", "--table", "continent", file.path()}).out,
              ExpectedJson(file.path(), ref, false, true, false));
    EXPECT_EQ(Report({"--table", "qsl", "--json", "--table", "band-mode", file.path()}).out,
              ExpectedJson(file.path(), ref, true, false, true));
    EXPECT_EQ(Report({"--table", "qsl", "--table", "qsl", "--json", file.path()}).out,
              ExpectedJson(file.path(), ref, false, false, true));
}

// ---- text

TEST(ReportText, TablesWithTheWindowsHeadersAndCells) {
    const std::string log = GeneratedLog();
    TempFile file(log);
    const reference::Counts ref = reference::CountText(log);
    const Result r = Report({file.path()});
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 1u + 13 + 1 + 1 + 12 + 1 + 1 + 2) << r.out;

    const std::vector<std::string> bands = {"6",  "10", "12", "15", "17",
                                            "20", "30", "40", "80", "160"};
    // Band/mode table, titled with the log's name.
    EXPECT_EQ(lines[0], file.path().substr(file.path().rfind('/') + 1));
    EXPECT_EQ(Words(lines[1]), (std::vector<std::string>{"CW", "DIG", "PHO", "Total"}));
    EXPECT_EQ(lines[1].front(), ' ');  // the corner cell is empty
    for (std::size_t b = 0; b < bands.size(); ++b) {
        EXPECT_EQ(Words(lines[2 + b]),
                  (std::vector<std::string>{bands[b] + "M", N(ref.bandMode.at("C" + bands[b])),
                                            N(ref.bandMode.at("R" + bands[b])),
                                            N(ref.bandMode.at("S" + bands[b])),
                                            N(ref.BandModeSum("Total" + bands[b]))}));
    }
    EXPECT_EQ(Words(lines[12]),
              (std::vector<std::string>{"Total", N(ref.BandModeSum("Ctotal")),
                                        N(ref.BandModeSum("Rtotal")), N(ref.BandModeSum("Stotal")),
                                        N(ref.BandModeSum("Total"))}));
    EXPECT_EQ(Words(lines[13]), (std::vector<std::string>{"Others", "-", "-", "-",
                                                          N(ref.bandMode.at("OthersTotal"))}));
    EXPECT_EQ(lines[14], "");

    // Continent table.
    EXPECT_EQ(lines[15], "Continent Summary");
    EXPECT_EQ(Words(lines[16]),
              (std::vector<std::string>{"AF", "AN", "AS", "EU", "NA", "OC", "SA"}));
    const std::vector<std::string> codes = {"AF", "AN", "AS", "EU", "NA", "OC", "SA"};
    for (std::size_t b = 0; b < bands.size(); ++b) {
        std::vector<std::string> want = {bands[b] + "M"};
        for (const std::string& c : codes) want.push_back(N(ref.continent.at(c + bands[b])));
        EXPECT_EQ(Words(lines[17 + b]), want);
    }
    std::vector<std::string> totals = {"Total"};
    for (const std::string& c : codes) totals.push_back(N(ref.ContinentSum(c + "total")));
    EXPECT_EQ(Words(lines[27]), totals);
    EXPECT_EQ(lines[28], "");

    // QSL row.
    EXPECT_EQ(lines[29], "QSL Rcvd/Sent");
    EXPECT_EQ(Words(lines[30]), (std::vector<std::string>{"QSL", "LoTW", "eQSL"}));
    EXPECT_EQ(Words(lines[31]),
              (std::vector<std::string>{
                  "Rcvd/Sent", reference::PercentText(ref.qsl.at("QslRcvd"), ref.qsl.at("QslSent")),
                  reference::PercentText(ref.qsl.at("LotwRcvd"), ref.qsl.at("LotwSent")),
                  reference::PercentText(ref.qsl.at("EqslRcvd"), ref.qsl.at("EqslSent"))}));

    // Aligned: every row of a table is as long as its header row, numbers to the right.
    for (auto [from, to] : {std::pair{1, 13}, std::pair{16, 27}, std::pair{30, 31}})
        for (int i = from; i <= to; ++i) EXPECT_EQ(lines[i].size(), lines[from].size()) << lines[i];
    EXPECT_EQ(lines[2].back(), N(ref.BandModeSum("Total6")).back());
}

TEST(ReportText, OnlyTheChosenTables) {
    TempFile file(GeneratedLog());
    Result r = Report({"--table", "qsl", file.path()});
    EXPECT_EQ(r.status, 0);
    std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "QSL Rcvd/Sent");
    r = Report({"--table", "continent", "--table", "band-mode", file.path()});
    lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 14u + 1 + 13);
    EXPECT_EQ(lines[15], "Continent Summary");
}

// ---- help, usage errors, log errors

TEST(ReportCommand, HelpExplainsUsage) {
    const Result r = Report({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out.rfind("usage: quorvane-report", 0), 0u);
    for (const char* word : {"--json", "--table", "band-mode", "continent", "qsl", "--help"})
        EXPECT_NE(r.out.find(word), std::string::npos) << word;
}

TEST(ReportCommand, UsageErrorsExitOneAndPrintNothing) {
    TempFile file("x\r\n");
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"--json"},
        {"--bogus", file.path()},
        {"--table", file.path()},
        {file.path(), "--table"},
        {"--table", "nope", file.path()},
        {"--table=", file.path()},
        {file.path(), file.path()},
    };
    for (const auto& args : bad) {
        const Result r = Report(args);
        EXPECT_EQ(r.status, 1) << ::testing::PrintToString(args);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.rfind("quorvane-report: ", 0), 0u) << r.err;
    }
}

TEST(ReportCommand, DoubleDashEndsTheOptions) {
    TempDir dir;
    const std::string name = dir.path() + "/--json";
    std::ofstream(name) << "<BAND:3>20M <MODE:2>CW\r\n";
    const Result r = Report({"--json", "--", name});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"C20\": 1"), std::string::npos);
}

TEST(ReportCommand, MissingLogExitsTwoWithOneLine) {
    TempDir dir;
    const std::string path = dir.path() + "/x.adi";
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{path}, {"--json", path}, {"--table", "qsl", path}}) {
        const Result r = Report(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err,
                  "quorvane-report: cannot open '" + path + "': No such file or directory\n");
    }
}

TEST(ReportCommand, RelativePathIsNamedAsGiven) {
    const Result r = Report({"x-does-not-exist.adi"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err,
              "quorvane-report: cannot open 'x-does-not-exist.adi': No such file or directory\n");
}

TEST(ReportCommand, SpecialFilesExitTwo) {
    TempDir dir;
    Result r = Report({dir.path()});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "quorvane-report: cannot open '" + dir.path() + "': Is a directory\n");
    r = Report({"--json", "/dev/zero"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "quorvane-report: cannot open '/dev/zero': not a regular file\n");
}

TEST(ReportCommand, BusyLogHandleExitsTwoWithoutOutput) {
    TempFile file("x\r\n");
    LogLineScanner holder;
    holder.Open(file.path());
    const Result r = Report({file.path()});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "quorvane-report: cannot open '" + file.path() + "': another log is being read\n");
}

}  // namespace
}  // namespace quorvane
