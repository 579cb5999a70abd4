#include "awardwindow.h"

#include <QLabel>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "windowdesign.h"
#include "windowtexts.h"

AwardWindow::AwardWindow(const QString& objectName, const QString& title, bool needsEntities,
                         QWidget* parent)
    : QWidget(parent, Qt::Window),
      title_(title),
      needsEntities_(needsEntities),
      pages_(new QStackedWidget(this)),
      message_(new QLabel) {
    setObjectName(objectName);
    setWindowIcon(WindowIcon());
    setAccessibleName(title);
    message_->setObjectName(QStringLiteral("message"));
    message_->setAlignment(Qt::AlignCenter);
    message_->setWordWrap(true);
    message_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    message_->setFocusPolicy(Qt::StrongFocus);  // so that a screen reader's focus finds it
    pages_->addWidget(message_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_);
}

void AwardWindow::SetContent(QWidget* content) {
    pages_->addWidget(content);
    pages_->setCurrentWidget(content);
}

QString AwardWindow::Message() const {
    return pages_->currentWidget() == message_ ? message_->text() : QString();
}

void AwardWindow::ShowCounts(const QString& path, const quorvane::CountingRules& rules,
                             const quorvane::LogCounts& counts) {
    path_ = path;
    setWindowTitle(windowtext::AwardCaption(path, title_, rules));
    const quorvane::AwardTally& tally = *counts.awards;
    std::int64_t records = tally.noDate.contacts;
    for (const auto& year : tally.years) records += year.second.contacts;
    QString message;
    if (records == 0)
        message = windowtext::NoContactMessage(counts.range);
    else if (needsEntities_ && quorvane::WorkedEntities(tally).empty())
        message = windowtext::NoEntityMessage();
    message_->setText(message);
    message_->setAccessibleName(message);
    if (!message.isEmpty()) {
        pages_->setCurrentWidget(message_);
        return;
    }
    Fill(tally);
    pages_->setCurrentIndex(1);
}
