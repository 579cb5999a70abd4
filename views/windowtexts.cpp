#include "windowtexts.h"

#include <QFileInfo>
#include <QStringList>
#include <string_view>

#include "quorvane/report_format.h"

namespace windowtext {

namespace {
QString Day(quorvane::Day day) { return QString::fromStdString(quorvane::DayText(day)); }
}  // namespace

QString RangeText(const quorvane::DateRange& range) {
    QStringList parts;
    if (range.from) parts << QStringLiteral("from ") + Day(range.from);
    if (range.to)
        parts << (range.from ? QStringLiteral("to ") : QStringLiteral("until ")) + Day(range.to);
    return parts.join(QLatin1Char(' '));
}

QString FileCaption(const QString& path) {
    return QFileInfo(path).fileName().replace(QLatin1String("[*]"), QLatin1String("[*][*]"));
}

QString Caption(const QString& text, const quorvane::CountingRules& rules) {
    const std::string_view note = rules.CaptionNote();
    QStringList notes;
    if (!note.empty()) notes << QString::fromUtf8(note.data(), static_cast<qsizetype>(note.size()));
    if (rules.Range().Bounded()) notes << RangeText(rules.Range());
    if (notes.isEmpty()) return text;
    return QStringLiteral("%1 (%2)").arg(text, notes.join(QStringLiteral(", ")));
}

QString RangeCaption(const QString& text, const quorvane::CountingRules& rules) {
    if (!rules.Range().Bounded()) return text;
    return QStringLiteral("%1 (%2)").arg(text, RangeText(rules.Range()));
}

QString AwardCaption(const QString& path, const QString& title,
                     const quorvane::CountingRules& rules) {
    return Caption(QStringLiteral("%1: %2").arg(FileCaption(path), title), rules);
}

QString NoEntityMessage() {
    return QString::fromUtf8(quorvane::kNoEntityText.data(),
                             static_cast<qsizetype>(quorvane::kNoEntityText.size()));
}

QString NoContactMessage(const quorvane::DateRange& range) {
    if (!range.Bounded()) return QStringLiteral("This log holds no contact.");
    return QStringLiteral("No contact of this log is dated %1.").arg(RangeText(range));
}

QString ChannelsText(std::uint8_t channels) {
    QStringList names;
    if (channels & quorvane::kCard) names << QStringLiteral("card");
    if (channels & quorvane::kLotw) names << QStringLiteral("LoTW");
    if (channels & quorvane::kEqsl) names << QStringLiteral("eQSL");
    if (names.isEmpty()) return QStringLiteral("Worked, not confirmed");
    if (!(channels & quorvane::kDxccChannels))
        return QStringLiteral("Confirmed by eQSL only (not for DXCC)");
    const QString last = names.takeLast();
    if (names.isEmpty()) return QStringLiteral("Confirmed by ") + last;
    return QStringLiteral("Confirmed by %1 and %2").arg(names.join(QStringLiteral(", ")), last);
}

}  // namespace windowtext
