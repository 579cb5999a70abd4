// The QSL window: received as a share of sent for paper QSL, LoTW and eQSL, in one row.
#pragma once

#include <QString>
#include <QWidget>

#include "quorvane/counting_rules.h"
#include "quorvane/log_line_scanner.h"

class GridControl;

class Form5 : public QWidget {
    Q_OBJECT
  public:
    // Builds the window and sets up the table's labels, sizes and alignment.
    // Its tally counts by `rules`.
    explicit Form5(const quorvane::CountingRules& rules = quorvane::ExactRules(),
                   QWidget* parent = nullptr);

    // Counts the log at `path` and writes the percentage row. Raises the tally's errors
    // (LogError, CounterOverflow); the row is then left empty.
    void Load(const QString& path, const quorvane::ScanHooks& hooks);
    // The rules of the next Load.
    void SetRules(const quorvane::CountingRules& rules) { rules_ = &rules; }
    // The log of the last Load.
    const QString& LogPath() const { return path_; }

  private:
    const quorvane::CountingRules* rules_;
    GridControl* grid_;
    QString path_;
};
