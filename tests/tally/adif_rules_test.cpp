// The ADIF field rules: how values are read, one named row each; hand-made records whose counts
// follow from the rules, checked against both the tallies and the plain reference; generated
// export-style logs read in blocks of every size against the reference.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "loggen.h"
#include "quorvane/adif_values.h"
#include "quorvane/counting_rules.h"
#include "quorvane/tables.h"
#include "reference_adif.h"
#include "tally_support.h"

namespace quorvane {
namespace adif {
void PrintTo(const Frequency& f, std::ostream* out) { *out << f.nano << (f.beyond ? "+" : ""); }
}  // namespace adif
namespace {

using namespace std::string_literals;
using Text = std::optional<std::string>;
using adif::Frequency;

struct FrequencyRow {
    const char* name;
    std::string value;
    std::optional<Frequency> expected;  // in nano-MHz
};

class ParseFrequencyTest : public ::testing::TestWithParam<FrequencyRow> {};

TEST_P(ParseFrequencyTest, ReadsDecimalMegahertz) {
    EXPECT_EQ(adif::ParseFrequency(GetParam().value), GetParam().expected);
}
const FrequencyRow kFrequencies[] = {
    {"PointWithoutDecimals", "14.", Frequency{14000000000, false}},
    {"PointFirst", ".5", Frequency{500000000, false}},
    {"TenDecimals", "14.3500000001", Frequency{14350000000, true}},
    {"TenDecimalsEndingInZero", "14.3500000000", Frequency{14350000000, false}},
    {"PastEveryBand", "1000000000", std::nullopt},
    {"PointAlone", ".", std::nullopt},
    {"TwoPoints", "14.0.74", std::nullopt},
    {"NulByteAfter", "14.074\0"s, std::nullopt},
};
INSTANTIATE_TEST_SUITE_P(Rows, ParseFrequencyTest, ::testing::ValuesIn(kFrequencies),
                         testing::RowName());

// A value as the reader keeps it, read from a record of that one field.
AdifRecord::Value Kept(const std::string& text) {
    struct Sink final : AdifRecordSink {
        AdifRecord::Value value{};
        void OnRecord(const AdifRecord& r) override { value = *r.Get(AdifField::Band); }
    } sink;
    AdifReader reader(sink);
    const std::string record = "<BAND:" + std::to_string(text.size()) + ">" + text + "<EOR>";
    reader.Feed(record.data(), record.size());
    return sink.value;
}

struct Row {
    const char* name;
    std::string value;
    Text expected;  // a band's label or a mode class's name
};

class BandNamedTest : public ::testing::TestWithParam<Row> {};
class BandAtFrequencyTest : public ::testing::TestWithParam<Row> {};
class ModeClassNamedTest : public ::testing::TestWithParam<Row> {};

Text BandLabel(std::optional<std::size_t> band) {
    return band ? Text(BandTable[*band].label) : std::nullopt;
}

TEST_P(BandNamedTest, NamesABand) {
    EXPECT_EQ(BandLabel(adif::BandNamed(Kept(GetParam().value))), GetParam().expected);
}
const Row kBandNames[] = {
    {"LowerCase", "20m", "20M"},
    {"PaddedWithSpacesPast64Bytes", "160m" + std::string(70, ' '), "160M"},
    {"WithNulByte", "20m\0"s, std::nullopt},
};
INSTANTIATE_TEST_SUITE_P(Rows, BandNamedTest, ::testing::ValuesIn(kBandNames), testing::RowName());

TEST_P(BandAtFrequencyTest, HoldsTheFrequencyWithinItsEdges) {
    EXPECT_EQ(BandLabel(adif::BandAtFrequency(Kept(GetParam().value))), GetParam().expected);
}
const Row kFrequencyBands[] = {
    {"LowerEdgeOf160m", "1.8", "160M"},
    {"UpperEdgeOf20mPaddedWithSpaces", "14.35   ", "20M"},
    {"PastUpperEdgeOf20mInTheTenthDecimal", "14.3500000001", std::nullopt},
    {"PaddedWithZerosPast64Bytes", "14.0" + std::string(70, '0'), std::nullopt},
};
INSTANTIATE_TEST_SUITE_P(Rows, BandAtFrequencyTest, ::testing::ValuesIn(kFrequencyBands),
                         testing::RowName());

TEST_P(ModeClassNamedTest, NamesTheModeClass) {
    const auto mode = adif::ModeClassNamed(Kept(GetParam().value));
    EXPECT_EQ(mode ? Text(ModeClasses[*mode].name) : std::nullopt, GetParam().expected);
}
const Row kModes[] = {
    {"SubmodeOfCw", "pcw", "CW"},
    {"SubmodeOfDigitalVoice", "C4FM", "PHO"},
    {"DigitalInMixedCase", "Ft8", "DIG"},
    {"FoldingOnlyLetters", "DOM\rM", std::nullopt},  // DOM-M with bit 5 of '-' cleared
};
INSTANTIATE_TEST_SUITE_P(Rows, ModeClassNamedTest, ::testing::ValuesIn(kModes), testing::RowName());

// The counters that are not zero, counted by the tallies; fails the test where the reference
// counts otherwise, read whole or fed in pieces.
std::string Both(const std::string& text, std::size_t blockSize = 0) {
    const testing::TempFile file(text);
    const LogCounts t = testing::CountFile(file.path, blockSize, AdifFieldRules());
    EXPECT_EQ(testing::Differences(t, reference::CountAdif(text), false), "") << "read";
    EXPECT_EQ(testing::Differences(testing::FeedText(text, blockSize, AdifFieldRules()),
                                   reference::CountAdif(text), false),
              "")
        << "fed";
    return testing::Nonzero(t);
}

// What a row shows, its log, and the counters the log raises.
struct Case {
    const char* what;
    std::string log;
    const char* counted;
};
const Case kCases[] = {
    {"data types, spaces and case in values",
     "<BAND:3:S>20m <MODE:3:Enum>usb <CONT:4> eu <QSL_SENT:3> y <EOR>", "S20 EU20 QslSent"},
    {"a value may hold <EOR> and fields, after names of 17 and 31 bytes; a long value is no band",
     "<CREATED_TIMESTAMP:21>a <EOR> <BAND:3>40m c<BAND:3>20m<MODE:2>CW<EOR><BAND:65>" +
         std::string(65, '6') +
         "<EOR><APP_QUORVANE_CONTEST_EXCHANGE_2:11><BAND:3>40m<BAND:3>20m<MODE:2>CW<EOR>",
     "C20*2 OthersTotal"},
    {"<EOH> drops the header's fields", "<BAND:3>20m<EOH><MODE:2>CW<EOR>", ""},
    {"<EOH> after the first record is text",
     "<BAND:3>20m<MODE:2>CW<EOR><BAND:3>40m<EOH><MODE:2>CW<EOR>", "C20 C40"},
    {"a value past the end of the file", "<BAND:3>20m<MODE:2>CW<NOTES:99>x<EOR>", ""},
    {"lengths of many digits: leading zeros, thirty digits (2^64 times 10^10)",
     "<BAND:0000000000000000000003>40m<MODE:2>CW<EOR><X:184467440737095516160000000000>"
     "<BAND:3>20m<MODE:2>CW<EOR>",
     "C40"},
    {"a length of twenty digits, past 2^64, runs to the end of the file",
     "<BAND:3>40m<MODE:2>CW<EOR><X:18446744073709551616><BAND:3>20m<MODE:2>CW<EOR>", "C40"},
    {"broken tags are text", "<:5>ab<BAND:3<<<<BAND:3:->40m<BAND:3>20m<MODE:2>CW< EOR><EOR>",
     "C20"},
    {"NUL bytes between fields and in values",
     "<BAND:3>20m\0\0<MODE:2>CW\0<EOR><BAND:3>20m<MODE:4>CW\0\0<EOR><BAND:4>20m\0<MODE:2>CW<EOR>"s,
     "C20 OthersTotal*2"},
};

TEST(AdifFieldRules, CountAsTheRulesSay) {
    for (const Case& row : kCases) {
        SCOPED_TRACE(row.what);
        // Text after the log puts every tag far enough from the end to be read in one go.
        EXPECT_EQ(Both(row.log + std::string(64, ' ')), row.counted) << "tags inside blocks";
        EXPECT_EQ(Both(row.log, 1), row.counted) << "every tag and value cut by block ends";
    }
}

// A typed field read whole at the start of a block, then nothing but text to its end, made
// the next block read its value again.
TEST(AdifFieldRules, ATypedFieldAtTheStartOfABlockIsReadOnce) {
    EXPECT_EQ(Both("<BAND:3>20m<MODE:2:S>CW" + std::string(70, ' ') + "<QSL_SENT:1>Y<EOR>", 93),
              "C20 QslSent");
}

TEST(AdifFieldRules, AgreeWithTheReferenceOnExportStyleLogs) {
    for (std::uint64_t seed = 1; seed <= 6; ++seed) {
        loggen::Options o{.contacts = 400, .seed = seed, .style = loggen::Style::Fields};
        o.lineEnd = static_cast<loggen::LineEnd>(seed % 4);
        o.header = seed % 3 != 0;
        for (std::size_t block : {0, 3, 61}) {
            SCOPED_TRACE("seed " + std::to_string(seed) + ", blocks of " + std::to_string(block));
            Both(loggen::Generate(o), block);
        }
    }
}

// Every table, the award tables included, within ranges open and bounded, read whole and in
// pieces: a figure of the award tables or a record kept or left out against the reference.
TEST(AdifFieldRules, CountTheAwardTablesAsTheReferenceWithinAnyRange) {
    const DateRange kRanges[] = {{}, {20150101, 0}, {0, 20181231}, {20160301, 20200229}};
    for (const auto style : {loggen::Style::Awards, loggen::Style::Dense}) {
        const std::string text = loggen::Generate({.contacts = 1500, .seed = 7, .style = style});
        for (const DateRange& range : kRanges) {
            const auto rules = AdifFieldRulesWithin(range);
            const reference::Counts ref = reference::CountAdif(text, range.from, range.to);
            for (std::size_t piece : {0, 97}) {
                SCOPED_TRACE("range " + std::to_string(range.from) + "-" +
                             std::to_string(range.to) + ", pieces of " + std::to_string(piece));
                const LogCounts t =
                    testing::FeedText(text, piece, *rules, TableChoice{.awards = true});
                EXPECT_EQ(testing::Differences(t, ref, false), "");
            }
        }
    }
}

}  // namespace
}  // namespace quorvane
