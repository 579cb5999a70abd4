#include "tableview.h"

#include <QHeaderView>
#include <QTableView>

QTableView* MakeTableView(QAbstractItemModel* model, const QString& name) {
    auto* view = new QTableView;
    view->setObjectName(QStringLiteral("table"));
    view->setAccessibleName(name);
    view->setModel(model);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setAlternatingRowColors(true);
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() * 3 / 2);
    view->horizontalHeader()->setHighlightSections(false);
    return view;
}
