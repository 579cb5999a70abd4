// The DXCC by Entity window: every entity worked, with W, C or E by mode and band, sortable by
// any column, filtered by status and by a text looked for; its rows copied as tab-separated text
// and its table saved as CSV.
#pragma once

#include <QString>
#include <functional>

#include "awardwindow.h"

class EntityFilter;
class EntityModel;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QTableView;

class DxccEntityWindow : public AwardWindow {
    Q_OBJECT
  public:
    // Asks where to save, starting from `suggested`; an empty path means the user cancelled.
    using SaveChooser = std::function<QString(const QString& suggested)>;
    // Shows an error that ended a command.
    using ErrorReporter = std::function<void(const QString& message)>;

    // Empty arguments take the defaults: Qt's file-save dialog, a message box.
    explicit DxccEntityWindow(SaveChooser chooser = {}, ErrorReporter reporter = {},
                              QWidget* parent = nullptr);

    // "Copy": the selected rows, as shown, one line each, tab between the fields.
    void CopyRows();
    // "Save CSV…": the table of the log, whatever is shown, as quorvane-report prints it.
    void SaveCsv();

  protected:
    void Fill(const quorvane::AwardTally& tally) override;

  private:
    void UpdateShown();

    SaveChooser chooser_;
    ErrorReporter reporter_;
    EntityModel* model_;
    EntityFilter* filter_;
    QComboBox* status_;
    QLineEdit* find_;
    QTableView* view_;
    QLabel* shown_;
    QAction* copy_;
};
