#include "gridcontrol.h"

#include <QHeaderView>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QStyledItemDelegate>
#include <array>
#include <stdexcept>

#include "twips.h"
#include "windowdesign.h"

namespace {

constexpr int kDefaultColTwips = 960;
constexpr int kDefaultRowTwips = 240;
constexpr int kDefaultAlignment = 1;  // left, centred vertically

constexpr std::array<Qt::Alignment, 9> kAlignments{
    Qt::AlignLeft | Qt::AlignTop,        Qt::AlignLeft | Qt::AlignVCenter,
    Qt::AlignLeft | Qt::AlignBottom,     Qt::AlignHCenter | Qt::AlignTop,
    Qt::AlignHCenter | Qt::AlignVCenter, Qt::AlignHCenter | Qt::AlignBottom,
    Qt::AlignRight | Qt::AlignTop,       Qt::AlignRight | Qt::AlignVCenter,
    Qt::AlignRight | Qt::AlignBottom,
};

// Paints a cell as the grid always has: its colour, then its text with a one-pixel margin, so
// that a header as wide as its column ("Rcvd/Sent") still shows whole; wider text is clipped
// at the cell's edges.
class CellDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        painter->save();
        painter->setClipRect(option.rect);
        painter->fillRect(option.rect, index.data(Qt::BackgroundRole).value<QBrush>());
        painter->setPen(index.data(Qt::ForegroundRole).value<QBrush>().color());
        painter->setFont(option.font);
        const auto alignment = Qt::Alignment(index.data(Qt::TextAlignmentRole).toInt());
        painter->drawText(option.rect.adjusted(1, 0, -1, 0), int(alignment),
                          index.data(Qt::DisplayRole).toString());
        painter->restore();
    }
};

// Pixel edges follow the running total of twips, so that rounding does not add up along a row
// of cells.
int Edge(const std::vector<int>& twips, std::size_t count) {
    int sum = 0;
    for (std::size_t i = 0; i < count; ++i) sum += twips[i];
    return TwipsToPixels(sum);
}

}  // namespace

GridControl::GridControl(QWidget* parent) : QTableWidget(parent) {
    // Row 0 and column 0 are ordinary cells painted as headers, so that every cell, header or
    // not, is written the same way; the view's own headers stay hidden.
    horizontalHeader()->hide();
    verticalHeader()->hide();
    for (QHeaderView* header : {horizontalHeader(), verticalHeader()}) {
        header->setMinimumSectionSize(0);
        header->setSectionResizeMode(QHeaderView::Fixed);
    }
    // The tables are designed to fit their grids; the continent table's columns overhang its
    // grid by three pixels, which must not bring up a scroll bar.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::NoFocus);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setCornerButtonEnabled(false);
    setItemDelegate(new CellDelegate(this));
    setFont(WindowFont());  // a style sheet would otherwise give the grid the style's own font
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);

    QPalette colours = palette();
    colours.setColor(QPalette::Base, kOutsideColor);  // the area outside the cells
    colours.setColor(QPalette::Text, Qt::black);
    setPalette(colours);
    // Styles derive the grid line colour from the palette in their own ways; a style sheet
    // names it outright.
    setStyleSheet(QStringLiteral("QTableView { gridline-color: %1; }").arg(kGridLineColor.name()));
    setShowGrid(true);
    setGridStyle(Qt::SolidLine);

    SetRows(2);
    SetCols(2);
}

void GridControl::SetRows(int n) {
    if (n <= 0) throw std::invalid_argument("Rows must be positive");
    const int oldRows = rowCount();
    setRowCount(n);
    rowTwips_.resize(static_cast<std::size_t>(n), kDefaultRowTwips);
    ApplySizes();
    FillNewCells(oldRows, columnCount());
}

void GridControl::SetCols(int n) {
    if (n <= 0) throw std::invalid_argument("Cols must be positive");
    const int oldCols = columnCount();
    setColumnCount(n);
    colTwips_.resize(static_cast<std::size_t>(n), kDefaultColTwips);
    colAlignment_.resize(static_cast<std::size_t>(n), kDefaultAlignment);
    ApplySizes();
    FillNewCells(rowCount(), oldCols);
}

void GridControl::FillNewCells(int oldRows, int oldCols) {
    for (int r = 0; r < rowCount(); ++r) {
        for (int c = r < oldRows ? oldCols : 0; c < columnCount(); ++c) {
            auto* cell = new QTableWidgetItem;
            cell->setFlags(Qt::ItemIsEnabled);  // neither selectable nor editable
            cell->setBackground(r == 0 || c == 0 ? kFixedColor : kCellColor);
            cell->setForeground(Qt::black);
            cell->setTextAlignment(
                kAlignments[static_cast<std::size_t>(colAlignment_[static_cast<std::size_t>(c)])]);
            setItem(r, c, cell);
        }
    }
}

void GridControl::CheckCell(int row, int col) const {
    if (row < 0 || row >= rowCount() || col < 0 || col >= columnCount())
        throw std::out_of_range("no such cell in the grid");
}

void GridControl::SetTextMatrix(int row, int col, const QString& text) {
    CheckCell(row, col);
    item(row, col)->setText(text);
}

QString GridControl::TextMatrix(int row, int col) const {
    CheckCell(row, col);
    return item(row, col)->text();
}

void GridControl::SetColWidth(int col, int twips) {
    if (twips < 0) throw std::invalid_argument("negative column width");
    if (col != -1) CheckCell(0, col);
    for (int c = 0; c < columnCount(); ++c) {
        if (col != -1 && c != col) continue;
        colTwips_[static_cast<std::size_t>(c)] = twips;
    }
    ApplySizes();
}

void GridControl::SetRowHeight(int row, int twips) {
    if (twips < 0) throw std::invalid_argument("negative row height");
    if (row != -1) CheckCell(row, 0);
    for (int r = 0; r < rowCount(); ++r) {
        if (row != -1 && r != row) continue;
        rowTwips_[static_cast<std::size_t>(r)] = twips;
    }
    ApplySizes();
}

void GridControl::ApplySizes() {
    for (std::size_t c = 0; c < colTwips_.size(); ++c)
        setColumnWidth(static_cast<int>(c), Edge(colTwips_, c + 1) - Edge(colTwips_, c));
    for (std::size_t r = 0; r < rowTwips_.size(); ++r)
        setRowHeight(static_cast<int>(r), Edge(rowTwips_, r + 1) - Edge(rowTwips_, r));
}

int GridControl::ColWidth(int col) const {
    CheckCell(0, col);
    return colTwips_[static_cast<std::size_t>(col)];
}

int GridControl::RowHeight(int row) const {
    CheckCell(row, 0);
    return rowTwips_[static_cast<std::size_t>(row)];
}

void GridControl::SetColAlignment(int col, int alignment) {
    CheckCell(0, col);
    if (alignment < 0 || alignment >= static_cast<int>(kAlignments.size()))
        throw std::invalid_argument("unknown column alignment");
    colAlignment_[static_cast<std::size_t>(col)] = alignment;
    const Qt::Alignment flags = kAlignments[static_cast<std::size_t>(alignment)];
    for (int r = 0; r < rowCount(); ++r) item(r, col)->setTextAlignment(flags);
}

int GridControl::ColAlignment(int col) const {
    CheckCell(0, col);
    return colAlignment_[static_cast<std::size_t>(col)];
}

void GridControl::paintEvent(QPaintEvent* event) {
    QTableWidget::paintEvent(event);
    // The header cells are ruled off in black, over the light grid lines the view drew.
    QPainter painter(viewport());
    painter.setPen(kFixedGridLineColor);
    const int right =
        columnViewportPosition(columnCount() - 1) + columnWidth(columnCount() - 1) - 1;
    const int bottom = rowViewportPosition(rowCount() - 1) + rowHeight(rowCount() - 1) - 1;
    const int headerRight = columnViewportPosition(0) + columnWidth(0) - 1;
    const int headerBottom = rowViewportPosition(0) + rowHeight(0) - 1;
    painter.drawLine(0, headerBottom, right, headerBottom);
    painter.drawLine(headerRight, 0, headerRight, bottom);
    for (int c = 1; c < columnCount(); ++c) {
        const int x = columnViewportPosition(c) + columnWidth(c) - 1;
        painter.drawLine(x, 0, x, headerBottom);
    }
    for (int r = 1; r < rowCount(); ++r) {
        const int y = rowViewportPosition(r) + rowHeight(r) - 1;
        painter.drawLine(0, y, headerRight, y);
    }
}
