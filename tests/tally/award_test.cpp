// The award tables: how a DXCC value, a confirmation and a QSO_DATE are read, one named row
// each, read through the reader; hand-made logs whose figures follow from the definitions (the
// current and the deleted entities, what confirms, the columns a record counts in, the years,
// the range); and the tables' texts where CSV and JSON must quote or escape.
#include <gtest/gtest.h>

#include <string>

#include "quorvane/adif_values.h"
#include "quorvane/award_tally.h"
#include "quorvane/counting_rules.h"
#include "quorvane/log_counts.h"
#include "quorvane/report_format.h"
#include "tally_support.h"

namespace quorvane {
namespace {

// The first record of `log`, as the reader keeps it.
AdifRecord Record(const std::string& log) {
    struct Sink final : AdifRecordSink {
        AdifRecord record{};
        bool seen = false;
        void OnRecord(const AdifRecord& r) override {
            if (!seen) record = r;
            seen = true;
        }
    } sink;
    AdifReader reader(sink);
    reader.Feed(log.data(), log.size());
    return sink.record;
}

std::string Field(const std::string& name, const std::string& value) {
    return "<" + name + ":" + std::to_string(value.size()) + ">" + value;
}

// ---- DXCC values

struct DxccRow {
    const char* name;
    std::optional<std::string> value;  // nullopt: no DXCC field
    std::string read;                  // "entity 291", "no DXCC", "none" or "unknown"
};

class DxccValue : public ::testing::TestWithParam<DxccRow> {};

TEST_P(DxccValue, IsAnEntityOrSaysWhyThereIsNone) {
    const auto& v = GetParam().value;
    const adif::Dxcc d =
        adif::DxccOf(Record((v ? Field("DXCC", *v) : "") + "<EOR>").Get(AdifField::Dxcc));
    const std::string read = d.kind == adif::Dxcc::Entity
                                 ? "entity " + std::to_string(DxccEntities()[d.entity].code)
                             : d.kind == adif::Dxcc::NoDxcc ? "no DXCC"
                             : d.kind == adif::Dxcc::None   ? "none"
                                                            : "unknown";
    EXPECT_EQ(read, GetParam().read);
}

const DxccRow kDxccRows[] = {
    {"Code", "291", "entity 291"},
    {"LeadingZeros", "0291", "entity 291"},
    {"SpacesAround", "  291 ", "entity 291"},
    {"SpacesPast64Bytes", "291" + std::string(80, ' '), "entity 291"},
    {"DeletedEntity", "81", "entity 81"},
    {"NoField", std::nullopt, "no DXCC"},
    {"Empty", "", "no DXCC"},
    {"Spaces", "   ", "no DXCC"},
    {"Zero", "0", "none"},
    {"Zeros", "000", "none"},
    {"CodeNotListed", "999", "unknown"},
    {"Letters", "USA", "unknown"},
    {"Negative", "-1", "unknown"},
    {"Decimal", "291.0", "unknown"},
    {"FifteenZerosAfterOne", "1" + std::string(15, '0'), "unknown"},
    {"DigitsPast64Bytes", std::string(70, '0') + "291", "unknown"},
};
INSTANTIATE_TEST_SUITE_P(Rows, DxccValue, ::testing::ValuesIn(kDxccRows), testing::RowName());

// ---- confirmations

struct ConfirmRow {
    const char* name;
    std::string value;
    bool confirms;
};

class Confirmation : public ::testing::TestWithParam<ConfirmRow> {};

TEST_P(Confirmation, IsYesOrVerified) {
    const AdifRecord r = Record(Field("QSL_RCVD", GetParam().value) + "<EOR>");
    EXPECT_EQ(adif::Confirms(*r.Get(AdifField::QslRcvd)), GetParam().confirms);
}

const ConfirmRow kConfirmRows[] = {
    {"Yes", "Y", true},      {"LowerCase", "y", true},  {"Padded", " Y ", true},
    {"Verified", "V", true}, {"Requested", "R", false}, {"No", "N", false},
    {"Ignore", "I", false},  {"Empty", "", false},      {"Word", "YES", false},
};
INSTANTIATE_TEST_SUITE_P(Rows, Confirmation, ::testing::ValuesIn(kConfirmRows), testing::RowName());

// ---- days

struct DayRow {
    const char* name;
    std::string value;
    std::optional<Day> day;
};

class QsoDate : public ::testing::TestWithParam<DayRow> {};

TEST_P(QsoDate, IsARealDayFrom1930) { EXPECT_EQ(ParseDay(GetParam().value), GetParam().day); }

const DayRow kDayRows[] = {
    {"LeapDay", "20240229", 20240229},
    {"LeapDayOfACenturyBy400", "20000229", 20000229},
    {"FirstDayOf1930", "19300101", 19300101},
    {"LeapDayOfACommonYear", "20230229", std::nullopt},
    {"LeapDayOfACenturyNotBy400", "21000229", std::nullopt},
    {"DayBefore1930", "19291231", std::nullopt},
    {"ThirtyFirstOfApril", "20230431", std::nullopt},
    {"MonthThirteen", "20231301", std::nullopt},
    {"DayZero", "20230100", std::nullopt},
    {"SevenDigits", "2023010", std::nullopt},
    {"WithDashes", "2023-01-01", std::nullopt},
    {"EightSpaces", "        ", std::nullopt},
};
INSTANTIATE_TEST_SUITE_P(Rows, QsoDate, ::testing::ValuesIn(kDayRows), testing::RowName());

// ---- whole logs

// A record of the given fields.
std::string Qso(const std::string& dxcc, const std::string& day, const std::string& band,
                const std::string& mode, const std::string& more = "") {
    return Field("DXCC", dxcc) + Field("QSO_DATE", day) + Field("BAND", band) +
           Field("MODE", mode) + more + "<EOR>\n";
}

LogCounts Count(const std::string& log, DateRange range = {}) {
    const auto rules = AdifFieldRulesWithin(range);
    LogFeed feed(*rules, TableChoice{.awards = true});
    feed.Feed(log.data(), log.size());
    return feed.Finish();
}

DxccSummary Summary(const std::string& log) { return SummaryOf(*Count(log).awards); }

std::size_t Entity(int code) { return *DxccIndex(static_cast<std::uint64_t>(code)); }
std::size_t Band(std::string_view name) {
    for (std::size_t c = kAwardModeColumns; c < kAwardColumnCount; ++c)
        if (AwardColumnName(c) == name) return c;
    throw std::invalid_argument(std::string(name));
}

const std::string kDeletedConfirmed = Qso("81", "19850601", "20m", "CW", "<QSL_RCVD:1>Y");

TEST(DxccSummary, LeavesADeletedEntityOutOfTheCurrentFigures) {
    EXPECT_EQ(Summary(kDeletedConfirmed).cells[DxccSummary::Worked][kMixedColumn], 0);
}

TEST(DxccSummary, CountsADeletedEntityOnItsOwnLine) {
    EXPECT_EQ(Summary(kDeletedConfirmed).deletedConfirmed, 1);
}

TEST(DxccSummary, ShowsTheBandOfADeletedEntity) {
    EXPECT_TRUE(Summary(kDeletedConfirmed).bandWorked[Band("20M") - kAwardModeColumns]);
}

TEST(DxccSummary, CountsAVerifiedCard) {
    const std::string log = Qso("291", "20230105", "20m", "CW", "<QSL_RCVD:1>V");
    EXPECT_EQ(Summary(log).cells[DxccSummary::Confirmed][kMixedColumn], 1);
}

TEST(DxccSummary, DoesNotCountARequestedCard) {
    const std::string log = Qso("291", "20230105", "20m", "CW", "<QSL_RCVD:1>R");
    EXPECT_EQ(Summary(log).cells[DxccSummary::Card][kMixedColumn], 0);
}

TEST(DxccSummary, KeepsEqslOutOfConfirmed) {
    const std::string log = Qso("291", "20230105", "20m", "CW", "<EQSL_QSL_RCVD:1>Y");
    EXPECT_EQ(Summary(log).cells[DxccSummary::Confirmed][kMixedColumn], 0);
}

TEST(DxccSummary, CountsEntitiesOnceAcrossContacts) {
    const std::string log =
        Qso("291", "20230105", "20m", "CW") + Qso("291", "20230106", "20m", "CW");
    EXPECT_EQ(Summary(log).cells[DxccSummary::Worked][Band("20M")], 1);
}

TEST(DxccSummary, CountsTheKindsOfRecordWithoutAnEntity) {
    const AwardTally a = *Count(Qso("", "", "20m", "CW") + Qso("0", "", "20m", "CW") +
                                Qso("999", "", "20m", "CW") + Qso("USA", "", "20m", "CW"))
                              .awards;
    EXPECT_EQ(a.noDxcc, 1);
    EXPECT_EQ(a.none, 1);
    EXPECT_EQ(a.unknown, 2);
}

struct ColumnRow {
    const char* name;
    std::string record;
    std::size_t column;
    int contacts;
};

class EntityColumn : public ::testing::TestWithParam<ColumnRow> {};

TEST_P(EntityColumn, CountsTheRecordWhereItBelongs) {
    const AwardTally a = *Count(GetParam().record).awards;
    EXPECT_EQ(a.Cell(Entity(291), GetParam().column).contacts, GetParam().contacts);
}

const ColumnRow kColumnRows[] = {
    {"Mixed", Qso("291", "", "20m", "FT8"), kMixedColumn, 1},
    {"SubmodeAsItsMode", Qso("291", "", "20m", "USB"), kClassColumns[2], 1},
    {"BandBeyondTheTen", Qso("291", "", "2m", "FM"), Band("2M"), 1},
    {"BandFromFrequency", Qso("291", "", "", "CW", "<FREQ:7>144.200"), Band("2M"), 1},
    {"NoBandButItsMode", Qso("291", "", "", "CW"), kClassColumns[0], 1},
    {"UnknownModeButItsBand", Qso("291", "", "20m", "BOGUS"), Band("20M"), 1},
    {"UnknownModeInNoModeColumn", Qso("291", "", "20m", "BOGUS"), kClassColumns[0], 0},
};
INSTANTIATE_TEST_SUITE_P(Rows, EntityColumn, ::testing::ValuesIn(kColumnRows), testing::RowName());

struct MarkRow {
    const char* name;
    std::string confirmations;
    const char* mark;
};

class EntityMark : public ::testing::TestWithParam<MarkRow> {};

TEST_P(EntityMark, SaysHowTheEntityIsConfirmed) {
    const AwardTally a = *Count(Qso("291", "", "20m", "CW", GetParam().confirmations)).awards;
    EXPECT_EQ(CellMark(a.Cell(Entity(291), kMixedColumn)), GetParam().mark);
}

const MarkRow kMarkRows[] = {
    {"Worked", "<QSL_RCVD:1>N", "W"},
    {"Card", "<QSL_RCVD:1>Y", "C"},
    {"Lotw", "<LOTW_QSL_RCVD:1>V", "C"},
    {"EqslOnly", "<EQSL_QSL_RCVD:1>Y", "E"},
    {"EqslAndCard", "<EQSL_QSL_RCVD:1>Y<QSL_RCVD:1>Y", "C"},
};
INSTANTIATE_TEST_SUITE_P(Rows, EntityMark, ::testing::ValuesIn(kMarkRows), testing::RowName());

TEST(DxccEntities, AreOrderedByNameThenCode) {
    const AwardTally a = *Count(Qso("411", "", "20m", "CW") + Qso("39", "", "20m", "CW") +
                                Qso("291", "", "20m", "CW"))
                              .awards;
    EXPECT_EQ(WorkedEntities(a), std::vector({Entity(39), Entity(411), Entity(291)}));
}

// ---- years

const YearRow& YearOf(const AwardTally& a, int year) {
    for (const auto& [y, row] : a.years)
        if (y == year) return row;
    throw std::out_of_range(std::to_string(year));
}

TEST(Years, RunFromTheFirstToTheLastWithTheYearsBetween) {
    const AwardTally a =
        *Count(Qso("291", "20200105", "20m", "CW") + Qso("291", "20230105", "20m", "CW")).awards;
    EXPECT_EQ(a.years.size(), 4u);
}

TEST(Years, CountNewEntitiesInTheYearOfTheFirstContact) {
    const AwardTally a = *Count(Qso("291", "20200105", "20m", "CW") +
                                Qso("291", "20230105", "20m", "CW", "<QSL_RCVD:1>Y"))
                              .awards;
    EXPECT_EQ(YearOf(a, 2020).newEntities, 1);
}

TEST(Years, CountConfirmedEntitiesInTheYearOfTheConfirmedContact) {
    const AwardTally a = *Count(Qso("291", "20200105", "20m", "CW") +
                                Qso("291", "20230105", "20m", "CW", "<QSL_RCVD:1>Y"))
                              .awards;
    EXPECT_EQ(YearOf(a, 2023).confirmed, 1);
}

TEST(Years, LeaveDeletedEntitiesOut) {
    EXPECT_EQ(YearOf(*Count(kDeletedConfirmed).awards, 1985).entities, 0);
}

TEST(Years, CountRecordsWithoutAValidDateApart) {
    EXPECT_EQ(Count(Qso("291", "20230229", "20m", "CW")).awards->noDate.contacts, 1);
}

// ---- the range

const std::string kRangeLog = Qso("291", "20230101", "20m", "CW") +
                              Qso("291", "20231231", "20m", "CW") +
                              Qso("291", "20240101", "20m", "CW") + Qso("291", "", "20m", "CW");
const DateRange kYear2023{20230101, 20231231};

TEST(DateRange, KeepsItsFirstAndLastDayAndLeavesTheDayAfter) {
    EXPECT_EQ(Count(kRangeLog, kYear2023).awards->Cell(Entity(291), kMixedColumn).contacts, 2);
}

TEST(DateRange, AppliesToTheDesignsTables) {
    EXPECT_EQ(Count(kRangeLog, kYear2023).bandMode->Counter(0, 5), 2);  // CW on 20 m
}

TEST(DateRange, CountsTheRecordsLeftOutForWantOfADate) {
    EXPECT_EQ(Count(kRangeLog, DateRange{.from = 20230101}).leftOut, 1);
}

TEST(DateRange, OpenLeavesNothingOut) {
    EXPECT_EQ(Count(kRangeLog).awards->Cell(Entity(291), kMixedColumn).contacts, 4);
}

// ---- texts

TEST(DxccEntityGrid, QuotesANameWithACommaInCsv) {
    const std::string csv = GridCsv(DxccEntityGrid(*Count(Qso("85", "", "20m", "CW")).awards));
    EXPECT_NE(csv.find("\r\n85,\"BONAIRE, CURACAO\",deleted,W,W,,,W\r\n"), std::string::npos)
        << csv;
}

TEST(GridCsv, DoublesQuotes) {
    EXPECT_EQ(GridCsv(Grid{{Cell{"a\"b", ""}, Cell{"c", ""}}}), "\"a\"\"b\",c\r\n");
}

TEST(JsonString, EscapesEveryControlCharacter) {
    for (char c = 0; c < 0x20; ++c) {
        char expected[16];
        std::snprintf(expected, sizeof expected, "\"\\u%04x\"", c);
        EXPECT_EQ(JsonString(std::string(1, c)), expected) << static_cast<int>(c);
    }
}

}  // namespace
}  // namespace quorvane
