// The continent window: the continent-by-band table of the log open when it was loaded.
#pragma once

#include <QMainWindow>
#include <QString>

#include "quorvane/continent_band_tally.h"
#include "quorvane/counting_rules.h"
#include "quorvane/log_line_scanner.h"

class GridControl;

class Form2 : public QMainWindow {
    Q_OBJECT
  public:
    // Builds the window and sets up the table's labels, sizes and alignment, so that they are
    // in place even when the tally fails.
    // Its tally counts by `rules`.
    explicit Form2(const quorvane::CountingRules& rules = quorvane::ExactRules(),
                   QWidget* parent = nullptr);

    // Tallies the log at `path` and fills the table. Returns false when the yield hook
    // stopped the scan; raises the tally's errors (LogError, CounterOverflow).
    bool Load(const QString& path, const quorvane::ScanHooks& hooks);
    // The rules of the next Load.
    void SetRules(const quorvane::CountingRules& rules) { rules_ = &rules; }
    // The log of the last Load.
    const QString& LogPath() const { return path_; }

    // Read by the continent chart.
    quorvane::ContinentBandTally ContinentBandTally;

  signals:
    // "Chart" was chosen; whoever keeps the windows opens the continent chart.
    void chartRequested();

  private:
    const quorvane::CountingRules* rules_;
    GridControl* grid_;
    QString path_;
};
