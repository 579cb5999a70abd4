// The table view of the award windows: whole rows selected, no row numbers, read only.
#pragma once

#include <QString>

class QAbstractItemModel;
class QTableView;

// A view named "table" on `model`, with `name` as its accessible name.
QTableView* MakeTableView(QAbstractItemModel* model, const QString& name);
