#include "errormessage.h"

#include <QCoreApplication>
#include <QDir>

namespace {

QString Tr(const char* text) { return QCoreApplication::translate("ErrorMessage", text); }

}  // namespace

QString ErrorMessage(const quorvane::TallyError& error, const QString& path) {
    const QString file = QString::fromStdString(
        quorvane::EscapeForMessage(QDir::toNativeSeparators(path).toStdString()));
    if (const auto* logError = dynamic_cast<const quorvane::LogError*>(&error)) {
        const QString reason = QString::fromLocal8Bit(logError->reason().c_str());
        if (dynamic_cast<const quorvane::LogReadError*>(&error))
            return Tr("Cannot read \"%1\": %2.").arg(file, reason);
        return Tr("Cannot open \"%1\": %2.").arg(file, reason);
    }
    if (const auto* overflow = dynamic_cast<const quorvane::CounterOverflow*>(&error)) {
        return Tr("Cannot count \"%1\": the count %2 would pass 2,147,483,647.")
            .arg(file, QString::fromStdString(overflow->counter()));
    }
    return Tr("Cannot count \"%1\": %2.").arg(file, QString::fromLocal8Bit(error.what()));
}
