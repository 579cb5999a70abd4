// The main window: menus and captions, the guarded commands, the band/mode table after the
// open command, cancelling it, and the errors that end it.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QMenu>
#include <QMenuBar>

#include "gui_support.h"
#include "quorvane/errors.h"

namespace {

using guitest::Column;
using guitest::Contact;
using guitest::Row;
using guitest::Window;

class MainWindow : public guitest::WindowTest {
  protected:
    // The 48 data cells, row by row.
    QStringList DataCells() const {
        QStringList cells;
        for (int r = 1; r < 13; ++r) cells << Row(MainGrid(), r).mid(1);
        return cells;
    }
    int OtherTopLevelWindows() const {
        int n = 0;
        guitest::FlushDeletes();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isWindow() && !qobject_cast<QMenu*>(w) && w != form.get()) ++n;
        return n;
    }
};

// ---- menus and captions

TEST_F(MainWindow, HasTheDesignedMenusInOrder) {
    QStringList items;
    for (QAction* top : form->menuBar()->actions()) {
        items << top->objectName() + "=" + top->text();
        for (QAction* item : top->menu()->actions())
            items << "  " + item->objectName() + "=" + (item->isSeparator() ? "-" : item->text());
    }
    EXPECT_EQ(items,
              QStringList({"mnuFile=File", "  mnuOpen=Open ADIF", "  mnuLine_1=-", "  mnuExit=Exit",
                           "mnuOption=Option", "  mnuChart=Chart", "  mnuLine_2=-",
                           "  mnuQSLReceived=QSL Rcvd/Sent", "  mnuContinent=Continent summary",
                           "mnuHelp=Help", "  mnuVer=Quorvane ver2.0"}));
    for (QAction* top : form->menuBar()->actions())
        for (QAction* item : top->menu()->actions()) {
            EXPECT_TRUE(item->isEnabled()) << item->objectName().toStdString();
            EXPECT_TRUE(item->shortcut().isEmpty());
            EXPECT_FALSE(item->isCheckable());
        }
}

TEST_F(MainWindow, StartsWithCaptionQuorvaneAndOnlyTheHeaders) {
    EXPECT_EQ(form->windowTitle(), "Quorvane");
    EXPECT_TRUE(form->FileName.isEmpty());
    EXPECT_EQ(Row(MainGrid(), 0), QStringList({"", "CW", "DIG", "PHO", "Total"}));
    EXPECT_EQ(Column(MainGrid(), 0), QStringList({"", "6M", "10M", "12M", "15M", "17M", "20M",
                                                  "30M", "40M", "80M", "160M", "Total", "Others"}));
    EXPECT_EQ(DataCells(), QStringList(48, ""));
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(MainGrid().ColWidth(c), 840);
        EXPECT_EQ(MainGrid().ColAlignment(c), 4);
    }
    for (int r = 0; r < 13; ++r) EXPECT_EQ(MainGrid().RowHeight(r), 280);
}

TEST_F(MainWindow, HasTheDesignedClientAreaFontAndBorder) {
    EXPECT_EQ(form->centralWidget()->size(), QSize(295, 256));  // 4425 x 3840 twips
    EXPECT_EQ(MainGrid().geometry(), QRect(8, 0, 281, 249));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_EQ(form->font().family(), "Arial");
    EXPECT_EQ(form->font().pointSize(), 9);
    const QString face = QFontInfo(MainGrid().font()).family();  // Arial or its metric twin
    EXPECT_TRUE(face == "Arial" || face == "Liberation Sans") << face.toStdString();
    const Qt::WindowFlags flags = form->windowFlags();
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    const QIcon icon = form->windowIcon();
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.availableSizes(), QList<QSize>({QSize(32, 32)}));
}

TEST_F(MainWindow, VersionItemDoesNothing) {
    Trigger("mnuVer");
    EXPECT_EQ(form->windowTitle(), "Quorvane");
    EXPECT_EQ(OtherTopLevelWindows(), 0);
    EXPECT_TRUE(startFolders.isEmpty());
}

// ---- guarded commands before any log

TEST_F(MainWindow, GuardedCommandsDoNothingBeforeAnyLog) {
    Trigger("mnuChart");
    Trigger("mnuQSLReceived");
    Trigger("mnuContinent");
    EXPECT_EQ(OtherTopLevelWindows(), 0);
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_TRUE(startFolders.isEmpty());
}

// ---- the band/mode table

TEST_F(MainWindow, EmptyLogShowsZerosAndDashes) {
    Open(Write("empty.adi", ""));
    EXPECT_EQ(form->windowTitle(), "empty.adi");
    for (int r = 1; r <= 11; ++r) EXPECT_EQ(Row(MainGrid(), r).mid(1), QStringList(4, "0"));
    EXPECT_EQ(Row(MainGrid(), 12), QStringList({"Others", "-", "-", "-", "0"}));
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(MainWindow, TwoMetreLogCountsOnlyInOthers) {
    Open(Write("2m.adi", Contact("2M", "FM") + Contact("2M", "SSB") + Contact("2M", "CW")));
    for (int r = 1; r <= 11; ++r) EXPECT_EQ(Row(MainGrid(), r).mid(1), QStringList(4, "0")) << r;
    EXPECT_EQ(Row(MainGrid(), 12), QStringList({"Others", "-", "-", "-", "3"}));
}

TEST_F(MainWindow, CountsLandInTheirCellsWithTheirTotals) {
    std::string log = "Quorvane test log\r\n<EOH>\r\n";
    for (int i = 0; i < 3; ++i) log += Contact("20M", "CW");
    for (int i = 0; i < 2; ++i) log += Contact("40M", "PSK63");
    log += Contact("6M", "FM") + Contact("160M", "SSB") + Contact("160M", "RTTY");
    log += Contact("20M", "FT8") + Contact("60M", "SSB");  // Others
    log += Contact("", "CW");                              // counts nowhere
    Open(Write("mixed.adi", log));
    const GridControl& g = MainGrid();
    EXPECT_EQ(Row(g, 6), QStringList({"20M", "3", "0", "0", "3"}));
    EXPECT_EQ(Row(g, 8), QStringList({"40M", "0", "2", "0", "2"}));
    EXPECT_EQ(Row(g, 1), QStringList({"6M", "0", "0", "1", "1"}));
    EXPECT_EQ(Row(g, 10), QStringList({"160M", "0", "1", "1", "2"}));
    EXPECT_EQ(Row(g, 11), QStringList({"Total", "3", "3", "2", "8"}));
    EXPECT_EQ(Row(g, 12), QStringList({"Others", "-", "-", "-", "2"}));
    EXPECT_EQ(form->BandModeTally.C20, 3);
    EXPECT_EQ(form->BandModeTally.Total, 8);
}

TEST_F(MainWindow, SmallerLogAfterALargerOneLeavesNoOldNumber) {
    Open(LargeLog());
    ASSERT_NE(MainGrid().TextMatrix(11, 4), "0");
    Open(Write("small.adi", Contact("17M", "AM")));
    EXPECT_EQ(form->windowTitle(), "small.adi");
    for (int r = 1; r <= 11; ++r) {
        const QStringList expected =
            r == 5 || r == 11 ? QStringList({"0", "0", "1", "1"}) : QStringList(4, "0");
        EXPECT_EQ(Row(MainGrid(), r).mid(1), expected) << r;
    }
    EXPECT_EQ(MainGrid().TextMatrix(12, 4), "0");
}

TEST_F(MainWindow, SameFileTwiceGivesTheSameTable) {
    Open(LargeLog());
    const QStringList first = DataCells();
    Open(LargeLog());
    EXPECT_EQ(DataCells(), first);
}

// ---- cancel

TEST_F(MainWindow, FirstCancelChangesNothingVisible) {
    Open(QString());
    EXPECT_EQ(form->windowTitle(), "Quorvane");
    EXPECT_TRUE(form->FileName.isEmpty());
    EXPECT_EQ(DataCells(), QStringList(48, ""));
    EXPECT_EQ(OtherTopLevelWindows(), 0);
}

TEST_F(MainWindow, CancelAfterALogZeroesTheCountersButKeepsTableAndCaption) {
    Open(Write("one.adi", Contact("20M", "CW") + Contact("40M", "SSB")));
    const QStringList shown = DataCells();
    Open(QString());
    EXPECT_TRUE(form->FileName.isEmpty());
    EXPECT_EQ(form->windowTitle(), "one.adi");
    EXPECT_EQ(DataCells(), shown);
    EXPECT_EQ(form->BandModeTally.C20, 0);
    EXPECT_EQ(form->BandModeTally.S40, 0);
    EXPECT_EQ(form->BandModeTally.Total, 0);
    EXPECT_EQ(form->BandModeTally.Total20, 1);  // the band totals wait for the next scan
    // Back in the no-log state: the guarded commands do nothing.
    Trigger("mnuContinent");
    Trigger("mnuQSLReceived");
    Trigger("mnuChart");
    EXPECT_EQ(OtherTopLevelWindows(), 0);
}

TEST_F(MainWindow, ChooserStartsInTheFolderOfTheLastLogChosen) {
    QDir(dir.path()).mkdir("logs");
    Open(Write("logs/a.adi", ""));
    Open(QString());
    ASSERT_EQ(startFolders.size(), 2);
    EXPECT_EQ(startFolders[0], "");
    EXPECT_EQ(startFolders[1], dir.filePath("logs"));
}

// ---- errors

TEST_F(MainWindow, LogDeletedAfterItWasChosenIsReportedAndLeavesNoLogOpen) {
    Open(Write("first.adi", Contact("20M", "CW")));
    const QString path = Write("contest.adi", Contact("20M", "CW"));
    QFile::remove(path);
    Open(path);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors[0], QString("Cannot open \"%1\": No such file or directory.")
                             .arg(QDir::toNativeSeparators(path)));
    EXPECT_TRUE(form->FileName.isEmpty());
    EXPECT_EQ(form->windowTitle(), "Quorvane");
    EXPECT_EQ(DataCells(), QStringList(48, ""));
    EXPECT_EQ(form->BandModeTally.Total20, 0);
    EXPECT_FALSE(quorvane::LogLineScanner::HandleHeld());
    EXPECT_EQ(Window("Form6"), nullptr);
    EXPECT_TRUE(Action("mnuOpen")->isEnabled());
    // And the program goes on.
    Open(Write("again.adi", Contact("20M", "CW")));
    EXPECT_EQ(MainGrid().TextMatrix(6, 1), "1");
}

TEST_F(MainWindow, FolderChosenAsLogIsReported) {
    Open(dir.path());
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith("Cannot open \"")) << errors[0].toStdString();
    EXPECT_TRUE(errors[0].endsWith(": Is a directory.")) << errors[0].toStdString();
    EXPECT_EQ(form->windowTitle(), "Quorvane");
}

TEST(ErrorMessage, NamesTheFileAndTheReasonInPlainWords) {
    EXPECT_EQ(
        Form1::ErrorMessage(quorvane::LogReadError("/x/log.adi", "Input/output error"), "log.adi"),
        "Cannot read \"log.adi\": Input/output error.");
    EXPECT_EQ(Form1::ErrorMessage(quorvane::CounterOverflow("C20"), "big.adi"),
              "Cannot count \"big.adi\": the count C20 would pass 2,147,483,647.");
}

}  // namespace
