// The grid of the three tables: a fixed header row and column over a table of text cells, driven
// only by property writes (rows, columns, cell texts, sizes in twips, column alignment).
#pragma once

#include <QColor>
#include <QString>
#include <QTableWidget>
#include <vector>

class GridControl : public QTableWidget {
    Q_OBJECT
  public:
    static constexpr QColor kCellColor{192, 255, 255};
    static constexpr QColor kFixedColor{255, 255, 192};
    static constexpr QColor kGridLineColor{192, 192, 192};
    static constexpr QColor kFixedGridLineColor{0, 0, 0};
    static constexpr QColor kOutsideColor{128, 128, 128};
    // Column alignment 4: text centred horizontally and vertically.
    static constexpr int kAlignCenterCenter = 4;

    explicit GridControl(QWidget* parent = nullptr);

    // Row 0 and column 0 are the header cells; n > 0.
    void SetRows(int n);
    void SetCols(int n);
    int Rows() const { return rowCount(); }
    int Cols() const { return columnCount(); }

    // Raise std::out_of_range for a cell outside the grid.
    void SetTextMatrix(int row, int col, const QString& text);
    QString TextMatrix(int row, int col) const;

    // Sizes in twips; -1 sets every column or row, the header ones included.
    void SetColWidth(int col, int twips);
    void SetRowHeight(int row, int twips);
    int ColWidth(int col) const;
    int RowHeight(int row) const;

    // Alignments 0 to 8: left, centre, right (by threes) and top, centre, bottom within each.
    void SetColAlignment(int col, int alignment);
    int ColAlignment(int col) const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void CheckCell(int row, int col) const;
    void FillNewCells(int oldRows, int oldCols);
    void ApplySizes();

    std::vector<int> colTwips_;
    std::vector<int> rowTwips_;
    std::vector<int> colAlignment_;
};
