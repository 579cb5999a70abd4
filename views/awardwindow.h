// What the award windows share: a sizable window with the award tables of one log, counted by
// the main window, and a line in their place when the log has nothing for them.
#pragma once

#include <QString>
#include <QWidget>

#include "quorvane/counting_rules.h"
#include "quorvane/log_counts.h"

class QLabel;
class QStackedWidget;

class AwardWindow : public QWidget {
    Q_OBJECT
  public:
    // Shows the award tables of `counts` (which holds them), those of the log at `path` counted
    // by `rules`, with a caption that names them.
    void ShowCounts(const QString& path, const quorvane::CountingRules& rules,
                    const quorvane::LogCounts& counts);
    // The log of the last ShowCounts.
    const QString& LogPath() const { return path_; }
    // The line shown instead of the tables; empty while they are shown.
    QString Message() const;

  protected:
    // `needsEntities`: whether the window shows nothing but entities.
    AwardWindow(const QString& objectName, const QString& title, bool needsEntities,
                QWidget* parent);
    // The window's tables and their controls, shown when there is something to show.
    void SetContent(QWidget* content);
    virtual void Fill(const quorvane::AwardTally& tally) = 0;

  private:
    QString title_;
    bool needsEntities_;
    QString path_;
    QStackedWidget* pages_;
    QLabel* message_;
};
