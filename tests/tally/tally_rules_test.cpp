// The counting rules, the line rule and the percentage text, one row per rule; then the fast
// scanner against the reference implementation on generated logs of every line-end style and
// on byte soups of tag fragments, line ends and random bytes read 1 to 40 bytes at a time, so
// that every tag and every CRLF is cut by a block end. Every text is counted by both and they
// must agree in every counter, sum and the last line (CountChecked).
#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>
#include <vector>

#include "loggen.h"
#include "tally_support.h"

namespace quorvane {
namespace {

using namespace std::string_literals;
using testing::CountChecked;
using testing::Nonzero;

// {text, Nonzero() of it}
const std::pair<const char*, const char*> kRows[] = {
    // Each class's modes; the mode may stand before the band.
    {"<CALL:4>K1AB <BAND:3>20M <MODE:2>CW <CONT:2>EU <EOR>", "C20 EU20"},
    {"<MODE:4>RTTY <BAND:2>6M", "R6"},
    {"<BAND:3>12M <MODE:5>PSK63 <CONT:2>AF", "R12 AF12"},
    {"<BAND:3>17M <MODE:5>PSK31 <CONT:2>AN", "R17 AN17"},
    {"<BAND:4>160M <MODE:3>SSB <CONT:2>AS", "S160 AS160"},
    {"<BAND:3>30M <MODE:2>FM <CONT:2>OC", "S30 OC30"},
    {"<BAND:3>80M <MODE:2>AM <CONT:2>SA", "S80 SA80"},
    // Class before band: CW, then DIG, then PHO, whichever band they share the line with.
    {"<BAND:3>10M <MODE:4>RTTY <MODE:3>SSB <BAND:3>80M <MODE:2>CW", "C10"},
    {"<BAND:3>12M <MODE:2>FM <BAND:3>17M <MODE:5>PSK31", "R12"},
    // Band order within a class; several contacts on one line count once.
    {"<BAND:4>160M <BAND:2>6M <MODE:2>AM", "S6"},
    {"<BAND:3>40M <MODE:3>SSB <EOR> <BAND:3>15M <MODE:3>SSB <EOR>", "S15"},
    // Continent order, then band order; the mode plays no part.
    {"<CONT:2>NA <CONT:2>EU <BAND:3>40M <BAND:3>20M <MODE:3>FT8", "OthersTotal EU20"},
    {"<CONT:2>SA <BAND:4>160M <CONT:2>AN <BAND:3>10M <MODE:2>CW", "C10 AN10"},
    {"<CONT:2>NA <BAND:3>60M", "OthersTotal"},
    // Others: a band tag without a listed band and mode; no band tag, nothing.
    {"<BAND:3>20M <MODE:3>FT8", "OthersTotal"},
    {"<BAND:3>60M <MODE:2>CW", "OthersTotal"},
    {"<BAND:2>2M <MODE:4>PSK31", "OthersTotal"},
    {"<BAND:", "OthersTotal"},
    {"<MODE:2>CW <CONT:2>EU BAND:3>20M", ""},
    // Literals are case-sensitive substrings; a data-type indicator makes another tag.
    {"<band:3>20m <mode:2>cw <cont:2>EU <qsl_sent:1>Y <QSL_SENT:1>y <EQSL_QSL_SENT:1>Y", ""},
    {"<BAND:3>20M <MODE:2>cw <CONT:2>eu", "OthersTotal"},
    {"x<BAND:3>20MX<MODE:2>CWR<CONT:2>NAX<EOR>", "C20 NA20"},
    {"<BAND:3:E>20M <MODE:2>CW <CONT:2>EU", "OthersTotal"},
    {"<BAND:3>20M <MODE:2:E>CW <CONT:2:E>EU <QSL_SENT:1:S>Y", "OthersTotal"},
    // QSL fields count on their own, once per line, whatever else the line holds.
    {"<QSL_SENT:1>Y <QSL_SENT:1>Y <QSL_RCVD:1>N <QSL_RCVD:2>Y ", "QslSent"},
    {"<QSL_SENT:1>Y <QSL_RCVD:1>Y <LOTW_QSL_SENT:1>Y <LOTW_QSL_RCVD:1>Y <eQSL_QSL_SENT:1>Y "
     "<eQSL_QSL_RCVD:1>Y\n<BAND:3>20M <MODE:2>CW <eQSL_QSL_SENT:1>Y",
     "C20 QslSent QslRcvd LotwSent LotwRcvd EqslSent*2 EqslRcvd"},
    // Tags split over lines match on neither; each line counts on its own.
    {"<BAND:3>20M\r\n<MODE:2>CW <CONT:2>EU <EOR>\r\n", "OthersTotal"},
    {"<BAND:3>2\r\n0M <MODE:2>CW\r\n<BAND:3>20M <MODE:2>C\nW\r\n", "OthersTotal*2"},
    // The line rule: CR, LF and CRLF each end a line; the last line needs no terminator.
    {"<BAND:3>20M <MODE:2>CW\r<BAND:3>40M <MODE:2>CW\n<BAND:3>80M <MODE:2>CW\r\n"
     "<BAND:3>10M <MODE:2>CW",
     "C10 C20 C40 C80"},
    {"<BAND:3>20M <MODE:2>CW\n<BAND:3>20M <MODE:2>CW\n<BAND:3>20M <MODE:3>SSB\n", "C20*2 S20"},
    {"", ""},
};

TEST(Rules, EachRowCountsItsCounters) {
    for (const auto& [text, counted] : kRows)
        EXPECT_EQ(Nonzero(CountChecked(text)), counted) << text;
}

TEST(Rules, LastLineFollowsTheLineRule) {
    const std::pair<const char*, const char*> rows[] = {
        {"", ""},         {"abc", "abc"},      {"abc\r\n", "abc"},  {"abc\r", "abc"},
        {"abc\n", "abc"}, {"x\r\nabc", "abc"}, {"x\rabc\n", "abc"}, {"abc\r\n\r\n", ""},
        {"abc\n\r", ""},  {"abc\r\r", ""},     {"abc\n\n", ""},
    };
    for (const auto& [text, last] : rows) {
        SCOPED_TRACE(::testing::PrintToString(std::string(text)));
        EXPECT_EQ(CountChecked(text).bandMode.mystr, last);
    }
}

TEST(Rules, TheBandModeScanAddsUpUntilClearCountersWhichKeepsBandTotalsAndMystr) {
    testing::TempFile log("<BAND:3>20M <MODE:2>CW\r\n<BAND:3>60M\r\n");
    BandModeTally t;
    for (int i = 0; i < 2; ++i) {
        LogLineScanner scanner;
        scanner.Open(log.path());
        t.Scan(scanner);
    }
    t.FormTotals();
    EXPECT_EQ(testing::Nonzero({t, {}, {}}), "C20*2 OthersTotal*2");
    t.ClearCounters();
    EXPECT_EQ(t.C20 + t.Ctotal + t.Total + t.OthersTotal, 0);
    EXPECT_EQ(t.Total20, 2);
    EXPECT_EQ(t.mystr, "<BAND:3>60M");
}

TEST(PercentText, TheTableOfExamplesAndHalvesAwayFromZero) {
    const std::tuple<std::int32_t, std::int32_t, const char*> rows[] = {
        {1, 2, "50.%"},
        {2, 3, "66.7%"},
        {1, 8, "12.5%"},
        {3, 3, "100.%"},
        {3, 2, "150.%"},
        {1, 1000, ".1%"},
        {0, 5, ".%"},
        {7, 0, "-"},
        {0, 0, "-"},
        {1, 16, "6.3%"},
        {19, 16, "118.8%"},
        {1, 2000, ".1%"},
        {1, 2001, ".%"},
        {1999, 2000, "100.%"},
        {INT32_MAX, 1, "214748364700.%"},
        {INT32_MAX - 1, INT32_MAX, "100.%"},
    };
    for (const auto& [rcvd, sent, text] : rows) EXPECT_EQ(FormatRcvdSent(rcvd, sent), text);
    for (std::int32_t sent = 0; sent <= 120; ++sent)
        for (std::int32_t rcvd = 0; rcvd <= 260; ++rcvd)
            ASSERT_EQ(FormatRcvdSent(rcvd, sent), reference::PercentText(rcvd, sent))
                << rcvd << "/" << sent;
}

// ---- differential

TEST(Differential, GeneratedLogsOfEveryLineEndStyle) {
    std::mt19937_64 rng(4711);
    for (loggen::LineEnd style : {loggen::LineEnd::CRLF, loggen::LineEnd::CR, loggen::LineEnd::LF,
                                  loggen::LineEnd::Mixed}) {
        for (std::uint64_t seed = 1; seed <= 6; ++seed) {
            loggen::Options o;
            o.seed = seed * 1000 + static_cast<std::uint64_t>(style);
            o.lineEnd = style;
            o.contacts = 200 + rng() % 3000;
            o.header = seed % 3 != 0;
            o.finalLineEnd = seed % 2 == 0;
            o.oddShare = std::vector<double>{0.0, 0.08, 0.5, 1.0}[seed % 4];
            o.splitShare = std::vector<double>{0.0, 0.02, 0.3}[seed % 3];
            o.doubleShare = std::vector<double>{0.0, 0.01, 0.4}[(seed + 1) % 3];
            // A first line of random length moves the records against the block ends.
            const std::string lead(rng() % LogLineScanner::kBlockSize, 'h');
            SCOPED_TRACE("seed " + std::to_string(o.seed) + " lead " + std::to_string(lead.size()));
            CountChecked(lead + "\r\n" + loggen::Generate(o));
        }
    }
}

// Whole literals, their prefixes and near misses, line ends of every kind, '<', NUL, a BOM.
std::vector<std::string> Fragments() {
    std::vector<std::string> v = {
        "\r",          "\n",           "\r\n", "\n\r", "<", " ", "<EOR>", "<BAND:", "<BAND:3:E>20M",
        "<BAND:3>60M", "\xEF\xBB\xBF", "\0"s};
    std::vector<std::string> literals;
    for (std::string b : {"6", "10", "12", "15", "17", "20", "30", "40", "80", "160"})
        literals.push_back("<BAND:" + std::to_string(b.size() + 1) + ">" + b + "M");
    for (std::string m : {"CW", "RTTY", "PSK63", "PSK31", "SSB", "FM", "AM"})
        literals.push_back("<MODE:" + std::to_string(m.size()) + ">" + m);
    for (std::string c : {"AF", "AN", "AS", "EU", "NA", "OC", "SA"})
        literals.push_back("<CONT:2>" + c);
    for (std::string q : {"QSL_SENT", "QSL_RCVD", "LOTW_QSL_SENT", "LOTW_QSL_RCVD", "eQSL_QSL_SENT",
                          "eQSL_QSL_RCVD"})
        literals.push_back("<" + q + ":1>Y");
    for (const std::string& l : literals) {
        std::string lower = l;
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        for (const std::string& s :
             {l, l, l.substr(0, l.size() / 2), l.substr(0, l.size() - 1), l.substr(1), lower})
            v.push_back(s);
    }
    return v;
}

std::string Soup(std::mt19937_64& rng, std::size_t size) {
    static const std::vector<std::string> parts = Fragments();
    std::string s;
    while (s.size() < size) {
        const std::uint64_t r = rng();
        if (r % 8 == 0)
            s += static_cast<char>(r >> 8);
        else if (r % 8 == 1)
            s += std::string(1 + (r >> 8) % 40, 'a' + (r >> 16) % 26);
        else
            s += parts[(r >> 8) % parts.size()];
    }
    return s;
}

TEST(Differential, ByteSoupsReadInTinyBlocks) {
    std::mt19937_64 rng(3);
    for (int i = 0; i < 400; ++i) {
        const std::string text = Soup(rng, rng() % 2000);
        const std::size_t blockSize = 1 + rng() % 40;
        SCOPED_TRACE("soup " + std::to_string(i) + " read " + std::to_string(blockSize) +
                     " bytes at a time");
        CountChecked(text, blockSize);
    }
}

}  // namespace
}  // namespace quorvane
