#include "daterangedialog.h"

#include <QCheckBox>
#include <QDate>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "windowtexts.h"

namespace {

QDate DateOf(quorvane::Day day) {
    return QDate(static_cast<int>(day / 10000), static_cast<int>(day / 100 % 100),
                 static_cast<int>(day % 100));
}

quorvane::Day DayOf(const QDate& date) {
    return static_cast<quorvane::Day>(date.year() * 10000 + date.month() * 100 + date.day());
}

// A date field that is used only while its box is ticked; an open bound keeps `fallback` ready.
QDateEdit* DateField(const char* name, const QString& accessibleName, quorvane::Day day,
                     const QDate& fallback) {
    auto* field = new QDateEdit(day ? DateOf(day) : fallback);
    field->setObjectName(QLatin1String(name));
    field->setAccessibleName(accessibleName);
    field->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    field->setCalendarPopup(true);
    field->setMinimumDate(QDate(1930, 1, 1));  // ADIF's first QSO_DATE
    field->setEnabled(day != 0);
    return field;
}

}  // namespace

DateRangeDialog::DateRangeDialog(const quorvane::DateRange& range, QWidget* parent)
    : QDialog(parent),
      fromSet_(new QCheckBox(QStringLiteral("&From"))),
      from_(DateField("from", QStringLiteral("First day"), range.from,
                      QDate(QDate::currentDate().year(), 1, 1))),
      toSet_(new QCheckBox(QStringLiteral("&To"))),
      to_(DateField("to", QStringLiteral("Last day"), range.to, QDate::currentDate())),
      problem_(new QLabel),
      buttons_(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel)) {
    setObjectName(QStringLiteral("DateRange"));
    setWindowTitle(windowtext::kDateRangeTitle);
    fromSet_->setObjectName(QStringLiteral("fromSet"));
    fromSet_->setAccessibleName(QStringLiteral("Count from a first day"));
    fromSet_->setChecked(range.from != 0);
    toSet_->setObjectName(QStringLiteral("toSet"));
    toSet_->setAccessibleName(QStringLiteral("Count up to a last day"));
    toSet_->setChecked(range.to != 0);
    problem_->setObjectName(QStringLiteral("problem"));
    QPushButton* clear = buttons_->addButton(QStringLiteral("C&lear"), QDialogButtonBox::ResetRole);
    clear->setObjectName(QStringLiteral("clear"));
    clear->setAccessibleName(QStringLiteral("Clear: count every day"));

    auto* intro = new QLabel(QStringLiteral(
        "Count only the contacts of these days (QSO_DATE), in every window. A day left open "
        "counts from the first contact or up to the last."));
    intro->setWordWrap(true);
    intro->setMinimumWidth(intro->fontMetrics().averageCharWidth() * 48);
    auto* fields = new QGridLayout;
    fields->addWidget(fromSet_, 0, 0);
    fields->addWidget(from_, 0, 1);
    fields->addWidget(toSet_, 1, 0);
    fields->addWidget(to_, 1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(fields);
    layout->addWidget(problem_);
    layout->addWidget(buttons_);
    setTabOrder(fromSet_, from_);
    setTabOrder(from_, toSet_);
    setTabOrder(toSet_, to_);
    setTabOrder(to_, buttons_);

    connect(fromSet_, &QCheckBox::toggled, from_, &QWidget::setEnabled);
    connect(toSet_, &QCheckBox::toggled, to_, &QWidget::setEnabled);
    for (QCheckBox* box : {fromSet_, toSet_})
        connect(box, &QCheckBox::toggled, this, &DateRangeDialog::Check);
    for (QDateEdit* field : {from_, to_})
        connect(field, &QDateEdit::dateChanged, this, &DateRangeDialog::Check);
    connect(clear, &QPushButton::clicked, this, [this] {
        fromSet_->setChecked(false);
        toSet_->setChecked(false);
    });
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    Check();
}

quorvane::DateRange DateRangeDialog::Range() const {
    return {.from = fromSet_->isChecked() ? DayOf(from_->date()) : 0,
            .to = toSet_->isChecked() ? DayOf(to_->date()) : 0};
}

// A first day after the last is refused, with the reason.
void DateRangeDialog::Check() {
    const quorvane::DateRange range = Range();
    const bool reversed = range.from && range.to && range.from > range.to;
    problem_->setText(reversed ? QStringLiteral("The first day is after the last.") : QString());
    problem_->setVisible(reversed);
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(!reversed);
}
