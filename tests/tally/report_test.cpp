// quorvane-report through report::Run on a generated log: the exact JSON and text tables, as
// the reference counts them, table selection, usage errors and log errors; file names that are
// not UTF-8 or hold control characters, and a full disk.
#include "report.h"

#include <gtest/gtest.h>

#include <iterator>
#include <sstream>

#include "loggen.h"
#include "reference_adif.h"
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

const std::string kLog =
    loggen::Generate({.contacts = 1500, .lineEnd = loggen::LineEnd::Mixed, .oddShare = 0.15});
const reference::Counts& Ref() {
    static const reference::Counts counts = reference::CountText(kLog);
    return counts;
}
const Strings kBands = {"6", "10", "12", "15", "17", "20", "30", "40", "80", "160"};
const Strings kCodes = {"AF", "AN", "AS", "EU", "NA", "OC", "SA"};
const std::pair<const char*, std::string> kChannels[] = {
    {"QSL", "Qsl"}, {"LoTW", "Lotw"}, {"eQSL", "Eqsl"}};

std::string N(std::int64_t n) { return std::to_string(n); }
std::string Percent(const std::string& ch) {
    return FormatRcvdSent(static_cast<std::int32_t>(Ref().qsl.at(ch + "Rcvd")),
                          static_cast<std::int32_t>(Ref().qsl.at(ch + "Sent")));
}
std::int64_t Sum(const std::string& name) { return Ref().BandModeSum(name); }

// The JSON the tool must print; `tables` holds the first letter of each table asked for.
std::string Json(const std::string& file, const std::string& tables) {
    std::string j = "{\"file\": \"" + file + "\", \"rules\": \"exact\"", sep;
    const auto put = [&](const std::string& key, const std::string& value) {
        j += sep + "\"" + key + "\": " + value;
        sep = ", ";
    };
    const auto table = [&](char letter, const std::string& key) {
        if (tables.find(letter) == std::string::npos) return false;
        j += ", \"" + key + "\": {";
        sep = "";
        return true;
    };
    if (table('b', "bandMode")) {
        for (const std::string& n : reference::BandModeCounterNames())
            put(n, N(Ref().bandMode.at(n)));
        for (const char* n : {"Ctotal", "Rtotal", "Stotal"}) put(n, N(Sum(n)));
        for (const std::string& b : kBands) put("Total" + b, N(Sum("Total" + b)));
        put("Total", N(Sum("Total")));
        put("OthersTotal", N(Ref().bandMode.at("OthersTotal")) + "}");
    }
    if (table('c', "continent")) {
        for (const std::string& n : reference::ContinentCounterNames())
            put(n, N(Ref().continent.at(n)));
        for (const std::string& c : kCodes) put(c + "total", N(Ref().ContinentSum(c)));
        j += "}";
    }
    if (table('q', "qsl")) {
        for (const std::string& n : reference::QslCounterNames()) put(n, N(Ref().qsl.at(n)));
        put("percent", "{");
        sep = "";
        for (const auto& [header, ch] : kChannels) put(header, "\"" + Percent(ch) + "\"");
        j += "}}";
    }
    return j + "}\n";
}

TEST(ReportTool, PrintsTheTablesAsJsonOrAlignedTextAndOnlyThoseAskedFor) {
    const testing::TempFile file(kLog);
    const std::string& f = file.path;
    EXPECT_EQ(Tool({"--json", f}).out, Json(f, "bcq"));
    EXPECT_EQ(Tool({"--json", "--table", "continent", f}).out, Json(f, "c"));
    EXPECT_EQ(Tool({"--table", "qsl", "--json", "--table=band-mode", f}).out, Json(f, "bq"));
    // Text: the windows' tables, each column right-aligned under its header.
    const std::string text = Tool({f}).out;
    const auto words = [&](const std::string& first, std::size_t from = 0) {
        std::istringstream in(text.substr(text.find("\n" + first + " ", from) + 1));
        std::string line;
        std::getline(in, line);
        std::istringstream w(line);
        return std::pair(Strings(std::istream_iterator<std::string>(w), {}), line.size());
    };
    const auto [header, width] = words(" ");
    EXPECT_EQ(header, Strings({"CW", "DIG", "PHO", "Total"}));
    EXPECT_EQ(words("20M"),
              std::pair(Strings({"20M", N(Ref().bandMode.at("C20")), N(Ref().bandMode.at("R20")),
                                 N(Ref().bandMode.at("S20")), N(Sum("Total20"))}),
                        width));
    EXPECT_EQ(words("Others").first,
              Strings({"Others", "-", "-", "-", N(Ref().bandMode.at("OthersTotal"))}));
    Strings totals = {"Total"};
    for (const std::string& c : kCodes) totals.push_back(N(Ref().ContinentSum(c)));
    EXPECT_EQ(words("Total", text.find("Continent Summary")).first, totals);
    EXPECT_EQ(words("Rcvd/Sent").first,
              Strings({"Rcvd/Sent", Percent("Qsl"), Percent("Lotw"), Percent("Eqsl")}));
    EXPECT_EQ(text.rfind("log.adi (exact rules)\n", 0), 0u);
    EXPECT_EQ(Tool({"--table", "qsl", f}).out,
              text.substr(text.rfind("QSL Rcvd/Sent (exact rules)\n")));
    // By the ADIF field rules, named right after the file.
    const reference::Counts adif = reference::CountAdif(kLog);
    const std::string json = Tool({"--rules", "adif", "--json", "--table", "qsl", f}).out;
    EXPECT_EQ(json.substr(0, json.find(", \"LotwSent\"")),
              "{\"file\": \"" + f + "\", \"rules\": \"adif\", \"qsl\": {\"QslSent\": " +
                  N(adif.qsl.at("QslSent")) + ", \"QslRcvd\": " + N(adif.qsl.at("QslRcvd")));
}

TEST(ReportTool, VersionIsTheProgramsNameAndThePackagesVersion) {
    EXPECT_EQ(Tool({"--json", "--version", "x.adi"}).out, "quorvane-report " QUORVANE_VERSION "\n");
    EXPECT_EQ(Tool({"--version"}).status, 0);
}

TEST(ReportTool, UsageErrorsExitOneAndLogErrorsTwo) {
    const testing::TempFile file;
    const std::string& f = file.path;
    EXPECT_EQ(Tool({"--help"}).out.rfind("usage: quorvane-report [--rules exact|adif] [--json]", 0),
              0u);
    for (const Strings& args : std::vector<Strings>{{},
                                                    {"--json"},
                                                    {"--bogus"},
                                                    {f, "--table"},
                                                    {"--table", "nope", f},
                                                    {f, f},
                                                    {"--rules", "nope", f}}) {
        const Result r = Tool(args);
        EXPECT_EQ(r.status, 1) << ::testing::PrintToString(args);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.rfind("quorvane-report: ", 0), 0u) << r.err;
    }
    LogLineScanner holder;  // for the last case: the log handle is busy
    for (const auto& [args, message] : std::vector<std::pair<Strings, std::string>>{
             {{"--json", "x.adi"}, "cannot open 'x.adi': No such file or directory"},
             {{"--table", "qsl", file.dir}, "cannot open '" + file.dir + "': Is a directory"},
             {{f}, "cannot open '" + f + "': another log is being read"}}) {
        if (args == Strings{f}) holder.Open(f);
        const Result r = Tool(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "quorvane-report: " + message + "\n");
    }
}

// One U+FFFD for each maximal subpart of an ill-formed sequence, as the Unicode standard
// describes it (chapter 3, "U+FFFD Substitution of Maximal Subparts"); well-formed sequences,
// the highest and the lowest of each length, pass unchanged.
TEST(ReportTool, JsonFileNamesThatAreNotUtf8GetReplacementCharacters) {
    const std::string r = "\\ufffd";
    const std::pair<std::string, std::string> cases[] = {
        {"\xe0\x80\x80", r + r + r},          // overlong form of U+0000
        {"\xed\xa0\x80", r + r + r},          // surrogate U+D800
        {"\xf4\x90\x80\x80", r + r + r + r},  // U+110000
        {"\xf5\xff", r + r},                  // bytes that begin nothing
        {"\x61\xF1\x80\x80\xE1\x80\xC2\x62\x80\x63\x80\xBF\x64",
         "a" + r + r + r + "b" + r + "c" + r + r + "d"},
        {"\xc2\x80\xc3\xa9\xe2\x82\xac\xed\x9f\xbf\xee\x80\x80\xf0\x90\x80\x80\xf4\x8f\xbf\xbf",
         "\xc2\x80\xc3\xa9\xe2\x82\xac\xed\x9f\xbf\xee\x80\x80\xf0\x90\x80\x80\xf4\x8f\xbf\xbf"},
    };
    const testing::TempFile dir;
    for (const auto& [name, json] : cases) {
        const std::string path = dir.dir + "/" + name;
        std::ofstream(path) << "<QSL_SENT:1>Y\r\n";
        const Result result = Tool({"--json", "--table", "qsl", path});
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.out.substr(0, result.out.find("\", ") + 1),
                  "{\"file\": \"" + dir.dir + "/" + json + "\"")
            << ::testing::PrintToString(name);
    }
}

TEST(ReportTool, ControlCharactersInANameKeepTheMessageOnOneLine) {
    const testing::TempFile dir;
    const std::string name = "a\nb\rc\td\x1b[2Je\x7f\x01g\\h\xc2\x85i\xe2\x80\xa8j\xc3\xa9.adi";
    const std::string shown = "a\\nb\\rc\\td\\x1b[2Je\\x7f\\x01g\\\\h\\u0085i\\u2028j\xc3\xa9.adi";
    Result r = Tool({dir.dir + "/" + name});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "quorvane-report: cannot open '" + dir.dir + "/" + shown +
                         "': No such file or directory\n");
    r = Tool({"--table", "qsl\n", dir.path});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.substr(0, r.err.find('\n') + 1),
              "quorvane-report: unknown table 'qsl\\n' (band-mode, continent or qsl)\n");
}

// The output that cannot be written, here to a full device, is reported and fails the command.
TEST(ReportTool, AFullDiskIsAnErrorWithAMessage) {
    const testing::TempFile log("<BAND:3>20M <MODE:2>CW\r\n");
    for (const Strings& args : {Strings{log.path}, Strings{"--help"}, Strings{"--version"}}) {
        std::ofstream full("/dev/full");
        std::ostringstream err;
        EXPECT_EQ(report::Run(args, full, err), 2);
        EXPECT_EQ(err.str(), "quorvane-report: cannot write the output: No space left on device\n");
    }
}

}  // namespace
}  // namespace quorvane
