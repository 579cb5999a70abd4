// quorvane-report through report::Run on a generated log: the exact JSON and text tables, as
// the reference counts them, table selection, usage errors and log errors.
#include "report.h"

#include <gtest/gtest.h>

#include <iterator>
#include <sstream>

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
    std::string j = "{\"file\": \"" + file + "\"", sep;
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
    EXPECT_EQ(text.rfind("log.adi\n", 0), 0u);
    EXPECT_EQ(Tool({"--table", "qsl", f}).out, text.substr(text.rfind("QSL Rcvd/Sent\n")));
}

TEST(ReportTool, UsageErrorsExitOneAndLogErrorsTwo) {
    const testing::TempFile file;
    const std::string& f = file.path;
    EXPECT_EQ(Tool({"--help"}).out.rfind("usage: quorvane-report [--json] [--table", 0), 0u);
    for (const Strings& args : std::vector<Strings>{
             {}, {"--json"}, {"--bogus", f}, {f, "--table"}, {"--table", "nope", f}, {f, f}}) {
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

}  // namespace
}  // namespace quorvane
