// The texts of the award windows and the date range: their menu items, titles and messages, and
// the captions of every window of the rules that read records, which name the rules and the range.
#pragma once

#include <QString>
#include <string_view>

#include "quorvane/award_tally.h"
#include "quorvane/counting_rules.h"
#include "quorvane/tables.h"

namespace windowtext {

// A title of the core's tables.
inline QString Title(std::string_view title) {
    return QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size()));
}

// The design's windows' titles.
inline const QString kContinentSummary = Title(quorvane::kContinentTitle);
inline const QString kQslRcvdSent = Title(quorvane::kQslTitle);
inline const QString kModeChart = QStringLiteral("Mode Chart");
inline const QString kContinentChart = QStringLiteral("Continent Chart");

// The main window's items after the design's, and the award windows' titles.
inline const QString kDxccSummary = Title(quorvane::kDxccSummaryTitle);
inline const QString kDxccEntities = Title(quorvane::kDxccEntitiesTitle);
inline const QString kYears = Title(quorvane::kYearsTitle);
inline const QString kDateRange = QStringLiteral("Date Range…");
inline const QString kDateRangeTitle = QStringLiteral("Date Range");

// "from 2023-01-01 to 2023-12-31", "from 2023-01-01", "until 2023-12-31"; empty when open.
QString RangeText(const quorvane::DateRange& range);

// A log's file name as a caption shows it: "[*]" doubled, so that Qt does not drop it.
QString FileCaption(const QString& path);

// `text` with the rules' note and range after it: "qrz.adi (ADIF fields, from 2023-01-01)";
// `text` alone for the exact rules.
QString Caption(const QString& text, const quorvane::CountingRules& rules);
// A design window other than the main one: `text` with the range only, "Continent Summary
// (from 2023-01-01)"; `text` alone without a range.
QString RangeCaption(const QString& text, const quorvane::CountingRules& rules);
// An award window: "qrz.adi: DXCC by Entity (ADIF fields, from 2023-01-01)".
QString AwardCaption(const QString& path, const QString& title,
                     const quorvane::CountingRules& rules);

// What an award window shows instead of a table without rows.
QString NoEntityMessage();
QString NoContactMessage(const quorvane::DateRange& range);

// The channels that confirm a cell, for its tooltip: "Worked, not confirmed", "Confirmed by
// card and LoTW", "Confirmed by eQSL only".
QString ChannelsText(std::uint8_t channels);

}  // namespace windowtext
