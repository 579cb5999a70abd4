// quorvane-adif's award windows and date range: the figures of quorvane-report for the same log
// and range, the entity table's filter, sort, marks and commands, and the range in every window.
#include <QAbstractItemModel>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <nlohmann/json.hpp>
#include <sstream>

#include "awardwindow.h"
#include "daterangedialog.h"
#include "gridmodel.h"
#include "gui_support.h"
#include "report.h"

namespace guitest {
namespace {

// Six entities (85 deleted) over three years; 291 by card and 21 by LoTW confirmed.
const std::string kAwardLog =
    "<EOH>\n"
    "<qso_date:8>20230105 <band:3>20m <mode:2>cw <cont:2>NA <dxcc:3>291 <qsl_sent:1>y "
    "<qsl_rcvd:1>y <eor>\n"
    "<qso_date:8>20230107 <band:3>40m <mode:3>ssb <cont:2>EU <dxcc:3>230 <eqsl_qsl_rcvd:1>y <eor>\n"
    "<qso_date:8>20240301 <band:3>20m <mode:3>ft8 <cont:2>EU <dxcc:2>21 <lotw_qsl_rcvd:1>y <eor>\n"
    "<qso_date:8>20240302 <band:3>20m <mode:2>cw <cont:2>EU <dxcc:3>281 <qsl_sent:1>y <eor>\n"
    "<qso_date:8>20220302 <band:3>15m <mode:2>cw <cont:2>SA <dxcc:3>100 <eor>\n"
    "<qso_date:8>20230302 <band:3>20m <mode:2>cw <cont:2>SA <dxcc:2>85 <eor>\n";
const quorvane::DateRange k2023{.from = 20230101, .to = 20231231};

std::string Report(std::vector<std::string> args) {
    std::ostringstream out;
    std::ostringstream err;
    args.insert(args.begin(), {"--rules", "adif"});
    EXPECT_EQ(quorvane::report::Run(args, out, err), 0) << err.str();
    return out.str();
}

class AwardWindows : public WindowTest {
  protected:
    void SetUp() override {
        rules = &quorvane::AdifFieldRules();
        WindowTest::SetUp();
        log = Write("awards.adi", kAwardLog);
        Open(log);
    }
    void SetRange(const quorvane::DateRange& range) {
        rangeAnswer = range;
        Trigger("mnuDateRange");
    }
    AwardWindow* Award(const char* name) { return static_cast<AwardWindow*>(Window(name, true)); }
    QAbstractItemModel* Table(const char* name) {
        return Award(name)->findChild<QTableView*>("table")->model();
    }
    QString Text(const char* name, int row, int column) {
        return Table(name)->index(row, column).data().toString();
    }
    QString log;
};

// ---- the figures

struct FiguresRow {
    const char* name;
    const char* command;
    const char* window;
    bool inRange;
};

class EachAwardTable : public AwardWindows, public ::testing::WithParamInterface<FiguresRow> {};

// Every count of the table equals the report's counter that its cell names.
TEST_P(EachAwardTable, ShowsTheReportsFigures) {
    Trigger(GetParam().command);
    if (GetParam().inRange) SetRange(k2023);
    std::vector<std::string> args{"--json", log.toStdString()};
    if (GetParam().inRange) args.insert(args.begin(), {"--from", "20230101", "--to", "20231231"});
    const nlohmann::json report = nlohmann::json::parse(Report(args));
    auto* model = static_cast<GridModel*>(Table(GetParam().window));
    QStringList differences;
    for (std::size_t r = 1; r < model->Table().size(); ++r) {
        for (std::size_t c = 0; c < model->Table()[r].size(); ++c) {
            const std::string& counter = model->Table()[r][c].counter;
            if (counter.empty()) continue;
            const std::string pointer =
                (QLatin1Char('/') + QString::fromStdString(counter).replace('.', '/'))
                    .toStdString();
            const QString shown =
                model->index(static_cast<int>(r) - 1, static_cast<int>(c)).data().toString();
            if (shown !=
                QString::number(report.at(nlohmann::json::json_pointer(pointer)).get<int>()))
                differences << QString::fromStdString(counter) + "=" + shown;
        }
    }
    EXPECT_EQ(differences, QStringList());
}

INSTANTIATE_TEST_SUITE_P(
    , EachAwardTable,
    ::testing::Values(FiguresRow{"DxccSummary", "mnuDxccSummary", "DxccSummary", false},
                      FiguresRow{"DxccSummaryIn2023", "mnuDxccSummary", "DxccSummary", true},
                      FiguresRow{"Years", "mnuYears", "Years", false},
                      FiguresRow{"YearsIn2023", "mnuYears", "Years", true}),
    RowName());

TEST_F(AwardWindows, SavedCsvIsTheReportsCsv) {
    Trigger("mnuDxccEntities");
    saveAnswer = dir.filePath("entities.csv");
    Award("DxccEntities")->findChild<QPushButton*>("saveButton")->click();
    QFile saved(saveAnswer);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll().toStdString(),
              Report({"--table", "dxcc-entities", "--csv", log.toStdString()}));
}

TEST_F(AwardWindows, AFailedSaveIsReported) {
    Trigger("mnuDxccEntities");
    saveAnswer = dir.filePath("no-such-folder/entities.csv");
    Award("DxccEntities")->findChild<QPushButton*>("saveButton")->click();
    EXPECT_EQ(errors.size(), 1);
}

TEST_F(AwardWindows, AFailedSaveLeavesNoFile) {
    Trigger("mnuDxccEntities");
    saveAnswer = dir.filePath("no-such-folder/entities.csv");
    Award("DxccEntities")->findChild<QPushButton*>("saveButton")->click();
    EXPECT_EQ(QDir(dir.filePath("no-such-folder")).exists(), false);
}

// ---- the entity table

struct FilterRow {
    const char* name;
    int status;
    const char* find;
    int rows;
};

class EntityFilterRows : public AwardWindows, public ::testing::WithParamInterface<FilterRow> {};

TEST_P(EntityFilterRows, ShowsTheRowsThatFit) {
    Trigger("mnuDxccEntities");
    Award("DxccEntities")->findChild<QComboBox*>("status")->setCurrentIndex(GetParam().status);
    Award("DxccEntities")->findChild<QLineEdit*>("find")->setText(GetParam().find);
    EXPECT_EQ(Table("DxccEntities")->rowCount(), GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(, EntityFilterRows,
                         ::testing::Values(FilterRow{"All", 0, "", 6},
                                           FilterRow{"NotConfirmed", 1, "", 4},
                                           FilterRow{"Confirmed", 2, "", 2},
                                           FilterRow{"NameInAnyCase", 0, "spa", 1},
                                           FilterRow{"CodeFromItsStart", 0, "28", 1},
                                           FilterRow{"ConfirmedAndName", 2, "spa", 0}),
                         RowName());

TEST_F(AwardWindows, EntitiesStartByName) {
    Trigger("mnuDxccEntities");
    EXPECT_EQ(Text("DxccEntities", 0, 1), "ARGENTINA");
}

TEST_F(AwardWindows, CodesSortAsNumbers) {
    Trigger("mnuDxccEntities");
    Award("DxccEntities")->findChild<QTableView*>("table")->sortByColumn(0, Qt::AscendingOrder);
    EXPECT_EQ(Text("DxccEntities", 0, 0), "21");
}

TEST_F(AwardWindows, MarksSortFromConfirmed) {
    Trigger("mnuDxccEntities");
    Award("DxccEntities")->findChild<QTableView*>("table")->sortByColumn(3, Qt::DescendingOrder);
    EXPECT_EQ(Text("DxccEntities", 0, 3), "C");
}

TEST_F(AwardWindows, DeletedEntitiesAreInItalics) {
    Trigger("mnuDxccEntities");
    EXPECT_TRUE(Table("DxccEntities")->index(2, 1).data(Qt::FontRole).value<QFont>().italic());
}

TEST_F(AwardWindows, AMarkNamesTheChannelsThatConfirm) {
    Trigger("mnuDxccEntities");
    EXPECT_EQ(Table("DxccEntities")->index(5, 3).data(Qt::ToolTipRole).toString(),
              "Confirmed by card");
}

TEST_F(AwardWindows, CopyGivesTheSelectedRowsTabSeparated) {
    Trigger("mnuDxccEntities");
    auto* view = Award("DxccEntities")->findChild<QTableView*>("table");
    view->selectRow(4);
    Award("DxccEntities")->findChild<QPushButton*>("copyButton")->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "281\tSPAIN\t\tW\tW\t\t\t\tW\t\n");
}

// ---- captions, the range and what the windows say instead of a table

TEST_F(AwardWindows, CaptionNamesTheLogAndRules) {
    Trigger("mnuDxccEntities");
    EXPECT_EQ(Award("DxccEntities")->windowTitle(), "awards.adi: DXCC by Entity (ADIF fields)");
}

TEST_F(AwardWindows, CaptionNamesTheRange) {
    Trigger("mnuYears");
    SetRange(k2023);
    EXPECT_EQ(Award("Years")->windowTitle(),
              "awards.adi: Contacts by Year (ADIF fields, from 2023-01-01 to 2023-12-31)");
}

// CW on 20 m: three contacts, two in 2023.
TEST_F(AwardWindows, RangeCountsTheMainTableAgain) {
    SetRange(k2023);
    EXPECT_EQ(Grid(form.get()).TextMatrix(6, 1), "2");
}

// SA on 20 m: one contact, in 2023; the continent window opened before the range is set.
TEST_F(AwardWindows, RangeCountsAnOpenContinentWindowAgain) {
    Trigger("mnuContinent");
    SetRange({.from = 20240101});
    EXPECT_EQ(Grid(Window("Form2", true)).TextMatrix(6, 7), "0");
}

TEST_F(AwardWindows, RangeIsInTheDesignWindowsCaptions) {
    Trigger("mnuQSLReceived");
    SetRange({.to = 20231231});
    EXPECT_EQ(Window("Form5", true)->windowTitle(), "QSL Rcvd/Sent (until 2023-12-31)");
}

TEST_F(AwardWindows, ARangeThatLeavesNothingSaysSo) {
    SetRange({.from = 20300101});
    Trigger("mnuYears");
    EXPECT_EQ(Award("Years")->Message(), "No contact of this log is dated from 2030-01-01.");
}

TEST_F(AwardWindows, ALogWithoutEntitiesSaysSo) {
    Open(Write("plain.adi", "<band:3>20m <mode:2>cw <eor>\n"));
    Trigger("mnuDxccEntities");
    EXPECT_EQ(Award("DxccEntities")->Message(), "No contact of this log carries a DXCC entity.");
}

TEST_F(AwardWindows, ALogRemovedAfterOpeningIsReported) {
    QFile::remove(log);
    Trigger("mnuDxccSummary");
    EXPECT_EQ(errors.size(), 1);
}

TEST_F(AwardWindows, ALogRemovedAfterOpeningShowsNoWindow) {
    QFile::remove(log);
    Trigger("mnuDxccSummary");
    EXPECT_EQ(Window("DxccSummary"), nullptr);
}

// After the design's items, which stay as they are.
TEST_F(AwardWindows, OptionMenuEndsWithTheAwardsAndTheRange) {
    const QStringList items = MenuItems(*form);
    EXPECT_EQ(items.mid(items.indexOf("  mnuContinent=Continent summary") + 1, 7),
              QStringList({"  mnuLine_3=-", "  mnuDxccSummary=DXCC Summary",
                           "  mnuDxccEntities=DXCC by Entity", "  mnuYears=Contacts by Year",
                           "  mnuLine_4=-", "  mnuDateRange=Date Range…", "mnuHelp=Help"}));
}

// ---- the dialog

TEST(DateRangeDialog, ClearOpensBothDays) {
    DateRangeDialog dialog(k2023);
    dialog.findChild<QPushButton*>("clear")->click();
    EXPECT_FALSE(dialog.Range().Bounded());
}

TEST(DateRangeDialog, AFirstDayAfterTheLastCannotBeTaken) {
    DateRangeDialog dialog({.from = 20240101, .to = 20230101});
    EXPECT_FALSE(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->isEnabled());
}

}  // namespace
}  // namespace guitest
