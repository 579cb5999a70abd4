// The ADIF field rules: hand-made records whose counts follow from the rules, checked against
// both the tallies and the plain reference, then generated export-style logs read in blocks of
// every size against the reference.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "loggen.h"
#include "quorvane/counting_rules.h"
#include "reference_adif.h"
#include "tally_support.h"

namespace quorvane {
namespace {

using namespace std::string_literals;

// The counters that are not zero, counted by the tallies; fails the test where the reference
// counts otherwise.
std::string Both(const std::string& text, std::size_t blockSize = 0) {
    const testing::TempFile file(text);
    const LogCounts t = testing::CountFile(file.path, blockSize, AdifFieldRules());
    EXPECT_EQ(testing::Differences(t, reference::CountAdif(text), false), "") << text;
    return testing::Nonzero(t);
}

// What each row shows, a log, and the counters it raises.
const std::tuple<const char*, std::string, const char*> kCases[] = {
    {"any letter case, one field per line", "<band:3>20m\r\n<Mode:2>cw\r\n<EOR>\r\n", "C20"},
    {"a data type, spaces and case in values",
     "<BAND:3:S>20m <MODE:3>usb <CONT:4> eu <QSL_SENT:3> y <EOR>", "S20 EU20 QslSent"},
    {"submodes written as the mode",
     "<band:3>40m<mode:4>C4FM<eor><band:3>40m<mode:3>PCW<eor><band:3>40m<mode:3>FT4<eor>",
     "C40 R40 S40"},
    {"SUBMODE when MODE is missing or empty",
     "<BAND:2>6m<SUBMODE:3>LSB<EOR>"
     "<BAND:2>6m<MODE:0><SUBMODE:3>FT4<EOR><BAND:2>6m<MODE:3>FOO<SUBMODE:3>USB<EOR>",
     "R6 S6 OthersTotal"},
    {"FREQ when BAND is missing or blank, edges inclusive",
     "<FREQ:6>14.074<MODE:3>FT8<EOR><BAND:1> <FREQ:5>14.35<MODE:2>CW<EOR>"
     "<FREQ:13>14.3500000001<MODE:2>CW<EOR><FREQ:3>1.8<MODE:2>AM<EOR>",
     "C20 R20 S160 OthersTotal"},
    {"a BAND that is not listed wins over FREQ", "<BAND:3>60m<FREQ:6>14.074<MODE:2>CW<EOR>",
     "OthersTotal"},
    {"no band: nothing; a band without a mode: Others",
     "<MODE:2>CW<CONT:2>EU<EOR><BAND:3>20m<CONT:2>EU<EOR><FREQ:3>abc<MODE:2>CW<EOR>",
     "OthersTotal*2 EU20"},
    {"the first of a doubled field counts",
     "<BAND:3>20m<BAND:3>40m<MODE:2>CW<QSL_SENT:1>N<QSL_SENT:1>Y<EOR>", "C20"},
    {"a value may hold <EOR> and fields, after a long name; a long value is no band",
     "<CREATED_TIMESTAMP:21>a <EOR> <BAND:3>40m c<BAND:3>20m<MODE:2>CW<EOR><BAND:65>" +
         std::string(65, '6') + "<EOR><BAND:3>20m<MODE:2>CW<EOR>",
     "C20*2 OthersTotal"},
    {"<EOH> drops the header's fields", "<BAND:3>20m<EOH><MODE:2>CW<EOR>", ""},
    {"a header without <EOH>, a BOM, # comments",
     "\xef\xbb\xbf# log\n<ADIF_VER:5>3.1.6\n<band:3>20m<mode:2>CW<eor>", "C20"},
    {"<EOH> after the first record is text",
     "<BAND:3>20m<MODE:2>CW<EOR><BAND:3>40m<EOH><MODE:2>CW<EOR>", "C20 C40"},
    {"fields after the last <EOR> make no record",
     "<BAND:3>20m<MODE:2>CW<EOR><BAND:3>40m<MODE:2>CW", "C20"},
    {"a value past the end of the file", "<BAND:3>20m<MODE:2>CW<NOTES:99>x<EOR>", ""},
    {"lengths of many digits: leading zeros, thirty digits (2^64 times 10^10)",
     "<BAND:0000000000000000000003>20m<MODE:2>CW<EOR><X:184467440737095516160000000000>"
     "<BAND:3>20m<MODE:2>CW<EOR>",
     "C20"},
    {"broken tags are text", "<:5>ab<BAND:3<<<<BAND:3>20m<MODE:2>CW< EOR><EOR>", "C20"},
    {"NUL bytes between fields and in values",
     "<BAND:3>20m\0\0<MODE:2>CW\0<EOR><BAND:3>20m<MODE:4>CW\0\0<EOR><BAND:4>20m\0<MODE:2>CW<EOR>"s,
     "C20 OthersTotal*2"},
    {"continents and QSL: seven codes, Y in any case, once per record",
     "<BAND:3>15m<CONT:2>XX<EOR><BAND:3>15m<CONT:2>sa<LOTW_QSL_RCVD:1>y<EQSL_QSL_SENT:1>Y<EOR>",
     "OthersTotal*2 SA15 LotwRcvd EqslSent"},
};

TEST(AdifFieldRules, CountAsTheRulesSay) {
    for (const auto& [what, log, counted] : kCases) {
        EXPECT_EQ(Both(log), counted) << what;
        EXPECT_EQ(Both(log, 1), counted) << what;  // every tag and value cut by block ends
    }
    // A typed field read whole at the start of a block, then nothing but text to its end.
    EXPECT_EQ(Both("<BAND:3>20m<MODE:2:S>CW" + std::string(70, ' ') + "<QSL_SENT:1>Y<EOR>", 93),
              "C20 QslSent");
}

TEST(AdifFieldRules, AgreeWithTheReferenceOnExportStyleLogs) {
    for (std::uint64_t seed = 1; seed <= 6; ++seed) {
        loggen::Options o{.contacts = 400, .seed = seed, .style = loggen::Style::Fields};
        o.lineEnd = static_cast<loggen::LineEnd>(seed % 4);
        o.header = seed % 3 != 0;
        for (std::size_t block : {0, 3, 61}) Both(loggen::Generate(o), block);
    }
}

}  // namespace
}  // namespace quorvane
