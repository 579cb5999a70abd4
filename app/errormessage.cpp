#include "errormessage.h"

#include <QDir>

QString ErrorMessage(const quorvane::TallyError& error, const QString& path) {
    return QString::fromStdString(
        quorvane::ErrorSentence(error, QDir::toNativeSeparators(path).toStdString()));
}
