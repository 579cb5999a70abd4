// The main window (menus, captions, the band/mode table after the open command, cancelling
// it, the errors that end it) and the grid of the three tables.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QTest>
#include <stdexcept>

#include "gui_support.h"
#include "quorvane/errors.h"

namespace {

using guitest::Contact;
using guitest::Row;
using guitest::Window;

const QStringList kEmptyTable(48, "");

class MainWindow : public guitest::WindowTest {
  protected:
    int OtherWindows() const {
        int n = 0;
        guitest::FlushDeletes();
        for (QWidget* w : QApplication::topLevelWidgets())
            n += !qobject_cast<QMenu*>(w) && w != form.get();
        return n;
    }
    void ExpectOnlyZerosBut(int row, const QStringList& cells, const QString& others) {
        for (int r = 1; r <= 11; ++r)
            EXPECT_EQ(Row(MainGrid(), r).mid(1),
                      r == row || (row && r == 11) ? cells : QStringList(4, "0"))
                << r;
        EXPECT_EQ(Row(MainGrid(), 12), QStringList({"Others", "-", "-", "-", others}));
    }
};

TEST_F(MainWindow, HasTheDesignedMenusCaptionAndHeaders) {
    QStringList items;
    for (QAction* top : form->menuBar()->actions()) {
        items << top->objectName() + "=" + top->text();
        for (QAction* item : top->menu()->actions()) {
            items << "  " + item->objectName() + "=" + (item->isSeparator() ? "-" : item->text());
            EXPECT_TRUE(item->isEnabled() && item->shortcut().isEmpty() && !item->isCheckable());
        }
    }
    EXPECT_EQ(items,
              QStringList({"mnuFile=File", "  mnuOpen=Open ADIF", "  mnuLine_1=-", "  mnuExit=Exit",
                           "mnuOption=Option", "  mnuChart=Chart", "  mnuLine_2=-",
                           "  mnuQSLReceived=QSL Rcvd/Sent", "  mnuContinent=Continent summary",
                           "mnuHelp=Help", "  mnuVer=Quorvane ver2.0"}));
    EXPECT_EQ(form->windowTitle(), "Quorvane");
    EXPECT_TRUE(form->FileName.isEmpty());
    EXPECT_EQ(Row(MainGrid(), 0), QStringList({"", "CW", "DIG", "PHO", "Total"}));
    QStringList column;
    for (int r = 0; r < 13; ++r) column << MainGrid().TextMatrix(r, 0);
    EXPECT_EQ(column, QStringList({"", "6M", "10M", "12M", "15M", "17M", "20M", "30M", "40M", "80M",
                                   "160M", "Total", "Others"}));
    EXPECT_EQ(MainCells(), kEmptyTable);
}

TEST_F(MainWindow, HasTheDesignedSizesFontAndIcon) {
    EXPECT_EQ(form->centralWidget()->size(), QSize(295, 256));  // 4425 x 3840 twips
    EXPECT_EQ(MainGrid().geometry(), QRect(8, 0, 281, 249));
    EXPECT_EQ(MainGrid().ColWidth(3), 840);
    EXPECT_EQ(MainGrid().RowHeight(12), 280);
    EXPECT_EQ(MainGrid().ColAlignment(0), 4);
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_FALSE(form->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(form->font().family(), "Arial");
    EXPECT_EQ(form->font().pointSize(), 9);
    EXPECT_EQ(form->windowIcon().availableSizes(), QList<QSize>({QSize(32, 32)}));
}

TEST_F(MainWindow, GuardedCommandsAndTheVersionItemDoNothingBeforeAnyLog) {
    for (const char* name : {"mnuChart", "mnuQSLReceived", "mnuContinent", "mnuVer"}) Trigger(name);
    EXPECT_EQ(OtherWindows(), 0);
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_TRUE(startFolders.isEmpty());
    EXPECT_EQ(form->windowTitle(), "Quorvane");
}

TEST_F(MainWindow, EmptyLogShowsZerosAndDashes) {
    Open(Write("empty.adi", ""));
    EXPECT_EQ(form->windowTitle(), "empty.adi");
    ExpectOnlyZerosBut(0, {}, "0");
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(MainWindow, TwoMetreLogCountsOnlyInOthers) {
    Open(Write("2m.adi", Contact("2M", "FM") + Contact("2M", "SSB") + Contact("2M", "CW")));
    ExpectOnlyZerosBut(0, {}, "3");
}

TEST_F(MainWindow, CountsLandInTheirCellsWithTheirTotals) {
    std::string log = "Quorvane test log\r\n<EOH>\r\n" + guitest::Repeat(Contact("20M", "CW"), 3);
    log += Contact("40M", "PSK63") + Contact("40M", "PSK63") + Contact("6M", "FM");
    log += Contact("160M", "SSB") + Contact("160M", "RTTY");
    log += Contact("20M", "FT8") + Contact("60M", "SSB") + Contact("", "CW");
    Open(Write("mixed.adi", log));
    const GridControl& g = MainGrid();
    EXPECT_EQ(Row(g, 1), QStringList({"6M", "0", "0", "1", "1"}));
    EXPECT_EQ(Row(g, 6), QStringList({"20M", "3", "0", "0", "3"}));
    EXPECT_EQ(Row(g, 8), QStringList({"40M", "0", "2", "0", "2"}));
    EXPECT_EQ(Row(g, 10), QStringList({"160M", "0", "1", "1", "2"}));
    EXPECT_EQ(Row(g, 11), QStringList({"Total", "3", "3", "2", "8"}));
    EXPECT_EQ(Row(g, 12), QStringList({"Others", "-", "-", "-", "2"}));
}

TEST_F(MainWindow, OpenCommandCountsLikeTheTallyAndASmallerLogLeavesNoOldNumber) {
    Open(LargeLog());
    EXPECT_EQ(MainCells(), guitest::ExpectedBandModeCells(LargeLog()));
    ASSERT_NE(MainGrid().TextMatrix(11, 4), "0");
    Open(Write("small.adi", Contact("17M", "AM")));
    EXPECT_EQ(form->windowTitle(), "small.adi");
    ExpectOnlyZerosBut(5, {"0", "0", "1", "1"}, "0");
}

TEST_F(MainWindow, FirstCancelChangesNothingVisible) {
    Open(QString());
    EXPECT_EQ(form->windowTitle(), "Quorvane");
    EXPECT_TRUE(form->FileName.isEmpty());
    EXPECT_EQ(MainCells(), kEmptyTable);
    EXPECT_EQ(OtherWindows(), 0);
}

TEST_F(MainWindow, CancelAfterALogZeroesTheCountersButKeepsTableAndCaption) {
    QDir(dir.path()).mkdir("logs");
    Open(Write("logs/one.adi", Contact("20M", "CW") + Contact("40M", "SSB")));
    const QStringList shown = MainCells();
    Open(QString());
    EXPECT_TRUE(form->FileName.isEmpty());
    EXPECT_EQ(form->windowTitle(), "one.adi");
    EXPECT_EQ(MainCells(), shown);
    EXPECT_EQ(form->BandModeTally.C20, 0);
    EXPECT_EQ(form->BandModeTally.Total, 0);
    EXPECT_EQ(form->BandModeTally.Total20, 1);  // the band totals wait for the next scan
    EXPECT_EQ(startFolders, QStringList({"", dir.filePath("logs")}));
    // Back in the no-log state: the guarded commands do nothing.
    for (const char* name : {"mnuChart", "mnuQSLReceived", "mnuContinent"}) Trigger(name);
    EXPECT_EQ(OtherWindows(), 0);
}

TEST_F(MainWindow, LogDeletedAfterItWasChosenIsReportedAndLeavesTheNoLogState) {
    Open(Write("first.adi", Contact("20M", "CW")));
    const QString path = Write("contest.adi", Contact("20M", "CW"));
    QFile::remove(path);
    Open(path);
    EXPECT_EQ(errors, QStringList(QString("Cannot open \"%1\": No such file or directory.")
                                      .arg(QDir::toNativeSeparators(path))));
    EXPECT_TRUE(form->FileName.isEmpty());
    EXPECT_EQ(form->windowTitle(), "Quorvane");
    EXPECT_EQ(MainCells(), kEmptyTable);
    EXPECT_EQ(form->BandModeTally.Total20, 0);
    EXPECT_FALSE(quorvane::LogLineScanner::HandleHeld());
    EXPECT_EQ(Window("Form6"), nullptr);
    Trigger("mnuChart");
    EXPECT_EQ(Window("Form3"), nullptr);
    Open(Write("again.adi", Contact("20M", "CW")));  // and the program goes on
    EXPECT_EQ(MainGrid().TextMatrix(6, 1), "1");
}

TEST(ErrorMessage, NamesTheFileAndTheReasonInPlainWords) {
    EXPECT_EQ(
        Form1::ErrorMessage(quorvane::LogReadError("/x/log.adi", "Input/output error"), "log.adi"),
        "Cannot read \"log.adi\": Input/output error.");
    EXPECT_EQ(Form1::ErrorMessage(quorvane::CounterOverflow("C20"), "big.adi"),
              "Cannot count \"big.adi\": the count C20 would pass 2,147,483,647.");
}

// ---- the grid

TEST(GridControl, WritesOneCellByRowThenColumnAndRefusesCellsOutside) {
    GridControl grid;
    grid.SetRows(2);
    grid.SetCols(5);
    grid.SetTextMatrix(1, 4, "first");
    grid.SetTextMatrix(1, 4, "x");  // column 4 exists only as a column
    EXPECT_EQ(Row(grid, 1), QStringList({"", "", "", "", "x"}));
    EXPECT_EQ(Row(grid, 0), QStringList(5, ""));
    EXPECT_THROW(grid.SetTextMatrix(4, 1, "y"), std::out_of_range);
}

TEST(GridControl, MinusOneSizesEveryColumnAndRowHeadersIncluded) {
    GridControl grid;
    grid.SetRows(4);
    grid.SetCols(3);
    grid.SetColWidth(1, 300);
    grid.SetColWidth(-1, 840);
    grid.SetRowHeight(-1, 280);
    grid.SetColWidth(2, 720);
    EXPECT_EQ(grid.ColWidth(0), 840);
    EXPECT_EQ(grid.ColWidth(1), 840);
    EXPECT_EQ(grid.ColWidth(2), 720);
    EXPECT_EQ(grid.columnWidth(0), 56);  // 15 twips to the pixel
    for (int r = 0; r < 4; ++r) EXPECT_EQ(grid.RowHeight(r), 280);
    EXPECT_EQ(grid.rowHeight(0) + grid.rowHeight(1) + grid.rowHeight(2) + grid.rowHeight(3), 75);
}

TEST(GridControl, CentresColumnsAndPaintsEachColourRole) {
    GridControl grid;
    grid.SetRows(3);
    grid.SetCols(3);
    grid.SetColAlignment(1, GridControl::kAlignCenterCenter);
    grid.SetColWidth(-1, 900);   // 60 pixels
    grid.SetRowHeight(-1, 300);  // 20 pixels
    grid.resize(260, 120);       // room to the right of and below the cells
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    EXPECT_EQ(grid.item(2, 1)->textAlignment(), int(Qt::AlignCenter));
    EXPECT_NE(grid.item(2, 2)->textAlignment(), int(Qt::AlignCenter));
    const QImage image = grid.grab().toImage();
    auto at = [&](int x, int y) {
        return QColor(image.pixel(grid.viewport()->mapTo(&grid, QPoint(x, y))));
    };
    EXPECT_EQ(at(90, 10), GridControl::kFixedColor);
    EXPECT_EQ(at(65, 45), GridControl::kCellColor);
    EXPECT_EQ(at(119, 50), GridControl::kGridLineColor);
    EXPECT_EQ(at(90, 19), GridControl::kFixedGridLineColor);
    EXPECT_EQ(at(220, 50), GridControl::kOutsideColor);
}

TEST(GridControl, CellsCannotBeEdited) {
    GridControl grid;
    grid.SetRows(3);
    grid.SetCols(3);
    grid.SetColWidth(-1, 900);
    grid.SetTextMatrix(1, 1, "12");
    grid.resize(300, 200);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {},
                       grid.visualItemRect(grid.item(1, 1)).center());
    QTest::keyClick(grid.viewport(), Qt::Key_F2);
    QTest::keyClicks(grid.viewport(), "99");
    EXPECT_EQ(grid.TextMatrix(1, 1), "12");
    EXPECT_EQ(grid.findChild<QLineEdit*>(), nullptr);  // no editor open
}

TEST(GridControl, ColumnsOverhangingByAFewPixelsBringNoScrollBar) {
    GridControl grid;
    grid.SetRows(12);
    grid.SetCols(8);
    grid.SetColWidth(-1, 720);
    grid.SetRowHeight(-1, 280);
    grid.resize(381, 228);  // the continent table: its columns are 45 twips wider
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    EXPECT_FALSE(grid.horizontalScrollBar()->isVisible());
    EXPECT_FALSE(grid.verticalScrollBar()->isVisible());
}

}  // namespace
