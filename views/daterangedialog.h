// The Date Range dialog: the first and the last day whose contacts count, each of which may be
// left open, and Clear, which opens both.
#pragma once

#include <QDialog>

#include "quorvane/award_tally.h"

class QCheckBox;
class QDateEdit;
class QDialogButtonBox;
class QLabel;

class DateRangeDialog : public QDialog {
    Q_OBJECT
  public:
    explicit DateRangeDialog(const quorvane::DateRange& range, QWidget* parent = nullptr);

    // The range as the fields give it.
    quorvane::DateRange Range() const;

  private:
    void Check();

    QCheckBox* fromSet_;
    QDateEdit* from_;
    QCheckBox* toSet_;
    QDateEdit* to_;
    QLabel* problem_;
    QDialogButtonBox* buttons_;
};
