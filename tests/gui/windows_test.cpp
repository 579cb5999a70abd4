// The main window (menus, captions, the band/mode table after the open command, cancelling
// it, the errors that end it) and the grid of the three tables.
#include <gtest/gtest.h>

#include <QDir>
#include <QLineEdit>
#include <QTest>
#include <QWindow>
#include <stdexcept>

#include "gui_support.h"

namespace guitest {
namespace {

const QStringList kEmptyTable(48, "");

class MainWindow : public WindowTest {
  protected:
    int OtherWindows() const {
        int n = 0;
        FlushDeletes();
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
    for (const QAction* item : form->findChildren<QAction*>())
        EXPECT_TRUE(item->isEnabled() && item->shortcut().isEmpty() && !item->isCheckable());
    EXPECT_EQ(MenuItems(*form),
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
    EXPECT_EQ(form->centralWidget()->size(), QSize(295, 256));  // 4425 x 3840 twips
    EXPECT_EQ(MainGrid().geometry(), QRect(8, 0, 281, 249));
    EXPECT_EQ(form->font().family(), "Arial");
    EXPECT_EQ(form->windowIcon().availableSizes(), QList<QSize>({QSize(32, 32)}));
}

TEST_F(MainWindow, GuardedCommandsVersionItemAndFirstCancelChangeNothingBeforeAnyLog) {
    for (const char* name : {"mnuChart", "mnuQSLReceived", "mnuContinent", "mnuVer"}) Trigger(name);
    EXPECT_EQ(OtherWindows(), 0);
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_TRUE(startFolders.isEmpty());
    Open(QString());  // a first cancel changes nothing visible
    EXPECT_EQ(form->windowTitle(), "Quorvane");
    EXPECT_TRUE(form->FileName.isEmpty());
    EXPECT_EQ(MainCells(), kEmptyTable);
    EXPECT_EQ(OtherWindows(), 0);
}

TEST_F(MainWindow, EmptyAndTwoMetreLogsShowZerosAndDashes) {
    Open(Write("empty.adi", ""));
    EXPECT_EQ(form->windowTitle(), "empty.adi");
    ExpectOnlyZerosBut(0, {}, "0");
    Open(Write("2m.adi", Contact("2M", "FM") + Contact("2M", "SSB") + Contact("2M", "CW")));
    ExpectOnlyZerosBut(0, {}, "3");  // a 2 m log counts only in Others
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(MainWindow, OpenCommandCountsLikeTheTallyAndASmallerLogLeavesNoOldNumber) {
    Open(LargeLog());
    EXPECT_EQ(MainCells(), ExpectedBandModeCells(LargeLog()));
    ASSERT_NE(MainGrid().TextMatrix(11, 4), "0");
    Open(Write("small.adi", Contact("17M", "AM")));
    EXPECT_EQ(form->windowTitle(), "small.adi");
    ExpectOnlyZerosBut(5, {"0", "0", "1", "1"}, "0");
}

// Qt reads "[*]" in a title as the modified mark and would drop it from the log's name.
TEST_F(MainWindow, CaptionShowsALogNameWithBracketsAsWritten) {
    Open(Write("contest[*].adi", Contact("20M", "CW")));
    form->winId();  // the native window carries the title as the desktop shows it
    EXPECT_EQ(form->windowHandle()->title(), "contest[*].adi");
    EXPECT_EQ(form->FileName, dir.filePath("contest[*].adi"));
}

TEST(ErrorMessage, NamesTheFileAndTheReason) {
    EXPECT_EQ(
        Form1::ErrorMessage(quorvane::LogReadError("/x/a.adi", "Input/output error"), "/x/a.adi"),
        "Cannot read \"/x/a.adi\": Input/output error.");
    EXPECT_EQ(Form1::ErrorMessage(quorvane::CounterOverflow("C20"), "b.adi"),
              "Cannot count \"b.adi\": the count C20 would pass 2,147,483,647.");
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

// ---- the grid

TEST(GridControl, WritesOneCellByRowThenColumnAndSizesAllWithMinusOne) {
    GridControl grid;
    grid.SetRows(4);
    grid.SetCols(5);
    grid.SetTextMatrix(1, 4, "first");
    grid.SetTextMatrix(1, 4, "x");  // column 4 exists only as a column
    EXPECT_EQ(Row(grid, 1), QStringList({"", "", "", "", "x"}));
    EXPECT_THROW(grid.SetTextMatrix(4, 1, "y"), std::out_of_range);
    grid.SetColWidth(1, 300);
    grid.SetColWidth(-1, 840);  // every column and row, the headers included
    grid.SetRowHeight(-1, 280);
    grid.SetColWidth(2, 720);
    EXPECT_EQ(QList<int>({grid.ColWidth(0), grid.ColWidth(1), grid.ColWidth(2), grid.ColWidth(4)}),
              QList<int>({840, 840, 720, 840}));
    EXPECT_EQ(grid.columnWidth(0), 56);  // 15 twips to the pixel
    EXPECT_EQ(grid.RowHeight(0), 280);
    EXPECT_EQ(grid.rowHeight(0) + grid.rowHeight(1) + grid.rowHeight(2) + grid.rowHeight(3), 75);
}

TEST(GridControl, CentresColumnsPaintsEachColourRoleAndCannotBeEdited) {
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
    grid.SetTextMatrix(1, 1, "12");  // and no cell can be edited
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, QPoint(90, 30));
    QTest::keyClick(grid.viewport(), Qt::Key_F2);
    QTest::keyClicks(grid.viewport(), "99");
    EXPECT_EQ(grid.TextMatrix(1, 1), "12");
    EXPECT_EQ(grid.findChild<QLineEdit*>(), nullptr);
}

}  // namespace
}  // namespace guitest
