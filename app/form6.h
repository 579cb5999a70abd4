// The busy notice: a window that is in effect only its title bar, shown while a scan holds
// the log.
#pragma once

#include <QWidget>

class Form6 : public QWidget {
    Q_OBJECT
  public:
    explicit Form6(QWidget* parent = nullptr);
};
