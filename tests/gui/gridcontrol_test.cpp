// The grid of the three tables: its property writes and its looks.
#include "gridcontrol.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <stdexcept>

#include "gui_support.h"

namespace {

using guitest::Row;

TEST(GridControl, WritesACellAndNoOtherAndKeepsTheLastText) {
    GridControl grid;
    grid.SetRows(3);
    grid.SetCols(4);
    grid.SetTextMatrix(1, 2, "first");
    grid.SetTextMatrix(1, 2, "second");
    EXPECT_EQ(grid.TextMatrix(1, 2), "second");
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c)
            if (r != 1 || c != 2) {
                EXPECT_EQ(grid.TextMatrix(r, c), "") << r << "," << c;
            }
}

TEST(GridControl, TakesRowThenColumn) {
    GridControl grid;
    grid.SetRows(2);
    grid.SetCols(5);
    grid.SetTextMatrix(1, 4, "x");  // column 4 exists only as a column
    EXPECT_EQ(Row(grid, 1), QStringList({"", "", "", "", "x"}));
    EXPECT_THROW(grid.SetTextMatrix(4, 1, "y"), std::out_of_range);
}

TEST(GridControl, MinusOneSizesEveryColumnAndRowHeadersIncluded) {
    GridControl grid;
    grid.SetRows(4);
    grid.SetCols(3);
    grid.SetColWidth(1, 300);
    grid.SetColWidth(-1, 840);
    grid.SetRowHeight(-1, 280);
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(grid.ColWidth(c), 840);
        EXPECT_EQ(grid.columnWidth(c), 56);  // 15 twips to the pixel
    }
    int pixels = 0;
    for (int r = 0; r < 4; ++r) {
        EXPECT_EQ(grid.RowHeight(r), 280);
        pixels += grid.rowHeight(r);
    }
    EXPECT_EQ(pixels, 75);  // 1120 twips: the rounding of 18.67 pixels does not add up
    grid.SetColWidth(2, 720);
    EXPECT_EQ(grid.ColWidth(1), 840);
    EXPECT_EQ(grid.ColWidth(2), 720);
}

TEST(GridControl, AlignmentFourCentresEveryCellOfTheColumn) {
    GridControl grid;
    grid.SetRows(3);
    grid.SetCols(3);
    grid.SetColAlignment(1, GridControl::kAlignCenterCenter);
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(grid.item(r, 1)->textAlignment(), int(Qt::AlignCenter));
        EXPECT_NE(grid.item(r, 2)->textAlignment(), int(Qt::AlignCenter));
    }
    // Rows added later take the column's alignment too.
    grid.SetRows(5);
    EXPECT_EQ(grid.item(4, 1)->textAlignment(), int(Qt::AlignCenter));
}

TEST(GridControl, GrowingKeepsTextsAndPaintsNewHeaderCellsAsHeaders) {
    GridControl grid;
    grid.SetRows(2);
    grid.SetCols(2);
    grid.SetTextMatrix(1, 1, "kept");
    grid.SetCols(4);
    grid.SetRows(3);
    EXPECT_EQ(grid.TextMatrix(1, 1), "kept");
    EXPECT_EQ(grid.item(0, 3)->background().color(), GridControl::kFixedColor);
    EXPECT_EQ(grid.item(2, 0)->background().color(), GridControl::kFixedColor);
    EXPECT_EQ(grid.item(2, 3)->background().color(), GridControl::kCellColor);
}

TEST(GridControl, CellsCannotBeEditedOrSelected) {
    GridControl grid;
    grid.SetRows(3);
    grid.SetCols(3);
    grid.SetColWidth(-1, 900);
    grid.SetTextMatrix(1, 1, "12");
    grid.resize(300, 200);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    const QRect cell = grid.visualItemRect(grid.item(1, 1));
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
    QTest::keyClick(grid.viewport(), Qt::Key_F2);
    QTest::keyClicks(grid.viewport(), "99");
    EXPECT_EQ(grid.TextMatrix(1, 1), "12");
    EXPECT_EQ(grid.findChild<QLineEdit*>(), nullptr);  // no editor open
    EXPECT_TRUE(grid.selectedItems().isEmpty());
}

TEST(GridControl, PaintsHeadersCellsLinesAndTheAreaOutsideInTheirColours) {
    GridControl grid;
    grid.SetRows(3);
    grid.SetCols(3);
    grid.SetColWidth(-1, 900);   // 60 pixels
    grid.SetRowHeight(-1, 300);  // 20 pixels
    grid.resize(260, 120);       // room to the right of and below the cells
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    const QImage image = grid.grab().toImage();
    auto at = [&](int viewportX, int viewportY) {
        return QColor(image.pixel(grid.viewport()->mapTo(&grid, QPoint(viewportX, viewportY))));
    };
    EXPECT_EQ(at(90, 10), GridControl::kFixedColor);  // header row, away from the text
    EXPECT_EQ(at(5, 50), GridControl::kFixedColor);   // header column
    EXPECT_EQ(at(65, 45), GridControl::kCellColor);
    EXPECT_EQ(at(119, 50), GridControl::kGridLineColor);      // between two data cells
    EXPECT_EQ(at(90, 19), GridControl::kFixedGridLineColor);  // under the header row
    EXPECT_EQ(at(220, 50), GridControl::kOutsideColor);
    EXPECT_EQ(at(90, 90), GridControl::kOutsideColor);
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
