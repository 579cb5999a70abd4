#include "nosettings.h"

#include <QSettings>
#include <QString>

void SendUserSettingsNowhere() {
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, QStringLiteral("/dev/null"));
}
