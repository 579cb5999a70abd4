// The award tables, counted record by record: every entity's contacts and confirming channels
// in each column, the records without an entity by kind, and the years.
#include "quorvane/award_tally.h"

#include <algorithm>
#include <string>

#include "adif_enums.h"
#include "adif_record.h"
#include "quorvane/checked.h"

namespace quorvane {

std::span<const DxccEntity> DxccEntities() { return adif::kDxccEntities; }

namespace {

// The index in kDxccEntities of every code up to the last, -1 for codes that ADIF does not list;
// kDxccEntities is constant, and so ready before this.
const auto kEntityOfCode = [] {
    std::array<std::int16_t, 1024> index;
    index.fill(-1);
    for (std::size_t e = 0; e < adif::kDxccEntities.size(); ++e)
        index.at(adif::kDxccEntities[e].code) = static_cast<std::int16_t>(e);
    return index;
}();

}  // namespace

std::optional<std::size_t> DxccIndex(std::uint64_t code) {
    if (code >= kEntityOfCode.size() || kEntityOfCode[code] < 0) return std::nullopt;
    return static_cast<std::size_t>(kEntityOfCode[code]);
}

std::string_view AwardColumnName(std::size_t column) {
    static constexpr std::array<std::string_view, kAwardModeColumns> kModes{"Mixed", "CW", "Phone",
                                                                            "Digital"};
    return column < kAwardModeColumns ? kModes[column]
                                      : adif::kAdifBands[column - kAwardModeColumns].name;
}

std::string_view CellMark(const AwardCell& cell) {
    if (cell.contacts == 0) return "";
    if (cell.channels & kDxccChannels) return "C";
    return cell.channels & kEqsl ? "E" : "W";
}

std::optional<Day> ParseDay(std::string_view text) {
    if (text.size() != 8) return std::nullopt;
    Day day = 0;
    for (const char c : text) {
        const auto digit = static_cast<Day>(static_cast<unsigned char>(c) - '0');
        if (digit > 9) return std::nullopt;
        day = day * 10 + digit;
    }
    const Day year = day / 10000, month = day / 100 % 100, date = day % 100;
    if (year < kFirstYear || month - 1 > 11 || date == 0) return std::nullopt;
    static constexpr std::array<Day, 12> kDays{31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (date > kDays[month - 1] || (month == 2 && date == 29 && !leap)) return std::nullopt;
    return day;
}

std::optional<Day> ParseDayGiven(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return ParseDay(text);
    std::string digits(text.substr(0, 4));
    digits.append(text.substr(5, 2)).append(text.substr(8, 2));
    return ParseDay(digits);
}

namespace {

std::string Named(std::string_view table, const std::string& row, std::string_view column) {
    return std::string(table) + "." + row + "." + std::string(column);
}

}  // namespace

void AwardTally::OnRecord(const AdifRecord& r, std::optional<Day> day,
                          std::optional<std::size_t> band, std::optional<std::size_t> modeClass) {
    const int y = day ? static_cast<int>(*day / 10000) : 0;
    YearCount* count = nullptr;
    if (day) {
        const auto at = static_cast<std::size_t>(y - kFirstYear);
        if (at >= byYear_.size()) byYear_.resize(at + 1);
        count = &byYear_[at];
    }
    YearRow& year = count ? count->row : noDate;
    auto yearCounter = [y](std::string_view column) {
        return [y, column] { return Named("years", y ? std::to_string(y) : "noDate", column); };
    };
    CheckedIncrementNamed(year.contacts, yearCounter("contacts"));
    if (modeClass) {
        static constexpr std::array<std::int32_t YearRow::*, kModeClassCount> kClassCounts{
            &YearRow::cw, &YearRow::digital, &YearRow::phone};
        CheckedIncrementNamed(year.*kClassCounts[*modeClass],
                              yearCounter(AwardColumnName(kClassColumns[*modeClass])));
    }

    const adif::Dxcc dxcc = adif::DxccOf(r.Get(AdifField::Dxcc));
    auto contacts = [](std::string_view kind) {
        return [kind] { return Named("dxcc", "contacts", kind); };
    };
    switch (dxcc.kind) {
        case adif::Dxcc::NoDxcc:
            return CheckedIncrementNamed(noDxcc, contacts("noDxcc"));
        case adif::Dxcc::None:
            return CheckedIncrementNamed(none, contacts("none"));
        case adif::Dxcc::Unknown:
            return CheckedIncrementNamed(unknown, contacts("unknown"));
        case adif::Dxcc::Entity:
            break;
    }
    const std::size_t e = dxcc.entity;
    const std::uint8_t channels = adif::ConfirmingChannels(r);
    auto add = [&](std::size_t column) {
        AwardCell& cell = cells_[e * kAwardColumnCount + column];
        CheckedIncrementNamed(cell.contacts, [e, column] {
            return Named("dxccEntities", std::to_string(DxccEntities()[e].code),
                         AwardColumnName(column));
        });
        cell.channels |= channels;
    };
    add(kMixedColumn);
    if (modeClass) add(kClassColumns[*modeClass]);
    if (band) add(BandColumn(*band));
    if (count && !DxccEntities()[e].deleted) {
        count->worked.set(e);
        if (channels & kDxccChannels) count->confirmed.set(e);
        if (firstYear_[e] == 0 || y < firstYear_[e]) firstYear_[e] = static_cast<std::uint16_t>(y);
    }
}

void AwardTally::FormTotals() {
    years.clear();
    auto counted = [](const YearCount& c) { return c.row.contacts > 0; };
    const auto first = std::find_if(byYear_.begin(), byYear_.end(), counted);
    if (first == byYear_.end()) return;
    const auto last = std::find_if(byYear_.rbegin(), byYear_.rend(), counted).base();
    for (auto it = first; it != last; ++it) {
        const int y = kFirstYear + static_cast<int>(it - byYear_.begin());
        YearRow row = it->row;
        row.entities = static_cast<std::int32_t>(it->worked.count());
        row.confirmed = static_cast<std::int32_t>(it->confirmed.count());
        row.newEntities = static_cast<std::int32_t>(
            std::count(firstYear_.begin(), firstYear_.end(), static_cast<std::uint16_t>(y)));
        years.emplace_back(y, row);
    }
}

DxccSummary SummaryOf(const AwardTally& tally) {
    DxccSummary s;
    static constexpr std::array<std::uint8_t, DxccSummary::kRows> kRowChannels{0, kDxccChannels,
                                                                               kCard, kLotw, kEqsl};
    for (std::size_t e = 0; e < kDxccEntityCount; ++e) {
        if (!tally.Worked(e)) continue;
        for (std::size_t b = 0; b < kAdifBandCount; ++b)
            if (tally.Cell(e, BandColumn(b)).contacts > 0) s.bandWorked[b] = true;
        const AwardCell& mixed = tally.Cell(e, kMixedColumn);
        if (DxccEntities()[e].deleted) {
            ++s.deletedWorked;
            if (mixed.channels & kDxccChannels) ++s.deletedConfirmed;
            continue;
        }
        for (std::size_t c = 0; c < kAwardColumnCount; ++c) {
            const AwardCell& cell = tally.Cell(e, c);
            if (cell.contacts == 0) continue;
            for (std::size_t row = 0; row < DxccSummary::kRows; ++row)
                if (row == DxccSummary::Worked || cell.channels & kRowChannels[row])
                    ++s.cells[row][c];
        }
    }
    return s;
}

std::vector<std::size_t> WorkedEntities(const AwardTally& tally) {
    std::vector<std::size_t> worked;
    for (std::size_t e = 0; e < kDxccEntityCount; ++e)
        if (tally.Worked(e)) worked.push_back(e);
    std::stable_sort(worked.begin(), worked.end(), [](std::size_t a, std::size_t b) {
        return DxccEntities()[a].name < DxccEntities()[b].name;
    });
    return worked;
}

}  // namespace quorvane
