// The ADIF field rules: how values are read, one named row each; hand-made records whose counts
// follow from the rules, checked against both the tallies and the plain reference; generated
// export-style logs read in blocks of every size against the reference.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <tuple>

#include "loggen.h"
#include "quorvane/adif_field_rules.h"
#include "quorvane/counting_rules.h"
#include "quorvane/tables.h"
#include "reference_adif.h"
#include "tally_support.h"

namespace quorvane {
namespace {

using namespace std::string_literals;
using Text = std::optional<std::string>;

struct Row {
    const char* name;
    std::string value;
    Text expected;
};
std::string RowName(const ::testing::TestParamInfo<Row>& row) { return row.param.name; }

class ParseFrequencyTest : public ::testing::TestWithParam<Row> {};

// Expected: nano-MHz, with "+" where nonzero digits follow the ninth decimal.
TEST_P(ParseFrequencyTest, ReadsDecimalMegahertz) {
    const auto f = adif::ParseFrequency(GetParam().value);
    const Text nano = f ? Text(std::to_string(f->nano) + (f->beyond ? "+" : "")) : std::nullopt;
    EXPECT_EQ(nano, GetParam().expected);
}
const Row kFrequencies[] = {
    {"PointWithoutDecimals", "14.", "14000000000"},
    {"PointFirst", ".5", "500000000"},
    {"TenDecimals", "14.3500000001", "14350000000+"},
    {"TenDecimalsEndingInZero", "14.3500000000", "14350000000"},
    {"PastEveryBand", "1000000000", std::nullopt},
    {"PointAlone", ".", std::nullopt},
    {"TwoPoints", "14.0.74", std::nullopt},
    {"NulByteAfter", "14.074\0"s, std::nullopt},
};
INSTANTIATE_TEST_SUITE_P(Rows, ParseFrequencyTest, ::testing::ValuesIn(kFrequencies), RowName);

// A value as the reader keeps it: 64 bytes, and whether more than spaces follow.
AdifRecord::Value Kept(const std::string& text) {
    AdifRecord::Value v;
    v.length = static_cast<std::uint8_t>(std::min(text.size(), AdifRecord::kValueLimit));
    std::memcpy(v.text, text.data(), v.length);
    v.tooLong = text.find_first_not_of(' ', v.length) != std::string::npos;
    return v;
}

class ValueTest : public ::testing::TestWithParam<Row> {};

// A row's name begins with the field, Band, Freq or Mode; expected: a band or a mode class.
TEST_P(ValueTest, NamesABandOrAModeClass) {
    const std::string field = GetParam().name;
    const AdifRecord::Value value = Kept(GetParam().value);
    Text named;
    if (field.starts_with("Mode")) {
        if (const auto mode = adif::ModeClassNamed(value))
            named = std::string(ModeClasses[*mode].name);
    } else if (const auto band = field.starts_with("Band") ? adif::BandNamed(value)
                                                           : adif::BandAtFrequency(value)) {
        named = std::string(BandTable[*band].label);
    }
    EXPECT_EQ(named, GetParam().expected);
}
const Row kValues[] = {
    {"BandInLowerCase", "20m", "20M"},
    {"BandPaddedWithSpacesPast64Bytes", "160m" + std::string(70, ' '), "160M"},
    {"BandWithNulByte", "20m\0"s, std::nullopt},
    {"FreqAtLowerEdgeOf160m", "1.8", "160M"},
    {"FreqAtUpperEdgeOf20m", "14.35   ", "20M"},
    {"FreqPastUpperEdgeOf20mInTheTenthDecimal", "14.3500000001", std::nullopt},
    {"FreqPaddedWithZerosPast64Bytes", "14.0" + std::string(70, '0'), std::nullopt},
    {"ModeSubmodeOfCw", "pcw", "CW"},
    {"ModeSubmodeOfDigitalVoice", "C4FM", "PHO"},
    {"ModeDigital", "Ft8", "DIG"},
    {"ModeFoldingOnlyLetters", "DOM\rM", std::nullopt},  // DOM-M with bit 5 of '-' cleared
};
INSTANTIATE_TEST_SUITE_P(Rows, ValueTest, ::testing::ValuesIn(kValues), RowName);

// The counters that are not zero, counted by the tallies; fails the test where the reference
// counts otherwise.
std::string Both(const std::string& text, std::size_t blockSize = 0) {
    const testing::TempFile file(text);
    const LogCounts t = testing::CountFile(file.path, blockSize, AdifFieldRules());
    EXPECT_EQ(testing::Differences(t, reference::CountAdif(text), false), "") << text;
    EXPECT_EQ(testing::Differences(testing::FeedText(text, blockSize, AdifFieldRules()),
                                   reference::CountAdif(text), false),
              "")
        << "fed: " << text;
    return testing::Nonzero(t);
}

// What each row shows, a log, and the counters it raises.
const std::tuple<const char*, std::string, const char*> kCases[] = {
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
    {"broken tags are text", "<:5>ab<BAND:3<<<<BAND:3:->40m<BAND:3>20m<MODE:2>CW< EOR><EOR>",
     "C20"},
    {"NUL bytes between fields and in values",
     "<BAND:3>20m\0\0<MODE:2>CW\0<EOR><BAND:3>20m<MODE:4>CW\0\0<EOR><BAND:4>20m\0<MODE:2>CW<EOR>"s,
     "C20 OthersTotal*2"},
};

TEST(AdifFieldRules, CountAsTheRulesSay) {
    for (const auto& [what, log, counted] : kCases) {
        // Text after the log puts every tag far enough from the end to be read in one go.
        EXPECT_EQ(Both(log + std::string(64, ' ')), counted) << what;
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
