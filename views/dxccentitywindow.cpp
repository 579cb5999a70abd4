#include "dxccentitywindow.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "entityfilter.h"
#include "entitymodel.h"
#include "tableview.h"
#include "windowtexts.h"

DxccEntityWindow::DxccEntityWindow(SaveChooser chooser, ErrorReporter reporter, QWidget* parent)
    : AwardWindow(QStringLiteral("DxccEntities"), windowtext::kDxccEntities, true, parent),
      chooser_(std::move(chooser)),
      reporter_(std::move(reporter)),
      model_(new EntityModel(this)),
      filter_(new EntityFilter(this)),
      status_(new QComboBox),
      find_(new QLineEdit),
      view_(MakeTableView(filter_, windowtext::kDxccEntities)),
      shown_(new QLabel),
      copy_(new QAction(QStringLiteral("&Copy"), this)) {
    if (!chooser_) {
        chooser_ = [this](const QString& suggested) {
            return QFileDialog::getSaveFileName(this, QStringLiteral("Save CSV"), suggested,
                                                QStringLiteral("CSV files (*.csv);;All files (*)"),
                                                nullptr, QFileDialog::DontUseNativeDialog);
        };
    }
    if (!reporter_) {
        reporter_ = [this](const QString& message) {
            QMessageBox::warning(this, windowtext::kDxccEntities, message);
        };
    }
    filter_->setSourceModel(model_);
    view_->setSortingEnabled(true);
    view_->sortByColumn(EntityModel::kNameColumn, Qt::AscendingOrder);

    status_->setObjectName(QStringLiteral("status"));
    status_->addItem(QStringLiteral("All entities"));
    status_->addItem(QStringLiteral("Worked, not confirmed"));
    status_->addItem(QStringLiteral("Confirmed (card or LoTW)"));
    status_->setAccessibleName(QStringLiteral("Show"));
    auto* statusLabel = new QLabel(QStringLiteral("&Show:"));
    statusLabel->setBuddy(status_);
    find_->setObjectName(QStringLiteral("find"));
    find_->setPlaceholderText(QStringLiteral("Entity name or code"));
    find_->setClearButtonEnabled(true);
    find_->setAccessibleName(QStringLiteral("Find entity"));
    auto* findLabel = new QLabel(QStringLiteral("&Find:"));
    findLabel->setBuddy(find_);
    shown_->setObjectName(QStringLiteral("shown"));

    copy_->setObjectName(QStringLiteral("copy"));
    copy_->setShortcut(QKeySequence::Copy);
    copy_->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    view_->addAction(copy_);
    auto* copyButton = new QPushButton(QStringLiteral("&Copy"));
    copyButton->setObjectName(QStringLiteral("copyButton"));
    copyButton->setAccessibleName(QStringLiteral("Copy the selected rows"));
    auto* save = new QAction(QStringLiteral("&Save CSV…"), this);
    save->setObjectName(QStringLiteral("saveCsv"));
    save->setShortcut(QKeySequence::Save);
    addAction(save);
    auto* saveButton = new QPushButton(QStringLiteral("Save CS&V…"));
    saveButton->setObjectName(QStringLiteral("saveButton"));
    saveButton->setAccessibleName(QStringLiteral("Save the table as CSV"));

    auto* bar = new QHBoxLayout;
    bar->addWidget(statusLabel);
    bar->addWidget(status_);
    bar->addWidget(findLabel);
    bar->addWidget(find_, 1);
    bar->addWidget(copyButton);
    bar->addWidget(saveButton);
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(bar);
    layout->addWidget(view_, 1);
    layout->addWidget(shown_);
    SetContent(content);
    setTabOrder(status_, find_);
    setTabOrder(find_, view_);
    setTabOrder(view_, copyButton);
    setTabOrder(copyButton, saveButton);
    resize(900, 560);

    connect(status_, &QComboBox::currentIndexChanged, this, [this](int index) {
        filter_->SetStatus(static_cast<EntityFilter::Status>(index));
        UpdateShown();
    });
    connect(find_, &QLineEdit::textChanged, this, [this](const QString& text) {
        filter_->SetFindText(text);
        UpdateShown();
    });
    connect(copy_, &QAction::triggered, this, &DxccEntityWindow::CopyRows);
    connect(copyButton, &QPushButton::clicked, this, &DxccEntityWindow::CopyRows);
    connect(save, &QAction::triggered, this, &DxccEntityWindow::SaveCsv);
    connect(saveButton, &QPushButton::clicked, this, &DxccEntityWindow::SaveCsv);
    auto* findShortcut = new QAction(this);
    findShortcut->setShortcut(QKeySequence::Find);
    addAction(findShortcut);
    connect(findShortcut, &QAction::triggered, find_, [this] { find_->setFocus(); });
}

void DxccEntityWindow::Fill(const quorvane::AwardTally& tally) {
    model_->SetTally(tally);
    view_->resizeColumnsToContents();
    UpdateShown();
}

void DxccEntityWindow::UpdateShown() {
    shown_->setText(
        QStringLiteral("%1 of %2 entities shown").arg(filter_->rowCount()).arg(model_->rowCount()));
}

void DxccEntityWindow::CopyRows() {
    QModelIndexList rows = view_->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    QString text;
    for (const QModelIndex& row : rows) {
        QStringList fields;
        for (int c = 0; c < filter_->columnCount(); ++c)
            fields << filter_->index(row.row(), c).data().toString();
        text += fields.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    if (!text.isEmpty()) QGuiApplication::clipboard()->setText(text);
}

void DxccEntityWindow::SaveCsv() {
    const QFileInfo log(LogPath());
    const QString suggested =
        log.dir().filePath(log.completeBaseName() + QStringLiteral("-dxcc-entities.csv"));
    const QString path = chooser_(suggested);
    if (path.isEmpty()) return;
    const std::string csv = quorvane::GridCsv(model_->Table());
    // Written beside the target and renamed over it at the end: a write that fails leaves the
    // file as it was.
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) &&
        file.write(csv.data(), static_cast<qint64>(csv.size())) ==
            static_cast<qint64>(csv.size()) &&
        file.commit())
        return;
    const QString reason = file.errorString();
    file.cancelWriting();
    reporter_(
        QStringLiteral("Cannot write file %1:\n%2.").arg(QDir::toNativeSeparators(path), reason));
}
