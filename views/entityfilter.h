// Which rows of the DXCC by Entity table are shown: all, those worked but not confirmed, or those
// confirmed (by card or LoTW, as the DXCC award counts them, in the Mixed column); and those
// whose name holds the text looked for, or whose code begins with it.
#pragma once

#include <QSortFilterProxyModel>
#include <QString>

class EntityFilter : public QSortFilterProxyModel {
    Q_OBJECT
  public:
    enum class Status { All, NotConfirmed, Confirmed };

    explicit EntityFilter(QObject* parent = nullptr);

    void SetStatus(Status status);
    void SetFindText(const QString& text);

  protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

  private:
    Status status_ = Status::All;
    QString find_;
};
