// quorvane-report through report::Run: its JSON, read back by a JSON parser and checked against
// the reference; its text tables; table selection; usage and log errors; file names that are
// not UTF-8 or hold control characters; and a full disk.
#include "report.h"

#include <gtest/gtest.h>

#include <iterator>
#include <nlohmann/json.hpp>
#include <sstream>

#include "loggen.h"
#include "reference_adif.h"
#include "tally_support.h"

namespace quorvane {
namespace {

using nlohmann::json;
using Strings = std::vector<std::string>;

struct Result {
    int status;
    std::string out;
    std::string err;
};

Result Tool(const Strings& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = report::Run(args, out, err);
    return {status, out.str(), err.str()};
}

const std::string kLog =
    loggen::Generate({.contacts = 1500, .lineEnd = loggen::LineEnd::Mixed, .oddShare = 0.15});

const reference::Counts& Ref() {
    static const reference::Counts counts = reference::CountText(kLog);
    return counts;
}

class Report : public ::testing::Test {
  protected:
    json Json(Strings args) {
        args.push_back(log_.path);
        return json::parse(Tool(args).out);
    }
    const testing::TempFile log_{kLog};
};

// ---- JSON

// A counter or sum missing from the JSON, under the wrong name or with the wrong count.
TEST_F(Report, JsonHoldsEveryCounterAndSumAsTheReferenceCountsThem) {
    const json j = Json({"--json"});
    for (const auto& [section, counters] :
         {std::pair{"bandMode", &Ref().bandMode}, std::pair{"continent", &Ref().continent},
          std::pair{"qsl", &Ref().qsl}})
        for (const auto& [name, count] : *counters)
            EXPECT_EQ(j.at(section).value(name, json()), count) << section << "." << name;
    for (const char* name : {"Ctotal", "Rtotal", "Stotal", "Total", "Total6", "Total160"})
        EXPECT_EQ(j.at("bandMode").value(name, json()), Ref().BandModeSum(name)) << name;
    for (const char* name : {"AFtotal", "SAtotal"})
        EXPECT_EQ(j.at("continent").value(name, json()), Ref().ContinentSum(name)) << name;
}

// The file or rules key missing, or naming something else.
TEST_F(Report, JsonNamesTheLogAndTheRules) {
    const json j = Json({"--json"});
    EXPECT_EQ(j.value("file", json()), log_.path);
    EXPECT_EQ(j.value("rules", json()), "exact");
}

// A table printed that was not asked for, or one left out that was.
TEST_F(Report, JsonHoldsOnlyTheTablesAskedFor) {
    const json j = Json({"--table", "qsl", "--json", "--table=band-mode"});
    EXPECT_TRUE(j.contains("bandMode"));
    EXPECT_FALSE(j.contains("continent"));
    EXPECT_TRUE(j.contains("qsl"));
}

// The --rules option ignored.
TEST_F(Report, JsonByTheAdifFieldRulesCountsAsTheirReference) {
    const reference::Counts adif = reference::CountAdif(kLog);
    const json j = Json({"--rules", "adif", "--json", "--table", "qsl"});
    EXPECT_EQ(j.at("qsl").value("QslSent", json()), adif.qsl.at("QslSent"));
}

// The percentages computed from the wrong counters, or not as the QSL window shows them.
TEST(ReportJson, PercentHoldsTheQslWindowsTexts) {
    const testing::TempFile log(
        "<QSL_SENT:1>Y <QSL_RCVD:1>Y <LOTW_QSL_SENT:1>Y\r\n<QSL_SENT:1>Y <LOTW_QSL_SENT:1>Y\r\n"
        "<QSL_SENT:1>Y <eQSL_QSL_RCVD:1>Y\r\n");
    const json percent = json::parse(Tool({"--json", log.path}).out).at("qsl").at("percent");
    EXPECT_EQ(percent.value("QSL", json()), "33.3%");
    EXPECT_EQ(percent.value("LoTW", json()), ".%");
    EXPECT_EQ(percent.value("eQSL", json()), "-");
}

// ---- text

// Columns out of line, or headers other than the window's.
TEST_F(Report, TextTablesHaveTheWindowsHeadersRightAligned) {
    const std::string text = Tool({log_.path}).out;
    const std::size_t header = text.find('\n') + 1;
    const std::size_t row20 = text.find("\n20M ") + 1;
    std::istringstream words(text.substr(header, text.find('\n', header) - header));
    EXPECT_EQ(Strings(std::istream_iterator<std::string>(words), {}),
              Strings({"CW", "DIG", "PHO", "Total"}));
    EXPECT_EQ(text.find('\n', header) - header, text.find('\n', row20) - row20);
}

// A title without the file's base name or the rules.
TEST_F(Report, TextBeginsWithTheFileNameAndTheRules) {
    EXPECT_EQ(Tool({log_.path}).out.rfind("log.adi (exact rules)\n", 0), 0u);
}

// Another table printed, or a blank line before the only one.
TEST(ReportText, OfOneTableIsThatTableAlone) {
    const testing::TempFile log(
        "<QSL_SENT:1>Y <QSL_RCVD:1>Y <LOTW_QSL_SENT:1>Y\r\n<QSL_SENT:1>Y\r\n");
    EXPECT_EQ(Tool({"--table", "qsl", log.path}).out,
              "QSL Rcvd/Sent (exact rules)\n"
              "            QSL  LoTW  eQSL\n"
              "Rcvd/Sent  50.%    .%     -\n");
}

// ---- errors

struct UsageRow {
    const char* name;
    Strings args;      // "LOG" stands for an existing log
    std::string says;  // what the error line names
};

class UsageError : public ::testing::TestWithParam<UsageRow> {
  protected:
    Result Run() {
        Strings args = GetParam().args;
        for (std::string& arg : args)
            if (arg == "LOG") arg = log_.path;
        return Tool(args);
    }
    const testing::TempFile log_;
};

// A wrong command line that counts, or fails with the wrong status.
TEST_P(UsageError, ExitsOne) { EXPECT_EQ(Run().status, 1); }

// A usage error that also prints tables.
TEST_P(UsageError, PrintsNothingOnStandardOutput) { EXPECT_EQ(Run().out, ""); }

// A usage error that does not say which program speaks.
TEST_P(UsageError, SaysSoOnStandardError) {
    EXPECT_EQ(Run().err.rfind("quorvane-report: ", 0), 0u) << Run().err;
}

// An error line that does not name what is wrong.
TEST_P(UsageError, NamesWhatIsWrong) {
    EXPECT_NE(Run().err.find(GetParam().says), std::string::npos) << Run().err;
}

const UsageRow kUsageRows[] = {
    {"NoArguments", {}, "no log given"},
    {"NoLog", {"--json"}, "no log given"},
    {"UnknownOption", {"--bogus", "LOG"}, "unknown option '--bogus'"},
    {"TableWithoutName", {"LOG", "--table"}, "--table needs a name"},
    {"UnknownTable", {"--table", "nope", "LOG"}, "unknown table 'nope'"},
    {"TwoLogs", {"LOG", "LOG"}, "one log at a time"},
    {"UnknownRules", {"--rules", "nope", "LOG"}, "unknown rules 'nope'"},
    {"DayNotInTheCalendar", {"--rules", "adif", "--from", "2023-02-30", "LOG"}, "'2023-02-30'"},
    {"DayBefore1930", {"--rules", "adif", "--to", "1929-12-31", "LOG"}, "'1929-12-31'"},
    {"DayInWords", {"--rules", "adif", "--from=yesterday", "LOG"}, "'yesterday'"},
    {"FromAfterTo",
     {"--rules", "adif", "--from", "20230201", "--to", "2023-01-31", "LOG"},
     "--from 2023-02-01 is after --to 2023-01-31"},
    {"RangeByTheExactRules", {"--from", "2023-01-01", "LOG"}, "needs --rules adif"},
    {"AwardTableByTheExactRules", {"--table", "dxcc", "LOG"}, "--table dxcc needs --rules adif"},
    {"CsvOfTwoTables", {"--csv", "--table", "qsl", "--table", "continent", "LOG"}, "one table"},
    {"CsvOfNoTableChosen", {"--csv", "LOG"}, "one table"},
    {"CsvAndJson", {"--csv", "--json", "--table", "qsl", "LOG"}, "--json and --csv"},
};
INSTANTIATE_TEST_SUITE_P(CommandLines, UsageError, ::testing::ValuesIn(kUsageRows),
                         testing::RowName());

// ---- the award tables and the range

const std::string kAwardLog =
    "<DXCC:3>291<QSO_DATE:8>20221231<BAND:3>20m<MODE:2>CW<EOR>\n"
    "<DXCC:3>230<QSO_DATE:8>20230101<BAND:3>40m<MODE:3>FT8<LOTW_QSL_RCVD:1>Y<EOR>\n"
    "<DXCC:3>291<BAND:3>20m<MODE:3>SSB<EOR>\n";

// The years' CSV other than its rows in order, with the "No date" row cut short.
TEST(ReportCsv, HoldsTheYearsTableRowByRow) {
    const testing::TempFile log(kAwardLog);
    EXPECT_EQ(Tool({"--rules", "adif", "--table", "years", "--csv", log.path}).out,
              "Year,Contacts,CW,Phone,Digital,Entities,New,Confirmed\r\n"
              "2022,1,1,0,0,1,1,0\r\n"
              "2023,1,0,0,1,1,1,1\r\n"
              "No date,1,0,1,0,,,\r\n");
}

// A range that the JSON does not give, or a wrong count of records left out.
TEST(ReportJson, GivesTheRangeAndTheRecordsLeftOut) {
    const testing::TempFile log(kAwardLog);
    const json j =
        json::parse(Tool({"--rules", "adif", "--json", "--from", "2023-01-01", log.path}).out);
    EXPECT_EQ(j.at("range"), json::parse(R"({"from": "2023-01-01", "to": null, "leftOut": 1})"));
}

// The summary's worked row in other keys or with other counts.
TEST(ReportJson, GivesTheDxccSummaryByColumn) {
    const testing::TempFile log(kAwardLog);
    const json j = json::parse(Tool({"--rules", "adif", "--json", log.path}).out);
    EXPECT_EQ(
        j.at("dxcc").at("worked"),
        json::parse(R"({"Mixed": 2, "CW": 1, "Phone": 1, "Digital": 1, "40M": 1, "20M": 1})"));
}

// An entity's cells without their contacts or channels.
TEST(ReportJson, GivesEachEntitysCellsWithTheirChannels) {
    const testing::TempFile log(kAwardLog);
    const json j = json::parse(Tool({"--rules", "adif", "--json", log.path}).out);
    EXPECT_EQ(j.at("dxccEntities").at(0).at("cells").at("40M"),
              json::parse(R"({"contacts": 1, "card": false, "lotw": true, "eqsl": false})"));
}

// A version other than the package's, or one that counts the log given beside it.
TEST(ReportTool, VersionIsTheProgramsNameAndThePackagesVersion) {
    EXPECT_EQ(Tool({"--json", "--version", "x.adi"}).out, "quorvane-report " QUORVANE_VERSION "\n");
}

// A log that cannot be read, reported with the wrong status, words or stream.
TEST_F(Report, AMissingLogExitsTwoWithTheSystemsReason) {
    const Result r = Tool({"--json", "x.adi"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "quorvane-report: cannot open 'x.adi': No such file or directory\n");
}

// ---- file names

struct NameRow {
    const char* name;
    std::string bytes;  // of the file name
    std::string shown;  // the "file" value as a JSON parser reads it
};

class JsonFileName : public ::testing::TestWithParam<NameRow> {};

// One U+FFFD for each maximal subpart of an ill-formed sequence, as the Unicode standard
// describes it (chapter 3, "U+FFFD Substitution of Maximal Subparts"); well-formed sequences
// pass unchanged. A name passed through as raw bytes makes the JSON unreadable.
TEST_P(JsonFileName, IsValidUtf8) {
    const testing::TempFile dir;
    const std::string path = dir.dir + "/" + GetParam().bytes;
    std::ofstream(path) << "<QSL_SENT:1>Y\r\n";
    const json j = json::parse(Tool({"--json", "--table", "qsl", path}).out);
    EXPECT_EQ(j.value("file", json()), dir.dir + "/" + GetParam().shown);
}

const std::string kR = "\xef\xbf\xbd";  // U+FFFD in UTF-8
// The highest and the lowest well-formed sequence of each length.
const std::string kWellFormed =
    "\xc2\x80\xc3\xa9\xe2\x82\xac\xed\x9f\xbf\xee\x80\x80\xf0\x90\x80\x80\xf4\x8f\xbf\xbf";

INSTANTIATE_TEST_SUITE_P(
    Names, JsonFileName,
    ::testing::Values(NameRow{"OverlongNul", "\xe0\x80\x80", kR + kR + kR},
                      NameRow{"Surrogate", "\xed\xa0\x80", kR + kR + kR},
                      NameRow{"AboveUnicode", "\xf4\x90\x80\x80", kR + kR + kR + kR},
                      NameRow{"BytesThatBeginNothing", "\xf5\xff", kR + kR},
                      NameRow{"CutSequences",
                              "\x61\xF1\x80\x80\xE1\x80\xC2\x62\x80\x63\x80\xBF\x64",
                              "a" + kR + kR + kR + "b" + kR + "c" + kR + kR + "d"},
                      NameRow{"HighestAndLowestOfEachLength", kWellFormed, kWellFormed},
                      NameRow{"ControlCharacters", "a\tb\x7f", "a\tb\x7f"}),
    testing::RowName());

// A message split over lines, or one that lets a name clear the terminal.
TEST(ReportTool, ControlCharactersInANameKeepTheMessageOnOneLine) {
    const testing::TempFile dir;
    const std::string name = "a\nb\rc\td\x1b[2Je\x7f\x01g\\h\xc2\x85i\xe2\x80\xa8j\xc3\xa9.adi";
    const std::string shown = "a\\nb\\rc\\td\\x1b[2Je\\x7f\\x01g\\\\h\\u0085i\\u2028j\xc3\xa9.adi";
    EXPECT_EQ(Tool({dir.dir + "/" + name}).err, "quorvane-report: cannot open '" + dir.dir + "/" +
                                                    shown + "': No such file or directory\n");
}

// ---- output that cannot be written, here to a full device: reported, and the command fails

class FullDisk : public ::testing::TestWithParam<Strings> {};

TEST_P(FullDisk, IsAnErrorWithAMessage) {
    const testing::TempFile log("<BAND:3>20M <MODE:2>CW\r\n");
    Strings args = GetParam();
    if (args.empty()) args.push_back(log.path);
    std::ofstream full("/dev/full");
    std::ostringstream err;
    EXPECT_EQ(report::Run(args, full, err), 2);
    EXPECT_EQ(err.str(), "quorvane-report: cannot write the output: No space left on device\n");
}

INSTANTIATE_TEST_SUITE_P(Outputs, FullDisk,
                         ::testing::Values(Strings{}, Strings{"--help"}, Strings{"--version"}),
                         [](const ::testing::TestParamInfo<Strings>& info) {
                             return info.param.empty() ? "Tables" : info.param[0].substr(2);
                         });

}  // namespace
}  // namespace quorvane
